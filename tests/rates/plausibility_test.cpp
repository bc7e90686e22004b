#include "rates/plausibility.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace orvalen {
namespace {

// A job with `reactants` reactants and `ts` transition states, and results set
// by hand: the checks look at the numbers, not at how they were computed.
struct Case {
  const char *what;
  int reactants;
  int ts;
  double kcm3;      // kQ = kG in column 3 (cm3/molecule/s for m = 2)
  double k1;        // kQ = kG in column 1 (1/s for m = 1)
  double dH0kj;     // kJ/mol
  double P;         // Pa
  bool unsound;     // a data file was missing: nothing more is said
  const char *text; // nullptr: no warning
};

std::vector<std::string> check(const Case &c) {
  MoleculeTable mol;
  for (int j = 0; j < c.reactants; ++j)
    mol.at(REACTANT, mol.add(REACTANT)).name = fixedText("R", NAME_LEN);
  for (int j = 0; j < c.ts; ++j)
    mol.at(TRANSITION_STATE, mol.add(TRANSITION_STATE)).name = fixedText("TS", NAME_LEN);
  Conditions cond;
  cond.T = 300.0;
  cond.P = c.P;
  JobResults r;
  r.rates.present = true;
  r.rates.m = c.reactants;
  r.rates.dH0 = c.dH0kj * KJ2HARTREE;
  r.rates.kTh = BOLTZ * cond.T / PLANCK; // 6.25e12 1/s at 300 K
  r.rates.kQ = {c.k1, 0.0, c.kcm3, 0.0};
  r.rates.kG = r.rates.kQ;
  Warnings w;
  if (c.unsound)
    w.addUnsound("a data file was missing");
  checkResults(mol, cond, r, w);
  std::vector<std::string> texts = w.texts();
  if (c.unsound)
    texts.erase(texts.begin());
  return texts;
}

TEST(Plausibility, ImplausibleResultsAreNamedOnce) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {"an ordinary bimolecular reaction", 2, 1, 6.9e-15, 0.0, 20.0, 101325.0, false, nullptr},
      {"above the collision limit", 2, 1, 2.0e-9, 0.0, 20.0, 101325.0, false,
       "kQ = 2.000e-09, kG = 2.000e-09 cm3/molecule/s at 300 K is above the collision limit"},
      {"just below it", 2, 1, 0.9e-9, 0.0, 20.0, 101325.0, false, nullptr},
      {"two transition states: no single path", 2, 2, 2.0e-9, 0.0, 20.0, 101325.0, false, nullptr},
      {"a submerged barrier", 2, 1, 1.0e-11, 0.0, -5.0, 101325.0, false,
       "the transition state TS lies below the reactants R + R: dH0 = -5.00 kJ/mol"},
      {"unimolecular above kB T/h", 1, 1, 0.0, 1.0e13, 20.0, 101325.0, false,
       "kQ = 1.000e+13, kG = 1.000e+13 1/s at 300 K is above kB*T/h = 6.251e+12 1/s"},
      {"unimolecular below it", 1, 1, 0.0, 1.0e12, 20.0, 101325.0, false, nullptr},
      {"not finite: the report check names it", 2, 1, nan, 0.0, nan, 101325.0, false, nullptr},
      {"a report already unusable", 2, 1, 2.0e-9, 0.0, -5.0, 101325.0, true, nullptr},
      // (P/P0)^(m - nTS): 1e7 / 1e5 = 100 for m = 2 and one transition state.
      {"1e7 Pa", 2, 1, 1.0e-12, 0.0, 20.0, 1.0e7, false, "the factor (P/P0)^1 = 1.000e+02"},
      {"4 % from P0", 2, 1, 1.0e-12, 0.0, 20.0, 1.04e5, false, nullptr},
      {"6 % from P0", 2, 1, 1.0e-12, 0.0, 20.0, 1.06e5, false, "(P/P0)^1 = 1.060e+00"},
      {"unimolecular: no factor", 1, 1, 0.0, 1.0, 20.0, 1.0e7, false, nullptr},
  };
  for (const Case &c : cases) {
    const auto w = check(c);
    if (!c.text) {
      EXPECT_TRUE(w.empty()) << c.what << ": " << (w.empty() ? "" : w[0]);
      continue;
    }
    ASSERT_EQ(w.size(), 1u) << c.what;
    EXPECT_NE(w[0].find(c.text), std::string::npos) << c.what << ": " << w[0];
  }
}

} // namespace
} // namespace orvalen
