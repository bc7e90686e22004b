#include "base/error.hpp"
#include "molecule/mol_file.hpp"
#include "molecule/molecule.hpp"
#include "support/mol_text.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace orvalen {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

const fs::path FIXTURES = fs::path(ORVALEN_FIXTURES) / "molecule";

std::string upperCase(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

// A record as the job input leaves it: named, with its data file, nothing else given.
Molecule named(const std::string &name, const std::string &fileAsWritten) {
  return test::namedMolecule(REACTANT, name, fileAsWritten, upperCase(fileAsWritten));
}

// Writes `text` as m.dat in a fresh folder and reads it into `m`.
Molecule readText(const std::string &text, Molecule m = named("M", "m.dat")) {
  return test::readMolText(text, std::move(m));
}

std::string errorOf(const std::string &text) {
  return test::molTextError(text, named("M", "m.dat"));
}

// Column ruler: marker from column 2, the value field where the format reads it.
std::string massLine(const std::string &field10) {
  return " Molecular mass          :" + field10 + "\n"; // (26x,f10.4): columns 27-36
}

const char *const COORD_HEADER = " Molecular coordinates in principal axes (A)\n"
                                 " Center      Z            X              Y              Z\n";
const char *const FREQ_HEADER = " No. Frequency Intensity\n"
                                "      cm-1     km/mol\n"
                                " ---------------------\n";
const char *const HYPHENS = " ----------------------------------------------------------------\n";

// (14x,i3,3x,3f15.6): atomic number in columns 15-17, x, y, z in 21-35, 36-50, 51-65.
std::string atomLine(int center, const char *z, const char *x, const char *y, const char *zc) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%7d%7s%3s%3s%15s%15s%15s\n", center, "", z, "", x, y, zc);
  return buf;
}
// (4x,2f9.3): frequency in columns 5-13, intensity in 14-22.
std::string modeLine(int n, const char *freq, const char *inten) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%4d%9s%9s\n", n, freq, inten);
  return buf;
}

void expectSameRecord(const Molecule &a, const Molecule &b) {
  EXPECT_EQ(a.stoich, b.stoich);
  EXPECT_EQ(a.symGroup, b.symGroup);
  EXPECT_EQ(a.natoms, b.natoms);
  EXPECT_EQ(a.mult, b.mult);
  EXPECT_EQ(a.rotnum, b.rotnum);
  EXPECT_EQ(a.linear, b.linear);
  EXPECT_EQ(a.nneg, b.nneg);
  EXPECT_EQ(a.na, b.na);
  EXPECT_EQ(a.c, b.c);
  EXPECT_EQ(a.mass, b.mass);
  EXPECT_EQ(a.pmoi, b.pmoi);
  EXPECT_EQ(a.nfreq, b.nfreq);
  EXPECT_EQ(a.freq, b.freq);
  EXPECT_EQ(a.xinten, b.xinten);
  EXPECT_EQ(a.etot, b.etot);
}

// ---- A whole data file ------------------------------------------------------

// Water at its optimised geometry: r(OH) = 0.9572 A, HOH = 104.52 deg, masses
// O 15.99491, H 1.00783; principal moments Ia < Ib < Ic with Ic = Ia + Ib for a
// planar molecule (0.614458 + 1.154920 = 1.769378, written 1.769379 after rounding).
// The six translations and rotations are listed first as 0.000.
Molecule expectedWater() {
  Molecule m = named("H2O", "h2o.dat");
  m.stoich = "H2O       ";
  m.symGroup = "C2V       ";
  m.natoms = 3;
  m.mult = 1;
  m.rotnum = 2;
  m.linear = 0;
  m.nneg = 0;
  m.na[0] = 8;
  m.na[1] = 1;
  m.na[2] = 1;
  m.c[0] = {0.0, 0.065569, 0.0};
  m.c[1] = {0.756950, -0.520313, 0.0};
  m.c[2] = {-0.756950, -0.520313, 0.0};
  m.mass = 18.0106;
  m.pmoi = {0.614458, 1.154920, 1.769379};
  m.nfreq = 9.0;
  m.freq[6] = 1713.151;
  m.freq[7] = 3727.369;
  m.freq[8] = 3849.062;
  m.xinten[6] = 75.314;
  m.xinten[7] = 1.862;
  m.xinten[8] = 20.117;
  m.etot = -76.40895310;
  return m;
}

