// orvalen-scan with conformers: the OH + CH4 example whose transition state's
// data file has a second structure, the main one's mirror-image pair (2
// optical isomers) 1.5 kJ/mol higher with the same moments and modes. kQ
// moves by 1 + 2 exp(-dE/RT), dH0 not; --conformers lowest keeps every value
// of the job without the block; the outputs list the structures and their
// weights; orvalen's report does not change by a byte; conformers with
// hindered rotors are refused.

#include "scan/scan_support.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

namespace orvalen::test {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

constexpr double R = 1.3806503e-23 * 6.02214199e23; // J/(mol K), CODATA 1998 as the program
constexpr double KJ2HARTREE = 3.809083380231225e-4;
constexpr double E_MAIN = -116.06545000;   // TS1's Base Energy
constexpr double E_SECOND = -116.06487864; // the block's, 1.5 kJ/mol higher

const std::string BLOCK =
    "\n Conformers (Hartree, amu*A^2, cm-1)\n"
    "  Conf      Base energy  Rotn  Opt.  From\n"
    " --------------------------------------------------------------------\n"
    "     2    -116.06487864     3     2  ts1_gauche.out\n"
    " moments       4.239388      54.571025      55.459003\n"
    "   freqs  -1536.000     62.000    307.000    398.000    774.000   1052.000\n"
    "   freqs   1130.000   1310.000   1432.000   1440.000   1610.000   3067.000\n"
    "   freqs   3186.000   3196.000   3760.000\n"
    " --------------------------------------------------------------------\n";

void appendTo(const fs::path &file, const std::string &text) {
  std::ofstream(file, std::ios::app) << text;
}

// The example's job folder, TS1 with its second structure.
void conformerJob(const TempDir &dir) {
  copyJobFolder("examples/oh_ch4", dir.path());
  appendTo(dir / "ts1.dat", BLOCK);
}

RunResult scan(const TempDir &dir, const std::string &args) {
  return runScanBinary(dir.path(), "oh_ch4 " + args);
}

double kQAt(const json &j, std::size_t point) {
  return j["temperatures"][point]["kQ"][2].get<double>();
}

TEST(ScanConformers, KQMovesByTheHandFactorAndDH0DoesNot) {
  TempDir plainDir, dir;
  copyJobFolder("examples/oh_ch4", plainDir.path());
  conformerJob(dir);
  const RunResult plain = scan(plainDir, "-T 250,300,1000 --format json");
  const RunResult r = scan(dir, "-T 250,300,1000 --format json");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  const json a = json::parse(plain.stdoutText), b = json::parse(r.stdoutText);
  const double dE = (E_SECOND - E_MAIN) / KJ2HARTREE; // kJ/mol, as written
  for (std::size_t i = 0; i < 3; ++i) {
    const double T = b["temperatures"][i]["T"].get<double>();
    const double x = dE * 1000.0 / (R * T);
    const double factor = 1.0 + 2.0 * std::exp(-x);
    EXPECT_NEAR(kQAt(b, i) / kQAt(a, i), factor, 1e-9 * factor) << T;
    EXPECT_EQ(b["temperatures"][i]["activation"]["dH0_kJmol"],
              a["temperatures"][i]["activation"]["dH0_kJmol"]);
    // The weights: 1/(1 + 2 e^-x) and the rest; G - G(lowest alone) = -RT ln(1 + 2 e^-x).
    const json &c = b["temperatures"][i]["molecules"][4]["conformers"];
    ASSERT_EQ(c["weights"].size(), 2u);
    EXPECT_NEAR(c["weights"][0].get<double>(), 1.0 / factor, 1e-12);
    EXPECT_NEAR(c["weights"][0].get<double>() + c["weights"][1].get<double>(), 1.0, 1e-15);
    EXPECT_NEAR(c["G_conf_kJmol"].get<double>(), -R * T / 1000.0 * std::log(factor), 1e-9);
    // The other molecules are untouched, without a conformers entry.
    for (std::size_t m = 0; m < 4; ++m)
      EXPECT_EQ(b["temperatures"][i]["molecules"][m], a["temperatures"][i]["molecules"][m]);
  }
  // The molecules list TS1's structures with E0 above the lowest.
  const json &s = b["molecules"][4]["conformers"];
  ASSERT_EQ(s.size(), 2u);
  EXPECT_TRUE(s[0]["from"].is_null());
  EXPECT_EQ(s[1]["from"], "ts1_gauche.out");
  EXPECT_EQ(s[0]["E0_above_lowest_kJmol"], 0.0);
  EXPECT_NEAR(s[1]["E0_above_lowest_kJmol"].get<double>(), dE, 1e-9);
  EXPECT_EQ(s[1]["optical_isomers"], 2);
  EXPECT_EQ(b["options"]["conformers"], "all");
  EXPECT_FALSE(b["molecules"][0].contains("conformers"));
}

TEST(ScanConformers, LowestKeepsEveryValueOfTheJobWithoutTheBlock) {
  TempDir plainDir, dir;
  copyJobFolder("examples/oh_ch4", plainDir.path());
  conformerJob(dir);
  for (const char *format : {"csv", "table"}) {
    const std::string args =
        std::string("-T 300,600,1000 --fit --tunnelling eckart --format ") + format;
    const RunResult plain = scan(plainDir, args);
    const RunResult r = scan(dir, args + " --conformers lowest");
    ASSERT_EQ(r.status, 0) << r.stderrText;
    EXPECT_EQ(r.stderrText, plain.stderrText);
    if (std::string(format) == "csv") {
      EXPECT_EQ(r.stdoutText, plain.stdoutText);
      continue;
    }
    // The table: the same rows and fits under header lines that say how
    // the conformers were taken.
    EXPECT_EQ(r.stdoutText.substr(r.stdoutText.find("\n\n")),
              plain.stdoutText.substr(plain.stdoutText.find("\n\n")));
    EXPECT_NE(r.stdoutText.find("Options: --scale 1 --zpe-scale 1 --conformers lowest\n"
                                "Conformers, the structure of lowest E0 alone (--conformers "
                                "lowest); E0 - E0_1 (kJ/mol):\n"
                                "  TS1: 1 main structure 0.000 (rotation number 3, 1 optical "
                                "isomer), 2 ts1_gauche.out 1.500 (rotation number 3, 2 optical "
                                "isomers)\n"),
              std::string::npos)
        << r.stdoutText;
  }
}

TEST(ScanConformers, ConformersGivenForAJobWithoutThemChangeNothingButAWarning) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  const RunResult plain = scan(dir, "-T 300 --format csv");
  const RunResult r = scan(dir, "-T 300 --format csv --conformers ALL");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.stdoutText, plain.stdoutText);
  EXPECT_NE(r.stderrText.find("orvalen-scan: warning: --conformers all changes nothing: no data "
                              "file of the job has conformers"),
            std::string::npos)
      << r.stderrText;
  const RunResult bad = scan(dir, "-T 300 --conformers some");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.stderrText.find("unknown --conformers treatment \"some\" (all or lowest)"),
            std::string::npos)
      << bad.stderrText;
}

