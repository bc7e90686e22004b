// Electronic levels and optical isomers written by orvalen-import: the table's
// spin-orbit levels of ground terms (NIST Atomic Spectra Database) and of X 2Pi
// states (Huber and Herzberg, Constants of Diatomic Molecules, 1979), for a
// neutral species in the table's multiplicity only; --levels and --no-levels;
// two optical isomers for a chiral geometry.
#include "base/error.hpp"
#include "molecule/mol_file.hpp"
#include "molecule/mol_file_writer.hpp"
#include "qc/electronic_levels.hpp"
#include "qc/import.hpp"
#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

namespace orvalen::qc {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

const fs::path QC = fs::path(ORVALEN_FIXTURES) / "qc";

// ---- The table -------------------------------------------------------------

struct Published {
  std::string formula; // Hill
  int multiplicity;
  int totalDegeneracy; // (2S+1)(2L+1): 6 for 2P, 9 for 3P; 2Pi: 2 x 2
  std::vector<ElectronicLevel> levels;
};

// Typed from the sources: NIST ASD ground-term J levels (g = 2J+1), lowest J
// first for a less than half-filled p shell (B, C, Al, Si), highest for a more
// than half-filled one (O, F, S, Cl, Br, I); 2Pi: the upper component at |A|
// (NO: the Omega = 3/2 component at 119.82 cm-1 above Omega = 1/2).
std::vector<Published> published() {
  return {
      {"B", 2, 6, {{0.0, 2}, {15.287, 4}}},
      {"C", 3, 9, {{0.0, 1}, {16.4167, 3}, {43.4135, 5}}},
      {"O", 3, 9, {{0.0, 5}, {158.265, 3}, {226.977, 1}}},
      {"F", 2, 6, {{0.0, 4}, {404.141, 2}}},
      {"Al", 2, 6, {{0.0, 2}, {112.061, 4}}},
      {"Si", 3, 9, {{0.0, 1}, {77.115, 3}, {223.157, 5}}},
      {"S", 3, 9, {{0.0, 5}, {396.0565, 3}, {573.5957, 1}}},
      {"Cl", 2, 6, {{0.0, 4}, {882.3515, 2}}},
      {"Br", 2, 6, {{0.0, 4}, {3685.24, 2}}},
      {"I", 2, 6, {{0.0, 4}, {7602.9762, 2}}},
      {"HO", 2, 4, {{0.0, 2}, {139.7, 2}}},
      {"HS", 2, 4, {{0.0, 2}, {377.0, 2}}},
      {"NO", 2, 4, {{0.0, 2}, {119.82, 2}}},
      {"ClO", 2, 4, {{0.0, 2}, {318.0, 2}}},
      {"CH", 2, 4, {{0.0, 2}, {28.05, 2}}},
  };
}

TEST(LevelTable, HoldsThePublishedLevelsOfEachGroundTerm) {
  for (const Published &p : published()) {
    SCOPED_TRACE(p.formula);
    const LevelTableEntry *entry = tableLevels(p.formula);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->multiplicity, p.multiplicity);
    const std::vector<ElectronicLevel> levels = entry->levels();
    ASSERT_EQ(levels.size(), p.levels.size());
    for (std::size_t k = 0; k < levels.size(); ++k) {
      EXPECT_EQ(levels[k].energy, p.levels[k].energy) << "level " << k + 1;
      EXPECT_EQ(levels[k].degeneracy, p.levels[k].degeneracy) << "level " << k + 1;
    }
    // The components of one term hold all its states.
    EXPECT_EQ(std::accumulate(levels.begin(), levels.end(), 0,
                              [](int sum, const ElectronicLevel &l) { return sum + l.degeneracy; }),
              p.totalDegeneracy);
  }
  // No species is guessed: hydrogen (2S), nitrogen (4S) and water have one level.
  for (const char *formula : {"H", "N", "H2O", "OH", "CH4"})
    EXPECT_EQ(tableLevels(formula), nullptr) << formula;
}

TEST(LevelTable, EveryEntryFitsTheColumnsOfADataFile) {
  for (const LevelTableEntry &entry : levelTable()) {
    SCOPED_TRACE(std::string(entry.formula));
    MolFileData d;
    d.stoichiometry = std::string(entry.formula);
    d.multiplicity = entry.multiplicity;
    d.atomicNumbers = {1};
    d.coords = {{0.0, 0.0, 0.0}};
    d.levels = entry.levels();
    d.levelsSource = "table";
    std::ostringstream text;
    EXPECT_NO_THROW(writeMolFile(text, d));
  }
}

// ---- --levels ---------------------------------------------------------------

