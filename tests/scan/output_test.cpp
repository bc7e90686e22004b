// The three output forms of orvalen-scan: the keys scripts rely on in the
// JSON, the CSV header and its rows, the table, and a job without a
// transition state (thermochemistry, no rate columns).

#include "scan_support.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <sstream>

namespace orvalen::test {
namespace {

using nlohmann::json;

std::vector<std::string> csvCells(const std::string &line) {
  std::vector<std::string> cells;
  std::stringstream s(line);
  for (std::string c; std::getline(s, c, ',');)
    cells.push_back(c);
  if (!line.empty() && line.back() == ',')
    cells.emplace_back();
  return cells;
}

TEST(ScanOutput, JsonKeysScriptsRelyOn) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  const RunResult r = runScanBinary(
      dir.path(), "oh_ch4 --format json -T 300:1500:300 --tunnelling wigner --fit -P 2e5");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  const json j = json::parse(r.stdoutText);
  ASSERT_EQ(j["temperatures"].size(), 5u);
  EXPECT_EQ(j["units"]["k"], "cm3/molecule/s");
  EXPECT_EQ(j["tunnelling"], "wigner");
  for (const json &p : j["temperatures"]) {
    EXPECT_TRUE(p["T"].is_number());
    EXPECT_EQ(p["P"].get<double>(), 2e5);
    ASSERT_EQ(p["kQ"].size(), 4u);
    ASSERT_EQ(p["kG"].size(), 4u);
    for (const char *k : {"wigner", "parabolic", "skodje_truhlar", "eckart"})
      EXPECT_TRUE(p["kappa"].contains(k)) << k;
    EXPECT_TRUE(p["kappa"]["wigner"].is_number());
    EXPECT_TRUE(p["kappa"]["eckart"].is_number());
    // k is kQ in the third column times the chosen coefficient, at the
    // standard state: times (P0/P)^(m - nTS) = (1e5/2e5)^1.
    EXPECT_DOUBLE_EQ(p["k"].get<double>(),
                     p["kQ"][2].get<double>() * p["kappa"]["wigner"].get<double>() * 0.5);
    EXPECT_NEAR(p["eckart"]["V1_kJmol"].get<double>(), 20.49, 0.01);         // dH0 of the report
    EXPECT_NEAR(p["eckart"]["V2_kJmol"].get<double>(), 20.49 + 59.55, 0.02); // dH0 - DrZPE
    EXPECT_EQ(p["eckart"]["nu_imag_cm1"].get<double>(), 1536.0);
  }
  // The parabolic coefficient only where h nu / kT < 2 pi: 1536 cm-1 at 300 K
  // gives 7.37, at 600 K 3.68.
  EXPECT_TRUE(j["temperatures"][0]["kappa"]["parabolic"].is_null());
  EXPECT_TRUE(j["temperatures"][1]["kappa"]["parabolic"].is_number());
  const json &fit = j["fit"];
  for (const char *k : {"A", "n", "Ea_kJmol", "T0"})
    EXPECT_TRUE(fit["modified"][k].is_number()) << k;
  for (const char *k : {"A", "Ea_kJmol"})
    EXPECT_TRUE(fit["arrhenius"][k].is_number()) << k;
  EXPECT_EQ(fit["modified"]["T0"].get<double>(), 1.0);
}

TEST(ScanOutput, CsvHeaderAndRows) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  const RunResult r = runScanBinary(dir.path(), "oh_ch4 --format csv -T 250,500");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  const auto lines = linesOf(r.stdoutText);
  ASSERT_EQ(lines.size(), 3u);
  const auto head = csvCells(lines[0]);
  EXPECT_EQ(head[0], "T (K)");
  EXPECT_EQ(head[1], "P (Pa)");
  for (const char *col : {"kQ (cm3/molecule/s)", "kG (L/mol/s)", "kappa Eckart ()",
                          "k (cm3/molecule/s)", "Eckart V1 (kJ/mol)", "nu imag (cm-1)",
                          "OH Gtot (kJ/mol)", "DrG (kJ/mol)", "kG*C**n (1/s)"})
    EXPECT_NE(std::find(head.begin(), head.end(), col), head.end()) << col;
  for (std::size_t i = 1; i < lines.size(); ++i)
    EXPECT_EQ(csvCells(lines[i]).size(), head.size()) << lines[i];
  EXPECT_EQ(csvCells(lines[1])[0], "250");
  // The parabolic coefficient is an empty cell at 250 K (h nu/kT = 8.8 > 2 pi).
  const auto col = std::find(head.begin(), head.end(), "kappa parabolic ()") - head.begin();
  EXPECT_EQ(csvCells(lines[1])[static_cast<std::size_t>(col)], "");
  EXPECT_NE(csvCells(lines[2])[static_cast<std::size_t>(col)], "");
}

