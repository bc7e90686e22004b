#include "base/error.hpp"
#include "fixedio/format.hpp"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace orvalen::fixedio {
namespace {

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

struct FieldCase {
  const char *format;
  double value;
  const char *expected;
};

TEST(OutputFields, RealFieldsRoundAlignAndOverflow) {
  const FieldCase cases[] = {
      {"(f10.3)", 1234.5678, "  1234.568"},
      {"(f16.8)", -76.123456789, "    -76.12345679"},
      {"(f4.3)", 0.5, ".500"},
      {"(f10.3)", -0.5, "    -0.500"},
      {"(f10.3)", 1.0e7, "**********"},
      {"(f10.3)", -0.0001, "    -0.000"},
      {"(f10.3)", -0.0, "    -0.000"},
      {"(f5.2)", 0.125, " 0.12"},
      {"(f9.4)", 1.0, "   1.0000"},
      {"(f12.2)", 298.15, "      298.15"},
      {"(f12.2)", 101325.0, "   101325.00"},
      {"(1pE12.5)", 0.0, " 0.00000E+00"},
      {"(1pE15.5)", 12345.678, "    1.23457E+04"},
      {"(1pE15.5)", 1.5e-120, "    1.50000-120"},
      {"(1pd17.6)", 6.02214e23, "     6.022140D+23"},
      {"(1pe12.3)", -2.5e15, "  -2.500E+15"},
      {"(1pe20.6)", 4.1164e-26, "        4.116400E-26"},
      {"(1pE12.5)", 1.0, " 1.00000E+00"},
      {"(1pE12.5)", 9.9999949, " 9.99999E+00"},
      {"(1pE12.5)", 9.9999951, " 1.00000E+01"},
      {"(0pE12.5)", 12345.678, " 0.12346E+05"},
      {"(f20.10)", inf, "            Infinity"},
      {"(f7.3)", inf, "    Inf"},
      {"(f2.1)", inf, "**"},
      {"(f10.3)", -inf, " -Infinity"},
      {"(f8.3)", -inf, "    -Inf"},
      {"(f3.1)", -inf, "***"},
      {"(1pE15.5)", nan, "            NaN"},
      {"(f2.1)", nan, "**"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(format(c.format, c.value), std::string(c.expected) + "\n")
        << c.format << " " << c.value;
}

// Fixed fields are rounded in 128-bit integers when the value times 10^d stays
// below 2^64, and by the general conversion beyond; on both sides of that limit,
// for the smallest values and for exact ties, the digits are those the C
// library prints.
TEST(OutputFields, RealFieldsMatchTheCLibraryAtTheLimitsOfTheIntegerRounding) {
  const double two64 = 18446744073709551616.0;
  std::vector<std::pair<double, int>> cases;
  for (int d : {0, 1, 3, 8, 10, 19, 20}) {
    const double limit = two64 / std::pow(10.0, d);
    for (double x : {limit, std::nextafter(limit, 0.0), std::nextafter(limit, inf), limit * 0.5})
      cases.emplace_back(x, d);
  }
  for (int d : {0, 3, 19, 20})
    for (double x :
         {0.5, 1.5, 2.5, 0.125, 0.375, 1e-320, 5e-324, 2.2250738585072014e-308, 0.49999999999999994,
          9.5e-4, 4.35, 1e15 + 0.5, 9007199254740993.0, std::ldexp(1.0, 63), std::ldexp(1.0, 64),
          std::ldexp(1.0, -117), std::ldexp(1.0, -118), std::ldexp(3.0, -119)}) {
      cases.emplace_back(x, d);
      cases.emplace_back(-x, d);
    }
  for (const auto &[x, d] : cases) {
    char buf[512];
    std::snprintf(buf, sizeof buf, "%60.*f", d, x);
    std::string expected = buf;
    if (d == 0)
      expected = expected.substr(1) + "."; // F editing keeps the point
    EXPECT_EQ(editF(x, 60, d), expected) << x << " with d=" << d;
  }
}

// E fields are rounded in 128-bit integers when the scaled value fits, with
// up to 19 significant digits, and by the general conversion beyond; the
// digits and exponent are those "%.*E" prints (a three-digit exponent drops
// the letter in an E field). Exact ties, carries into the next power of ten,
// neighbours of powers of ten and the ends of the range are checked.
TEST(OutputFields, ExponentFieldsMatchTheCLibraryAtTheLimitsOfTheIntegerRounding) {
  std::vector<std::pair<double, int>> cases; // value, d of 1pE40.d
  for (int d : {0, 1, 4, 5, 8, 17, 18, 19, 25})
    for (double x : {0.125,
                     0.375,
                     2.5,
                     9.5,
                     1.0,
                     9.9999995,
                     9.99999949,
                     999999.5,
                     0.1,
                     1e-5,
                     123456.789,
                     6.02214076e23,
                     1.602176634e-19,
                     1e22,
                     1e23,
                     3e-25,
                     1.5e-120,
                     2.2250738585072014e-308,
                     4.9e-324,
                     1.7976931348623157e308,
                     9007199254740993.0,
                     0.0}) {
      cases.emplace_back(x, d);
      cases.emplace_back(-x, d);
    }
  for (int e = -40; e <= 40; ++e) { // powers of ten and their neighbours
    const double p = std::pow(10.0, e);
    for (double x : {p, std::nextafter(p, 0.0), std::nextafter(p, inf)})
      cases.emplace_back(x, 5);
  }
  for (const auto &[x, d] : cases) {
    char buf[512];
    std::snprintf(buf, sizeof buf, "%#40.*E", d, x); // # keeps the point with d = 0
    std::string expected = buf;
    const auto e = expected.rfind('E');
    if (expected.size() - e == 5) // E+123: the letter gives way to the third digit
      expected = " " + expected.erase(e, 1);
    EXPECT_EQ(editE(x, 40, d, 1), expected) << x << " with d=" << d;
  }
}

TEST(OutputLayout, WriterCountsTheRealValuesThatAreNotFinite) {
  std::ostringstream out;
  Writer w(out);
  w.write("(2f10.3)", 1.5, -0.0);
  EXPECT_EQ(w.nonFiniteFields(), 0);
  w.write("(2f10.3,1pE12.5)", nan, 2.0, -inf);
  w.write("(i4,f2.1)", 7, inf); // asterisks in a narrow field
  EXPECT_EQ(w.nonFiniteFields(), 3);
  EXPECT_EQ(out.str(), "     1.500    -0.000\n       NaN     2.000   -Infinity\n   7**\n");
}

TEST(OutputFields, IntegersAndTexts) {
  EXPECT_EQ(format("(i15)", -5), "             -5\n");
  EXPECT_EQ(format("(i1)", 12), "*\n");
  EXPECT_EQ(format("(i1)", 0), "0\n");
  EXPECT_EQ(format("(i6)", 347), "   347\n");
  EXPECT_EQ(format("(a15)", std::string("ACETALDEHYDE_LONG_NA")), "ACETALDEHYDE_LO\n");
  EXPECT_EQ(format("(a20)", std::string("OH")), "                  OH\n");
  EXPECT_EQ(format("(a1,a1)", 'x', 'y'), "xy\n");
}

TEST(OutputLayout, SlashesSkipsRepeatsAndEarlyStop) {
  EXPECT_EQ(
      format("( ' Gelec = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree'/)", 0.0, 0.0, 0.0),
      " Gelec =      0.000  kJ/mol     0.000  kcal/mol      0.00000000 Hartree\n\n");
  EXPECT_EQ(format("(//,1x,255a1)", 'A', ' ', '=', '=', ' ', 'B', '.'), "\n\n A == B.\n");
  EXPECT_EQ(format("(//' *** Electronic contribution ***')"),
            "\n\n *** Electronic contribution ***\n");
  EXPECT_EQ(format("(i2,4x)", 7), " 7\n"); // trailing skip adds nothing
  EXPECT_EQ(format("(3f5.1)", 1.0, 2.0, 3.0), "  1.0  2.0  3.0\n");
  EXPECT_EQ(format("('x',2(1pe9.2),'y')", 1.0, 2.0), "x 1.00E+00 2.00E+00y\n");
  EXPECT_EQ(format("('a',<>i3,'|',<>i3)", 2, 1, 2, 1, 9), "a  1  2|  9\n");
  // m1/molecule1 style: literal right after a descriptor without a comma
  EXPECT_EQ(format("('m',i1,'/molecule',i1'/s')", 0, 0), "m0/molecule0/s\n");
  EXPECT_EQ(format("('k',1pe10.2,0pf6.2)", 1234.0, 1.5), "k  1.23E+03  1.50\n");
}

TEST(OutputLayout, RunawayRepeatCountsAreRefused) {
  // 99999^3 literal writes would keep one write busy for ever.
  EXPECT_THROW(format("(99999(99999(99999('x'))))"), std::invalid_argument);
  EXPECT_THROW(format("(99999(99999(99999(1x))))"), std::invalid_argument);
  EXPECT_THROW(parseFormatText(std::string(20, '(') + "i2" + std::string(20, ')')),
               std::invalid_argument);
  EXPECT_EQ(format("(2(2(2('x'))))"), "xxxxxxxx\n");
}

TEST(InputFields, FixedColumnsAndImpliedPoint) {
  Record r{"                          "
           "      185",
           "X.DAT", 3};
  double x = -1;
  read("(26x,f10.4)", r, &x);
  EXPECT_DOUBLE_EQ(x, 0.0185);
  int n = -1;
  Record blank{"", "X.DAT", 4};
  read("(26x,i10)", blank, &n);
  EXPECT_EQ(n, 0);
  double f = 0, g = 0;
  Record modes{"    1234.567   12.000", "X.DAT", 5};
  read("(4x,2f9.3)", modes, &f, &g);
  EXPECT_EQ(f, 1234.567);
  EXPECT_EQ(g, 12.0);

  struct RealCase {
    const char *text;
    int d;
    double expected;
  };
  const RealCase reals[] = {{"2.5E15", 10, 2.5e15}, {"25E14", 10, 2.5e5},  {"1000", 10, 1.0e-7},
                            {"1 2.5", 3, 12.5},     {"-1.5d2", 3, -150.0}, {"1.5+2", 3, 150.0},
                            {"  ", 3, 0.0},         {"5", 4, 0.0005},      {".5", 4, 0.5}};
  for (const auto &c : reals) {
    double v = -99;
    ASSERT_TRUE(parseRealField(c.text, c.d, v)) << c.text;
    EXPECT_DOUBLE_EQ(v, c.expected) << c.text;
  }
  double big = 0;
  ASSERT_TRUE(parseRealField("1E400", 0, big));
  EXPECT_TRUE(std::isinf(big));
  for (const char *bad : {".", "+", "-", "E5", "1.2x", "1.2.3", "1E", "1E+", "1e5.0"}) {
    double v = 0;
    EXPECT_FALSE(parseRealField(bad, 3, v)) << bad;
  }
  for (const char *bad : {"1.0", "12a", "+", "99999999999"}) {
    int v = 0;
    EXPECT_FALSE(parseIntField(bad, v)) << bad;
  }
}

// Short numbers are converted with one exact multiplication or division,
// longer ones in full; on both sides of that limit (2^53 as the digits, 10^22
// as the power) the value is the C library's correctly rounded one.
TEST(InputFields, RealsMatchTheCLibraryAtTheLimitsOfTheShortConversion) {
  struct Case {
    const char *field;
    int d;
    const char *decimal; // the same number as the C library reads it
  };
  const Case cases[] = {
      {"9007199254740992", 0, "9007199254740992"},   // 2^53
      {"9007199254740993", 0, "9007199254740993"},   // 2^53 + 1: a tie, rounds to even
      {"9007199254740995", 0, "9007199254740995"},   // a tie rounding up
      {"12345678901234567", 0, "12345678901234567"}, // 17 digits
      {"0.1", 0, "0.1"},
      {"1.7976931348623157e308", 0, "1.7976931348623157e308"},
      {"4.9e-324", 0, "4.9e-324"}, // the least subnormal
      {"1e22", 0, "1e22"},
      {"1e23", 0, "1e23"},
      {"3e23", 0, "3e23"},                               // 3 * 10^23 in doubles rounds otherwise
      {"9007199254740995e-3", 0, "9007199254740995e-3"}, // so would 2^53 + 3 over 1000
      {"18014398509481983e-10", 0, "18014398509481983e-10"}, // and 17 digits
      {"3e-22", 0, "3e-22"},
      {"3e-23", 0, "3e-23"},
      {"123456789e14", 0, "123456789e14"},
      {"1234567", 4, "123.4567"},                  // implied point
      {"12", 5, "0.00012"},                        // implied point before the digits
      {"-0", 3, "-0"},                             // negative zero
      {"0e99999", 0, "0"},                         // zero with any exponent
      {"0000000000000000000000123.5", 0, "123.5"}, // leading zeros are not digits
      {"2.000000000000000000001", 0, "2.000000000000000000001"},
      {"8.98846567431158e307", 0, "8.98846567431158e307"},
      {"-2.5d-3", 0, "-2.5e-3"},
  };
  for (const auto &c : cases) {
    double v = 0;
    ASSERT_TRUE(parseRealField(c.field, c.d, v)) << c.field;
    const double expected = std::strtod(c.decimal, nullptr);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(v), std::bit_cast<std::uint64_t>(expected))
        << c.field << " read as " << v << ", the C library gives " << expected;
  }
}

TEST(InputFields, ConversionErrorNamesFileLineAndText) {
  Record r{"                          1.2x", "CH4.DAT", 12};
  double x = 0;
  try {
    read("(26x,f10.4)", r, &x);
    FAIL();
  } catch (const Error &e) {
    EXPECT_STREQ(e.what(), "CH4.DAT line 12: cannot read \"1.2x\" as a real number");
  }
}

} // namespace
} // namespace orvalen::fixedio
