// The real orvalen-import on real files, then the real orvalen on a job made
// of what it wrote.
#include "qc/readers.hpp"
#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace orvalen {
namespace {

namespace fs = std::filesystem;
using test::linesOf;
using test::readFile;
using test::runProgram;
using test::TempDir;

const fs::path QC = fs::path(ORVALEN_FIXTURES) / "qc";
const fs::path USER_DATA = QC / "user_data";

test::RunResult import(const TempDir &dir, const std::string &args) {
  return runProgram(ORVALEN_IMPORT_BINARY, dir.path(), args);
}

// The report line that starts with `label`.
std::string reportLine(const std::string &report, const std::string &label) {
  for (const auto &line : linesOf(report))
    if (line.rfind(label, 0) == 0)
      return line;
  return "(no line " + label + ")";
}

TEST(ImportCli, WaterFromPaperDataIsTheHandWorkedFileAndRunsInOrvalen) {
  TempDir dir;
  fs::copy_file(USER_DATA / "water.xyz", dir / "water.xyz");
  fs::copy_file(USER_DATA / "water.freqs", dir / "water.freqs");
  const auto r = import(dir, "--xyz water.xyz --freqs water.freqs --energy-value -76.4089531 "
                             "--mult 1 -o water.dat");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.stderrText, "");
  EXPECT_EQ(dir.read("water.dat"), readFile(USER_DATA / "water.expected"));

  dir.write("job.inp", "REACT H2O water.dat\n");
  const auto run = runProgram(ORVALEN_BINARY, dir.path(), "job");
  EXPECT_EQ(run.status, 0) << run.stderrText;
  const std::string report = dir.read("job.out");
  // Moments and mass from make_water.py; ZPE = N_A h c (1648.5 + 3832.2 + 3942.5 cm-1) / 2
  // = 0.011962656 kJ/mol * 4711.6 = 56.3633 kJ/mol.
  EXPECT_EQ(reportLine(report, " PMOI"), " PMOI, amu*A**2:     0.614456    1.154915    1.769370");
  EXPECT_EQ(reportLine(report, " Rot. number"), " Rot. number   :            2");
  EXPECT_EQ(reportLine(report, " Linearity"), " Linearity     :            0");
  EXPECT_EQ(reportLine(report, " Molecular mass"), " Molecular mass:        18.01 amu");
  EXPECT_EQ(reportLine(report, " ZPEtot").substr(0, 18), " ZPEtot     56.363");
  EXPECT_EQ(reportLine(report, " Etot        =").substr(0, 31), " Etot        =     -76.40895310");
}

TEST(ImportCli, LinearSaddlePointFromPaperDataIsRowSevenAndLinearInOrvalen) {
  TempDir dir;
  dir.write("h3.xyz", "3\nH...H...H, collinear\nH 0 0 -0.9304\nH 0 0 0\nH 0 0 0.9304\n");
  dir.write("h3.freqs", "1512i 911 911 2061\n");
  const auto r = import(dir, "--xyz h3.xyz --freqs h3.freqs --mult 2 --energy-value -1.656992 "
                             "-o h3.dat");
  EXPECT_EQ(r.status, 0) << r.stderrText;
  const std::string data = dir.read("h3.dat");
  EXPECT_NE(data.find(" Ia,Ib,Ic, amu*A^2        1.744836       1.744836       0.000000\n"),
            std::string::npos)
      << data; // 2 m_H 0.9304^2 = 1.744836
  EXPECT_NE(data.find(" Symmetry group          :       D*h\n"), std::string::npos);
  EXPECT_NE(data.find("   7-1512.000    0.000\n"), std::string::npos);

  dir.write("job.inp", "TS H3 h3.dat\n");
  const auto run = runProgram(ORVALEN_BINARY, dir.path(), "job");
  const std::string report = dir.read("job.out");
  EXPECT_EQ(reportLine(report, " Linearity"), " Linearity     :            1");
  EXPECT_EQ(reportLine(report, " Rot. number"), " Rot. number   :            2");
  EXPECT_EQ(reportLine(report, " Multiplicity"), " Multiplicity  :            2");
  EXPECT_NE(report.find("\n   7-1512.000"), std::string::npos);
}

