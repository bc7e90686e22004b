// Values orvalen-scan leaves absent or names in a warning instead of printing
// a wrong number: a coefficient outside its formula's domain, one that cannot
// be computed, one that is not a finite number; a rate constant that
// underflows; and table cells too wide for their columns.
//
// The OH + CH4 example by hand (docs/orvalen-scan.md, tunnelling_methods_test.cpp): dH0 =
// 20.494904 kJ/mol with the TS energy -116.06545 Hartree, imaginary frequency
// 1536 cm-1, so h nu/kT = 2 pi at T = 1536 * 1.438777 K / (2 pi) = 351.726 K.
// ETOT=-116.0790 lowers dH0 by 0.01355 Hartree * 2625.3035184 = 35.572863
// kJ/mol to -15.078 kJ/mol, ETOT=-116.2 by 353.23479 to -332.740: barriers
// below the reactants, where the Skodje-Truhlar formula gives negative values.

#include "scan_support.hpp"

#include "scan/output.hpp"
#include "scan/scan.hpp"
#include "thermo/constants.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

namespace orvalen::test {
namespace {

using nlohmann::json;

std::vector<std::string> words(const std::string &line) {
  std::istringstream s(line);
  std::vector<std::string> w;
  for (std::string x; s >> x;)
    w.push_back(x);
  return w;
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

const std::string PARABOLIC_DOMAIN =
    ": at and below 351.7 K (h nu/kT >= 2 pi) the parabolic barrier's integral diverges";

// The example with the transition state's energy given on its job line.
void writeBarrierJob(const TempDir &dir, const std::string &etot) {
  copyJobFolder("examples/oh_ch4", dir.path());
  dir.write("low.inp", "REACT OH oh.dat\nREACT CH4 ch4.dat ROTNUM=12\nTS TS1 ts1.dat MULT=2 ETOT=" +
                           etot + "\nPROD H2O h2o.dat\nPROD CH3 ch3.dat MULT=2\n");
}

TEST(ScanAbsentValues, ABarrierBelowTheReactantsHasNoSkodjeTruhlarCoefficientAndNoNegativeK) {
  // A barrier below the reactants is also what the report's plausibility
  // checks name: the submerged transition state, and the temperatures where
  // kQ and kG at P0 are above the collision limit. By hand from docs/orvalen-scan.md's kQ
  // (3.27806E-15 at 300 K, 4.28032E-12 at 1000 K): 35.572863 kJ/mol less
  // multiplies kQ by exp(35572.863/RT), 1.5602e6 at 300 K (5.1e-9) and 72.13
  // at 1000 K (3.1e-10, below 1e-9); 200 K lies further above. k is absent
  // (no Skodje-Truhlar coefficient), so only kQ and kG are named.
  struct Case {
    const char *etot, *dH0, *dH0Report, *above;
  };
  const Case cases[] = {{"-116.0790", "-15.078", "-15.08", "2 temperatures (200 and 300 K)"},
                        {"-116.2", "-332.74", "-332.74", "3 temperatures (200 to 1000 K)"}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.dH0);
    TempDir dir;
    writeBarrierJob(dir, c.etot);
    const std::string args = "low -T 200,300,1000 --tunnelling skodje-truhlar";
    const RunResult js = runScanBinary(dir.path(), args + " --format json");
    ASSERT_EQ(js.status, 0) << js.stderrText;
    EXPECT_EQ(js.stderrText,
              "orvalen-scan: warning: no Skodje-Truhlar coefficient: the barrier dH0 = " +
                  std::string(c.dH0) +
                  " kJ/mol is not above the lower side max(DrZPE, 0) = 0 kJ/mol\n"
                  "orvalen-scan: warning: no Eckart coefficient: the forward barrier V1 = dH0 = " +
                  c.dH0 +
                  " kJ/mol is not above zero\n"
                  "orvalen-scan: warning: no parabolic coefficient at 2 temperatures (200 and "
                  "300 K)" +
                  PARABOLIC_DOMAIN +
                  "\n"
                  "orvalen-scan: warning: the transition state TS1 lies below the reactants OH + "
                  "CH4: dH0 = " +
                  c.dH0Report +
                  " kJ/mol (E+ZPE); a submerged barrier is possible, but check that every "
                  "energy comes from the same method and belongs to the molecule named\n"
                  "orvalen-scan: warning: at " +
                  c.above +
                  " the bimolecular rate constant (kQ and kG, at P0 = 1e5 Pa) is above the "
                  "collision limit of about 1e-9 cm3/molecule/s, which no reaction exceeds: "
                  "check the energies (dH0 = " +
                  c.dH0Report + " kJ/mol) and the molecules\n");
    // The parsed document is kept: a range over a member of a temporary would
    // outlive the temporary.
    const json doc = json::parse(js.stdoutText);
    for (const json &p : doc["temperatures"]) {
      EXPECT_TRUE(p["kappa"]["skodje_truhlar"].is_null()) << p["T"];
      EXPECT_TRUE(p["k"].is_null()) << p["T"]; // k takes the absent coefficient
      EXPECT_LT(p["report_tunnelling"]["skodje_truhlar"].get<double>(), 0.0); // as the report
      EXPECT_GT(p["kappa"]["wigner"].get<double>(), 1.0);
    }

    // In the table every cell stands apart: T, DrH, DrG, dH0, dGa, kQ, kG, four
    // coefficients, k; none negative after dGa.
    const RunResult table = runScanBinary(dir.path(), args);
    ASSERT_EQ(table.status, 0);
    const auto lines = linesOf(table.stdoutText);
    ASSERT_EQ(lines.size(), 8u);
    for (std::size_t i = 5; i < 8; ++i) {
      const auto w = words(lines[i]);
      ASSERT_EQ(w.size(), 12u) << lines[i];
      for (std::size_t j = 5; j < 12; ++j) // a lone "-" is an absent value
        EXPECT_FALSE(w[j].size() > 1 && w[j][0] == '-') << lines[i];
      EXPECT_EQ(w[9], "-");  // Skodje-Truhlar
      EXPECT_EQ(w[11], "-"); // k
    }

    // Without tunnelling k is kQ at the standard state: kQ * (P0/P)^(2 - 1).
    const RunResult none = runScanBinary(dir.path(), "low -T 200,300,1000 --format json");
    const json noneDoc = json::parse(none.stdoutText);
    for (const json &p : noneDoc["temperatures"])
      EXPECT_DOUBLE_EQ(p["k"].get<double>(), p["kQ"][2].get<double>() * (1e5 / 101325.0));
  }
}

// Cells that fill their column or more (an energy of a million kJ/mol from a
// mistyped ETOT) get one leading blank; the widths stay 9 and 11.
TEST(ScanAbsentValues, ACellThatFillsItsColumnIsSetApartByOneBlank) {
  struct Case {
    double drH, drG; // kJ/mol
    const char *row;
  };
  const Case cases[] = {
      {10.0, -2.5, "   300.00     10.000     -2.500"},
      {-999999.999, 5.0, "   300.00 -999999.999      5.000"},     // 11 characters: no blank left
      {-1234567.891, 1e7, "   300.00 -1234567.891 10000000.000"}, // 12 characters each
  };
  for (const Case &c : cases) {
    scan::ScanResult r;
    r.jobFile = "ab.inp";
    r.title = "A == B";
    r.molecularity = 1;
    r.hasReaction = true;
    scan::ScanPoint p;
    p.T = 300.0;
    p.P = 1e5;
    p.reaction.drH = c.drH * KJ2HARTREE;
    p.reaction.drG = c.drG * KJ2HARTREE;
    r.points = {p};
    std::ostringstream table;
    scan::writeTable(table, r);
    const auto lines = linesOf(table.str());
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], "        T        DrH        DrG");
    EXPECT_EQ(lines[4], c.row);
  }
}

