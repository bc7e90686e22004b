#pragma once

#include "input/file_names.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace orvalen {

// The job input and report names that the command line gives: word 1 with
// ".inp", and word 2 (or else the input name) with ".out". Words after the
// second are ignored. A name longer than 255 characters with its extension
// throws orvalen::Error.
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
