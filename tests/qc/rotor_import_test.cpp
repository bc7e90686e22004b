// Torsions written as hindered rotors by orvalen-import: the Fourier fit of a
// relaxed scan, the scans of real Gaussian and xtb runs, the potential from a
// barrier or from the replaced mode's frequency, and each refusal.
#include "base/error.hpp"
#include "qc/rotor_potential.hpp"
#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace orvalen {
namespace {

namespace fs = std::filesystem;
using test::linesOf;
using test::runProgram;
using test::TempDir;

const fs::path GAUSSIAN = fs::path(ORVALEN_FIXTURES) / "qc" / "gaussian";
const std::string ETHYL = (GAUSSIAN / "gaussian_ethyl_scan_1.log").string();
const std::string TS = (GAUSSIAN / "gaussian_hr_scan_with_freq.log").string();
const fs::path XTB = fs::path(ORVALEN_FIXTURES) / "qc" / "xtb";
const fs::path SCANS = fs::path(ORVALEN_FIXTURES) / "qc" / "rotor_scans";
const std::string ETHANE = (XTB / "rotor_ethane" / "ethane.out").string();
constexpr double DEGREE = std::numbers::pi / 180.0;

test::RunResult import(const TempDir &dir, const std::string &args) {
  return runProgram(ORVALEN_IMPORT_BINARY, dir.path(), args);
}

// The lines of a data file from its hindered rotors marker on.
std::string rotorBlock(const std::string &dataFile) {
  const std::size_t at = dataFile.find(" Hindered rotors");
  return at == std::string::npos ? "(no block)" : dataFile.substr(at);
}

std::string titleLine(const std::string &dataFile, const std::string &start) {
  for (const auto &line : linesOf(dataFile))
    if (line.rfind(start, 0) == 0)
      return line;
  return "(no line " + start + ")";
}

// A scan of n points over a turn of the potential v, as a two-column file.
std::string twoColumns(int n, double (*v)(double), double first = 0.0) {
  std::ostringstream out;
  out.precision(12);
  out << "# angle (degrees)  energy (Hartree)\n";
  for (int k = 0; k < n; ++k) {
    const double degrees = first + 360.0 * k / n;
    out << degrees << "  " << -79.0 + v((degrees - first) * DEGREE) / qc::HARTREE_KJMOL << "\n";
  }
  return out.str();
}

TEST(FourierFit, SmallestOrderThatReproducesASyntheticPotential) {
  // V0/2 (1 - cos 3 phi), V0 = 12 kJ/mol: a_0 = 6, a_3 = -6, every other term 0.
  std::vector<double> phi, v;
  for (int k = 0; k < 24; ++k) {
    phi.push_back(15.0 * k * DEGREE);
    v.push_back(6.0 * (1.0 - std::cos(3.0 * phi.back())));
  }
  qc::FourierFit fit = qc::fitFourier(phi, v);
  ASSERT_TRUE(fit.reproduced);
  EXPECT_EQ(fit.order, 3);
  EXPECT_NEAR(fit.terms[0][0], 6.0, 1e-9);
  EXPECT_NEAR(fit.terms[3][0], -6.0, 1e-9);
  EXPECT_NEAR(fit.terms[1][0], 0.0, 1e-9);
  EXPECT_NEAR(fit.terms[2][1], 0.0, 1e-9);
  // Curvature V0 sigma^2 / 2 = 54 kJ/(mol rad^2) (its wavenumber and the
  // cosine barrier of a wavenumber: tests/molecule/torsion_test.cpp).
  EXPECT_NEAR(torsionCurvature(fit.terms, 0.0), 54.0, 1e-7);
  EXPECT_EQ(qc::scanPeriodicity(phi, v, fit.terms), 3);

  // Sine terms and an off-centre minimum: 2 (1 - cos phi) + 1.5 sin 2 phi - 0.5 (1 - cos 2 phi)
  // is reproduced at order 2, its terms found.
  for (std::size_t k = 0; k < phi.size(); ++k)
    v[k] = 2.0 * (1.0 - std::cos(phi[k])) + 1.5 * std::sin(2.0 * phi[k]) -
           0.5 * (1.0 - std::cos(2.0 * phi[k]));
  fit = qc::fitFourier(phi, v);
  ASSERT_TRUE(fit.reproduced);
  EXPECT_EQ(fit.order, 2);
  EXPECT_NEAR(fit.terms[1][0], -2.0, 1e-9);
  EXPECT_NEAR(fit.terms[2][0], 0.5, 1e-9);
  EXPECT_NEAR(fit.terms[2][1], 1.5, 1e-9);
  EXPECT_EQ(qc::scanPeriodicity(phi, v, fit.terms), 1);

  // A jump no series of order 20 follows through 24 points is not reproduced.
  v.assign(phi.size(), 0.0);
  v[7] = 5.0;
  EXPECT_FALSE(qc::fitFourier(phi, v).reproduced);
}

// A scan of many points is fitted by its normal equations, in memory of the
// number of terms: 36,000 points (every 0.01 degree) of 6 (1 - cos 3 phi)
// + 0.4 sin 2 phi give back those terms, as the 24 points above did.
TEST(FourierFit, AScanOfManyPointsByItsNormalEquations) {
  std::vector<double> phi, v;
  for (int k = 0; k < 36000; ++k) {
    phi.push_back(0.01 * k * DEGREE);
    v.push_back(6.0 * (1.0 - std::cos(3.0 * phi.back())) + 0.4 * std::sin(2.0 * phi.back()));
  }
  const qc::FourierFit fit = qc::fitFourier(phi, v);
  ASSERT_TRUE(fit.reproduced);
  EXPECT_EQ(fit.order, 3);
  EXPECT_NEAR(fit.terms[0][0], 6.0, 1e-9);
  EXPECT_NEAR(fit.terms[3][0], -6.0, 1e-9);
  EXPECT_NEAR(fit.terms[2][1], 0.4, 1e-9);
  EXPECT_NEAR(fit.terms[1][0], 0.0, 1e-9);
  EXPECT_LT(fit.largestMiss, 1e-9);
}

TEST(RotorImport, GaussianScanOfTheEthylRadical) {
  TempDir dir;
  const auto r = import(dir, ETHYL + " --rotor 1,2 --rotor-scan " + ETHYL + " -o ethyl.dat");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  const std::string data = test::readFile(dir / "ethyl.dat");
  // CH2 (atoms 1, 3, 4) turning against CH3: sigma 3 from the methyl group
  // (the slightly pyramidal CH2 has no two-fold axis), 37 points fitted.
  const std::string block = rotorBlock(data);
  EXPECT_EQ(linesOf(block)[3].substr(0, 32), "     1     7      1      2     3") << block;
  EXPECT_EQ(linesOf(block)[4], "   top    1    3    4");
  EXPECT_NE(block.find("Fourier"), std::string::npos);
  // The harmonic wavenumber is that of the fitted potential's lowest point.
  // The radical's potential has six wells 0.2 to 0.27 kJ/mol deep; the lowest
  // is not the first point's but the one at phi_min = 294.39 degrees, 0.0082
  // kJ/mol below it, where V'' = 4.69819 kJ/(mol rad^2) (from the seven terms
  // the data file holds). By hand with CODATA 2018: V'' = 4.69819e3/6.02214076e23
  // = 7.80153e-21 J/rad^2, I = 1.121479 x 1.66053907e-47 = 1.862260e-47 kg m^2
  // (the reduced moment of Pitzer, tools/hand_check/reduced_moment.py),
  // sqrt(V''/I) = 2.046773e13 s^-1, over 2 pi c = 1.883652e11 cm/s: 108.66 cm-1.
  // (At phi = 0, V''(0) = 4.21142 gives 102.88 cm-1, within 1 % of the 103.16
  // cm-1 of Gaussian's own Hessian at that geometry.)
  const std::string title = titleLine(data, " Hindered rotor 1 about 1-2: replaces mode 7");
  const std::size_t at = title.rfind("harmonic wavenumber ");
  ASSERT_NE(at, std::string::npos) << title;
  // The normal modes Gaussian prints tell the torsion.
  EXPECT_NE(title.find("the mode of the largest torsional character (1.00)"), std::string::npos)
      << title;
  EXPECT_NEAR(std::stod(title.substr(at + 20)), 108.66, 0.05);
  EXPECT_NE(title.find("Gaussian relaxed scan, 37 points"), std::string::npos) << title;
}

// The harmonic wavenumber in a rotor's title line.
double harmonicWavenumberOf(const std::string &dataFile) {
  const std::string title = titleLine(dataFile, " Hindered rotor 1 about");
  const std::size_t at = title.rfind("harmonic wavenumber ");
  return at == std::string::npos ? 0.0 : std::stod(title.substr(at + 20));
}

TEST(RotorImport, XtbScansOfEthaneAndMethanolEndToEnd) {
  const struct {
    const char *name;
    std::string args;
    std::string rotorLine; // columns 1-46: rotor, mode, pivots, sigma, I(2,3)
    std::string top;
    double xtbTorsion; // cm-1, the lowest mode of xtb's own Hessian
  } cases[] = {
      {"ethane_xtb_output",
       ETHANE + " --rotor 1,2 --rotor-scan " + (XTB / "rotor_ethane" / "scan.out").string(),
       "     1     7      1      2     3      1.566905", "   top    1    3    4    5", 300.75},
      // The same points as two columns: the same potential.
      {"ethane_two_columns",
       ETHANE + " --rotor 1,2 --rotor-scan " + (SCANS / "ethane_two_column.txt").string(),
       "     1     7      1      2     3      1.566905", "   top    1    3    4    5", 300.75},
      // A scan whose first point never reached the angle asked for: angles
      // are measured in the geometries, so the potential is the same.
      {"ethane_first_angle_unreached",
       ETHANE + " --rotor 1,2 --rotor-scan " +
           (XTB / "rotor_ethane_unreached" / "scan.out").string(),
       "     1     7      1      2     3      1.566905", "   top    1    3    4    5", 300.75},
      // The hydroxyl group turning: its sigma 3 is the scan's periodicity
      // (the methyl group of Cs methanol is not three-fold within 0.1 A). Its
      // reduced moment by Pitzer's formula from the coordinates as the data file
      // writes them (6 decimals; tools/hand_check/reduced_moment.py) is 0.617071,
      // the product over the sum about the parallel axis 0.638962.
      {"methanol",
       (XTB / "rotor_methanol" / "methanol.out").string() + " --rotor 2,1 --rotor-scan " +
           (XTB / "rotor_methanol" / "scan.out").string(),
       "     1     7      2      1     3      0.617070", "   top    2    6", 376.56},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const auto r = import(dir, c.args + " -o m.dat");
    ASSERT_EQ(r.status, 0) << r.stderrText;
    const std::string data = test::readFile(dir / "m.dat");
    const auto block = linesOf(rotorBlock(data));
    ASSERT_GT(block.size(), 5U) << data;
    EXPECT_EQ(block[3].substr(0, 46), c.rotorLine);
    EXPECT_EQ(block[4], c.top);
    // The fitted potential's harmonic wavenumber with I(2,3) is within 6 % of
    // xtb's own torsion frequency (a relaxed scan is softer than the Hessian).
    EXPECT_NEAR(harmonicWavenumberOf(data), c.xtbTorsion, 0.06 * c.xtbTorsion) << data;
  }
}

TEST(RotorImport, AScanStartedAtTheBarrierTopIsNamed) {
  TempDir dir;
  const std::string eclipsed = (SCANS / "ethane_eclipsed_first.txt").string();
  auto r = import(dir, ETHANE + " --rotor 1,2 --rotor-scan " + eclipsed);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.stderrText.find("the scan does not start at a minimum"), std::string::npos)
      << r.stderrText;
  r = import(dir, ETHANE + " --rotor 1,2 --rotor-scan " + eclipsed + " --rotor-mode 7 -o e.dat");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  EXPECT_NE(r.stderrText.find("kJ/mol below the first (and "), std::string::npos) << r.stderrText;
  EXPECT_NE(r.stderrText.find("lies 10.8"), std::string::npos) << r.stderrText;
}