TEST(ScanAbsentValues, ATemperatureWhereACoefficientCannotBeComputedLosesOnlyIt) {
  // At 1e-5 K the Eckart integral cannot be evaluated, the Skodje-Truhlar value
  // leaves the double range, and the thermochemistry is not finite (exit 2);
  // 200 and 1000 K keep every value (Eckart from the mpmath reference).
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  for (const char *method : {"none", "eckart"}) {
    SCOPED_TRACE(method);
    const RunResult r = runScanBinary(
        dir.path(), std::string("oh_ch4 -T 1e-5,200,1000 --format csv --tunnelling ") + method);
    EXPECT_EQ(r.status, 2) << r.stderrText;
    EXPECT_EQ(r.stderrText.find("Error in function"), std::string::npos) << r.stderrText;
    const auto err = linesOf(r.stderrText);
    for (const char *line :
         {"orvalen-scan: warning: no Eckart coefficient at 1e-05 K: it cannot be computed there "
          "(the integral over energies fails)",
          "orvalen-scan: warning: no Skodje-Truhlar coefficient at 1e-05 K: it is not a finite "
          "number there"})
      EXPECT_NE(std::find(err.begin(), err.end(), line), err.end()) << line << "\n" << r.stderrText;

    const auto lines = linesOf(r.stdoutText);
    ASSERT_EQ(lines.size(), 4u);
    const auto head = cells(lines[0]);
    const auto column = [&](const char *name) {
      return static_cast<std::size_t>(std::find(head.begin(), head.end(), name) - head.begin());
    };
    for (std::size_t i = 1; i < 4; ++i)
      EXPECT_EQ(cells(lines[i]).size(), head.size()) << lines[i];
    EXPECT_EQ(cells(lines[1]).at(column("kappa Eckart ()")), "");
    EXPECT_NE(cells(lines[1]).at(column("kappa Wigner ()")), "");
    EXPECT_NEAR(std::stod(cells(lines[2]).at(column("kappa Eckart ()"))), 116.026057544991,
                1e-8 * 116.026057544991);
    EXPECT_NEAR(std::stod(cells(lines[3]).at(column("kappa Eckart ()"))), 1.24359751039854,
                1e-8 * 1.24359751039854);
    EXPECT_NE(cells(lines[2]).at(column("k (cm3/molecule/s)")), "");
    EXPECT_NE(cells(lines[3]).at(column("k (cm3/molecule/s)")), "");
  }
}

