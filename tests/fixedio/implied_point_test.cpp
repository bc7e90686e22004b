#include "fixedio/implied_point.hpp"

#include <gtest/gtest.h>

namespace orvalen::fixedio {
namespace {

TEST(ImpliedPoint, ImpliedDecimalPointThatChangesTheNumber) {
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

TEST(ImpliedPoint, TheNumberAsProbablyMeant) {
  EXPECT_EQ(withPointWritten("        16"), "16.0");
  EXPECT_EQ(withPointWritten("25E14"), "25.0E14");
  EXPECT_EQ(withPointWritten("-1512"), "-1512.0");
}

} // namespace
} // namespace orvalen::fixedio