TEST(MolFile, ReadsAWaterDataFile) {
  Molecule m = named("H2O", "h2o.dat");
  readMolFile(m, FIXTURES);
  expectSameRecord(m, expectedWater());
  EXPECT_EQ(trimmed(m.name), "H2O"); // the job input's fields are left alone
  EXPECT_EQ(trimmed(m.fileName), "H2O.DAT");
}

TEST(MolFile, CrLfLineEndsReadLikeLf) {
  std::string text = test::readFile(FIXTURES / "h2o.dat");
  std::string crlf;
  for (char ch : text)
    crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  ASSERT_NE(crlf.find("H2O\r\n"), std::string::npos); // a text field that ends its line
  Molecule m = readText(crlf);
  expectSameRecord(m, expectedWater());
  EXPECT_EQ(m.stoich, "H2O       ");
}

// ---- Values in fixed columns ---------------------------------------------------

TEST(MolFile, ValuesAreTakenFromFixedColumns) {
  // 18.5 right-aligned in columns 27-36.
  EXPECT_EQ(readText(massLine("      18.5")).mass, 18.5);
  // No decimal point: F10.4 takes the last four digits as the fraction, 185 -> 0.0185.
  EXPECT_EQ(readText(massLine("       185")).mass, 0.0185);
  // A value running past column 36 is cut: "      18.5106" reads as its first ten columns.
  EXPECT_EQ(readText(massLine("      18.5106")).mass, 18.5);
  // The marker three blanks further right: columns 27-36 now hold "  :C2V    ".
  EXPECT_EQ(readText("    Symmetry group          :C2V\n").symGroup, "  :C2V    ");
  // A text longer than ten columns keeps its first ten.
  EXPECT_EQ(readText(" Stoichiometry           :C6H5CH2CH2OH\n").stoich, "C6H5CH2CH2");
  // An all-blank field reads as 0, and the last line wins.
  EXPECT_EQ(readText(" Num. of imaginary freqs :         1\n Num. of imaginary freqs :\n").nneg, 0);
  // (32x,i2): multiplicity in columns 33-34.
  EXPECT_EQ(readText(" Spin multiplicity of molecule = 3\n").mult, 3);
  EXPECT_EQ(readText(" Spin multiplicity of molecule =10\n").mult, 10);
  // (14x,f17.8): energy in columns 15-31; an exponent is allowed.
  EXPECT_EQ(readText(" Base Energy :   -1.5E+02\n").etot, -150.0);
  // (19x,3f15.6): moments in columns 20-34, 35-49, 50-64.
  const Molecule co2 =
      readText(" Ia,Ib,Ic, amu*A^2       43.146571      43.146571       0.000000\n");
  EXPECT_EQ(co2.pmoi, (std::array<double, 3>{43.146571, 43.146571, 0.0}));
  EXPECT_EQ(co2.linear, 1);
}

TEST(MolFile, MarkersMatchExactlyWithinTheFirst255Columns) {
  EXPECT_EQ(readText(" molecular mass          :   18.0106\n").mass, 0.0);
  EXPECT_EQ(readText(" Molecular mass         :    18.0106\n").mass, 0.0); // one blank short
  // A line of 300 characters is seen up to column 255: the marker at column 2 counts...
  std::string longLine = massLine("   18.0106");
  longLine.pop_back();
  longLine += std::string(300 - longLine.size(), ' ') + "\n";
  EXPECT_EQ(readText(longLine).mass, 18.0106);
  // ...one that begins in column 246 ends in column 270 and is not seen; neither is one in
  // column 256, past the cut.
  const std::string filler(245, 'x');
  EXPECT_EQ(readText(filler + "Molecular mass          :   18.0106\n").mass, 0.0);
  EXPECT_EQ(readText(std::string(255, ' ') + "Base Energy :     -76.40895310\n").etot,
            NOT_GIVEN_REAL);
  // The next line is read normally after a cut line.
  EXPECT_EQ(readText(std::string(400, '=') + "\n" + massLine("   18.0106")).mass, 18.0106);
}