TEST(ScanAbsentValues, AWarningNamesTheTemperatures) {
  // The parabolic coefficient is absent at and below 351.726 K.
  struct Case {
    const char *temperatures, *at;
  };
  const Case cases[] = {
      {"300", "300 K"},
      {"300,1000", "300 K"},
      {"340,351.7,351.8", "2 temperatures (340 and 351.7 K)"},
      {"200,250,300,400", "3 temperatures (200 to 300 K)"},
      {"300,400,200,500,250", "3 temperatures (300, 200 and 250 K)"},
      {"100:1000:50", "6 temperatures (100 to 350 K)"},
      {"300,400,301,401,302,402,303,403,304,404,305,405,306",
       "7 temperatures (300, 301, 302, 303, 304, ..., 306 K)"},
  };
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  for (const Case &c : cases) {
    const RunResult r = runScanBinary(dir.path(), std::string("oh_ch4 -T ") + c.temperatures);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.stderrText, "orvalen-scan: warning: no parabolic coefficient at " +
                                std::string(c.at) + PARABOLIC_DOMAIN + "\n")
        << c.temperatures;
  }
  const RunResult warm = runScanBinary(dir.path(), "oh_ch4 -T 351.8,1000");
  EXPECT_EQ(warm.stderrText, "");
}

TEST(ScanAbsentValues, ARateConstantThatUnderflowsIsNamed) {
  // HCN -> HNC, dH0 = 187.324 kJ/mol: dH0/RT is 1126.6 at 20 K and 751.1 at
  // 30 K, beyond the 744.4 of the smallest double (4.9e-324), so exp(-dH0/RT) and kQ, kG
  // and k are 0; at 40 K (563.3) they are numbers.
  TempDir dir;
  copyJobFolder("examples/hcn_hnc", dir.path());
  const RunResult r = runScanBinary(dir.path(), "hcn_hnc -T 20,30,40 --format json");
  EXPECT_EQ(r.status, 0);
  const std::string line =
      "orvalen-scan: warning: k, kQ and kG underflow at 2 temperatures (20 and 30 K): below the "
      "smallest double (2.2e-308) a rate constant is written as 0 or with lost digits, and a 0 "
      "there does not mean no reaction";
  const auto err = linesOf(r.stderrText);
  EXPECT_NE(std::find(err.begin(), err.end(), line), err.end()) << r.stderrText;
  const json j = json::parse(r.stdoutText);
  EXPECT_EQ(j["temperatures"][0]["k"].get<double>(), 0.0);
  EXPECT_GT(j["temperatures"][2]["k"].get<double>(), 0.0);
  const auto &w = j["warnings"];
  EXPECT_NE(std::find(w.begin(), w.end(), line.substr(23)), w.end());
}

} // namespace
} // namespace orvalen::test
