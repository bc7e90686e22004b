// Bad input end to end: the real binary on malformed job inputs and molecule
// data files must stop with status 1, one line "orvalen: ..." on standard
// error that names the file and line (or the table and index), and a report
// that holds exactly what was written before the stop. Since every data file
// is read before any thermochemistry, a data file error leaves the banner only.
// Hostile input (binary bytes, NUL, huge lines, many lines) must end cleanly.
// The inputs the fuzzers found are replayed at the end.

#include "driver/banner.hpp"
#include "fixedio/format.hpp"
#include "fuzz/fuzz_targets.hpp"
#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace orvalen {
namespace {

namespace fs = std::filesystem;

const fs::path FIXTURES = fs::path(ORVALEN_FIXTURES) / "bad_jobs";

std::string bannerText() {
  std::ostringstream s;
  fixedio::Writer out(s);
  printTitle(out, BUILT_NUMBER);
  return s.str();
}

void copyFixture(const test::TempDir &dir, const std::string &name, const std::string &as = "") {
  fs::copy_file(FIXTURES / name, dir / (as.empty() ? name : as));
}

std::string repeated(const std::string &line, int n) {
  std::string s;
  for (int i = 0; i < n; ++i)
    s += line;
  return s;
}

// A data file whose coordinates block has `atoms` hydrogen atoms (block marker
// on line 1, header on line 2, atoms from line 3).
std::string atomsFile(int atoms) {
  std::string s = " Molecular coordinates in principal axes (A)\n"
                  " Center      Z            X              Y              Z\n";
  for (int a = 1; a <= atoms; ++a)
    s += fixedio::format("(i7,i10,3x,3f15.6)", a, 1, 0.1 * a, 0.0, 0.0);
  return s + " ----------------------------------------------------------------\n";
}

// A data file whose frequency table has `modes` rows (marker on line 1, two
// header lines, rows from line 4).
std::string modesFile(int modes) {
  std::string s = " No. Frequency Intensity\n      cm-1     km/mol\n ---------------------\n";
  for (int n = 1; n <= modes; ++n)
    s += fixedio::format("(i4,2f9.3)", n, 100.0 + n, 1.0);
  return s + " ---------------------\n";
}

// "MULT=(1,1,...)" with n values.
std::string valueList(const std::string &key, int n) {
  std::string s = key + "=(";
  for (int k = 1; k <= n; ++k)
    s += k > 1 ? ",1" : "1";
  return s + ")";
}

// The words "A1 A2 ... An" after `head`.
std::string wordsLine(const std::string &head, int total) {
  std::string s = head;
  const int have = static_cast<int>(std::count(head.begin(), head.end(), ' ')) + 1;
  for (int k = have + 1; k <= total; ++k)
    s += " A" + std::to_string(k);
  return s + "\n";
}

enum class Report { BannerOnly, None };

struct BadCase {
  std::string name;
  std::function<void(const test::TempDir &)> setup; // writes job.inp and its files
  std::vector<std::string> message;                 // texts the error line must hold
  Report report = Report::BannerOnly;
};

// A good first molecule and a bad data file for the second one, in the product
// role, so that the error comes after one data file has been read.
std::function<void(const test::TempDir &)> secondFileBad(const std::string &fixture) {
  return [fixture](const test::TempDir &dir) {
    copyFixture(dir, "water.dat");
    copyFixture(dir, fixture);
    dir.write("job.inp",
              "! a good reactant, a bad product\nREACT W water.dat\nPROD X " + fixture + "\n");
  };
}

std::vector<BadCase> badCases() {
  const auto job = [](std::string text, std::vector<std::string> files = {"water.dat"}) {
    return [text, files](const test::TempDir &dir) {
      for (const auto &f : files)
        copyFixture(dir, f);
      dir.write("job.inp", text);
    };
  };
  return {
      // Capacities of the job input.
      {"EleventhReactant",
       job("! eleven reactants\n" + repeated("REACT W water.dat\n", 11)),
       {"job.inp line 12", "MOL(1, 11)"}},
      {"EleventhProduct",
       job(repeated("PROD W water.dat\n", 11)),
       {"job.inp line 11", "MOL(2, 11)"}},
      {"EleventhTransitionState",
       job("REACT W water.dat\n" + repeated("TS W water.dat\n", 11)),
       {"job.inp line 12", "MOL(3, 11)"}},
      {"TwentyOneWordsOnMoleculeLine",
       job(wordsLine("REACT W water.dat", 21)),
       {"job.inp line 1", "more than 20 words"}},
      {"TwentyOneWordsOnKeffLine",
       job("REACT W water.dat\n" + wordsLine("KEFF 2.5E15 1", 21)),
       {"job.inp line 2", "more than 20 words"}},
      {"FiftyOneOptionValues",
       job("REACT W water.dat " + valueList("MULT", 51) + "\n"),
       {"job.inp line 1", "more than 50 values"}},
      {"FiftyOneConditionValues",
       job("COND " + valueList("TEMP", 51) + "\nREACT W water.dat\n"),
       {"job.inp line 1", "more than 50 values"}},
      {"OptionIntegerOverflow",
       job("REACT W water.dat MULT=99999999999\n"),
       {"job.inp line 1", "99999999999"}},
      // KEFF words are read with G20.10 and I20.
      {"KeffConcentrationNotANumber", job("KEFF 2.5X15 1\n"), {"job.inp line 1", "\"2.5X15\""}},
      {"KeffExponentWithPoint", job("KEFF 2.5E15 1.0\n"), {"job.inp line 1", "\"1.0\""}},
      {"KeffExponentTooLarge", job("KEFF 2.5E15 3000000000\n"), {"job.inp line 1", "3000000000"}},
      {"KeffConcentrationLongerThanField",
       job("! the exponent lies beyond column 20\nKEFF 2.500000000000000000E15\n"),
       {"job.inp line 2", "2.500000000000000000E15"}},
      // One bad field per marker of the data file, in the second molecule's file.
      {"MomentsNotANumber",
       secondFileBad("moments_letter.dat"),
       {"moments_letter.dat line 6", "\"1.15492O\""}},
      {"RotationNumberWithPoint",
       secondFileBad("rotnum_point.dat"),
       {"rotnum_point.dat line 7", "\"2.\""}},
      {"MassNotANumber",
       secondFileBad("mass_letters.dat"),
       {"mass_letters.dat line 5", "\"18.0lO6\""}},
      {"ImaginaryCountReal", secondFileBad("nneg_real.dat"), {"nneg_real.dat line 8", "\"0.0\""}},
      {"MultiplicityLetter", secondFileBad("mult_letter.dat"), {"mult_letter.dat line 9", "\"S\""}},
      {"BaseEnergyTwoSigns",
       secondFileBad("energy_two_signs.dat"),
       {"energy_two_signs.dat line 10", "\"--76.40895310\""}},
      {"AtomicNumberReal",
       secondFileBad("atom_real_z.dat"),
       {"atom_real_z.dat line 15", "\"1.0\""}},
      {"FrequencyLetter",
       secondFileBad("mode_letter.dat"),
       {"mode_letter.dat line 28", "\"1713.l51\""}},
      // The end of the file within the lines skipped after a block marker.
      {"EndRightAfterCoordinatesMarker",
       secondFileBad("eof_after_coordinates.dat"),
       {"eof_after_coordinates.dat", "end of file", "line 12"}},
      {"EndRightAfterFrequencyMarker",
       secondFileBad("eof_after_frequency_marker.dat"),
       {"eof_after_frequency_marker.dat", "end of file", "line 19"}},
      {"EndInFrequencyHeader",
       secondFileBad("eof_in_frequency_header.dat"),
       {"eof_in_frequency_header.dat", "end of file", "line 20"}},
      // Capacities of a data file.
      {"HundredAndFirstAtom",
       [](const test::TempDir &dir) {
         copyFixture(dir, "water.dat");
         dir.write("atoms.dat", atomsFile(101));
         dir.write("job.inp", "REACT W water.dat\nTS T atoms.dat\n");
       },
       {"atoms.dat line 103", "NA(101)"}},
      {"ThreeHundredAndFirstFrequency",
       [](const test::TempDir &dir) {
         copyFixture(dir, "water.dat");
         dir.write("modes.dat", modesFile(301));
         dir.write("job.inp", "REACT W water.dat\nTS T modes.dat\n");
       },
       {"modes.dat line 304", "FREQ(301)"}},
      // Data files that cannot be opened or are not named.
      {"DataFileIsFolder",
       [](const test::TempDir &dir) {
         copyFixture(dir, "water.dat");
         fs::create_directory(dir / "a.dat");
         dir.write("job.inp", "REACT W water.dat\nPROD A a.dat\n");
       },
       {"a.dat", "directory"}},
      // A device or a pipe could stream for ever or block: only plain files are read.
      {"DataFileIsDevice",
       job("REACT W water.dat\nPROD Z /dev/zero\n"),
       {"/dev/zero", "not a regular file"}},
      {"DataFileIsPipe",
       [](const test::TempDir &dir) {
         copyFixture(dir, "water.dat");
         ASSERT_EQ(::mkfifo((dir / "p.dat").c_str(), 0600), 0);
         dir.write("job.inp", "REACT W water.dat\nPROD P p.dat\n");
       },
       {"p.dat", "not a regular file"}},
      {"DataFileInMissingFolder",
       job("REACT W water.dat\nPROD A nowhere/a.dat\n"),
       {"molecule A: data file nowhere/a.dat is missing: its folder nowhere does not exist"}},
      {"MoleculeLineWithoutDataFile",
       job("REACT W water.dat\nREACT NOFILE\n"),
       {"NOFILE", "no data file"}},
      {"ErrorInTransitionStateAfterGoodFiles",
       [](const test::TempDir &dir) {
         copyFixture(dir, "water.dat");
         copyFixture(dir, "mass_letters.dat");
         dir.write("job.inp", "REACT W water.dat\nREACT V water.dat\nPROD P water.dat\n"
                              "TS T mass_letters.dat\nKEFF 1.0E15 1\n");
       },
       {"mass_letters.dat line 5", "\"18.0lO6\""}},
      // The job input or the report cannot be used: nothing is written.
      {"JobInputIsFolder",
       [](const test::TempDir &dir) { fs::create_directory(dir / "job.inp"); },
       {"job.inp", "directory"},
       Report::None},
      {"JobInputIsPipe",
       [](const test::TempDir &dir) { ASSERT_EQ(::mkfifo((dir / "job.inp").c_str(), 0600), 0); },
       {"job.inp", "not a regular file"},
       Report::None},
  };
}

class BadInput : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadInput, StopsWithOneMessageAndTheBannerOnly) {
  const BadCase &c = GetParam();
  test::TempDir dir;
  c.setup(dir);
  const auto r = test::runOrvalen(dir.path(), "job");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.stdoutText, "");
  const auto lines = test::linesOf(r.stderrText);
  ASSERT_EQ(lines.size(), 1u) << r.stderrText;
  EXPECT_TRUE(r.stderrText.ends_with("\n"));
  EXPECT_TRUE(lines[0].starts_with("orvalen: ")) << lines[0];
  EXPECT_FALSE(lines[0].starts_with("orvalen: orvalen:")) << lines[0];
  for (const auto &text : c.message)
    EXPECT_NE(lines[0].find(text), std::string::npos) << "\"" << text << "\" not in: " << lines[0];
  if (c.report == Report::BannerOnly)
    EXPECT_EQ(dir.read("job.out"), bannerText());
  else
    EXPECT_FALSE(fs::is_regular_file(dir / "job.out"));
}

