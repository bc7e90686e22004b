#pragma once

#include "driver/banner.hpp"

#include <iosfwd>
#include <string>
#include <vector>

namespace orvalen {

// The whole run for a command line (args[0] is the program's name): the job
// input and report files are opened, the banner, every molecule section and
// the reaction, rate and tunnelling sections are written. Returns the exit
// status; errors are thrown as orvalen::Error. `console` receives --help and
// --version texts only.
int runProgram(const std::vector<std::string> &args, std::ostream &console,
               const BuildStamp &stamp);
int runProgram(const std::vector<std::string> &args, std::ostream &console);

} // namespace orvalen