TEST(RotorImport, GaussianScanOfATransitionStatesPartialBondNeedsItsTop) {
  TempDir dir;
  // O14...O15 is a bond being broken (1.75 A): no bond, so no top of its own.
  auto r = import(dir, TS + " --rotor 15,14 --rotor-scan " + TS);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.stderrText.find("rotor 15,14: atoms 15 and 14 are not bonded"), std::string::npos)
      << r.stderrText;
  r = import(dir, TS + " --rotor 15,14:15,16 --rotor-scan " + TS + " -o ts.dat");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  const std::string data = test::readFile(dir / "ts.dat");
  const std::string block = rotorBlock(data);
  // The mode the torsion replaces is the one most like the internal rotation
  // with the molecule's translation and rotation taken out, as a normal mode
  // has them: mode 10 (185.9 cm-1, 99.8 km/mol), near the 200.7 cm-1 of the
  // scan's own potential; the turn about the axis through the centre of mass
  // without that projection chose mode 8 (105.4 cm-1) of this off-centre group.
  EXPECT_EQ(linesOf(block)[3].substr(0, 32), "     1    10     15     14     1") << block;
  EXPECT_EQ(linesOf(block)[4], "   top   15   16");
  EXPECT_NEAR(harmonicWavenumberOf(data), 200.7, 0.05) << data;
}

