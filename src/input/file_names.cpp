#include "input/file_names.hpp"

#include "base/error.hpp"
#include "base/warnings.hpp"
#include "molecule/molecule.hpp"

namespace orvalen {

std::string fileExtension(std::string_view fil, std::string_view ext) {
  std::string name(fil);
  // Only the last component of a path is cut: a dot in a folder name (runs/v1.2/job,
  // ../job) must not send the files outside the job's folder.
  const auto slash = name.find_last_of("/\\");
  const auto dot = name.find('.', slash == std::string::npos ? 0 : slash + 1);
  name = dot == std::string::npos ? trimmed(name) : name.substr(0, dot);
  name += trimmed(ext);
  // Cut to its field, the name would lose its extension and could become
  // another file's, even the job input's.
  if (name.size() > FILENAME_LEN)
    throw Error("\"" + shownText(name.substr(0, 40)) + "...\": the file name is " +
                std::to_string(name.size()) + " characters long with its extension; at most " +
                std::to_string(FILENAME_LEN) + " can be used: give a shorter name or path");
  return name;
}

} // namespace orvalen
