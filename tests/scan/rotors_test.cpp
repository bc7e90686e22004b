// orvalen-scan with hindered rotors: the OH + CH4 example with a transition
// state whose data file has two rotors (tests/fixtures/scan/rotors/ts1.dat:
// the OH torsion, a Fourier potential, in place of the 62 cm-1 mode; the CH3
// torsion, a cosine well of the 307 cm-1 mode's curvature, in place of it).
// Each rotor's values flow into TS1's vibrations, dH0 and kQ by the hand
// formulas; the outputs name the rotors and the treatment; a job without
// rotors, or --rotors harmonic, keeps every value.

#include "scan/scan_support.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <string>

namespace orvalen::test {
namespace {

using nlohmann::json;

// CODATA 1998, as the program's constants.
constexpr double H = 6.62606876e-34;
constexpr double KB = 1.3806503e-23;
constexpr double NA = 6.02214199e23;
constexpr double C = 299792458.0;
constexpr double AMU_KG = 1.66053873e-27;
constexpr double R = KB * NA;
constexpr double PI = 3.141592653589793;
constexpr double T = 300.0;

// x = h c nu/kT of a wavenumber (cm-1) at T.
double x(double nu) {
  return H * C * 100.0 * nu / (KB * T);
}
// Harmonic mode: S = R[x/(e^x - 1) - ln(1 - e^-x)], Q0 = 1/(1 - e^-x), ZPE = h c nu/2.
double harmonicS(double nu) {
  return R * (x(nu) / std::expm1(x(nu)) - std::log(-std::expm1(-x(nu))));
}
double harmonicQ0(double nu) {
  return 1.0 / -std::expm1(-x(nu));
}
double zpeKJ(double nu) {
  return H * C * 100.0 * nu / 2.0 * NA / 1000.0;
}
// nu = sqrt(V''/I)/(2 pi c), V'' in kJ/(mol rad^2), I in amu*A^2.
double wavenumber(double curvature, double moment) {
  return std::sqrt(curvature * 1000.0 / NA / (moment * AMU_KG * 1e-20)) / (2.0 * PI) / (C * 100.0);
}

// The CH3 rotor: sigma 3, I = 3 amu*A^2, V0 = 22.293930 kJ/mol; its ground level
// lies below h c 307/2 by B sigma^2/16 + B sigma^2/(128 sqrt q) + 3 B sigma^2/(1024 q),
// q = V0/(B sigma^2) (Mathieu, Abramowitz & Stegun 20.2.30).
double methylZpeKJ() {
  const double hbar = H / (2.0 * PI);
  const double b = hbar * hbar / (2.0 * 3.0 * AMU_KG * 1e-20) * NA / 1000.0 * 9.0;
  const double q = 22.293930 / b;
  return zpeKJ(wavenumber(9.0 * 22.293930 / 2.0, 3.0)) - b / 16.0 - b / (128.0 * std::sqrt(q)) -
         3.0 * b / (1024.0 * q);
}

// The example's job folder, with TS1's data file the one with rotors.
void rotorJob(const TempDir &dir) {
  copyJobFolder("examples/oh_ch4", dir.path());
  std::filesystem::copy_file(std::filesystem::path(ORVALEN_FIXTURES) / "scan/rotors/ts1.dat",
                             dir / "ts1.dat", std::filesystem::copy_options::overwrite_existing);
}

json scanJson(const TempDir &dir, const std::string &options) {
  const RunResult r = runScanBinary(dir.path(), "oh_ch4 -T 300 --format json " + options);
  EXPECT_EQ(r.status, 0) << r.stderrText;
  return json::parse(r.stdoutText);
}

const json &ts1(const json &j) {
  return j["temperatures"][0]["molecules"][4]; // OH, CH4, H2O, CH3, TS1
}

TEST(ScanRotors, JobWithoutRotorsKeepsEveryByteUnderEveryTreatment) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  for (const char *format : {"table", "csv", "json"})
    for (const char *other : {"", " --scale 0.96"}) {
      const std::string base =
          std::string("oh_ch4 -T 300,600,1000 --fit --format ") + format + other;
      const RunResult plain = runScanBinary(dir.path(), base);
      ASSERT_EQ(plain.status, 0) << plain.stderrText;
      for (const char *rotors : {"quantum", "classical", "harmonic", "Classical"}) {
        const RunResult r = runScanBinary(dir.path(), base + " --rotors " + rotors);
        EXPECT_EQ(r.status, 0) << base << " " << rotors << ": " << r.stderrText;
        // One warning more, the option being probably meant for data files with
        // rotors (in the JSON's warnings too); nothing else changes.
        std::string treatment = rotors;
        treatment[0] = 'c' == (treatment[0] | 0x20) ? 'c' : treatment[0];
        const std::string warning = "--rotors " + treatment +
                                    " changes nothing: no data file of the job has hindered "
                                    "rotors (orvalen-import --rotor writes them)";
        const auto withoutLineOf = [&](std::string text) {
          const std::size_t at = text.find(warning);
          EXPECT_NE(at, std::string::npos) << text;
          if (at != std::string::npos)
            text.erase(text.rfind('\n', at) + 1, text.find('\n', at) - text.rfind('\n', at));
          return text;
        };
        EXPECT_EQ(withoutLineOf(r.stderrText), plain.stderrText) << base << " " << rotors;
        if (std::string(format) == "json")
          EXPECT_EQ(withoutLineOf(r.stdoutText), plain.stdoutText) << base << " " << rotors;
        else
          EXPECT_EQ(r.stdoutText, plain.stdoutText) << base << " --rotors " << rotors;
      }
    }
}

TEST(ScanRotors, HarmonicLeavesTheRotorsOut) {
  TempDir plainDir, dir;
  copyJobFolder("examples/oh_ch4", plainDir.path());
  rotorJob(dir);
  const RunResult plain = runScanBinary(plainDir.path(), "oh_ch4 -T 300,1000 --format json");
  const RunResult r =
      runScanBinary(dir.path(), "oh_ch4 -T 300,1000 --format json --rotors harmonic");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  EXPECT_EQ(r.stderrText, plain.stderrText); // nothing said of the rotors left out
  const json a = json::parse(plain.stdoutText), b = json::parse(r.stdoutText);
  EXPECT_EQ(b["temperatures"], a["temperatures"]);
  EXPECT_EQ(b["eckart"], a["eckart"]);
  EXPECT_EQ(b["options"]["rotors"], "harmonic");
  EXPECT_EQ(b["molecules"][4]["rotors"].size(), 2u);
}

struct TreatmentCase {
  const char *rotors; // --rotors; empty: the default
  const char *name;   // options.rotors
  bool quantum;
};

TEST(ScanRotors, RotorsMoveTheTransitionStateByTheirOwnValues) {
  // V'' of the OH rotor at phi = 0: -sum k^2 a_k = 1 + 4 * 0.5 = 3 kJ/(mol rad^2).
  const double ohNu = wavenumber(3.0, 0.85);
  const TreatmentCase cases[] = {{"", "quantum", true},
                                 {"--rotors QUANTUM", "quantum", true},
                                 {"--rotors classical", "classical", false}};
  TempDir plainDir, dir;
  copyJobFolder("examples/oh_ch4", plainDir.path());
  rotorJob(dir);
  const json plain = scanJson(plainDir, "");
  for (const TreatmentCase &c : cases) {
    const json j = scanJson(dir, c.rotors);
    EXPECT_EQ(j["options"]["rotors"], c.name) << c.rotors;
    const json &rotors = ts1(j)["rotors"];
    ASSERT_EQ(rotors.size(), 2u) << c.rotors;
    const json &oh = rotors[0], &methyl = rotors[1];
    // Classical: ZPE = h c nu/2 at the minimum's curvature; quantum: the Mathieu ground level.
    EXPECT_NEAR(methyl["ZPE_kJmol"].get<double>(), c.quantum ? methylZpeKJ() : zpeKJ(307.0), 2e-5)
        << c.rotors;
    if (!c.quantum) {
      EXPECT_NEAR(oh["ZPE_kJmol"].get<double>(), zpeKJ(ohNu), 1e-9);
    }
    // Each rotor's S and ZPE in place of its mode's; kQ by Q_rotor/Q0_HO and exp(-dZPE/RT).
    double dS = 0.0, dZpe = 0.0, qRatio = 1.0;
    for (const auto &[rotor, nu] : {std::pair{&oh, 62.0}, std::pair{&methyl, 307.0}}) {
      dS += (*rotor)["S_JmolK"].get<double>() - harmonicS(nu);
      dZpe += (*rotor)["ZPE_kJmol"].get<double>() - zpeKJ(nu);
      qRatio *= (*rotor)["Q"].get<double>() / harmonicQ0(nu);
      // H from the potential minimum: ZPE + H - H0; S = R ln Q + (H - H0)/T.
      const double hh0 = (*rotor)["H_kJmol"].get<double>() - (*rotor)["ZPE_kJmol"].get<double>();
      EXPECT_NEAR((*rotor)["S_JmolK"].get<double>(),
                  R * std::log((*rotor)["Q"].get<double>()) + hh0 * 1000.0 / T, 1e-9)
          << c.rotors;
    }
    const json &vib = ts1(j)["vib"], &vib0 = ts1(plain)["vib"];
    EXPECT_NEAR(vib["S_JmolK"].get<double>() - vib0["S_JmolK"].get<double>(), dS, 1e-9) << c.rotors;
    EXPECT_NEAR(vib["ZPE_kJmol"].get<double>() - vib0["ZPE_kJmol"].get<double>(), dZpe, 1e-9)
        << c.rotors;
    EXPECT_EQ(vib["used"], vib0["used"]);
    EXPECT_NEAR(j["eckart"]["V1_kJmol"].get<double>() - plain["eckart"]["V1_kJmol"].get<double>(),
                dZpe, 1e-9)
        << c.rotors;
    const double kQ = j["temperatures"][0]["kQ"][2].get<double>();
    const double kQ0 = plain["temperatures"][0]["kQ"][2].get<double>();
    EXPECT_NEAR(kQ / kQ0 / (qRatio * std::exp(-dZpe * 1000.0 / (R * T))), 1.0, 1e-9) << c.rotors;
    // The other molecules keep their values and carry no rotors.
    for (std::size_t m = 0; m < 4; ++m) {
      EXPECT_EQ(j["temperatures"][0]["molecules"][m], plain["temperatures"][0]["molecules"][m]);
      EXPECT_FALSE(j["molecules"][m].contains("rotors")) << m;
    }
  }
}

TEST(ScanRotors, JsonDescribesEachRotor) {
  TempDir dir;
  rotorJob(dir);
  const json j = scanJson(dir, "--rotors classical");
  const json &rotors = j["molecules"][4]["rotors"];
  ASSERT_EQ(j["molecules"][4]["name"], "TS1");
  ASSERT_EQ(rotors.size(), 2u);
  EXPECT_EQ(rotors[0]["pivots"], json::parse("[3, 2]"));
  EXPECT_EQ(rotors[0]["top"], json::parse("[3, 4]"));
  EXPECT_EQ(rotors[0]["sigma"], 1);
  EXPECT_EQ(rotors[0]["I_amuA2"].get<double>(), 0.85);
  EXPECT_EQ(rotors[0]["potential"],
            json::parse(R"({"fourier_kJmol": [[1.5, 0.0], [-1.0, 0.3], [-0.5, -0.15]]})"));
  EXPECT_EQ(rotors[0]["replaced_mode_cm1"].get<double>(), 62.0);
  EXPECT_EQ(rotors[1]["pivots"], json::parse("[1, 2]"));
  EXPECT_EQ(rotors[1]["top"], json::parse("[1, 5, 6, 7]"));
  EXPECT_EQ(rotors[1]["sigma"], 3);
  EXPECT_EQ(rotors[1]["potential"], json::parse(R"({"cosine_V0_kJmol": 22.29393})"));
  EXPECT_NEAR(rotors[1]["barrier_kJmol"].get<double>(), 22.29393, 1e-9);
  EXPECT_EQ(rotors[1]["replaced_mode_cm1"].get<double>(), 307.0);
  EXPECT_EQ(rotors[1]["mode"], 9);
}

TEST(ScanRotors, TableNamesEveryRotorAndTheTreatment) {
  TempDir dir;
  rotorJob(dir);
  const RunResult r = runScanBinary(dir.path(), "oh_ch4 -T 300 --rotors classical");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  // The OH rotor's barrier: V from 0 at phi = 0 to 2.6397 kJ/mol (a fine grid over a turn).
  const std::string lines[] = {
      "\nOptions: --scale 1 --zpe-scale 1 --rotors classical\n",
      "\nHindered rotors, classical (",
      "\n  TS1 rotor 1: pivots 3-2, sigma 1, I 0.850000 amu*A^2, barrier 2.640 kJ/mol, in place "
      "of mode 8 (62.00 cm-1)\n",
      "\n  TS1 rotor 2: pivots 1-2, sigma 3, I 3.000000 amu*A^2, barrier 22.294 kJ/mol, in place "
      "of mode 9 (307.00 cm-1)\n",
  };
  for (const std::string &line : lines)
    EXPECT_NE(r.stdoutText.find(line), std::string::npos) << line << r.stdoutText;
}

TEST(ScanRotors, QuasiHarmonicAndScaleLeaveTheRotorsAlone) {
  TempDir dir;
  rotorJob(dir);
  const json plain = scanJson(dir, "");
  for (const char *options :
       {"--qrrho grimme", "--qrrho truhlar --qrrho-cutoff 500 --qrrho-enthalpy", "--scale 0.9"}) {
    const json j = scanJson(dir, options);
    EXPECT_EQ(ts1(j)["rotors"], ts1(plain)["rotors"]) << options;
    EXPECT_NE(ts1(j)["vib"]["S_JmolK"], ts1(plain)["vib"]["S_JmolK"]) << options;
  }
}

TEST(ScanRotors, UnknownTreatmentIsRefused) {
  TempDir dir;
  rotorJob(dir);
  const RunResult r = runScanBinary(dir.path(), "oh_ch4 --rotors rigid");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.stdoutText, "");
  EXPECT_EQ(
      r.stderrText,
      "orvalen-scan: unknown --rotors treatment \"rigid\" (quantum, classical or harmonic)\n");
}

} // namespace
} // namespace orvalen::test
