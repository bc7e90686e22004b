#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvalen {

// FILEEXTENSION: everything from the first "." of the name (a dot in a folder
// name counts) is replaced by `ext`; a name without a dot gets `ext` appended.
// The result is cut to 255 characters.
std::string fileExtension(std::string_view fil, std::string_view ext);

// The job input and report names that the command line gives: word 1 with
// ".inp", and word 2 (or else the input name) with ".out". Words after the
// second are ignored; a word longer than 255 characters is cut to 255.
struct FileNames {
  std::string input;
  std::string report;
};
FileNames fileNames(const std::vector<std::string> &args);

} // namespace orvalen
