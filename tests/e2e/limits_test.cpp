// The capacity limits end to end: a job with 10 reactants, 10 products and 10
// transition states, each of 100 atoms and 300 frequency rows, with 20 words on
// a molecule line and on the KEFF line and 50 values in an option, runs and
// writes every section; one more of anything stops the run with a message.
// The job is written by tests/fixtures/limits/make_limits.py.

#include "driver/banner.hpp"
#include "fixedio/format.hpp"
#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace orvalen {
namespace {

namespace fs = std::filesystem;

const fs::path LIMITS = fs::path(ORVALEN_FIXTURES) / "limits";

std::string joined(const std::vector<std::string> &lines) {
  std::string s;
  for (const auto &l : lines)
    s += l + "\n";
  return s;
}

std::string bannerText() {
  std::ostringstream s;
  fixedio::Writer out(s);
  printTitle(out, BUILT_NUMBER);
  return s.str();
}

// The limit job in a fresh folder.
void copyLimits(const test::TempDir &dir) {
  for (const auto &f : fs::directory_iterator(LIMITS))
    if (f.path().extension() == ".inp" || f.path().extension() == ".dat")
      fs::copy_file(f.path(), dir / f.path().filename().string());
}

// Inserts `text` as a new line after line `after` (counted from 1) of a file.
void insertLine(const test::TempDir &dir, const std::string &file, int after,
                const std::string &text) {
  auto lines = test::linesOf(dir.read(file));
  ASSERT_LE(after, static_cast<int>(lines.size()));
  lines.insert(lines.begin() + after, text);
  dir.write(file, joined(lines));
}

// Appends `tail` to line `n` of a file.
void extendLine(const test::TempDir &dir, const std::string &file, int n, const std::string &tail) {
  auto lines = test::linesOf(dir.read(file));
  ASSERT_LE(n, static_cast<int>(lines.size()));
  lines[static_cast<std::size_t>(n - 1)] += tail;
  dir.write(file, joined(lines));
}

std::vector<std::string> names(char tag) {
  std::vector<std::string> v;
  for (int k = 1; k <= 10; ++k)
    v.push_back(std::string(1, tag) + (k < 10 ? "0" : "") + std::to_string(k));
  return v;
}

std::string padRight(const std::string &s, std::size_t n) {
  return s + std::string(n - s.size(), ' ');
}
std::string padLeft(const std::string &s, std::size_t n) {
  return std::string(n - s.size(), ' ') + s;
}

class LimitJob : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempDir;
    copyLimits(*dir_);
    run_ = new test::RunResult(test::runOrvalen(dir_->path(), "limits"));
    report_ = new std::vector<std::string>(test::linesOf(dir_->read("limits.out")));
  }
  static void TearDownTestSuite() {
    delete report_;
    delete run_;
    delete dir_;
  }
  static const std::vector<std::string> &report() { return *report_; }

  // The only line of the report that begins with `start`.
  static std::string lineStarting(const std::string &start) {
    std::vector<std::string> found;
    for (const auto &l : report())
      if (l.starts_with(start))
        found.push_back(l);
    EXPECT_EQ(found.size(), 1u) << start;
    return found.empty() ? std::string() : found.front();
  }

  static inline test::TempDir *dir_ = nullptr;
  static inline test::RunResult *run_ = nullptr;
  static inline std::vector<std::string> *report_ = nullptr;
};

