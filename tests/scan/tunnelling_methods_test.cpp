// The tunnelling methods of orvalen-scan: the words --tunnelling takes and
// the texts that name them, each coefficient column holding its own
// coefficient, and k taking the chosen one.
//
// The OH + CH4 example: imaginary frequency 1536 cm-1, V1 = dH0 = 20.494904
// kJ/mol, exoergic (so the lower side is 0). By hand from the published
// formulas with the report's CODATA 1998 constants, u = h c nu / kT,
// alpha = 2 pi / h c nu, beta = 1/kT:
//   Wigner (Z. Phys. Chem. B 19 (1932) 203): 1 + u^2/24
//   parabolic barrier (Bell, The Tunnel Effect in Chemistry, 1980):
//     (u/2)/sin(u/2), only for u < 2 pi
//   Skodje and Truhlar (J. Phys. Chem. 85 (1981) 624):
//     beta < alpha: (beta pi/alpha)/sin(beta pi/alpha) - beta/(alpha-beta) exp((beta-alpha) V1)
//     beta > alpha: beta/(beta-alpha) (exp((beta-alpha) V1) - 1)
// and Eckart from the mpmath values of tests/fixtures/scan/eckart_reference.txt.
//   T = 200 K:  u = 11.0498  Wigner 6.087414198  S-T 469.8842357  Eckart 116.026057544991
//   T = 1000 K: u = 2.20996  Wigner 1.203496568  parabolic 1.236748871  S-T 1.230976664
//               Eckart 1.24359751039854

#include "scan_support.hpp"

#include "scan/output.hpp"
#include "scan/scan.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>

namespace orvalen::test {
namespace {

using scan::Method;

const std::string OH_CH4 = std::string(ORVALEN_SOURCE_DIR) + "/examples/oh_ch4/oh_ch4";

scan::ScanResult ohCh4(Method method) {
  scan::ScanRequest request;
  request.job = OH_CH4;
  request.temperatures = {200.0, 1000.0};
  request.method = method;
  scan::ScanResult r;
  scan::runScan(request, r);
  return r;
}

std::vector<std::string> cells(const std::string &line) {
  std::vector<std::string> c;
  std::stringstream s(line);
  for (std::string x; std::getline(s, x, ',');)
    c.push_back(x);
  if (!line.empty() && line.back() == ',')
    c.emplace_back();
  return c;
}

TEST(TunnellingMethods, WordsTheOptionTakes) {
  struct Case {
    const char *word;
    const char *method; // nullptr: refused
  };
  const Case cases[] = {
      {"none", "none"},
      {"wigner", "wigner"},
      {"skodje-truhlar", "skodje-truhlar"},
      {"eckart", "eckart"},
      {"parabolic", nullptr}, // absent below T = h nu / 2 pi k, so it cannot make k
      {"Parabolic", nullptr},
      {"Eckart", "eckart"}, // as a name is written
      {"ECKART", "eckart"},
      {"Skodje-Truhlar", "skodje-truhlar"},
      {"skodje_truhlar", nullptr}, // the JSON's spelling, not the option's
      {"eckart ", nullptr},
      {"", nullptr},
  };
  for (const Case &c : cases) {
    Method m = Method::Parabolic; // what a refused word must leave alone
    EXPECT_EQ(scan::parseMethod(c.word, m), c.method != nullptr) << '"' << c.word << '"';
    if (c.method)
      EXPECT_STREQ(scan::methodName(m), c.method);
    else
      EXPECT_EQ(m, Method::Parabolic) << '"' << c.word << '"';
  }
}

// The American spelling is the same option; the output names the method as
// the table of methods spells it.
TEST(TunnellingMethods, TunnelingIsTheSameOption) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  const RunResult british = runScanBinary(dir.path(), "oh_ch4 -T 400,1000 --tunnelling eckart");
  ASSERT_EQ(british.status, 0) << british.stderrText;
  for (const char *args : {"--tunneling eckart", "--tunneling Eckart", "--tunnelling ECKART"}) {
    const RunResult r = runScanBinary(dir.path(), std::string("oh_ch4 -T 400,1000 ") + args);
    EXPECT_EQ(r.status, 0) << args << ": " << r.stderrText;
    EXPECT_EQ(r.stdoutText, british.stdoutText) << args;
  }
  const RunResult both =
      runScanBinary(dir.path(), "oh_ch4 -T 400 --tunnelling eckart --tunneling wigner");
  EXPECT_EQ(both.status, 1);
  EXPECT_EQ(both.stderrText,
            "orvalen-scan: --tunnelling and --tunneling are one option: give it once\n");
  const RunResult bad = runScanBinary(dir.path(), "oh_ch4 -T 400 --tunneling bell");
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.stderrText, "orvalen-scan: unknown tunnelling method \"bell\" (none, wigner, "
                            "skodje-truhlar or eckart)\n");
}