TEST(MolFile, FirstLineWinsForRotnumMultEtotAndLastLineForTheRest) {
  const Molecule m = readText(" Base Energy :     -76.40895310\n"
                              " Base Energy :     -75.00000000\n"
                              " Rotation number set to  :         2\n"
                              " Rotation number set to  :         3\n"
                              " Spin multiplicity of molecule = 1\n"
                              " Spin multiplicity of molecule = 3\n" +
                              massLine("   18.0106") + massLine("   19.0000") +
                              " Symmetry group          :C2V\n"
                              " Symmetry group          :CS\n"
                              " Ia,Ib,Ic, amu*A^2        1.000000       2.000000       3.000000\n"
                              " Ia,Ib,Ic, amu*A^2        4.000000       5.000000       6.000000\n");
  EXPECT_EQ(m.etot, -76.40895310);
  EXPECT_EQ(m.rotnum, 2);
  EXPECT_EQ(m.mult, 1);
  EXPECT_EQ(m.mass, 19.0);
  EXPECT_EQ(m.symGroup, "CS        ");
  EXPECT_EQ(m.pmoi, (std::array<double, 3>{4.0, 5.0, 6.0}));

  // A file value equal to the not-given value leaves the field open for a later line.
  EXPECT_EQ(readText(" Rotation number set to  :    999999\n"
                     " Rotation number set to  :         6\n")
                .rotnum,
            6);
}

TEST(MolFile, JobLineValuesWinOverEveryFileLine) {
  const std::string text = " Base Energy :     -76.40895310\n"
                           " Rotation number set to  :         2\n"
                           " Spin multiplicity of molecule = 1\n";
  Molecule given = named("H2O", "m.dat");
  given.etot = -76.5;
  given.rotnum = 4;
  given.mult = 3;
  const Molecule m = readText(text, given);
  EXPECT_EQ(m.etot, -76.5);
  EXPECT_EQ(m.rotnum, 4);
  EXPECT_EQ(m.mult, 3);

  // 999999 on the job line, or an ETOT within 1e-6 of 999999.0, counts as not given.
  Molecule open = named("H2O", "m.dat");
  open.etot = 999999.0000005;
  const Molecule fromFile = readText(text, open);
  EXPECT_EQ(fromFile.etot, -76.40895310);
  EXPECT_EQ(fromFile.rotnum, 2);
  EXPECT_EQ(fromFile.mult, 1);
}

// ---- The two blocks -------------------------------------------------------------

TEST(MolFile, FrequencyRowsRightAfterTheMarkerLoseTheFirstTwo) {
  const Molecule m = readText(" No. Frequency Intensity\n" + modeLine(1, "100.000", "1.000") +
                              modeLine(2, "200.000", "2.000") + modeLine(3, "300.000", "3.000") +
                              modeLine(4, "-450.500", "4.000") + " ----------\n" +
                              modeLine(5, "500.000", "5.000"));
  EXPECT_EQ(m.nfreq, 2.0);
  EXPECT_EQ(m.freq[0], 300.0);
  EXPECT_EQ(m.freq[1], -450.5);
  EXPECT_EQ(m.xinten[1], 4.0);
}

TEST(MolFile, TenHyphensAnywhereEndABlockAndNineDoNot) {
  // Nine hyphens in the 14 columns before the atomic number: still an atom line.
  std::string nine = atomLine(2, "1", "0.500000", "0.000000", "0.000000");
  nine.replace(0, 10, " ---------");
  // Ten hyphens after the coordinates end the block.
  std::string ten = atomLine(3, "1", "0.000000", "0.500000", "0.000000");
  ten.insert(ten.size() - 1, " ----------");
  const Molecule atoms =
      readText(std::string(COORD_HEADER) + atomLine(1, "8", "0.000000", "0.000000", "0.100000") +
               nine + ten + atomLine(4, "1", "1.000000", "1.000000", "1.000000") + HYPHENS);
  EXPECT_EQ(atoms.natoms, 2);
  EXPECT_EQ(atoms.na[1], 1);
  EXPECT_EQ(atoms.c[1][0], 0.5);

  const Molecule modes =
      readText(std::string(FREQ_HEADER) + modeLine(1, "100.000", "1.000") +
               "   2  200.000    2.000 (----------)\n" + modeLine(3, "300.000", "3.000"));
  EXPECT_EQ(modes.nfreq, 1.0);
}

