#include "base/error.hpp"
#include "thermo/rrho.hpp"
#include "water_molecule.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orvalen {
namespace {

// The functions with their expected values; tol is half a unit of the last digit given.
struct Expected {
  double q, u, h, s, f, g;
};
void expectContribution(const Contribution &c, const Expected &e, double qtol, double tol) {
  EXPECT_NEAR(c.q, e.q, qtol);
  EXPECT_NEAR(c.u, e.u, tol);
  EXPECT_NEAR(c.h, e.h, tol);
  EXPECT_NEAR(c.s, e.s, tol * 10.0);
  EXPECT_NEAR(c.f, e.f, tol);
  EXPECT_NEAR(c.g, e.g, tol);
}

TEST(CalcTdf, FunctionsOfAPartitionFunctionOfE) {
  // Q = e, dQ/dT = 0: F = -RT, S = R, U = F + TS = 0; H adds RT only for hflag 1.
  // RT/1000 = 8.314472145136097 * 298.15 / 1000 = 2.478959870 kJ/mol.
  const double T = 298.15;
  const double rt = 2.478959870;
  const Tdf plain = calcTdf(std::exp(1.0), 0.0, 0, T);
  EXPECT_NEAR(plain.f, -rt, 1e-9);
  EXPECT_NEAR(plain.s, RGAS, 1e-12);
  EXPECT_NEAR(plain.u, 0.0, 1e-12);
  EXPECT_NEAR(plain.h, 0.0, 1e-12);
  EXPECT_NEAR(plain.g, -rt, 1e-9);
  const Tdf withPv = calcTdf(std::exp(1.0), 0.0, 1, T);
  EXPECT_NEAR(withPv.h, rt, 1e-9);
  EXPECT_NEAR(withPv.g, 0.0, 1e-12);
  EXPECT_NEAR(calcTdf(std::exp(1.0), 0.0, 2, T).h, 0.0, 1e-12); // only 1 adds the pV term
}

TEST(Electronic, SpinDegeneracy) {
  Molecule m = test::waterRotor();
  const Conditions cond;
  const Contribution singlet = electronic(m, cond);
  EXPECT_EQ(singlet.q, 1.0);
  EXPECT_EQ(singlet.s, 0.0);
  EXPECT_EQ(singlet.f, 0.0);
  EXPECT_EQ(singlet.g, 0.0);
  // Doublet: S = R ln 2 = 5.7631529 J/(mol K), F = G = -T S = -1.7182840 kJ/mol.
  m.mult = 2;
  expectContribution(electronic(m, cond), {2.0, 0.0, 0.0, 5.7631529, -1.7182840, -1.7182840}, 0.0,
                     0.5e-7);
  // A multiplicity nobody supplied is used as it stands: g = 999999.
  m.mult = NOT_GIVEN;
  EXPECT_EQ(electronic(m, cond).q, 999999.0);
}

TEST(Translational, WaterMassAtStandardConditions) {
  const Contribution t = translational(test::waterRotor(), Conditions{});
  // Stran = R ln Qtran + 1.5 R, the convention used throughout the report.
  expectContribution(t, {3.0043185e6, 3.718440, 6.197400, 136.48673, -36.975078, -34.496118},
                     0.5e-1, 0.5e-6);
  EXPECT_NEAR(std::log(t.q), 14.915561, 0.5e-6);
  EXPECT_NEAR(std::log10(t.q), 6.477746, 0.5e-6);
}

TEST(Translational, PressureEntersOnlyThroughTheVolume) {
  Conditions doubled;
  doubled.P = 2.0 * DEFAULT_P;
  const Contribution base = translational(test::waterRotor(), Conditions{});
  const Contribution high = translational(test::waterRotor(), doubled);
  EXPECT_NEAR(base.s - high.s, 5.7631529, 1e-7); // R ln 2
  EXPECT_NEAR(high.u, base.u, 1e-12);
  EXPECT_NEAR(high.h, base.h, 1e-12);
}

TEST(Rotational, RotorsOfTheWorkedExamples) {
  const Conditions cond;
  Molecule bent = test::waterRotor();
  expectContribution(rotational(bent, cond),
                     {42.801515, 3.718440, 3.718440, 43.705634, -9.312395, -9.312395}, 0.5e-6,
                     0.5e-6);

  Molecule linear = test::waterRotor();
  linear.linear = 1;
  linear.pmoi = {43.1, 43.1, 0.0};
  expectContribution(rotational(linear, cond),
                     {264.90652, 2.478960, 2.478960, 54.704047, -13.831052, -13.831052}, 0.5e-5,
                     0.5e-6);
  // Only the first moment counts for a linear rotor.
  linear.pmoi = {43.1, 7.0, 3.0};
  EXPECT_NEAR(rotational(linear, cond).q, 264.90652, 0.5e-5);
}

TEST(Rotational, AnAtomHasNoRotation) {
  for (int linear : {0, 1}) {
    Molecule atom = test::waterRotor();
    atom.natoms = 1;
    atom.linear = linear;
    const Contribution r = rotational(atom, Conditions{});
    EXPECT_EQ(r.q, 1.0);
    EXPECT_EQ(r.s, 0.0);
    EXPECT_EQ(r.u, 0.0);
    EXPECT_EQ(r.h, 0.0);
    EXPECT_EQ(r.f, 0.0);
    EXPECT_EQ(r.g, 0.0);
  }
}

TEST(Vibrational, OneModeOf1000Wavenumbers) {
  Molecule m = test::waterRotor();
  m.nfreq = 1.0;
  m.freq[0] = 1000.0;
  m.xinten[0] = 50.0;
  const Vibrations v = vibrational(m, Conditions{});
  ASSERT_EQ(v.nmodes, 1);
  const VibMode &r = v.mode[0];
  EXPECT_EQ(r.lfreq, 1);
  EXPECT_NEAR(r.theta, 1438.7752, 0.5e-4);
  EXPECT_NEAR(r.zpe, 5.981328, 0.5e-6);
  EXPECT_NEAR(r.qvib0, 1.0080860, 0.5e-7);
  EXPECT_NEAR(r.uvib, 6.078058, 0.5e-6);
  EXPECT_NEAR(r.hvib, 6.078058, 0.5e-6);
  EXPECT_NEAR(r.hh0vib, 0.096730, 0.5e-6);
  EXPECT_NEAR(r.fvib, 5.961364, 0.5e-6);
  EXPECT_NEAR(r.gvib, 5.961364, 0.5e-6);
  EXPECT_NEAR(r.svib, 0.391394, 0.5e-6);
  EXPECT_EQ(r.xinten, 50.0);
  EXPECT_EQ(v.nused, 1);
  EXPECT_EQ(v.qvib, r.qvib0);
  EXPECT_EQ(v.zpeTot, r.zpe);
  EXPECT_EQ(v.svib, r.svib);
}

TEST(Vibrational, WhichModesAreUsed) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double freq;
    int used;
  };
  // The unscaled frequency must exceed 0.1 cm-1; imaginary modes are negative.
  const Case cases[] = {{0.1, 0},     {0.0, 0},    {-0.0, 0}, {-500.0, 0},
                        {0.10001, 1}, {1000.0, 1}, {nan, 1}};
  Molecule m = test::waterRotor();
  m.nfreq = static_cast<double>(std::size(cases));
  for (std::size_t n = 0; n < std::size(cases); ++n)
    m.freq[n] = cases[n].freq;
  const Vibrations v = vibrational(m, Conditions{});
  EXPECT_EQ(v.nused, 3);
  for (std::size_t n = 0; n < std::size(cases); ++n) {
    const VibMode &r = v.mode[n];
    EXPECT_EQ(r.lfreq, cases[n].used) << "mode " << n + 1;
    if (cases[n].used == 0) {
      EXPECT_EQ(r.theta, 0.0);
      EXPECT_EQ(r.zpe, 0.0);
      EXPECT_EQ(r.svib, 0.0);
      EXPECT_EQ(r.hvib, 0.0);
      EXPECT_EQ(r.gvib, 0.0);
      EXPECT_EQ(r.hh0vib, 0.0);
      EXPECT_EQ(r.qvib0, 1.0);
    }
  }
  EXPECT_EQ(v.mode[3].freqScaled, -500.0);
  EXPECT_TRUE(std::isnan(v.mode[6].svib)); // carried on, not a crash
  EXPECT_TRUE(std::isnan(v.svib));
}

