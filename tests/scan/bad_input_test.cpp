// Bad input to orvalen-scan: every error orvalen reports for a job comes out
// as the same one line, "orvalen-scan: " in place of "orvalen: ", with exit
// status 1; errors of the scan's own options are one clear line too.

#include "scan_support.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace orvalen::test {
namespace {

namespace fs = std::filesystem;

const fs::path BAD_JOBS = fs::path(ORVALEN_FIXTURES) / "bad_jobs";

std::string repeated(const std::string &line, int n) {
  std::string s;
  for (int i = 0; i < n; ++i)
    s += line;
  return s;
}

void expectOneLine(const RunResult &r, const std::string &prefix) {
  ASSERT_FALSE(r.stderrText.empty());
  EXPECT_EQ(r.stderrText.rfind(prefix, 0), 0u) << r.stderrText;
  EXPECT_EQ(r.stderrText.find('\n'), r.stderrText.size() - 1) << r.stderrText;
}

// Each bad data file of the fixtures as the product of a job, and job inputs
// that break a capacity or a field read: orvalen's message, word for word.
std::vector<std::pair<std::string, std::string>> badJobs() {
  std::vector<std::pair<std::string, std::string>> jobs;
  for (const auto &e : fs::directory_iterator(BAD_JOBS)) {
    const std::string name = e.path().filename().string();
    if (name != "water.dat")
      jobs.emplace_back(name, "REACT W water.dat\nPROD X " + name + "\nTS T water.dat\n");
  }
  jobs.emplace_back("eleven_reactants", repeated("REACT W water.dat\n", 11));
  jobs.emplace_back("keff_not_a_number", "REACT W water.dat\nKEFF 2.5X15 1\n");
  jobs.emplace_back("option_overflow", "REACT W water.dat MULT=99999999999\n");
  jobs.emplace_back("no_data_file_named", "REACT W water.dat\nPROD OH\n");
  jobs.emplace_back("data_file_is_folder", "REACT W water.dat\nPROD A folder.dat\n");
  jobs.emplace_back("data_file_in_missing_folder", "REACT W water.dat\nPROD A sub/a.dat\n");
  return jobs;
}

TEST(ScanBadInput, JobErrorsAreOrvalensOwn) {
  for (const auto &[name, inp] : badJobs()) {
    SCOPED_TRACE(name);
    TempDir dir;
    for (const auto &e : fs::directory_iterator(BAD_JOBS))
      fs::copy_file(e.path(), dir / e.path().filename().string());
    fs::create_directory(dir / "folder.dat");
    dir.write("job.inp", inp);
    const RunResult orvalen = runOrvalen(dir.path(), "job");
    ASSERT_EQ(orvalen.status, 1) << orvalen.stderrText;
    ASSERT_NE(orvalen.stderrText.find("orvalen: "), std::string::npos);
    const RunResult scan = runScanBinary(dir.path(), "job -T 300,400");
    EXPECT_EQ(scan.status, 1);
    std::string expected;
    for (const std::string &line : linesOf(orvalen.stderrText))
      expected += "orvalen-scan: " + line.substr(9) + "\n";
    EXPECT_EQ(scan.stderrText, expected);
    EXPECT_EQ(scan.stdoutText, "");
  }
}

struct OptionCase {
  const char *name;
  const char *args;    // after the job name
  const char *message; // the error line holds it
};

class ScanBadOption : public ::testing::TestWithParam<OptionCase> {};

TEST_P(ScanBadOption, OneLineAndStatusOne) {
  const OptionCase &c = GetParam();
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  dir.write("bad_uncertainty.txt", "300 6.4e-15 0.5\n"); // a factor below 1
  const RunResult r = runScanBinary(dir.path(), std::string("oh_ch4 ") + c.args);
  EXPECT_EQ(r.status, 1);
  expectOneLine(r, "orvalen-scan: ");
  EXPECT_NE(r.stderrText.find(c.message), std::string::npos) << r.stderrText;
  EXPECT_EQ(r.stdoutText, "");
}

const OptionCase OPTION_CASES[] = {
    {"Letters", "-T abc", "\"abc\" is not a number"},
    {"Unit", "-T 300K", "\"300K\" is not a number"},
    {"Zero", "-T 0", "0 K is not positive"},
    {"Negative", "-T 300,-5", "-5 K is not positive"},
    {"NotFinite", "-T inf", "\"inf\" is not a number"},
    {"EmptyItem", "-T 300,,400", "empty item"},
    {"EmptyList", "-T ''", "no temperature given"},
    {"EmptyRange", "-T 500:300:50", "is empty"},
    {"StepZero", "-T 300:500:0", "step is zero"},
    {"RangeShape", "-T 300:500", "START:STOP:STEP"},
    {"TooManyInRange", "-T 1:200001:1", "more than 100000 temperatures"},
    {"NegativeStart", "-T -100:300:100", "-100 K is not positive"},
    {"PressureNotPositive", "-P 0", "pressure \"0\" is not a positive number"},
    {"PressureLetters", "-P 1bar", "pressure \"1bar\""},
    {"UnknownMethod", "--tunnelling bell", "unknown tunnelling method \"bell\""},
    {"UnknownFormat", "--format xml", "unknown format \"xml\""},
    {"UnknownOption", "--colour", "--colour"},
    {"FitOneTemperature", "-T 400 --fit", "three or more different temperatures"},
    {"ShiftOnAndOff", "--spin-orbit-shift --no-spin-orbit-shift",
     "--spin-orbit-shift and --no-spin-orbit-shift both given: give one"},
    {"UncertaintyBelowOne", "-T 300 --measured bad_uncertainty.txt", "line 1: \"300 6.4e-15 0.5\""},
};

INSTANTIATE_TEST_SUITE_P(Options, ScanBadOption, ::testing::ValuesIn(OPTION_CASES),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ScanBadInput, MissingFilesAreNotCreated) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  RunResult r = runScanBinary(dir.path(), "nojob");
  EXPECT_EQ(r.status, 1);
  expectOneLine(r, "orvalen-scan: nojob.inp: no such job input file");
  EXPECT_FALSE(fs::exists(dir / "nojob.inp"));