TEST(ImportCli, WarningsGoToStandardErrorAndTheFileIsStillWritten) {
  TempDir dir;
  fs::copy_file(USER_DATA / "water.xyz", dir / "water.xyz");
  dir.write("two.freqs", "-300 -1650.5 3800\n");
  const auto r = import(dir, "--xyz water.xyz --freqs two.freqs");
  EXPECT_EQ(r.status, 0);
  const auto warnings = linesOf(r.stderrText);
  ASSERT_EQ(warnings.size(), 3u) << r.stderrText;
  EXPECT_EQ(warnings[0], "orvalen-import: warning: water.xyz: no spin multiplicity given; 1 "
                         "written, the lowest for 10 electrons of the neutral molecule (give "
                         "--mult M)");
  EXPECT_EQ(warnings[1], "orvalen-import: warning: water.xyz: no electronic energy; the data "
                         "file has no \"Base Energy\" line (give --energy-value, or ETOT on the "
                         "job line)");
  EXPECT_EQ(warnings[2], "orvalen-import: warning: water.xyz: 2 imaginary frequencies (-1650.5, "
                         "-300.0 cm-1): a saddle point of higher order, not a transition state; "
                         "row 7 holds the first");
  EXPECT_NE(r.stdoutText.find(" Num. of imaginary freqs :         2\n"), std::string::npos);
  EXPECT_EQ(r.stdoutText.find("Base Energy"), std::string::npos);
}