TEST(RotorImport, BarrierOrTheReplacedModesFrequencyGiveACosine) {
  TempDir dir;
  // No scan, no barrier, and xtb prints no normal modes: nothing tells which mode is the torsion.
  auto r = import(dir, ETHANE + " --rotor 1,2");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.stderrText.find("no normal modes in the output to tell which vibration is the "
                              "torsion: give --rotor-mode N"),
            std::string::npos)
      << r.stderrText;
  // Mode 7 (103.1628 cm-1), I = 1.121479 amu A^2, sigma 3: V0 = 2 I (2 pi c nu)^2 / sigma^2
  // = 0.941079 kJ/mol (by hand with CODATA 2018 constants); the mode given, or the one
  // Gaussian's normal modes show to be the torsion.
  for (const std::string mode : {" --rotor-mode 7", ""}) {
    r = import(dir, ETHYL + " --rotor 1,2" + mode + " -o mode.dat");
    ASSERT_EQ(r.status, 0) << r.stderrText;
    EXPECT_NE(rotorBlock(test::readFile(dir / "mode.dat"))
                  .find("     1     7      1      2     3      1.121479 cosine        0.941079\n"),
              std::string::npos)
        << test::readFile(dir / "mode.dat");
  }
  r = import(dir, ETHYL + " --rotor 1,2 --rotor-barrier 12 --rotor-symmetry 6 -o barrier.dat");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  const std::string data = test::readFile(dir / "barrier.dat");
  EXPECT_NE(rotorBlock(data).find("      1      2     6      1.121479 cosine       12.000000\n"),
            std::string::npos)
      << data;
  EXPECT_NE(titleLine(data, " Hindered rotor 1").find("sigma 6 given"), std::string::npos);
}

