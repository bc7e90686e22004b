#include "fixedio/format.hpp"
#include "thermo/thermo_report.hpp"
#include "water_molecule.hpp"

#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orvalen {
namespace {

using test::water;

std::string section(const Molecule &m, const Conditions &cond = Conditions{}) {
  std::ostringstream text;
  fixedio::Writer out(text);
  writeMoleculeSection(out, m, cond, computeThermo(m, cond));
  return text.str();
}

bool hasLine(const std::vector<std::string> &lines, const std::string &line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(MoleculeSection, WholeWaterSectionAsComputedByHand) {
  // water_section.txt is written by water_section.py from the formulas.
  const std::string expected =
      test::readFile(std::string(ORVALEN_FIXTURES) + "/thermo/water_section.txt");
  const Molecule m = water();
  std::ostringstream text;
  fixedio::Writer out(text);
  const MoleculeTotals totals = tdrrho(m, Conditions{}, out);
  const std::vector<std::string> got = test::linesOf(text.str());
  const std::vector<std::string> want = test::linesOf(expected);
  for (std::size_t i = 0; i < std::min(got.size(), want.size()); ++i)
    EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
  EXPECT_EQ(got.size(), want.size());
  EXPECT_EQ(text.str(), expected);

  // The totals returned for the reaction sections, as the section prints them.
  EXPECT_NEAR(totals.ezpe, -76.37853122, 0.5e-8);
  EXPECT_NEAR(totals.eu, -76.37569581, 0.5e-8);
  EXPECT_NEAR(totals.eh, -76.37475155, 0.5e-8);
  EXPECT_NEAR(totals.eg, -76.39521858, 0.5e-8);
  EXPECT_NEAR(totals.stot, 0.00006865, 0.5e-8);
  EXPECT_NEAR(totals.qtot / 1.28635e8, 1.0, 0.5e-5);
}

TEST(MoleculeSection, WaterDataFileHoldsTheSameMolecule) {
  // The data file fixture, read in the columns of the molecule data file layout.
  const std::string path = std::string(ORVALEN_FIXTURES) + "/thermo/water.dat";
  const std::vector<std::string> lines = test::linesOf(test::readFile(path));
  const Molecule w = water();
  auto record = [&](const std::string &marker) {
    const auto it = std::find_if(lines.begin(), lines.end(), [&](const std::string &l) {
      return l.find(marker) != std::string::npos;
    });
    EXPECT_NE(it, lines.end()) << marker;
    return fixedio::Record{it == lines.end() ? std::string() : *it, path, it - lines.begin() + 1};
  };
  double pmoi[3] = {};
  fixedio::read("(19x,3f15.6)", record("Ia,Ib,Ic, amu*A^2"), &pmoi[0], &pmoi[1], &pmoi[2]);
  EXPECT_EQ(pmoi[0], w.pmoi[0]);
  EXPECT_EQ(pmoi[1], w.pmoi[1]);
  EXPECT_EQ(pmoi[2], w.pmoi[2]);
  int rotnum = 0, mult = 0, nneg = -1;
  double mass = 0.0, etot = 0.0;
  fixedio::read("(26x,i10)", record("Rotation number set to  :"), &rotnum);
  fixedio::read("(26x,f10.4)", record("Molecular mass          :"), &mass);
  fixedio::read("(26x,i10)", record("Num. of imaginary freqs :"), &nneg);
  fixedio::read("(32x,i2)", record("Spin multiplicity of molecule ="), &mult);
  fixedio::read("(14x,f17.8)", record("Base Energy :"), &etot);
  EXPECT_EQ(rotnum, w.rotnum);
  EXPECT_EQ(mass, w.mass);
  EXPECT_EQ(nneg, 0);
  EXPECT_EQ(mult, w.mult);
  EXPECT_EQ(etot, w.etot);

  // Coordinates block: one line skipped after the marker, atoms up to ten hyphens.
  const auto coords = std::find_if(lines.begin(), lines.end(), [](const std::string &l) {
    return l.find("Molecular coordinates in principal axes (A)") != std::string::npos;
  });
  ASSERT_NE(coords, lines.end());
  int natoms = 0;
  for (auto it = coords + 2; it != lines.end() && it->find("----------") == std::string::npos;
       ++it) {
    int z = 0;
    double x = 0, y = 0, zz = 0;
    fixedio::read("(14x,i3,3x,3f15.6)", fixedio::Record{*it, path, 0}, &z, &x, &y, &zz);
    EXPECT_TRUE(z == 8 || z == 1) << *it;
    ++natoms;
  }
  EXPECT_EQ(natoms, w.natoms);

  // Frequency block: two lines skipped after the marker, modes up to ten hyphens.
  const auto block = std::find_if(lines.begin(), lines.end(), [](const std::string &l) {
    return l.find("No. Frequency Intensity") != std::string::npos;
  });
  ASSERT_NE(block, lines.end());
  std::size_t n = 0;
  for (auto it = block + 3; it != lines.end() && it->find("----------") == std::string::npos;
       ++it, ++n) {
    double freq = -1.0, inten = -1.0;
    fixedio::read("(4x,2f9.3)", fixedio::Record{*it, path, 0}, &freq, &inten);
    ASSERT_LT(n, 9u);
    EXPECT_EQ(freq, w.freq[n]);
    EXPECT_EQ(inten, w.xinten[n]);
  }
  EXPECT_EQ(static_cast<double>(n), w.nfreq);
}

TEST(MoleculeSection, TableRowsOfAUsedAndAnImaginaryMode) {
  Molecule m = water();
  m.nfreq = 2.0;
  m.freq[0] = 1000.0;
  m.xinten[0] = 50.0;
  m.freq[1] = -500.0;
  m.xinten[1] = 10.0;
  const std::vector<std::string> lines = test::linesOf(section(m));
  EXPECT_TRUE(hasLine(lines, "   1 1000.000   50.000 1000.000     0.00  1 1438.775    0.391    "
                             "5.981    0.097    6.078    5.961    0.000 1.00809E+00"));
  EXPECT_TRUE(hasLine(lines, "   2 -500.000   10.000 -500.000     0.00  0    0.000    0.000    "
                             "0.000    0.000    0.000    0.000    0.000 1.00000E+00"));
  // The totals line takes the used mode only, its sums under the columns Svib to Qvib.
  EXPECT_TRUE(hasLine(lines, " Total for    1 vibrations                              0.391  "
                             "  5.981    0.097    6.078    5.961    0.000 1.00809E+00"));
}

TEST(MoleculeSection, MoleculeWithoutFrequencies) {
  Molecule atom = water();
  atom.nfreq = 0.0;
  const std::vector<std::string> lines = test::linesOf(section(atom));
  const std::string rule(118, '-');
  const auto header = std::find_if(lines.begin(), lines.end(), [](const std::string &l) {
    return l.rfind("No. Frequency Intensity", 0) == 0;
  });
  ASSERT_NE(header, lines.end());
  ASSERT_GE(lines.end() - header, 5);
  EXPECT_EQ(header->size(), 116u);
  EXPECT_EQ((header + 1)->size(), 116u);
  EXPECT_EQ(*(header + 2), rule);
  EXPECT_EQ(*(header + 3), rule); // no rows between the rules
  EXPECT_EQ(*(header + 4), " Total for    0 vibrations                              0.000  "
                           "  0.000    0.000    0.000    0.000    0.000 1.00000E+00");
}

TEST(MoleculeSection, HeadingAndElectronicLines) {
  Molecule m = water();
  m.name = fixedText("CH3", NAME_LEN);
  m.mult = 2;
  m.rotnum = NOT_GIVEN;
  const std::vector<std::string> lines = test::linesOf(section(m));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], " ************* TD properties of molecule CH3                 ");
  EXPECT_TRUE(hasLine(lines, " Temperature   :       298.15 K "));
  EXPECT_TRUE(hasLine(lines, " Pressure      :    101325.00 Pa"));
  EXPECT_TRUE(hasLine(lines, " Rot. number   :       999999"));
  // Doublet: Q = 2, ln 2 = 0.69315, lg 2 = 0.30103; S = R ln 2 = 5.7631529 J/(mol K)
  // = 1.3774266 cal/(mol K) = 0.0000021952 Hartree/K; F = -1.7182840 kJ/mol =
  // -0.4106797 kcal/mol = -0.00065451 Hartree.
  EXPECT_TRUE(
      hasLine(lines, " Qelec =     2.00000E+00   ln(Qelec)=     0.69315   lg(Qelec)=     0.30103"));
  EXPECT_TRUE(
      hasLine(lines, " Uelec =      0.000  kJ/mol     0.000  kcal/mol      0.00000000 Hartree"));
  EXPECT_TRUE(
      hasLine(lines, " Selec =      5.763 J/K/mol     1.377 cal/K/mol      0.00000220 Hartree/K"));
  EXPECT_TRUE(
      hasLine(lines, " Felec =     -1.718  kJ/mol    -0.411  kcal/mol     -0.00065451 Hartree"));
  EXPECT_TRUE(
      hasLine(lines, " Gelec =     -1.718  kJ/mol    -0.411  kcal/mol     -0.00065451 Hartree"));

