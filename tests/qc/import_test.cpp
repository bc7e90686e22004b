// From a record to the data file: point group and rotation number of real
// outputs, the frame and moments written, and the warnings.
#include "base/error.hpp"
#include "qc/geometry_names.hpp"
#include "qc/import.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

namespace orvalen::qc {
namespace {

namespace fs = std::filesystem;
const fs::path QC = fs::path(ORVALEN_FIXTURES) / "qc";

struct Symmetric {
  std::string name, file, pointGroup;
  int rotationNumber;
};

void PrintTo(const Symmetric &s, std::ostream *os) {
  *os << s.name;
}

class OutputSymmetry : public ::testing::TestWithParam<Symmetric> {};

// Optimised geometries are symmetric only to the optimiser's convergence (the
// isobutane one, Gaussian itself called an asymmetric top).
TEST_P(OutputSymmetry, PointGroupAndRotationNumberOfAnOptimisedGeometry) {
  const Imported imp = importOutput(QC / GetParam().file, {});
  EXPECT_EQ(imp.data.symmetryGroup, GetParam().pointGroup);
  EXPECT_EQ(imp.data.rotationNumber, GetParam().rotationNumber);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, OutputSymmetry,
    ::testing::Values(Symmetric{"isobutane", "gaussian/isobutane.out", "C3v", 3},
                      Symmetric{"HCN", "gaussian/HCN_singlet.out", "C*v", 1},
                      Symmetric{"CH3OO", "gaussian/CH3OO_freq_gaussian.out", "Cs", 1},
                      Symmetric{"NH3_H_saddle", "gaussian/TS_NH3+H=NH2+H2.out", "Cs", 1},
                      Symmetric{"divinylbenzene", "gaussian/gaussian09_dvb_ir.out", "C2h", 2},
                      Symmetric{"claisen_saddle", "gaussian/gaussian16_claisen_ts.log", "C1", 1},
                      Symmetric{"water", "orca/Orca_opt_freq_test.log", "C2v", 2},
                      Symmetric{"F_CH3_Cl_saddle", "orca/Orca_TS_test.log", "C3v", 3},
                      Symmetric{"CO2_cation", "orca/CO2_vib.out", "D*h", 2}),
    [](const auto &info) { return info.param.name; });

QcRecord water() {
  QcRecord rec;
  rec.program = "Test";
  rec.sourceFile = "w.out";
  rec.atomicNumbers = {8, 1, 1};
  rec.coords = {{0.0, 0.0, 0.1173}, {0.0, 0.7572, -0.4692}, {0.0, -0.7572, -0.4692}};
  rec.frequencies = {1648.5, 3832.2, 3942.5};
  rec.intensities = {70.0, 2.0, 45.0};
  rec.hasIntensities = true;
  rec.energy = -76.4;
  rec.energyLevel = "DFT";
  rec.multiplicity = 1;
  rec.charge = 0;
  return rec;
}

TEST(Import, MomentsMassAndFrameOfWater) {
  const MolFileData d = importRecord(water(), {}).data;
  // Hand calculation: m_O = 15.99491462, m_H = 1.00782503; the C2 axis is y
  // after the import (the first atom, O, sits on it at +y).
  EXPECT_NEAR(d.mass, 15.99491461957 + 2 * 1.00782503223, 1e-9);
  EXPECT_NEAR(d.pmoi[1], 2 * 1.00782503223 * 0.7572 * 0.7572, 1e-9);
  EXPECT_NEAR(d.pmoi[2], d.pmoi[0] + d.pmoi[1], 1e-9); // planar
  EXPECT_LT(d.pmoi[0], d.pmoi[1]);
  EXPECT_EQ(d.stoichiometry, "H2O");
  EXPECT_NEAR(d.coords[0][0], 0.0, 1e-12);
  EXPECT_GT(d.coords[0][1], 0.0);
  EXPECT_NEAR(d.coords[1][0], 0.7572, 1e-9);
  EXPECT_NEAR(d.coords[2][0], -0.7572, 1e-9);
  for (const auto &c : d.coords)
    EXPECT_EQ(c[2], 0.0);
}

struct WarningCase {
  std::string name;
  void (*change)(QcRecord &);
  std::string warning; // empty: none
};

void PrintTo(const WarningCase &w, std::ostream *os) {
  *os << w.name;
}

class ImportWarns : public ::testing::TestWithParam<WarningCase> {};

TEST_P(ImportWarns, AndStillBuildsTheFile) {
  QcRecord rec = water();
  GetParam().change(rec);
  const Imported imp = importRecord(rec, {});
  if (GetParam().warning.empty()) {
    EXPECT_TRUE(imp.warnings.empty()) << imp.warnings.front();
  } else {
    ASSERT_EQ(imp.warnings.size(), 1u) << imp.warnings.front();
    EXPECT_EQ(imp.warnings[0], GetParam().warning);
  }
  EXPECT_EQ(imp.data.frequencies.size(), rec.frequencies.size());
  // Imaginary modes of 1 cm-1 and more only.
  EXPECT_EQ(imaginaryCount(imp.data), std::count_if(rec.frequencies.begin(), rec.frequencies.end(),
                                                    [](double f) { return f <= -1.0; }));
}

INSTANTIATE_TEST_SUITE_P(
    Records, ImportWarns,
    ::testing::Values(
        WarningCase{"minimum", [](QcRecord &r) { r.optimisation = true; }, ""},
        WarningCase{"saddle_point_from_a_frequency_job",
                    [](QcRecord &r) { r.frequencies[0] = -1648.5; }, ""},
        WarningCase{"imaginary_mode_after_a_minimum_search",
                    [](QcRecord &r) {
                      r.optimisation = true;
                      r.frequencies[0] = -120.25;
                    },
                    "w.out: imaginary frequency -120.2 cm-1 after an optimisation to a minimum: "
                    "the geometry is not a minimum"},
        WarningCase{"two_imaginary_modes",
                    [](QcRecord &r) {
                      r.saddleSearch = r.optimisation = true;
                      r.frequencies[0] = -300.0;
                      r.frequencies[1] = -1500.0;
                    },
                    "w.out: 2 imaginary frequencies (-1500.0, -300.0 cm-1): a saddle point of "
                    "higher order, not a transition state; row 7 holds the first"},
        WarningCase{"saddle_search_without_imaginary_mode",
                    [](QcRecord &r) { r.saddleSearch = r.optimisation = true; },
                    "w.out: a saddle-point search whose frequencies have no imaginary mode: the "
                    "geometry is not a transition state"},
        WarningCase{"optimisation_not_converged",
                    [](QcRecord &r) {
                      r.optimisation = true;
                      r.optimisationConverged = false;
                    },
                    "w.out: the geometry optimisation did not converge; the frequencies are "
                    "those of its last geometry"},
        WarningCase{"program_warning",
                    [](QcRecord &r) { r.warnings = {"spatial symmetry breaking in the SCF"}; },
                    "w.out: spatial symmetry breaking in the SCF"},
        WarningCase{"no_intensities",
                    [](QcRecord &r) {
                      r.hasIntensities = false;
                      r.intensities.assign(3, 0.0);
                    },
                    "w.out: no IR intensities printed; written as 0"},
        WarningCase{"no_intensities_said_by_the_reader",
                    [](QcRecord &r) {
                      r.hasIntensities = false;
                      r.warnings = {"the program printed no IR intensities"};
                    },
                    "w.out: the program printed no IR intensities"},
        WarningCase{"no_multiplicity", [](QcRecord &r) { r.multiplicity = 0; },
                    "w.out: no spin multiplicity given; 1 written, the lowest for 10 electrons "
                    "of the neutral molecule (give --mult M)"},
        // H2O+: 10 protons less the charge, 9 electrons, a doublet.
        WarningCase{"no_multiplicity_of_an_ion",
                    [](QcRecord &r) {
                      r.multiplicity = 0;
                      r.charge = 1;
                    },
                    "w.out: no spin multiplicity given; 2 written, the lowest for 9 electrons "
                    "of the ion of charge 1 (give --mult M)"},
        WarningCase{"no_charge", [](QcRecord &r) { r.charge.reset(); },
                    "w.out: the output states no charge; 0 written"},
        // A mode below 1 cm-1 is a zero whatever its sign: a real mode, with a word.
        WarningCase{"zero_mode_printed_negative", [](QcRecord &r) { r.frequencies[0] = -0.0004; },
                    "w.out: frequency -0.0004 cm-1 is below 1 cm-1 in magnitude, a zero mode "
                    "whose sign means nothing; written as the real mode 0.0004 cm-1, not as an "
                    "imaginary one"}),
    [](const auto &info) { return info.param.name; });

struct Refusal {
  std::string name;
  void (*change)(QcRecord &);
  std::string message;
};

void PrintTo(const Refusal &r, std::ostream *os) {
  *os << r.name;
}

class ImportRefusesRecord : public ::testing::TestWithParam<Refusal> {};

TEST_P(ImportRefusesRecord, NamingTheFile) {
  QcRecord rec = water();
  GetParam().change(rec);
  try {
    importRecord(rec, {});
    FAIL() << "not refused";
  } catch (const Error &e) {
    EXPECT_EQ(std::string(e.what()), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Records, ImportRefusesRecord,
    ::testing::Values(
        Refusal{"no_geometry",
                [](QcRecord &r) {
                  r.atomicNumbers.clear();
                  r.coords.clear();
                },
                "w.out: no geometry found"},
        Refusal{"no_frequencies", [](QcRecord &r) { r.frequencies.clear(); },
                "w.out: no frequencies (a molecule data file needs a frequency calculation at "
                "the geometry)"},
        Refusal{"too_many_atoms",
                [](QcRecord &r) {
                  r.atomicNumbers.assign(101, 1);
                  r.coords.resize(101);
                  for (std::size_t i = 0; i < 101; ++i)
                    r.coords[i] = {1.0 * static_cast<double>(i % 5),
                                   1.0 * static_cast<double>(i / 5 % 5),
                                   1.0 * static_cast<double>(i / 25)};
                },
                "w.out: 101 atoms, more than the 100 a molecule data file holds"},
        Refusal{"unknown_element", [](QcRecord &r) { r.atomicNumbers[0] = 0; },
                "w.out: atom 1 has atomic number 0, outside the elements H to Rn whose masses "
                "are known"},
        Refusal{"frequency_count", [](QcRecord &r) { r.frequencies.push_back(4000.0); },
                "w.out: 4 vibrational frequencies for 3 atoms; a non-linear molecule has 3 "
                "(translations and rotations not counted)"},
        // 2S+1 = M needs M-1 unpaired electrons: 10 electrons (H2O) are no doublet,
        // 9 (H2O+) no singlet.
        Refusal{"multiplicity_of_odd_parity", [](QcRecord &r) { r.multiplicity = 2; },
                "w.out: spin multiplicity 2 (the output's) is impossible for H2O with charge 0: "
                "its 10 electrons (the sum of the atomic numbers less the charge) are even and "
                "need an odd multiplicity (1 for a closed shell, 3 for a triplet); check the "
                "multiplicity and the charge"},
        Refusal{"singlet_cation", [](QcRecord &r) { r.charge = 1; },
                "w.out: spin multiplicity 1 (the output's) is impossible for H2O with charge 1: "
                "its 9 electrons (the sum of the atomic numbers less the charge) are odd and "
                "need an even multiplicity (2 for one unpaired electron); check the "
                "multiplicity and the charge"},
        Refusal{"more_charge_than_protons", [](QcRecord &r) { r.charge = 11; },
                "w.out: H2O with charge 11 has -1 electrons: check the charge"}),
    [](const auto &info) { return info.param.name; });

TEST(Import, MultiplicityGivenMustFitTheElectrons) {
  // OH: 9 electrons; --mult 1 cannot be.
  QcRecord oh = water();
  oh.atomicNumbers = {8, 1};
  oh.coords = {{0.0, 0.0, 0.0}, {0.0, 0.0, 0.97}};
  oh.frequencies = {3700.0};
  oh.intensities = {10.0};
  oh.multiplicity = 2;
  ImportOptions singlet;
  singlet.multiplicity = 1;
  try {
    importRecord(oh, singlet);
    ADD_FAILURE() << "OH written as a singlet";
  } catch (const Error &e) {
    EXPECT_EQ(std::string(e.what()).rfind(
                  "w.out: spin multiplicity 1 (--mult 1) is impossible for HO with charge 0: ", 0),
              0u)
        << e.what();
  }
  // OH- (charge -1, 10 electrons) is a singlet.
  oh.charge = -1;
  const MolFileData d = importRecord(oh, singlet).data;
  EXPECT_EQ(d.multiplicity, 1);
  EXPECT_EQ(d.charge, -1);
}

// An --energy output of another charge or multiplicity is another electronic
// state: its energy is no higher level of the frequencies' state.
TEST(Import, EnergyOfAnotherElectronicStateIsRefused) {
  struct Case {
    const char *name;
    std::optional<int> charge; // of the energy output
    int multiplicity;
    std::optional<int> mult; // --mult
    const char *message;     // empty: taken
  };
  const Case cases[] = {
      {"same state", 0, 1, {}, ""},
      {"states no charge", {}, 1, {}, ""},
      {"states no multiplicity", 0, 0, {}, ""},
      {"triplet",
       0,
       3,
       {},
       "e.out: charge 0, spin multiplicity 3: another electronic state than "
       "the charge 0, spin multiplicity 1 of w.out; its energy is not that "
       "state's at a higher level: give an --energy output of the same "
       "charge and multiplicity"},
      {"anion",
       -1,
       2,
       {},
       "e.out: charge -1, spin multiplicity 2: another electronic state than "
       "the charge 0, spin multiplicity 1 of w.out; its energy is not that "
       "state's at a higher level: give an --energy output of the same "
       "charge and multiplicity"},
      {"triplet given", 0, 3, 3, ""},
      {"singlet against --mult 3", 0, 1, 3,
       "e.out: charge 0, spin multiplicity 1: another electronic state than the charge 0, spin "
       "multiplicity 3 (--mult) of w.out; its energy is not that state's at a higher level: "
       "give an --energy output of the same charge and multiplicity"},
  };
  for (const Case &c : cases) {
    QcRecord energy = water();
    energy.sourceFile = "e.out";
    energy.frequencies.clear();
    energy.energy = -76.24;
    energy.energyLevel = "CCSD(T)";
    energy.charge = c.charge;
    energy.multiplicity = c.multiplicity;
    ImportOptions options;
    options.energyFile = "e.out";
    options.multiplicity = c.mult;
    try {
      const Imported imp = importRecord(water(), options, &energy);
      EXPECT_EQ(std::string(c.message), "") << c.name;
      EXPECT_EQ(imp.data.energy, -76.24) << c.name;
    } catch (const Error &e) {
      EXPECT_EQ(std::string(e.what()), c.message) << c.name;
    }
  }
}

TEST(Import, OverridesWinAndAnAtomNeedsNoFrequencies) {
  ImportOptions options;
  options.rotationNumber = 1;
  options.multiplicity = 3;
  const MolFileData d = importRecord(water(), options).data;
  EXPECT_EQ(d.rotationNumber, 1);
  EXPECT_EQ(d.multiplicity, 3);
  EXPECT_NE(d.title.back().find("rotation number 1 (given)"), std::string::npos);

  QcRecord atom;
  atom.sourceFile = "h.out";
  atom.atomicNumbers = {1};
  atom.coords = {{0.0, 0.0, 0.0}};
  atom.multiplicity = 2;
  atom.energy = -0.5;
  const MolFileData h = importRecord(atom, {}).data;
  EXPECT_EQ(h.symmetryGroup, "Kh");
  EXPECT_EQ(h.pmoi, (std::array<double, 3>{0.0, 0.0, 0.0}));
  EXPECT_TRUE(h.frequencies.empty());
}

} // namespace
} // namespace orvalen::qc
