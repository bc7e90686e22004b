#include "fixedio/warnings.hpp"

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

TEST(Warnings, ImpliedDecimalPointThatChangesTheNumber) {
  struct Case {
    const char *field;
    int decimals;
    bool changes;
  };
  const Case cases[] = {
      {"        16", 4, true},                            // 0.0016
      {"   16.0   ", 4, false},                           // the point is written
      {"    0     ", 4, false},                           // zero is zero either way
      {"   -000   ", 4, false}, {"          ", 4, false}, // blank: 0
      {"  1 6     ", 4, true},                            // blanks inside a field are dropped: 16
      {"25E14", 10, true},                                // 0.0000000025E14
      {"2.5E15", 10, false},    {"1000", 10, true},
      {"-1512", 3, true},       {"16", 0, false}, // no decimals: F10.0 reads 16
  };
  for (const auto &c : cases)
    EXPECT_EQ(impliedPointChanges(c.field, c.decimals), c.changes) << '"' << c.field << '"';
}

TEST(Warnings, TheNumberAsProbablyMeant) {
  EXPECT_EQ(withPointWritten("        16"), "16.0");
  EXPECT_EQ(withPointWritten("25E14"), "25.0E14");
  EXPECT_EQ(withPointWritten("-1512"), "-1512.0");
  EXPECT_EQ(numberText(0.0016), "0.0016");
  EXPECT_EQ(numberText(250000.0), "250000");
  EXPECT_EQ(numberText(1e-7), "1e-07");
}

} // namespace
} // namespace orvalen