TEST(Vibrational, NoFrequencies) {
  Molecule atom = test::waterRotor();
  atom.nfreq = 0.0;
  atom.freq[0] = 1000.0; // beyond NFREQ: not a mode
  const Vibrations v = vibrational(atom, Conditions{});
  EXPECT_EQ(v.nmodes, 0);
  EXPECT_EQ(v.nused, 0);
  EXPECT_EQ(v.qvib, 1.0);
  EXPECT_EQ(v.zpeTot, 0.0);
  EXPECT_EQ(v.svib, 0.0);
  EXPECT_EQ(v.hvib, 0.0);
  EXPECT_EQ(v.gvib, 0.0);
  EXPECT_EQ(v.fvib, 0.0);
}

TEST(Vibrational, MoreRowsThanTheTableHoldsNameFreq) {
  Molecule m = test::waterRotor();
  m.nfreq = 301.0;
  try {
    vibrational(m, Conditions{});
    FAIL() << "no error for 301 frequencies";
  } catch (const Error &e) {
    EXPECT_NE(std::string(e.what()).find("FREQ"), std::string::npos) << e.what();
  }
  m.nfreq = 300.0;
  EXPECT_EQ(vibrational(m, Conditions{}).nmodes, 300);
}

TEST(Vibrational, StiffModesAtLowTemperatureKeepTheirZeroPointEnergy) {
  // 3000 cm-1 has theta = 3 x 1438.7752 = 4316.3257 K and ZPE = 3 x 5.981328 =
  // 17.943985 kJ/mol (R theta / 2). At 10 K (theta/T = 432) the thermal
  // parts, of order exp(-theta/T), vanish: U = H = F = G = ZPE, S = 0, Q from
  // the zero level = 1. Written as exp(theta/T) powers, the derivative of Q
  // overflows there and would give a finite U = 0 and S = -R theta/2T.
  for (double T : {10.0}) {
    Molecule m = test::waterRotor();
    m.nfreq = 1.0;
    m.freq[0] = 3000.0;
    Conditions cond;
    cond.T = T;
    const Vibrations v = vibrational(m, cond);
    const VibMode &r = v.mode[0];
    EXPECT_NEAR(r.zpe, 17.943985, 1e-6) << T;
    EXPECT_NEAR(r.uvib, 17.943985, 1e-6) << T;
    EXPECT_NEAR(r.hvib, 17.943985, 1e-6) << T;
    EXPECT_NEAR(r.gvib, 17.943985, 1e-6) << T;
    EXPECT_NEAR(r.svib, 0.0, 1e-6) << T;
    EXPECT_NEAR(r.hh0vib, 0.0, 1e-6) << T;
    EXPECT_EQ(r.qvib0, 1.0) << T;
  }
  // At 5 K (theta/T = 863) exp(-theta/T) underflows to 0 and 1/x is infinite:
  // the low-temperature values are not guarded and come out non-finite.
  Molecule m = test::waterRotor();
  m.nfreq = 1.0;
  m.freq[0] = 3000.0;
  Conditions cold;
  cold.T = 5.0;
  EXPECT_TRUE(std::isnan(vibrational(m, cold).mode[0].uvib));
}