// What is written with a warning: the data file holds what was asked for,
// and standard error says what differs from the calculation.
TEST(ImportCli, WrittenWithAWarningOrAsGiven) {
  struct Case {
    const char *what;
    std::string args;
    const char *warning; // empty: none
    std::vector<const char *> written;
  };
  const std::string ts = (QC / "orca" / "orca_neg_freq_ts.out").string();
  const std::string ethyl = (QC / "gaussian" / "gaussian_ethyl_scan_1.log").string();
  const Case cases[] = {
      {"--mult other than the calculation's (a doublet computed, a quartet written)",
       ts + " --mult 4",
       "orvalen-import: warning: {}: --mult 4 differs from the spin multiplicity 2 the "
       "calculation states; 4 written, though the energy and frequencies are those of the 2 "
       "state",
       {" Spin multiplicity of molecule = 4\n"}},
      {"--mult as the calculation states: no word",
       ts + " --mult 2",
       "",
       {" Spin multiplicity of molecule = 2\n"}},
      // A composite energy: CCSD(T) in a small basis plus an MP2 basis-set
      // correction, with its method; f17.8 of -116.2555 is "    -116.25550000".
      {"a composite energy with an output",
       ts + " --energy-value -116.2555 --energy-method "
            "\"CCSD(T)/DZ+dMP2(QZ-DZ)\"",
       "",
       {" Base Energy :    -116.25550000\n", " Energy method           :CCSD(T)/DZ+dMP2(QZ-DZ)\n"}},
      {"a composite energy with a Gaussian output",
       ethyl + " --energy-value -79.1d0 --energy-method \"W1\"",
       "",
       {" Base Energy :     -79.10000000\n", " Energy method           :W1\n"}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const auto r = import(dir, c.args + " -o out.dat");
    ASSERT_EQ(r.status, 0) << r.stderrText;
    std::string warning = c.warning;
    if (const auto at = warning.find("{}"); at != std::string::npos)
      warning.replace(at, 2, ts);
    if (warning.empty()) {
      EXPECT_EQ(r.stderrText.find("--mult"), std::string::npos) << r.stderrText;
    } else {
      EXPECT_NE(r.stderrText.find(warning + "\n"), std::string::npos) << r.stderrText;
    }
    const std::string file = dir.read("out.dat");
    for (const char *line : c.written)
      EXPECT_NE(file.find(line), std::string::npos) << line << " not in\n" << file;
  }
}

// The value in the field before `unit` on the first line after the section of
// molecule `name` that starts with `label`.
double sectionValue(const std::string &report, const std::string &name, const std::string &label,
                    const std::string &unit) {
  const std::size_t section = report.find("TD properties of molecule " + name + " ");
  const std::size_t line = report.find("\n" + label, section);
  const std::size_t end = report.find(unit, line);
  if (section == std::string::npos || line == std::string::npos || end == std::string::npos)
    return std::nan("");
  std::size_t start = report.rfind(' ', report.find_last_not_of(' ', end - 1)) + 1;
  return std::stod(report.substr(start, end - start));
}

// Gaussian computes the same rigid-rotor harmonic-oscillator thermochemistry
// (298.15 K, 1 atm) in its "- Thermochemistry -" section; the data files
// imported from its outputs must give orvalen the same totals. Reference
// values from those sections: "Zero-point vibrational energy" (J/mol) and the
// "Total" thermal energy (kcal/mol) and entropy (cal/mol-K). Orvalen's
// translational entropy is R ln Qtran + 1.5 R where Gaussian's (Sackur-Tetrode)
// is R ln Qtran + 2.5 R, so Gaussian's entropy is orvalen's plus R = 1.98720
// cal/mol-K. Gaussian's rotational symmetry numbers for these four (1, 2, 1,
// 1) are the ones the geometry gives.
TEST(ImportCli, OrvalenOnImportedGaussianOutputsAgreesWithGaussianThermochemistry) {
  struct Molecule {
    std::string name, role, output;
    double zpeJoule, thermalKcal, entropyCal;
  };
  const std::vector<Molecule> molecules = {
      {"CH3OO", "REACT", "CH3OO_freq_gaussian.out", 112439.9, 29.291, 64.198},
      {"DVB", "REACT", "gaussian09_dvb_ir.out", 465080.1, 116.737, 91.850},
      {"HCN", "PROD", "HCN_singlet.out", 41949.5, 11.631, 48.189},
      {"TS", "TS", "TS_NH3+H=NH2+H2.out", 85395.4, 22.350, 52.838},
  };
  TempDir dir;
  std::string job = "! molecules imported from Gaussian outputs\n";
  for (const auto &m : molecules) {
    fs::copy_file(QC / "gaussian" / m.output, dir / m.output);
    const auto r = import(dir, test::shellQuote(m.output) + " -o " + m.name + ".dat");
    EXPECT_EQ(r.status, 0) << m.name;
    EXPECT_EQ(r.stderrText, "") << m.name;
    job += m.role + " " + m.name + " " + m.name + ".dat\n";
  }
  dir.write("job.inp", job);
  const auto run = runProgram(ORVALEN_BINARY, dir.path(), "job");
  EXPECT_NE(run.status, 1) << run.stderrText;
  const std::string report = dir.read("job.out");
  constexpr double R_CAL = 1.98720; // cal/(mol K)
  for (const auto &m : molecules) {
    SCOPED_TRACE(m.name);
    EXPECT_NEAR(sectionValue(report, m.name, " ZPEtot", "kJ/mol"), m.zpeJoule / 1000.0, 0.001);
    EXPECT_NEAR(sectionValue(report, m.name, " Utot =", "kcal/mol"), m.thermalKcal, 0.0015);
    EXPECT_NEAR(sectionValue(report, m.name, " Stot =", "cal/K/mol") + R_CAL, m.entropyCal, 0.0015);
  }
}

TEST(ImportCli, EnergyFromAHigherLevelSinglePoint) {
  TempDir dir;
  for (const char *f :
       {"orca/orca5_dvb_ir.out", "orca/orca6_dvb_ir.out", "orca/Orca_opt_freq_test.log",
        "gaussian/water_ccsdt.log", "gaussian/isobutane.out"})
    fs::copy_file(QC / f, dir / fs::path(f).filename());

  // The same geometry: the energy is taken without a word.
  auto r = import(dir, "orca6_dvb_ir.out --energy orca5_dvb_ir.out");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.stderrText, "");
  EXPECT_NE(r.stdoutText.find("\n Energy (DFT) from orca5_dvb_ir.out\n"), std::string::npos);
  EXPECT_NE(r.stdoutText.find("\n Base Energy :    -382.05510861\n"), std::string::npos);

  // CCSD(T) at a geometry 0.04 A away from ORCA's B3LYP one: taken, with a warning.
  r = import(dir, "Orca_opt_freq_test.log --energy water_ccsdt.log");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.stdoutText.find("\n Base Energy :     -75.01776042\n"), std::string::npos);
  EXPECT_EQ(r.stderrText.rfind("orvalen-import: warning: water_ccsdt.log: its geometry differs "
                               "from the one the frequencies of Orca_opt_freq_test.log were "
                               "computed at (RMSD ",
                               0),
            0u)
      << r.stderrText;
  EXPECT_EQ(linesOf(r.stderrText).size(), 1u);

  // Another molecule: refused.
  r = import(dir, "isobutane.out --energy water_ccsdt.log -o out.dat");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.stderrText,
            "orvalen-import: water_ccsdt.log: holds H2O, not C4H10 of isobutane.out\n");
  EXPECT_FALSE(fs::exists(dir / "out.dat"));
}

