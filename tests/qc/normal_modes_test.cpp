// The normal modes the readers take beside the frequencies, on the real
// outputs of each program: one per frequency, one displacement per atom, and,
// in mass-weighted coordinates (sqrt(m) d), orthogonal to each other and free
// of net translation, as the eigenvectors of a projected mass-weighted Hessian
// are (Wilson, Decius and Cross, Molecular Vibrations, ch. 2). A mode of
// another frequency, of the other NWChem block or shifted by a dropped
// translation breaks one of these. Hand numbers are copied from the output
// line named beside them.

#include "molecule/elements.hpp"
#include "qc/reader_fixtures.hpp"
#include "qc/readers.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace orvalen::test {
namespace {

using qc::QcRecord;
using Mode = std::vector<std::array<double, 3>>;

struct Output {
  const char *name;
  const char *path; // below tests/fixtures/qc
};

void PrintTo(const Output &o, std::ostream *os) {
  *os << o.path;
}

const Output OUTPUTS[] = {
    {"gaussian_isobutane", "gaussian/isobutane.out"},
    {"gaussian_HCN", "gaussian/HCN_singlet.out"},
    {"gaussian_claisen_ts", "gaussian/gaussian16_claisen_ts.log"},
    {"gaussian_NH3_H_ts", "gaussian/TS_NH3+H=NH2+H2.out"},
    {"gaussian_CH3OO", "gaussian/CH3OO_freq_gaussian.out"},
    {"gaussian_dvb_hpmodes", "gaussian/gaussian09_dvb_ir.out"},
    {"gaussian_ethyl_then_scan", "gaussian/gaussian_ethyl_scan_1.log"},
    {"gaussian_ts_then_scan", "gaussian/gaussian_hr_scan_with_freq.log"},
    {"orca_water", "orca/Orca_opt_freq_test.log"},
    {"orca_SN2_ts", "orca/Orca_TS_test.log"},
    {"orca_CO2_cation", "orca/CO2_vib.out"},
    {"orca5_dvb", "orca/orca5_dvb_ir.out"},
    {"orca5_claisen_ts", "orca/orca5_claisen_ts.out"},
    {"orca5_OH_CH4_ts", "orca/orca_neg_freq_ts.out"},
    {"orca6_dvb", "orca/orca6_dvb_ir.out"},
    {"nwchem_water", "nwchem/h2o_scf_freq.out"},
    {"nwchem_water_then_scan", "nwchem/h2o_freq_then_scan.out"},
    {"nwchem_water_numerical", "nwchem/h2o_numerical_freq.out"},
    {"nwchem_water_mixed_basis", "nwchem/h2o_mixed_basis.out"},
    {"nwchem_h3_then_irc", "nwchem/h3_freq_then_irc.out"},
    {"nwchem_oh", "nwchem/oh_noautosym.out"},
    {"nwchem_oh_autosym", "nwchem/oh_autosym.out"},
    {"psi4_water", "psi4/h2o_opt_freq.out"},
    {"psi4_h3_saddle", "psi4/h3_saddle.out"},
    {"psi4_h3_then_irc", "psi4/h3_freq_then_irc.out"},
    {"psi4_oh", "psi4/oh_freq.out"},
};

// The mode in mass-weighted coordinates, sqrt(m_i) d_i, as one vector of 3N.
std::vector<double> massWeighted(const QcRecord &rec, const Mode &mode) {
  std::vector<double> w;
  for (std::size_t a = 0; a < mode.size(); ++a)
    for (const double d : mode[a])
      w.push_back(std::sqrt(isotopeMass(rec.atomicNumbers[a])) * d);
  return w;
}

double dot(const std::vector<double> &a, const std::vector<double> &b) {
  double s = 0.0;
  for (std::size_t k = 0; k < a.size(); ++k)
    s += a[k] * b[k];
  return s;
}

// Printed with two decimals (Gaussian's usual blocks, Psi4), a displacement
// of 0.1 is known to 5 %: the overlaps below allow a few percent.
constexpr double OVERLAP = 0.05;

class NormalModes : public ::testing::TestWithParam<Output> {};

TEST_P(NormalModes, OnePerFrequencyOrthogonalAndWithoutTranslation) {
  const QcRecord rec = qc::readOutput(qcFixture(GetParam().path));
  ASSERT_FALSE(rec.frequencies.empty());
  ASSERT_EQ(rec.normalModes.size(), rec.frequencies.size());
  const std::size_t atoms = rec.atomicNumbers.size();
  std::vector<std::vector<double>> unit;
  for (const Mode &mode : rec.normalModes) {
    ASSERT_EQ(mode.size(), atoms);
    std::vector<double> w = massWeighted(rec, mode);
    const double norm = std::sqrt(dot(w, w));
    ASSERT_GT(norm, 0.0);
    for (double &x : w)
      x /= norm;
    unit.push_back(std::move(w));
  }
  double totalMass = 0.0;
  for (const int z : rec.atomicNumbers)
    totalMass += isotopeMass(z);
  for (std::size_t i = 0; i < unit.size(); ++i) {
    SCOPED_TRACE("mode " + std::to_string(i) + " at " + std::to_string(rec.frequencies[i]) +
                 " cm-1");
    for (std::size_t j = i + 1; j < unit.size(); ++j)
      EXPECT_LT(std::fabs(dot(unit[i], unit[j])), OVERLAP) << "with mode " << j;
    // Overlap with the unit translation along x, y, z: sum m_i d_i / sqrt(M),
    // over the mode's mass-weighted norm.
    const double norm = std::sqrt(
        dot(massWeighted(rec, rec.normalModes[i]), massWeighted(rec, rec.normalModes[i])));
    for (std::size_t x = 0; x < 3; ++x) {
      double momentum = 0.0;
      for (std::size_t a = 0; a < atoms; ++a)
        momentum += isotopeMass(rec.atomicNumbers[a]) * rec.normalModes[i][a][x];
      EXPECT_LT(std::fabs(momentum) / std::sqrt(totalMass) / norm, OVERLAP) << "axis " << x;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(RealOutputs, NormalModes, ::testing::ValuesIn(OUTPUTS),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(NormalModes, DisplacementsAsPrinted) {
  struct Case {
    const char *path;
    std::size_t mode, atom; // from 0, among the vibrations kept
    std::array<double, 3> displacement;
  };
  const Case cases[] = {
      // HCN_singlet.out line 1579, under "Frequencies --   3400.5651": "3   1   0.00   0.00 -0.99".
      {"gaussian/HCN_singlet.out", 3, 2, {0.00, 0.00, -0.99}},
      // gaussian09_dvb_ir.out line 785, the freq=hpmodes block of "52.7882": "3  1  6  0.08012";
      // rows 783-784 give x and y as 0.00000. The usual block says only "0.08".
      {"gaussian/gaussian09_dvb_ir.out", 0, 0, {0.0, 0.0, 0.08012}},
      // CO2_vib.out lines 3343-3345, column 5 (289.50 cm-1, after five zero modes): the C atom.
      {"orca/CO2_vib.out", 0, 1, {0.001845, 0.883260, -0.000000}},
      // orca6_dvb_ir.out lines 1502-1504, under the "1-Au ..." labels: ORCA's modes 6 (the
      // first kept, 43.87 cm-1) and 8; rows 0-2 are atom 1: "2  0.223607 ... 0.078313
      // -0.085691  -0.031312 ...", rows 0 and 1 hold 0.000000 there.
      {"orca/orca6_dvb_ir.out", 0, 0, {0.0, 0.0, 0.078313}},
      {"orca/orca6_dvb_ir.out", 2, 0, {0.0, 0.0, -0.031312}},
      // h2o_scf_freq.out lines 3097-3102, the projected block, "P.Frequency 4188.73":
      // rows 1-3 (O) "0.06799 0.00000 0.00000", rows 4-6 (H) "-0.53954 0.00000 -0.41028".
      {"nwchem/h2o_scf_freq.out", 2, 0, {0.06799, 0.0, 0.0}},
      {"nwchem/h2o_scf_freq.out", 2, 1, {-0.53954, 0.0, -0.41028}},
      // h3_freq_then_irc.out, the projected blocks: "P.Frequency -1167.36" first, before five
      // zero modes, rows 4-6 "0.00000 -0.00000 0.81332" (line 1583 the last); "924.93" rows
      // 1-3 "0.26521 0.30814 -0.00000" (line 1592 the first), where the unprojected block
      // says "0.26515 0.30807 0.00000" (line 1455).
      {"nwchem/h3_freq_then_irc.out", 0, 1, {0.0, 0.0, 0.81332}},
      {"nwchem/h3_freq_then_irc.out", 1, 0, {0.26521, 0.30814, 0.0}},
      // h2o_opt_freq.out line 2199, "Vibration 7", 1826.6402: "2   H   0.00  0.43  0.56".
      {"psi4/h2o_opt_freq.out", 0, 1, {0.00, 0.43, 0.56}},
      // h3_saddle.out line 3476, "Vibration 1", 2272.7806i: "2   H   0.00  0.00  0.82";
      // "Vibration 9" (2046.0756), line 3490: "3   H   0.00  0.00 -0.71".
      {"psi4/h3_saddle.out", 0, 1, {0.00, 0.00, 0.82}},
      {"psi4/h3_saddle.out", 3, 2, {0.00, 0.00, -0.71}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.path) + " mode " + std::to_string(c.mode) + " atom " +
                 std::to_string(c.atom));
    const QcRecord rec = qc::readOutput(qcFixture(c.path));
    ASSERT_GT(rec.normalModes.size(), c.mode);
    ASSERT_GT(rec.normalModes[c.mode].size(), c.atom);
    for (std::size_t x = 0; x < 3; ++x)
      EXPECT_DOUBLE_EQ(rec.normalModes[c.mode][c.atom][x], c.displacement[x]) << "axis " << x;
  }
}

// Water's bend (its lowest mode) keeps the molecule planar: both H atoms move
// in the plane of the three nuclei.
TEST(NormalModes, WaterBendStaysInTheMolecularPlane) {
  for (const char *path : {"nwchem/h2o_scf_freq.out", "nwchem/h2o_numerical_freq.out",
                           "orca/Orca_opt_freq_test.log", "psi4/h2o_opt_freq.out"}) {
    SCOPED_TRACE(path);
    const QcRecord rec = qc::readOutput(qcFixture(path));
    ASSERT_EQ(rec.atomicNumbers, (std::vector<int>{8, 1, 1}));
    ASSERT_EQ(rec.normalModes.size(), 3u);
    const auto &r = rec.coords;
    const std::array<double, 3> a{r[1][0] - r[0][0], r[1][1] - r[0][1], r[1][2] - r[0][2]};
    const std::array<double, 3> b{r[2][0] - r[0][0], r[2][1] - r[0][1], r[2][2] - r[0][2]};
    const std::array<double, 3> normal{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                                       a[0] * b[1] - a[1] * b[0]};
    const double n = std::sqrt(dot({normal.begin(), normal.end()}, {normal.begin(), normal.end()}));
    for (std::size_t h = 1; h <= 2; ++h) {
      const auto &d = rec.normalModes[0][h];
      const double size = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
      ASSERT_GT(size, 0.1);
      const double outOfPlane = (d[0] * normal[0] + d[1] * normal[1] + d[2] * normal[2]) / n;
      EXPECT_LT(std::fabs(outOfPlane) / size, 0.01) << "atom " << h;
    }
  }
}

// The text with the last occurrence of `from` replaced by `to`.
std::string replacedLast(std::string text, const std::string &from, const std::string &to) {
  const std::size_t at = text.rfind(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos)
    text.replace(at, from.size(), to);
  return text;
}

const qc::Reader &readerOf(const std::string &text) {
  for (const qc::Reader &r : qc::readers())
    if (r.recognises(text))
      return r;
  ADD_FAILURE() << "no reader";
  return qc::readers().front();
}

// A modes table that does not read as one is left out, never refused: the
// frequencies are read as before. When freq=hpmodes' five-decimal block is
// the broken one, Gaussian's usual block serves.
TEST(NormalModes, AnOddTableLeavesNoModesAndRefusesNothing) {
  struct Case {
    const char *what, *path, *from, *to;
    std::optional<double> firstZ; // the mode 0, atom 0, z left, if any
  };
  const Case cases[] = {
      {"a value that is no number", "gaussian/HCN_singlet.out", "     3   1     0.00   0.00  -0.99",
       "     3   1     0.00   0.00  -0.9x", std::nullopt},
      {"a row of another atom", "gaussian/HCN_singlet.out", "     3   1     0.00   0.00  -0.99",
       "     4   1     0.00   0.00  -0.99", std::nullopt},
      {"a broken five-decimal row", "gaussian/gaussian09_dvb_ir.out",
       "   3     1     6          0.08012  -0.08437", "   3     1     6          0.08O12  -0.08437",
       0.08},
      {"a row short of a column", "orca/CO2_vib.out",
       "      4       0.000000   0.000000   0.000000   0.000000   0.000000   0.883260\n",
       "      4       0.000000   0.000000   0.000000   0.000000   0.000000\n", std::nullopt},
      {"a row missing", "orca/CO2_vib.out", "      2       0.000000  -0.707094  -0.331569\n", "",
       std::nullopt},
      {"a projected row missing", "nwchem/h2o_scf_freq.out",
       "           9    -0.00109     0.00000     0.00000     0.00000    -0.01391    -0.61897\n", "",
       std::nullopt},
      {"an atom's row missing", "psi4/h2o_opt_freq.out",
       "      3   H                0.00 -0.43  0.56    0.00 -0.58 -0.40    0.00  0.56  0.43   \n",
       "", std::nullopt},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.path) + ": " + c.what);
    const auto file = qcFixture(c.path);
    const std::string whole = readFile(file);
    const QcRecord before = qc::readOutput(file);
    const std::string text = replacedLast(whole, c.from, c.to);
    ASSERT_NE(text, whole);
    const QcRecord rec = readerOf(text).read(file, text);
    EXPECT_EQ(rec.frequencies, before.frequencies);
    EXPECT_EQ(rec.intensities, before.intensities);
    if (c.firstZ) {
      ASSERT_EQ(rec.normalModes.size(), rec.frequencies.size());
      EXPECT_DOUBLE_EQ(rec.normalModes[0][0][2], *c.firstZ);
    } else {
      EXPECT_TRUE(rec.normalModes.empty());
    }
  }
}

// An output cut at the end or in the middle of any line from its frequency
// analysis on is refused, or read with the modes of the whole output.
TEST(NormalModes, ACutOutputKeepsTheWholeModesOrIsRefused) {
  struct Case {
    const char *path, *from, *to; // cut from the first `from` to the first `to` after it
    bool someRead;                // a cut there leaves a step that ended
  };
  const Case cases[] = {
      {"gaussian/HCN_singlet.out", "Harmonic frequencies", "Normal termination", false},
      {"gaussian/gaussian09_dvb_ir.out", "Harmonic frequencies", "Normal termination", false},
      {"orca/orca6_dvb_ir.out", "VIBRATIONAL FREQUENCIES", "TERMINATED NORMALLY", false},
      {"nwchem/h3_freq_then_irc.out", "NORMAL MODE EIGENVECTORS", "Task  times", true},
      {"psi4/h3_saddle.out", "==> Harmonic Vibrational Analysis", "Total G, Free enthalpy", true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.path);
    const auto file = qcFixture(c.path);
    const std::string text = readFile(file);
    const QcRecord whole = qc::readOutput(file);
    ASSERT_FALSE(whole.normalModes.empty());
    const qc::Reader &reader = readerOf(text);
    std::size_t read = 0, refused = 0;
    const std::size_t first = text.find(c.from), last = text.find(c.to, first);
    ASSERT_NE(last, std::string::npos);
    for (std::size_t start = text.rfind('\n', first) + 1; start <= last;) {
      const std::size_t feed = text.find('\n', start);
      const std::size_t next = feed == std::string::npos ? text.size() : feed + 1;
      for (const std::size_t end : {start + (next - start) / 2, next}) {
        if (end >= text.size())
          continue;
        try {
          const std::string cut = text.substr(0, end);
          const QcRecord rec = reader.read(file, cut);
          ++read;
          EXPECT_EQ(rec.normalModes, whole.normalModes) << "cut at byte " << end;
        } catch (const Error &) {
          ++refused;
        }
      }
      start = next;
    }
    EXPECT_GT(refused, 0u);
    // Gaussian and ORCA end the run with the step; NWChem and Psi4 steps end before it.
    if (c.someRead) {
      EXPECT_GT(read, 0u);
    }
  }
}

} // namespace
} // namespace orvalen::test
