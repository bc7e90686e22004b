// The electronic levels block, its source marker and the optical isomers
// marker of a molecule data file: read from their fixed columns, refused when
// they cannot be the levels of a molecule, written so that they read back.
#include "base/error.hpp"
#include "base/warnings.hpp"
#include "molecule/mol_file.hpp"
#include "molecule/mol_file_writer.hpp"
#include "molecule/molecule.hpp"
#include "support/mol_text.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

namespace orvalen {
namespace {

using test::TempDir;

Molecule named(const std::string &file) {
  return test::namedMolecule(REACTANT, "CL", file);
}

Molecule readText(const std::string &text, Warnings *warnings = nullptr) {
  Warnings ignored;
  return test::readMolText(text, named("m.dat"), warnings ? *warnings : ignored);
}

std::string errorOf(const std::string &text) {
  return test::molTextError(text, named("m.dat"));
}

const std::string LEVELS_HEADER = " Electronic levels (cm-1)\n"
                                  " Level      Energy  Degeneracy\n"
                                  " ------------------------------\n";
const std::string LEVELS_END = " ------------------------------\n";

// i6, f12.4, i12: level number in columns 1-6, energy 7-18, degeneracy 19-30.
std::string levelLine(const std::string &number6, const std::string &energy12,
                      const std::string &degeneracy12) {
  return number6 + energy12 + degeneracy12 + "\n";
}

// Cl atom, 2P ground term: 2P3/2 at 0 (g = 4), 2P1/2 at 882.3515 cm-1 (g = 2),
// NIST Atomic Spectra Database.
const std::string CHLORINE = LEVELS_HEADER + levelLine("     1", "      0.0000", "           4") +
                             levelLine("     2", "    882.3515", "           2") + LEVELS_END;

TEST(MolFileLevels, ReadsTheLevelsBlockAndItsSource) {
  const Molecule m = readText(" Electronic levels from  :table\n\n" + CHLORINE);
  ASSERT_EQ(m.levels.size(), 2U);
  EXPECT_EQ(m.levels[0].energy, 0.0);
  EXPECT_EQ(m.levels[0].degeneracy, 4);
  EXPECT_EQ(m.levels[1].energy, 882.3515);
  EXPECT_EQ(m.levels[1].degeneracy, 2);
  EXPECT_TRUE(m.levelsFromTable);

  // Any other source text: levels of the user's, not the ground term's from the table.
  for (const std::string source : {"given", "tables", "", "  table  x"}) {
    std::string text = " Electronic levels from  :";
    text.append(source).append("\n").append(CHLORINE);
    EXPECT_FALSE(readText(text).levelsFromTable) << source;
  }
  // Blanks around the text are dropped.
  EXPECT_TRUE(readText(" Electronic levels from  :   table   \n" + CHLORINE).levelsFromTable);
  const Molecule none = readText(" Molecular mass          :   34.9689\n");
  EXPECT_TRUE(none.levels.empty());
  EXPECT_FALSE(none.levelsFromTable);
  EXPECT_EQ(none.opticalIsomers, 0);
}

TEST(MolFileLevels, FieldsAreFixedColumns) {
  // The level number is not read; the degeneracy is columns 19-30 wherever its digits stand.
  const Molecule m = readText(LEVELS_HEADER + levelLine("xxxxxx", "      0.0000", "1           ") +
                              levelLine("     7", "  1.2345E+02", "          10") + LEVELS_END);
  ASSERT_EQ(m.levels.size(), 2U);
  EXPECT_EQ(m.levels[0].degeneracy, 1);
  EXPECT_EQ(m.levels[1].energy, 123.45);
  EXPECT_EQ(m.levels[1].degeneracy, 10);
}

TEST(MolFileLevels, ASecondBlockReplacesTheFirst) {
  const Molecule m = readText(CHLORINE + LEVELS_HEADER +
                              levelLine("     1", "      0.0000", "           2") + LEVELS_END);
  ASSERT_EQ(m.levels.size(), 1U);
  EXPECT_EQ(m.levels[0].degeneracy, 2);
}

struct BadBlock {
  const char *name;
  std::string text;
  std::string message;
};

TEST(MolFileLevels, LevelsThatCannotBeAMoleculesAreRefusedNamingFileAndLine) {
  const BadBlock cases[] = {
      {"first_not_at_0", LEVELS_HEADER + levelLine("     1", "    158.2650", "           3"),
       "m.dat line 4: electronic level \"158.2650\" cm-1, degeneracy \"3\": the first level is "
       "not at 0; energies count from the ground level: write it first, at 0.0000"},
      {"descending",
       LEVELS_HEADER + levelLine("     1", "      0.0000", "           5") +
           levelLine("     2", "    226.9770", "           1") +
           levelLine("     3", "    158.2650", "           3"),
       "m.dat line 6: electronic level \"158.2650\" cm-1, degeneracy \"3\": below the level "
       "before it (226.977 cm-1); write the levels in ascending order"},
      {"degeneracy_0",
       LEVELS_HEADER + levelLine("     1", "      0.0000", "           4") +
           levelLine("     2", "    882.3515", "           0"),
       "m.dat line 5: electronic level \"882.3515\" cm-1, degeneracy \"0\": a degeneracy below 1; "
       "give the number of states of the level (2J+1 for an atom's J level)"},
      {"degeneracy_blank", LEVELS_HEADER + levelLine("     1", "      0.0000", ""),
       "m.dat line 4: electronic level \"0.0000\" cm-1, degeneracy \"\": a degeneracy below 1; "
       "give the number of states of the level (2J+1 for an atom's J level)"},
      {"energy_not_a_number", LEVELS_HEADER + levelLine("     1", "     0.0O00", "           4"),
       "m.dat line 4: cannot read \"0.0O00\" as a real number"},
      {"header_cut", " Electronic levels (cm-1)\n Level      Energy  Degeneracy\n",
       "m.dat: unexpected end of file after line 2: expected 2 lines after \"Electronic levels "
       "(cm-1)\" on line 1"},
      {"optical_isomers_0", " Optical isomers         :         0\n",
       "m.dat line 1: optical isomers \"0\": a molecule has at least one form (2 for a chiral "
       "one); write the number in columns 27-36"},
  };
  for (const BadBlock &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(errorOf(c.text), c.message);
  }
}

TEST(MolFileLevels, AtMostTwentyLevels) {
  std::string block = LEVELS_HEADER;
  for (int k = 0; k < MAX_LEVELS; ++k) {
    char row[64];
    std::snprintf(row, sizeof row, "%6d%12.4f%12d\n", k + 1, 100.0 * k, 1);
    block += row;
  }
  EXPECT_EQ(readText(block + LEVELS_END).levels.size(), 20U);
  // Level 21 is line 3 + 21 = 24.
  EXPECT_EQ(errorOf(block + levelLine("    21", "   2000.0000", "           1")),
            "m.dat line 24: electronic level \"2000.0000\" cm-1, degeneracy \"1\": more than 20 "
            "electronic levels in the block (the most a molecule holds); keep the lowest 20");
}

TEST(MolFileLevels, ASourceMarkerWithoutABlockIsNamedInAWarning) {
  Warnings warnings;
  const Molecule m = readText(" Molecular mass          :   34.9689\n"
                              " Electronic levels from  :table\n",
                              &warnings);
  EXPECT_TRUE(m.levels.empty());
  ASSERT_EQ(warnings.texts().size(), 1U);
  EXPECT_EQ(warnings.texts()[0],
            "molecule CL, m.dat line 2: \"Electronic levels from  :\" without an \"Electronic "
            "levels (cm-1)\" block: the molecule has no levels; add the block or remove the "
            "marker");
}

TEST(MolFileLevels, OpticalIsomersFromColumns27To36) {
  EXPECT_EQ(readText(" Optical isomers         :         2\n").opticalIsomers, 2);
  EXPECT_EQ(readText(" Optical isomers         :2         \n").opticalIsomers, 2);
}

// ---- Writer ------------------------------------------------------------------

MolFileData chlorineAtom() {
  MolFileData d;
  d.title = {"Cl atom"};
  d.stoichiometry = "Cl";
  d.symmetryGroup = "Kh";
  d.mass = 34.96885268;
  d.multiplicity = 2;
  d.energy = -460.1;
  d.atomicNumbers = {17};
  d.coords = {{0.0, 0.0, 0.0}};
  d.levels = {{0.0, 4}, {882.3515, 2}};
  d.levelsSource = "table";
  return d;
}

std::string written(const MolFileData &d) {
  std::ostringstream out;
  writeMolFile(out, d);
  return out.str();
}

TEST(MolFileWriterLevels, WritesTheBlockAsTheReaderTakesIt) {
  const std::string text = written(chlorineAtom());
  EXPECT_NE(text.find(" Electronic levels from  :table\n\n" + CHLORINE), std::string::npos) << text;
  const Molecule m = readText(text);
  ASSERT_EQ(m.levels.size(), 2U);
  EXPECT_EQ(m.levels[1].energy, 882.3515);
  EXPECT_EQ(m.levels[0].degeneracy, 4);
  EXPECT_TRUE(m.levelsFromTable);
  EXPECT_EQ(m.natoms, 1); // the coordinates block after it still reads
  EXPECT_EQ(m.opticalIsomers, 0);
}

TEST(MolFileWriterLevels, OpticalIsomersOnlyForMoreThanOneForm) {
  MolFileData d = chlorineAtom();
  d.levels.clear();
  EXPECT_EQ(written(d).find("Optical isomers"), std::string::npos);
  EXPECT_EQ(written(d).find("Electronic levels"), std::string::npos);
  d.opticalIsomers = 2;
  EXPECT_NE(written(d).find(" Optical isomers         :         2\n"), std::string::npos);
  EXPECT_EQ(readText(written(d)).opticalIsomers, 2);
}

TEST(MolFileWriterLevels, EnergyMethodFromColumn27AndMarkersKeptOutOfIt) {
  MolFileData d = chlorineAtom();
  d.energyMethod = "CCSD(T)/aug-cc-pV(T+d)Z";
  EXPECT_NE(written(d).find("\n Energy method           :CCSD(T)/aug-cc-pV(T+d)Z\n"),
            std::string::npos);
  EXPECT_EQ(readText(written(d)).energyMethod, "CCSD(T)/aug-cc-pV(T+d)Z");
  // A method text holding a marker would be read as that marker.
  d.energyMethod = "Base Energy :   1.0";
  const Molecule m = readText(written(d));
  EXPECT_EQ(m.etot, -460.1);
  EXPECT_EQ(m.energyMethod, "Base_Energy :   1.0");
}

TEST(MolFileWriterLevels, RefusesLevelsThatWouldNotReadBack) {
  const std::vector<std::vector<ElectronicLevel>> bad = {
      {{158.265, 3}},                         // the first not at 0
      {{0.0, 5}, {226.977, 1}, {158.265, 3}}, // descending
      {{0.0, 4}, {882.3515, 0}},              // degeneracy 0
      std::vector<ElectronicLevel>(21, {0.0, 1}),
  };
  for (const auto &levels : bad) {
    MolFileData d = chlorineAtom();
    d.levels = levels;
    EXPECT_THROW(written(d), Error);
  }
}

} // namespace
} // namespace orvalen
