#pragma once

// Warnings about input that is probably not what the user meant. They never
// change the report; the program prints each as one line
// "orvalen: warning: <text>" on standard error. Some of them mean that the
// report, though written to its end, cannot be trusted (a data file that did
// not exist or was empty, values that are not finite): the run then ends with
// exit status 2 instead of 0.

#include <algorithm>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvalen {

class Warnings {
public:
  // Input that was read, but probably not as meant; the exit status stays 0.
  // A text already given is not repeated (a data file named on two job lines).
  void add(std::string text) {
    if (std::find(texts_.begin(), texts_.end(), text) == texts_.end())
      texts_.push_back(std::move(text));
  }
  // The report was written, but its numbers cannot be used: exit status 2.
  void addUnsound(std::string text) {
    add(std::move(text));
    unsound_ = true;
  }

  const std::vector<std::string> &texts() const { return texts_; }
  bool empty() const { return texts_.empty(); }
  bool reportUnsound() const { return unsound_; }

private:
  std::vector<std::string> texts_;
  bool unsound_ = false;
};

// A text from the input as a message shows it: a tab as \t, other control
// characters as \xNN, so that one message stays one readable line.
std::string shownText(std::string_view text);

// Writes "<prefix><text>" as one line: line breaks in the text become blanks,
// other control characters show as shownText shows them.
void printLine(std::ostream &out, std::string_view prefix, std::string_view text);
// Every warning as one line "<program>: warning: <text>".
void printWarnings(std::ostream &out, std::string_view program, const Warnings &warnings);

// A double in the shortest text that reads back as the same value, in the
// style of %g ("0.0016", "250000", "1e-07").
std::string numberText(double value);

} // namespace orvalen
