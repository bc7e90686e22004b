// orvalen-scan on a saddle point whose data file counts its mirror image twice:
// the OH + C2H6 saddle point (tests/fixtures/qc/oh_c2h6_ts) imported with its
// methyl and hydroxyl rotors (tests/fixtures/scan/mirror/ts_imported.dat: the
// geometry is chiral, but the OH rotor turned by some 86 degrees reaches a Cs
// geometry, so the importer wrote one optical isomer), and the same file with
// `Optical isomers 2` added by hand (ts_hand.dat).

#include "scan/scan_support.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace orvalen::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// OH + C2H6 -> TS, the saddle point's data file given as `tsFile`.
void mirrorJob(const TempDir &dir, const std::string &tsFile) {
  const fs::path source(ORVALEN_SOURCE_DIR);
  fs::copy_file(source / "examples/oh_ch4/oh.dat", dir / "oh.dat");
  fs::copy_file(source / "examples/h_c2h6_nwchem/c2h6.dat", dir / "c2h6.dat");
  fs::copy_file(fs::path(ORVALEN_FIXTURES) / "scan/mirror" / tsFile, dir / "ts.dat");
  std::ofstream(dir / "job.inp") << "! OH + C2H6 -> H2O + C2H5 through a chiral saddle point\n"
                                    "COND TEMP=298.15 PRES=101325\n"
                                    "REACT OH oh.dat\n"
                                    "REACT C2H6 c2h6.dat\n"
                                    "TS TS ts.dat\n";
}

// The lines of standard error that speak of optical isomers.
std::vector<std::string> isomerLines(const std::string &stderrText) {
  std::vector<std::string> found;
  for (const std::string &line : linesOf(stderrText))
    if (line.find("Optical isomers") != std::string::npos)
      found.push_back(line);
  return found;
}

TEST(ScanMirrorImage, HandWrittenSecondIsomerIsWarnedOnceAndTakenAsWritten) {
  TempDir hand, imported;
  mirrorJob(hand, "ts_hand.dat");
  mirrorJob(imported, "ts_imported.dat");
  const std::string args = "job -T 300,1000 --format json";
  const RunResult h = runScanBinary(hand.path(), args);
  const RunResult i = runScanBinary(imported.path(), args);
  ASSERT_EQ(h.status, 0) << h.stderrText;
  ASSERT_EQ(i.status, 0) << i.stderrText;

  // One line for the one molecule, over both temperatures: the molecule, its
  // file, the rotor and its bond, the point group reached and what to do.
  const std::vector<std::string> warned = isomerLines(h.stderrText);
  ASSERT_EQ(warned.size(), 1U) << h.stderrText;
  const std::string &w = warned[0];
  EXPECT_EQ(w.rfind("orvalen-scan: warning: TS: its data file ts.dat gives Optical isomers 2, but "
                    "turning hindered rotor 2 about 9-3 by ",
                    0),
            0U)
      << w;
  EXPECT_NE(w.find(" degrees reaches a Cs geometry, so the rotors' levels hold both mirror forms "
                   "already and the factor 2 counts them twice; write Optical isomers 1 in the "
                   "data file, or let orvalen-import write it"),
            std::string::npos)
      << w;
  // The importer's own file, one isomer: nothing said, nothing else different.
  EXPECT_TRUE(isomerLines(i.stderrText).empty()) << i.stderrText;
  EXPECT_EQ(h.stderrText, w + "\n" + i.stderrText);

  // The facts stand: two isomers double the saddle point's Q, and with it kQ
  // (in each of its units) at every temperature; the tunnelling coefficients
  // do not depend on Q.
  const json jh = json::parse(h.stdoutText), ji = json::parse(i.stdoutText);
  EXPECT_EQ(jh["molecules"][2]["optical_isomers"], 2);
  EXPECT_EQ(ji["molecules"][2]["optical_isomers"], 1);
  for (std::size_t t = 0; t < 2; ++t) {
    const json &kh = jh["temperatures"][t]["kQ"], &ki = ji["temperatures"][t]["kQ"];
    ASSERT_EQ(kh.size(), ki.size());
    for (std::size_t u = 0; u < kh.size(); ++u)
      EXPECT_NEAR(kh[u].get<double>() / ki[u].get<double>(), 2.0, 1e-12) << t << " " << u;
  }
}

} // namespace
} // namespace orvalen::test