struct BadRun {
  std::string name;
  std::string args;
  std::string message; // the one line on standard error
};

void PrintTo(const BadRun &b, std::ostream *os) {
  *os << b.name;
}

class ImportRefuses : public ::testing::TestWithParam<BadRun> {};

TEST_P(ImportRefuses, WithOneLineAndStatusOne) {
  TempDir dir;
  fs::copy_file(USER_DATA / "water.xyz", dir / "water.xyz");
  fs::copy_file(USER_DATA / "water.freqs", dir / "water.freqs");
  dir.write("four.freqs", "1600 3800 3900 4000\n");
  dir.write("words.freqs", "1600 3800\n3900 cm-1\n");
  const char garbage[] = "\x7f"
                         "ELF\x02\x01\x01\0\0\0 binary \xff\xfe";
  dir.write("garbage.out", std::string(garbage, sizeof garbage - 1));
  dir.write("short.xyz", "3\nwater\nO 0 0 0\nH 0 0.76 0.58\n");
  dir.write("cr.xyz", "3\nwater\nO 0 0 0\rH\nH 0 0.76 0.58\nH 0 -0.76 0.58\n");
  dir.write("same.xyz", "3\nwater\nO 0 0 0\nH 0 0.76 0.58\nH 0 0.76 0.58\n");
  dir.write("plus.freqs", "+-1648 3832.2 3942.5\n");
  dir.write("nul.freqs", std::string("1648.5 38\0"
                                     "32.2 3942.5\n",
                                     22));
  dir.write("oh.xyz", "2\nhydroxyl\nO 0 0 0\nH 0 0 0.97\n");
  dir.write("oh.freqs", "3700\n");
  const auto r = import(dir, GetParam().args + " -o out.dat");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.stderrText, GetParam().message + "\n");
  EXPECT_FALSE(fs::exists(dir / "out.dat"));
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, ImportRefuses,
    ::testing::Values(
        BadRun{"missing_output", "nothere.out",
               "orvalen-import: nothere.out: no such file; check the name and the folder"},
        BadRun{"folder_for_an_output", ".", "orvalen-import: .: not a regular file"},
        BadRun{"binary_garbage", "garbage.out",
               "orvalen-import: garbage.out: not an output of a known program (NWChem, Psi4, "
               "xtb, Gaussian, ORCA)"},
        BadRun{"too_many_frequencies", "--xyz water.xyz --freqs four.freqs",
               "orvalen-import: four.freqs: 4 frequencies, but the 3 atoms of water.xyz make a "
               "non-linear molecule with 3 vibrations (translations and rotations not listed)"},
        BadRun{"word_in_frequencies", "--xyz water.xyz --freqs words.freqs",
               "orvalen-import: words.freqs line 2: cannot read \"cm-1\" as a frequency in cm-1"},
        BadRun{"truncated_xyz", "--xyz short.xyz --freqs water.freqs",
               "orvalen-import: short.xyz: ends after 2 of 3 atoms"},
        BadRun{"carriage_return_inside_a_line", "--xyz cr.xyz --freqs water.freqs",
               "orvalen-import: cr.xyz line 3: cannot read \"0\\x0dH\" as a number"},
        // A NUL byte shown where it stands; the message goes on after it.
        BadRun{"nul_byte_in_a_number", "--xyz water.xyz --freqs nul.freqs",
               "orvalen-import: nul.freqs line 1: cannot read \"38\\x0032.2\" as a frequency in "
               "cm-1"},
        BadRun{"two_signs", "--xyz water.xyz --freqs plus.freqs",
               "orvalen-import: plus.freqs line 1: cannot read \"+-1648\" as a frequency in cm-1"},
        // Numbers on the command line are decimal.
        BadRun{"hexadecimal_energy", "--xyz water.xyz --freqs water.freqs --energy-value 0x10",
               "orvalen-import: --energy-value: \"0x10\" is not a decimal number (see "
               "orvalen-import --help)"},
        BadRun{"hexadecimal_rotation_number", "--rotnum 0x10 x.out",
               "orvalen-import: --rotnum: \"0x10\" is not a whole decimal number (see "
               "orvalen-import --help)"},
        BadRun{"energy_not_finite", "--xyz water.xyz --freqs water.freqs --energy-value inf",
               "orvalen-import: --energy-value: \"inf\" is not a decimal number (see "
               "orvalen-import --help)"},
        BadRun{"charge_of_an_output", "x.out --charge 1",
               "orvalen-import: --charge requires --xyz (see orvalen-import --help)"},
        // OH has 9 electrons: no singlet.
        BadRun{"singlet_hydroxyl", "--xyz oh.xyz --freqs oh.freqs --mult 1",
               "orvalen-import: oh.xyz: spin multiplicity 1 (--mult 1) is impossible for HO with "
               "charge 0: its 9 electrons (the sum of the atomic numbers less the charge) are odd "
               "and need an even multiplicity (2 for one unpaired electron); check the "
               "multiplicity and the charge"},
        BadRun{"atoms_on_one_another", "--xyz same.xyz --freqs water.freqs",
               "orvalen-import: same.xyz: atoms 2 and 3 are 0.000 A apart"},
        BadRun{"xyz_without_freqs", "--xyz water.xyz",
               "orvalen-import: --xyz requires --freqs (see orvalen-import --help)"},
        BadRun{"output_and_xyz", "x.out --xyz water.xyz --freqs water.freqs",
               "orvalen-import: x.out: an output and --xyz/--freqs both given: give one"},
        // M = 2S+1 needs M - 1 unpaired electrons, never more than the electrons.
        BadRun{"multiplicity_above_the_electrons", "--xyz water.xyz --freqs water.freqs --mult 13",
               "orvalen-import: water.xyz: spin multiplicity 13 (--mult 13) needs 12 unpaired "
               "electrons, more than the 10 electrons of H2O with charge 0; check the "
               "multiplicity and the charge"},
        BadRun{"multiplicity_99", "--xyz water.xyz --freqs water.freqs --mult 99",
               "orvalen-import: water.xyz: spin multiplicity 99 (--mult 99) needs 98 unpaired "
               "electrons, more than the 10 electrons of H2O with charge 0; check the "
               "multiplicity and the charge"},
        BadRun{"multiplicity_above_the_electrons_of_an_ion",
               "--xyz water.xyz --freqs water.freqs --charge 8 --mult 5",
               "orvalen-import: water.xyz: spin multiplicity 5 (--mult 5) needs 4 unpaired "
               "electrons, more than the 2 electrons of H2O with charge 8; check the "
               "multiplicity and the charge"},
        // A value typed in for an output's energy says what it is.
        BadRun{"energy_value_without_its_method", "x.out --energy-value -76.4",
               "orvalen-import: --energy-value needs --energy-method TEXT with an output: name "
               "the method of the energy given, e.g. --energy-method \"CCSD(T)/cc-pVTZ+MP2/CBS\""},
        // The file of --energy forgotten: the next option is no file.
        BadRun{"energy_file_forgotten", "x.out --energy -x",
               "orvalen-import: --energy: needs a file: \"-x\" is an option (a file whose name "
               "begins with - is written ./-x) (see orvalen-import --help)"},
        BadRun{"zero_rotation_number", "--rotnum 0 x.out",
               "orvalen-import: --rotnum: Value 0 not in range 1 to 999999 (see orvalen-import "
               "--help)"}),
    [](const auto &info) { return info.param.name; });

