// The element of an atom label, in each form the outputs and the user's files
// write it, the XYZ block shared by --xyz and the xtb reader, and the text
// helpers every reader uses: complete lines, decimal numbers, quoted text in
// messages. Atomic numbers are the periodic table's.
#include "base/error.hpp"
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
  const std::string text = " final structure:\n"
                           "3\n"
                           " energy: -5.07 gnorm: 0.0001 xtb: 6.5.1\n"
                           "O   0.0  0.0  0.099\n"
                           "1   0.0  0.772  -0.4695\n"
                           "h   0.0 -0.772  -0.4695  extra words\n"
                           "\n"
                           " Bond Distances (Angstroems)\n";
  const XyzBlock block = readXyz("h2o.out", Lines(text), 1);
  EXPECT_EQ(block.atoms.z, (std::vector<int>{8, 1, 1}));
  ASSERT_EQ(block.atoms.r.size(), 3u);
  EXPECT_EQ(block.atoms.r[1], (Vec3{0.0, 0.772, -0.4695}));
  EXPECT_EQ(block.atoms.r[2], (Vec3{0.0, -0.772, -0.4695}));
  EXPECT_EQ(block.end, 6u);
}

struct BadXyz {
  const char *name;
  std::string text; // a file typed by hand: its last line feed may be missing
  std::optional<long> maxAtoms;
  const char *message;
};

TEST(XyzBlock, RefusesWhatIsNoGeometryWithFileAndLine) {
  const BadXyz cases[] = {
      {"no count",
       "O 0 0 0",
       {},
       "m.xyz line 1: expected the number of atoms of an XYZ file, "
       "found \"O 0 0 0\""},
      {"count zero",
       "0\n\n",
       {},
       "m.xyz line 1: expected the number of atoms of an XYZ file, "
       "found \"0\""},
      {"no line at all",
       "",
       {},
       "m.xyz line 1: expected the number of atoms of an XYZ file, "
       "found \"\""},
      {"over the data file's limit", "101\n\nH 0 0 0\n", 100,
       "m.xyz line 1: 101 atoms, more than the 100 a molecule data file holds"},
      {"cut short", "2\nwater\nO 0 0 0", {}, "m.xyz: ends after 1 of 2 atoms"},
      {"comment line missing", "1\n", {}, "m.xyz: ends after 0 of 1 atoms"},
      {"three words",
       "1\n\nO 0 0\n",
       {},
       "m.xyz line 3: expected an element and three "
       "coordinates, found \"O 0 0\""},
      {"ghost atom", "1\n\nBq 0 0 0\n", {}, "m.xyz line 3: \"Bq\" is not an element (H to Rn)"},
      {"word for a coordinate",
       "1\n\nO 0 0 zero\n",
       {},
       "m.xyz line 3: cannot read \"zero\" as a number"},
  };
  for (const BadXyz &c : cases) {
    try {
      readXyz("m.xyz", Lines(c.text, Lines::Last::Kept), 0, c.maxAtoms);
      ADD_FAILURE() << c.name << ": not refused";
    } catch (const Error &e) {
      EXPECT_EQ(std::string(e.what()), c.message) << c.name;
    }
  }
}

TEST(Lines, AnOutputKeepsItsCompleteLinesAFileTypedByHandItsLastOneToo) {
  struct Case {
    const char *text;
    std::vector<std::string_view> output, typed; // Last::Dropped, Last::Kept
  };
  const Case cases[] = {
      {"", {}, {}},
      {"\n", {""}, {""}},
      {"a\nb\n", {"a", "b"}, {"a", "b"}},
      // A number cut while it was written is never read as a shorter one.
      {" CCSD(T)= -0.75017760422D+0", {}, {" CCSD(T)= -0.75017760422D+0"}},
      {"a\r\nb\r\nc", {"a", "b"}, {"a", "b", "c"}},
      {"a\rb\n", {"a\rb"}, {"a\rb"}}, // a carriage return inside a line stays
      {"\n\nx", {"", ""}, {"", "", "x"}},
  };
  for (const Case &c : cases) {
    for (const auto last : {Lines::Last::Dropped, Lines::Last::Kept}) {
      const Lines lines(c.text, last);
      const auto &expected = last == Lines::Last::Dropped ? c.output : c.typed;
      ASSERT_EQ(lines.size(), expected.size()) << '"' << c.text << '"';
      for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << '"' << c.text << "\" line " << i;
      EXPECT_EQ(lines[expected.size()], "") << "past the last line";
    }
  }
}

TEST(Lines, AnyLineOfALongOutputInAnyOrder) {
  // Lines found from the index of every 256th line start, from the line asked
  // for before, backwards and forwards: line k holds the number k.
  std::string text;
  for (int k = 0; k < 2000; ++k)
    text += std::to_string(k) + (k % 3 == 0 ? "" : " words") + "\n";
  const Lines lines(text);
  ASSERT_EQ(lines.size(), 2000u);
  const std::size_t order[] = {0, 1, 255, 256, 257, 1999, 3, 511, 512, 510, 1024, 1023, 700, 0};
  for (const std::size_t k : order)
    EXPECT_EQ(parseInteger(splitWords(lines[k])[0]), static_cast<long>(k)) << k;
  for (std::size_t k = 0; k < lines.size(); ++k)
    ASSERT_EQ(parseInteger(splitWords(lines[k])[0]), static_cast<long>(k)) << k;
}

TEST(Numbers, AreDecimalAndHaveOneSign) {
  struct Case {
    const char *word;
    std::optional<double> real;
    std::optional<long> integer;
  };
  const Case cases[] = {
      {"1.5", 1.5, {}},   {"-2.0E-3", -0.002, {}}, {"1.5D+02", 150.0, {}}, // a Fortran exponent
      {"+7", 7.0, 7},     {"-12", -12.0, -12},     {"010", 10.0, 10}, // decimal, not octal eight
      {"+-1648", {}, {}}, {"-+1648", {}, {}},      {"++1", {}, {}},        {"0x10", {}, {}},
      {"inf", {}, {}},    {"nan", {}, {}},         {"1e400", {}, {}},      {"1.5 ", {}, {}},
      {"", {}, {}},       {"-", {}, {}},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(parseReal(c.word), c.real) << '"' << c.word << '"';
    EXPECT_EQ(parseInteger(c.word), c.integer) << '"' << c.word << '"';
  }
}

TEST(Messages, QuoteTheTextOfAnOutputOnOneReadableLine) {
  // A NUL byte would end the message where it stands.
  EXPECT_EQ(inQuotes(std::string_view("12\0"
                                      "34\tx\x7f",
                                      8)),
            "\"12\\x0034\\tx\\x7f\"");
  EXPECT_EQ(inQuotes(std::string(300, 'a')), "\"" + std::string(200, 'a') + "...\"");
}

} // namespace
} // namespace orvalen::qc