INSTANTIATE_TEST_SUITE_P(Cases, BadInput, ::testing::ValuesIn(badCases()),
                         [](const ::testing::TestParamInfo<BadCase> &info) {
                           return info.param.name;
                         });

// The report named on the command line is a folder: the banner cannot be written.
TEST(BadInput, ReportIsFolder) {
  test::TempDir dir;
  copyFixture(dir, "water.dat");
  dir.write("job.inp", "REACT W water.dat\n");
  fs::create_directory(dir / "res.out");
  const auto r = test::runOrvalen(dir.path(), "job res");
  EXPECT_EQ(r.status, 1);
  const auto lines = test::linesOf(r.stderrText);
  ASSERT_EQ(lines.size(), 1u) << r.stderrText;
  EXPECT_TRUE(lines[0].starts_with("orvalen: res.out")) << lines[0];
}

// ---- Hostile input: no crash, no hang, a clean end ------------------------

// Deterministic bytes of every value, NUL and line ends included.
std::string garbage(std::size_t n, std::uint32_t seed) {
  std::string s(n, '\0');
  for (char &c : s) {
    seed = seed * 1664525u + 1013904223u;
    c = static_cast<char>(seed >> 24);
  }
  return s;
}

struct HostileCase {
  std::string name;
  std::function<void(const test::TempDir &)> setup;
};

