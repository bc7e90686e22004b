// Measured rate constants beside a scan (--measured FILE): the file's two
// columns, the ratio k/k_measured where a scanned temperature is a measured
// one, the points in the plot, and the refusals.
//
// By hand from docs/orvalen-scan.md's OH + CH4 table (Eckart): at 300 K kQ = 3.27806E-15,
// kappa = 8.6501, so k = kQ * kappa * 1e5/101325 = 2.79846E-14 and against a
// measured 6.4e-15 the ratio is 4.3726; at 1000 K kQ = 4.28032E-12, kappa =
// 1.2436, k = 5.25339E-12, against 1e-12 the ratio 5.2534.

#include "scan_support.hpp"

#include "base/error.hpp"
#include "scan/measured.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <regex>
#include <sstream>

namespace orvalen::test {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

// The end of every line refused.
const std::string EXPECTED = ", and perhaps k's uncertainty (a factor of 1 or more, or +- an "
                             "absolute value), are expected (# starts a comment)";

TEST(ScanMeasured, TheFileIsTwoPositiveNumbersALine) {
  struct Case {
    const char *what;
    const char *text;
    std::vector<std::pair<double, double>> points; // empty: refused
    const char *error;                             // after the file's path
  };
  const std::string two = "is not a measured point: two positive numbers, T in K and k in "
                          "cm3/molecule/s";
  const Case cases[] = {
      {"one point", "300 6.4e-15\n", {{300.0, 6.4e-15}}, nullptr},
      {"comments, blank lines, tabs, CR LF and no last line feed",
       "# OH + CH4\n\n\t300\t6.4E-15  # flash photolysis\r\n   \r\n1000 1e-12",
       {{300.0, 6.4e-15}, {1000.0, 1e-12}},
       nullptr},
      {"a Fortran D exponent", "300 2.4D-13\n", {{300.0, 2.4e-13}}, nullptr},
      {"one number", "300\n", {}, " line 1: \"300\" "},
      {"three numbers", "300 6.4e-15 0.2\n", {}, " line 1: \"300 6.4e-15 0.2\" "},
      {"a word, on the line after a comment", "# T k\n300 abc\n", {}, " line 2: \"300 abc\" "},
      {"a unit", "300 K 6.4e-15\n", {}, " line 1: \"300 K 6.4e-15\" "},
      {"a comma", "300,6.4e-15\n", {}, " line 1: \"300,6.4e-15\" "},
      {"k not above zero", "300 0\n", {}, " line 1: \"300 0\" "},
      {"T negative", "-300 6.4e-15\n", {}, " line 1: \"-300 6.4e-15\" "},
      {"not finite", "300 inf\n", {}, " line 1: \"300 inf\" "},
      {"a tab shown as \\t", "300\tx\n", {}, " line 1: \"300\\tx\" "},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    dir.write("m.txt", c.text);
    const std::string path = (dir / "m.txt").string();
    if (!c.points.empty()) {
      const auto points = scan::readMeasured(path, "cm3/molecule/s");
      ASSERT_EQ(points.size(), c.points.size());
      for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].T, c.points[i].first);
        EXPECT_EQ(points[i].k, c.points[i].second);
      }
      continue;
    }
    try {
      scan::readMeasured(path, "cm3/molecule/s");
      ADD_FAILURE() << "not refused";
    } catch (const Error &e) {
      std::string expected = path;
      expected.append(c.error).append(two).append(EXPECTED);
      EXPECT_EQ(e.what(), expected);
    }
  }
}

