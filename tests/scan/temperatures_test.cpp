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

// Each temperature is a number of the one grammar (base/number.hpp), the
// Fortran D exponent included; anything else is refused with its text.
TEST(Temperatures, NumbersOfTheOneGrammar) {
  for (const auto &[text, value] : std::vector<std::pair<const char *, double>>{
           {"3d2", 300.0}, {"2.9815D+02", 298.15}, {"+1e3", 1000.0}, {".5", 0.5}, {"5.", 5.0}})
    EXPECT_EQ(parseTemperatures(text), std::vector<double>{value}) << text;
  EXPECT_EQ(parseTemperatures("2d2:4D2:1d2"), (std::vector<double>{200.0, 300.0, 400.0}));
  // Refused, the message quoting the text it could not read.
  for (const auto &[bad, quoted] :
       std::vector<std::pair<const char *, const char *>>{{"+", "+"},
                                                          {"-", "-"},
                                                          {"+-1", "+-1"},
                                                          {"1e", "1e"},
                                                          {"1d", "1d"},
                                                          {"nan", "nan"},
                                                          {"inf", "inf"},
                                                          {"0x10", "0x10"},
                                                          {"1e999", "1e999"},
                                                          {"3 00", "3 00"},
                                                          {"300K", "300K"},
                                                          {"300,1d", "1d"},
                                                          {"200:400:x", "x"}}) {
    try {
      parseTemperatures(bad);
      ADD_FAILURE() << bad << " accepted";
    } catch (const Error &e) {
      EXPECT_NE(std::string(e.what()).find('"' + std::string(quoted) + '"'), std::string::npos)
          << bad << ": " << e.what();
    }
  }
}

} // namespace
} // namespace orvalen::scan
