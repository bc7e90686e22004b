#include "base/warnings.hpp"

#include "base/wording.hpp"

#include <gtest/gtest.h>

namespace orvalen {
namespace {

TEST(Warnings, UnsoundOnesSetTheExitStatusAndRepeatsAreDropped) {
  Warnings w;
  EXPECT_TRUE(w.empty());
  w.add("MULT 2 gives no number");
  w.add("MULT 2 gives no number"); // the same data file on two job lines
  EXPECT_FALSE(w.reportUnsound());
  w.addUnsound("x.dat does not exist");
  EXPECT_TRUE(w.reportUnsound());
  EXPECT_EQ(w.texts(),
            (std::vector<std::string>{"MULT 2 gives no number", "x.dat does not exist"}));
}

TEST(Warnings, InputTextIsShownOnOneReadableLine) {
  EXPECT_EQ(shownText("a\tb"), "a\\tb");
  EXPECT_EQ(shownText(std::string("nul\0end", 7)), "nul\\x00end");
  EXPECT_EQ(shownText("\x1b[1m\x7f"), "\\x1b[1m\\x7f");
  EXPECT_EQ(shownText("plain text, 18.0106"), "plain text, 18.0106");
}

TEST(Warnings, NumbersInTheShortestTextThatReadsBack) {
  EXPECT_EQ(numberText(0.0016), "0.0016");
  EXPECT_EQ(numberText(250000.0), "250000");
  EXPECT_EQ(numberText(1e-7), "1e-07");
}

TEST(Wording, ListsReadAsAReaderWritesThem) {
  const std::vector<std::string> three{"a", "b", "c"};
  EXPECT_EQ(listed(three), "a, b and c");
  EXPECT_EQ(listed(std::span(three).first(2), " or "), "a or b");
  EXPECT_EQ(listed(std::span(three).first(1)), "a");
  EXPECT_EQ(listed({}), "");
}

} // namespace
} // namespace orvalen