  fs::remove(dir / "ch4.dat");
  r = runScanBinary(dir.path(), "oh_ch4");
  EXPECT_EQ(r.status, 1);
  expectOneLine(r, "orvalen-scan: molecule CH4: data file ch4.dat not found");
  EXPECT_FALSE(fs::exists(dir / "ch4.dat"));
}

} // namespace
} // namespace orvalen::test

namespace orvalen::test {
namespace {

// Input that is probably not what was meant: the scan runs to its end and
// says so, one line each, in order.
TEST(ScanWarnings, InputProbablyNotMeantIsNamed) {
  struct Case {
    const char *what;
    const char *line, *replacement; // a line of oh_ch4.inp replaced; nullptr: none
    const char *measured;           // m.txt; nullptr: none
    const char *args;               // after "oh_ch4"
    int status;
    std::vector<std::vector<std::string>> warnings; // texts each line holds
  };
  const char *const ts = "TS TS1 ts1.dat MULT=2";
  // k at 300 and 1000 K is 2.79846E-14 and 5.25339E-12 cm3/molecule/s
  // (measured_test.cpp); measured in cm3/mol/s as 3.9e9 and 6.0e11 the ratios
  // are 7.17554e-24 and 8.75565e-24, their median (the geometric mean of the
  // two) 7.92636e-24.
  const Case cases[] = {
      {"a TS line with a colon, and Eckart tunnelling without a transition state",
       ts,
       "TS: TS1 ts1.dat MULT=2",
       nullptr,
       "-T 300 --tunnelling eckart",
       0,
       {{"orvalen-scan: warning: oh_ch4.inp line 5: \"TS: TS1 ts1.dat MULT=2\" is not a job "
         "line and is not used"},
        {"orvalen-scan: warning: --tunnelling eckart changes nothing: the job has no rate "
         "constant"}}},
      {"a TS line without its role",
       ts,
       "TS1 ts1.dat MULT=2",
       nullptr,
       "-T 300",
       0,
       {{"oh_ch4.inp line 5: \"TS1 ts1.dat MULT=2\" is not a job line and is not used"}}},
      {"measured rate constants in cm3/mol/s",
       nullptr,
       nullptr,
       "300 3.9e9\n1000 6.0e11\n",
       "-T 300,1000 --tunnelling eckart --measured m.txt",
       0,
       {{"no parabolic coefficient at 300 K"},
        {"orvalen-scan: warning: m.txt: the median k/k_measured is 7.9e-24, beyond 1e-4 to 1e+4: "
         "units? the file's k must be in the table's unit, cm3/molecule/s"}}},
      {"a quasi-harmonic cut-off that leaves no finite total",
       nullptr,
       nullptr,
       nullptr,
       "-T 300 --qrrho truhlar --qrrho-cutoff 1e6",
       2,
       {{"no parabolic coefficient at 300 K"},
        {"at 300 K the totals of OH", "are not finite numbers (NaN or Infinity)",
         "; --qrrho truhlar and --qrrho-cutoff 1e+06 cm-1 cause it: without any one of them "
         "they are finite"}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    copyJobFolder("examples/oh_ch4", dir.path());
    if (c.line) {
      std::string job = dir.read("oh_ch4.inp");
      job.replace(job.find(c.line), std::string(c.line).size(), c.replacement);
      dir.write("oh_ch4.inp", job);
    }
    if (c.measured)
      dir.write("m.txt", c.measured);
    const RunResult r = runScanBinary(dir.path(), std::string("oh_ch4 ") + c.args);
    EXPECT_EQ(r.status, c.status) << r.stderrText;
    EXPECT_FALSE(r.stdoutText.empty());
    const auto lines = linesOf(r.stderrText);
    ASSERT_EQ(lines.size(), c.warnings.size()) << r.stderrText;
    for (std::size_t k = 0; k < lines.size(); ++k)
      for (const std::string &text : c.warnings[k])
        EXPECT_NE(lines[k].find(text), std::string::npos) << text << "\nnot in\n" << lines[k];
  }
}

TEST(ScanWarnings, OrvalensWarningsThenTheScans) {
  // The job's own warning, word for word as orvalen gives it.
  TempDir dir;
  copyJobFolder("tests/e2e/jobs/ten_to_ten", dir.path());
  RunResult r = runScanBinary(dir.path(), "ten_to_ten -T 300");
  EXPECT_EQ(r.status, 0);
  const std::string orvalen =
      readFile(fs::path(ORVALEN_SOURCE_DIR) / "tests/e2e/jobs/ten_to_ten/ten_to_ten.stderr");
  EXPECT_EQ(r.stderrText, "orvalen-scan: " + orvalen.substr(9));

  // An empty data file: orvalen's report would be unsound, so are the scan's values.
  TempDir empty;
  copyJobFolder("examples/oh_ch4", empty.path());
  empty.write("ch4.dat", "");
  r = runScanBinary(empty.path(), "oh_ch4 -T 300,400");
  EXPECT_EQ(r.status, 2);
  const auto lines = linesOf(r.stderrText);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(
      lines.front().rfind("orvalen-scan: warning: molecule CH4: data file ch4.dat is empty", 0),
      0u);
  EXPECT_EQ(lines.back(), "orvalen-scan: warning: at 300 K the totals of CH4, the reaction "
                          "quantities and the rate constants are not finite numbers (NaN or "
                          "Infinity): the values cannot be used");
}

} // namespace
} // namespace orvalen::test
