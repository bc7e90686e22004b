#include "driver/run.hpp"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char **argv) {
  const std::vector<std::string> args(argv, argv + argc);
  try {
    return orvalen::runProgram(args, std::cout);
  } catch (const std::exception &e) {
    std::string msg = e.what();
    for (char &c : msg)
      if (c == '\n' || c == '\r')
        c = ' ';
    std::cerr << "orvalen: " << msg << '\n';
    return 1;
  }
}
