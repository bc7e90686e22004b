// The element of an atom label, in each form the outputs and the user's files
// write it, and the XYZ block shared by --xyz and the xtb reader. Atomic
// numbers are the periodic table's.
#include "fixedio/error.hpp"
#include "qc/output_text.hpp"
#include "qc/xyz.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace orvalen::qc {
namespace {

struct Label {
  const char *text;
  AtomLabel form;
  std::optional<long> charge;
  std::optional<int> element;
};

TEST(AtomLabels, EachFormNamesTheElementOrNone) {
  const Label labels[] = {
      // A symbol alone (ORCA, xtb's $coord), in any letter case.
      {"C", AtomLabel::Symbol, {}, 6},
      {"cl", AtomLabel::Symbol, {}, 17},
      {"CL", AtomLabel::Symbol, {}, 17},
      {"Rn", AtomLabel::Symbol, {}, 86},
      {"C1", AtomLabel::Symbol, {}, {}},
      {"6", AtomLabel::Symbol, {}, {}},
      {"X", AtomLabel::Symbol, {}, {}},
      {"", AtomLabel::Symbol, {}, {}},
      // A symbol or an atomic number from H to Rn (XYZ files).
      {"O", AtomLabel::SymbolOrNumber, {}, 8},
      {"8", AtomLabel::SymbolOrNumber, {}, 8},
      {"+8", AtomLabel::SymbolOrNumber, {}, 8},
      {"86", AtomLabel::SymbolOrNumber, {}, 86},
      {"87", AtomLabel::SymbolOrNumber, {}, {}},
      {"0", AtomLabel::SymbolOrNumber, {}, {}},
      {"-1", AtomLabel::SymbolOrNumber, {}, {}},
      {"8.0", AtomLabel::SymbolOrNumber, {}, {}},
      {"O1", AtomLabel::SymbolOrNumber, {}, {}},
      {"Bq", AtomLabel::SymbolOrNumber, {}, {}},
      // A symbol with a tag (NWChem, Psi4): the two-letter symbol first.
      {"H1", AtomLabel::Tagged, {}, 1},
      {"Cl2", AtomLabel::Tagged, {}, 17},
      {"CL1", AtomLabel::Tagged, {}, 17},
      {"C_a", AtomLabel::Tagged, {}, 6},
      {"Oxygen", AtomLabel::Tagged, {}, 8},
      {"Co", AtomLabel::Tagged, {}, 27},
      {"Xq", AtomLabel::Tagged, {}, {}},
      {"1H", AtomLabel::Tagged, {}, {}},
      {"Gh(H)", AtomLabel::Tagged, {}, {}},
      // The nuclear charge printed beside the tag decides between the two.
      {"Co", AtomLabel::Tagged, 6, 6},
      {"Co", AtomLabel::Tagged, 27, 27},
      {"Sn1", AtomLabel::Tagged, 16, 16},
      {"Hf", AtomLabel::Tagged, 1, 1},
      // A charge that agrees with neither reading leaves the two-letter one.
      {"Co", AtomLabel::Tagged, 8, 27},
  };
  for (const Label &l : labels)
    EXPECT_EQ(elementOfLabel(l.text, l.form, l.charge), l.element)
        << "\"" << l.text << "\" form " << static_cast<int>(l.form);
}

TEST(XyzBlock, ReadsOneBlockAmongOtherLinesAndTellsWhereItEnds) {
  // As xtb prints its final structure, with lines before and after it.
  const std::vector<std::string_view> lines = {
      " final structure:",
      "3",
      " energy: -5.07 gnorm: 0.0001 xtb: 6.5.1",
      "O   0.0  0.0  0.099",
      "1   0.0  0.772  -0.4695",
      "h   0.0 -0.772  -0.4695  extra words",
      "",
      " Bond Distances (Angstroems)",
  };
  const XyzBlock block = readXyz("h2o.out", lines, 1);
  EXPECT_EQ(block.atoms.z, (std::vector<int>{8, 1, 1}));
  ASSERT_EQ(block.atoms.r.size(), 3u);
  EXPECT_EQ(block.atoms.r[1], (Vec3{0.0, 0.772, -0.4695}));
  EXPECT_EQ(block.atoms.r[2], (Vec3{0.0, -0.772, -0.4695}));
  EXPECT_EQ(block.end, 6u);
}

struct BadXyz {
  const char *name;
  std::vector<std::string_view> lines;
  std::optional<long> maxAtoms;
  const char *message;
};

TEST(XyzBlock, RefusesWhatIsNoGeometryWithFileAndLine) {
  const BadXyz cases[] = {
      {"no count",
       {"O 0 0 0"},
       {},
       "m.xyz line 1: expected the number of atoms of an XYZ file, "
       "found \"O 0 0 0\""},
      {"count zero",
       {"0", ""},
       {},
       "m.xyz line 1: expected the number of atoms of an XYZ file, "
       "found \"0\""},
      {"no line at all",
       {},
       {},
       "m.xyz line 1: expected the number of atoms of an XYZ file, "
       "found \"\""},
      {"over the data file's limit",
       {"101", "", "H 0 0 0"},
       100,
       "m.xyz line 1: 101 atoms, more than the 100 a molecule data file holds"},
      {"cut short", {"2", "water", "O 0 0 0"}, {}, "m.xyz: ends after 1 of 2 atoms"},
      {"comment line missing", {"1"}, {}, "m.xyz: ends after 0 of 1 atoms"},
      {"three words",
       {"1", "", "O 0 0"},
       {},
       "m.xyz line 3: expected an element and three "
       "coordinates, found \"O 0 0\""},
      {"ghost atom", {"1", "", "Bq 0 0 0"}, {}, "m.xyz line 3: \"Bq\" is not an element (H to Rn)"},
      {"word for a coordinate",
       {"1", "", "O 0 0 zero"},
       {},
       "m.xyz line 3: cannot read \"zero\" as a number"},
  };
  for (const BadXyz &c : cases) {
    try {
      readXyz("m.xyz", c.lines, 0, c.maxAtoms);
      ADD_FAILURE() << c.name << ": not refused";
    } catch (const Error &e) {
      EXPECT_EQ(std::string(e.what()), c.message) << c.name;
    }
  }
}

} // namespace
} // namespace orvalen::qc
