// A real calculation in the test: xtb optimises water and computes its
// frequencies in a temporary folder, the real orvalen-import writes the data
// file, and the real orvalen runs a job made of it. xtb's own numbers check
// the chain: its total energy, its zero-point energy and its moments of inertia.
// tools/install_deps.sh installs xtb; the test fails without it.

#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace orvalen {
namespace {

using test::linesOf;
using test::runProgram;
using test::TempDir;

// The words of the first line of `text` holding `label`.
std::vector<std::string> wordsOfLineWith(const std::string &text, const std::string &label) {
  for (const auto &line : linesOf(text))
    if (line.find(label) != std::string::npos) {
      std::istringstream in(line);
      std::vector<std::string> words;
      for (std::string w; in >> w;)
        words.push_back(w);
      return words;
    }
  ADD_FAILURE() << "no line with \"" << label << "\"";
  return {};
}

TEST(XtbLive, WaterFromXtbToTheReport) {
  ASSERT_EQ(std::system("command -v xtb >/dev/null 2>&1"), 0)
      << "xtb is not installed (tools/install_deps.sh installs it)";
  TempDir dir;
  dir.write("h2o.xyz", "3\nwater\n"
                       "O   0.000   0.000   0.120\n"
                       "H   0.000   0.760  -0.480\n"
                       "H   0.000  -0.760  -0.480\n");
  const auto xtb =
      runProgram("timeout", dir.path(), "300 env OMP_NUM_THREADS=1 xtb h2o.xyz --ohess");
  ASSERT_EQ(xtb.status, 0) << xtb.stderrText;
  dir.write("h2o.out", xtb.stdoutText);

  const auto imp = runProgram(ORVALEN_IMPORT_BINARY, dir.path(), "h2o.out -o h2o.dat");
  ASSERT_EQ(imp.status, 0) << imp.stderrText;
  EXPECT_EQ(imp.stderrText, "");

  dir.write("job.inp", "REACT H2O h2o.dat\nPROD H2O h2o.dat\n");
  const auto run = runProgram(ORVALEN_BINARY, dir.path(), "job");
  EXPECT_EQ(run.status, 0) << run.stderrText;
  EXPECT_EQ(run.stderrText, "");
  const std::string report = dir.read("job.out");

  // "| TOTAL ENERGY   -5.0705443... Eh |" -> " Etot        =      -5.07054435 ..."
  const double xtbEnergy = std::stod(wordsOfLineWith(xtb.stdoutText, "| TOTAL ENERGY").at(3));
  EXPECT_NEAR(std::stod(wordsOfLineWith(report, " Etot        =").at(2)), xtbEnergy, 5e-9);
  // ":: zero point energy  0.0201... Eh ::" against " ZPEtot  52.84  kJ/mol ...": the data
  // file keeps the frequencies xtb printed to 0.01 cm-1 (CODATA 2018: 2625.4996 kJ/mol per
  // Hartree; the report's Hartree column uses the program's own older factor).
  const double xtbZpe = std::stod(wordsOfLineWith(xtb.stdoutText, ":: zero point energy").at(4));
  EXPECT_NEAR(std::stod(wordsOfLineWith(report, " ZPEtot").at(1)), xtbZpe * 2625.4996, 0.002);
  // "moments of inertia/u·Å² :  0.57883E+00  0.12031E+01  0.17819E+01", with
  // xtb's average atomic masses where the data file has the most abundant
  // isotopes: within 1 %.
  const auto xtbMoments = wordsOfLineWith(xtb.stdoutText, "moments of inertia/u");
  const auto pmoi = wordsOfLineWith(report, " PMOI, amu*A**2:");
  ASSERT_EQ(xtbMoments.size(), 7u);
  ASSERT_EQ(pmoi.size(), 5u);
  for (int k = 0; k < 3; ++k) {
    const double ours = std::stod(pmoi[2 + k]), theirs = std::stod(xtbMoments[4 + k]);
    EXPECT_NEAR(ours, theirs, 0.01 * theirs) << "moment " << k + 1;
  }
  EXPECT_EQ(wordsOfLineWith(report, " Rot. number").back(), "2");
  EXPECT_EQ(wordsOfLineWith(report, " Multiplicity").back(), "1");
  EXPECT_EQ(wordsOfLineWith(report, " Total for").at(2), "3"); // " Total for    3 vibrations"
}

} // namespace
} // namespace orvalen