TEST(MolFile, TheLineEndingTheAtomBlockIsExaminedForMarkers) {
  // Closing line of the atom block: its Base Energy counts.
  const Molecule closed =
      readText(std::string(COORD_HEADER) + atomLine(1, "8", "0.000000", "0.000000", "0.000000") +
               " Base Energy :     -76.40895310 ----------\n");
  EXPECT_EQ(closed.natoms, 1);
  EXPECT_EQ(closed.etot, -76.40895310);

  // The file ends inside the block: the last atom line is examined, and a marker after
  // column 65 takes columns 27-36 of that line. x is right-aligned in columns 21-35, so
  // 28-35 hold "0.756950"; y = -0.520313 starts in column 42, leaving 27 and 36 blank.
  std::string last = atomLine(1, "1", "0.756950", "-0.520313", "0.000000");
  last.insert(last.size() - 1, " Symmetry group          :C2V");
  const Molecule atEnd = readText(std::string(COORD_HEADER) + last);
  EXPECT_EQ(atEnd.natoms, 1);
  EXPECT_EQ(atEnd.c[0][0], 0.756950);
  EXPECT_EQ(atEnd.symGroup, " 0.756950 ");

  // The closing line of a frequency table is not examined.
  const Molecule table =
      readText(massLine("   18.0106") + FREQ_HEADER + modeLine(1, "1713.151", "75.314") +
               " Molecular mass          :   99.0000 ----------\n");
  EXPECT_EQ(table.nfreq, 1.0);
  EXPECT_EQ(table.mass, 18.0106);
}

TEST(MolFile, SkippedLinesAreNotExamined) {
  const Molecule m =
      readText(" Molecular coordinates in principal axes (A)\n" + massLine("   18.0106") + HYPHENS +
               " No. Frequency Intensity\n" + " Base Energy :     -76.40895310\n" +
               " ----------\n" + modeLine(1, "1713.151", "75.314"));
  EXPECT_EQ(m.natoms, 0);
  EXPECT_EQ(m.mass, 0.0);
  EXPECT_EQ(m.etot, NOT_GIVEN_REAL);
  EXPECT_EQ(m.nfreq, 1.0);
}

TEST(MolFile, SecondBlockReplacesTheFirstAndEndOfFileEndsABlock) {
  const Molecule m =
      readText(std::string(COORD_HEADER) + atomLine(1, "6", "0.000000", "0.000000", "0.000000") +
               atomLine(2, "8", "1.128000", "0.000000", "0.000000") +
               atomLine(3, "1", "2.000000", "0.000000", "0.000000") + HYPHENS + FREQ_HEADER +
               modeLine(1, "100.000", "1.000") + modeLine(2, "200.000", "2.000") +
               modeLine(3, "300.000", "3.000") + " ----------\n" + COORD_HEADER +
               atomLine(1, "1", "0.370000", "0.000000", "0.000000") +
               atomLine(2, "1", "-0.370000", "0.000000", "0.000000") + HYPHENS + FREQ_HEADER +
               modeLine(1, "4401.000", "0.000"));
  EXPECT_EQ(m.natoms, 2);
  EXPECT_EQ(m.na[0], 1);
  EXPECT_EQ(m.c[1][0], -0.37);
  EXPECT_EQ(m.nfreq, 1.0); // the second table has no closing line
  EXPECT_EQ(m.freq[0], 4401.0);

  // A coordinates block running to the end of the file.
  const Molecule open =
      readText(std::string(COORD_HEADER) + atomLine(1, "18", "0.000000", "0.000000", "0.000000"));
  EXPECT_EQ(open.natoms, 1);
  EXPECT_EQ(open.na[0], 18);
}

