#include "molecule/mol_checks.hpp"

#include <gtest/gtest.h>
#include <string>

namespace orvalen {
namespace {

constexpr double MH = 1.00782503223; // amu, 1H (2016 atomic mass evaluation)

// A molecule as a clean data file leaves it: H2 along z, 0.7428 A apart.
Molecule hydrogen() {
  Molecule m;
  m.name = fixedText("H2", NAME_LEN);
  m.fileNameAsWritten = "h2.dat";
  m.mult = 1;
  m.rotnum = 2;
  m.etot = -1.172636;
  m.mass = 2.0157;
  m.natoms = 2;
  m.na[0] = m.na[1] = 1;
  m.c[0] = {0.0, 0.0, -0.3714};
  m.c[1] = {0.0, 0.0, 0.3714};
  const double i = 2.0 * MH * 0.3714 * 0.3714; // 0.278035 amu*A^2
  m.pmoi = {i, i, 0.0};
  m.linear = 1;
  m.nfreq = 6.0;
  m.freq[5] = 4406.0;
  return m;
}

std::vector<std::string> warningsOf(const Molecule &m, int role) {
  Warnings w;
  checkMolecule(m, role, w);
  return w.texts();
}

TEST(MolChecks, MomentsFromTheCoordinatesByHand) {
  Molecule m = hydrogen();
  auto I = momentsFromCoordinates(m);
  ASSERT_TRUE(I);
  EXPECT_NEAR((*I)[0], 0.0, 1e-12);
  EXPECT_NEAR((*I)[1], 2.0 * MH * 0.3714 * 0.3714, 1e-12);
  EXPECT_NEAR((*I)[2], 2.0 * MH * 0.3714 * 0.3714, 1e-12);

  // Off the centre of mass and turned by 45 degrees about y: the same moments.
  const double s = 0.3714 / std::sqrt(2.0);
  m.c[0] = {1.0 - s, 2.0, 3.0 - s};
  m.c[1] = {1.0 + s, 2.0, 3.0 + s};
  I = momentsFromCoordinates(m);
  ASSERT_TRUE(I);
  EXPECT_NEAR((*I)[0], 0.0, 1e-12);
  EXPECT_NEAR((*I)[2], 2.0 * MH * 0.3714 * 0.3714, 1e-12);

  // Water in its plane (x, y), O at the origin and the H atoms at (+-0.7570,
  // -0.5859): centre of mass y0 = 2 MH (-0.5859) / M; Ixx = sum m (y - y0)^2,
  // Iyy = 2 MH 0.7570^2, Izz = Ixx + Iyy.
  Molecule w;
  w.natoms = 3;
  w.na = {8, 1, 1};
  w.c[0] = {0.0, 0.0, 0.0};
  w.c[1] = {0.7570, -0.5859, 0.0};
  w.c[2] = {-0.7570, -0.5859, 0.0};
  const double mo = 15.99491461957, total = mo + 2.0 * MH, y0 = 2.0 * MH * -0.5859 / total;
  const double ixx = mo * y0 * y0 + 2.0 * MH * (-0.5859 - y0) * (-0.5859 - y0);
  const double iyy = 2.0 * MH * 0.7570 * 0.7570;
  I = momentsFromCoordinates(w);
  ASSERT_TRUE(I);
  EXPECT_NEAR((*I)[0], std::min(ixx, iyy), 1e-12);
  EXPECT_NEAR((*I)[1], std::max(ixx, iyy), 1e-12);
  EXPECT_NEAR((*I)[2], ixx + iyy, 1e-12);

  w.na[0] = 200; // no mass known
  EXPECT_FALSE(momentsFromCoordinates(w));
  EXPECT_FALSE(momentsFromCoordinates(Molecule{}));
}

TEST(MolChecks, CleanMoleculeGivesNothing) {
  EXPECT_EQ(warningsOf(hydrogen(), REACTANT), std::vector<std::string>{});
  Molecule ts = hydrogen();
  ts.nfreq = 7.0;
  ts.freq[6] = -1500.0;
  ts.nneg = 1;
  EXPECT_EQ(warningsOf(ts, TRANSITION_STATE), std::vector<std::string>{});
}

TEST(MolChecks, EachMistakeIsNamed) {
  struct Case {
    const char *what;
    void (*change)(Molecule &);
    int role;
    const char *text;
  };
  const Case cases[] = {
      {"zero moment first",
       [](Molecule &m) {
         m.pmoi = {0.0, m.pmoi[0], m.pmoi[0]}, m.linear = 0;
       },
       REACTANT, "written I, I, 0"},
      {"moments 2 % off", [](Molecule &m) { m.pmoi[0] *= 1.02, m.pmoi[1] *= 1.02; }, REACTANT,
       "differ by more than 1 %"},
      {"no rotation number", [](Molecule &m) { m.rotnum = NOT_GIVEN; }, PRODUCT,
       "no rotation number"},
      {"rotation number 0", [](Molecule &m) { m.rotnum = 0; }, PRODUCT,
       "rotation number 0 is not positive"},
      {"no multiplicity", [](Molecule &m) { m.mult = NOT_GIVEN; }, REACTANT,
       "no spin multiplicity"},
      {"multiplicity -1", [](Molecule &m) { m.mult = -1; }, REACTANT,
       "spin multiplicity -1 is not positive"},
      {"no energy", [](Molecule &m) { m.etot = NOT_GIVEN_REAL; }, REACTANT, "no electronic energy"},
      {"negative frequency in a reactant", [](Molecule &m) { m.freq[5] = -4406.0; }, REACTANT,
       "a reactant: 1 negative (imaginary) frequency, the first -4406.000 cm-1 in row 6"},
      {"transition state with six rows", [](Molecule &m) { m.freq[5] = -900.0, m.nneg = 1; },
       TRANSITION_STATE, "its frequency table has 6 rows"},
  };
  for (const auto &c : cases) {
    Molecule m = hydrogen();
    c.change(m);
    const auto w = warningsOf(m, c.role);
    ASSERT_EQ(w.size(), 1u) << c.what;
    EXPECT_TRUE(w[0].starts_with("molecule H2 (h2.dat)")) << w[0];
    EXPECT_NE(w[0].find(c.text), std::string::npos) << c.what << ": " << w[0];
  }
  // Moments within 1 % of the coordinates' are not worth a word.
  Molecule close = hydrogen();
  close.pmoi[0] *= 1.009, close.pmoi[1] *= 1.009;
  EXPECT_EQ(warningsOf(close, REACTANT), std::vector<std::string>{});
}

TEST(MolChecks, AtomsBalanceOnlyWhenEveryMoleculeHasCoordinates) {
  MoleculeTable mol;
  mol.at(REACTANT, mol.add(REACTANT)) = hydrogen();
  mol.at(PRODUCT, mol.add(PRODUCT)) = hydrogen();
  Warnings w;
  checkAtomBalance(mol, w);
  EXPECT_TRUE(w.empty());

  Molecule oxygen = hydrogen();
  oxygen.na = {8, 8};
  mol.at(PRODUCT, mol.add(PRODUCT)) = oxygen;
  checkAtomBalance(mol, w);
  ASSERT_EQ(w.texts().size(), 1u);
  EXPECT_EQ(w.texts()[0], "the atoms do not balance: the reactants hold H2, the products H2 O2; "
                          "check the REACT and PROD lines (each molecule once per line)");

  Warnings none;
  mol.at(PRODUCT, 2).natoms = 0; // no coordinates block: nothing to compare
  checkAtomBalance(mol, none);
  EXPECT_TRUE(none.empty());

  // A product's data file given as the transition state: other atoms than the reactants'.
  mol.at(TRANSITION_STATE, mol.add(TRANSITION_STATE)) = hydrogen();
  Molecule wrongTs = oxygen;
  wrongTs.name = fixedText("TS1", NAME_LEN);
  mol.at(TRANSITION_STATE, mol.add(TRANSITION_STATE)) = wrongTs;
  Warnings ts;
  checkAtomBalance(mol, ts);
  ASSERT_EQ(ts.texts().size(), 1u);
  EXPECT_TRUE(ts.texts()[0].starts_with("molecule TS1 (h2.dat), a transition state, holds O2, "
                                        "the reactants H2;"))
      << ts.texts()[0];
}

// 2S+1 = M needs M-1 unpaired electrons: the electron count (protons of the
// coordinates block less the charge) and M-1 have the same parity.
TEST(MolChecks, MultiplicityMustFitTheElectronCount) {
  struct Case {
    std::vector<int> atoms;
    int charge; // NOT_GIVEN: no Charge marker, neutral assumed
    int mult;
    const char *text; // nullptr: no warning
  };
  const Case cases[] = {
      {{8, 1}, NOT_GIVEN, 2, nullptr},                                    // OH, 9 electrons
      {{8, 1}, NOT_GIVEN, 1, "impossible for 9 electrons (9 protons"},    // a singlet OH
      {{8, 1}, NOT_GIVEN, 1, "charge 0 assumed"},                         // and it says so
      {{8, 1}, -1, 1, nullptr},                                           // OH-, 10 electrons
      {{8, 1, 1}, 1, 1, "impossible for 9 electrons (10 protons in its"}, // H2O+ as a singlet
      {{8, 1, 1}, 1, 2, nullptr},                                         // H2O+ doublet
      {{1, 1}, NOT_GIVEN, 3, nullptr},                                    // triplet H2
      {{6, 1, 1, 1}, NOT_GIVEN, 4, nullptr},                              // quartet CH3
      {{6, 1, 1, 1}, NOT_GIVEN, 3, "an odd number of electrons needs an even multiplicity"},
  };
  for (const Case &c : cases) {
    Molecule m = hydrogen();
    m.natoms = static_cast<int>(c.atoms.size());
    for (std::size_t a = 0; a < c.atoms.size(); ++a) {
      m.na[a] = c.atoms[a];
      m.c[a] = {0.0, 0.0, 0.0};
    }
    m.charge = c.charge;
    m.mult = c.mult;
    std::vector<std::string> parity;
    for (const auto &w : warningsOf(m, REACTANT))
      if (w.find("spin multiplicity") != std::string::npos)
        parity.push_back(w);
    if (!c.text) {
      EXPECT_TRUE(parity.empty()) << c.atoms.size() << " atoms, M = " << c.mult;
      continue;
    }
    ASSERT_EQ(parity.size(), 1u) << c.text;
    EXPECT_NE(parity[0].find(c.text), std::string::npos) << parity[0];
  }
}

// Caesium to radon are in the element table like the lighter atoms: their
// moments are checked and their symbols named (they once skipped the check and
// showed as "Z=55").
TEST(MolChecks, AtomsFromCaesiumToRadonAreCheckedAndNamed) {
  constexpr double MCS = 132.905451961; // amu, 133Cs (2016 atomic mass evaluation)
  Molecule csh = hydrogen();
  csh.name = fixedText("CSH", NAME_LEN);
  csh.na = {55, 1};
  csh.c[0] = {0.0, 0.0, 0.0};
  csh.c[1] = {0.0, 0.0, 2.494};
  // A diatomic: I = mu r^2 with the reduced mass mu = mCs mH / (mCs + mH).
  const double i = MCS * MH / (MCS + MH) * 2.494 * 2.494; // 6.221 amu*A^2
  const auto I = momentsFromCoordinates(csh);
  ASSERT_TRUE(I);
  EXPECT_NEAR((*I)[1], i, 1e-9);
  EXPECT_NEAR((*I)[2], i, 1e-9);

  csh.pmoi = {i * 1.05, i * 1.05, 0.0}; // 5 % off the coordinates
  const auto w = warningsOf(csh, REACTANT);
  ASSERT_EQ(w.size(), 1u);
  EXPECT_NE(w[0].find("differ by more than 1 %"), std::string::npos) << w[0];

  MoleculeTable mol;
  mol.at(REACTANT, mol.add(REACTANT)) = csh;
  Molecule rn = hydrogen();
  rn.na = {86, 86};
  mol.at(PRODUCT, mol.add(PRODUCT)) = rn;
  Warnings balance;
  checkAtomBalance(mol, balance);
  ASSERT_EQ(balance.texts().size(), 1u);
  EXPECT_NE(balance.texts()[0].find("the reactants hold Cs H, the products Rn2;"),
            std::string::npos)
      << balance.texts()[0];
}

} // namespace
} // namespace orvalen