std::vector<HostileCase> hostileCases() {
  const auto water = [](const test::TempDir &dir) { copyFixture(dir, "water.dat"); };
  return {
      {"GarbageJobInput",
       [](const test::TempDir &dir) { dir.write("job.inp", garbage(65536, 1)); }},
      {"GarbageDataFile",
       [](const test::TempDir &dir) {
         dir.write("g.dat", garbage(65536, 2));
         dir.write("job.inp", "REACT G g.dat\nTS T g.dat\nPROD P g.dat\n");
       }},
      {"GarbageAfterEveryMarker",
       [](const test::TempDir &dir) {
         std::string s;
         for (const char *marker :
              {" Ia,Ib,Ic, amu*A^2", " Rotation number set to  :", " Molecular mass          :",
               " Num. of imaginary freqs :", " Spin multiplicity of molecule =", " Base Energy :"})
           s += std::string(marker) + garbage(40, static_cast<std::uint32_t>(s.size())) + "\n";
         dir.write("g.dat", s);
         dir.write("job.inp", "REACT G g.dat\n");
       }},
      {"NulByteOnlyJob",
       [](const test::TempDir &dir) { dir.write("job.inp", std::string(1, '\0')); }},
      {"NulInMoleculeName",
       [water](const test::TempDir &dir) {
         water(dir);
         dir.write("job.inp", std::string("REACT W\0X water.dat\nTS T water.dat\n", 35));
       }},
      {"NulInDataFileName",
       [water](const test::TempDir &dir) {
         water(dir);
         dir.write("job.inp", std::string("REACT W water.dat\0junk\n", 23));
       }},
      {"NulInMassField",
       [water](const test::TempDir &dir) {
         std::string s = test::readFile(FIXTURES / "water.dat");
         s[s.find("18.0106")] = '\0';
         dir.write("water.dat", s);
         dir.write("job.inp", "REACT W water.dat\n");
       }},
      {"TenMegabyteJobLine",
       [water](const test::TempDir &dir) {
         water(dir);
         dir.write("job.inp",
                   "REACT W water.dat " + std::string(10 << 20, 'x') + "\nTS T water.dat\n");
       }},
      {"TenMegabyteDataLine",
       [](const test::TempDir &dir) {
         const std::string s = test::readFile(FIXTURES / "water.dat");
         dir.write("w.dat", " Base Energy :" + std::string(10 << 20, '7') + "\n" + s);
         dir.write("job.inp", "REACT W w.dat\n");
       }},
      {"TenMegabytesWithoutLineEnd",
       [](const test::TempDir &dir) {
         dir.write("w.dat", " Molecular mass          :" + std::string(10 << 20, ' '));
         dir.write("job.inp", "REACT W w.dat\nKEFF " + std::string(10 << 20, '9'));
       }},
      {"HundredThousandJobLines",
       [water](const test::TempDir &dir) {
         std::string s;
         for (int k = 0; k < 100000; ++k)
           s += k % 3 == 0 ? "COND TEMP=300 PRES=1E5\n" : k % 3 == 1 ? "! comment\n" : "note\n";
         dir.write("job.inp", s + "REACT W water.dat\nTS T water.dat\n");
       }},
      {"HundredThousandDataLines",
       [](const test::TempDir &dir) {
         std::string s;
         for (int k = 0; k < 100000; ++k)
           s += " Molecular mass          :   18.0106\n";
         dir.write("m.dat", s + test::readFile(FIXTURES / "water.dat"));
         dir.write("job.inp", "REACT M m.dat\n");
       }},
      {"CarriageReturnsOnly",
       [](const test::TempDir &dir) { dir.write("job.inp", std::string(100000, '\r')); }},
  };
}