TEST(TunnellingMethods, HelpAndErrorNameEveryMethod) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  const RunResult help = runScanBinary(dir.path(), "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.stdoutText.rfind(
                "Rate constants of an orvalen job over a range of temperatures: TST kQ and kG,\n"
                "Wigner, parabolic, Skodje-Truhlar and Eckart tunnelling, Arrhenius fits.\n",
                0),
            0u)
      << help.stdoutText;
  EXPECT_NE(help.stdoutText.find("--tunnelling TEXT           none | wigner | skodje-truhlar | "
                                 "eckart: the coefficient that multiplies kQ in k, the fit and "
                                 "the plot\n"),
            std::string::npos)
      << help.stdoutText;

  const RunResult bad = runScanBinary(dir.path(), "oh_ch4 --tunnelling parabolic");
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.stderrText, "orvalen-scan: unknown tunnelling method \"parabolic\" (none, "
                            "wigner, skodje-truhlar or eckart)\n");
}

TEST(TunnellingMethods, EachColumnHoldsItsOwnCoefficient) {
  struct Case {
    std::size_t row; // 0: 200 K, 1: 1000 K
    const char *column;
    std::optional<double> kappa;
  };
  const Case cases[] = {
      {0, "kappa Wigner ()", 6.087414198},
      {0, "kappa parabolic ()", std::nullopt}, // u = 11.05 > 2 pi
      {0, "kappa Skodje-Truhlar ()", 469.8842357},
      {0, "kappa Eckart ()", 116.026057544991},
      {1, "kappa Wigner ()", 1.203496568},
      {1, "kappa parabolic ()", 1.236748871},
      {1, "kappa Skodje-Truhlar ()", 1.230976664},
      {1, "kappa Eckart ()", 1.24359751039854},
  };
  std::ostringstream out;
  scan::writeCsv(out, ohCh4(Method::None));
  const auto lines = linesOf(out.str());
  ASSERT_EQ(lines.size(), 3u);
  const auto head = cells(lines[0]);
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.column) + (c.row == 0 ? " at 200 K" : " at 1000 K"));
    const auto col = std::find(head.begin(), head.end(), c.column);
    ASSERT_NE(col, head.end());
    const std::string cell =
        cells(lines[1 + c.row]).at(static_cast<std::size_t>(col - head.begin()));
    if (!c.kappa) {
      EXPECT_EQ(cell, "");
      continue;
    }
    ASSERT_FALSE(cell.empty());
    EXPECT_NEAR(std::stod(cell), *c.kappa, 1e-8 * *c.kappa);
  }
}

// k at the standard state: OH + CH4 at the example's 101325 Pa, m = 2 and one
// transition state, so k = kQ * kappa * 1e5/101325 = kQ * kappa * 0.98692327.
TEST(TunnellingMethods, KIsKQTimesTheChosenCoefficient) {
  struct Case {
    Method method;
    const char *name;
    double at200, at1000;
  };
  const Case cases[] = {
      {Method::None, "none", 1.0, 1.0},
      {Method::Wigner, "wigner", 6.087414198, 1.203496568},
      {Method::SkodjeTruhlar, "skodje-truhlar", 469.8842357, 1.230976664},
      {Method::Eckart, "eckart", 116.026057544991, 1.24359751039854},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const scan::ScanResult r = ohCh4(c.method);
    ASSERT_EQ(r.points.size(), 2u);
    const double expected[] = {c.at200, c.at1000};
    for (std::size_t i = 0; i < 2; ++i) {
      const scan::ScanPoint &p = r.points[i];
      ASSERT_TRUE(p.k);
      EXPECT_NEAR(*p.k / p.rates.kQ[2], expected[i] * (1e5 / 101325.0), 1e-8 * expected[i])
          << p.T << " K";
    }
    std::ostringstream table;
    scan::writeTable(table, r);
    EXPECT_NE(table.str().find("; k = kQ * kappa (" + std::string(c.name) +
                               ") * (P0/P)^1: the rate constant at the standard state P0 = 1e5 "
                               "Pa\n"),
              std::string::npos);
  }
}

} // namespace
} // namespace orvalen::test