// A third column is k's uncertainty: a factor (k/f to k f), or an absolute
// value marked +- (or all plain ones after "# uncertainty: absolute").
TEST(ScanMeasured, AThirdColumnIsTheUncertainty) {
  struct Case {
    const char *what;
    const char *text;
    double low, high; // of the last point; 0, 0: refused
  };
  const Case cases[] = {
      {"a factor", "300 6.4e-15 2\n", 3.2e-15, 1.28e-14},
      {"a factor of 1", "300 6.4e-15 1\n", 6.4e-15, 6.4e-15},
      {"an absolute value", "300 6.4e-15 +-1.0e-15\n", 5.4e-15, 7.4e-15},
      {"an absolute value with a Fortran exponent", "300 6.4D-15 +-1.0D-15\n", 5.4e-15, 7.4e-15},
      {"absolute by the header", "# uncertainty: absolute\n300 6.4e-15 1.0e-15\n", 5.4e-15,
       7.4e-15},
      {"the header's mode until the next header",
       "# Uncertainty: absolute\n300 6.4e-15 1e-15\n#uncertainty:factor\n400 1e-14 2\n", 5e-15,
       2e-14},
      {"an absolute value larger than k: the bar reaches the axis", "300 6.4e-15 +-1e-14\n",
       6.4e-15 - 1e-14, 6.4e-15 + 1e-14},
      {"a factor below 1", "300 6.4e-15 0.5\n", 0, 0},
      {"an absolute value of 0", "300 6.4e-15 +-0\n", 0, 0},
      {"a word", "300 6.4e-15 +-x\n", 0, 0},
      {"a percentage", "300 6.4e-15 20%\n", 0, 0},
      {"four numbers", "300 6.4e-15 2 3\n", 0, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    dir.write("m.txt", c.text);
    const std::string path = (dir / "m.txt").string();
    if (c.high == 0.0) {
      EXPECT_THROW(scan::readMeasured(path, "cm3/molecule/s"), Error);
      continue;
    }
    const auto points = scan::readMeasured(path, "cm3/molecule/s");
    ASSERT_FALSE(points.empty());
    ASSERT_TRUE(points.back().low && points.back().high);
    EXPECT_DOUBLE_EQ(*points.back().low, c.low);
    EXPECT_DOUBLE_EQ(*points.back().high, c.high);
  }
  // Two columns: no uncertainty.
  TempDir dir;
  dir.write("m.txt", "300 6.4e-15\n");
  EXPECT_FALSE(scan::readMeasured((dir / "m.txt").string(), "1/s").front().low.has_value());
}

TEST(ScanMeasured, AFileWithoutPointsOrThatCannotBeReadIsRefused) {
  TempDir dir;
  dir.write("comments.txt", "# nothing measured yet\n\n");
  fs::create_directory(dir / "folder");
  struct Case {
    const char *name, *message; // after the file's path
  };
  const Case cases[] = {
      {"comments.txt", ": no measured point in it: two positive numbers, T in K and k in 1/s, "
                       "and perhaps k's uncertainty (a factor of 1 or more, or +- an absolute "
                       "value), are expected (# starts a comment), one point a line"},
      {"missing.txt", ": --measured \"{}\" cannot be read (No such file or directory); give a "
                      "file of measured rate constants"},
      {"folder", ": --measured \"{}\" is a folder; give a file of measured rate constants"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = (dir / c.name).string();
    const std::string message = path + std::regex_replace(c.message, std::regex(R"(\{\})"), path);
    try {
      scan::readMeasured(path, "1/s");
      ADD_FAILURE() << "not refused";
    } catch (const Error &e) {
      EXPECT_EQ(e.what(), message);
    }
  }
}

// A temperature matches to 1e-6 relative: 1000.0000001 is 1000 K, 600.0012
// (2e-6 off) is not 600 K; 3000 K lies outside the scan.
const char *const MEASURED = "# T/K  k/(cm3/molecule/s)\n"
                             "300 6.4e-15\n"
                             "600.0012 1e-13\n"
                             "1000.0000001 1e-12\n"
                             "3000 2e-11\n";

TEST(ScanMeasured, RatioWhereAScannedTemperatureIsMeasured) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  dir.write("m.txt", MEASURED);
  const std::string args = "oh_ch4 -T 300,600,1000 --tunnelling eckart --measured m.txt";
  const RunResult table = runScanBinary(dir.path(), args);
  ASSERT_EQ(table.status, 0) << table.stderrText;
  EXPECT_EQ(table.stderrText.find("measured"), std::string::npos) << table.stderrText;
  const auto lines = linesOf(table.stdoutText);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[3].substr(lines[3].size() - 24), "           k    k/k_meas");
  EXPECT_EQ(lines[5].substr(lines[5].size() - 12), "      4.3726");
  EXPECT_EQ(lines[6].substr(lines[6].size() - 12), "           -");
  EXPECT_EQ(lines[7].substr(lines[7].size() - 12), "      5.2534");

  const RunResult js = runScanBinary(dir.path(), args + " --format json");
  ASSERT_EQ(js.status, 0);
  const json doc = json::parse(js.stdoutText);
  const json &t = doc["temperatures"];
  EXPECT_DOUBLE_EQ(t[0]["k_over_k_measured"].get<double>(), t[0]["k"].get<double>() / 6.4e-15);
  EXPECT_TRUE(t[1]["k_over_k_measured"].is_null());
  EXPECT_DOUBLE_EQ(t[2]["k_over_k_measured"].get<double>(), t[2]["k"].get<double>() / 1e-12);

  const RunResult csv = runScanBinary(dir.path(), args + " --format csv");
  ASSERT_EQ(csv.status, 0);
  const auto rows = linesOf(csv.stdoutText);
  ASSERT_EQ(rows.size(), 4u);
  const std::regex ratio(R"(,k \(cm3/molecule/s\),k/k_measured \(\),)");
  EXPECT_TRUE(std::regex_search(rows[0], ratio)) << rows[0];
  // The ratio's cell stands before the Eckart barriers V1 and V2: 4.37...,
  // empty at 600 K, 5.25...
  const std::regex cell(R"(,([0-9.e+-]*),20\.49[0-9]*,80\.04)");
  std::smatch m;
  const char *starts[] = {"4.372", "", "5.253"};
  for (std::size_t i = 0; i < 3; ++i) {
    ASSERT_TRUE(std::regex_search(rows[1 + i], m, cell)) << rows[1 + i];
    EXPECT_EQ(m[1].str().substr(0, std::string(starts[i]).size()), starts[i]) << rows[1 + i];
  }
}

