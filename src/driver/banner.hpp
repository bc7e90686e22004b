#pragma once

#include "fixedio/format.hpp"
#include "orvalen_version.hpp" // BUILT_NUMBER, the build number built into the program

#include <filesystem>

namespace orvalen {

// The build-stamp files of the development copy. Empty paths (a normal build)
// mean there are none: the build number is then always the built-in one.
struct BuildStamp {
  std::filesystem::path include; // first line "nBuild   =   347"
  std::filesystem::path object;  // compiled build number; deleting it forces a rebuild
};

// BUILDNUMBER: the built-in number, raised by one (and the include file
// rewritten, the object file deleted) on the first run after a build of the
// development copy.
int buildNumber(const BuildStamp &stamp);

// PRINTTITLE: the fifteen banner lines that open every report.
void printTitle(fixedio::Writer &out, int nBuild);

} // namespace orvalen
