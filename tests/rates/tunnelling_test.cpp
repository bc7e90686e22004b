#include "rates_fixture.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <sstream>

namespace orvalen {
namespace {

using test::addMolecule;

const double T = 298.15;

// u = h*c*100*vim/(kB*T): 6.62606876e-34*299792458*100*1000/(1.3806503e-23*298.15) = 4.825676
TEST(Tunnelling, WignerAndParabolicAt1000Wavenumbers) {
  const Tunnelling t = tunnelling(1000.0, 0.0, 0.0, T);
  EXPECT_NEAR(t.u, 4.8257, 5e-5);
  EXPECT_NEAR(t.kW, 1.9703, 5e-5); // 1 + u*u/24
  EXPECT_NEAR(t.kP, 3.6232, 5e-5); // (u/2)/sin(u/2)
  EXPECT_GT(t.alp, t.bet);
  EXPECT_EQ(t.kST, t.kST1);
  // The first term of kST1, (pi*bet/alp)/sin(pi*bet/alp), is kP: pi*bet/alp = u/2.
  const double ratio = t.bet / t.alp;
  EXPECT_NEAR(PI * ratio / std::sin(PI * ratio), t.kP, 1e-13);
}

TEST(Tunnelling, SkodjeTruhlarWithABarrierOf5KjPerMol) {
  // python3 on the formulas: V0J = 5*1000/NA, ee = exp((bet-alp)*V0J);
  // kST1 = (pi*bet/alp)/sin(pi*bet/alp) - bet/(alp-bet)*ee = 1.822761,
  // kST2 = bet/(bet-alp)*(ee-1) = 1.510467.
  const Tunnelling t = tunnelling(1000.0, 5.0 * KJ2HARTREE, 0.0, T);
  EXPECT_NEAR(t.kST1, 1.8228, 5e-5);
  EXPECT_LT(t.kST1, t.kP);
  EXPECT_NEAR(t.kST2, 1.5105, 5e-5);
  EXPECT_EQ(t.kST, t.kST1);
}

TEST(Tunnelling, AboveTwoPiTheParabolicValueIsNegativeAndKst2Applies) {
  const Tunnelling t = tunnelling(1500.0, 0.0, 0.0, T);
  EXPECT_NEAR(t.u, 7.2385, 5e-5);
  EXPECT_NEAR(t.kP, -7.8730, 5e-5);
  EXPECT_GT(t.bet, t.alp);
  EXPECT_EQ(t.kST, t.kST2);
}

TEST(Tunnelling, LowerSideIsTheReactionEnergyOnlyWhenEndoergic) {
  const double dH0 = 0.02;
  const Tunnelling flat = tunnelling(1000.0, dH0, 0.0, T);
  const Tunnelling exo = tunnelling(1000.0, dH0, -0.01, T);
  EXPECT_EQ(exo.kST1, flat.kST1);
  EXPECT_EQ(exo.kST2, flat.kST2);
  // Endoergic by 0.005 Hartree: the same as a barrier lower by that much.
  const Tunnelling endo = tunnelling(1000.0, dH0, 0.005, T);
  const Tunnelling lower = tunnelling(1000.0, dH0 - 0.005, 0.0, T);
  EXPECT_NEAR(endo.kST1, lower.kST1, 1e-12);
  EXPECT_NEAR(endo.kST2, lower.kST2, 1e-12);
  EXPECT_NE(endo.kST1, flat.kST1);
  // A reaction energy that is not a number is not clamped.
  const Tunnelling nan = tunnelling(1000.0, dH0, std::numeric_limits<double>::quiet_NaN(), T);
  EXPECT_TRUE(std::isnan(nan.kST1));
  EXPECT_TRUE(std::isnan(nan.kST2));
  EXPECT_TRUE(std::isnan(nan.kST));
  EXPECT_EQ(nan.kW, flat.kW);
}

TEST(Tunnelling, SignOfTheImaginaryFrequencyIsDropped) {
  const Tunnelling pos = tunnelling(1234.5, 0.03, 0.01, T);
  const Tunnelling neg = tunnelling(-1234.5, 0.03, 0.01, T);
  EXPECT_EQ(pos.kW, neg.kW);
  EXPECT_EQ(pos.kP, neg.kP);
  EXPECT_EQ(pos.kST, neg.kST);
}

TEST(ImaginaryFrequency, SeventhEntryOfTheFirstTransitionState) {
  const test::Totals any{-1.0, -0.99, -0.98, -0.97, -1.01, 1.0e-5, 10.0};
  test::Job job;
  EXPECT_EQ(imaginaryFrequency(job.mol), 0.0); // no transition state
  Molecule &first = addMolecule(job, TRANSITION_STATE, "TS1", any);
  Molecule &second = addMolecule(job, TRANSITION_STATE, "TS2", any);
  second.nfreq = 9;
  second.freq[6] = -2000.0;
  first.nfreq = 6; // fewer than seven frequencies
  first.freq[0] = -1500.0;
  first.freq[6] = -1234.5;
  EXPECT_EQ(imaginaryFrequency(job.mol), 0.0);
  first.nfreq = 7;
  EXPECT_EQ(imaginaryFrequency(job.mol), 1234.5);
}

TEST(Tunnelling, SectionWithoutFrequencyOrBarrierShowsWhatTheArithmeticGives) {
  // vim = 0: u = 0 so kW = 1; kP = 0/sin(0) is NaN; alp = 2 pi/0 is Infinity,
  // so the exponent of ee is -Infinity * 0 (NaN) and both kST are NaN.
  std::ostringstream text;
  fixedio::Writer out(text);
  writeTunnelling(out, tunnelling(0.0, 0.0, 0.0, T));
  EXPECT_EQ(text.str(),
            "\n\n"
            " Transmission coeeficient by Wigner theory                  =        1.0000000000\n"
            " Transmission coeeficient for uniform parabolic potential   =                 NaN\n"
            " Transmission coeeficient by Skodje-Thrular theory (a>b,a<b)="
            "                 NaN                 NaN                 NaN\n");
}

TEST(Tunnelling, SectionAt1000Wavenumbers) {
  // Values of the first two tests to ten places (python3 on the same formulas):
  // kW = 1.970297763228862, kP = 3.623199481367385, kST1 = 1.8227611803093589,
  // kST2 = 1.5104667078739729.
  std::ostringstream text;
  fixedio::Writer out(text);
  writeTunnelling(out, tunnelling(1000.0, 5.0 * KJ2HARTREE, 0.0, T));
  EXPECT_EQ(text.str(),
            "\n\n"
            " Transmission coeeficient by Wigner theory                  =        1.9702977632\n"
            " Transmission coeeficient for uniform parabolic potential   =        3.6231994814\n"
            " Transmission coeeficient by Skodje-Thrular theory (a>b,a<b)="
            "        1.8227611803        1.8227611803        1.5104667079\n");
}

} // namespace
} // namespace orvalen
