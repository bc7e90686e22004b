// The Gaussian and ORCA readers on real outputs (tests/fixtures/qc/*/README.md
// names their sources). Expected values are read off the outputs: the last
// "SCF Done" / "FINAL SINGLE POINT ENERGY" before the frequencies, the first
// and last vibrational frequency and the first IR intensity, "Multiplicity".
#include "base/error.hpp"
#include "molecule/elements.hpp"
#include "qc/geometry_names.hpp"
#include "qc/readers.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

namespace orvalen::qc {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;

const fs::path QC = fs::path(ORVALEN_FIXTURES) / "qc";

struct Sample {
  std::string name;
  std::string file; // under tests/fixtures/qc
  std::string program, version;
  std::size_t atoms;
  int charge, multiplicity;
  double energy;
  std::string energyLevel;
  std::size_t modes; // 3N-6 or 3N-5
  double firstFrequency, lastFrequency, firstIntensity;
  bool optimisation, saddleSearch;
};

void PrintTo(const Sample &s, std::ostream *os) {
  *os << s.name;
}

std::vector<Sample> samples() {
  return {
      {"g16_isobutane", "gaussian/isobutane.out", "Gaussian", "16, Revision B.01", 14, 0, 1,
       -158.458811098, "DFT", 36, 218.1120, 3107.5091, 0.0, true, false},
      {"g09_HCN_linear", "gaussian/HCN_singlet.out", "Gaussian", "09, Revision D.01", 3, 0, 1,
       -93.3588512430, "DFT", 4, 738.9845, 3400.5651, 36.2091, true, false},
      {"g16_claisen_ts", "gaussian/gaussian16_claisen_ts.log", "Gaussian", "16, Revision C.01", 14,
       0, 1, -270.374223054, "DFT", 36, -589.7505, 3281.3388, 36.5190, true, true},
      {"g09_NH3_H_ts_doublet", "gaussian/TS_NH3+H=NH2+H2.out", "Gaussian", "09, Revision D.01", 5,
       0, 2, -57.0668841744, "DFT", 9, -1131.3828, 3466.8936, 22.3301, false, false},
      {"g16_CH3OO_doublet", "gaussian/CH3OO_freq_gaussian.out", "Gaussian", "16, Revision B.01", 6,
       0, 2, -190.291584776, "DFT", 12, 136.4446, 3147.5619, 0.1044, false, false},
      {"g09_dvb_hpmodes", "gaussian/gaussian09_dvb_ir.out", "Gaussian", "09, Revision D.01", 20, 0,
       1, -382.308266580, "DFT", 54, 52.7882, 3549.7032, 0.0323, false, false},
      {"orca42_water", "orca/Orca_opt_freq_test.log", "ORCA", "4.2.0", 3, 0, 1, -76.425912545290,
       "DFT", 3, 1613.10, 3885.26, 77.068803, true, false},
      {"orca40_SN2_ts", "orca/Orca_TS_test.log", "ORCA", "4.0.1.2", 6, -1, 1, -33.865407694733,
       "SCF", 12, -503.24, 3187.08, 0.0, true, true},
      {"orca40_CO2_cation_linear", "orca/CO2_vib.out", "ORCA", "4.0.0.2", 3, 1, 2,
       -184.757766163554, "SCF", 4, 289.50, 1142.05, 14.331335, true, false},
      {"orca50_dvb", "orca/orca5_dvb_ir.out", "ORCA", "5.0.1", 20, 0, 1, -382.055108614160, "DFT",
       54, 45.66, 3546.00, 0.03, false, false},
      {"orca50_claisen_ts", "orca/orca5_claisen_ts.out", "ORCA", "5.0.4", 14, 0, 1,
       -270.176605979810, "DFT", 36, -633.34, 3279.26, 0.0, true, true},
      {"orca50_OH_CH4_ts_doublet", "orca/orca_neg_freq_ts.out", "ORCA", "5.0.4", 7, 0, 2,
       -116.255531490418, "DFT", 15, -1271.62, 3812.33, 0.0, false, false},
      {"orca60_dvb", "orca/orca6_dvb_ir.out", "ORCA", "6.0.1", 20, 0, 1, -382.055107107616, "DFT",
       54, 43.87, 3546.41, 0.03, false, false},
  };
}

class ReadsSample : public ::testing::TestWithParam<Sample> {};

TEST_P(ReadsSample, GeometryFrequenciesEnergyMultiplicityVersion) {
  const Sample &s = GetParam();
  const QcRecord rec = readOutput(QC / s.file);
  EXPECT_EQ(rec.program, s.program);
  EXPECT_EQ(rec.version, s.version);
  EXPECT_EQ(rec.atomicNumbers.size(), s.atoms);
  EXPECT_EQ(rec.coords.size(), s.atoms);
  EXPECT_EQ(rec.charge, s.charge);
  EXPECT_EQ(rec.multiplicity, s.multiplicity);
  EXPECT_DOUBLE_EQ(rec.energy, s.energy);
  EXPECT_EQ(rec.energyLevel, s.energyLevel);
  ASSERT_EQ(rec.frequencies.size(), s.modes);
  ASSERT_EQ(rec.intensities.size(), s.modes);
  EXPECT_TRUE(rec.hasIntensities);
  EXPECT_DOUBLE_EQ(rec.frequencies.front(), s.firstFrequency);
  EXPECT_DOUBLE_EQ(rec.frequencies.back(), s.lastFrequency);
  EXPECT_DOUBLE_EQ(rec.intensities.front(), s.firstIntensity);
  EXPECT_TRUE(std::is_sorted(rec.frequencies.begin(), rec.frequencies.end()));
  EXPECT_EQ(rec.optimisation, s.optimisation);
  EXPECT_EQ(rec.saddleSearch, s.saddleSearch);
  EXPECT_TRUE(rec.optimisationConverged);
  EXPECT_TRUE(rec.warnings.empty()) << rec.warnings.front();
}

// Standard atomic weights (IUPAC), the masses ORCA's rotational constants use.
double standardWeight(int z) {
  switch (z) {
  case 1:
    return 1.008;
  case 6:
    return 12.011;
  case 7:
    return 14.007;
  case 8:
    return 15.999;
  case 9:
    return 18.998;
  case 17:
    return 35.453;
  default:
    return isotopeMass(z);
  }
}

// Our moments, as rotational constants B = h / (8 pi^2 I), against the ones the
// program printed for the same geometry: Gaussian with the most abundant
// isotopes, ORCA with standard atomic weights.
TEST_P(ReadsSample, MomentsAgreeWithThePrintedRotationalConstants) {
  const Sample &s = GetParam();
  const QcRecord rec = readOutput(QC / s.file);
  // ORCA 4.0 prints no rotational constants.
  if (s.program == "ORCA" && s.version.rfind("4.0.", 0) == 0) {
    EXPECT_TRUE(rec.rotationalConstantsGHz.empty());
    return;
  }
  std::vector<double> masses;
  for (const int z : rec.atomicNumbers)
    masses.push_back(s.program == "ORCA" ? standardWeight(z) : isotopeMass(z));
  const PrincipalAxes p = principalAxes(rec.coords, masses);
  // Gaussian prints 0 for the axis of a linear molecule, whose moment is 0.
  std::vector<double> printed, moments;
  for (const double b : rec.rotationalConstantsGHz)
    if (b != 0.0)
      printed.push_back(b);
  for (const double i : p.moments)
    if (i > 1.0e-6)
      moments.push_back(i);
  std::sort(printed.rbegin(), printed.rend());
  ASSERT_EQ(printed.size(), moments.size());
  for (std::size_t k = 0; k < printed.size(); ++k)
    EXPECT_NEAR(rotationalConstantGHz(moments[k]) / printed[k], 1.0, 2.0e-5)
        << "B" << k << " printed " << printed[k];
}

INSTANTIATE_TEST_SUITE_P(Outputs, ReadsSample, ::testing::ValuesIn(samples()),
                         [](const auto &info) { return info.param.name; });

TEST(Readers, MomentsAgreeWithPsi4RotationalConstants) {
  // Psi4 prints "Rotational constants: A = 858759.67430  B = 440934.74417  C =
  // 291343.08181 [MHz]" for its optimised water, with the most abundant isotopes.
  const QcRecord rec = readOutput(QC / "psi4/h2o_opt_freq.out");
  ASSERT_EQ(rec.rotationalConstantsGHz.size(), 3u);
  const PrincipalAxes p = principalAxes(rec.coords, isotopeMasses(rec.atomicNumbers));
  for (int k = 0; k < 3; ++k)
    EXPECT_NEAR(rotationalConstantGHz(p.moments[k]) / rec.rotationalConstantsGHz[k], 1.0, 2.0e-6)
        << "B" << k;
}

TEST(Readers, GaussianCoupledClusterSinglePointHasItsHighestLevelAndNoFrequencies) {
  // "CCSD(T)= -0.75017760422D+02", above MP2 and the SCF energy printed before it.
  const QcRecord rec = readOutput(QC / "gaussian/water_ccsdt.log");
  EXPECT_DOUBLE_EQ(rec.energy, -75.017760422);
  EXPECT_EQ(rec.energyLevel, "CCSD(T)");
  EXPECT_EQ(rec.atomicNumbers, (std::vector<int>{8, 1, 1}));
  EXPECT_TRUE(rec.frequencies.empty());
  EXPECT_EQ(rec.version, "16, Revision A.03");
}

// The output cut after `marker`'s `count`-th line (and `extra` more lines).
std::string cutAfter(const std::string &text, const std::string &marker, int count, int extra) {
  std::size_t at = 0;
  for (int k = 0; k < count; ++k)
    at = text.find(marker, at) + 1;
  for (int k = 0; k <= extra; ++k)
    at = text.find('\n', at) + 1;
  return text.substr(0, at);
}

struct BadOutput {
  std::string name;
  std::string source; // fixture the bad output is made from
  std::string (*make)(const std::string &);
  std::string message; // what the error says after "bad.out: "
};

void PrintTo(const BadOutput &b, std::ostream *os) {
  *os << b.name;
}

// A saddle search (here an optimisation) that goes on after the frequencies:
// it moves the first atom by 0.2 A and completes there.
std::string gaussianMovesOn(const std::string &text) {
  return text + R"(
                         Standard orientation:
 ---------------------------------------------------------------------
 Center     Atomic      Atomic             Coordinates (Angstroms)
 Number     Number       Type             X           Y           Z
 ---------------------------------------------------------------------
      1          1           0        0.200000    0.000000    0.000000
      2          1           0        1.500000    0.000000    0.000000
      3          7           0        0.000000    1.100000    0.000000
      4          1           0        0.000000    1.500000    0.900000
      5          1           0        0.000000    1.500000   -0.900000
 ---------------------------------------------------------------------
 Search for a saddle point.
 Optimization completed.
)";
}