TEST(RotorImport, TwoColumnScansAndTheWarningForAPointBelowTheFirst) {
  TempDir dir;
  // The ethyl radical's torsion as 12 points of 3 (1 - cos 3 phi) kJ/mol,
  // started 60 degrees off: the potential counts from the first point.
  dir.write("good.txt", twoColumns(
                            12, [](double p) { return 3.0 * (1.0 - std::cos(3.0 * p)); }, 60.0));
  auto r = import(dir, ETHYL + " --rotor 1,2 --rotor-scan good.txt -o good.dat");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  EXPECT_EQ(r.stderrText, "");
  EXPECT_NE(titleLine(test::readFile(dir / "good.dat"), " Hindered rotor 1")
                .find("Fourier order 3 fitted to good.txt (two-column scan, 12 points"),
            std::string::npos)
      << test::readFile(dir / "good.dat");
  // A first point 1.5 kJ/mol above the minimum of 1 - cos phi.
  dir.write("high.txt", twoColumns(12, [](double p) { return 1.5 * std::cos(p) - 1.5; }));
  // One well a turn: sigma 1, as a potential of another period than sigma is refused.
  r = import(dir, ETHYL + " --rotor 1,2 --rotor-scan high.txt --rotor-mode 7 --rotor-symmetry 1 "
                          "-o high.dat");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  EXPECT_NE(r.stderrText.find("high.txt line 8: rotor 1,2: point 7 (180.0 degrees from the "
                              "first) lies 3.000 kJ/mol below the first (and 8 more points lie "
                              "below it): the geometry of the frequencies is not the minimum"),
            std::string::npos)
      << r.stderrText;
}