// The generated molecules have made-up moments of inertia that do not belong
// to their coordinates: one warning for each of the thirty; and each of the
// ten transition states holds the atoms of one reactant, not of all ten.
TEST_F(LimitJob, RunsToTheEndWarningOnlyAboutItsMadeUpMomentsAndTransitionStates) {
  EXPECT_EQ(run_->status, 0) << run_->stderrText;
  std::vector<std::string> molecules;
  for (char tag : {'R', 'P', 'T'})
    for (const auto &n : names(tag))
      molecules.push_back(n);
  const auto lines = test::linesOf(run_->stderrText);
  ASSERT_EQ(lines.size(), molecules.size() + 10) << run_->stderrText;
  for (std::size_t k = 0; k < molecules.size(); ++k) {
    std::string file = molecules[k];
    file[0] = static_cast<char>(file[0] - 'A' + 'a');
    EXPECT_TRUE(lines[k].starts_with("orvalen: warning: molecule " + molecules[k] + " (" + file +
                                     ".dat): moments of inertia "))
        << lines[k];
    EXPECT_NE(lines[k].find("differ by more than 1 % from those of its coordinates block"),
              std::string::npos)
        << lines[k];
  }
  for (std::size_t k = 0; k < 10; ++k) {
    const std::string &line = lines[molecules.size() + k];
    EXPECT_TRUE(line.starts_with("orvalen: warning: molecule " + names('T')[k])) << line;
    EXPECT_NE(line.find("a transition state, holds C50 H50, the reactants C500 H500"),
              std::string::npos)
        << line;
  }
  EXPECT_EQ(run_->stdoutText, "");
  EXPECT_TRUE(dir_->read("limits.out").starts_with(bannerText()));
}

// Thirty molecule sections, reactants, products and transition states in job
// order, each with a vibration table of all 300 rows: 294 vibrations used
// after six zero rows, 293 for a transition state whose imaginary row 7 is
// left out of the thermochemistry.
TEST_F(LimitJob, ThirtyMoleculeSectionsWithFullVibrationTables) {
  std::vector<std::string> expected;
  for (char tag : {'R', 'P', 'T'})
    for (const auto &n : names(tag))
      expected.push_back(padRight(" ************* TD properties of molecule " + n, 61));
  std::vector<std::string> headings;
  std::vector<int> rows;
  std::vector<std::string> totals;
  const auto &r = report();
  for (std::size_t i = 0; i < r.size(); ++i) {
    if (r[i].starts_with(" ************* TD properties of molecule"))
      headings.push_back(r[i]);
    if (r[i].starts_with("No. Frequency Intensity")) {
      // header, units, hyphens, then the rows up to the closing hyphens
      std::size_t k = i + 3;
      int n = 0;
      while (k < r.size() && !r[k].starts_with("-----")) {
        ++n;
        EXPECT_EQ(std::atoi(r[k].substr(0, 4).c_str()), n) << r[k];
        ++k;
      }
      rows.push_back(n);
      if (k + 1 < r.size())
        totals.push_back(r[k + 1].substr(0, 26));
    }
  }
  EXPECT_EQ(headings, expected);
  EXPECT_EQ(rows, std::vector<int>(30, 300));
  std::vector<std::string> wantTotals(20, " Total for  294 vibrations");
  wantTotals.resize(30, " Total for  293 vibrations");
  EXPECT_EQ(totals, wantTotals);
}

