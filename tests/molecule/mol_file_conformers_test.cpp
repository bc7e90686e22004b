// The conformers block of a molecule data file: a line per structure (its
// number, energy, rotation number, optical isomers and the output it came
// from), its moments and its vibrations from fixed columns; refused where it
// cannot be another structure of the molecule, written so that it reads back.
#include "base/error.hpp"
#include "base/warnings.hpp"
#include "molecule/mol_file.hpp"
#include "molecule/mol_file_writer.hpp"
#include "molecule/molecule.hpp"
#include "support/mol_text.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace orvalen {
namespace {

using test::TempDir;

Molecule saddleRecord() {
  return test::namedMolecule(TRANSITION_STATE, "TS", "ts.dat");
}

Molecule readText(const std::string &text, double jobEtot = NOT_GIVEN_REAL) {
  Molecule m = saddleRecord();
  m.etot = jobEtot;
  return test::readMolText(text, m);
}

std::string errorOf(const std::string &text) {
  return test::molTextError(text, saddleRecord());
}

// A four-atom saddle point (one imaginary mode) and a second structure of it.
MolFileData saddle() {
  MolFileData d;
  d.title = {"H3C...H saddle point from a test"};
  d.stoichiometry = "CH4";
  d.symmetryGroup = "CS";
  d.mass = 16.0313;
  d.pmoi = {1.9, 5.1, 6.2};
  d.rotationNumber = 1;
  d.multiplicity = 2;
  d.energy = -40.5;
  d.atomicNumbers = {6, 1, 1, 1};
  d.coords = {{0.0, 0.0, 0.1}, {1.3, 0.0, -0.2}, {-0.5, 0.9, -0.2}, {-0.5, -0.9, -0.2}};
  d.frequencies = {-1400.0, 500.0, 900.0, 1100.0, 3000.0, 3100.0};
  Conformer c;
  c.source = "calc/ts_gauche.out";
  c.etot = -40.499;
  c.rotnum = 1;
  c.opticalIsomers = 2;
  c.pmoi = {2.0, 5.25, 6.5};
  c.freq = {3105.5, 480.25, -1390.0, 910.0, 1090.0, 2990.0, 123.0};
  d.conformers = {c};
  return d;
}

std::string written(const MolFileData &d) {
  std::ostringstream out;
  writeMolFile(out, d);
  return out.str();
}

const std::string HEADER =
    "\n Conformers (Hartree, amu*A^2, cm-1)\n"
    "  Conf      Base energy  Rotn  Opt.  From\n"
    " --------------------------------------------------------------------\n";
const std::string END = " --------------------------------------------------------------------\n";

// The saddle point without conformers, then a block typed by hand.
std::string withBlock(const std::string &block) {
  MolFileData d = saddle();
  d.conformers.clear();
  return written(d) + HEADER + block + END;
}

TEST(MolFileConformers, WrittenBlockReadsBackAfterTheMainStructure) {
  const MolFileData d = saddle();
  const Molecule m = readText(written(d));
  // The main structure's fields are as without the block.
  EXPECT_DOUBLE_EQ(m.etot, -40.5);
  EXPECT_DOUBLE_EQ(m.pmoi[2], 6.2);
  EXPECT_EQ(m.nneg, 1);
  ASSERT_EQ(m.conformers.size(), 1u);
  const Conformer &c = m.conformers[0];
  EXPECT_EQ(c.source, "calc/ts_gauche.out");
  EXPECT_DOUBLE_EQ(c.etot, -40.499);
  EXPECT_NEAR(c.aboveMain, 0.001, 1e-12);
  EXPECT_EQ(c.rotnum, 1);
  EXPECT_EQ(c.opticalIsomers, 2);
  EXPECT_DOUBLE_EQ(c.pmoi[1], 5.25);
  // Seven vibrations over two lines, the imaginary one first, then ascending.
  const std::vector<double> expected = {-1390.0, 123.0, 480.25, 910.0, 1090.0, 2990.0, 3105.5};
  EXPECT_EQ(c.freq, expected);
}

TEST(MolFileConformers, FieldsAreFixedColumns) {
  // i6 number, f17.8 energy, i6 rotation number, i6 optical isomers, source from column 38;
  // " moments" and 3f15.6 from column 9; "   freqs" and six f11.3 from column 9.
  const Molecule m = readText(withBlock("     2     -40.49000000     3     1  a b.out\n"
                                        " moments       1.000000       2.000000       3.000000\n"
                                        "   freqs  -1200.000    100.000    200.000\n"
                                        "   freqs    300.000\n"));
  ASSERT_EQ(m.conformers.size(), 1u);
  const Conformer &c = m.conformers[0];
  EXPECT_DOUBLE_EQ(c.etot, -40.49);
  EXPECT_EQ(c.rotnum, 3);
  EXPECT_EQ(c.opticalIsomers, 1);
  EXPECT_EQ(c.source, "a b.out");
  EXPECT_DOUBLE_EQ(c.pmoi[0], 1.0);
  EXPECT_DOUBLE_EQ(c.pmoi[2], 3.0);
  EXPECT_EQ(c.freq, (std::vector<double>{-1200.0, 100.0, 200.0, 300.0}));
}

TEST(MolFileConformers, EnergyAboveTheFilesBaseEnergyEvenWithETOTOnTheJobLine) {
  // The job line's ETOT replaces the main structure's energy; the conformers
  // keep their place above it, counted from the file's Base Energy.
  const Molecule m = readText(written(saddle()), -41.0);
  EXPECT_DOUBLE_EQ(m.etot, -41.0);
  ASSERT_EQ(m.conformers.size(), 1u);
  EXPECT_NEAR(m.conformers[0].aboveMain, 0.001, 1e-12);
}

TEST(MolFileConformers, ASourceWithHyphensOrAMarkerStaysInItsLine) {
  MolFileData d = saddle();
  d.conformers[0].source = "run----------1/Base Energy :x.out";
  const Molecule m = readText(written(d));
  ASSERT_EQ(m.conformers.size(), 1u);
  EXPECT_EQ(m.conformers[0].freq.size(), 7u);
  EXPECT_DOUBLE_EQ(m.etot, -40.5);
  EXPECT_EQ(m.conformers[0].source.find("----------"), std::string::npos);
}

TEST(MolFileConformers, BlocksThatCannotBeAStructureAreRefusedNamingFileAndLine) {
  const std::string line = "     2     -40.49000000     1     1  x.out\n";
  const std::string moments = " moments       1.000000       2.000000       3.000000\n";
  const std::string freqs = "   freqs  -1200.000    100.000\n";
  struct Case {
    std::string block, message;
  } cases[] = {
      {line + freqs, "conformer 2: no \"moments\" line"},
      {line + moments, "conformer 2: no \"freqs\" line"},
      {line + moments + "   freqs    100.000    200.000\n",
       "0 imaginary frequencies where the main structure has 1"},
      {"     2     -40.49000000     0     1  x.out\n" + moments + freqs, "rotation number \"0\""},
      {"     2     -40.49000000     1     0  x.out\n" + moments + freqs, "optical isomers \"0\""},
      {"     2" + std::string(17, ' ') + "     1     1  x.out\n" + moments + freqs,
       "no energy in columns"},
      {line + moments + "   freqs  -1200.000    1 0.000\n",
       "frequency \"1 0.000\" in columns 20-30"},
      {freqs + line + moments, "a \"freqs\" line before any conformer line"},
  };
  for (const Case &c : cases) {
    const std::string error = errorOf(withBlock(c.block));
    EXPECT_NE(error.find("ts.dat line "), std::string::npos) << error;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.message << "\n" << error;
  }
}

TEST(MolFileConformers, ConformersNeedTheMainStructuresEnergy) {
  MolFileData d = saddle();
  std::string text = written(d);
  const auto at = text.find(" Base Energy :");
  text.erase(at, text.find('\n', at) + 1 - at);
  EXPECT_NE(errorOf(text).find("no \"Base Energy :\" line"), std::string::npos) << errorOf(text);
}

TEST(MolFileWriterConformers, RefusesConformersThatWouldNotReadBack) {
  MolFileData noEnergy = saddle();
  noEnergy.energy.reset();
  EXPECT_THROW(written(noEnergy), Error);
  MolFileData minimum = saddle();
  minimum.conformers[0].freq[2] = 1390.0; // a minimum beside a saddle point
  EXPECT_THROW(written(minimum), Error);
  MolFileData noModes = saddle();
  noModes.conformers[0].freq.clear();
  EXPECT_THROW(written(noModes), Error);
  MolFileData many = saddle();
  many.conformers.assign(MAX_CONFORMERS + 1, saddle().conformers[0]);
  EXPECT_THROW(written(many), Error);
}

TEST(MolFileWriterConformers, NoBlockWithoutConformers) {
  MolFileData d = saddle();
  d.conformers.clear();
  EXPECT_EQ(written(d).find("Conformers"), std::string::npos);
}

} // namespace
} // namespace orvalen