TEST(Totals, SumsAndCorrectedEnergies) {
  Molecule m = test::waterRotor();
  m.nfreq = 1.0;
  m.freq[0] = 1000.0;
  const MoleculeThermo t = computeThermo(m, Conditions{});
  // Translation alone carries the pV term: Htot - Utot = RT = 2.478960 kJ/mol.
  EXPECT_NEAR(t.tot.h - t.tot.u, 2.478960, 0.5e-6);
  // Qtot = 1 x 3.0043185e6 x 42.801515 x 1.0080860 = 1.2962916e8 (python3).
  EXPECT_NEAR(t.tot.q / 1.2962916e8, 1.0, 1e-6);
  // Stot = 0 + 136.48673 + 43.705634 + 0.391394 = 180.583758 J/(mol K).
  EXPECT_NEAR(t.tot.s, 180.583758, 2e-5);
  // Gtot = -34.496118 - 9.312395 + 5.961364 = -37.847149 kJ/mol.
  EXPECT_NEAR(t.tot.g, -37.847149, 2e-6);
  EXPECT_EQ(t.zpeTot, t.vib.zpeTot);
  EXPECT_NEAR(t.corrected.ezpe, -76.4 + 5.981328 / 2625.3035184, 1e-9);
  EXPECT_NEAR(t.corrected.eg, -76.4 - 37.847149 / 2625.3035184, 1e-9);
  EXPECT_EQ(t.corrected.etot, -76.4);

  // What the reaction and rate sections take; the record keeps only its input.
  const MoleculeTotals s = totalsOf(t);
  EXPECT_EQ(s.qtot, t.tot.q);
  EXPECT_NEAR(s.stot, 180.583758 / 2625.3035184 / 1000.0, 1e-11); // Hartree/K
  EXPECT_EQ(s.etot, -76.4);
  EXPECT_EQ(s.ezpe, t.corrected.ezpe);
  EXPECT_EQ(s.eu, t.corrected.eu);
  EXPECT_EQ(s.eh, t.corrected.eh);
  EXPECT_EQ(s.eg, t.corrected.eg);
}

TEST(Totals, RecordWithoutDataGivesNonFiniteValuesNotACrash) {
  Molecule empty; // as a missing data file leaves it: no mass, no moments
  empty.mult = NOT_GIVEN;
  empty.rotnum = NOT_GIVEN;
  empty.etot = NOT_GIVEN_REAL;
  const MoleculeThermo t = computeThermo(empty, Conditions{});
  EXPECT_EQ(t.tran.q, 0.0);
  EXPECT_TRUE(std::isinf(t.tran.f));
  EXPECT_TRUE(std::isnan(t.tran.s));
  EXPECT_EQ(t.elec.q, 999999.0);
  EXPECT_EQ(t.corrected.etot, 999999.0);
  EXPECT_TRUE(std::isnan(t.tot.g));
}

} // namespace
} // namespace orvalen