TEST(GivenLevels, ReadAsEnergyColonDegeneracy) {
  const auto levels = parseLevels("0:4,882.3515:2");
  ASSERT_EQ(levels.size(), 2U);
  EXPECT_EQ(levels[1].energy, 882.3515);
  EXPECT_EQ(levels[1].degeneracy, 2);
  EXPECT_EQ(parseLevels("0.0:1").size(), 1U);
  EXPECT_EQ(parseLevels("0:1,1e6:2").size(), 2U); // 1e6 cm-1 itself is taken

  const std::pair<const char *, const char *> refused[] = {
      {"", "\"\" is not ENERGY:DEGENERACY"},
      {"0:4,", "\"\" is not ENERGY:DEGENERACY"},
      {"0:4;882:2", "\"0:4;882:2\" has no whole degeneracy after the colon"},
      {"158.265:3", "\"158.265:3\" is the first level and not at 0"},
      {"0:5,226.977:1,158.265:3", "\"158.265:3\" is below the level before it"},
      {"0:4,882.3515:0", "\"882.3515:0\" has a degeneracy below 1"},
      {"0:4,x:2", "\"x:2\" has no decimal energy before the colon"},
      {"0:4,1e7:2", "\"1e7:2\" is above 1e6 cm-1"},
      {"0:4,1000000.5:2", "\"1000000.5:2\" is above 1e6 cm-1"},
      {"0:4,nan:2", "\"nan:2\" has no decimal energy before the colon"},
  };
  for (const auto &[text, message] : refused) {
    SCOPED_TRACE(text);
    try {
      parseLevels(text);
      ADD_FAILURE() << "accepted";
    } catch (const Error &e) {
      EXPECT_EQ(std::string(e.what()).rfind("--levels: ", 0), 0U) << e.what();
      EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
    }
  }
  std::string twentyOne = "0:1";
  for (int k = 1; k <= 20; ++k)
    twentyOne += "," + std::to_string(10 * k) + ":1";
  EXPECT_THROW(parseLevels(twentyOne), Error);
}

// ---- The import ----------------------------------------------------------------

// One atom as a paper gives it: no frequencies.
QcRecord atom(int z) {
  QcRecord rec;
  rec.sourceFile = "atom.xyz";
  rec.atomicNumbers = {z};
  rec.coords = {{0.0, 0.0, 0.0}};
  rec.energy = -75.0;
  return rec;
}

Imported importAtom(int z, int multiplicity, int charge = 0) {
  ImportOptions options;
  options.multiplicity = multiplicity;
  options.charge = charge;
  return importRecord(atom(z), options, nullptr, Source::UserData);
}

TEST(ImportLevels, AnAtomInItsGroundTermGetsTheTablesJLevels) {
  const Imported o = importAtom(8, 3); // O 3P: J = 2, 1, 0
  ASSERT_EQ(o.data.levels.size(), 3U);
  EXPECT_EQ(o.data.levels[0].degeneracy, 5);
  EXPECT_EQ(o.data.levels[1].energy, 158.265);
  EXPECT_EQ(o.data.levels[2].energy, 226.977);
  EXPECT_EQ(o.data.levelsSource, "table");
  EXPECT_TRUE(o.warnings.empty());
  EXPECT_EQ(o.data.title.back(), "Electronic levels: spin-orbit components of the 3P ground term "
                                 "of O (NIST Atomic Spectra Database)");
  EXPECT_EQ(o.data.opticalIsomers, 1);
}

TEST(ImportLevels, NoneForAnotherMultiplicityWithAWarningAndNoneForAnIon) {
  // Singlet O (1D) is not the 3P term whose levels the table holds.
  const Imported singlet = importAtom(8, 1);
  EXPECT_TRUE(singlet.data.levels.empty());
  ASSERT_EQ(singlet.warnings.size(), 1U);
  EXPECT_EQ(singlet.warnings[0],
            "atom.xyz: spin multiplicity 1 is not the 3 of the 3P ground term of O, whose "
            "spin-orbit levels the table holds; no electronic levels written (give --levels for "
            "this state's)");
  // Cl- is a closed shell, not the Cl atom of the table.
  const Imported chloride = importAtom(17, 1, -1);
  EXPECT_TRUE(chloride.data.levels.empty());
  EXPECT_TRUE(chloride.warnings.empty());
}

// Reads the data file written from `imp` back as orvalen reads it.
Molecule readBack(const Imported &imp) {
  TempDir dir;
  std::ostringstream text;
  writeMolFile(text, imp.data);
  dir.write("m.dat", text.str());
  MoleculeTable table;
  Molecule m = table.at(REACTANT, 1);
  m.fileName = fixedText("M.DAT", FILENAME_LEN);
  m.fileNameAsWritten = "m.dat";
  readMolFile(m, dir.path());
  return m;
}

