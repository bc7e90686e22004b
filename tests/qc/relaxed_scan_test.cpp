// The table of relaxed-scan formats (scanFormats) and their readers on real
// scans: the Gaussian opt=modredundant scan of the ethyl radical and the xtb
// $scan of ethane (tests/fixtures/qc/*/README), each refusal made by changing
// one thing of a real scan. Expected values are read off the files: the
// ModRedundant line "D 3 1 2 5 S 36 10.000", "on scan point k out of 37", the
// "SCF Done:" and "Standard orientation:" before each point's "Optimization
// completed.".
#include "qc/reader_fixtures.hpp"
#include "qc/rotor_scan.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace orvalen::test {
namespace {

namespace fs = std::filesystem;

const fs::path ETHYL = qcFixture("gaussian/gaussian_ethyl_scan_1.log");
const fs::path ETHANE = qcFixture("xtb/rotor_ethane");

// The rows of the table by name, and the row that takes each file.
const qc::ScanFormat *formatNamed(std::string_view name) {
  for (const qc::ScanFormat &f : qc::scanFormats())
    if (f.name == name)
      return &f;
  return nullptr;
}

const qc::ScanFormat *formatOf(const std::string &text) {
  for (const qc::ScanFormat &f : qc::scanFormats())
    if (f.recognises(text))
      return &f;
  return nullptr;
}

TEST(ScanFormats, EachRealScanIsTakenByItsOwnRowAndReadAsItsKind) {
  const struct {
    fs::path file;
    const char *format, *kind;
    std::size_t points;
  } cases[] = {
      {ETHYL, "a Gaussian opt=modredundant output", "Gaussian relaxed scan", 37},
      {ETHANE / "scan.out", "an xtb $scan output (xtbscan.log beside it)", "xtb relaxed scan", 37},
      {ETHANE / "xtbscan.log", "xtbscan.log alone", "xtb relaxed scan", 37},
      {qcFixture("rotor_scans/ethane_two_column.txt"), "a file of two columns", "two-column scan",
       37},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.file.string());
    const std::string text = readFile(c.file);
    const qc::ScanFormat *format = formatOf(text);
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->name, c.format);
    EXPECT_EQ(format->kind, c.kind);
    const qc::RelaxedScan scan = qc::readRelaxedScan(c.file);
    EXPECT_EQ(scan.kind, c.kind);
    EXPECT_EQ(scan.energies.size(), c.points);
    EXPECT_EQ(scan.lines.size(), c.points);
  }
  // The last row takes any file, so that a file is always read as something.
  ASSERT_NE(formatNamed("a file of two columns"), nullptr);
  EXPECT_EQ(&qc::scanFormats().back(), formatNamed("a file of two columns"));
  EXPECT_TRUE(qc::scanFormats().back().recognises(""));
  // A line of a file that reads as none of the formats names them all.
  TempDir dir;
  dir.write("scan.txt", "0 -79.0\n10 -79.0 x\n");
  EXPECT_EQ(errorOf([&] { qc::readRelaxedScan(dir / "scan.txt"); }),
            (dir / "scan.txt").string() +
                " line 2: expected an angle in degrees and an energy in Hartree, found \"10 "
                "-79.0 x\" (a scan is a Gaussian opt=modredundant output, an xtb $scan output "
                "(xtbscan.log beside it), xtbscan.log alone or a file of two columns)");
}

TEST(GaussianScan, EachPointIsTheGeometryAndEnergyOfItsConvergedOptimisation) {
  const qc::RelaxedScan scan = qc::readRelaxedScan(ETHYL);
  ASSERT_TRUE(scan.dihedral.has_value());
  EXPECT_EQ(*scan.dihedral, (std::array<int, 4>{3, 1, 2, 5}));
  EXPECT_EQ(scan.pointsFile, ETHYL);
  EXPECT_TRUE(scan.angles.empty()); // measured on the geometries
  ASSERT_EQ(scan.energies.size(), 37u);
  ASSERT_EQ(scan.geometries.size(), 37u);
  // Point 1 converges at line 734 after "SCF Done: ... -79.1701039151" (line
  // 667) and the standard orientation of line 619; point 37 at line 22194
  // after "-79.1701039140" (line 22127). The scan's job ends at line 22721:
  // the frequency job after it adds no point.
  EXPECT_EQ(scan.lines.front(), 733u);
  EXPECT_DOUBLE_EQ(scan.energies.front(), -79.1701039151);
  EXPECT_EQ(scan.lines.back(), 22193u);
  EXPECT_DOUBLE_EQ(scan.energies.back(), -79.1701039140);
  const qc::Atoms &first = scan.geometries.front();
  EXPECT_EQ(first.z, (std::vector<int>{6, 6, 1, 1, 1, 1, 1}));
  EXPECT_EQ(first.r[0], (qc::Vec3{0.795234, 0.000000, -0.018665}));
  EXPECT_EQ(first.r[6], (qc::Vec3{-1.107946, 0.890297, -0.489863}));
}

// The lines of a text, and the text again.
std::vector<std::string> linesOf(const std::string &text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos;
       start = end + 1, end = text.find('\n', start))
    lines.push_back(text.substr(start, end - start));
  return lines;
}

std::string joined(const std::vector<std::string> &lines) {
  std::string text;
  for (const auto &line : lines)
    text += line + "\n";
  return text;
}

// Index of the line after the `nth` (from 0) line that holds `marker`.
std::size_t after(const std::vector<std::string> &lines, std::string_view marker, int nth) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(marker) != std::string::npos && nth-- == 0)
      return i + 1;
  ADD_FAILURE() << "no " << marker;
  return lines.size();
}