TEST(MolFile, AFileWithoutCoordinatesHasNoAtoms) {
  Molecule before = named("M", "m.dat");
  before.natoms = 5; // left over from anywhere: the count is the file's own
  const Molecule m = readText(massLine("   39.9624"), before);
  EXPECT_EQ(m.natoms, 0);
  EXPECT_EQ(m.nfreq, 0.0);
  EXPECT_EQ(m.linear, 0);
}

// ---- Finding and opening the file -------------------------------------------------

TEST(MolFile, MissingFileIsCreatedEmptyAndGivesNothing) {
  TempDir dir;
  Molecule m = named("OH", "oh.dat");
  m.mult = 2; // from the job line
  readMolFile(m, dir.path());
  ASSERT_TRUE(fs::is_regular_file(dir / "oh.dat"));
  EXPECT_EQ(fs::file_size(dir / "oh.dat"), 0u);
  EXPECT_FALSE(fs::exists(dir / "OH.DAT"));
  EXPECT_EQ(m.pmoi, (std::array<double, 3>{0.0, 0.0, 0.0}));
  EXPECT_EQ(m.mass, 0.0);
  EXPECT_EQ(m.nneg, 0);
  EXPECT_EQ(m.natoms, 0);
  EXPECT_EQ(m.nfreq, 0.0);
  EXPECT_EQ(m.stoich, "          ");
  EXPECT_EQ(m.symGroup, "          ");
  EXPECT_EQ(m.linear, 0);
  EXPECT_EQ(m.mult, 2);
  EXPECT_EQ(m.rotnum, NOT_GIVEN);
  EXPECT_EQ(m.etot, NOT_GIVEN_REAL);
}

TEST(MolFile, NameAsWrittenIsTriedBeforeTheUpperCaseName) {
  TempDir dir;
  dir.write("oh.dat", massLine("   17.0027"));
  dir.write("OH.DAT", massLine("   99.0000"));
  Molecule both = named("OH", "oh.dat");
  readMolFile(both, dir.path());
  EXPECT_EQ(both.mass, 17.0027);

  dir.write("CH4.DAT", massLine("   16.0313"));
  Molecule upperOnly = named("CH4", "ch4.dat");
  readMolFile(upperOnly, dir.path());
  EXPECT_EQ(upperOnly.mass, 16.0313);
  EXPECT_FALSE(fs::exists(dir / "ch4.dat"));

  // Without the original spelling the upper-case FILENAME is used.
  Molecule noOriginal = named("CH4", "ch4.dat");
  noOriginal.fileNameAsWritten.clear();
  readMolFile(noOriginal, dir.path());
  EXPECT_EQ(noOriginal.mass, 16.0313);
}

TEST(MolFile, RelativeNamesAreTakenFromTheJobFolder) {
  TempDir dir;
  fs::create_directories(dir / "data");
  dir.write("data/h2.dat", massLine("    2.0157"));
  Molecule inSub = named("H2", "data/h2.dat");
  readMolFile(inSub, dir.path());
  EXPECT_EQ(inSub.mass, 2.0157);

  Molecule absolute = named("H2", (dir / "data" / "h2.dat").string());
  readMolFile(absolute, fs::path("/nonexistent-job-folder"));
  EXPECT_EQ(absolute.mass, 2.0157);
}

TEST(MolFile, FilesThatCannotBeReadStopTheRun) {
  TempDir dir;
  fs::create_directories(dir / "h2o.dat");
  Molecule m = named("H2O", "h2o.dat");
  try {
    readMolFile(m, dir.path());
    FAIL() << "a directory was read as a data file";
  } catch (const Error &e) {
    EXPECT_STREQ(e.what(), "h2o.dat: cannot open file: it is a directory");
  }

  Molecule blank = named("OH", "");
  try {
    readMolFile(blank, dir.path());
    FAIL() << "a molecule without a data file was read";
  } catch (const Error &e) {
    EXPECT_STREQ(e.what(), "molecule OH: no data file named on its job line");
  }
}

