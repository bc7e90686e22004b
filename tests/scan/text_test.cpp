// Text in the scan's outputs: ill-formed UTF-8 replaced as Unicode recommends,
// a name whose 20-byte field cut a character in two, CSV cells (RFC 4180),
// and the reaction title, which for ASCII names is the report's own.

#include "molecule/molecule.hpp"
#include "rates/reaction.hpp"
#include "scan/text.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvalen::scan {
namespace {

const std::string FFFD = "\xef\xbf\xbd";

TEST(ScanText, IllFormedBytesBecomeOneReplacementPerMaximalPart) {
  struct Case {
    const char *what;
    std::string in, out;
  };
  const Case cases[] = {
      {"ASCII and whole characters stay", "OH \xc3\x85 \xe2\x86\x92 \xf0\x9f\x98\x80",
       "OH \xc3\x85 \xe2\x86\x92 \xf0\x9f\x98\x80"},
      // The Unicode Standard, chapter 3, table 3-8: U+FFFD for maximal subparts.
      {"Unicode table 3-8", "\x61\xf1\x80\x80\xe1\x80\xc2\x62\x80\x63\x80\xbf\x64",
       "a" + FFFD + FFFD + FFFD + "b" + FFFD + "c" + FFFD + FFFD + "d"},
      {"a byte that no character starts with", "X\xffY", "X" + FFFD + "Y"},
      {"overlong slash", "\xc0\xaf", FFFD + FFFD},
      {"overlong three bytes", "\xe0\x80\xaf", FFFD + FFFD + FFFD},
      {"surrogate", "\xed\xa0\x80", FFFD + FFFD + FFFD},
      {"above U+10FFFF", "\xf4\x90\x80\x80", FFFD + FFFD + FFFD + FFFD},
      {"cut short at the end", "AB\xe2\x86", "AB" + FFFD},
  };
  for (const Case &c : cases)
    EXPECT_EQ(validUtf8(c.in), c.out) << c.what;
}

TEST(ScanText, ANameFieldDropsTheCharacterItsEndCut) {
  struct Case {
    const char *what;
    std::string field, shown;
  };
  const Case cases[] = {
      {"ASCII, blanks after it", "OH                  ", "OH"},
      // 19 letters and the first byte of "Å" (C3 85): the cut took the second.
      {"two-byte character cut", "ABCDEFGHIJKLMNOPQRS\xc3", "ABCDEFGHIJKLMNOPQRS"},
      {"three-byte character cut after two bytes", "ABCDEFGHIJKLMNOPQR\xe2\x86",
       "ABCDEFGHIJKLMNOPQR"},
      {"a whole character at the end stays", "ABCDEFGHIJKLMNOPQR\xc3\x85",
       "ABCDEFGHIJKLMNOPQR\xc3\x85"},
      // A field with room left was not cut: a broken character there was read so.
      {"cut short before the blanks", "AB\xc3                 ", "AB" + FFFD},
      {"a stray byte at the end of a full field", "ABCDEFGHIJKLMNOPQRS\x85",
       "ABCDEFGHIJKLMNOPQRS" + FFFD},
      {"a stray byte inside", "X\xffY                 ", "X" + FFFD + "Y"},
      {"blank field", "                    ", ""},
  };
  for (const Case &c : cases)
    EXPECT_EQ(fieldText(c.field), c.shown) << c.what;
}

TEST(ScanText, CutsBeforeAWholeCharacter) {
  const std::string text = "A\xc3\x85\xe2\x86\x92"; // A, Å (2 bytes), → (3 bytes)
  EXPECT_EQ(wholeCharacters(text, 6), text);
  EXPECT_EQ(wholeCharacters(text, 5), "A\xc3\x85");
  EXPECT_EQ(wholeCharacters(text, 4), "A\xc3\x85");
  EXPECT_EQ(wholeCharacters(text, 3), "A\xc3\x85");
  EXPECT_EQ(wholeCharacters(text, 2), "A");
  EXPECT_EQ(wholeCharacters(text, 0), "");
}

TEST(ScanText, CsvCellsQuotedWhereRfc4180NeedsIt) {
  struct Case {
    const char *in, *out;
  };
  const Case cases[] = {
      {"OH Gtot (kJ/mol)", "OH Gtot (kJ/mol)"},
      {"kG*C**n (1/s)", "kG*C**n (1/s)"},
      {"A,B Qtot ()", "\"A,B Qtot ()\""},
      {"A\"B Qtot ()", "\"A\"\"B Qtot ()\""},
      {"\"", "\"\"\"\""},
      {"line\nbreak", "\"line\nbreak\""},
      {"", ""},
  };
  for (const Case &c : cases)
    EXPECT_EQ(csvCell(c.in), c.out) << c.in;
}

// The report's section title of a table of ASCII names, through the core.
std::string coreTitle(const std::vector<std::string> &first, const std::vector<std::string> &other,
                      int otherRole, const char *arrow) {
  MoleculeTable mol;
  for (const std::string &n : first)
    mol.at(REACTANT, mol.add(REACTANT)).name = fixedText(n, NAME_LEN);
  for (const std::string &n : other)
    mol.at(otherRole, mol.add(otherRole)).name = fixedText(n, NAME_LEN);
  const std::string t = trimmed(sectionTitle(mol, "", otherRole, arrow));
  return t.substr(std::min(t.size(), t.find_first_not_of(' ')));
}

TEST(ScanText, AsciiTitlesAreTheReportsAlsoWhereItsFieldCutsThem) {
  const std::vector<std::string> ten = {"HYDROGEN_ATOM_NUMBER",
                                        "DIHYDROGEN_MOLECULE_",
                                        "HYDROXYL_RADICAL_03",
                                        "WATER_04",
                                        "HYDROGEN_CYANIDE_05",
                                        "HYDROGEN_ATOM_NUMBER",
                                        "DIHYDROGEN_MOLECULE_",
                                        "HYDROXYL_RADICAL_08",
                                        "WATER_09",
                                        "HCN10"};
  struct Case {
    const char *what;
    std::vector<std::string> first, other;
    int role;
    const char *arrow;
  };
  const Case cases[] = {
      {"the example", {"OH", "CH4"}, {"TS1"}, TRANSITION_STATE, " ->"},
      {"a reaction", {"HCN"}, {"HNC"}, PRODUCT, " =="},
      // The ten names with their " +" fill 188 of the 255 bytes.
      {"cut among the products",
       ten,
       {"WATER_PRODUCT_11", "H12", "HYDROXYL_RADICAL_13", "H2_14", "HYDROGEN_CYANIDE_15"},
       PRODUCT,
       " =="},
      {"cut among the transition states",
       ten,
       {"TRANSITION_STATE_ONE", "TRANSITION_STATE_TWO", "TRANSITION_STATE_333",
        "TRANSITION_STATE_444"},
       TRANSITION_STATE,
       " ->"},
  };
  for (const Case &c : cases) {
    const std::string expected = coreTitle(c.first, c.other, c.role, c.arrow);
    EXPECT_EQ(reportTitle(c.first, c.other, c.arrow), expected) << c.what;
  }
  EXPECT_EQ(reportTitle({"OH", "CH4"}, {"TS1"}, " ->"), "OH + CH4 -> TS1");
}

TEST(ScanText, ATitleCutByItsFieldEndsAtAWholeCharacter) {
  // " OH ->" takes 6 bytes of the 255-byte field; each transition state
  // "Y" and six "→" (3 bytes each) takes 22 with its " +". Eleven fill 248;
  // the twelfth's " Y→" reaches 253, and byte 255 is inside its second "→",
  // which the cut drops whole. The "+" step then blanks the last character,
  // the first "→" (cut by bytes, the title would keep a stray first byte).
  const std::string arrow = "\xe2\x86\x92";
  std::string name = "Y";
  for (int i = 0; i < 6; ++i)
    name += arrow;
  const std::vector<std::string> ts(12, name);
  std::string expected = "OH ->";
  for (int i = 0; i < 11; ++i)
    expected += (i ? " + " : " ") + name;
  expected += " + Y";
  const std::string title = reportTitle({"OH"}, ts, " ->");
  EXPECT_EQ(title, expected);
  EXPECT_EQ(validUtf8(title), title);
}

} // namespace
} // namespace orvalen::scan
