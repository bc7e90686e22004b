#include "driver/program_start.hpp"

#include "molecule/molecule.hpp"

namespace orvalen {

std::string fileExtension(std::string_view fil, std::string_view ext) {
  std::string name(fil.substr(0, FILENAME_LEN));
  const auto dot = name.find('.');
  name = dot == std::string::npos ? trimmed(name) : name.substr(0, dot);
  name += trimmed(ext);
  return name.substr(0, FILENAME_LEN);
}

FileNames fileNames(const std::vector<std::string> &args) {
  auto word = [&](std::size_t n) {
    return n < args.size() ? args[n].substr(0, FILENAME_LEN) : std::string();
  };
  FileNames names;
  names.input = fileExtension(word(1), ".inp");
  names.report = names.input;
  if (args.size() > 2)
    names.report = word(2);
  names.report = fileExtension(names.report, ".out");
  names.input = trimmed(names.input);
  names.report = trimmed(names.report);
  return names;
}

} // namespace orvalen