TEST(ScanMeasured, ThePlotShowsEveryMeasuredPointWithItsLegend) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  dir.write("m.txt", MEASURED);
  const RunResult r =
      runScanBinary(dir.path(), "oh_ch4 -T 300:1000:100 --measured m.txt --plot k.svg -o k.txt");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  const std::string svg = dir.read("k.svg");
  EXPECT_NE(svg.find(">measured</text>"), std::string::npos);
  // Open squares of 7: the four points, 3000 K too (outside the scan), and the legend's.
  const std::regex square(
      R"re(<rect x="([0-9.]+)" y="([0-9.]+)" width="7.00" height="7.00" stroke="#000000" fill="none"/>)re");
  std::vector<std::pair<double, double>> centres;
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), square); it != std::sregex_iterator();
       ++it)
    centres.emplace_back(std::stod((*it)[1]) + 3.5, std::stod((*it)[2]) + 3.5);
  ASSERT_EQ(centres.size(), 5u);
  // Inside the frame (80 to 736 across, 44 to 438 down); 3000 K is the leftmost.
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_GT(centres[i].first, 80.0);
    EXPECT_LT(centres[i].first, 736.0);
    EXPECT_GT(centres[i].second, 44.0);
    EXPECT_LT(centres[i].second, 438.0);
  }
  EXPECT_LT(centres[3].first, centres[2].first);
  // Without --measured no square.
  const RunResult plain = runScanBinary(dir.path(), "oh_ch4 -T 300:1000:100 --plot p.svg -o p.txt");
  ASSERT_EQ(plain.status, 0);
  const std::string p = dir.read("p.svg");
  EXPECT_FALSE(std::regex_search(p, square));
  EXPECT_EQ(p.find("measured"), std::string::npos);
}

TEST(ScanMeasured, OneWarningWhenNoScannedTemperatureIsMeasured) {
  struct Case {
    const char *file, *warning;
  };
  const Case cases[] = {
      {MEASURED, "none of its 4 measured temperatures is"},
      {"250 1e-15\n", "its one measured temperature is not"},
  };
  for (const Case &c : cases) {
    TempDir dir;
    copyJobFolder("examples/oh_ch4", dir.path());
    dir.write("m.txt", c.file);
    const RunResult r =
        runScanBinary(dir.path(), "oh_ch4 -T 400:900:100 --measured m.txt --format json");
    ASSERT_EQ(r.status, 0) << r.stderrText;
    EXPECT_EQ(r.stderrText, "orvalen-scan: warning: m.txt: " + std::string(c.warning) +
                                " among the scanned ones (to 1e-6 relative), so there is no "
                                "ratio k/k_measured; scan them with -T to compare\n");
    const json doc = json::parse(r.stdoutText); // kept: the range below points into it
    for (const json &p : doc["temperatures"])
      EXPECT_TRUE(p["k_over_k_measured"].is_null());
  }
}

TEST(ScanMeasured, RefusalsStopTheRunBeforeAnythingIsWritten) {
  struct Case {
    const char *folder, *job, *file, *message;
  };
  const Case cases[] = {
      {"examples/oh_ch4", "oh_ch4", "300 6.4e-15\n350 about 1e-14\n",
       "orvalen-scan: m.txt line 2: \"350 about 1e-14\" is not a measured point: two positive "
       "numbers, T in K and k in cm3/molecule/s, and perhaps k's uncertainty (a factor of 1 or "
       "more, or +- an absolute value), are expected (# starts a comment)\n"},
      {"tests/e2e/jobs/no_ts", "no_ts", "300 1e-12\n",
       "orvalen-scan: --measured needs a transition state: the job has no rate constant\n"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.job);
    TempDir dir;
    copyJobFolder(c.folder, dir.path());
    dir.write("m.txt", c.file);
    const RunResult r = runScanBinary(
        dir.path(), std::string(c.job) + " -T 300,400 --measured m.txt -o k.csv --plot k.svg");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.stderrText, c.message);
    EXPECT_EQ(r.stdoutText, "");
    EXPECT_FALSE(fs::exists(dir / "k.csv"));
    EXPECT_FALSE(fs::exists(dir / "k.svg"));
  }
}

} // namespace
} // namespace orvalen::test
