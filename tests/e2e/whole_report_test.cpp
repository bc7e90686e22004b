// Whole reports: every job folder under tests/e2e/jobs and examples/ is copied
// to a temporary folder, the real binary runs on it, and the report must equal
// the checked-in expected report character for character. A difference is
// shown as a unified diff. Standard error must equal <job>.stderr and the exit
// status <job>.status when the folder has them (a job whose report needs no
// warning has neither: status 0 and nothing on standard error).

#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orvalen {
namespace {

namespace fs = std::filesystem;

struct JobCase {
  fs::path folder; // holds <job>.inp, the data files and <job>.expected
  std::string job; // job name without extension
};

std::vector<JobCase> jobCases() {
  std::vector<JobCase> cases;
  for (const char *root : {"tests/e2e/jobs", "examples"}) {
    const fs::path base = fs::path(ORVALEN_SOURCE_DIR) / root;
    if (!fs::is_directory(base))
      continue;
    for (const auto &entry : fs::directory_iterator(base)) {
      if (!entry.is_directory())
        continue;
      for (const auto &file : fs::directory_iterator(entry.path()))
        if (file.path().extension() == ".expected")
          cases.push_back({entry.path(), file.path().stem().string()});
    }
  }
  std::sort(cases.begin(), cases.end(),
            [](const JobCase &a, const JobCase &b) { return a.folder < b.folder; });
  return cases;
}

std::string unifiedDiff(const fs::path &expected, const fs::path &actual) {
  const std::string cmd = "diff -u " + test::shellQuote(expected.string()) + " " +
                          test::shellQuote(actual.string()) + " 2>&1";
  std::string text;
  if (FILE *p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0 && text.size() < 20000)
      text.append(buf, n);
    pclose(p);
  }
  return text;
}

class WholeReport : public ::testing::TestWithParam<JobCase> {};

TEST_P(WholeReport, MatchesExpectedReport) {
  const JobCase &c = GetParam();
  test::TempDir dir;
  for (const auto &file : fs::directory_iterator(c.folder))
    if (const auto ext = file.path().extension(); file.is_regular_file() && ext != ".expected" &&
                                                  ext != ".out" && ext != ".stderr" &&
                                                  ext != ".status")
      fs::copy_file(file.path(), dir / file.path().filename().string());
  const auto r = test::runOrvalen(dir.path(), c.job);
  const fs::path statusFile = c.folder / (c.job + ".status");
  const int status = fs::exists(statusFile) ? std::stoi(test::readFile(statusFile)) : 0;
  const fs::path stderrFile = c.folder / (c.job + ".stderr");
  EXPECT_EQ(r.status, status) << r.stderrText;
  EXPECT_EQ(r.stderrText, fs::exists(stderrFile) ? test::readFile(stderrFile) : std::string());
  const fs::path expected = c.folder / (c.job + ".expected");
  const fs::path actual = dir / (c.job + ".out");
  const std::string want = test::readFile(expected);
  const std::string got = test::readFile(actual);
  if (want != got)
    ADD_FAILURE() << "report of " << c.folder.filename().string() << "/" << c.job
                  << " differs from the expected one:\n"
                  << unifiedDiff(expected, actual);
}

INSTANTIATE_TEST_SUITE_P(Jobs, WholeReport, ::testing::ValuesIn(jobCases()),
                         [](const ::testing::TestParamInfo<JobCase> &info) {
                           std::string name = info.param.folder.filename().string();
                           for (char &ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch)))
                               ch = '_';
                           return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(WholeReport);

} // namespace
} // namespace orvalen
