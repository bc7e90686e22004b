#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvalen {

// FILEEXTENSION: everything from the first "." of the name's last component
// (after the last "/" or "\\"; a dot in a folder name does not count) is
// replaced by `ext`; a name without such a dot gets `ext` appended. The result
// is cut to 255 characters.
std::string fileExtension(std::string_view fil, std::string_view ext);

// The job input and report names that the command line gives: word 1 with
// ".inp", and word 2 (or else the input name) with ".out". Words after the
// second are ignored; a word longer than 255 characters is cut to 255.
struct FileNames {
  std::string input;
  std::string report;
};
FileNames fileNames(const std::vector<std::string> &args);

// The first command-line word (of words 1 and 2) that begins with "-" and is
// not an option the program knows (-h, --help, --version as word 1); empty
// when there is none. Such a word stops the run before any file is touched.
std::string unknownOption(const std::vector<std::string> &args);

} // namespace orvalen