  Conditions cold;
  cold.T = 77.0;
  cold.P = 1.0e5;
  const std::vector<std::string> coldLines = test::linesOf(section(m, cold));
  EXPECT_TRUE(hasLine(coldLines, " Temperature   :        77.00 K "));
  EXPECT_TRUE(hasLine(coldLines, " Pressure      :    100000.00 Pa"));
}

TEST(MoleculeSection, RecordWithoutDataShowsNonFiniteFields) {
  Molecule empty; // a data file that was missing: zero mass and moments
  empty.mult = NOT_GIVEN;
  empty.rotnum = NOT_GIVEN;
  empty.etot = NOT_GIVEN_REAL;
  const std::vector<std::string> lines = test::linesOf(section(empty));
  EXPECT_TRUE(hasLine(lines, " Multiplicity  :       999999"));
  EXPECT_TRUE(
      hasLine(lines, " Qtran =     0.00000E+00   ln(Qtran)=   -Infinity   lg(Qtran)=   -Infinity"));
  EXPECT_TRUE(
      hasLine(lines, " Ftran =   Infinity  kJ/mol  Infinity  kcal/mol        Infinity Hartree  "));
  EXPECT_TRUE(
      hasLine(lines, " Stran =        NaN J/K/mol       NaN cal/K/mol             NaN Hartree/K"));
  EXPECT_TRUE(hasLine(lines, " Etot        =  999999.00000000  (Etot used as a BaseEnergy for TD "
                             "calculations)"));
}

} // namespace
} // namespace orvalen