TEST(ImportCli, NumbersAreDecimalAndTheChargeOfPaperDataIsWritten) {
  TempDir dir;
  dir.write("oh.xyz", "2\nhydroxide\nO 0 0 0\nH 0 0 0.97\n");
  dir.write("oh.freqs", "3700\n");
  // "010" is ten, not octal eight; OH- (10 electrons) is a singlet.
  const auto r = import(dir, "--xyz oh.xyz --freqs oh.freqs --rotnum 010 --charge -1 --mult 01 "
                             "--energy-value -75.8 -o oh.dat");
  EXPECT_EQ(r.status, 0) << r.stderrText;
  EXPECT_EQ(r.stderrText, "");
  const std::string data = dir.read("oh.dat");
  EXPECT_EQ(linesOf(data).front(), " HO from oh.xyz and oh.freqs, charge -1 (given)");
  for (const char *line :
       {" Rotation number set to  :        10\n", " Charge of molecule      :        -1\n",
        " Spin multiplicity of molecule = 1\n"})
    EXPECT_NE(data.find(line), std::string::npos) << line;
}

// The data file never replaces a file the run reads, whatever path names it.
TEST(ImportCli, ADataFileThatIsAnInputIsRefusedAndNothingIsTouched) {
  struct Case {
    const char *name, *args, *kept, *message;
  };
  const Case cases[] = {
      {"output", "isobutane.out -o isobutane.out", "isobutane.out",
       "isobutane.out: -o names isobutane.out, the output read"},
      {"output_by_another_path", "isobutane.out -o ./sub/../isobutane.out", "isobutane.out",
       "./sub/../isobutane.out: -o names isobutane.out, the output read"},
      {"output_through_a_link", "isobutane.out -o link.out", "isobutane.out",
       "link.out: -o names isobutane.out, the output read"},
      {"energy_file", "Orca_opt_freq_test.log --energy water_ccsdt.log -o water_ccsdt.log",
       "water_ccsdt.log", "water_ccsdt.log: -o names water_ccsdt.log, the --energy file"},
      {"xyz_file", "--xyz water.xyz --freqs water.freqs -o water.xyz", "water.xyz",
       "water.xyz: -o names water.xyz, the --xyz file"},
      {"freqs_file", "--xyz water.xyz --freqs water.freqs -o water.freqs", "water.freqs",
       "water.freqs: -o names water.freqs, the --freqs file"},
      // xtb --hess: the geometry is the coordinate file beside the output.
      {"file_beside_an_xtb_output", "h2o_hess.out -o h2o_opt.xyz", "h2o_opt.xyz",
       "h2o_opt.xyz: -o names h2o_opt.xyz, a file read beside an output"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    for (const char *f :
         {"gaussian/isobutane.out", "gaussian/water_ccsdt.log", "orca/Orca_opt_freq_test.log",
          "user_data/water.xyz", "user_data/water.freqs", "xtb/h2o_hess/h2o_hess.out",
          "xtb/h2o_hess/h2o_opt.xyz", "xtb/h2o_hess/vibspectrum"})
      fs::copy_file(QC / f, dir / fs::path(f).filename().string());
    fs::create_directories(dir / "sub");
    fs::create_symlink("isobutane.out", dir / "link.out");
    const std::string kept = dir.read(c.kept);
    const auto r = import(dir, c.args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.stderrText, "orvalen-import: " + std::string(c.message) +
                                ", an input of this run; nothing was written: give another -o "
                                "FILE\n");
    EXPECT_EQ(dir.read(c.kept), kept);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "link.out")));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto &f : fs::directory_iterator(dir.path()))
      ++files;
    EXPECT_EQ(files, 10u) << "a file left behind";
  }
}

