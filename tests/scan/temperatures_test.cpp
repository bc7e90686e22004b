// Temperature lists and ranges of the command line.

#include "base/error.hpp"
#include "scan/temperatures.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvalen::scan {
namespace {

TEST(Temperatures, ListsAndRanges) {
  struct Case {
    const char *text;
    std::vector<double> expected;
  };
  const Case cases[] = {
      {"300", {300.0}},
      {"300,500,1000", {300.0, 500.0, 1000.0}},
      {"298.15,+1e3", {298.15, 1000.0}},
      {"200:1000:200", {200.0, 400.0, 600.0, 800.0, 1000.0}},
      {"200:1100:200", {200.0, 400.0, 600.0, 800.0, 1000.0}}, // the end is not on a step
      {"1000:200:-400", {1000.0, 600.0, 200.0}},
      {"300:300:10", {300.0}},
      // 0.1 steps: each point from the start, the end reached despite rounding.
      {"300:300.3:0.1", {300.0, 300.1, 300.2, 300.3}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    const auto ts = parseTemperatures(c.text);
    ASSERT_EQ(ts.size(), c.expected.size());
    for (std::size_t i = 0; i < ts.size(); ++i)
      EXPECT_NEAR(ts[i], c.expected[i], 1e-9 * c.expected[i]);
    EXPECT_EQ(ts.back(), c.expected.back()); // the end itself, not a sum of steps
  }
}

TEST(Temperatures, Capacity) {
  EXPECT_EQ(parseTemperatures("1:100000:1").size(), 100000u);
  EXPECT_THROW(parseTemperatures("1:100001:1"), Error);
  std::string list = "300";
  for (int i = 1; i < 100000; ++i)
    list += ",300";
  EXPECT_EQ(parseTemperatures(list).size(), 100000u);
  EXPECT_THROW(parseTemperatures(list + ",300"), Error);
}

TEST(Temperatures, StrictNumbers) {
  double v = 0.0;
  for (const char *bad :
       {"", "+", "-", "+-1", "1 ", " 1", "1,0", "1e", "nan", "inf", "0x10", "1e999"})
    EXPECT_FALSE(parseReal(bad, v)) << bad;
  for (const auto &[text, value] : std::vector<std::pair<const char *, double>>{
           {"1", 1.0}, {"+2.5", 2.5}, {"-3e2", -300.0}, {".5", 0.5}, {"5.", 5.0}}) {
    ASSERT_TRUE(parseReal(text, v)) << text;
    EXPECT_EQ(v, value);
  }
}

} // namespace
} // namespace orvalen::scan
