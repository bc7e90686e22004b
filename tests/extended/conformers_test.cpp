// A molecule of several structures against hand sums: two identical
// structures add R ln 2 to S (and -RT ln 2 to G) and nothing else; two at
// dE0 give the two-level sums Q1 (1 + e^-x), H1 + dE0 e^-x/(1 + e^-x) and
// S1 + R ln(1 + e^-x) + R x e^-x/(1 + e^-x), x = dE0/RT; the structure of
// lowest E0 is the reference; the weights sum to one; a transition state of
// two structures moves kQ by the hand factor; conformers with hindered
// rotors are refused.

#include "base/error.hpp"
#include "extended/conformers.hpp"
#include "extended/molecule_thermo.hpp"
#include "input/job_loader.hpp"
#include "rates/whole_job.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace orvalen::extended {
namespace {

// A bent triatomic: modes of 50, 700 and 1500 cm-1, after six zero rows.
Molecule bent() {
  Molecule m;
  m.name = fixedText("M", NAME_LEN);
  m.fileNameAsWritten = "m.dat";
  m.natoms = 3;
  m.mult = 1;
  m.rotnum = 1;
  m.mass = 30.0;
  m.pmoi = {10.0, 20.0, 30.0};
  m.nfreq = 9.0;
  m.freq[6] = 50.0;
  m.freq[7] = 700.0;
  m.freq[8] = 1500.0;
  m.etot = -100.0;
  return m;
}

// The main structure again as a conformer, its energy dE (Hartree) above it.
Conformer sameStructure(double dE) {
  Conformer c;
  c.source = "again.out";
  c.etot = -100.0 + dE;
  c.aboveMain = dE;
  c.rotnum = 1;
  c.opticalIsomers = 1;
  c.pmoi = {10.0, 20.0, 30.0};
  c.freq = {50.0, 700.0, 1500.0};
  return c;
}

Conditions at(double T) {
  return Conditions{T, 101325.0, 0.0, 0};
}

double rt(double T) {
  return RGAS * T / 1000.0; // kJ/mol
}

TEST(Conformers, TwoIdenticalStructuresAddRln2ToSAndNothingElse) {
  Molecule m = bent();
  m.conformers = {sameStructure(0.0)};
  const StructureSet set(m);
  for (const double T : {50.0, 298.15, 1500.0}) {
    const MoleculeThermo one = moleculeThermo(bent(), at(T), {});
    const StructureSum two = set.thermo(m.etot, at(T), {});
    const MoleculeThermo &t = two.molecule;
    EXPECT_NEAR(t.tot.q / one.tot.q, 2.0, 1e-13) << T;
    EXPECT_NEAR(t.tot.s - one.tot.s, RGAS * std::log(2.0), 1e-10) << T;
    EXPECT_NEAR(t.tot.g - one.tot.g, -rt(T) * std::log(2.0), 1e-10) << T;
    EXPECT_NEAR(t.tot.f - one.tot.f, -rt(T) * std::log(2.0), 1e-10) << T;
    EXPECT_NEAR(two.structures.conformationalG, -rt(T) * std::log(2.0), 1e-10) << T;
    EXPECT_NEAR(t.tot.h, one.tot.h, 1e-10) << T;
    EXPECT_NEAR(t.tot.u, one.tot.u, 1e-10) << T;
    EXPECT_EQ(t.zpeTot, one.zpeTot);
    EXPECT_EQ(t.corrected.ezpe, one.corrected.ezpe);
    ASSERT_EQ(two.structures.weights.size(), 2u);
    EXPECT_NEAR(two.structures.weights[0], 0.5, 1e-12); // the second's sums in closed form
    EXPECT_NEAR(two.structures.weights[1], 0.5, 1e-12);
  }
}

TEST(Conformers, TwoStructuresAtDeltaE0GiveTheTwoLevelSums) {
  // The second structure differs only in its energy: dE0 = dE.
  for (const double dEkJ : {0.5, 2.0, 10.0}) {
    Molecule m = bent();
    m.conformers = {sameStructure(dEkJ * KJ2HARTREE)};
    const StructureSet set(m);
    for (const double T : {200.0, 298.15, 1000.0}) {
      const MoleculeThermo one = moleculeThermo(bent(), at(T), {});
      const StructureSum sum = set.thermo(m.etot, at(T), {});
      const MoleculeThermo &t = sum.molecule;
      const double x = dEkJ / rt(T), e = std::exp(-x), w2 = e / (1.0 + e);
      const std::string where = std::to_string(dEkJ) + " kJ/mol at " + std::to_string(T) + " K";
      // dE goes through energies near -100 Hartree, whose last bit is 1.4e-14
      // Hartree: x is known to some 1e-11.
      EXPECT_NEAR(t.tot.q / one.tot.q, 1.0 + e, 1e-10) << where;
      EXPECT_NEAR(t.tot.h - one.tot.h, dEkJ * w2, 1e-10) << where;
      EXPECT_NEAR(t.tot.u - one.tot.u, dEkJ * w2, 1e-10) << where;
      EXPECT_NEAR(t.tot.s - one.tot.s, RGAS * std::log(1.0 + e) + RGAS * x * w2, 1e-10) << where;
      EXPECT_NEAR(t.tot.g - one.tot.g, -rt(T) * std::log(1.0 + e), 1e-10) << where;
      EXPECT_NEAR(sum.structures.weights[1], w2, 1e-10) << where;
      EXPECT_EQ(t.corrected.ezpe, one.corrected.ezpe) << where; // E0 of the lowest
    }
  }
}

TEST(Conformers, AnotherStructureCountsWithItsOwnRotationAndVibrations) {
  // A chiral structure with other modes and rotation number 2, 3 kJ/mol higher
  // in E: its Q, H and S as a molecule of its own (the report's RRHO), then
  // the weighted sums by hand.
  Molecule m = bent();
  Conformer c = sameStructure(3.0 * KJ2HARTREE);
  c.rotnum = 2;
  c.opticalIsomers = 2;
  c.pmoi = {12.0, 21.0, 33.0};
  c.freq = {80.0, 650.0, 1450.0};
  m.conformers = {c};
  Molecule own = bent();
  own.rotnum = 2;
  own.pmoi = c.pmoi;
  own.freq[6] = 80.0;
  own.freq[7] = 650.0;
  own.freq[8] = 1450.0;
  own.etot = c.etot;
  const StructureSet set(m);
  for (const double T : {150.0, 298.15, 800.0}) {
    const MoleculeThermo t1 = computeThermo(bent(), at(T));
    const MoleculeThermo t2 = computeThermo(own, at(T));
    // The mirror image doubles Q and adds R ln 2 to S.
    const double q2 = 2.0 * t2.tot.q, s2 = t2.tot.s + RGAS * std::log(2.0);
    const double dE0 = 3.0 + t2.zpeTot - t1.zpeTot;
    const double b2 = q2 * std::exp(-dE0 / rt(T));
    const double w1 = t1.tot.q / (t1.tot.q + b2), w2 = b2 / (t1.tot.q + b2);
    const StructureSum sum = set.thermo(m.etot, at(T), {});
    const std::string where = std::to_string(T) + " K";
    EXPECT_NEAR(sum.molecule.tot.q / (t1.tot.q + b2), 1.0, 1e-10) << where;
    EXPECT_NEAR(sum.structures.weights[0], w1, 1e-10) << where;
    EXPECT_NEAR(sum.molecule.tot.h, w1 * t1.tot.h + w2 * (t2.tot.h + 3.0), 1e-9) << where;
    EXPECT_NEAR(sum.molecule.tot.s,
                w1 * t1.tot.s + w2 * s2 - RGAS * (w1 * std::log(w1) + w2 * std::log(w2)), 1e-9)
        << where;
  }
}

TEST(Conformers, TheStructureOfLowestE0IsTheReference) {
  // The conformer is 1 kJ/mol below the main structure in E, with the same
  // modes: it is the reference, its E0 the molecule's E+ZPE.
  Molecule m = bent();
  m.conformers = {sameStructure(-1.0 * KJ2HARTREE)};
  const StructureSet set(m);
  const double T = 298.15;
  const StructureSum sum = set.thermo(m.etot, at(T), {});
  EXPECT_EQ(sum.structures.lowest, 1u);
  const MoleculeThermo one = moleculeThermo(bent(), at(T), {});
  EXPECT_NEAR(sum.molecule.corrected.etot, m.etot - KJ2HARTREE, 1e-12);
  EXPECT_NEAR(sum.molecule.corrected.ezpe, one.corrected.ezpe - KJ2HARTREE, 1e-12);
  const double e = std::exp(-1.0 / rt(T));
  EXPECT_NEAR(sum.structures.weights[0], e / (1.0 + e), 1e-10);
  EXPECT_NEAR(sum.molecule.tot.q / one.tot.q, 1.0 + e, 1e-10);
  // E+G the same whichever structure is written first.
  Molecule swapped = bent();
  swapped.etot = m.etot - KJ2HARTREE;
  swapped.conformers = {sameStructure(KJ2HARTREE)};
  const StructureSum other = StructureSet(swapped).thermo(swapped.etot, at(T), {});
  EXPECT_NEAR(other.molecule.corrected.eg, sum.molecule.corrected.eg, 1e-13);
  const std::vector<MoleculeThermo> each = set.each(m.etot, at(T), {});
  const std::vector<double> ladder = zeroPointLadder(each);
  EXPECT_NEAR(ladder[0], 1.0, 1e-9);
  EXPECT_EQ(ladder[1], 0.0);
}

TEST(Conformers, WeightsSumToOneAndStayFiniteFarFromRoomTemperature) {
  Molecule m = bent();
  Conformer far = sameStructure(500.0 * KJ2HARTREE);
  far.freq = {30.0, 600.0, 1400.0};
  m.conformers = {sameStructure(0.3 * KJ2HARTREE), far};
  const StructureSet set(m);
  // (Below some 3 K the report's own harmonic formulas overflow for the
  // 1500 cm-1 mode: h c nu/kT beyond 709.)
  for (const double T : {5.0, 10.0, 298.15, 5000.0}) {
    const StructureSum sum = set.thermo(m.etot, at(T), {});
    double total = 0.0;
    for (const double w : sum.structures.weights) {
      EXPECT_TRUE(w >= 0.0 && w <= 1.0) << T;
      total += w;
    }
    EXPECT_NEAR(total, 1.0, 1e-14) << T;
    EXPECT_TRUE(std::isfinite(sum.molecule.tot.g) && std::isfinite(sum.molecule.tot.s)) << T;
  }
}

TEST(Conformers, ScaleFactorsReachEveryStructure) {
  // --scale 0.9 on two identical structures: still Q times 2 and R ln 2.
  Molecule m = bent();
  m.conformers = {sameStructure(0.0)};
  PhysicsOptions o;
  o.scale = 0.9;
  const MoleculeThermo one = moleculeThermo(bent(), at(298.15), o);
  const StructureSum two = StructureSet(m).thermo(m.etot, at(298.15), o);
  EXPECT_NEAR(two.molecule.tot.q / one.tot.q, 2.0, 1e-13);
  EXPECT_NEAR(two.molecule.tot.s - one.tot.s, RGAS * std::log(2.0), 1e-10);
  EXPECT_EQ(two.molecule.zpeTot, one.zpeTot);
}

TEST(Conformers, ATransitionStateOfTwoStructuresMovesKQByTheHandFactor) {
  // OH + CH4: the saddle point with a chiral second structure 1.5 kJ/mol
  // higher (its own modes the main one's): kQ times 1 + 2 e^(-dE/RT).
  Warnings w;
  const Job job = loadJob(std::string(ORVALEN_SOURCE_DIR) + "/examples/oh_ch4/oh_ch4.inp",
                          MissingFiles::Refuse, w);
  MoleculeTable mol = job.mol;
  Molecule &ts = mol.at(TRANSITION_STATE, 1);
  Conformer c;
  c.source = "ts_gauche.out";
  c.aboveMain = 1.5 * KJ2HARTREE;
  c.etot = ts.etot + c.aboveMain;
  c.rotnum = ts.rotnum;
  c.opticalIsomers = 2;
  c.pmoi = ts.pmoi;
  for (int k = 0; k < static_cast<int>(ts.nfreq); ++k)
    if (ts.freq[static_cast<std::size_t>(k)] != 0.0)
      c.freq.push_back(ts.freq[static_cast<std::size_t>(k)]);
  ts.conformers = {c};
  const StructureSet set(ts);
  const auto none = [](int, const Molecule &, const MoleculeThermo &) {};
  for (const double T : {250.0, 300.0, 1000.0}) {
    Conditions cond = job.cond;
    cond.T = T;
    const JobResults before = computeJob(job.mol, cond, none);
    const JobPhysics physics{[&](const Molecule &m, const Conditions &cc) {
                               if (&m == &ts)
                                 return set.thermo(m.etot, cc, {}).molecule;
                               return moleculeThermo(m, cc, {});
                             },
                             1.0};
    const JobResults after = computeJob(mol, cond, none, physics);
    const double factor = 1.0 + 2.0 * std::exp(-1.5 / rt(T));
    EXPECT_NEAR(after.rates.kQ[2] / before.rates.kQ[2], factor, 1e-11 * factor) << T;
    EXPECT_EQ(after.rates.dH0, before.rates.dH0) << T;
  }
}

TEST(Conformers, WithHinderedRotorsRefusedUnlessLowestOrHarmonic) {
  MoleculeTable mol;
  Molecule &m = mol.at(REACTANT, mol.add(REACTANT));
  m = bent();
  m.conformers = {sameStructure(0.0)};
  m.rotors.emplace_back(); // the refusal looks at none of its fields
  PhysicsOptions o;
  try {
    refuseConformersWithRotors(mol, o);
    ADD_FAILURE() << "no error";
  } catch (const Error &e) {
    const std::string text = e.what();
    for (const char *part : {"M: its data file m.dat has 2 conformers and 1 hindered rotor",
                             "counted twice", "--conformers lowest", "--rotors harmonic"})
      EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
  }
  o.conformers = ConformerTreatment::Lowest;
  EXPECT_NO_THROW(refuseConformersWithRotors(mol, o));
  o.conformers = ConformerTreatment::All;
  o.rotors = RotorTreatment::Harmonic;
  EXPECT_NO_THROW(refuseConformersWithRotors(mol, o));
}

} // namespace
} // namespace orvalen::extended