// Every file of the folder bad/ stops the run with the message shown here.
TEST(MolFile, BadFilesStopTheRunNamingFileAndLine) {
  const std::map<std::string, std::string> expected = {
      {"eof_after_coordinates_marker.dat",
       "eof_after_coordinates_marker.dat: unexpected end of file after line 2: expected one "
       "line after \"Molecular coordinates in principal axes (A)\" on line 2"},
      {"eof_in_frequency_header.dat",
       "eof_in_frequency_header.dat: unexpected end of file after line 3: expected 2 lines "
       "after \"No. Frequency Intensity\" on line 2"},
      {"mass_not_a_number.dat",
       "mass_not_a_number.dat line 1: cannot read \"18.O106\" as a real number"},
      // The marker three columns to the right puts its colon into columns 27-36.
      {"indented_mass_marker.dat",
       "indented_mass_marker.dat line 1: cannot read \":   18.0\" as a real number"},
      {"rotation_number_with_point.dat",
       "rotation_number_with_point.dat line 1: cannot read \"2.0\" as an integer"},
      {"multiplicity_letter.dat",
       "multiplicity_letter.dat line 1: cannot read \"D\" as an integer"},
      {"base_energy_two_points.dat",
       "base_energy_two_points.dat line 1: cannot read \"-76.408.9531\" as a real number"},
      {"moments_bad_field.dat",
       "moments_bad_field.dat line 1: cannot read \"1.1549x0\" as a real number"},
      {"atom_line_bad_number.dat",
       "atom_line_bad_number.dat line 3: cannot read \"0.0655x9\" as a real number"},
      {"frequency_row_bad_number.dat",
       "frequency_row_bad_number.dat line 4: cannot read \"1713,151\" as a real number"},
  };
  int seen = 0;
  for (const auto &entry : fs::directory_iterator(FIXTURES / "bad")) {
    const std::string file = entry.path().filename().string();
    SCOPED_TRACE(file);
    const auto it = expected.find(file);
    ASSERT_NE(it, expected.end()) << "no expected message for this bad file";
    Molecule m = named("M", file);
    try {
      readMolFile(m, FIXTURES / "bad");
      ADD_FAILURE() << "read without an error";
    } catch (const Error &e) {
      EXPECT_EQ(e.what(), it->second);
    }
    ++seen;
  }
  EXPECT_EQ(seen, static_cast<int>(expected.size())); // every expected message has its file
}

TEST(MolFile, AtMost100AtomsAnd300Modes) {
  std::string atoms = COORD_HEADER;
  for (int a = 1; a <= 100; ++a)
    atoms += atomLine(a, "6", "0.000000", "0.000000", "1.000000");
  const Molecule full = readText(atoms + HYPHENS);
  EXPECT_EQ(full.natoms, 100);
  EXPECT_EQ(full.c[99][2], 1.0);
  // Atom 101 is line 2 + 101 = 103.
  EXPECT_EQ(errorOf(atoms + atomLine(101, "1", "0.000000", "0.000000", "0.000000")),
            "m.dat line 103: NA(101), C(1..3, 101): more than 100 atoms in the coordinates block");

  std::string modes = FREQ_HEADER;
  for (int n = 1; n <= 300; ++n)
    modes += modeLine(n, "1000.000", "1.000");
  const Molecule table = readText(modes + " ----------\n");
  EXPECT_EQ(table.nfreq, 300.0);
  // Mode 301 is line 3 + 301 = 304.
  EXPECT_EQ(errorOf(modes + modeLine(301, "1000.000", "1.000")),
            "m.dat line 304: FREQ(301), XINTEN(301): more than 300 frequencies in the table");
}

// ---- Linearity ----------------------------------------------------------------

