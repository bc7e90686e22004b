// The columns of orvalen-scan's table, CSV and JSON: their order and units as
// docs/orvalen-scan.md documents them, each CSV cell the value the report prints (the JSON
// values the agreement test holds against orvalen's report), and the table's
// headings, its molecule columns and its coefficient cells.

#include "scan_support.hpp"

#include "scan/output.hpp"
#include "scan/scan.hpp"
#include "thermo/constants.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <set>
#include <sstream>

namespace orvalen::test {
namespace {

using nlohmann::json;
using nlohmann::ordered_json;

std::vector<std::string> csvCells(const std::string &line) {
  std::vector<std::string> cells;
  std::stringstream s(line);
  for (std::string c; std::getline(s, c, ',');)
    cells.push_back(c);
  if (!line.empty() && line.back() == ',')
    cells.emplace_back();
  return cells;
}

std::vector<std::string> words(const std::string &line) {
  std::istringstream s(line);
  std::vector<std::string> w;
  for (std::string x; s >> x;)
    w.push_back(x);
  return w;
}

// A column as docs/orvalen-scan.md lists it, and where the JSON of the same run holds its value.
struct Source {
  std::string heading;
  std::function<std::optional<double>(const json &point, const json &doc)> value;
};

// The value at a JSON pointer of the point, times `scale`; absent when null.
Source at(std::string heading, const std::string &pointer, double scale = 1.0) {
  return {std::move(heading), [pointer, scale](const json &p, const json &) {
            const json &v = p.at(json::json_pointer(pointer));
            return v.is_null() ? std::nullopt : std::optional<double>(v.get<double>() * scale);
          }};
}

// k = A (T/T0)^n exp(-Ea/RT) of a fit in the JSON.
Source fitted(std::string heading, const char *form) {
  return {std::move(heading), [form](const json &p, const json &doc) {
            const json &f = doc["fit"][form];
            const double T = p["T"].get<double>();
            const double n = f.contains("n") ? f["n"].get<double>() : 0.0;
            return std::optional<double>(
                f["A"].get<double>() * std::pow(T, n) *
                std::exp(-f["Ea_kJmol"].get<double>() * 1000.0 / (RGAS * T)));
          }};
}

// The columns docs/orvalen-scan.md lists, in its order, for the job of `doc`: the rate
// columns only with a transition state (bimolecular here), the fits with --fit.
std::vector<Source> readmeColumns(const json &doc) {
  const double kj = 1.0 / KJ2HARTREE, jk = 1000.0 / KJ2HARTREE; // from Hartree (/K)
  const json &first = doc["temperatures"][0];
  std::vector<Source> expected = {at("T (K)", "/T"), at("P (Pa)", "/P")};
  const json &mols = first["molecules"];
  for (std::size_t i = 0; i < mols.size(); ++i) {
    const std::string name = mols[i]["name"].get<std::string>();
    const std::string m = "/molecules/" + std::to_string(i);
    expected.push_back(at(name + " Qtot ()", m + "/tot/Q"));
    expected.push_back(at(name + " ZPEtot (kJ/mol)", m + "/tot/ZPE_kJmol"));
    expected.push_back(at(name + " Htot (kJ/mol)", m + "/tot/H_kJmol"));
    expected.push_back(at(name + " Stot (J/K/mol)", m + "/tot/S_JmolK"));
    expected.push_back(at(name + " Gtot (kJ/mol)", m + "/tot/G_kJmol"));
    expected.push_back(at(name + " E+G (Hartree)", m + "/corrected_hartree/E_G"));
  }
  if (!first["reaction"].is_null()) {
    for (const char *q : {"DrE", "DrZPE", "DrU", "DrH"})
      expected.push_back(
          at(std::string(q) + " (kJ/mol)", "/reaction/" + std::string(q) + "_hartree", kj));
    expected.push_back(at("DrS (J/K/mol)", "/reaction/DrS_hartreeK", jk));
    expected.push_back(at("DrG (kJ/mol)", "/reaction/DrG_hartree", kj));
    expected.push_back(at("DrQ ()", "/reaction/DrQ"));
  }
  if (first["kQ"].is_null())
    return expected;
  for (const char *q : {"dEa", "dH0", "dH"})
    expected.push_back(
        at(std::string(q) + " (kJ/mol)", "/activation/" + std::string(q) + "_hartree", kj));
  expected.push_back(at("dS (J/K/mol)", "/activation/dS_hartreeK", jk));
  expected.push_back(at("dG (kJ/mol)", "/activation/dG_hartree", kj));
  expected.push_back(at("ProdQ ()", "/activation/ProdQ"));
  const char *units[] = {"1/s", "m3/molecule/s", "cm3/molecule/s", "L/mol/s"};
  for (const char *k : {"kQ", "kG"})
    for (int c = 0; c < 4; ++c)
      expected.push_back(at(std::string(k) + " (" + units[c] + ")",
                            "/" + std::string(k) + "/" + std::to_string(c)));
  if (!first["keff"].is_null())
    for (int c = 0; c < 4; ++c) // kG (cm3/molecule/s) times C (molecules/cm3): 1/s throughout
      expected.push_back(at("kG*C**n (1/s)", "/keff/" + std::to_string(c)));
  expected.push_back(at("kappa Wigner ()", "/report_tunnelling/wigner"));
  expected.push_back(at("kappa parabolic ()", "/kappa/parabolic"));
  expected.push_back(at("kappa Skodje-Truhlar ()", "/report_tunnelling/skodje_truhlar"));
  expected.push_back(at("kappa Eckart ()", "/kappa/eckart"));
  expected.push_back(at("k (cm3/molecule/s)", "/k"));
  if (!doc["fit"].is_null()) {
    expected.push_back(fitted("k fit modified Arrhenius (cm3/molecule/s)", "modified"));
    expected.push_back(fitted("k fit Arrhenius (cm3/molecule/s)", "arrhenius"));
  }
  expected.push_back(at("Eckart V1 (kJ/mol)", "/eckart/V1_kJmol"));
  expected.push_back(at("Eckart V2 (kJ/mol)", "/eckart/V2_kJmol"));
  expected.push_back(at("nu imag (cm-1)", "/eckart/nu_imag_cm1"));
  return expected;
}

TEST(ScanColumns, CsvCellsAreTheReportsValuesInReadmeOrder) {
  struct Case {
    const char *name;
    const char *job; // written into a copy of examples/<folder>; nullptr: the example's own
    const char *folder, *args;
    std::size_t columns;
  };
  const Case cases[] = {
      // Five molecules, reaction, rates, KEFF and the fits: every column.
      {"OhCh4", nullptr, "oh_ch4", "oh_ch4 -T 300,600,1000 --fit --tunnelling eckart", 67},
      // H + H -> H2 loses a molecule, so DrH = DrU - RT tells the two apart.
      {"HRecombination", "REACT H h.dat\nREACT H h.dat\nPROD H2 h2.dat\n", "h_h2",
       "hh -T 300,600,1000", 27},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    copyJobFolder(std::string("examples/") + c.folder, dir.path());
    if (c.job)
      dir.write("hh.inp", c.job);
    const RunResult csv = runScanBinary(dir.path(), std::string(c.args) + " --format csv");
    const RunResult js = runScanBinary(dir.path(), std::string(c.args) + " --format json");
    ASSERT_EQ(csv.status, 0) << csv.stderrText;
    ASSERT_EQ(js.status, 0) << js.stderrText;
    const json doc = json::parse(js.stdoutText);
    const std::vector<Source> expected = readmeColumns(doc);
    ASSERT_EQ(expected.size(), c.columns);

    const auto lines = linesOf(csv.stdoutText);
    ASSERT_EQ(lines.size(), 4u);
    std::vector<std::string> headings;
    for (const Source &s : expected)
      headings.push_back(s.heading);
    ASSERT_EQ(csvCells(lines[0]), headings);
    for (std::size_t row = 0; row < 3; ++row) {
      const json &point = doc["temperatures"][row];
      const auto cells = csvCells(lines[1 + row]);
      ASSERT_EQ(cells.size(), expected.size());
      for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].heading + " at " + cells[0] + " K");
        const std::optional<double> v = expected[i].value(point, doc);
        if (!v) {
          EXPECT_EQ(cells[i], "");
          continue;
        }
        ASSERT_FALSE(cells[i].empty());
        EXPECT_NEAR(std::stod(cells[i]), *v, 1e-12 * std::fabs(*v));
      }
    }
  }
}

