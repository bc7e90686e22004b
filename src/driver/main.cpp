#include "base/exit_status.hpp"
#include "base/warnings.hpp"
#include "driver/run.hpp"

#include <csignal>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char **argv) {
  // Past a file-size limit a write then fails (and the report keeps its old
  // file) instead of the signal ending the run half-way.
  std::signal(SIGXFSZ, SIG_IGN);
  const std::vector<std::string> args(argv, argv + argc);
  orvalen::Warnings warnings;
  try {
    const int status = orvalen::runProgram(args, std::cout, warnings);
    orvalen::printWarnings(std::cerr, "orvalen", warnings);
    return status;
  } catch (const std::exception &e) {
    // What was found before the stop, then the stop itself.
    orvalen::printWarnings(std::cerr, "orvalen", warnings);
    orvalen::printLine(std::cerr, "orvalen: ", e.what());
    return orvalen::EXIT_STOPPED;
  }
}