TEST(ImportLevels, OHRadicalFromNWChemAndPsi4HasItsTwoOmegaComponents) {
  for (const char *file : {"nwchem/oh_noautosym.out", "psi4/oh_freq.out"}) {
    SCOPED_TRACE(file);
    const Molecule m = readBack(importOutput(QC / file, {}));
    ASSERT_EQ(m.levels.size(), 2U);
    EXPECT_EQ(m.levels[0].degeneracy, 2);
    EXPECT_EQ(m.levels[1].energy, 139.7);
    EXPECT_EQ(m.levels[1].degeneracy, 2);
    EXPECT_TRUE(m.levelsFromTable);
  }
  // A quartet OH is not the X 2Pi state.
  ImportOptions quartet;
  quartet.multiplicity = 4;
  const Imported q = importOutput(QC / "nwchem/oh_noautosym.out", quartet);
  EXPECT_TRUE(q.data.levels.empty());
  ASSERT_FALSE(q.warnings.empty());
  EXPECT_NE(q.warnings.back().find("is not the 2 of the X 2Pi(i) ground state of HO"),
            std::string::npos);
}

TEST(ImportLevels, GivenLevelsForAnyMoleculeAndNoneOnRequest) {
  ImportOptions given;
  given.levels = std::vector<ElectronicLevel>{{0.0, 1}, {7882.4, 2}};
  const Imported water = importOutput(QC / "nwchem/h2o_scf_freq.out", given);
  const Molecule m = readBack(water);
  ASSERT_EQ(m.levels.size(), 2U);
  EXPECT_EQ(m.levels[1].energy, 7882.4);
  EXPECT_FALSE(m.levelsFromTable);
  EXPECT_EQ(water.data.levelsSource, "given");
  EXPECT_EQ(water.data.title.back(), "Electronic levels given on the command line (--levels)");

  ImportOptions none;
  none.noLevels = true;
  EXPECT_TRUE(readBack(importOutput(QC / "nwchem/oh_noautosym.out", none)).levels.empty());
}

// ---- Optical isomers ------------------------------------------------------------

TEST(ImportOpticalIsomers, TwoForAChiralGeometryOnlyTransitionStatesToo) {
  // The Claisen saddle point is C1 (no mirror, no inversion centre, no S2n):
  // two mirror-image forms; isobutane (C3v), water, the linear HCN and an atom
  // have a mirror plane.
  EXPECT_EQ(readBack(importOutput(QC / "gaussian/gaussian16_claisen_ts.log", {})).opticalIsomers,
            2);
  EXPECT_EQ(readBack(importOutput(QC / "orca/orca5_claisen_ts.out", {})).opticalIsomers, 2);
  for (const char *file :
       {"gaussian/isobutane.out", "nwchem/h2o_scf_freq.out", "gaussian/HCN_singlet.out"})
    EXPECT_EQ(readBack(importOutput(QC / file, {})).opticalIsomers, 0) << file;
  EXPECT_EQ(readBack(importAtom(8, 3)).opticalIsomers, 0);
}

// ---- The program ------------------------------------------------------------------

TEST(ImportLevelsCli, OptionsAndTheirRefusals) {
  TempDir dir;
  fs::copy_file(QC / "nwchem/oh_noautosym.out", dir / "oh.out");
  const auto given =
      test::runProgram(ORVALEN_IMPORT_BINARY, dir.path(), "oh.out --levels 0:2,126.2:2 -o oh.dat");
  EXPECT_EQ(given.status, 0) << given.stderrText;
  EXPECT_NE(dir.read("oh.dat").find(" Electronic levels from  :given\n"), std::string::npos);
  EXPECT_NE(dir.read("oh.dat").find("     2    126.2000           2\n"), std::string::npos);

  const auto bad =
      test::runProgram(ORVALEN_IMPORT_BINARY, dir.path(), "oh.out --levels 0:2,126.2 -o bad.dat");
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.stderrText.rfind("orvalen-import: --levels: \"126.2\" is not ENERGY:DEGENERACY", 0),
            0U)
      << bad.stderrText;
  EXPECT_FALSE(fs::exists(dir / "bad.dat"));

  const auto both = test::runProgram(ORVALEN_IMPORT_BINARY, dir.path(),
                                     "oh.out --levels 0:2 --no-levels -o both.dat");
  EXPECT_EQ(both.status, 1);
  EXPECT_FALSE(fs::exists(dir / "both.dat"));

  const auto method = test::runProgram(ORVALEN_IMPORT_BINARY, dir.path(),
                                       "oh.out --no-levels --energy-method MRCI+Q/aug-cc-pV5Z");
  EXPECT_EQ(method.status, 0);
  EXPECT_NE(method.stdoutText.find(" Energy method           :MRCI+Q/aug-cc-pV5Z\n"),
            std::string::npos);
  EXPECT_EQ(method.stdoutText.find("Electronic levels"), std::string::npos);
}

} // namespace
} // namespace orvalen::qc
