// Hindered rotors in a molecule's vibration table: each rotor's row against
// the free rotor's closed form and the deep cosine well's Mathieu levels, the
// sums over the rows, the report's digits where no rotor acts, and the other
// options leaving a rotor's row alone.

#include "extended/rotor_rows.hpp"

#include "base/error.hpp"
#include "extended/quasi_harmonic.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

namespace orvalen::extended {
namespace {

// CODATA 1998, as the program's constants.
constexpr double H = 6.62606876e-34;
constexpr double KB = 1.3806503e-23;
constexpr double NA = 6.02214199e23;
constexpr double C = 299792458.0;
constexpr double AMU_KG = 1.66053873e-27;
constexpr double R = KB * NA;
constexpr double T300 = 300.0;

// Harmonic mode of wavenumber nu (cm-1): S = R[x/(e^x - 1) - ln(1 - e^-x)],
// H - H0 = RT x/(e^x - 1), ZPE = h c nu/2, x = h c nu/kT.
double harmonicS(double nu, double T) {
  const double x = H * C * 100.0 * nu / (KB * T);
  return R * (x / std::expm1(x) - std::log(-std::expm1(-x)));
}
double harmonicThermalKJ(double nu, double T) {
  const double x = H * C * 100.0 * nu / (KB * T);
  return R * T * x / std::expm1(x) / 1000.0;
}
double harmonicZpeKJ(double nu) {
  return H * C * 100.0 * nu / 2.0 * NA / 1000.0;
}

// B = hbar^2/(2I), kJ/mol, I in amu*A^2.
double rotationalConstantKJ(double moment) {
  const double hbar = H / (2.0 * 3.141592653589793);
  return hbar * hbar / (2.0 * moment * AMU_KG * 1e-20) * NA / 1000.0;
}

// The cosine barrier V0/2 (1 - cos(sigma phi)) whose curvature sigma^2 V0/2
// equals I (2 pi c nu)^2: the well of a harmonic mode of wavenumber nu.
double wellBarrierKJ(double nu, int sigma, double moment) {
  const double omega = 2.0 * 3.141592653589793 * C * 100.0 * nu;
  return 2.0 * moment * AMU_KG * 1e-20 * omega * omega / (sigma * sigma) * NA / 1000.0;
}

// Ground level above the minimum of that well, from the Mathieu
// characteristic value a_0(q) (Abramowitz & Stegun 20.2.30), q = V0/(B sigma^2):
// E0 = h c nu/2 - B sigma^2/16 - B sigma^2/(128 sqrt q) - 3 B sigma^2/(1024 q).
double mathieuZpeKJ(double nu, int sigma, double moment) {
  const double b = rotationalConstantKJ(moment) * sigma * sigma;
  const double q = wellBarrierKJ(nu, sigma, moment) / b;
  return harmonicZpeKJ(nu) - b / 16.0 - b / (128.0 * std::sqrt(q)) - 3.0 * b / (1024.0 * q);
}

HinderedRotor cosineRotor(int mode, double v0, int sigma, double moment) {
  HinderedRotor r;
  r.mode = mode;
  r.pivot1 = 1;
  r.pivot2 = 2;
  r.top = {1, 3};
  r.cosine = true;
  r.barrier = v0;
  r.sigma = sigma;
  r.moment = moment;
  return r;
}

constexpr double FREE_MOMENT = 1.6; // amu*A^2
constexpr int FREE_SIGMA = 3;
constexpr double WELL_NU = 307.0; // cm-1
constexpr int WELL_SIGMA = 3;
constexpr double WELL_MOMENT = 27.0;

// Modes of 50 (row 7), 1500 (row 8) and 307 cm-1 (row 9) after six zeros; a
// free rotor in place of the 50 cm-1 mode, a deep cosine well in place of the
// 307 cm-1 mode.
Molecule rotorMolecule() {
  Molecule m;
  m.name = fixedText("M", NAME_LEN);
  m.natoms = 4;
  m.mult = 1;
  m.rotnum = 1;
  m.mass = 30.0;
  m.pmoi = {10.0, 20.0, 30.0};
  m.nfreq = 9.0;
  m.freq[6] = 50.0;
  m.freq[7] = 1500.0;
  m.freq[8] = WELL_NU;
  m.etot = -100.0;
  m.rotors = {
      cosineRotor(7, 0.0, FREE_SIGMA, FREE_MOMENT),
      cosineRotor(9, wellBarrierKJ(WELL_NU, WELL_SIGMA, WELL_MOMENT), WELL_SIGMA, WELL_MOMENT)};
  return m;
}

Vibrations rowsAt(const Molecule &m, RotorTreatment treatment, const PhysicsOptions &o, double T) {
  Vibrations v = modeRows(m, {T, 101325.0, 0.0, 0}, o);
  rotorRows(m, treatment, 100.0, 1000.0)(m, {T, 101325.0, 0.0, 0}, v);
  return v;
}

const RotorTreatment ACTING[] = {RotorTreatment::Quantum, RotorTreatment::Classical};

TEST(RotorRows, FreeRotorRowIsTheFreeRotor) {
  // V0 = 0: Q = sqrt(8 pi^3 I kT)/(h sigma), S = R(ln Q + 1/2), H - H0 = RT/2, no ZPE;
  // the level sum equals the integral but for exp(-pi^2 kT/B).
  const Molecule m = rotorMolecule();
  for (const RotorTreatment t : ACTING)
    for (const double T : {100.0, 300.0, 1000.0}) {
      const std::string at = std::string(rotorTreatmentName(t)) + " " + std::to_string(T) + " K";
      const double q =
          std::sqrt(8.0 * std::pow(3.141592653589793, 3) * FREE_MOMENT * AMU_KG * 1e-20 * KB * T) /
          (H * FREE_SIGMA);
      const Vibrations v = rowsAt(m, t, {}, T);
      const VibMode &row = v.mode[6];
      EXPECT_EQ(row.lfreq, 1) << at;
      EXPECT_NEAR(row.qvib0 / q, 1.0, 1e-7) << at;
      EXPECT_NEAR(row.svib, R * (std::log(q) + 0.5), 1e-5) << at;
      EXPECT_NEAR(row.hh0vib, R * T / 2000.0, 1e-7) << at;
      EXPECT_NEAR(row.zpe, 0.0, 1e-9) << at;
      // H and U from the potential minimum, G = H - TS, Q from the minimum.
      EXPECT_DOUBLE_EQ(row.hvib, row.zpe + row.hh0vib) << at;
      EXPECT_DOUBLE_EQ(row.uvib, row.hvib) << at;
      EXPECT_DOUBLE_EQ(row.gvib, row.hvib - T * row.svib / 1000.0) << at;
      EXPECT_DOUBLE_EQ(row.fvib, row.gvib) << at;
      EXPECT_NEAR(row.qvib / (row.qvib0 * std::exp(-row.zpe * 1000.0 / (R * T))), 1.0, 1e-12) << at;
    }
}

TEST(RotorRows, DeepCosineWellIsNearlyTheHarmonicMode) {
  // The well of the 307 cm-1 mode (V0 = 200.6 kJ/mol, q = 3000): quantum, its
  // ground level lies B sigma^2/16 below h c nu/2 (Mathieu); classical, the
  // ZPE is h c nu/2 of the curvature at the minimum. S and H - H0 stay within
  // the anharmonicity, of the order of kT/V0 = 1.2 %.
  const Molecule m = rotorMolecule();
  struct Case {
    RotorTreatment treatment;
    double zpe;          // kJ/mol
    double sTol, hh0Tol; // relative to the harmonic mode
  };
  const Case cases[] = {
      {RotorTreatment::Quantum, mathieuZpeKJ(WELL_NU, WELL_SIGMA, WELL_MOMENT), 0.015, 0.015},
      {RotorTreatment::Classical, harmonicZpeKJ(WELL_NU), 0.015, 0.015},
  };
  EXPECT_NEAR(wellBarrierKJ(WELL_NU, WELL_SIGMA, WELL_MOMENT), 200.645370842, 1e-9);
  for (const Case &c : cases) {
    const std::string name = rotorTreatmentName(c.treatment);
    const Vibrations v = rowsAt(m, c.treatment, {}, T300);
    const VibMode &row = v.mode[8];
    EXPECT_NEAR(row.zpe, c.zpe, 2e-5) << name;
    EXPECT_NEAR(row.svib / harmonicS(WELL_NU, T300), 1.0, c.sTol) << name;
    EXPECT_NEAR(row.hh0vib / harmonicThermalKJ(WELL_NU, T300), 1.0, c.hh0Tol) << name;
  }
  // Quantum: the ZPE is not the harmonic one (B sigma^2/16 = 0.0042 kJ/mol lower).
  EXPECT_LT(rowsAt(m, RotorTreatment::Quantum, {}, T300).mode[8].zpe,
            harmonicZpeKJ(WELL_NU) - 0.004);
}

TEST(RotorRows, SumsTakeTheRotorRowsInPlaceOfTheirModes) {
  // Svib = S_HO(1500) + S_free + S_well; ZPEtot = h c 1500/2 + 0 + E0 of the
  // well; Q0 the product; three modes used.
  const Molecule m = rotorMolecule();
  const Conditions cond{T300, 101325.0, 0.0, 0};
  const MoleculeThermo t =
      moleculeThermo(m, cond, {}, rotorRows(m, RotorTreatment::Quantum, T300, T300));
  const double q =
      std::sqrt(8.0 * std::pow(3.141592653589793, 3) * FREE_MOMENT * AMU_KG * 1e-20 * KB * T300) /
      (H * FREE_SIGMA);
  const VibMode &well = t.vib.mode[8];
  EXPECT_EQ(t.vib.nused, 3);
  EXPECT_NEAR(t.vib.svib, harmonicS(1500.0, T300) + R * (std::log(q) + 0.5) + well.svib, 1e-5);
  EXPECT_NEAR(t.zpeTot, harmonicZpeKJ(1500.0) + mathieuZpeKJ(WELL_NU, WELL_SIGMA, WELL_MOMENT),
              2e-5);
  EXPECT_NEAR(t.vib.hh0Tot, harmonicThermalKJ(1500.0, T300) + R * T300 / 2000.0 + well.hh0vib,
              1e-7);
  const double q1500 = 1.0 / -std::expm1(-H * C * 100.0 * 1500.0 / (KB * T300));
  EXPECT_NEAR(t.vib.qvib / (q1500 * q * well.qvib0), 1.0, 1e-7);
  // The totals and the corrected energies carry them: E + ZPE uses E0.
  EXPECT_DOUBLE_EQ(t.corrected.ezpe, m.etot + t.zpeTot * KJ2HARTREE);
  EXPECT_DOUBLE_EQ(t.tot.s, t.elec.s + t.tran.s + t.rot.s + t.vib.svib);
}

TEST(RotorRows, HarmonicOrNoRotorKeepsTheReportsDigits) {
  const auto same = [](double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
  };
  Molecule plain = rotorMolecule();
  plain.rotors.clear();
  struct Case {
    const char *name;
    Molecule m;
    RotorTreatment treatment;
  };
  const Case cases[] = {
      {"rotors, harmonic", rotorMolecule(), RotorTreatment::Harmonic},
      {"no rotor, quantum", plain, RotorTreatment::Quantum},
      {"no rotor, classical", plain, RotorTreatment::Classical},
  };
  for (const Case &c : cases)
    for (const double T : {10.0, 298.15, 2000.0}) {
      const Conditions cond{T, 101325.0, 0.0, 0};
      const RowStep step = rotorRows(c.m, c.treatment, 10.0, 2000.0);
      EXPECT_FALSE(step) << c.name;
      const MoleculeThermo got = moleculeThermo(c.m, cond, {}, step);
      const MoleculeThermo want = computeThermo(plain, cond);
      EXPECT_TRUE(same(got.tot.q, want.tot.q) && same(got.tot.s, want.tot.s) &&
                  same(got.tot.h, want.tot.h) && same(got.tot.g, want.tot.g) &&
                  same(got.zpeTot, want.zpeTot) && same(got.corrected.eg, want.corrected.eg))
          << c.name << " " << T << " K";
    }
}

TEST(RotorRows, OtherOptionsLeaveTheRotorRowsAlone) {
  // Scale factors and the quasi-harmonic treatments act on the 1500 cm-1 mode
  // only; the rotors' rows (the 50 cm-1 mode, which Grimme's entropy would
  // change most, and the 307 cm-1 one) keep their values.
  PhysicsOptions grimme;
  grimme.entropy = QuasiHarmonic::Grimme;
  grimme.cutoff = 2000.0; // every mode below it
  PhysicsOptions truhlar;
  truhlar.entropy = QuasiHarmonic::Truhlar;
  truhlar.cutoff = 2000.0;
  PhysicsOptions damped;
  damped.dampedEnergy = true;
  damped.cutoff = 2000.0;
  PhysicsOptions scaled;
  scaled.scale = 0.9;
  scaled.zpeScale = 0.97;
  const Molecule m = rotorMolecule();
  for (const RotorTreatment t : ACTING) {
    const Vibrations plain = rowsAt(m, t, {}, T300);
    for (const PhysicsOptions &o : {grimme, truhlar, damped, scaled}) {
      const Vibrations v = rowsAt(m, t, o, T300);
      const Vibrations noRotor = modeRows(m, {T300, 101325.0, 0.0, 0}, o);
      for (const std::size_t row : {std::size_t{6}, std::size_t{8}}) {
        EXPECT_EQ(v.mode[row].svib, plain.mode[row].svib) << row;
        EXPECT_EQ(v.mode[row].zpe, plain.mode[row].zpe) << row;
        EXPECT_EQ(v.mode[row].hvib, plain.mode[row].hvib) << row;
        EXPECT_EQ(v.mode[row].qvib0, plain.mode[row].qvib0) << row;
        EXPECT_EQ(v.mode[row].freqScaled, m.freq[row]) << row;
      }
      EXPECT_EQ(v.mode[7].svib, noRotor.mode[7].svib);
      EXPECT_EQ(v.mode[7].zpe, noRotor.mode[7].zpe);
      EXPECT_NE(v.mode[7].svib + v.mode[7].zpe, plain.mode[7].svib + plain.mode[7].zpe);
    }
  }
}

TEST(RotorRows, FactsGiveTheBarrierAndTheReplacedWavenumber) {
  Molecule m = rotorMolecule();
  // V = 1 - cos(phi) + 2 sin(phi): from 1 - sqrt(5) to 1 + sqrt(5).
  HinderedRotor fourier = cosineRotor(8, 0.0, 1, 0.9);
  fourier.cosine = false;
  fourier.fourier = {{{1.0, 0.0}, {-1.0, 2.0}}};
  m.rotors.push_back(fourier);
  const std::vector<RotorFacts> facts = rotorFacts(m);
  ASSERT_EQ(facts.size(), 3u);
  EXPECT_NEAR(facts[0].barrier, 0.0, 1e-12);
  EXPECT_NEAR(facts[1].barrier, 200.645370842, 1e-8);
  EXPECT_NEAR(facts[2].barrier, 2.0 * std::sqrt(5.0), 1e-9);
  EXPECT_EQ(facts[0].replacedWavenumber, 50.0);
  EXPECT_EQ(facts[1].replacedWavenumber, WELL_NU);
  EXPECT_EQ(facts[2].replacedWavenumber, 1500.0);
}

TEST(RotorRows, RowThatIsNoRealVibrationIsRefused) {
  for (const int mode : {0, 3, 10, 301}) {
    Molecule m = rotorMolecule();
    m.rotors[1].mode = mode;
    try {
      (void)rotorRows(m, RotorTreatment::Classical, T300, T300);
      ADD_FAILURE() << "mode " << mode << " taken";
    } catch (const Error &e) {
      EXPECT_NE(std::string(e.what()).find("hindered rotor 2 replaces mode " +
                                           std::to_string(mode) +
                                           ", which is not a real "
                                           "vibration of the 9 rows"),
                std::string::npos)
          << e.what();
    }
  }
}

} // namespace
} // namespace orvalen::extended
