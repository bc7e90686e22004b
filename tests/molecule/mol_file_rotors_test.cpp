// The hindered rotors block of a molecule data file: one line per rotor, its
// top atoms and its Fourier terms from fixed columns, refused where it cannot
// describe a torsion of the molecule, written so that it reads back.
#include "base/error.hpp"
#include "base/warnings.hpp"
#include "molecule/mol_file.hpp"
#include "molecule/mol_file_writer.hpp"
#include "molecule/molecule.hpp"
#include "support/mol_text.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>

namespace orvalen {
namespace {

using test::TempDir;

Molecule peroxideRecord() {
  return test::namedMolecule(REACTANT, "HOOH", "hooh.dat");
}

Molecule readText(const std::string &text) {
  return test::readMolText(text, peroxideRecord());
}

std::string errorOf(const std::string &text) {
  return test::molTextError(text, peroxideRecord());
}

// Hydrogen peroxide (H-O-O-H), its torsion the lowest mode (row 7).
MolFileData peroxide() {
  MolFileData d;
  d.title = {"HOOH from a test"};
  d.stoichiometry = "H2O2";
  d.symmetryGroup = "C2";
  d.mass = 34.0054793;
  d.pmoi = {1.6, 16.9, 17.6};
  d.rotationNumber = 2;
  d.energy = -151.2;
  d.atomicNumbers = {1, 8, 8, 1};
  d.coords = {{0.84, 0.90, 0.42}, {0.0, 0.73, -0.05}, {0.0, -0.73, -0.05}, {-0.84, -0.90, 0.42}};
  d.frequencies = {3800.0, 1400.0, 900.0, 380.0, 1300.0, 3810.0};
  return d;
}

std::string written(const MolFileData &d) {
  std::ostringstream out;
  writeMolFile(out, d);
  return out.str();
}

const std::string HEADER =
    "\n Hindered rotors (amu*A^2, kJ/mol)\n"
    " Rotor  Mode Pivot1 Pivot2 Sigma        Moment Kind       V0 or terms\n"
    " --------------------------------------------------------------------\n";
const std::string END = " --------------------------------------------------------------------\n";
// i6,i6,2i7,i6,f14.6,1x,a7 then f15.6 (cosine) or i15 (Fourier).
const std::string COSINE =
    "     1     7      2      3     2      0.407000 cosine       30.000000\n";
const std::string TOP = "   top    2    1\n";

// Base file: the writer's peroxide without rotors, then a block typed by hand.
std::string withBlock(const std::string &block) {
  return written(peroxide()) + block;
}

// "hooh.dat line N: " of the block's line k after its hyphens (a blank line,
// the marker, the column heads and the hyphens open the block).
std::string rotorLine(int k) {
  const std::string base = written(peroxide());
  const auto lines = std::count(base.begin(), base.end(), '\n');
  return "hooh.dat line " + std::to_string(lines + 5 + k) + ": ";
}

TEST(MolFileRotors, ReadsCosineAndFourierRotorsFromTheirColumns) {
  // HOOH has one torsion: the O-O bond seen from either oxygen, in two files
  // (one torsion is one rotor).
  const Molecule m = readText(withBlock(HEADER + COSINE + TOP + END));
  const Molecule other = readText(withBlock(
      HEADER + "     1     8      3      2     1      0.407000 Fourier              4\n" +
      "   top    3    4\n" +
      " terms   0    10.00000000     0.00000000   1   -12.50000000     1.25000000   2     "
      "0.00000000     0.00000000\n" +
      " terms   3     2.50000000    -0.75000000\n" + END));
  ASSERT_EQ(m.rotors.size(), 1U);
  ASSERT_EQ(other.rotors.size(), 1U);
  const HinderedRotor &a = m.rotors[0];
  EXPECT_EQ(a.mode, 7);
  EXPECT_EQ(a.pivot1, 2);
  EXPECT_EQ(a.pivot2, 3);
  EXPECT_EQ(a.sigma, 2);
  EXPECT_EQ(a.moment, 0.407);
  EXPECT_TRUE(a.cosine);
  EXPECT_EQ(a.barrier, 30.0);
  EXPECT_EQ(a.top, (std::vector<int>{2, 1}));
  const HinderedRotor &b = other.rotors[0];
  EXPECT_FALSE(b.cosine);
  EXPECT_EQ(b.mode, 8);
  EXPECT_EQ(b.top, (std::vector<int>{3, 4}));
  ASSERT_EQ(b.fourier.size(), 4U);
  EXPECT_EQ(b.fourier[1][0], -12.5);
  EXPECT_EQ(b.fourier[1][1], 1.25);
  EXPECT_EQ(b.fourier[3][1], -0.75);
  // The block after the frequency block leaves the rest as it was.
  EXPECT_EQ(m.natoms, 4);
  EXPECT_EQ(m.nfreq, 12);
}

TEST(MolFileRotors, WrittenRotorsReadBackToThePrintedDigits) {
  MolFileData d = peroxide();
  HinderedRotor cosine;
  cosine.mode = 7;
  cosine.pivot1 = 2;
  cosine.pivot2 = 3;
  cosine.top = {2, 1};
  cosine.sigma = 2;
  cosine.moment = 0.4070123;
  cosine.cosine = true;
  cosine.barrier = 29.87654321;
  HinderedRotor fourier = cosine;
  fourier.mode = 8;
  fourier.pivot1 = 3;
  fourier.pivot2 = 2;
  fourier.top = {3, 4};
  fourier.cosine = false;
  fourier.sigma = 1;
  // Seven terms: three lines of terms, the last holding one.
  for (int k = 0; k < 7; ++k)
    fourier.fourier.push_back({k == 0 ? 6.0 : -1.0, 0.123456789 * k});
  // The O-O torsion from either side: one torsion, one rotor, so two files.
  d.rotors = {cosine};
  const std::string text = written(d);
  EXPECT_NE(text.find(HEADER + "     1     7      2      3     2      0.407012 cosine       "
                               "29.876543\n   top    2    1\n"),
            std::string::npos)
      << text;
  const Molecule m = readText(text);
  ASSERT_EQ(m.rotors.size(), 1U);
  EXPECT_EQ(m.rotors[0].moment, 0.407012);
  EXPECT_EQ(m.rotors[0].barrier, 29.876543);
  d.rotors = {fourier};
  const Molecule f = readText(written(d));
  ASSERT_EQ(f.rotors.size(), 1U);
  ASSERT_EQ(f.rotors[0].fourier.size(), 7U);
  EXPECT_EQ(f.rotors[0].fourier[6][1], 0.74074073);
  EXPECT_EQ(f.rotors[0].fourier[0][0], 6.0);
  EXPECT_EQ(f.rotors[0].top, (std::vector<int>{3, 4}));
}

TEST(MolFileRotors, RotorsThatCannotBeATorsionAreRefusedNamingFileAndLine) {
  const std::string line8 = rotorLine(0) + "hindered rotor 1: ";
  const struct {
    const char *name;
    std::string block;
    std::string message;
  } cases[] = {
      {"mode_zero_row",
       HEADER + "     1     3      2      3     2      0.407000 cosine       30.0\n" + TOP + END,
       line8 + "mode 3 is not a real vibration of the frequency block; write the row of the mode "
               "the rotor replaces in columns 7-12"},
      {"mode_beyond",
       HEADER + "     1    13      2      3     2      0.407000 cosine       30.0\n" + TOP + END,
       line8 + "mode 13 is beyond the 12 rows of the frequency block; write the row of the mode "
               "the rotor replaces in columns 7-12"},
      {"one_mode_twice", HEADER + COSINE + TOP + COSINE + TOP + END,
       rotorLine(2) + "hindered rotor 2: mode 7 is replaced by hindered rotor 1 already; each "
                      "rotor replaces a mode of its own"},
      {"same_pivots",
       HEADER + "     1     7      2      2     2      0.407000 cosine       30.0\n" + TOP + END,
       line8 + "pivots \"2\" and \"2\": write the two atoms of the bond, numbered from 1, in "
               "columns 13-19 and 20-26"},
      {"atom_beyond", HEADER + COSINE + "   top    2    1    5\n" + END,
       line8 + "atom 5 is beyond the 4 atoms of the coordinates block"},
      {"top_without_pivot", HEADER + COSINE + "   top    1\n" + END,
       line8 + "the top does not hold its pivot atom 2 (columns 13-19); the top is the group on "
               "that atom's side of the bond"},
      {"top_with_other_pivot", HEADER + COSINE + "   top    2    1    3\n" + END,
       line8 + "the top holds the other pivot atom 3; the top is the group on the side of pivot 2"},
      {"no_top", HEADER + COSINE + END,
       line8 + "no \"top\" line: write the atoms of the rotating group on a line \"   top\" after "
               "the rotor's line"},
      {"sigma_zero",
       HEADER + "     1     7      2      3     0      0.407000 cosine       30.0\n" + TOP + END,
       line8 + "sigma \"0\": a torsion's symmetry number is 1 to 12; write it in columns 27-32"},
      {"sigma_thirteen",
       HEADER + "     1     7      2      3    13      0.407000 cosine       30.0\n" + TOP + END,
       line8 + "sigma \"13\": a torsion's symmetry number is 1 to 12; write it in columns 27-32"},
      {"moment_zero",
       HEADER + "     1     7      2      3     2      0.000000 cosine       30.0\n" + TOP + END,
       line8 + "reduced moment \"0.000000\": write the moment in amu*A^2, above 0 and at most "
               "10000, in columns 33-46"},
      {"moment_huge",
       HEADER + "     1     7      2      3     2  10000.000001 cosine       30.0\n" + TOP + END,
       line8 + "reduced moment \"10000.000001\": write the moment in amu*A^2, above 0 and at "
               "most 10000, in columns 33-46"},
      // A barrier in J/mol where kJ/mol belong.
      {"cosine_barrier_huge",
       HEADER + "     1     7      2      3     2      0.407000 cosine    30000.0\n" + TOP + END,
       line8 + "cosine barrier \"30000.0\" kJ/mol: no torsion has a barrier above 200 kJ/mol; "
               "write V0 in kJ/mol (a value in J/mol or cal/mol is 1000 or 4184 times too "
               "large)"},
      // V = 150 (1 - cos phi): a barrier of 300 kJ/mol.
      {"fourier_barrier_huge",
       HEADER + "     1     7      2      3     1      0.407000 Fourier              2\n" + TOP +
           " terms   0   150.00000000     0.00000000   1  -150.00000000     0.00000000\n" + END,
       line8 + "the Fourier terms make a barrier of 300.000 kJ/mol, above the 200 kJ/mol of any "
               "torsion; write the terms in kJ/mol"},
      // V = 5 (1 - cos phi), one well a turn, with sigma 3: turned by 120 degrees it moves
      // by up to 5 |cos(phi + 120) - cos phi| = 5 sqrt(3) = 8.660 kJ/mol, above 0.1 x 10 + 0.2.
      {"fourier_period_not_sigma",
       HEADER + "     1     7      2      3     3      0.407000 Fourier              2\n" + TOP +
           " terms   0     5.00000000     0.00000000   1    -5.00000000     0.00000000\n" + END,
       line8 + "the Fourier potential (barrier 10.000 kJ/mol) does not repeat 3 times a turn, as "
               "sigma 3 says: turned by 360/3 degrees it moves by up to 8.660 kJ/mol, so "
               "Q/sigma would count too few states; write the sigma of the potential's wells, "
               "or the potential of this torsion"},
      // The O-O torsion from both oxygens: one torsion counted twice.
      {"one_bond_twice",
       HEADER + COSINE + TOP +
           "     2     8      3      2     2      0.407000 cosine       30.0\n" +
           "   top    3    4\n" + END,
       rotorLine(2) + "hindered rotor 2: pivots 3 and 2: hindered rotor 1 (line " +
           rotorLine(0).substr(14, rotorLine(0).size() - 16) +
           ") turns about the same bond already; one torsion is one rotor: remove one of the "
           "two"},
      {"negative_barrier",
       HEADER + "     1     7      2      3     2      0.407000 cosine       -3.0\n" + TOP + END,
       line8 + "cosine barrier \"-3.0\" kJ/mol: V0/2 (1 - cos(sigma phi)) has its minimum at phi "
               "= 0 only for V0 of 0 or more"},
      {"unknown_kind",
       HEADER + "     1     7      2      3     2      0.407000 Morse        30.0\n" + TOP + END,
       line8 +
           "potential \"Morse\": write cosine (and the barrier V0 in kJ/mol in columns 55-69) or "
           "Fourier (and the number of terms in columns 55-69) in columns 48-54"},
      {"terms_missing",
       HEADER + "     1     7      2      3     2      0.407000 Fourier              3\n" + TOP +
           " terms   0     1.00000000     0.00000000   1    -1.00000000     0.00000000\n" + END,
       line8 + "2 Fourier terms on \"terms\" lines, not the 3 the rotor line announces"},
      {"terms_out_of_order",
       HEADER + "     1     7      2      3     2      0.407000 Fourier              3\n" + TOP +
           " terms   0     1.00000000     0.00000000   2    -1.00000000     0.00000000\n" + END,
       line8 + "term k = 2 where k = 1 is due: write the terms in order from k = 0"},
      {"terms_for_cosine",
       HEADER + COSINE + TOP + " terms   0     1.00000000     0.00000000\n" + END,
       line8 + "a \"terms\" line for a cosine potential; write Fourier and the number of terms on "
               "the rotor line, or leave the terms out"},
      {"top_before_rotor", HEADER + TOP + END,
       rotorLine(0) + "a \"top\" line before any rotor line of the hindered rotors block"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(errorOf(withBlock(c.block)), c.message);
  }
}

// A rotor replaces a mode the thermochemistry counts: a row above 0.1 cm-1
// (LOWEST_VIBRATION), as thermo's vibrational() counts one. A row of 0.05 cm-1
// is refused by the reader and by the writer alike.
// HOOH's O-O torsion as the writer takes it: mode 7, pivots 2 and 3, one
// hydrogen and its oxygen as the top, a cosine barrier of 30 kJ/mol.
HinderedRotor hoohRotor() {
  HinderedRotor r;
  r.mode = 7;
  r.pivot1 = 2;
  r.pivot2 = 3;
  r.top = {2, 1};
  r.moment = 0.4;
  r.cosine = true;
  r.barrier = 30.0;
  return r;
}

TEST(MolFileRotors, ARowAtOrBelowTheLowestVibrationIsNoModeToReplace) {
  MolFileData low = peroxide();
  low.frequencies.push_back(0.05); // row 7
  const std::string base = written(low);
  const auto line = std::count(base.begin(), base.end(), '\n') + 5; // the block's first rotor
  EXPECT_EQ(errorOf(base + HEADER + COSINE + TOP + END),
            "hooh.dat line " + std::to_string(line) +
                ": hindered rotor 1: mode 7 is not a real vibration of the frequency block; write "
                "the row of the mode the rotor replaces in columns 7-12");
  HinderedRotor r = hoohRotor();
  low.rotors = {r};
  EXPECT_THROW(written(low), Error);
  r.mode = 8; // 380 cm-1
  low.rotors = {r};
  EXPECT_NO_THROW(written(low));
}

TEST(MolFileRotors, AtMostTwentyRotors) {
  // A made-up molecule of eight atoms with 21 real modes, each rotor replacing
  // one and turning about a bond of its own (atoms 1-2, 1-3, ..., 1-8, 2-3, ...).
  MolFileData d = peroxide();
  d.atomicNumbers = {1, 8, 8, 1, 1, 8, 8, 1};
  for (std::size_t k = 0; k < 4; ++k)
    d.coords.push_back({d.coords[k][0] + 3.0, d.coords[k][1], d.coords[k][2]});
  d.frequencies.clear();
  for (int k = 0; k < MAX_ROTORS + 1; ++k)
    d.frequencies.push_back(100.0 + k);
  const std::string base = written(d);
  std::string block = HEADER;
  int p1 = 1, p2 = 1;
  for (int k = 0; k < MAX_ROTORS + 1; ++k) {
    if (++p2 > 8)
      p2 = ++p1 + 1;
    char row[96];
    std::snprintf(row, sizeof row, "%6d%6d%7d%7d%6d%14.6f %-7s%15.6f\n", k + 1, k + 7, p1, p2, 1,
                  0.407, "cosine", 10.0);
    block += std::string(row) + "   top" + (p1 < 10 ? "    " : "   ") + std::to_string(p1) + "\n";
  }
  const auto lines = std::count(base.begin(), base.end(), '\n');
  // Rotor 21 is on the block's line 4 + 2 * 20.
  EXPECT_EQ(errorOf(base + block + END),
            "hooh.dat line " + std::to_string(lines + 5 + 2 * MAX_ROTORS) +
                ": more than 20 hindered rotors in the block (the most a molecule holds)");
  const std::size_t cut = block.rfind("    21");
  EXPECT_EQ(readText(base + block.substr(0, cut) + END).rotors.size(), 20U);
}

TEST(MolFileRotors, WriterRefusesRotorsThatWouldNotReadBack) {
  const HinderedRotor good = hoohRotor();
  auto with = [&](auto change) {
    MolFileData d = peroxide();
    HinderedRotor r = good;
    change(r);
    d.rotors = {r};
    return d;
  };
  EXPECT_NO_THROW(written(with([](HinderedRotor &) {})));
  EXPECT_THROW(written(with([](HinderedRotor &r) { r.mode = 2; })), Error);     // a zero row
  EXPECT_THROW(written(with([](HinderedRotor &r) { r.pivot2 = 9; })), Error);   // no atom 9
  EXPECT_THROW(written(with([](HinderedRotor &r) { r.top = {1}; })), Error);    // no pivot
  EXPECT_THROW(written(with([](HinderedRotor &r) { r.top = {2, 3}; })), Error); // other pivot
  EXPECT_THROW(written(with([](HinderedRotor &r) { r.barrier = -1.0; })), Error);
  EXPECT_THROW(written(with([](HinderedRotor &r) {
                 r.cosine = false;
                 r.fourier.assign(MAX_ROTOR_TERMS + 1, {0.0, 0.0});
               })),
               Error);
  MolFileData twice = with([](HinderedRotor &) {});
  twice.rotors.push_back(twice.rotors[0]);
  EXPECT_THROW(written(twice), Error);
}

} // namespace
} // namespace orvalen
