#include "driver/run.hpp"
#include "fixedio/warnings.hpp"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char **argv) {
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