class HostileInput : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileInput, EndsCleanly) {
  test::TempDir dir;
  GetParam().setup(dir);
  const auto r = test::runOrvalen(dir.path(), "job");
  // A stop (1), or a report that was written: cleanly (0) or with values
  // that cannot be used (2). Every line on standard error is one message.
  ASSERT_TRUE(r.status >= 0 && r.status <= 2) << "status " << r.status << ": " << r.stderrText;
  const auto lines = test::linesOf(r.stderrText);
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const bool last = k + 1 == lines.size();
    if (r.status == 1 && last)
      EXPECT_TRUE(lines[k].starts_with("orvalen: ")) << lines[k];
    else
      EXPECT_TRUE(lines[k].starts_with("orvalen: warning: ")) << lines[k];
  }
  if (r.status == 1) {
    EXPECT_FALSE(lines.empty());
  }
  EXPECT_TRUE(dir.read("job.out").starts_with(bannerText()));
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileInput, ::testing::ValuesIn(hostileCases()),
                         [](const ::testing::TestParamInfo<HostileCase> &info) {
                           return info.param.name;
                         });

// ---- Inputs found by the fuzzers ------------------------------------------

// Every file in tests/fuzz/regressions/TARGET/ goes through the body of that
// fuzz target again; it must neither crash nor end in anything but the
// expected errors.
TEST(FuzzRegression, ReplaysKeptInputs) {
  const fs::path root = fs::path(ORVALEN_SOURCE_DIR) / "tests" / "fuzz" / "regressions";
  if (!fs::is_directory(root))
    GTEST_SKIP() << "no kept fuzz inputs";
  fuzz::ScratchDir dir("replay");
  for (const auto &entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file())
      continue;
    const std::string target = entry.path().parent_path().filename().string();
    const std::string bytes = test::readFile(entry.path());
    const fuzz::Bytes data(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
    SCOPED_TRACE(entry.path().string());
    try {
      if (target == "job_input")
        fuzz::jobInput(data, dir);
      else if (target == "mol_file")
        fuzz::molFile(data, dir);
      else if (target == "format")
        fuzz::formatInput(data);
      else if (target == "run")
        fuzz::wholeRun(data, dir);
      else if (target == "qc_output")
        continue; // replayed by the tests of the quantum-chemistry readers
      else
        ADD_FAILURE() << "unknown fuzz target folder " << target;
    } catch (const std::exception &e) {
      ADD_FAILURE() << e.what();
    }
  }
}