struct Refusal {
  const char *name;
  std::function<void(std::vector<std::string> &)> change;
  std::string message; // after "FILE"
};

TEST(GaussianScan, EachRefusalSaysWhatIsWrong) {
  // The ModRedundant line is line 142; points converge at lines 734, 1390,
  // 2048, ...; the scan's job ends at line 22721.
  const Refusal cases[] = {
      {"cut_after_point_5", [](auto &l) { l.resize(after(l, "Optimization completed.", 4) + 1); },
       ": the job of the scan does not end in \"Normal termination of Gaussian\" after 5 of its "
       "37 points: the output is cut short or the job is still running"},
      {"error_after_point_5",
       [](auto &l) {
         l.resize(after(l, "Optimization completed.", 4) + 1);
         l.push_back(" Error termination via Lnk1e in /g03/l9999.exe at Tue Jan 19 2010.");
       },
       " line 3375: the job of the scan stopped with an error after 5 of its 37 points"},
      {"point_3_stopped",
       [](auto &l) { l[after(l, "Optimization completed.", 2) - 1] = " Optimization stopped."; },
       " line 2048: the optimisation of scan point 3 stopped without converging; its energy is "
       "not that of a relaxed geometry: scan again, or give the converged points as a two-column "
       "file"},
      {"point_2_missing",
       [](auto &l) { l[after(l, "Optimization completed.", 1) - 1] = " Optimization goes on."; },
       " line 2048: scan point 3 converged after 1 points: a point is missing"},
      {"bond",
       [](auto &l) { l[after(l, "ModRedundant input section", 0)] = " B    1    2 S  36 0.100"; },
       " line 142: the scanned coordinate \" B    1    2 S  36 0.100\" is a bond length, not a "
       "dihedral; a rotor's potential is a scan of a dihedral"},
      {"angle",
       [](auto &l) { l[after(l, "ModRedundant input section", 0)] = " A  3  1  2 S  36 1.000"; },
       " line 142: the scanned coordinate \" A  3  1  2 S  36 1.000\" is a bond angle, not a "
       "dihedral; a rotor's potential is a scan of a dihedral"},
      {"two_coordinates",
       [](auto &l) {
         const auto at = l.begin() + static_cast<long>(after(l, "ModRedundant input", 0) + 1);
         l.insert(at, " D    4    1    2    6 S  36 10.000");
       },
       " line 143: a second scanned coordinate (\" D    4    1    2    6 S  36 10.000\"); a "
       "rotor's potential is a scan of one dihedral alone"},
      {"no_scan",
       [](auto &l) { l[after(l, "ModRedundant input section", 0)] = " D    3    1    2    5 F"; },
       ": a Gaussian output without a relaxed scan (opt=modredundant with a coordinate marked S "
       "in its ModRedundant input); give the output of the scan"},
  };
  const std::vector<std::string> lines = linesOf(readFile(ETHYL));
  for (const Refusal &c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> changed = lines;
    c.change(changed);
    TempDir dir;
    dir.write("scan.log", joined(changed));
    EXPECT_EQ(errorOf([&] { qc::readRelaxedScan(dir / "scan.log"); }),
              (dir / "scan.log").string() + c.message);
  }
}

TEST(XtbScan, EachRefusalOfTheOutputSaysWhatIsWrong) {
  // "constraining angle 3 1 2 6 to  180.0000000°, ..." at line 92, "RELAXED
  // SCAN" and "scaning constraint 1" below it; xtbscan.log beside it.
  const Refusal cases[] = {
      {"no_relaxed_scan", [](auto &l) { l[after(l, "RELAXED SCAN", 0) - 1] = ""; },
       ": an xtb output without a relaxed scan ($scan of a constrained dihedral in the xcontrol "
       "input); give the output of the scan"},
      {"unfinished", [](auto &l) { l.resize(after(l, "* finished run on", 0) - 1); },
       ": the xtb run does not end in \"* finished run on\": the output is cut short or xtb is "
       "still running"},
      {"two_constraints_turned",
       [](auto &l) { l.insert(l.begin() + 400, " scaning constraint 2"); },
       ": the scan turns 2 constraints at once; a rotor's potential is a scan of one dihedral "
       "alone"},
      {"constraint_not_given",
       [](auto &l) { l[after(l, "scaning constraint", 0) - 1] = " scaning constraint 7"; },
       ": the scanned constraint 7 is not among the 1 \"constraining\" lines of the output"},
      {"angle",
       [](auto &l) {
         std::string &c = l[after(l, "constraining angle", 0) - 1];
         c.replace(c.find("3 1 2 6"), 7, "3 1 2");
       },
       " line 92: the scanned constraint \"constraining angle 3 1 2 to  180.0000000\xC2\xB0, "
       "actual value:  180.0000000\xC2\xB0\" holds 3 atoms, not the four of a dihedral; a "
       "rotor's potential is a scan of a dihedral"},
  };
  const std::vector<std::string> lines = linesOf(readFile(ETHANE / "scan.out"));
  for (const Refusal &c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> changed = lines;
    c.change(changed);
    TempDir dir;
    fs::copy_file(ETHANE / "xtbscan.log", dir / "xtbscan.log");
    dir.write("scan.out", joined(changed));
    EXPECT_EQ(errorOf([&] { qc::readRelaxedScan(dir / "scan.out"); }),
              (dir / "scan.out").string() + c.message);
  }
}

} // namespace
} // namespace orvalen::test