// The reaction summary table has ten columns on each side.
TEST_F(LimitJob, SummaryTableHasTenColumnsPerSide) {
  std::string title = "  Thermodynamic functions for the reaction ";
  for (char tag : {'R', 'P'}) {
    const auto n = names(tag);
    for (std::size_t k = 0; k < n.size(); ++k)
      title += n[k] + (k + 1 < n.size() ? " + " : "");
    title += tag == 'R' ? " == " : "";
  }
  EXPECT_EQ(lineStarting("  Thermodynamic functions for the reaction"), title);

  // Names: A15 of a 20-character name shows its first 15 characters.
  std::string header = std::string(13, ' ');
  for (const auto &n : names('R'))
    header += padRight(n, 15);
  header += "    =        ";
  for (const auto &n : names('P'))
    header += padRight(n, 15);
  header += "        DrE, a.u.       kcal/mol         kJ/mol";
  EXPECT_EQ(lineStarting(std::string(13, ' ') + "R01"), header);

  const auto intRow = [](const std::string &label, const std::string &v) {
    std::string s = label;
    for (int k = 0; k < 10; ++k)
      s += padLeft(v, 15);
    s += std::string(12, ' ');
    for (int k = 0; k < 10; ++k)
      s += padLeft(v, 15);
    return s;
  };
  EXPECT_EQ(lineStarting(" Nneg "), intRow(" Nneg   ", "0"));
  EXPECT_EQ(lineStarting(" RotNum"), intRow(" RotNum ", "4"));

  // E of reactant k is -1500 - k/1000 Hartree and of product k 0.002 lower, so
  // DrE = 10 * (-0.002) = -0.02 Hartree = -0.02 / 3.809083380231225e-4 =
  // -52.506 kJ/mol = -52.506 * 0.2390057361376673 = -12.549 kcal/mol.
  std::string e = " E      ";
  for (int k = 1; k <= 10; ++k)
    e += padLeft("-1500.0" + std::string(k < 10 ? "0" : "") + std::to_string(k) + "0000", 15);
  e += std::string(12, ' ');
  for (int k = 3; k <= 12; ++k)
    e += padLeft("-1500.0" + std::string(k < 10 ? "0" : "") + std::to_string(k) + "0000", 15);
  e += std::string(8, ' ') + "     -0.0200000" + "         -12.55" + "         -52.51";
  EXPECT_EQ(lineStarting(" E      "), e);
  for (const char *row : {" E+ZPE  ", " E+U    ", " E+H    ", " E+G    "})
    EXPECT_EQ(lineStarting(row).size(), e.size()) << row;

  // File names: 1x,A14 each, upper case as the job line stored them.
  std::string files = " File   ";
  for (const auto &n : names('R'))
    files += " " + padRight(n + ".DAT", 14);
  files += std::string(12, ' ');
  for (const auto &n : names('P'))
    files += " " + padRight(n + ".DAT", 14);
  EXPECT_EQ(lineStarting(" File   "), files);
}

TEST_F(LimitJob, RateTunnellingAndEffectiveRateSectionsFollow) {
  std::string title = "  Kinetic parameters for the reaction ";
  for (char tag : {'R', 'T'}) {
    const auto n = names(tag);
    for (std::size_t k = 0; k < n.size(); ++k)
      title += n[k] + (k + 1 < n.size() ? " + " : "");
    title += tag == 'R' ? " -> " : "";
  }
  EXPECT_EQ(lineStarting("  Kinetic parameters for the reaction"), title);
  EXPECT_EQ(lineStarting(" Molecularity of elementary reaction m"),
            " Molecularity of elementary reaction m                     10");
  // m = 10: 3m-3 = 27 does not fit the one-digit exponent fields, m-1 = 9 does.
  EXPECT_NE(lineStarting(std::string(53, ' ') + "1/s").find("m*/molecule9/s      cm*/molecule9/s"),
            std::string::npos);
  lineStarting(" Effective rate constant kG * C**n");
  EXPECT_EQ(lineStarting(" Concentration C ="),
            " Concentration C =    1.000E+15 molecules/cm3,   n =   1");
  lineStarting(" Transmission coeeficient by Wigner theory");
  lineStarting(" Transmission coeeficient for uniform parabolic potential");
  lineStarting(" Transmission coeeficient by Skodje-Thrular theory");
  EXPECT_TRUE(report().back().starts_with(" Transmission coeeficient by Skodje-Thrular theory"));
}

// Product k has the same structure and frequencies as reactant k, so the
// products' partition functions are the reactants' and DrQ is 1. Each Qtot is
// about 1e32 here: dividing by the ten reactants' first would underflow to 0,
// and the report would show DrQ = 0 with ln = -Infinity; the rate section's
// ProdQ (ten transition states over ten reactants) would underflow the same way
// and give kQ = 0. These ratios are formed from ln(Qtot) sums when that happens.
TEST_F(LimitJob, PartitionFunctionRatiosDoNotUnderflow) {
  EXPECT_TRUE(lineStarting(" DrQ =").starts_with(" DrQ =     1.00000E+00"))
      << lineStarting(" DrQ =");
  const std::string prodQ = lineStarting(" Partition functions product ProdQ");
  EXPECT_GT(std::strtod(prodQ.substr(48).c_str(), nullptr), 0.0) << prodQ;
}