TEST(RotorImport, EachRefusalSaysWhatIsWrong) {
  TempDir dir;
  dir.write("five.txt", twoColumns(5, [](double p) { return 1.0 - std::cos(p); }));
  dir.write("words.txt", "0 -79.0\n10 -79.0 x\n");
  std::string huge; // twelve points, the fifth at 1e308 Hartree: finite, but no energy
  for (int k = 0; k < 12; ++k)
    huge += std::to_string(30 * k) + (k == 4 ? " 1e308\n" : " -79.0\n");
  dir.write("huge.txt", huge);
  const std::string dvb = (GAUSSIAN / "gaussian09_dvb_ir.out").string();
  const struct {
    const char *name;
    std::string args;
    std::string message;
  } cases[] = {
      {"ring_bond", dvb + " --rotor 1,2 --rotor-barrier 10", "the bond 1-2 is in a ring"},
      {"scan_of_another_molecule", TS + " --rotor 15,14:15,16 --rotor-scan " + ETHYL,
       ": rotor 15,14:15,16: a scan of C2H5 (7 atoms), not of C4H9O3 of " + TS},
      {"scan_of_another_dihedral", TS + " --rotor 5,14 --rotor-scan " + TS,
       "rotor 5,14: the scan turns the dihedral 5-14-15-16 about the bond 14-15, not about the "
       "rotor's bond 5-14: give the scan of this torsion"},
      {"five_points", ETHYL + " --rotor 1,2 --rotor-scan five.txt",
       "five.txt: rotor 1,2: 5 points; a rotor's potential needs a scan of at least 6 over the "
       "full turn"},
      {"not_two_numbers", ETHYL + " --rotor 1,2 --rotor-scan words.txt",
       "words.txt line 2: expected an angle in degrees and an energy in Hartree, found \"10 "
       "-79.0 x\""},
      {"energy_beyond_any", ETHYL + " --rotor 1,2 --rotor-scan huge.txt",
       "orvalen-import: huge.txt line 5: rotor 1,2: the energy 1e+308 Hartree is beyond any "
       "energy"},
      {"pivots_not_atoms", ETHYL + " --rotor 1,x", "--rotor \"1,x\": expected P1,P2 or P1,P2:TOP"},
      {"top_without_its_pivot", ETHYL + " --rotor 1,2:3,4 --rotor-mode 7", "rotor 1,2"},
      {"scan_and_barrier", ETHYL + " --rotor 1,2 --rotor-scan five.txt --rotor-barrier 3",
       "both --rotor-scan and --rotor-barrier given; give one"},
      {"option_before_rotor", ETHYL + " --rotor-barrier 3 --rotor 1,2",
       "--rotor-barrier before any --rotor: give --rotor P1,P2 first"},
      {"option_twice", ETHYL + " --rotor 1,2 --rotor-mode 7 --rotor-mode 8",
       "--rotor 1,2: --rotor-mode given twice for this rotor"},
      {"mode_of_a_translation", ETHYL + " --rotor 1,2 --rotor-mode 3",
       "--rotor-mode 3: row 3 is one of the six zero rows of the translations and rotations"},
      {"xtb_scan_of_five_points",
       ETHANE + " --rotor 1,2 --rotor-scan " + (XTB / "rotor_ethane_short" / "scan.out").string(),
       "rotor 1,2: 5 points; a rotor's potential needs a scan of at least 6"},
      {"xtb_scan_of_another_molecule",
       ETHANE + " --rotor 1,2 --rotor-scan " + (XTB / "rotor_methanol" / "scan.out").string(),
       "xtbscan.log line 2: rotor 1,2: a scan of CH4O (6 atoms), not of C2H6"},
      {"output_is_the_scan", ETHYL + " --rotor 1,2 --rotor-scan five.txt -o five.txt",
       "five.txt: -o names five.txt, the --rotor-scan file"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = import(dir, c.args);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.stderrText.find(c.message), std::string::npos) << r.stderrText;
    EXPECT_EQ(r.stdoutText, "");
  }
  // Nothing replaced the scan named by -o.
  EXPECT_NE(test::readFile(dir / "five.txt").find("# angle"), std::string::npos);
}

