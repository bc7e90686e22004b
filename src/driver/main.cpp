#include "driver/run.hpp"
#include "report/warnings.hpp"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

// One line on standard error, whatever the text holds.
void say(const std::string &prefix, std::string text) {
  for (char &c : text)
    if (c == '\n' || c == '\r')
      c = ' ';
  std::cerr << prefix << orvalen::shownText(text) << '\n';
}

void sayWarnings(const orvalen::Warnings &warnings) {
  for (const auto &text : warnings.texts())
    say("orvalen: warning: ", text);
}

} // namespace

int main(int argc, char **argv) {
  const std::vector<std::string> args(argv, argv + argc);
  orvalen::Warnings warnings;
  try {
    const int status = orvalen::runProgram(args, std::cout, warnings);
    sayWarnings(warnings);
    return status;
  } catch (const std::exception &e) {
    sayWarnings(warnings); // what was found before the stop, then the stop itself
    say("orvalen: ", e.what());
    return orvalen::EXIT_STOPPED;
  }
}
