#include "driver/program_start.hpp"

#include "input/file_names.hpp"
#include "molecule/molecule.hpp"

namespace orvalen {

FileNames fileNames(const std::vector<std::string> &args) {
  auto word = [&](std::size_t n) { return n < args.size() ? args[n] : std::string(); };
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

std::string unknownOption(const std::vector<std::string> &args) {
  for (std::size_t n = 1; n <= 2 && n < args.size(); ++n) {
    const std::string &w = args[n];
    if (!w.starts_with('-'))
      continue;
    if (n == 1 && (w == "-h" || w == "--help" || w == "--version"))
      continue;
    return w;
  }
  return std::string();
}

} // namespace orvalen