// A scan in kcal/mol written as Hartree: 1.45 (1 - cos 3 phi) "Hartree", a
// range of 2.9 Hartree = 2.9 x 2625.4996 = 7613.95 kJ/mol (7613.9 as printed: the
// points' 2.9 lies just below it), is refused with what the numbers would be in
// kcal/mol (2.9 x 4.184 = 12.13 kJ/mol) or in kJ/mol (2.90), naming a highest point.
TEST(RotorImport, AScanInOtherUnitsIsRefused) {
  TempDir dir;
  std::ostringstream kcal;
  kcal.precision(12);
  for (int k = 0; k < 12; ++k)
    kcal << 30.0 * k << "  " << -79.0 + 1.45 * (1.0 - std::cos(3.0 * 30.0 * k * DEGREE)) << "\n";
  dir.write("kcal.txt", kcal.str());
  const auto r = import(dir, ETHYL + " --rotor 1,2 --rotor-scan kcal.txt -o kcal.dat");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.stderrText.rfind("orvalen-import: kcal.txt line ", 0), 0U) << r.stderrText;
  EXPECT_NE(r.stderrText.find(": rotor 1,2: the scan's energies span 2.900000 "
                              "Hartree, a barrier of 7613.9 kJ/mol; no torsion has one above 200 "
                              "kJ/mol. Read as kcal/mol the same numbers would be 12.13 kJ/mol, "
                              "as kJ/mol 2.90 kJ/mol"),
            std::string::npos)
      << r.stderrText;
  EXPECT_FALSE(fs::exists(dir / "kcal.dat"));
}

TEST(RotorImport, RotorNumbersOutOfRangeAndOneTorsionTwiceAreRefused) {
  TempDir dir;
  const struct {
    const char *name;
    std::string args;
    std::string message;
  } cases[] = {
      {"same_bond", ETHYL + " --rotor 1,2 --rotor-mode 7 --rotor 1,2 --rotor-mode 8",
       ": --rotor \"1,2\" and --rotor \"1,2\" turn about the same bond 1-2; one torsion is one "
       "rotor: give it once"},
      {"same_bond_turned", ETHYL + " --rotor 1,2 --rotor-mode 7 --rotor 2,1 --rotor-mode 8",
       ": --rotor \"1,2\" and --rotor \"2,1\" turn about the same bond 2-1; one torsion is one "
       "rotor: give it once"},
      {"sigma_13", ETHYL + " --rotor 1,2 --rotor-mode 7 --rotor-symmetry 13",
       "rotor 1,2: --rotor-symmetry 13: a torsion's symmetry number is 1 to 12"},
      {"barrier_in_J_per_mol", ETHYL + " --rotor 1,2 --rotor-barrier 12000",
       "rotor 1,2: --rotor-barrier 12000: give the barrier V0 in kJ/mol, 0 to 200"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = import(dir, c.args + " -o x.dat");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.stderrText.find(c.message), std::string::npos) << r.stderrText;
  }
}

TEST(RotorImport, APotentialOfAnotherPeriodThanSigmaIsRefused) {
  TempDir dir;
  // One well a turn, 5 (1 - cos phi), for ethyl whose geometry says sigma 3.
  dir.write("one.txt", twoColumns(12, [](double p) { return 5.0 * (1.0 - std::cos(p)); }));
  auto r = import(dir, ETHYL + " --rotor 1,2 --rotor-scan one.txt -o one.dat");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.stderrText.find("rotor 1,2: the potential of one.txt (barrier 10.000 kJ/mol) does "
                              "not repeat 3 times a turn"),
            std::string::npos)
      << r.stderrText;
  // Six wells 0.12 kJ/mol deep: below RT at 298.15 K the geometry's fragments decide.
  dir.write("flat.txt", twoColumns(36, [](double p) { return 0.06 * (1.0 - std::cos(6.0 * p)); }));
  r = import(dir, ETHYL + " --rotor 1,2 --rotor-scan flat.txt -o flat.dat");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  EXPECT_EQ(r.stderrText.find("repeats"), std::string::npos) << r.stderrText;
  EXPECT_NE(titleLine(test::readFile(dir / "flat.dat"), " Hindered rotor 1")
                .find("sigma 3 from the geometry's fragments (the scan's barrier 0.120 kJ/mol is "
                      "below RT at 298.15 K, too shallow for its wells to tell the period)"),
            std::string::npos)
      << test::readFile(dir / "flat.dat");
}

