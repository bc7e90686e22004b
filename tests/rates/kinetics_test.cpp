#include "rates_fixture.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <sstream>

namespace orvalen {
namespace {

using test::addMolecule;

const test::Totals reactant{-40.5, -40.455, -40.452, -40.451, -40.472, 7.0e-5, 9.2e5};

// A transition state some 20-40 kJ/mol above n reactants.
test::Totals transitionState(int n) {
  return {n * -40.5 + 0.01,
          n * -40.455 + 0.012,
          n * -40.452 + 0.011,
          n * -40.451 + 0.011,
          n * -40.472 + 0.015,
          n * 7.0e-5 - 2.0e-5,
          2.9e8};
}

test::Job tableWith(int nReactants, int nTs = 1) {
  test::Job job;
  for (int i = 1; i <= nReactants; ++i)
    addMolecule(job, REACTANT, "R" + std::to_string(i), reactant);
  for (int i = 1; i <= nTs; ++i)
    addMolecule(job, TRANSITION_STATE, "TS" + std::to_string(i), transitionState(nReactants));
  return job;
}

RateConstants ratesOf(const test::Job &job, const Conditions &cond) {
  return rateConstants(job.mol, job.totals, cond);
}

TEST(IntegerPower, RepeatedSquaringWithTheReciprocalFirstForNegativeExponents) {
  struct Case {
    double base;
    int n;
    double expected;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {7.0, 0, 1.0},
      {0.0, 0, 1.0},
      {3.0, 5, 243.0},
      {10.0, 22, 1e22}, // exact: every square and product is representable
      {2.0, -1, 0.5},
      // 1/2.5 = 0.4 (0.40000000000000002220), 0.4*0.4 rounds to 0.16000000000000003;
      // 1/(2.5*2.5) would give 0.16
      {2.5, -2, 0.16000000000000003},
      // python3: b=1/3; r=b; b*=b; b*=b; r*=b -> 0.004115226337448559 (1/243 = ...856)
      {3.0, -5, 0.004115226337448559},
      {0.0, -1, inf},
      {1e200, 2, inf},
  };
  for (const auto &c : cases)
    EXPECT_EQ(integerPower(c.base, c.n), c.expected) << c.base << "**" << c.n;
}

TEST(RateConstants, BimolecularConcentrationFactorIsTheVolumePerMoleculeAtP0) {
  // RT = 8.314472145136097 * 298.15 = 2478.9598 J/mol; RT/(P0*NA) = 4.11641e-26 m3,
  // x 1e6 = 4.11641e-20 cm3, RT/P0*1000 = 24.78960 L/mol.
  const RateConstants r = ratesOf(tableWith(2), Conditions{});
  ASSERT_TRUE(r.present);
  EXPECT_EQ(r.m, 2);
  EXPECT_EQ(r.fc[0], 1.0);
  EXPECT_NEAR(r.fc[1] / 4.11641e-26, 1.0, 1e-5);
  EXPECT_NEAR(r.fc[2] / 4.11641e-20, 1.0, 1e-5);
  EXPECT_NEAR(r.fc[3] / 24.78960, 1.0, 1e-5);
  // Exactly as formed: the reciprocal of P0/RT*NA (exponent -1).
  EXPECT_EQ(r.fc[1], 1.0 / (P0 / (RGAS * 298.15) * AVOGADRO));
}

TEST(RateConstants, UnimolecularColumnsAllCarryTheSameValues) {
  const RateConstants r = ratesOf(tableWith(1), Conditions{});
  for (std::size_t j = 0; j < 4; ++j) {
    EXPECT_EQ(r.fc[j], 1.0);
    EXPECT_EQ(r.a[j], r.a[0]);
    EXPECT_EQ(r.kQ[j], r.kQ[0]);
    EXPECT_EQ(r.kG[j], r.kG[0]);
  }
  // kQ = kT/h * ProdQ * exp(-dH0/RT), hand-formed from the two molecules.
  const test::Totals ts = transitionState(1);
  const double dH0 = -1.0 * reactant.ezpe + ts.ezpe;
  const double kTh = BOLTZ * 298.15 / PLANCK;
  const double prodQ = 1.0 / reactant.qtot * ts.qtot;
  const double RTk = RGAS * 0.001 * 298.15;
  EXPECT_EQ(r.dH0, dH0);
  EXPECT_EQ(r.kQ[0], kTh * prodQ * 1.0 * std::exp(-(dH0 / KJ2HARTREE) / RTk));
  EXPECT_TRUE(std::isfinite(r.kQ[0]) && r.kQ[0] > 0.0);
  // kG keeps its extra RT: exp(-(dG + RT)/RT).
  const double dG = -1.0 * reactant.eg + ts.eg;
  EXPECT_EQ(r.kG[0], kTh * std::exp(-(dG / KJ2HARTREE + RTk) / RTk) * 1.0);
}

TEST(RateConstants, TwoTransitionStatesBothEnterProdQAndEverySum) {
  test::Job job = tableWith(1, 0);
  addMolecule(job, TRANSITION_STATE, "TSA", {-40.4, -40.3, -40.2, -40.1, -40.35, 8.0e-5, 3.0});
  addMolecule(job, TRANSITION_STATE, "TSB", {-0.25, -0.125, -0.5, -0.375, -0.0625, 1.0e-6, 2.0});
  const RateConstants r = rateConstants(job.mol, job.totals, Conditions{});
  EXPECT_EQ(trimmed(r.title), " Kinetic parameters for the reaction R1 -> TSA + TSB");
  EXPECT_EQ(r.prodQ, 1.0 / reactant.qtot * 3.0 * 2.0);
  EXPECT_EQ(r.dEa, (40.5 + -40.4) + -0.25);
  EXPECT_EQ(r.dH0, (40.455 + -40.3) + -0.125);
  EXPECT_EQ(r.dH, (40.451 + -40.1) + -0.375);
  EXPECT_EQ(r.dS, (-7.0e-5 + 8.0e-5) + 1.0e-6);
  EXPECT_EQ(r.dG, (40.472 + -40.35) + -0.0625);
}

TEST(RateConstants, JobPressureLeavesFcAndTheRateConstantsAlone) {
  const RateConstants atm = ratesOf(tableWith(2), Conditions{});
  const RateConstants high = ratesOf(tableWith(2), Conditions{298.15, 5.0e6, 0.0, 0});
  EXPECT_EQ(atm.fc, high.fc);
  EXPECT_EQ(atm.a, high.a);
  EXPECT_EQ(atm.kQ, high.kQ);
  EXPECT_EQ(atm.kG, high.kG);
}

TEST(RateSection, SkippedWithoutReactantOrTransitionState) {
  for (const int nR : {0, 1}) {
    const test::Job job = tableWith(nR, 1 - nR);
    const RateConstants r = rateConstants(job.mol, job.totals, Conditions{});
    EXPECT_FALSE(r.present);
    EXPECT_EQ(r.dH0, 0.0);
    EXPECT_EQ(r.kG, (Columns{0.0, 0.0, 0.0, 0.0}));
    std::ostringstream text;
    fixedio::Writer out(text);
    writeRateSection(out, job.mol, Conditions{}, r);
    EXPECT_EQ(text.str(), "");
  }
}

TEST(RateSection, OneUnitsLineChosenByMolecularity) {
  struct Case {
    int m;
    const char *units;
  };
  const Case cases[] = {
      {1, "1/s             m0/molecule0/s      cm0/molecule0/s       L0/Mol0/s"},
      {2, "1/s             m3/molecule/s       cm3/molecule/s        L/Mol/s"},
      {3, "1/s             m6/molecule2/s      cm6/molecule2/s       L2/Mol2/s"},
      {4, "1/s             m9/molecule3/s      cm9/molecule3/s       L3/Mol3/s"},
      // 3m-3 = 12 does not fit an I1 field
      {5, "1/s             m*/molecule4/s      cm*/molecule4/s       L4/Mol4/s"},
  };
  for (const auto &c : cases) {
    const test::Job job = tableWith(c.m);
    std::ostringstream text;
    fixedio::Writer out(text);
    writeRateSection(out, job.mol, Conditions{}, rateConstants(job.mol, job.totals, Conditions{}));
    const std::string s = text.str();
    const std::string line = "\n\n" + std::string(53, ' ') + c.units + "\n";
    const auto at = s.find(line);
    EXPECT_NE(at, std::string::npos) << c.m << "\n" << s;
    EXPECT_EQ(s.find(std::string(53, ' ') + "1/s", at + 2 + 53), std::string::npos) << c.m;
  }
}

TEST(EffectiveRateConstant, ScalesEachColumnByItsConcentrationPower) {
  const Columns kG{2.0, 3.0e-22, 3.0e-16, 1.5e5};
  const Columns k = effectiveRateConstant(kG, Conditions{298.15, 101325.0, 1e19, 2});
  EXPECT_EQ(k[0], kG[0]);
  EXPECT_EQ(k[2], kG[2] * 1e38); // 1e19 is exact; 1e19*1e19 rounds to the double 1e38
  // (1e19*1e6)**2: 1e25 rounds to the double 1e25, whose square is 1e50 to the last bit or so
  EXPECT_EQ(k[1], kG[1] * (1e25 * 1e25));
  EXPECT_NEAR(k[1] / (kG[1] * 1e50), 1.0, 1e-15);
  const double perLitre = 1e19 / AVOGADRO * 1000.0; // mol/L
  EXPECT_EQ(k[3], kG[3] * (perLitre * perLitre));
}

TEST(EffectiveRateConstant, ZeroRateConstantsAndOverflowingPowers) {
  const Columns zero{0.0, 0.0, 0.0, 0.0};
  // C**n overflowing gives 0 * Infinity = NaN in that column only.
  const Columns k = effectiveRateConstant(zero, Conditions{298.15, 101325.0, 1e150, 2});
  EXPECT_EQ(k[0], 0.0);
  EXPECT_TRUE(std::isnan(k[1])); // (1e156)**2
  EXPECT_EQ(k[2], 0.0);          // 1e300
  EXPECT_EQ(k[3], 0.0);          // (1.7e126)**2
}

TEST(EffectiveRateConstant, LinesWrittenOnlyWhenAnExponentIsGiven) {
  const Columns k{4.171054e3, 4.292441e-1, 4.292441e-1, 4.292441e-1};
  std::ostringstream none, two;
  fixedio::Writer outNone(none), outTwo(two);
  writeEffectiveRateConstant(outNone, Conditions{298.15, 101325.0, 2.5e15, 0}, k);
  writeEffectiveRateConstant(outTwo, Conditions{298.15, 101325.0, 2.5e15, 2}, k);
  EXPECT_EQ(none.str(), "");
  EXPECT_EQ(two.str(), "\n Effective rate constant kG * C**n               4.171054D+03"
                       "        4.292441D-01        4.292441D-01        4.292441D-01\n"
                       " Concentration C =    2.500E+15 molecules/cm3,   n =   2\n");
}

} // namespace
} // namespace orvalen