TEST(ScanConformers, WithHinderedRotorsRefusedNamingTheWaysOut) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  fs::copy_file(fs::path(ORVALEN_FIXTURES) / "scan/rotors/ts1.dat", dir / "ts1.dat",
                fs::copy_options::overwrite_existing);
  appendTo(dir / "ts1.dat", BLOCK);
  const RunResult r = scan(dir, "-T 300");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.stderrText.find("orvalen-scan: TS1: its data file ts1.dat has 2 conformers and 2 "
                              "hindered rotors"),
            std::string::npos)
      << r.stderrText;
  EXPECT_NE(r.stderrText.find("give --conformers lowest"), std::string::npos);
  EXPECT_EQ(scan(dir, "-T 300 --conformers lowest").status, 0);
  EXPECT_EQ(scan(dir, "-T 300 --rotors harmonic").status, 0);
}

TEST(ScanConformers, OrvalensReportDoesNotChangeAndSaysWhatItLeavesOut) {
  TempDir plainDir, dir;
  copyJobFolder("examples/oh_ch4", plainDir.path());
  conformerJob(dir);
  const RunResult plain = runProgram(ORVALEN_BINARY, plainDir.path(), "oh_ch4");
  const RunResult r = runProgram(ORVALEN_BINARY, dir.path(), "oh_ch4");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(dir.read("oh_ch4.out"), plainDir.read("oh_ch4.out"));
  EXPECT_NE(r.stderrText.find("the report leaves out data of the data files, used by "
                              "orvalen-scan only: TS1 (2 conformers); the report's numbers take "
                              "the main structure (of lowest E0) of each molecule alone"),
            std::string::npos)
      << r.stderrText;
}

} // namespace
} // namespace orvalen::test