// Rate constants carry (volume per molecule)^(m-1); kG * C**n with C in
// molecules/cm3 carries (volume per molecule)^(m-1-n).
TEST(ScanColumns, UnitsFollowMolecularityAndKeff) {
  struct Case {
    const char *name, *folder, *job;
    std::vector<std::string> kQ;
    std::vector<std::string> keff; // empty without a KEFF line
  };
  const std::vector<std::string> uni = {"1/s", "1/s", "1/s", "1/s"};
  const std::vector<std::string> bi = {"1/s", "m3/molecule/s", "cm3/molecule/s", "L/mol/s"};
  const Case cases[] = {
      {"unimolecular", "examples/hcn_hnc", "hcn_hnc", uni, {}},
      {"bimolecular, n = 1", "examples/oh_ch4", "oh_ch4", bi, uni},
      {"termolecular",
       "tests/e2e/jobs/m3",
       "m3",
       {"1/s", "m6/molecule2/s", "cm6/molecule2/s", "L2/mol2/s"},
       {}},
      {"bimolecular, n = 2",
       "tests/e2e/jobs/keff_ts",
       "keff_ts",
       bi,
       {"1/s", "molecule/m3/s", "molecule/cm3/s", "mol/L/s"}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    copyJobFolder(c.folder, dir.path());
    const std::string args = std::string(c.job) + " -T 500,1000";
    const RunResult csv = runScanBinary(dir.path(), args + " --format csv");
    const RunResult js = runScanBinary(dir.path(), args + " --format json");
    const RunResult table = runScanBinary(dir.path(), args);
    ASSERT_EQ(csv.status, 0) << csv.stderrText;

    const auto head = csvCells(linesOf(csv.stdoutText).at(0));
    const auto columnsOf = [&](const std::string &name) {
      std::vector<std::string> u;
      for (const std::string &h : head)
        if (h.rfind(name + " (", 0) == 0)
          u.push_back(h.substr(name.size() + 2, h.size() - name.size() - 3));
      return u;
    };
    EXPECT_EQ(columnsOf("kQ"), c.kQ);
    EXPECT_EQ(columnsOf("kG"), c.kQ);
    EXPECT_EQ(columnsOf("kG*C**n"), c.keff);
    EXPECT_EQ(columnsOf("k"), std::vector<std::string>{c.kQ[2]});

    const json units = json::parse(js.stdoutText)["units"];
    EXPECT_EQ(units["kQ"].get<std::vector<std::string>>(), c.kQ);
    if (!c.keff.empty()) {
      EXPECT_EQ(units["keff"].get<std::vector<std::string>>(), c.keff);
    }
    EXPECT_EQ(units["k"], c.kQ[2]);
    EXPECT_EQ(linesOf(table.stdoutText).at(1).rfind("kQ, kG and k in " + c.kQ[2] + "; ", 0), 0u);
  }
}

TEST(ScanColumns, JsonKeysAsDocumented) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  const RunResult r = runScanBinary(dir.path(), "oh_ch4 -T 300,600 --format json");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  const ordered_json doc = ordered_json::parse(r.stdoutText);
  const auto keys = [](const ordered_json &o) {
    std::set<std::string> k;
    for (const auto &item : o.items())
      k.insert(item.key());
    return k;
  };
  using Keys = std::set<std::string>;
  EXPECT_EQ(keys(doc["units"]),
            (Keys{"T", "P", "energies", "entropies", "kQ", "keff", "k", "k_definition"}));
  EXPECT_EQ(doc["units"]["k_definition"], "k = kQ * kappa (none) * (P0/P)^1: the rate constant at "
                                          "the standard state P0 = 1e5 Pa");
  EXPECT_EQ(doc["reaction"], "OH + CH4 -> TS1"); // the report's title, as before
  EXPECT_EQ(doc["title"], "OH + CH4 -> H2O + CH3 via TS1");
  EXPECT_EQ(doc["units"]["T"], "K");
  EXPECT_EQ(doc["units"]["P"], "Pa");
  for (const ordered_json &p : doc["temperatures"]) {
    EXPECT_EQ(keys(p), (Keys{"T", "P", "molecules", "reaction", "activation", "Fc", "A", "kQ", "kG",
                             "keff", "kappa", "report_tunnelling", "k", "eckart"}));
    EXPECT_EQ(keys(p["reaction"]),
              (Keys{"DrE_hartree", "DrZPE_hartree", "DrU_hartree", "DrH_hartree", "DrG_hartree",
                    "DrE_kJmol", "DrZPE_kJmol", "DrU_kJmol", "DrH_kJmol", "DrG_kJmol",
                    "DrS_hartreeK", "DrS_JmolK", "DrQ"}));
    EXPECT_EQ(
        keys(p["activation"]),
        (Keys{"dEa_hartree", "dH0_hartree", "dH_hartree", "dG_hartree", "dEa_kJmol", "dH0_kJmol",
              "dH_kJmol", "dG_kJmol", "dS_hartreeK", "dS_JmolK", "kBT_h", "ProdQ", "exp_dH0_RT"}));
    EXPECT_EQ(keys(p["kappa"]), (Keys{"wigner", "parabolic", "skodje_truhlar", "eckart"}));
    EXPECT_EQ(p["keff"].size(), 4u);
    // Each energy in kJ/mol is the same quantity as its Hartree value.
    for (const char *q : {"DrE", "DrZPE", "DrU", "DrH", "DrG"})
      EXPECT_DOUBLE_EQ(p["reaction"][std::string(q) + "_kJmol"].get<double>(),
                       p["reaction"][std::string(q) + "_hartree"].get<double>() / KJ2HARTREE)
          << q;
    for (const char *q : {"dEa", "dH0", "dH", "dG"})
      EXPECT_DOUBLE_EQ(p["activation"][std::string(q) + "_kJmol"].get<double>(),
                       p["activation"][std::string(q) + "_hartree"].get<double>() / KJ2HARTREE)
          << q;
    EXPECT_DOUBLE_EQ(p["activation"]["dS_JmolK"].get<double>(),
                     p["activation"]["dS_hartreeK"].get<double>() / KJ2HARTREE * 1000.0);
  }
}

