#pragma once

#include "base/warnings.hpp"
#include "driver/banner.hpp"

#include <iosfwd>
#include <string>
#include <vector>

namespace orvalen {

// The whole run for a command line (args[0] is the program's name): the job
// input and report files are opened, the banner, every molecule section and
// the reaction, rate and tunnelling sections are written. Returns the exit
// status: 0, or 2 when `warnings` holds one that makes the report unsound (a
// data file missing or empty, values that are not finite in the report).
// Errors are thrown as orvalen::Error; the warnings gathered until then stay
// in `warnings`. `console` receives --help and --version texts only.
int runProgram(const std::vector<std::string> &args, std::ostream &console, const BuildStamp &stamp,
               Warnings &warnings);
// With the build stamp of this build.
int runProgram(const std::vector<std::string> &args, std::ostream &console, Warnings &warnings);
// The warnings dropped (the exit status still tells).
int runProgram(const std::vector<std::string> &args, std::ostream &console,
               const BuildStamp &stamp);

} // namespace orvalen