TEST(Linearity, TwoEqualMomentsAndAZeroThird) {
  struct Case {
    std::array<double, 3> pmoi;
    int linear;
  };
  const Case cases[] = {
      {{43.146571, 43.146571, 0.0}, 1},    // CO2
      {{0.614458, 1.154920, 1.769379}, 0}, // water
      {{0.0, 0.0, 0.0}, 0},                // an atom, or a file without moments
      {{1.0, 1.0009, 0.0}, 1},             // 0.0009 / 1.0009 = 0.00090 < 0.001
      {{1.0, 1.0011, 0.0}, 0},             // 0.0011 / 1.0011 = 0.00110
      {{1.0, 1.001, 0.0}, 1},              // 0.001 / 1.001 = 0.000999 < 0.001
      {{1.0, 1.0, 0.001}, 0},              // the third moment must be strictly below 0.001
      {{1.0, 1.0, 0.000999}, 1},           //
      {{1.0, 1.0, -0.0005}, 1},            // |PMOI(3)| is compared
      {{0.0, 0.0001, 0.0}, 0},             // 0.0001 / 0.0001 = 1
      {{1.002, 1.0, 0.0}, 0},              // the larger moment is the scale: 0.002 / 1.002
      {{11.3, 11.3, 11.3}, 0},             // a spherical top
  };
  for (const auto &c : cases)
    EXPECT_EQ(linearity(c.pmoi), c.linear) << c.pmoi[0] << " " << c.pmoi[1] << " " << c.pmoi[2];
}

} // namespace
} // namespace orvalen

namespace orvalen {
namespace {

// The warnings of reading `text` as m.dat (nothing written: a missing file).
struct Read {
  std::vector<std::string> warnings;
  bool unsound = false;
};
Read warningsOf(const std::optional<std::string> &text) {
  TempDir dir;
  if (text)
    dir.write("m.dat", *text);
  Molecule m = named("M", "m.dat");
  Warnings w;
  readMolFile(m, dir.path(), w);
  return {w.texts(), w.reportUnsound()};
}

TEST(MolFile, FilesThatGiveNothingMakeTheReportUnsound) {
  for (const auto &[text, words] : std::vector<std::pair<std::optional<std::string>, std::string>>{
           {std::nullopt, "molecule M: data file m.dat does not exist; it was created empty"},
           {"", "molecule M: data file m.dat is empty"},
           {"\n\n", "molecule M: data file m.dat holds none of the markers"},
           {"Molecular mass: 18.0\n", "molecule M: data file m.dat holds none of the markers"}}) {
    const Read r = warningsOf(text);
    ASSERT_EQ(r.warnings.size(), 1u) << words;
    EXPECT_TRUE(r.warnings[0].starts_with(words)) << r.warnings[0];
    EXPECT_TRUE(r.unsound);
  }
  const Read clean = warningsOf(massLine("   18.0106"));
  EXPECT_TRUE(clean.warnings.empty());
  EXPECT_FALSE(clean.unsound);
}

TEST(MolFile, NumbersThatTheImpliedPointChangesAreNamedOncePerKind) {
  const Read r = warningsOf(massLine("        18") + COORD_HEADER +
                            "      1         8          0.000000       0.065569       0.000000\n"
                            "      2         1             1       -0.520313       0.000000\n"
                            "      3         1            -1       -0.520313             0\n"
                            " ----------\n");
  ASSERT_EQ(r.warnings.size(), 2u);
  EXPECT_EQ(r.warnings[0], "molecule M, m.dat line 1: the molecular mass \"18\" has no decimal "
                           "point and reads as 0.0018 amu (the field's last 4 digits are its "
                           "fraction); write 18.0 if that number was meant");
  EXPECT_EQ(r.warnings[1], "molecule M, m.dat line 5: the coordinate \"1\" has no decimal point "
                           "and reads as 1e-06 Angstrom (the field's last 6 digits are its "
                           "fraction); write 1.0 if that number was meant (and 1 more coordinate "
                           "field like it)");
  EXPECT_FALSE(r.unsound);
}

TEST(MolFile, DataFileInAMissingFolderIsAMissingInput) {
  TempDir dir;
  Molecule m = named("OH", "nowhere/oh.dat");
  try {
    readMolFile(m, dir.path());
    FAIL() << "a data file was created in a missing folder";
  } catch (const Error &e) {
    EXPECT_STREQ(e.what(),
                 "molecule OH: data file nowhere/oh.dat is missing: its folder nowhere does not "
                 "exist");
  }
  EXPECT_FALSE(fs::exists(dir / "nowhere"));
}

} // namespace
} // namespace orvalen
