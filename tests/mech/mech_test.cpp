// orvalen-mech: the NASA polynomials against independent numbers (the
// thermochemical tables' entropies, orvalen-scan's own H and S at every 10 K,
// the equilibrium constant from the report's DrG), the formation enthalpy of
// CH4 by hand, the fixed columns of the thermo cards, a species shared by two
// jobs, and every refusal.

#include "extended/nasa7.hpp"
#include "mech/mechanism.hpp"
#include "mech/writers.hpp"
#include "thermo/constants.hpp"

#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace orvalen::test {
namespace {

using extended::cpOverR;
using extended::hOverRT;
using extended::rangeAt;
using extended::sOverR;
using mech::Mechanism;
using mech::MechRequest;
using mech::Species;

const std::filesystem::path FIXTURES = std::filesystem::path(ORVALEN_FIXTURES) / "mech";

MechRequest request(const std::vector<std::string> &jobs) {
  MechRequest q;
  for (const std::string &j : jobs)
    q.jobs.push_back((FIXTURES / j).string());
  for (double T = 300.0; T <= 2000.0; T += 10.0)
    q.fitTemperatures.push_back(T);
  return q;
}

const Species &species(const Mechanism &m, const std::string &name) {
  for (const Species &s : m.species)
    if (s.name == name)
      return s;
  throw std::runtime_error("no species " + name);
}

double S(const Species &s, double T) { // J/(mol K)
  return RGAS * sOverR(rangeAt(s.nasa, T), T);
}
double H(const Species &s, double T) { // kJ/mol
  return RGAS * T * hOverRT(rangeAt(s.nasa, T), T) / 1000.0;
}
double Cp(const Species &s, double T) { // J/(mol K)
  return RGAS * cpOverR(rangeAt(s.nasa, T), T);
}

nlohmann::json scanJson(const std::string &job, const std::string &temperatures) {
  TempDir dir;
  const RunResult r = runProgram(ORVALEN_SCAN_BINARY, dir.path(),
                                 shellQuote((FIXTURES / job).string()) + " -T " + temperatures +
                                     " -P 101325 --format json");
  EXPECT_EQ(r.status, 0) << r.stderrText;
  return nlohmann::json::parse(r.stdoutText);
}

// S(298.15 K) of the tables at 1 bar (H2O(g) 188.84, CH4(g) 186.26 J/(mol K),
// the standard thermodynamic data table of quemist.com), taken to the
// polynomials' 1 atm: S(1 atm) = S(1 bar) - R ln(101325/100000), 0.1094 less.
// RRHO itself is good to about 0.5 J/(mol K) for these two.
TEST(MechThermo, StandardEntropiesAgainstTheTables) {
  Mechanism m;
  mech::buildMechanism(request({"water.inp"}), m);
  const struct {
    const char *name;
    double sOneBar;
  } cases[] = {{"H2O", 188.84}, {"CH4", 186.26}};
  for (const auto &c : cases) {
    const double expected = c.sOneBar - RGAS * std::log(101325.0 / 100000.0);
    EXPECT_NEAR(S(species(m, c.name), 298.15), expected, 0.5) << c.name;
  }
}

// The polynomials against orvalen-scan's own H and S of each species at 1 atm
// at every 10 K of both ranges: S with the Sackur-Tetrode R added to the
// report's Stot, H the report's E+H in kJ/mol, Cp the difference quotient of
// the scan's H over 20 K (its own error is far below the bound).
TEST(MechThermo, PolynomialsFollowTheScanAtEveryTenKelvin) {
  Mechanism m;
  mech::buildMechanism(request({"h_ch4.inp"}), m);
  const nlohmann::json scan = scanJson("h_ch4.inp", "190:3010:10");
  const auto &points = scan["temperatures"];
  ASSERT_EQ(points.size(), 283u);
  const double hartree = 1.0 / KJ2HARTREE; // kJ/mol
  for (std::size_t i = 1; i + 1 < points.size(); ++i) {
    const double T = points[i]["T"];
    for (std::size_t j = 0; j < points[i]["molecules"].size(); ++j) {
      const auto &mol = points[i]["molecules"][j];
      if (mol["role"] == "transition_state")
        continue;
      const Species &s = species(m, mol["name"]);
      const double sScan = mol["tot"]["S_JmolK"].get<double>() + RGAS;
      const double hScan = mol["corrected_hartree"]["E_H"].get<double>() * hartree;
      const double cpScan =
          (points[i + 1]["molecules"][j]["corrected_hartree"]["E_H"].get<double>() -
           points[i - 1]["molecules"][j]["corrected_hartree"]["E_H"].get<double>()) *
          hartree * 1000.0 / 20.0;
      EXPECT_NEAR(S(s, T), sScan, 0.05) << s.name << " at " << T << " K";
      EXPECT_NEAR(H(s, T), hScan, 0.1) << s.name << " at " << T << " K";
      EXPECT_NEAR(Cp(s, T), cpScan, std::max(0.005 * cpScan, 0.02 * RGAS) + 0.01)
          << s.name << " at " << T << " K";
    }
  }
}

TEST(MechThermo, ContinuousAtTmid) {
  Mechanism m;
  MechRequest q = request({"h_ch4.inp", "ch3_h.inp"});
  q.nasa = {300.0, 1200.0, 2500.0};
  mech::buildMechanism(q, m);
  for (const Species &s : m.species) {
    const double T = s.nasa.t.tMid;
    const auto &l = s.nasa.low, &h = s.nasa.high;
    EXPECT_NEAR(cpOverR(l, T), cpOverR(h, T), 1e-10 * std::fabs(cpOverR(l, T))) << s.name;
    EXPECT_NEAR(hOverRT(l, T), hOverRT(h, T), 1e-10 * std::fabs(hOverRT(l, T))) << s.name;
    EXPECT_NEAR(sOverR(l, T), sOverR(h, T), 1e-10 * std::fabs(sOverR(l, T))) << s.name;
  }
}

// ln K from the written polynomials against the report's DrG. The report's
// Stran is R below Sackur-Tetrode's per molecule, so its DrG is dn R T above
// the standard one (dn: molecules of products minus reactants); with P = 1
// atm the standard state is the polynomials'. The allowance is what the
// fits' own largest deviations of H and S can move ln K.
TEST(MechThermo, EquilibriumConstantFromThePolynomials) {
  for (const std::string job : {"h_ch4.inp", "ch3_h.inp"}) {
    Mechanism m;
    mech::buildMechanism(request({job}), m);
    const mech::Reaction &r = m.reactions.front();
    const nlohmann::json scan = scanJson(job, "300,1000,2000");
    const int dn = static_cast<int>(r.products.size()) - static_cast<int>(r.reactants.size());
    for (const auto &p : scan["temperatures"]) {
      const double T = p["T"];
      double lnK = 0.0, allowance = 1e-9;
      for (const auto &[names, nu] : {std::pair{&r.reactants, -1.0}, std::pair{&r.products, 1.0}})
        for (const std::string &n : *names) {
          const Species &s = species(m, n);
          const auto &a = rangeAt(s.nasa, T);
          lnK -= nu * (hOverRT(a, T) - sOverR(a, T));
          allowance += s.deviation.h * 1000.0 / (RGAS * T) + s.deviation.s / RGAS;
        }
      const double drG = p["reaction"]["DrG_kJmol"].get<double>() * 1000.0 - dn * RGAS * T;
      EXPECT_NEAR(lnK, -drG / (RGAS * T), allowance) << job << " at " << T << " K";
    }
  }
}

// CH4 from h.dat, c.dat and ch4.dat by hand, CODATA 1998 constants as the
// program's: E0 = ETOT + ZPE, ZPE = (N_A h c / 2) sum of the nine wavenumbers,
// H(298.15) - H(0) = 4 RT (translation and rotation, H = U + RT) plus the
// vibrations' N_A h c nu / (exp(h c nu / kT) - 1). The C atom's levels came
// from the import's table, so its energy is lowered by the spin-orbit shift
// (on by default): the degeneracy-weighted mean of its 3P levels,
// (3 x 16.4167 + 5 x 43.4135) / 9 cm-1.
TEST(MechFormation, MethaneByHand) {
  MechRequest q = request({"h_ch4.inp"});
  q.atoms = (FIXTURES / "atoms.txt").string();
  Mechanism m;
  mech::buildMechanism(q, m);
  const double hartree = 1.0 / KJ2HARTREE;                         // kJ/mol
  const double hcNA = PLANCK * CLIGHT * 100.0 * AVOGADRO / 1000.0; // kJ/mol per cm-1
  const double nu[] = {1389.472, 1389.472, 1389.472, 1608.358, 1608.358,
                       3107.319, 3213.243, 3213.243, 3213.243};
  double zpe = 0.0, thermal = 4.0 * RGAS * 298.15 / 1000.0;
  for (const double v : nu) {
    zpe += 0.5 * hcNA * v;
    thermal += hcNA * v / (std::exp(PLANCK * CLIGHT * 100.0 * v / (BOLTZ * 298.15)) - 1.0);
  }
  const double e0CH4 = -40.43890968 * hartree + zpe;
  const double soC = (3 * 16.4167 + 5 * 43.4135) / 9.0 * hcNA;
  const double e0H = -0.49980991 * hartree, e0C = -37.78109982 * hartree - soC;
  const double dfH0 = (4 * 216.032472 + 711.401336) - (4 * e0H + e0C - e0CH4);
  // H(298.15) - H(0) of H2(g) and graphite, CODATA Key Values: 8.468 and 1.050 kJ/mol.
  const double dfH298 = dfH0 + thermal - (4 * 8.468 / 2 + 1.050);
  const Species &ch4 = species(m, "CH4");
  ASSERT_TRUE(ch4.dfH298.has_value());
  EXPECT_NEAR(*ch4.dfH0, dfH0, 1e-6);
  EXPECT_NEAR(*ch4.dfH298, dfH298, 1e-6);
  EXPECT_NEAR(H(ch4, 298.15), dfH298, 0.1); // the polynomial on the formation scale
  EXPECT_TRUE(m.formationScale);
}

// The warnings of the enthalpy scale: none without --atoms but the one that
// says the scale is the electronic energies'; atoms of another method than
// the molecules named.
TEST(MechFormation, WarnsOfTheScaleAndOfMixedMethods) {
  const auto texts = [](const std::string &atoms) {
    MechRequest q = request({"h_ch4.inp"});
    q.atoms = atoms.empty() ? atoms : (FIXTURES / atoms).string();
    Mechanism m;
    mech::buildMechanism(q, m);
    std::string all;
    for (const std::string &w : m.warnings.texts())
      all += w + "\n";
    return all;
  };
  EXPECT_NE(texts("").find("without --atoms the enthalpies are on the scale of the electronic "
                           "energies"),
            std::string::npos);
  EXPECT_EQ(texts("atoms.txt"), "");
  const std::string mixed = texts("atoms_mixed.txt");
  EXPECT_NE(mixed.find("the atoms of --atoms have energies of another method (H BHLYP/6-31G**)"),
            std::string::npos)
      << mixed;
}

TEST(MechFormation, TheTableNamesASourceForEveryNumber) {
  for (std::size_t i = 0; i < extended::elementReferenceCount(); ++i) {
    const extended::ElementReference &e = extended::elementReferenceAt(i);
    EXPECT_TRUE(!e.atomDfH0 || std::string(e.atomSource).size() > 10) << e.symbol;
    EXPECT_TRUE(!e.elementH298 || std::string(e.elementSource).size() > 10) << e.symbol;
  }
  for (const char *symbol : {"H", "C", "N", "O", "F", "Si", "S", "Cl", "Br"}) {
    bool found = false;
    for (std::size_t i = 0; i < extended::elementReferenceCount(); ++i)
      found = found || std::string(extended::elementReferenceAt(i).symbol) == symbol;
    EXPECT_TRUE(found) << symbol;
  }
}

// The 80 columns of the thermo cards: name 1-18, date 19-24, four element
// fields 25-44 (A2, I3), phase 45, Tlow 46-55, Thigh 56-65, Tmid 66-73, the
// card number in 80; coefficients in E15.8, five a card.
TEST(MechFormats, ThermoCardColumns) {
  Mechanism m;
  mech::buildMechanism(request({"h_ch4.inp"}), m);
  const Species &ch4 = species(m, "CH4");
  const std::string cards = mech::thermoCards(ch4, "261211");
  std::vector<std::string> lines;
  for (std::size_t at = 0, next; (next = cards.find('\n', at)) != std::string::npos; at = next + 1)
    lines.push_back(cards.substr(at, next - at));
  ASSERT_EQ(lines.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    ASSERT_EQ(lines[i].size(), 80u) << i;
    EXPECT_EQ(lines[i][79], static_cast<char>('1' + i));
  }
  EXPECT_EQ(lines[0].substr(0, 18), "CH4               ");
  EXPECT_EQ(lines[0].substr(18, 6), "261211");
  EXPECT_EQ(lines[0].substr(24, 20), "H   4C   1    0    0");
  EXPECT_EQ(lines[0][44], 'G');
  EXPECT_DOUBLE_EQ(std::stod(lines[0].substr(45, 10)), 200.0);
  EXPECT_DOUBLE_EQ(std::stod(lines[0].substr(55, 10)), 3000.0);
  EXPECT_DOUBLE_EQ(std::stod(lines[0].substr(65, 8)), 1000.0);
  // high a1..a5; high a6, a7, low a1..a3; low a4..a7
  const double *order[] = {
      &ch4.nasa.high[0], &ch4.nasa.high[1], &ch4.nasa.high[2], &ch4.nasa.high[3], &ch4.nasa.high[4],
      &ch4.nasa.high[5], &ch4.nasa.high[6], &ch4.nasa.low[0],  &ch4.nasa.low[1],  &ch4.nasa.low[2],
      &ch4.nasa.low[3],  &ch4.nasa.low[4],  &ch4.nasa.low[5],  &ch4.nasa.low[6]};
  for (std::size_t k = 0; k < 14; ++k) {
    const std::string field = lines[1 + k / 5].substr(15 * (k % 5), 15);
    EXPECT_EQ(field.find('E'), 11u) << field;
    EXPECT_NEAR(std::stod(field), *order[k], 5e-9 * std::fabs(*order[k])) << k;
  }
}

TEST(MechSpecies, SharedSpeciesIsOneSpecies) {
  Mechanism m;
  mech::buildMechanism(request({"h_ch4.inp", "ch3_h.inp"}), m);
  std::vector<std::string> names;
  for (const Species &s : m.species)
    names.push_back(s.name);
  EXPECT_EQ(names, (std::vector<std::string>{"H", "CH4", "H2", "CH3"}));
  ASSERT_EQ(m.reactions.size(), 2u);
  EXPECT_EQ(m.reactions[1].equation(), "CH3 + H <=> CH4");
  EXPECT_EQ(m.elements, (std::vector<int>{1, 6}));
}

TEST(MechRefusals, EachNamesWhatToDo) {
  struct Case {
    std::vector<std::string> jobs;
    std::string composition; // --composition NAME=FORMULA, or empty
    std::vector<std::string> said;
  };
  const Case cases[] = {
      {{"h_ch4.inp", "other_h.inp"},
       "",
       {"other_h.inp: the species H (data file", "h_other.dat) is not the molecule",
        "h_ch4.inp names H (data file", "rename one"}},
      {{"digit_name.inp"}, "", {"digit_name.inp line 3", "\"4CH4\"", "starts with a digit"}},
      {{"long_name.inp"}, "", {"\"METHANE_MOLECULE1\"", "16 characters"}},
      {{"bare.inp"}, "", {"h2_bare.dat of H2 has no coordinates", "--composition H2=FORMULA"}},
      {{"h_ch4.inp"}, "CH4=CHNOS", {"CH4 (CHNOS) has 5 elements", "at most four"}},
      {{"no_ts.inp"}, "", {"no_ts.inp", "no transition state"}},
  };
  for (const Case &c : cases) {
    MechRequest q = request(c.jobs);
    if (!c.composition.empty())
      q.compositions[c.composition.substr(0, c.composition.find('='))] =
          *mech::parseFormula(c.composition.substr(c.composition.find('=') + 1));
    Mechanism m;
    try {
      mech::buildMechanism(q, m);
      ADD_FAILURE() << c.jobs.front() << ": no error";
    } catch (const std::exception &e) {
      for (const std::string &part : c.said)
        EXPECT_NE(std::string(e.what()).find(part), std::string::npos)
            << "\"" << part << "\" not in: " << e.what();
    }
  }
  // The composition given, the bare data file is taken.
  MechRequest q = request({"bare.inp"});
  q.compositions["H2"] = *mech::parseFormula("H2");
  Mechanism m;
  EXPECT_NO_THROW(mech::buildMechanism(q, m));
}

TEST(MechRefusals, AnOutputOverAnInputOrAnotherOutput) {
  TempDir dir;
  for (const char *f : {"h_ch4.inp", "h.dat", "ch4.dat", "h2.dat", "ch3.dat", "ts.dat"})
    std::filesystem::copy_file(FIXTURES / f, dir / f);
  const struct {
    std::string args, said;
  } cases[] = {
      {"h_ch4.inp -o h.dat", "-o \"h.dat\" would replace"},
      {"h_ch4.inp --chemkin h_ch4.inp", "would replace"},
      {"h_ch4.inp -o m.yaml --thermo m.yaml", "-o and --thermo name the same file"},
  };
  for (const auto &c : cases) {
    const RunResult r = runProgram(ORVALEN_MECH_BINARY, dir.path(), c.args);
    EXPECT_EQ(r.status, 1) << c.args;
    EXPECT_NE(r.stderrText.find(c.said), std::string::npos) << r.stderrText;
    EXPECT_FALSE(std::filesystem::exists(dir / "m.yaml"));
  }
  EXPECT_EQ(std::filesystem::file_size(dir / "h.dat"),
            std::filesystem::file_size(FIXTURES / "h.dat"));
}

} // namespace
} // namespace orvalen::test
