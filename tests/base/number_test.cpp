#include "base/number.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace orvalen {
namespace {

TEST(NumberGrammar, CompleteNumbersReadAsTheNearestDouble) {
  struct Case {
    const char *text;
    double value;
  };
  const Case cases[] = {
      {"1", 1.0},
      {"-2.5", -2.5},
      {"+0.25", 0.25},
      {"5.", 5.0},
      {".5", 0.5},
      {"1d1", 10.0},
      {"1D-3", 0.001},
      {"2.4D-13", 2.4e-13},
      {"1e+05", 1.0e5},
      {"  300  ", 300.0},
      {"0.3", 0.3},
      {"-0", -0.0},
      {"1.7976931348623157e308", std::numeric_limits<double>::max()},
  };
  for (const auto &c : cases) {
    const auto v = parseNumber(c.text);
    ASSERT_TRUE(v.has_value()) << '"' << c.text << '"';
    EXPECT_EQ(*v, c.value) << '"' << c.text << '"';
  }
}

TEST(NumberGrammar, TextsThatAreNoNumber) {
  const char *const texts[] = {"",    " ",   "-",   "+",    ".",     "E",     "1E",    "1E+",
                               "E5",  "+-1", "1-2", "1E2+", "1E3.5", "1.2.3", "0x10",  "inf",
                               "nan", "1,5", "1 2", "\t1",  "12a",   "1e400", "1e-400"};
  for (const char *t : texts)
    EXPECT_FALSE(parseNumber(t).has_value()) << '"' << t << '"';
}

TEST(NumberGrammar, TheJobInputsLenientPartsAndWholeNumbers) {
  // An empty mantissa or exponent is in the grammar's shape, but no complete number.
  for (const char *t : {"E", ".", "1E", "-.E", "1E+"}) {
    const auto p = splitNumber(t);
    ASSERT_TRUE(p.has_value()) << t;
    EXPECT_FALSE(isComplete(*p)) << t;
  }
  const auto p = splitNumber("-12.50D+3");
  ASSERT_TRUE(p.has_value());
  EXPECT_TRUE(p->negative);
  EXPECT_EQ(p->integer, "12");
  EXPECT_EQ(p->fraction, "50");
  EXPECT_EQ(p->exponent, "+3");
  EXPECT_TRUE(isComplete(*p));

  EXPECT_EQ(parseWholeNumber("010"), 10); // decimal, not octal
  EXPECT_EQ(parseWholeNumber("-7"), -7);
  EXPECT_FALSE(parseWholeNumber("7.0").has_value());
  EXPECT_FALSE(parseWholeNumber("1e3").has_value());
  EXPECT_FALSE(parseWholeNumber("99999999999999999999").has_value());
}

} // namespace
} // namespace orvalen
