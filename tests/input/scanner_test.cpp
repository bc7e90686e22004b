#include "base/error.hpp"
#include "input/scanner.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace orvalen {
namespace {

std::string blanks(std::size_t n) {
  return std::string(n, ' ');
}

TEST(Scanner, IsDigitIsTrueForTheTenDigitsOnly) {
  for (int c = 0; c < 256; ++c)
    EXPECT_EQ(isDigit(static_cast<char>(c)), c >= '0' && c <= '9') << c;
}

TEST(Scanner, LeftAdjustMovesLeadingBlanksToTheEnd) {
  EXPECT_EQ(leftAdjusted("  ab c "), "ab c   ");
  EXPECT_EQ(leftAdjusted("\tx"), "\tx"); // a tab is not a blank
  EXPECT_EQ(leftAdjusted("   "), "   ");
  EXPECT_EQ(leftAdjusted(""), "");
}

TEST(Scanner, ToUpperCaseConvertsAsciiLettersOfTheFirst132Characters) {
  EXPECT_EQ(toUpperCase("cond temp=300 \t~{}az_AZ"), "COND TEMP=300 \t~{}AZ_AZ" + blanks(255 - 23));
  EXPECT_EQ(toUpperCase("   "), blanks(255));
  EXPECT_EQ(toUpperCase("\xe9t\xe9"), "\xe9T\xe9" + blanks(252)); // only plain ASCII letters

  const std::string longLine = std::string(131, 'a') + "bc";
  EXPECT_EQ(toUpperCase(longLine), std::string(131, 'A') + "B" + blanks(123));
  // Trailing blanks inside the first 132 stay; what comes after them is dropped.
  EXPECT_EQ(toUpperCase("x" + blanks(140) + "y"), "X" + blanks(254));
}

TEST(Scanner, SubStringSplitsAtBlanksOnly) {
  using Words = std::vector<std::string>;
  EXPECT_EQ(subString("  REACT   CH4 ch4.dat  ", 20), (Words{"REACT", "CH4", "ch4.dat"}));
  EXPECT_EQ(subString("a\tb c", 20), (Words{"a\tb", "c"}));
  EXPECT_EQ(subString("", 20), Words{});
  EXPECT_EQ(subString("    ", 20), Words{});
  EXPECT_EQ(subString("a b c", 3), (Words{"a", "b", "c"}));
}

TEST(Scanner, SubStringStopsBeyondItsCapacity) {
  try {
    subString("a b c d", 3);
    FAIL() << "four words in a list of three";
  } catch (const Error &e) {
    EXPECT_NE(std::string(e.what()).find("more than 3 words"), std::string::npos) << e.what();
  }
}

struct NumberCase {
  const char *text;
  int kind;
  int ival;
  double xval;
};

// Real values follow the number's own formula, XVAL = sign*(I + f*10^-k)*10^E
// with 10^n by repeated squaring and 10^-n = 1/10^n. Checked with python3, e.g.
//   298 + 15*(1/10**2) == 298.15;  3*(1/10) == 0.30000000000000004;
//   7*(1/10**10) == 7.000000000000001e-10
TEST(Scanner, IsNumberClassifiesAndConverts) {
  const NumberCase cases[] = {
      {"298.15", 2, 298, 298.15},
      {"-5", 1, -5, -5.0},
      {"+7", 1, 7, 7.0},
      {"  42  ", 1, 42, 42.0},
      {"0", 1, 0, 0.0},
      {"007", 1, 7, 7.0},
      {"2147483647", 1, 2147483647, 2147483647.0},
      {"1.5E3", 2, 1500, 1500.0},
      {"1.5d3", 2, 1500, 1500.0},
      {"1.5e+3", 2, 1500, 1500.0},
      {"2E-3", 2, 0, 0.002},
      {"-2D-3", 2, 0, -0.002},
      {"1E", 2, 1, 1.0},
      {"1E+", 2, 1, 1.0}, // an empty exponent counts as 0
      {".5", 2, 0, 0.5},
      {"5.", 2, 5, 5.0},
      {".", 2, 0, 0.0},
      {"E", 2, 0, 0.0},
      {"d", 2, 0, 0.0},
      {"-.E", 2, 0, 0.0},
      {"0.25", 2, 0, 0.25},
      {"0.3", 2, 0, 0.30000000000000004}, // 3 * (1/10)
      {"7E-10", 2, 0, 7.000000000000001e-10},
      {"-2.7", 2, -2, -2.7},
      {"-76.123456789", 2, -76, -76.123456789},
      {"123.456E2", 2, 12345, 12345.6},
      // The fraction is a value, not a length: f = 1, k = 23, and 10^23 is no longer exact.
      {"0.00000000000000000000001", 2, 0, 1.0000000000000001e-23}, // 1*(1/10**23)
      {"9223372036854775807E0", 2, 2147483647, 9223372036854775807.0},
      {"3000000000.5", 2, 2147483647, 3000000000.5}, // IVAL saturates
      {"-3000000000.5", 2, -2147483647 - 1, -3000000000.5},
      {"1E-2147483648", 2, 0, 0.0},
  };
  for (const auto &c : cases) {
    int ival = -99;
    double xval = -99.0;
    EXPECT_EQ(isNumber(c.text, ival, xval), c.kind) << c.text;
    EXPECT_EQ(ival, c.ival) << c.text;
    EXPECT_EQ(xval, c.xval) << c.text;
  }
}

TEST(Scanner, IsNumberBeyondTheDoubleRange) {
  int ival = -99;
  double xval = 0.0;
  EXPECT_EQ(isNumber("1E400", ival, xval), 2);
  EXPECT_EQ(xval, std::numeric_limits<double>::infinity());
  EXPECT_EQ(ival, 2147483647);
  EXPECT_EQ(isNumber("-1.0E400", ival, xval), 2);
  EXPECT_EQ(xval, -std::numeric_limits<double>::infinity());
  EXPECT_EQ(ival, -2147483647 - 1);
  EXPECT_EQ(isNumber("1E-400", ival, xval), 2);
  EXPECT_EQ(xval, 0.0);
  // 0 * 10^400 is 0 times infinity: NaN, whose IVAL is 0.
  EXPECT_EQ(isNumber("0E400", ival, xval), 2);
  EXPECT_TRUE(std::isnan(xval));
  EXPECT_EQ(ival, 0);
}

TEST(Scanner, IsNumberRejectsAndLeavesValuesUntouched) {
  const char *const notNumbers[] = {"",     " ",     "-",    "+",   "1.2.3", "1E2E3", "1E3.5",
                                    "1-2",  "E+5",   "-E+5", "1,5", "12a",   "1 2",   "1E+-2",
                                    "1E2+", "1E-2-", "+-1",  "\t1", "1\t",   "0x10",  "1/2"};
  for (const char *s : notNumbers) {
    int ival = 17;
    double xval = 17.5;
    EXPECT_EQ(isNumber(s, ival, xval), 0) << '"' << s << '"';
    EXPECT_EQ(ival, 17) << s;
    EXPECT_EQ(xval, 17.5) << s;
  }
}

TEST(Scanner, IsNumberStopsOnDigitStringsTooLongForTheirInteger) {
  const char *const tooLong[] = {
      "2147483648",            // plain integer beyond 32 bits
      "-2147483648",           // the digits are read before the sign is applied
      "9223372036854775808E0", // mantissa beyond 64 bits
      "9223372036854775808.5", // integer part
      "0.9223372036854775808", // fraction
      "1.0E2147483648",        // exponent beyond 32 bits
      "1E-2147483649",
  };
  for (const char *s : tooLong) {
    int ival = 0;
    double xval = 0.0;
    try {
      isNumber(s, ival, xval);
      ADD_FAILURE() << s << " was converted";
    } catch (const Error &e) {
      EXPECT_NE(std::string(e.what()).find(std::string("\"") + s + "\""), std::string::npos)
          << e.what();
    }
  }
}

TEST(Scanner, GetOptionFindsKeysAsWordPrefixes) {
  const OptionResult mult = iGetOption("MULT", "MULT=2 ROTNUM=3");
  EXPECT_TRUE(mult.found);
  EXPECT_EQ(mult.nres, 1);
  EXPECT_EQ(mult.lres(1), 1);
  EXPECT_EQ(mult.ires(1), 2);
  EXPECT_EQ(mult.xres(1), 2.0);

  const OptionResult rotnum = iGetOption("rotnum", "MULT=2 ROTNUM=3");
  EXPECT_TRUE(rotnum.found);
  EXPECT_EQ(rotnum.ires(1), 3);

  const OptionResult temp = iGetOption("TEMP", "cond temp=300");
  EXPECT_TRUE(temp.found);
  EXPECT_EQ(temp.xres(1), 300.0);

  EXPECT_EQ(iGetOption("TEMP", "COND TEMPERATURE=310.5").xres(1), 310.5);
  // The first word that begins with the key wins, even without a value.
  const OptionResult first = iGetOption("T", "COND TEMP TT=5");
  EXPECT_TRUE(first.found);
  EXPECT_EQ(first.nres, 0);
  // A key only inside a word is not found.
  EXPECT_FALSE(iGetOption("MULT", "XMULT=2").found);
}

TEST(Scanner, GetOptionValueForms) {
  struct Case {
    const char *key;
    const char *line;
    int nres;
    int ires1;
    double xres1;
  };
  const Case cases[] = {
      {"K", "K(4)", 1, 4, 4.0},
      {"K", "K=(4)", 1, 4, 4.0},     // "(" is looked at before "="
      {"K", "K=4)", 1, 0, 0.0},      // no "(": everything after "=", and "4)" is text
      {"K", "K=(4", 0, 0, 0.0},      // unterminated parenthesis
      {"K", "K)(4", 0, 0, 0.0},      // no ")" after the first "("
      {"K", "K(1,2)(3)", 2, 1, 1.0}, // first "(" to last ")": items "1" and "2)(3"
      {"K", "K=1=2", 1, 0, 0.0},     // "1=2" is a text item
      {"K", "K=", 0, 0, 0.0},
      {"K", "K()", 0, 0, 0.0},
      {"K", "K=,;,", 0, 0, 0.0},
      {"TEMP", "TEMP 300", 0, 0, 0.0}, // the value must be attached to the key
      {"K", "K=(1, 2)", 0, 0, 0.0},    // the word examined is "K=(1,"
      {"K", "K=,,7", 1, 7, 7.0},
      {"MULT", "MULT=2.7", 1, 2, 2.7},
      {"MULT", "MULT=abc", 1, 0, 0.0},
  };
  for (const auto &c : cases) {
    const OptionResult r = iGetOption(c.key, c.line);
    EXPECT_TRUE(r.found) << c.line;
    EXPECT_EQ(r.nres, c.nres) << c.line;
    EXPECT_EQ(r.ires(1), c.ires1) << c.line;
    EXPECT_EQ(r.xres(1), c.xres1) << c.line;
  }
}

TEST(Scanner, GetOptionItemsOfEachKind) {
  const OptionResult r = iGetOption("X", "X=(1,2.5;abc)");
  ASSERT_TRUE(r.found);
  ASSERT_EQ(r.nres, 3);
  EXPECT_EQ(r.lres(1), 1);
  EXPECT_EQ(r.ires(1), 1);
  EXPECT_EQ(r.xres(1), 1.0);
  EXPECT_EQ(r.sres(1), "");
  EXPECT_EQ(r.lres(2), 2);
  EXPECT_EQ(r.ires(2), 2);
  EXPECT_EQ(r.xres(2), 2.5);
  EXPECT_EQ(r.lres(3), 3);
  EXPECT_EQ(r.ires(3), 0);
  EXPECT_EQ(r.xres(3), 0.0);
  EXPECT_EQ(r.sres(3), "ABC"); // text items are upper case
  for (int k = 4; k <= MAX_OPTION_ITEMS; ++k) {
    EXPECT_EQ(r.lres(k), 0) << k;
    EXPECT_EQ(r.sres(k), "") << k;
  }
}

TEST(Scanner, GetOptionLooksAtTheFirst132CharactersOfTheLeftAdjustedLine) {
  // 124 + 7 = 131 characters after the leading blanks: all of it counts.
  const std::string inside = blanks(50) + std::string(124, 'A') + " TT=300";
  EXPECT_EQ(iGetOption("TT", inside).xres(1), 300.0);
  // 128 + 7 = 135 characters: the word is cut to "TT=", a key without a value.
  const OptionResult cut = iGetOption("TT", std::string(128, 'A') + " TT=300");
  EXPECT_TRUE(cut.found);
  EXPECT_EQ(cut.nres, 0);
  EXPECT_FALSE(iGetOption("TT", std::string(131, 'A') + " TT=300").found);
}

TEST(Scanner, GetOptionStopsBeyondFiftyItems) {
  std::string fifty = "X=1";
  for (int k = 2; k <= 50; ++k)
    fifty += "," + std::to_string(k % 10);
  EXPECT_EQ(iGetOption("X", fifty).nres, 50);
  EXPECT_EQ(iGetOption("X", fifty).ires(50), 0);
  try {
    iGetOption("X", fifty + ",1");
    FAIL() << "51 items were accepted";
  } catch (const Error &e) {
    EXPECT_NE(std::string(e.what()).find("more than 50 values"), std::string::npos) << e.what();
  }
}

} // namespace
} // namespace orvalen