std::string orcaMovesOn(const std::string &text) {
  std::string moved = text;
  const std::string block =
      "CARTESIAN COORDINATES (ANGSTROEM)\n---------------------------------\n";
  const std::size_t at = moved.rfind(block);
  std::string again = moved.substr(at, moved.find("\n\n", at) - at + 2);
  again[again.find('.', block.size()) - 1] = '5'; // the first x coordinate, a few A away
  return moved + "\n" + again;
}

class RefusesOutput : public ::testing::TestWithParam<BadOutput> {};

TEST_P(RefusesOutput, WithAMessageNamingTheFile) {
  const BadOutput &b = GetParam();
  TempDir dir;
  dir.write("bad.out", b.make(readFile(QC / b.source)));
  try {
    readOutput(dir / "bad.out");
    FAIL() << "not refused";
  } catch (const Error &e) {
    EXPECT_EQ(std::string(e.what()), (dir / "bad.out").string() + ": " + b.message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, RefusesOutput,
    ::testing::Values(
        BadOutput{"gaussian_cut_in_frequency_table", "gaussian/isobutane.out",
                  [](const std::string &t) { return cutAfter(t, " Frequencies -- ", 5, 2); },
                  "the frequency table has 15 of the 36 modes of 14 atoms (truncated output?)"},
        BadOutput{"gaussian_cut_in_orientation", "gaussian/isobutane.out",
                  [](const std::string &t) { return cutAfter(t, "Standard orientation:", 3, 7); },
                  "ends inside an orientation table (truncated output)"},
        BadOutput{"gaussian_banner_only", "gaussian/isobutane.out",
                  [](const std::string &t) { return cutAfter(t, "Entering Gaussian", 1, 0); },
                  "no geometry found"},
        // "Harmonic frequencies" stands on line 995 of the 1312; the search for a
        // saddle point that moved is the 13th line added after them.
        BadOutput{"gaussian_optimisation_after_frequencies", "gaussian/TS_NH3+H=NH2+H2.out",
                  gaussianMovesOn,
                  "the frequencies (line 995) belong to the geometry before the saddle-point "
                  "search at line 1325, not to the final one; run a frequency analysis at the "
                  "final geometry"},
        BadOutput{"orca_cut_in_frequency_list", "orca/Orca_TS_test.log",
                  [](const std::string &t) { return cutAfter(t, "   9:   ", 1, 0); },
                  "the frequency list has 10 of the 18 modes of 6 atoms (truncated output?)"},
        // "VIBRATIONAL FREQUENCIES" on line 12601 of the 13184 of an OptTS run; the
        // moved coordinates follow a blank line after them.
        BadOutput{"orca_optimisation_after_frequencies", "orca/orca5_claisen_ts.out", orcaMovesOn,
                  "the frequencies (line 12601) belong to the geometry before the saddle-point "
                  "search at line 13186, not to the final one; run a frequency analysis at the "
                  "final geometry"},
        BadOutput{"binary_garbage", "orca/Orca_TS_test.log",
                  [](const std::string &) {
                    return std::string("\x7f"
                                       "ELF\0\0\xff\xfe\x01",
                                       9);
                  },
                  "not an output of a known program (NWChem, Psi4, xtb, Gaussian, ORCA)"}),
    [](const auto &info) { return info.param.name; });

// A compound ORCA input ($new_job): a singlet frequency job, then a doublet
// cation single point at the same geometry (a CCSD(T) energy). Every value is
// the frequency job's; the banner of job 2 closes job 1.
std::string orcaThenDoubletJob(const std::string &text) {
  const std::size_t end = text.rfind("                             ****ORCA TERMINATED NORMALLY");
  return text.substr(0, end) + R"(
                         $$$$$$$$$$$$$$$$  JOB NUMBER  2 $$$$$$$$$$$$$$
 Total Charge           Charge          ....    1
 Multiplicity           Mult            ....    2
---------------------------------
CARTESIAN COORDINATES (ANGSTROEM)
---------------------------------
  O      0.000000   -0.000000    0.007513
  H      0.000000    0.765051    0.592286
  H      0.000000   -0.765051    0.592286

E(CCSD(T))                                 ...    -75.905120000
FINAL SINGLE POINT ENERGY       -75.905120000000
)";
}

TEST(Readers, OrcaValuesAreThoseOfTheJobThatComputedTheFrequencies) {
  const std::string text = readFile(QC / "orca/Orca_opt_freq_test.log");
  TempDir dir;
  const std::string finished =
      orcaThenDoubletJob(text) + "                             ****ORCA TERMINATED NORMALLY****\n";
  for (const bool ended : {true, false}) {
    dir.write("two.out", ended ? finished : orcaThenDoubletJob(text));
    const QcRecord rec = readOutput(dir / "two.out");
    EXPECT_EQ(rec.multiplicity, 1);
    EXPECT_EQ(rec.charge, 0);
    EXPECT_DOUBLE_EQ(rec.energy, -76.425912545290);
    EXPECT_EQ(rec.energyLevel, "DFT");
    EXPECT_DOUBLE_EQ(rec.frequencies.back(), 3885.26);
    // Job 2 did not finish in the second: its values are not read, and the
    // output says so.
    EXPECT_EQ(rec.warnings.empty(), ended);
  }
}

// A frequency step that ended, its thermochemistry whole, then an IRC cut at
// its start (tests/fixtures/qc/orca/README.md says how the file was made):
// the frequency step's values are read, with the one warning that the run did
// not finish. Cut inside the thermochemistry, the output is refused as before.
TEST(Readers, OrcaCutInAnIrcAfterTheThermochemistryKeepsTheFrequencyStep) {
  const QcRecord whole = readOutput(QC / "orca/orca_neg_freq_ts.out");
  const QcRecord cut = readOutput(QC / "orca/orca_neg_freq_ts_then_irc_cut.out");
  EXPECT_EQ(cut.coords, whole.coords);
  EXPECT_EQ(cut.frequencies, whole.frequencies);
  EXPECT_EQ(cut.intensities, whole.intensities);
  EXPECT_EQ(cut.energy, whole.energy);
  EXPECT_EQ(cut.multiplicity, whole.multiplicity);
  EXPECT_TRUE(whole.warnings.empty());
  // "G-E(el)", the thermochemistry's last line, is line 1628 of both.
  EXPECT_EQ(cut.warnings,
            (std::vector<std::string>{
                "the run did not finish: the output stops without \"ORCA TERMINATED NORMALLY\" "
                "at its end; the values read are those of the job step that ends at line 1628"}));

  const std::string text = readFile(QC / "orca/orca_neg_freq_ts.out");
  TempDir dir;
  dir.write("thermo_cut.out", text.substr(0, text.find("Final Gibbs free energy")));
  try {
    readOutput(dir / "thermo_cut.out");
    ADD_FAILURE() << "an output cut inside its thermochemistry read";
  } catch (const Error &e) {
    EXPECT_NE(std::string(e.what()).find("the last of the values read, does not end"),
              std::string::npos)
        << e.what();
  }
}

TEST(Readers, GaussianValuesOnlyFromAJobThatEndedNormally) {
  const std::string text = readFile(QC / "gaussian/isobutane.out");
  TempDir dir;
  // The opt job ended, the freq job is cut after its frequencies: before,
  // the opt job's "Normal termination" stood for the whole file.
  const std::size_t thermo = text.rfind(" - Thermochemistry -");
  dir.write("cut.out", text.substr(0, text.rfind('\n', thermo) + 1));
  EXPECT_NE(
      [&] {
        try {
          readOutput(dir / "cut.out");
        } catch (const Error &e) {
          return std::string(e.what());
        }
        return std::string("(read)");
      }()
          .find(": the job step that printed this line, the last of the values read, does not end"),
      std::string::npos);
  // An error termination in place of the freq job's normal one.
  std::string failed = text;
  const std::size_t last = failed.rfind(" Normal termination of Gaussian");
  failed.replace(last, 31, " Error termination via Lnk1e in");
  dir.write("failed.out", failed);
  try {
    readOutput(dir / "failed.out");
    ADD_FAILURE() << "values of a job that failed read";
  } catch (const Error &e) {
    EXPECT_NE(std::string(e.what()).find("stopped with an error at line 2752"), std::string::npos)
        << e.what();
  }
}

TEST(Readers, APathAfterTheFrequenciesKeepsTheirGeometry) {
  // An IRC printed after a frequency job moves the nuclei, but its points are
  // not the molecule's geometry: the frequencies' geometry is kept.
  const std::string text = readFile(QC / "gaussian/TS_NH3+H=NH2+H2.out");
  TempDir dir;
  dir.write("irc.out", gaussianMovesOn(text + " IRC-IRC-IRC-IRC-IRC-IRC-IRC-IRC-IRC-IRC\n"));
  dir.write("plain.out", text);
  const QcRecord irc = readOutput(dir / "irc.out");
  const QcRecord plain = readOutput(dir / "plain.out");
  EXPECT_EQ(irc.coords, plain.coords);
  EXPECT_EQ(irc.frequencies, plain.frequencies);
  EXPECT_EQ(irc.energy, plain.energy);
}

} // namespace
} // namespace orvalen::qc