// Two molecules and no reaction: the table has nothing to compare, so it
// shows each molecule's G; the CSV gives each molecule's six totals in turn.
scan::ScanResult twoMolecules() {
  scan::ScanResult r;
  r.jobFile = "ab.inp";
  r.title = "A + B";
  r.molecularity = 2;
  scan::ScanPoint p;
  p.T = 300.0;
  p.P = 1e5;
  scan::MoleculePoint a;
  a.role = REACTANT;
  a.name = "A";
  a.tot = Contribution{2.5, 100.25, 0.0, 0.0, 3.5, -12.375};
  a.zpe = 1.25;
  a.corrected.eg = -1.5;
  scan::MoleculePoint b = a;
  b.name = "B";
  b.tot = Contribution{4.0, 50.5, 0.0, 0.0, 7.0, 0.125};
  b.zpe = 0.75;
  b.corrected.eg = -40.25;
  p.molecules = {a, b};
  r.points = {p};
  return r;
}

TEST(ScanColumns, MoleculesOnlyWhereTheTableComparesNothing) {
  scan::ScanResult r = twoMolecules();
  std::ostringstream table, csv;
  scan::writeTable(table, r);
  scan::writeCsv(csv, r);
  EXPECT_EQ(table.str(), "A + B   (ab.inp, P = 1e+05 Pa)\n"
                         "\n"
                         "        T          G(A)          G(B)\n"
                         "        K        kJ/mol        kJ/mol\n"
                         "   300.00       -12.375         0.125\n");
  EXPECT_EQ(csv.str(), "T (K),P (Pa),"
                       "A Qtot (),A ZPEtot (kJ/mol),A Htot (kJ/mol),A Stot (J/K/mol),"
                       "A Gtot (kJ/mol),A E+G (Hartree),"
                       "B Qtot (),B ZPEtot (kJ/mol),B Htot (kJ/mol),B Stot (J/K/mol),"
                       "B Gtot (kJ/mol),B E+G (Hartree)\n"
                       "300,1e+05,2.5,1.25,3.5,100.25,-12.375,-1.5,4,0.75,7,50.5,0.125,-40.25\n");

  // With a reaction the table compares: DrH and DrG in place of the molecules' G.
  r.hasReaction = true;
  r.points[0].reaction.drH = 10.0 * KJ2HARTREE;
  r.points[0].reaction.drG = -2.5 * KJ2HARTREE;
  table.str("");
  scan::writeTable(table, r);
  const auto lines = linesOf(table.str());
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[2], "        T        DrH        DrG");
  EXPECT_EQ(lines[3], "        K     kJ/mol     kJ/mol");
  EXPECT_EQ(lines[4], "   300.00     10.000     -2.500");
}