TEST(ImportCli, AFullDiskLeavesTheOldDataFileAsItWas) {
  TempDir dir;
  fs::copy_file(USER_DATA / "water.xyz", dir / "water.xyz");
  fs::copy_file(USER_DATA / "water.freqs", dir / "water.freqs");
  dir.write("water.dat", "old\n");
  // The data file is 1.3 KB: a limit of one block of 512 bytes stops it half-way.
  const auto full = runProgram(
      "sh", dir.path(),
      "-c " + test::shellQuote("ulimit -f 1 && exec " + test::shellQuote(ORVALEN_IMPORT_BINARY) +
                               " --xyz water.xyz --freqs water.freqs --mult 1 --energy-value "
                               "-76.4 -o water.dat"));
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.stderrText.rfind("orvalen-import: water.dat: write error", 0), 0u)
      << full.stderrText;
  EXPECT_EQ(dir.read("water.dat"), "old\n");
  std::size_t files = 0;
  for ([[maybe_unused]] const auto &f : fs::directory_iterator(dir.path()))
    ++files;
  EXPECT_EQ(files, 3u) << "a temporary file left behind";
  // Without the limit the data file is replaced whole.
  EXPECT_EQ(import(dir, "--xyz water.xyz --freqs water.freqs --mult 1 -o water.dat").status, 0);
  EXPECT_EQ(linesOf(dir.read("water.dat")).back(), " ----------------------");
}