// A cosine of 150 kJ/mol for ethyl's 103 cm-1 torsion: sigma 3 and I near 1.1
// amu A^2 give some 1300 cm-1, more than three times the mode it replaces.
TEST(RotorImport, AWavenumberFarFromTheReplacedModeIsWarned) {
  TempDir dir;
  auto r = import(dir, ETHYL + " --rotor 1,2 --rotor-barrier 150 -o far.dat");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  EXPECT_NE(r.stderrText.find("rotor 1,2: its harmonic wavenumber "), std::string::npos)
      << r.stderrText;
  EXPECT_NE(r.stderrText.find("cm-1 of the mode it replaces; check the scan's units, the bond and "
                              "the top, or give --rotor-mode N"),
            std::string::npos)
      << r.stderrText;
  // 3 kJ/mol gives about 184 cm-1: within the factor of 3 of 103 cm-1, no warning.
  r = import(dir, ETHYL + " --rotor 1,2 --rotor-barrier 3 -o near.dat");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  EXPECT_EQ(r.stderrText.find("harmonic wavenumber"), std::string::npos) << r.stderrText;
}

// The OH + C2H6 saddle point (tests/fixtures/qc/oh_c2h6_ts, NWChem BH&HLYP):
// the methyl group about C2-C1 and the OH group about the forming O9...H3 bond
// (no bond, so its top is given). Pitzer's reduced moments by hand
// (tools/hand_check/reduced_moment.py on the output's final geometry):
// 2.868535 and 0.828726 amu A^2, below the groups' own moments about their bonds,
// 3.107343 and 0.909616; the product over the sum about the axes through the
// centre of mass gave 11.591809 and 4.673897. The geometry is chiral, but the
// OH rotor turned by some 80 degrees reaches a Cs geometry: one optical isomer.
TEST(RotorImport, SaddlePointOfOHAndEthaneWithTwoRotors) {
  TempDir dir;
  const std::string ts = (fs::path(ORVALEN_FIXTURES) / "qc" / "oh_c2h6_ts" / "ts.out").string();
  const auto r = import(dir, ts + " --rotor 2,1 --rotor 9,3:9,10 -o ts.dat");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  EXPECT_EQ(r.stderrText, "");
  const std::string data = test::readFile(dir / "ts.dat");
  const auto block = linesOf(rotorBlock(data));
  ASSERT_GT(block.size(), 7U) << data;
  // The torsions by the largest torsional character: mode 10 (183.6 cm-1) and mode 8 (61.5).
  EXPECT_EQ(block[3].substr(0, 32), "     1    10      2      1     3") << data;
  EXPECT_EQ(block[4], "   top    2    6    7    8");
  EXPECT_EQ(block[5].substr(0, 32), "     2     8      9      3     1") << data;
  EXPECT_EQ(block[6], "   top    9   10");
  const double methyl = std::stod(block[3].substr(32, 14));
  const double hydroxyl = std::stod(block[5].substr(32, 14));
  EXPECT_NEAR(methyl, 2.868535, 2e-6);
  EXPECT_NEAR(hydroxyl, 0.828726, 2e-6);
  EXPECT_LE(methyl, 3.107343);
  EXPECT_LE(hydroxyl, 0.909616);
  EXPECT_EQ(data.find("Optical isomers         :"), std::string::npos) << data;
  const std::string title = titleLine(data, " Optical isomers 1, not 2:");
  EXPECT_NE(title.find("turning hindered rotor 2 about 9-3 by "), std::string::npos) << title;
  EXPECT_NE(title.find(" reaches a Cs geometry, so the rotors' levels hold the mirror image"),
            std::string::npos)
      << title;
  // Without its rotors the molecule is chiral: two optical isomers.
  const auto bare = import(dir, ts + " -o bare.dat");
  ASSERT_EQ(bare.status, 0) << bare.stderrText;
  EXPECT_NE(test::readFile(dir / "bare.dat").find(" Optical isomers         :         2"),
            std::string::npos);
}

} // namespace
} // namespace orvalen