// Found by fuzz_format (regressions/format/edite-long-mantissa): editE kept
// the digits of the mantissa in a 64-character buffer, so with more than about
// 55 decimals the text was cut, the exponent lost and a scale factor beyond
// the digits that remained made substr throw std::out_of_range.
TEST(FuzzRegression, EFieldWithLongMantissa) {
  // 1PE80.60 of -0.5: "-5." and 60 zeros, then "E-01": 67 characters.
  EXPECT_EQ(fixedio::editE(-0.5, 80, 60, 1),
            std::string(13, ' ') + "-5." + std::string(60, '0') + "E-01");
  // 62P with 66 decimals puts 62 digits before the point: no room in 5 columns.
  EXPECT_EQ(fixedio::format("(62pe5.66)", -0.5), "*****\n");
}

// Found by fuzz_format (regressions/format/deep-group-nesting): the format
// parser recursed once per nested group with no limit, so a text of many "("
// overflowed the stack instead of being refused as a malformed format.
TEST(FuzzRegression, DeeplyNestedGroupsAreRefused) {
  EXPECT_THROW(fixedio::parseFormatText(std::string(100000, '(') + std::string(100000, ')')),
               std::invalid_argument);
}

// A fixed-column read walked repeat counts multiplied through nested groups
// without a bound: this read of ten thousand million skips did not end.
TEST(FuzzRegression, ReadWithRunawayRepeatCountsIsRefused) {
  const fixedio::Record rec{"abc", "x", 1};
  int value = 0;
  EXPECT_THROW(fixedio::read("(99999(99999(1x)),i3)", rec, &value), std::invalid_argument);
}

} // namespace
} // namespace orvalen