// The command line's numbers are of the one grammar: a Fortran D exponent
// reads as an E, and the data file is the one the plain number writes.
TEST(ImportCli, NumbersWithAFortranExponentWriteTheSameDataFile) {
  TempDir dir;
  fs::copy_file(USER_DATA / "water.xyz", dir / "water.xyz");
  fs::copy_file(USER_DATA / "water.freqs", dir / "water.freqs");
  const std::string ethyl = (QC / "gaussian" / "gaussian_ethyl_scan_1.log").string();
  struct Case {
    std::string plain, fortran;
  };
  const Case cases[] = {
      {"--xyz water.xyz --freqs water.freqs --mult 1 --energy-value -76.4089531",
       "--xyz water.xyz --freqs water.freqs --mult 1 --energy-value -7.64089531D+01"},
      {"--xyz water.xyz --freqs water.freqs --mult 1 --energy-value 0.001",
       "--xyz water.xyz --freqs water.freqs --mult 1 --energy-value 1d-3"},
      {ethyl + " --rotor 1,2 --rotor-barrier 10", ethyl + " --rotor 1,2 --rotor-barrier 1d1"},
  };
  for (const Case &c : cases) {
    const auto plain = import(dir, c.plain + " -o plain.dat");
    const auto fortran = import(dir, c.fortran + " -o fortran.dat");
    ASSERT_EQ(plain.status, 0) << c.plain << ": " << plain.stderrText;
    ASSERT_EQ(fortran.status, 0) << c.fortran << ": " << fortran.stderrText;
    EXPECT_EQ(dir.read("fortran.dat"), dir.read("plain.dat")) << c.fortran;
  }
  EXPECT_NE(dir.read("fortran.dat").find(" cosine       10.000000\n"), std::string::npos)
      << dir.read("fortran.dat");
}

// Refused numbers name the option and the text as given; the barrier's range
// in the words CLI11 gives a range.
TEST(ImportCli, RefusedNumbersNameTheOption) {
  TempDir dir;
  const std::string help = " (see orvalen-import --help)\n";
  const std::pair<const char *, const char *> cases[] = {
      {"x.out --rotor 1,2 --rotor-barrier 2d6",
       "orvalen-import: --rotor-barrier: Value 2d6 not in range 0.000000 to 1000000.000000"},
      {"x.out --rotor 1,2 --rotor-barrier -1",
       "orvalen-import: --rotor-barrier: Value -1 not in range 0.000000 to 1000000.000000"},
      {"x.out --rotor 1,2 --rotor-barrier 1d", "orvalen-import: --rotor-barrier: \"1d\" is not a "
                                               "decimal number"},
      {"--xyz a.xyz --freqs a.freqs --energy-value 1,5",
       "orvalen-import: --energy-value: \"1,5\" is not a decimal number"},
      {"--xyz a.xyz --freqs a.freqs --energy-value nan",
       "orvalen-import: --energy-value: \"nan\" is not a decimal number"},
      {"--rotnum 1d1 x.out", "orvalen-import: --rotnum: \"1d1\" is not a whole decimal number"},
      {"--mult 2.0 x.out", "orvalen-import: --mult: \"2.0\" is not a whole decimal number"},
  };
  for (const auto &[args, error] : cases) {
    const auto r = import(dir, args);
    EXPECT_EQ(r.status, 1) << args;
    EXPECT_EQ(r.stderrText, error + help) << args;
  }
}

TEST(ImportCli, HelpAndVersion) {
  TempDir dir;
  const auto version = import(dir, "--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.stdoutText, "orvalen-import 0.1\n");
  const auto help = import(dir, "--help");
  EXPECT_EQ(help.status, 0);
  for (const char *option :
       {"-o,--output FILE", "--energy FILE", "--rotnum N", "--mult M", "--xyz FILE", "--freqs FILE",
        "--energy-value E", "--charge Q", "--version"})
    EXPECT_NE(help.stdoutText.find(option), std::string::npos) << option;
  // The programs in the order their outputs are recognised, as the table has them.
  EXPECT_EQ(linesOf(help.stdoutText).front(),
            "Writes the molecule data file of one calculation (Gaussian, ORCA, NWChem, Psi4 or "
            "xtb output), or of a geometry and frequencies from a paper (--xyz, --freqs), for "
            "orvalen.");
  for (const qc::Reader &r : qc::readers())
    EXPECT_NE(help.stdoutText.find(std::string(r.program)), std::string::npos) << r.program;
}

} // namespace
} // namespace orvalen
