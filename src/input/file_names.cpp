#include "input/file_names.hpp"

#include "molecule/molecule.hpp"

namespace orvalen {

std::string fileExtension(std::string_view fil, std::string_view ext) {
  std::string name(fil.substr(0, FILENAME_LEN));
  // Only the last component of a path is cut: a dot in a folder name (runs/v1.2/job,
  // ../job) must not send the files outside the job's folder.
  const auto slash = name.find_last_of("/\\");
  const auto dot = name.find('.', slash == std::string::npos ? 0 : slash + 1);
  name = dot == std::string::npos ? trimmed(name) : name.substr(0, dot);
  name += trimmed(ext);
  return name.substr(0, FILENAME_LEN);
}

} // namespace orvalen
