// The scan's physics beyond the harmonic oscillator against hand calculations
// from the published formulas (tests/extended/hand_values.py gives every
// expected number): quasi-harmonic entropy and energy, scale factors,
// electronic levels, the spin-orbit shift, optical isomers and the
// reaction-path degeneracy, each on one molecule and through the whole job.

#include "extended/electronic_levels.hpp"
#include "extended/molecule_thermo.hpp"
#include "extended/quasi_harmonic.hpp"
#include "input/job_loader.hpp"
#include "rates/whole_job.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace orvalen::extended {
namespace {

constexpr double T298 = 298.15;

void expectRelative(double got, double want, double tol, const std::string &what) {
  EXPECT_NEAR(got / want, 1.0, tol) << what << ": " << got << " against " << want;
}

// --- One mode -------------------------------------------------------------

struct ModeCase {
  double wavenumber, sHarmonic, sFreeRotor, weight; // J/(mol K) at 298.15 K
};

TEST(ModeFormulas, HarmonicFreeRotorAndWeightAgainstHandValues) {
  const ModeCase cases[] = {
      {10.0, 33.5182682157, 21.5060221427, 9.99900009999e-05},
      {50.0, 20.1559742939, 14.8245029865, 0.0588235294118},
      {100.0, 14.4528902335, 11.94408976, 0.5},
      {3000.0, 6.64093781806e-05, -2.19436591393, 0.999998765434},
  };
  for (const ModeCase &c : cases) {
    const std::string at = std::to_string(c.wavenumber) + " cm-1";
    expectRelative(harmonicMode(c.wavenumber, T298).s, c.sHarmonic, 1e-9, "S_HO " + at);
    expectRelative(freeRotorEntropy(c.wavenumber, 1.0e-44, T298), c.sFreeRotor, 1e-9, "S_FR " + at);
    expectRelative(grimmeWeight(c.wavenumber, 100.0), c.weight, 1e-9, "w " + at);
  }
}

TEST(ModeFormulas, GrimmeLimits) {
  // A stiff mode keeps its harmonic entropy; a 10 cm-1 mode takes the free rotor's.
  const double stiff = 3000.0;
  const double w = grimmeWeight(stiff, 100.0);
  EXPECT_NEAR(grimmeEntropy(w, harmonicMode(stiff, T298).s, freeRotorEntropy(stiff, 1e-44, T298)),
              6.64093781806e-05, 3e-6);
  const double soft = 10.0;
  const double ws = grimmeWeight(soft, 100.0);
  EXPECT_NEAR(grimmeEntropy(ws, harmonicMode(soft, T298).s, freeRotorEntropy(soft, 1e-44, T298)),
              21.5060221427, 2e-3);
}

// --- One small molecule: modes of 50 and 1500 cm-1 ----------------------------

Molecule smallMolecule() {
  Molecule m;
  m.name = fixedText("M", NAME_LEN);
  m.natoms = 3;
  m.mult = 1;
  m.rotnum = 1;
  m.mass = 30.0;
  m.pmoi = {10.0, 20.0, 30.0};
  m.nfreq = 8.0; // six zeros, 50, 1500
  m.freq[6] = 50.0;
  m.freq[7] = 1500.0;
  m.etot = -100.0;
  return m;
}

struct OptionCase {
  const char *name;
  PhysicsOptions options;
  double svib, zpe, hh0; // J/(mol K), kJ/mol, kJ/mol
};

PhysicsOptions with(QuasiHarmonic entropy, bool damped, double scale = 1.0,
                    std::optional<double> zpeScale = std::nullopt, double cutoff = 100.0,
                    double bav = 1.0e-44) {
  PhysicsOptions o;
  o.entropy = entropy;
  o.dampedEnergy = damped;
  o.scale = scale;
  o.zpeScale = zpeScale;
  o.cutoff = cutoff;
  o.bav = bav;
  return o;
}

TEST(MoleculeOptions, VibrationalSumsAgainstHandValues) {
  using enum QuasiHarmonic;
  const OptionCase cases[] = {
      {"harmonic", with(Off, false), 20.205215671, 9.27105878572, 2.20480829495},
      {"grimme", with(Grimme, false), 15.1873729237, 9.27105878572, 2.20480829495},
      {"grimme cutoff 50 bav 2e-44", with(Grimme, false, 1.0, std::nullopt, 50.0, 2.0e-44),
       17.540062423, 9.27105878572, 2.20480829495},
      {"truhlar", with(Truhlar, false), 14.5021316106, 9.27105878572, 2.20480829495},
      {"enthalpy", with(Off, true), 20.205215671, 8.98940729414, 1.3084292146},
      {"scale 0.9", with(Off, false, 0.9), 21.1208658759, 8.34395290715, 2.24349605552},
      {"scale 0.9 zpe 0.97", with(Off, false, 0.9, 0.97), 21.1208658759, 8.99292702215,
       2.24349605552},
      {"grimme scale 0.9", with(Grimme, false, 0.9), 15.5821057166, 8.34395290715, 2.24349605552},
  };
  const Molecule m = smallMolecule();
  const Conditions cond{T298, 101325.0, 0.0, 0};
  for (const OptionCase &c : cases) {
    const MoleculeThermo t = moleculeThermo(m, cond, c.options);
    expectRelative(t.vib.svib, c.svib, 1e-9, std::string(c.name) + " S");
    expectRelative(t.zpeTot, c.zpe, 1e-9, std::string(c.name) + " ZPE");
    expectRelative(t.vib.hh0Tot, c.hh0, 1e-9, std::string(c.name) + " H-H0");
    // Q from the zero level agrees with S and H - ZPE; G with H - TS.
    expectRelative(t.vib.qvib, std::exp(t.vib.svib / RGAS - t.vib.hh0Tot * 1000.0 / (RGAS * T298)),
                   1e-12, std::string(c.name) + " Qvib");
    expectRelative(t.vib.gvib, t.vib.hvib - T298 * t.vib.svib / 1000.0, 1e-12,
                   std::string(c.name) + " Gvib");
    expectRelative(t.corrected.ezpe, m.etot + c.zpe * KJ2HARTREE, 1e-14,
                   std::string(c.name) + " E+ZPE");
  }
}

TEST(MoleculeOptions, ScaleAppliedOnceToEveryWavenumber) {
  const Molecule m = smallMolecule();
  const Vibrations v = modeRows(m, {T298, 101325.0, 0.0, 0}, with(QuasiHarmonic::Off, false, 0.9));
  EXPECT_DOUBLE_EQ(v.mode[6].freqScaled, 45.0);
  EXPECT_DOUBLE_EQ(v.mode[7].freqScaled, 1350.0);
  EXPECT_DOUBLE_EQ(v.mode[7].svib, harmonicMode(1350.0, T298).s);
  EXPECT_DOUBLE_EQ(v.mode[7].zpe, 0.9 * harmonicZpe(1500.0));
}

TEST(MoleculeOptions, WithoutOptionsOrDataTheReportsDigits) {
  // Neither the fast path nor the row-by-row one changes a digit of the report's RRHO.
  Molecule m = smallMolecule();
  m.freq[8] = -800.0;
  m.freq[9] = 3000.0;
  m.nfreq = 10.0;
  for (const double T :
       {10.0, 298.15, 2000.0}) { // at 10 K the 3000 cm-1 mode takes the range-keeping branch
    const Conditions cond{T, 101325.0, 0.0, 0};
    const MoleculeThermo want = computeThermo(m, cond);
    for (const bool rows : {false, true}) {
      const RowStep step =
          rows ? RowStep([](const Molecule &, const Conditions &, Vibrations &) {}) : RowStep();
      const MoleculeThermo got = moleculeThermo(m, cond, PhysicsOptions{}, step);
      // Bit for bit, NaN included: the same operations in the same order.
      const auto same = [](double a, double b) {
        return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
      };
      const Contribution &g = got.tot, &e = want.tot;
      EXPECT_TRUE(same(g.q, e.q) && same(g.s, e.s) && same(g.f, e.f) && same(g.u, e.u) &&
                  same(g.h, e.h) && same(g.g, e.g))
          << T << " K rows " << rows;
      EXPECT_TRUE(same(got.zpeTot, want.zpeTot) && same(got.vib.hh0Tot, want.vib.hh0Tot) &&
                  same(got.vib.qvib, want.vib.qvib) && same(got.corrected.eg, want.corrected.eg))
          << T << " K rows " << rows;
    }
  }
}

TEST(MoleculeOptions, AStepBetweenRowsAndSumsTakesAModesPlace) {
  // Where a hindered rotor replaces the 50 cm-1 mode, its row is what the sums take.
  const Molecule m = smallMolecule();
  const Conditions cond{T298, 101325.0, 0.0, 0};
  const RowStep rotor = [](const Molecule &, const Conditions &, Vibrations &v) {
    VibMode &r = v.mode[6];
    r.svib = 12.0;
    r.zpe = 0.3;
    r.uvib = r.hvib = 1.5;
    r.hh0vib = 1.2;
    r.fvib = r.gvib = 1.5 - T298 * 12.0 / 1000.0;
    r.qvib0 = 4.0;
  };
  const MoleculeThermo t = moleculeThermo(m, cond, PhysicsOptions{}, rotor);
  const HarmonicMode stiff = harmonicMode(1500.0, T298);
  EXPECT_EQ(t.vib.nused, 2);
  EXPECT_DOUBLE_EQ(t.vib.svib, 12.0 + stiff.s);
  EXPECT_DOUBLE_EQ(t.zpeTot, 0.3 + stiff.zpe);
  EXPECT_DOUBLE_EQ(t.vib.hh0Tot, 1.2 + (stiff.u - stiff.zpe));
  EXPECT_DOUBLE_EQ(t.vib.qvib, 4.0 * stiff.q0);
}

// --- Electronic levels, spin-orbit shift, optical isomers --------------------

TEST(ElectronicLevels, OhQelAgainstHandSum) {
  // OH X 2Pi: 2Pi3/2 (g 2) and 2Pi1/2 139.7 cm-1 above (g 2), 300 K.
  const Contribution c = levelsContribution({{0.0, 2}, {139.7, 2}}, 300.0);
  expectRelative(c.q, 3.02342773651, 1e-10, "Qel");
  expectRelative(c.u * 1000.0, 565.69407289, 1e-9, "Uel");
  expectRelative(c.s, 11.0847057223, 1e-9, "Sel");
  EXPECT_DOUBLE_EQ(c.h, c.u);
}

TEST(ElectronicLevels, ChlorineSpinOrbitShift) {
  // Cl 2P3/2 (g 4) and 2P1/2 882.35 cm-1 (g 2): -294.12 cm-1 = -3.5184 kJ/mol.
  const std::vector<ElectronicLevel> cl = {{0.0, 4}, {882.35, 2}};
  EXPECT_NEAR(spinOrbitShift(cl), -294.116666667, 1e-9);
  EXPECT_NEAR(wavenumberToKJmol(spinOrbitShift(cl)), -3.51841665358, 1e-10);
}

struct PrepareCase {
  const char *name;
  bool fromTable, multFromJob, option;
  bool asked; // --spin-orbit-shift given, not the default
  bool shifted, setAside;
  std::size_t warnings; // MULT= wins; --spin-orbit-shift shifts nothing
};

TEST(ElectronicLevels, ShiftOnlyForTableLevelsAndMultFromJobSetsThemAside) {
  const PrepareCase cases[] = {
      {"table levels, option on", true, false, true, true, true, false, 0},
      {"table levels, the default", true, false, true, false, true, false, 0},
      {"table levels, option off", true, false, false, false, false, false, 0},
      {"given levels, option on", false, false, true, true, false, false, 1},
      {"given levels, the default: nothing to say", false, false, true, false, false, false, 0},
      {"MULT= on the job line", true, true, true, true, false, true, 2},
  };
  for (const PrepareCase &c : cases) {
    MoleculeTable mol;
    Molecule &m = mol.at(REACTANT, mol.add(REACTANT));
    m.name = fixedText("CL", NAME_LEN);
    m.natoms = 1;
    m.mult = 2;
    m.etot = -460.0;
    m.levels = {{0.0, 4}, {882.35, 2}};
    m.levelsFromTable = c.fromTable;
    m.multFromJob = c.multFromJob;
    PhysicsOptions o;
    o.spinOrbitShift = c.option;
    o.spinOrbitShiftAsked = c.asked;
    Warnings w;
    const std::vector<MoleculeFacts> facts = prepareMolecules(mol, o, w);
    ASSERT_EQ(facts.size(), 1u);
    EXPECT_EQ(facts[0].spinOrbitShift.has_value(), c.shifted) << c.name;
    // The energy used is shifted; the record keeps the data file's ETOT.
    const double want = c.shifted ? -460.0 + -3.51841665358 * KJ2HARTREE : -460.0;
    EXPECT_NEAR(facts[0].etot, want, 1e-12) << c.name;
    EXPECT_EQ(mol.at(REACTANT, 1).etot, -460.0) << c.name;
    EXPECT_EQ(facts[0].levelsSetAside, c.setAside) << c.name;
    EXPECT_EQ(facts[0].levels.empty(), c.setAside) << c.name;
    EXPECT_EQ(w.texts().size(), c.warnings) << c.name;
    // The levels set aside leave Qel at the multiplicity.
    const MoleculeThermo t =
        moleculeThermo(mol.at(REACTANT, 1), facts[0].etot, {300.0, 101325.0, 0.0, 0}, o);
    EXPECT_NEAR(t.corrected.etot, want, 1e-12) << c.name;
    EXPECT_NEAR(t.elec.q, c.setAside ? 2.0 : 4.0 + 2.0 * std::exp(-882.35 * 1.4387752 / 300.0),
                1e-6)
        << c.name;
  }
}

TEST(OpticalIsomers, TwoFormsDoubleQAndAddRln2) {
  Molecule m = smallMolecule();
  const Conditions cond{T298, 101325.0, 0.0, 0};
  const MoleculeThermo one = moleculeThermo(m, cond, {});
  m.opticalIsomers = 2;
  const MoleculeThermo two = moleculeThermo(m, cond, {});
  expectRelative(two.tot.q, 2.0 * one.tot.q, 1e-14, "Qtot");
  EXPECT_NEAR(two.tot.s - one.tot.s, RGAS * std::log(2.0), 1e-12);
  EXPECT_NEAR(two.tot.g - one.tot.g, -RGAS * T298 * std::log(2.0) / 1000.0, 1e-12);
  EXPECT_EQ(two.tot.h, one.tot.h);
}

struct DegeneracyCase {
  const char *name;
  std::vector<int> sigmaR, isomersR;
  int sigmaTs, isomersTs;
  double want;
};

TEST(PathDegeneracy, RotationNumbersAndOpticalIsomers) {
  const DegeneracyCase cases[] = {
      {"CH4 + Cl via a C3v saddle point", {12, 1}, {0, 0}, 3, 0, 4.0},
      {"a chiral transition state", {12, 1}, {0, 0}, 1, 2, 24.0},
      {"a chiral reactant", {1}, {2}, 1, 0, 0.5},
  };
  for (const DegeneracyCase &c : cases) {
    MoleculeTable mol;
    for (std::size_t k = 0; k < c.sigmaR.size(); ++k) {
      Molecule &r = mol.at(REACTANT, mol.add(REACTANT));
      r.rotnum = c.sigmaR[k];
      r.opticalIsomers = c.isomersR[k];
    }
    Molecule &ts = mol.at(TRANSITION_STATE, mol.add(TRANSITION_STATE));
    ts.rotnum = c.sigmaTs;
    ts.opticalIsomers = c.isomersTs;
    EXPECT_DOUBLE_EQ(pathDegeneracy(mol), c.want) << c.name;
  }
}

// --- The whole OH + CH4 job at 300 K ------------------------------------------

struct JobCase {
  const char *name;
  void (*setUp)(MoleculeTable &mol, PhysicsOptions &o);
  double kQFactor;     // kQ with the option over kQ without
  double dH0ShiftKJ;   // dH0 with the option minus dH0 without, kJ/mol
  double kappaNuScale; // factor on the imaginary frequency of the tunnelling lines
};

Molecule &oh(MoleculeTable &mol) {
  return mol.at(REACTANT, 1);
}

TEST(WholeJob, EachOptionMovesKQByTheHandFactor) {
  const JobCase cases[] = {
      {"optical isomers of the transition state",
       [](MoleculeTable &mol, PhysicsOptions &) { mol.at(TRANSITION_STATE, 1).opticalIsomers = 2; },
       2.0, 0.0, 1.0},
      {"--qrrho grimme",
       [](MoleculeTable &, PhysicsOptions &o) { o.entropy = QuasiHarmonic::Grimme; },
       0.627775332303, 0.0, 1.0},
      {"--qrrho truhlar",
       [](MoleculeTable &, PhysicsOptions &o) { o.entropy = QuasiHarmonic::Truhlar; },
       0.623639538305, 0.0, 1.0},
      {"--qrrho-enthalpy", [](MoleculeTable &, PhysicsOptions &o) { o.dampedEnergy = true; },
       1.57350204814, -0.354992585703, 1.0},
      {"--scale 0.95", [](MoleculeTable &, PhysicsOptions &o) { o.scale = 0.95; }, 1.00045174827,
       0.230281137581, 0.95},
      {"--zpe-scale 0.9", [](MoleculeTable &, PhysicsOptions &o) { o.zpeScale = 0.9; },
       0.831401190683, 0.460562275162, 1.0},
      {"levels of OH",
       [](MoleculeTable &mol, PhysicsOptions &) {
         oh(mol).levels = {{0.0, 2}, {139.7, 2}};
       },
       0.661500844174, 0.0, 1.0},
      {"levels of OH from the table, --spin-orbit-shift",
       [](MoleculeTable &mol, PhysicsOptions &o) {
         oh(mol).levels = {{0.0, 2}, {139.7, 2}};
         oh(mol).levelsFromTable = true;
         o.spinOrbitShift = true;
       },
       0.661500844174 * 0.715341784223, 0.835591556364, 1.0},
  };
  Warnings w;
  const Job job = loadJob(std::string(ORVALEN_SOURCE_DIR) + "/examples/oh_ch4/oh_ch4.inp",
                          MissingFiles::Refuse, w);
  Conditions cond = job.cond;
  cond.T = 300.0;
  MoleculeTable plain = job.mol;
  const auto none = [](int, const Molecule &, const MoleculeThermo &) {};
  const JobResults before = computeJob(plain, cond, none);
  for (const JobCase &c : cases) {
    MoleculeTable mol = job.mol;
    PhysicsOptions o;
    c.setUp(mol, o);
    const MoleculeTable asRead = mol;
    Warnings ww;
    const std::vector<MoleculeFacts> facts = prepareMolecules(mol, o, ww);
    // Each molecule's thermochemistry from the energy its facts give.
    const JobPhysics physics{[&](const Molecule &m, const Conditions &cc) {
                               const auto f = std::find_if(facts.begin(), facts.end(),
                                                           [&](const MoleculeFacts &x) {
                                                             return &mol.at(x.role, x.index) == &m;
                                                           });
                               return moleculeThermo(m, f->etot, cc, o);
                             },
                             o.scale};
    const JobResults after = computeJob(mol, cond, none, physics);
    expectRelative(after.rates.kQ[2] / before.rates.kQ[2], c.kQFactor, 1e-9, c.name);
    EXPECT_NEAR((after.rates.dH0 - before.rates.dH0) / KJ2HARTREE, c.dH0ShiftKJ, 1e-9) << c.name;
    // u = h nu / kT of the tunnelling lines, nu the scaled imaginary frequency.
    expectRelative(after.tunnelling.u / before.tunnelling.u, c.kappaNuScale, 1e-14, c.name);
    // The energy used is returned with the totals; the records stay as read.
    for (const MoleculeFacts &f : facts) {
      EXPECT_EQ(after.molecules.at(f.role, f.index).etot, f.etot) << c.name;
      EXPECT_EQ(mol.at(f.role, f.index).etot, asRead.at(f.role, f.index).etot) << c.name;
    }
  }
}

TEST(WholeJob, DefaultPhysicsIsTheReportsDigitForDigit) {
  Warnings w;
  const Job job = loadJob(std::string(ORVALEN_SOURCE_DIR) + "/examples/oh_ch4/oh_ch4.inp",
                          MissingFiles::Refuse, w);
  for (const double T : {200.0, 298.15, 1500.0}) {
    Conditions cond = job.cond;
    cond.T = T;
    MoleculeTable a = job.mol, b = job.mol;
    const auto none = [](int, const Molecule &, const MoleculeThermo &) {};
    const PhysicsOptions o;
    const JobResults plain = computeJob(a, cond, none);
    const JobResults hooked = computeJob(
        b, cond, none,
        {[&](const Molecule &m, const Conditions &cc) { return moleculeThermo(m, cc, o); }, 1.0});
    EXPECT_EQ(plain.rates.kQ, hooked.rates.kQ);
    EXPECT_EQ(plain.rates.kG, hooked.rates.kG);
    EXPECT_EQ(plain.rates.dH0, hooked.rates.dH0);
    EXPECT_EQ(plain.reaction.drG, hooked.reaction.drG);
    EXPECT_EQ(plain.tunnelling.kST, hooked.tunnelling.kST);
  }
}

} // namespace
} // namespace orvalen::extended