TEST(ScanColumns, TableHeadingsAndCoefficientCells) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  const RunResult r = runScanBinary(dir.path(), "oh_ch4 -T 50,1000 --tunnelling eckart");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  const auto lines = linesOf(r.stdoutText);
  ASSERT_EQ(lines.size(), 7u);
  // As docs/orvalen-scan.md shows them; the units row stops at its last unit.
  EXPECT_EQ(lines[3],
            "        T        DrH        DrG        dH0        dGa            kQ            "
            "kG      Wigner   parabolic Sk.-Truhlar      Eckart             k");
  EXPECT_EQ(lines[4], "        K     kJ/mol     kJ/mol     kJ/mol     kJ/mol");
  // T, DrH, DrG, dH0, dGa, kQ, kG, then the coefficients (tunnelling_methods_test.cpp has
  // them by hand: at 50 K u = 44.2, Wigner 82.39863, Skodje-Truhlar 2.712704E+18).
  const auto cold = words(lines[5]);
  ASSERT_EQ(cold.size(), 12u);
  EXPECT_EQ(cold[7], "82.3986");
  EXPECT_EQ(cold[8], "-");          // no parabolic coefficient where u > 2 pi
  EXPECT_EQ(cold[9], "2.7127E+18"); // from 1e5 on with an exponent
  const auto warm = words(lines[6]);
  ASSERT_EQ(warm.size(), 12u);
  EXPECT_EQ(std::vector<std::string>(warm.begin() + 7, warm.begin() + 11),
            (std::vector<std::string>{"1.2035", "1.2367", "1.2310", "1.2436"}));
}

} // namespace
} // namespace orvalen::test
