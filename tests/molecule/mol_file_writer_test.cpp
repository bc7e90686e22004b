// A written molecule data file read back by the reader gives every value it
// was written from, to the printed digits.
#include "base/error.hpp"
#include "fixedio/format.hpp"
#include "molecule/mol_file.hpp"
#include "molecule/mol_file_writer.hpp"
#include "molecule/molecule.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace orvalen {
namespace {

using test::TempDir;

Molecule readBack(const MolFileData &data) {
  TempDir dir;
  {
    std::ofstream out(dir / "m.dat");
    writeMolFile(out, data);
  }
  MoleculeTable table;
  Molecule m = table.at(TRANSITION_STATE, 1);
  m.fileName = fixedText("M.DAT", FILENAME_LEN);
  m.fileNameAsWritten = "m.dat";
  readMolFile(m, dir.path());
  return m;
}

MolFileData water() {
  MolFileData d;
  d.title = {"H2O from a test", "a title line with Base Energy : in it"};
  d.stoichiometry = "H2O";
  d.symmetryGroup = "C2v";
  d.mass = 18.0105646837;
  d.pmoi = {0.6147852, 1.1556771, 1.7704623};
  d.rotationNumber = 2;
  d.multiplicity = 1;
  d.energy = -76.4089531049;
  d.atomicNumbers = {8, 1, 1};
  d.coords = {{0.0, 0.0655690, 0.0}, {0.7569503, -0.5203132, 0.0}, {-0.7569503, -0.5203132, 0.0}};
  d.frequencies = {3849.0623, 1713.1514, 3727.3687};
  d.intensities = {20.117, 75.314, 1.862};
  return d;
}

TEST(MolFileWriter, WaterReadsBackToThePrintedDigits) {
  const MolFileData d = water();
  const Molecule m = readBack(d);
  EXPECT_EQ(trimmed(m.stoich), "       H2O");
  EXPECT_EQ(m.symGroup, "       C2v");
  EXPECT_NEAR(m.mass, 18.0106, 1e-12);
  EXPECT_NEAR(m.pmoi[0], 0.614785, 1e-12);
  EXPECT_NEAR(m.pmoi[1], 1.155677, 1e-12);
  EXPECT_NEAR(m.pmoi[2], 1.770462, 1e-12);
  EXPECT_EQ(m.linear, 0);
  EXPECT_EQ(m.rotnum, 2);
  EXPECT_EQ(m.mult, 1);
  EXPECT_EQ(m.nneg, 0);
  EXPECT_NEAR(m.etot, -76.40895310, 1e-12);
  ASSERT_EQ(m.natoms, 3);
  EXPECT_EQ(m.na[0], 8);
  EXPECT_EQ(m.na[2], 1);
  EXPECT_NEAR(m.c[1][0], 0.756950, 1e-12);
  EXPECT_NEAR(m.c[1][1], -0.520313, 1e-12);
  // Six zero rows, then the modes in ascending order with their intensities.
  ASSERT_EQ(m.nfreq, 9.0);
  for (int n = 0; n < 6; ++n) {
    EXPECT_EQ(m.freq[n], 0.0);
    EXPECT_EQ(m.xinten[n], 0.0);
  }
  EXPECT_NEAR(m.freq[6], 1713.151, 1e-9);
  EXPECT_NEAR(m.xinten[6], 75.314, 1e-9);
  EXPECT_NEAR(m.freq[7], 3727.369, 1e-9);
  EXPECT_NEAR(m.freq[8], 3849.062, 1e-9);
  EXPECT_NEAR(m.xinten[8], 20.117, 1e-9);
}

TEST(MolFileWriter, ChargeMarkerHoldsTheChargeInColumns27To36) {
  // " Charge of molecule      :" from column 2 to 26, as the other colon
  // markers, and the charge as i10 after it; a title never holds the marker.
  for (const int charge : {0, -1, 2}) {
    MolFileData d = water();
    d.charge = charge;
    d.title.push_back("Charge of molecule      : 7 in a title");
    std::ostringstream out;
    writeMolFile(out, d);
    const std::string text = out.str();
    const std::size_t at = text.find("\n Charge of molecule      :");
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_EQ(text.find("Charge of molecule      :", at + 3), std::string::npos);
    EXPECT_EQ(text.find("Charge of molecule      :"), at + 2); // not in the title
    const std::string line = text.substr(at + 1, text.find('\n', at + 1) - at - 1);
    EXPECT_EQ(line.size(), 36u);
    int read = 99;
    fixedio::read("(26x,i10)", fixedio::Record{line, "m.dat", 1}, &read);
    EXPECT_EQ(read, charge);
  }
  EXPECT_NE(
      [] {
        std::ostringstream out;
        writeMolFile(out, water());
        return out.str();
      }()
          .find(" Num. of imaginary freqs :         0\n Charge of molecule      :         0\n Spin "
                "multiplicity of molecule = 1\n"),
      std::string::npos);
}

TEST(MolFileWriter, TitleTextNeverPassesForAMarker) {
  std::ostringstream out;
  writeMolFile(out, water());
  EXPECT_NE(out.str().find(" a title line with Base_Energy : in it\n"), std::string::npos);
  EXPECT_EQ(readBack(water()).etot, -76.40895310); // from its own line, not the title
}

TEST(MolFileWriter, LinearSaddlePointHasItsImaginaryModeInRowSeven) {
  MolFileData d;
  d.title = {"H3 saddle point"};
  d.stoichiometry = "H3";
  d.symmetryGroup = "D*h";
  d.mass = 3.02347509669;
  d.pmoi = {1.7448359, 1.7448359, 0.0};
  d.rotationNumber = 2;
  d.multiplicity = 2;
  d.energy = -1.656992;
  d.atomicNumbers = {1, 1, 1};
  d.coords = {{0, 0, -0.9304}, {0, 0, 0}, {0, 0, 0.9304}};
  d.frequencies = {911.0, 2061.0, -1512.0, 911.0};
  d.intensities = {0.1, 0.0, 1.25, 0.1};
  const Molecule m = readBack(d);
  EXPECT_EQ(m.linear, 1);
  EXPECT_EQ(m.nneg, 1);
  EXPECT_EQ(m.mult, 2);
  ASSERT_EQ(m.nfreq, 10.0);
  EXPECT_EQ(m.freq[5], 0.0);
  EXPECT_EQ(m.freq[6], -1512.0);
  EXPECT_EQ(m.xinten[6], 1.25);
  EXPECT_EQ(m.freq[7], 911.0);
  EXPECT_EQ(m.freq[9], 2061.0);
}

TEST(MolFileWriter, ImaginaryModesComeFirstMostNegativeFirst) {
  MolFileData d = water();
  d.frequencies = {1713.2, -300.5, -1200.0};
  const Molecule m = readBack(d);
  EXPECT_EQ(m.nneg, 2);
  EXPECT_EQ(m.freq[6], -1200.0);
  EXPECT_EQ(m.freq[7], -300.5);
  EXPECT_EQ(m.freq[8], 1713.2);
}

TEST(MolFileWriter, NoEnergyLeavesEtotNotGiven) {
  MolFileData d = water();
  d.energy.reset();
  EXPECT_TRUE(isNotGiven(readBack(d).etot));
}

TEST(MolFileWriter, RefusesValuesThatDoNotFitTheirColumns) {
  for (const double bad : {-10000.0, 100000.0}) {
    MolFileData d = water();
    d.frequencies[0] = bad;
    std::ostringstream out;
    EXPECT_THROW(writeMolFile(out, d), Error) << bad;
  }
  MolFileData d = water();
  d.multiplicity = 100;
  std::ostringstream out;
  EXPECT_THROW(writeMolFile(out, d), Error);
  d = water();
  d.frequencies.assign(295, 100.0);
  EXPECT_THROW(writeMolFile(out, d), Error); // 301 rows
}

} // namespace
} // namespace orvalen