// ---- One more of anything -------------------------------------------------

struct OneMore {
  std::string name;
  void (*change)(const test::TempDir &);
  std::vector<std::string> message;
};

std::vector<OneMore> oneMoreCases() {
  return {
      {"EleventhReactant",
       [](const test::TempDir &d) { insertLine(d, "limits.inp", 15, "REACT R11 r10.dat"); },
       {"limits.inp line 16", "MOL(1, 11)"}},
      {"EleventhProduct",
       [](const test::TempDir &d) { insertLine(d, "limits.inp", 25, "PROD P11 p10.dat"); },
       {"limits.inp line 26", "MOL(2, 11)"}},
      {"EleventhTransitionState",
       [](const test::TempDir &d) { insertLine(d, "limits.inp", 35, "TS T11 t10.dat"); },
       {"limits.inp line 36", "MOL(3, 11)"}},
      {"HundredAndFirstAtom",
       [](const test::TempDir &d) {
         insertLine(d, "t10.dat", 113,
                    "    101         1          0.000000       0.000000       3.000000");
       },
       {"t10.dat line 114", "NA(101)"}},
      {"ThreeHundredAndFirstFrequency",
       [](const test::TempDir &d) { insertLine(d, "p10.dat", 418, " 301 3300.000    1.000"); },
       {"p10.dat line 419", "FREQ(301)"}},
      {"TwentyFirstWordOnMoleculeLine",
       [](const test::TempDir &d) { extendLine(d, "limits.inp", 6, " P"); },
       {"limits.inp line 6", "more than 20 words"}},
      {"TwentyFirstWordOnKeffLine",
       [](const test::TempDir &d) { extendLine(d, "limits.inp", 36, " R"); },
       {"limits.inp line 36", "more than 20 words"}},
      {"FiftyFirstOptionValue",
       [](const test::TempDir &d) {
         auto lines = test::linesOf(d.read("limits.inp"));
         auto &l = lines[6]; // line 7: ROTNUM=(4,9,...,9)
         l.insert(l.size() - 1, ",9");
         d.write("limits.inp", joined(lines));
       },
       {"limits.inp line 7", "more than 50 values"}},
      {"FiftyFirstConditionValue",
       [](const test::TempDir &d) {
         auto lines = test::linesOf(d.read("limits.inp"));
         auto &l = lines[4]; // line 5: COND TEMP=(298.15,1,...,1) PRES=101325
         l.insert(l.find(')'), ",1");
         d.write("limits.inp", joined(lines));
       },
       {"limits.inp line 5", "more than 50 values"}},
  };
}

class OneMoreThanLimit : public ::testing::TestWithParam<OneMore> {};

TEST_P(OneMoreThanLimit, StopsWithClearMessage) {
  test::TempDir dir;
  copyLimits(dir);
  GetParam().change(dir);
  const auto r = test::runOrvalen(dir.path(), "limits");
  EXPECT_EQ(r.status, 1);
  const auto lines = test::linesOf(r.stderrText);
  ASSERT_EQ(lines.size(), 1u) << r.stderrText;
  EXPECT_TRUE(lines[0].starts_with("orvalen: ")) << lines[0];
  for (const auto &text : GetParam().message)
    EXPECT_NE(lines[0].find(text), std::string::npos) << "\"" << text << "\" not in: " << lines[0];
  // All data files are read before any thermochemistry: the banner only.
  EXPECT_EQ(dir.read("limits.out"), bannerText());
}

INSTANTIATE_TEST_SUITE_P(Cases, OneMoreThanLimit, ::testing::ValuesIn(oneMoreCases()),
                         [](const ::testing::TestParamInfo<OneMore> &info) {
                           return info.param.name;
                         });

} // namespace
} // namespace orvalen
