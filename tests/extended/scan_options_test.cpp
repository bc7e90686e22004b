// orvalen-scan with the options and data beyond the harmonic oscillator, on a
// copy of the OH + CH4 example at 300 K: each moves kQ and the Eckart barrier
// by the factor and shift of the hand calculation (tests/extended/hand_values.py),
// and the outputs name what was in effect.

#include "scan/scan_support.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>
#include <string>

namespace orvalen::test {
namespace {

using nlohmann::json;

std::string readText(const std::filesystem::path &p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Puts `lines` before the coordinates block of a data file.
void addBeforeCoordinates(const std::filesystem::path &file, const std::string &lines) {
  std::string text = readText(file);
  const auto at = text.find(" Molecular coordinates");
  ASSERT_NE(at, std::string::npos) << file;
  text.insert(at, lines);
  std::ofstream(file, std::ios::binary) << text;
}

const std::string OH_LEVELS_FROM_TABLE = " Electronic levels from  :table\n"
                                         " Electronic levels (cm-1)\n"
                                         " Level      Energy  Degeneracy\n"
                                         " ------------------------------\n"
                                         "     1      0.0000           2\n"
                                         "     2    139.7000           2\n"
                                         " ------------------------------\n\n";
const std::string TWO_OPTICAL_ISOMERS = " Optical isomers         :         2\n";

json scanJson(const TempDir &dir, const std::string &options) {
  const RunResult r = runScanBinary(dir.path(), "oh_ch4 -T 300 --format json " + options);
  EXPECT_EQ(r.status, 0) << r.stderrText;
  return json::parse(r.stdoutText);
}

double kQ(const json &j) {
  return j["temperatures"][0]["kQ"][2].get<double>();
}
double V1(const json &j) {
  return j["eckart"]["V1_kJmol"].get<double>();
}

struct OptionCase {
  const char *options;
  double kQFactor;
  double V1Shift; // kJ/mol
  double nuImag;  // cm-1
};

TEST(ScanOptions, EachOptionMovesKQAndTheBarrierByTheHandValues) {
  const OptionCase cases[] = {
      {"--qrrho grimme", 0.627775332303, 0.0, 1536.0},
      {"--qrrho truhlar", 0.623639538305, 0.0, 1536.0},
      {"--qrrho-enthalpy", 1.57350204814, -0.354992585703, 1536.0},
      {"--scale 0.95", 1.00045174827, 0.230281137581, 1459.2},
      {"--zpe-scale 0.9", 0.831401190683, 0.460562275162, 1536.0},
      // Both factors given: the ZPE from the unscaled wavenumbers times 1, once.
      {"--scale 1 --zpe-scale 1", 1.0, 0.0, 1536.0},
  };
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  const json plain = scanJson(dir, "");
  EXPECT_FALSE(plain.contains("options"));
  EXPECT_EQ(plain["path_degeneracy"].get<double>(), 4.0); // CH4 12 over TS1 3
  for (const OptionCase &c : cases) {
    const json j = scanJson(dir, c.options);
    EXPECT_NEAR(kQ(j) / kQ(plain), c.kQFactor, 1e-9 * c.kQFactor) << c.options;
    EXPECT_NEAR(V1(j) - V1(plain), c.V1Shift, 1e-9) << c.options;
    EXPECT_NEAR(j["eckart"]["nu_imag_cm1"].get<double>(), c.nuImag, 1e-9) << c.options;
    EXPECT_TRUE(j["options"].is_object()) << c.options;
  }
}

TEST(ScanOptions, LevelsOpticalIsomersAndSpinOrbitShiftFromTheDataFiles) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  const json plain = scanJson(dir, "");
  addBeforeCoordinates(dir.path() / "oh.dat", OH_LEVELS_FROM_TABLE);
  addBeforeCoordinates(dir.path() / "ts1.dat", TWO_OPTICAL_ISOMERS);

  // Qel of OH 2 -> 3.0234 and a chiral transition state; then OH lowered by
  // 69.85 cm-1, by default for the table's levels (Qel counts from the lowest).
  const json data = scanJson(dir, "--no-spin-orbit-shift");
  EXPECT_NEAR(kQ(data) / kQ(plain), 2.0 * 0.661500844174, 1e-9);
  EXPECT_EQ(V1(data), V1(plain));
  EXPECT_EQ(data["options"]["spin_orbit_shift"], false);
  const json shifted = scanJson(dir, "--spin-orbit-shift");
  EXPECT_NEAR(kQ(shifted) / kQ(plain), 2.0 * 0.661500844174 * 0.715341784223, 1e-9);
  EXPECT_NEAR(V1(shifted) - V1(plain), 0.835591556364, 1e-9);
  EXPECT_EQ(scanJson(dir, "").dump(), shifted.dump()); // the default, said the same way

  EXPECT_EQ(shifted["path_degeneracy"].get<double>(), 8.0);
  EXPECT_EQ(shifted["options"]["spin_orbit_shift"], true);
  EXPECT_TRUE(shifted["options"]["qrrho"].is_null());
  for (const json &m : shifted["molecules"]) {
    const std::string name = m["name"];
    if (name == "OH") {
      EXPECT_EQ(m["levels"], json::parse("[[0.0, 2], [139.7, 2]]"));
      EXPECT_NEAR(m["spin_orbit_shift_kJmol"].get<double>(), -0.835591556364, 1e-9);
    } else {
      EXPECT_TRUE(m["levels"].is_null()) << name;
      EXPECT_TRUE(m["spin_orbit_shift_kJmol"].is_null()) << name;
    }
    EXPECT_EQ(m["optical_isomers"].get<int>(), name == "TS1" ? 2 : 1) << name;
  }
  const json &oh = shifted["temperatures"][0]["molecules"][0];
  EXPECT_NEAR(oh["elec"]["Q"].get<double>(), 3.02342773651, 1e-9);

  const RunResult off = runScanBinary(dir.path(), "oh_ch4 -T 300 --no-spin-orbit-shift");
  ASSERT_EQ(off.status, 0) << off.stderrText;
  EXPECT_NE(off.stdoutText.find("\nOptions: --scale 1 --zpe-scale 1 --no-spin-orbit-shift\n"),
            std::string::npos)
      << off.stdoutText;
  const RunResult table = runScanBinary(dir.path(), "oh_ch4 -T 300");
  ASSERT_EQ(table.status, 0) << table.stderrText;
  for (const char *line :
       {"\nOptions: --scale 1 --zpe-scale 1 --spin-orbit-shift\n",
        "\nData file oh.dat (OH): 2 electronic levels, Qel from them, spin-orbit shift -0.836 "
        "kJ/mol\n",
        "\nData file ts1.dat (TS1): 2 optical isomers, Q times 2\n",
        "\nReaction-path degeneracy 8 "})
    EXPECT_NE(table.stdoutText.find(line), std::string::npos) << line << table.stdoutText;
}

TEST(ScanOptions, JobLineMultWinsOverTheLevels) {
  // TS1 has MULT=2 on the job line: its file's levels are set aside, with a warning.
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  const json plain = scanJson(dir, "");
  addBeforeCoordinates(dir.path() / "ts1.dat", OH_LEVELS_FROM_TABLE);
  const RunResult r = runScanBinary(dir.path(), "oh_ch4 -T 300 --format json --spin-orbit-shift");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  EXPECT_NE(r.stderrText.find("orvalen-scan: warning: TS1: the job line's MULT=2 wins over the 2 "
                              "electronic levels of its data file ts1.dat, which are set aside"),
            std::string::npos)
      << r.stderrText;
  const json j = json::parse(r.stdoutText);
  EXPECT_EQ(kQ(j), kQ(plain));
  EXPECT_EQ(V1(j), V1(plain));
}

TEST(ScanOptions, CutOffOrBavThatNoTreatmentUsesIsNamed) {
  struct Case {
    const char *args, *warning;
  };
  const Case cases[] = {
      {"--qrrho-cutoff 50",
       "--qrrho-cutoff 50 changes nothing without --qrrho or --qrrho-enthalpy"},
      {"--qrrho truhlar --qrrho-bav 2e-44",
       "--qrrho-bav 2e-44 changes nothing without --qrrho grimme"},
      {"--qrrho-cutoff 50 --qrrho-enthalpy", nullptr},
      {"--qrrho grimme --qrrho-bav 2e-44", nullptr},
  };
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  for (const Case &c : cases) {
    const RunResult r = runScanBinary(dir.path(), std::string("oh_ch4 -T 500 ") + c.args);
    EXPECT_EQ(r.status, 0) << c.args;
    EXPECT_EQ(r.stderrText.find("changes nothing") != std::string::npos, c.warning != nullptr)
        << c.args << ": " << r.stderrText;
    if (c.warning) {
      EXPECT_NE(r.stderrText.find(std::string("orvalen-scan: warning: ") + c.warning + "\n"),
                std::string::npos)
          << r.stderrText;
    }
  }
}

// Every number of the command line is of the one grammar: with Fortran's D
// exponent the outputs are those of the plain numbers, byte for byte.
TEST(ScanOptions, NumbersWithAFortranExponentGiveTheSameScan) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  const RunResult plain =
      runScanBinary(dir.path(), "oh_ch4 -T 300,1000 -P 101325 --scale 0.96 --qrrho grimme "
                                "--qrrho-cutoff 100 --qrrho-bav 1e-44 --zpe-scale 0.98");
  const RunResult fortran =
      runScanBinary(dir.path(), "oh_ch4 -T 3d2,1D3 -P 1.01325D5 --scale 9.6d-1 --qrrho grimme "
                                "--qrrho-cutoff 1d2 --qrrho-bav 1D-44 --zpe-scale 9.8D-01");
  ASSERT_EQ(plain.status, 0) << plain.stderrText;
  ASSERT_EQ(fortran.status, 0) << fortran.stderrText;
  EXPECT_NE(plain.stdoutText.find("\nOptions: --qrrho grimme --qrrho-cutoff 100 (cm-1) --qrrho-bav "
                                  "1e-44 (kg m2) --scale 0.96 --zpe-scale 0.98\n"),
            std::string::npos)
      << plain.stdoutText;
  EXPECT_EQ(fortran.stdoutText, plain.stdoutText);
  EXPECT_EQ(fortran.stderrText, plain.stderrText);
}

// --help lists the options of the table in its order, each line as it was
// written by hand before the table.
TEST(ScanOptions, HelpListsEachOption) {
  TempDir dir;
  const RunResult help = runScanBinary(dir.path(), "--help");
  ASSERT_EQ(help.status, 0);
  const std::string lines =
      "  --qrrho TEXT                grimme | truhlar: quasi-harmonic entropy of the real modes "
      "below the cut-off\n"
      "  --qrrho-cutoff TEXT         CM1: the cut-off nu0 (default 100 cm-1)\n"
      "  --qrrho-bav TEXT            KGM2: Grimme's average moment Bav (default 1e-44 kg m2)\n"
      "  --qrrho-enthalpy            each mode's energy, ZPE included, damped to RT/2 below the "
      "cut-off (Head-Gordon)\n"
      "  --scale TEXT                F: multiply every wavenumber, the imaginary one too\n"
      "  --zpe-scale TEXT            Z: ZPE = Z * sum(h c wavenumber/2) of the unscaled "
      "wavenumbers (default F)\n"
      "  --spin-orbit-shift          lower the energy of molecules with the import table's levels "
      "by their spin-orbit stabilisation, to the lowest level Qel counts from (default; "
      "--no-spin-orbit-shift leaves it out)\n"
      "  --no-spin-orbit-shift       leave out what --spin-orbit-shift does (it is the default)\n"
      "  --rotors TEXT               quantum | classical | harmonic: the data files' hindered "
      "rotors, each in place of its mode (default quantum; harmonic leaves them out)\n"
      "  --conformers TEXT           all | lowest: the data files' conformers: the Boltzmann sum "
      "over every structure (default all), or the main structure of lowest E0 alone\n"
      "  --version                   Display program version information and exit\n";
  EXPECT_NE(help.stdoutText.find(lines), std::string::npos) << help.stdoutText;
}

TEST(ScanOptions, RefusedValues) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  for (const char *args : {"--scale 0", "--scale abc", "--zpe-scale -1", "--qrrho-cutoff 0",
                           "--qrrho-bav nan", "--qrrho rigid"}) {
    const RunResult r = runScanBinary(dir.path(), std::string("oh_ch4 ") + args);
    EXPECT_EQ(r.status, 1) << args;
    EXPECT_EQ(r.stdoutText, "") << args;
    EXPECT_EQ(r.stderrText.rfind("orvalen-scan: ", 0), 0u) << r.stderrText;
  }
}

} // namespace
} // namespace orvalen::test