TEST(ScanOutput, TableRowsAgreeWithJson) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  const std::string args = "oh_ch4 -T 300,600,1200 --tunnelling eckart --fit";
  const RunResult table = runScanBinary(dir.path(), args);
  const RunResult js = runScanBinary(dir.path(), args + " --format json");
  ASSERT_EQ(table.status, 0) << table.stderrText;
  ASSERT_EQ(js.status, 0);
  const json j = json::parse(js.stdoutText);
  const auto lines = linesOf(table.stdoutText);
  ASSERT_GE(lines.size(), 8u);
  EXPECT_EQ(lines[0], "OH + CH4 -> H2O + CH3 via TS1   (oh_ch4.inp, P = 101325 Pa)");
  EXPECT_EQ(lines[1], "kQ, kG and k in cm3/molecule/s; k = kQ * kappa (eckart) * (P0/P)^1: the "
                      "rate constant at the standard state P0 = 1e5 Pa");
  // T, DrH, DrG, dH0, dGa, kQ, kG, Wigner, parabolic, Skodje-Truhlar, Eckart, k
  for (std::size_t i = 0; i < 3; ++i) {
    std::istringstream row(lines[5 + i]);
    std::vector<std::string> cells;
    for (std::string c; row >> c;)
      cells.push_back(c);
    ASSERT_EQ(cells.size(), 12u) << lines[5 + i];
    const json &p = j["temperatures"][i];
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", p["T"].get<double>());
    EXPECT_EQ(cells[0], buf);
    std::snprintf(buf, sizeof buf, "%.5E", p["kQ"][2].get<double>());
    EXPECT_EQ(cells[5], buf);
    std::snprintf(buf, sizeof buf, "%.4f", p["kappa"]["eckart"].get<double>());
    EXPECT_EQ(cells[10], buf);
    std::snprintf(buf, sizeof buf, "%.5E", p["k"].get<double>());
    EXPECT_EQ(cells[11], buf);
  }
  EXPECT_NE(lines[5].find("           -"), std::string::npos); // no parabolic value at 300 K
  EXPECT_NE(table.stdoutText.find("CHEMKIN (A in cm, mol, s; Ea in cal/mol):\nOH+CH4=>H2O+CH3 "),
            std::string::npos);
}

// The table's title names the reaction with its products and the transition
// state(s); the JSON's "reaction" keeps the report's section title.
TEST(ScanOutput, TitleNamesReactantsProductsAndTransitionStates) {
  struct Case {
    const char *folder, *job, *title, *reaction;
  };
  const Case cases[] = {
      {"examples/oh_ch4", "oh_ch4", "OH + CH4 -> H2O + CH3 via TS1", "OH + CH4 -> TS1"},
      {"tests/e2e/jobs/no_products", "no_products", "H + H2 via H3", "H + H2 -> H3"},
      {"tests/e2e/jobs/two_ts", "two_ts", "OH + CH4 -> H2O + CH3 via TS1 + TS2",
       "OH + CH4 -> TS1 + TS2"},
      // Without a transition state the report's reaction title stands.
      {"tests/e2e/jobs/no_ts", "no_ts", "OH + CH4 == H2O + CH3", "OH + CH4 == H2O + CH3"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.job);
    TempDir dir;
    copyJobFolder(c.folder, dir.path());
    const RunResult table = runScanBinary(dir.path(), std::string(c.job) + " -T 300");
    ASSERT_EQ(table.status, 0) << table.stderrText;
    EXPECT_EQ(linesOf(table.stdoutText).at(0),
              std::string(c.title) + "   (" + c.job + ".inp, P = 101325 Pa)");
    const RunResult js = runScanBinary(dir.path(), std::string(c.job) + " -T 300 --format json");
    ASSERT_EQ(js.status, 0);
    const json j = json::parse(js.stdoutText);
    EXPECT_EQ(j["title"], c.title);
    EXPECT_EQ(j["reaction"], c.reaction);
  }
}

TEST(ScanOutput, NoTransitionStateGivesThermochemistryWithoutRates) {
  TempDir dir;
  copyJobFolder("tests/e2e/jobs/no_ts", dir.path());
  RunResult r = runScanBinary(dir.path(), "no_ts --format json -T 300,600");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  EXPECT_EQ(r.stderrText, "");
  const json j = json::parse(r.stdoutText);
  for (const json &p : j["temperatures"]) {
    EXPECT_EQ(p["molecules"].size(), 4u);
    EXPECT_TRUE(p["reaction"]["DrG_kJmol"].is_number());
    for (const char *k : {"kQ", "kG", "Fc", "A", "activation", "k", "eckart"})
      EXPECT_TRUE(p[k].is_null()) << k;
    for (const char *k : {"wigner", "parabolic", "skodje_truhlar", "eckart"})
      EXPECT_TRUE(p["kappa"][k].is_null()) << k;
  }
  r = runScanBinary(dir.path(), "no_ts --format csv -T 300,600");
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.stdoutText.find("DrG (kJ/mol)"), std::string::npos);
  EXPECT_EQ(r.stdoutText.find("kQ"), std::string::npos);
  EXPECT_EQ(r.stdoutText.find("kappa"), std::string::npos);
  r = runScanBinary(dir.path(), "no_ts -T 300,600");
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.stdoutText.find("DrG"), std::string::npos);
  EXPECT_EQ(r.stdoutText.find("kQ"), std::string::npos);
  r = runScanBinary(dir.path(), "no_ts -T 300,600,900 --fit");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.stderrText, "orvalen-scan: --fit needs a transition state: the job has no rate "
                          "constant\n");
}

TEST(ScanOutput, OutputFileAndJobTemperature) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  const RunResult r = runScanBinary(dir.path(), "oh_ch4.inp --format csv -o k.csv");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  EXPECT_EQ(r.stdoutText, "");
  const auto lines = linesOf(dir.read("k.csv"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(csvCells(lines[1])[0], "298.15"); // COND TEMP=298.15 of the job
  EXPECT_EQ(csvCells(lines[1])[1], "101325");
}

} // namespace
} // namespace orvalen::test
