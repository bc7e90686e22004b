// A run never destroys a file it reads, never leaves a half-written report and
// never reads another run's report back: the report is written beside its
// target under a hidden name and renamed into place when complete.

#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

namespace orvalen {
namespace {

namespace fs = std::filesystem;
using test::runOrvalen;
using test::shellQuote;
using test::TempDir;

const fs::path EXAMPLE = fs::path(ORVALEN_SOURCE_DIR) / "examples" / "oh_ch4";

// The example reaction's data files and a job input naming them, the
// transition state's data file under the name given.
void writeJob(const TempDir &dir, const std::string &job, const std::string &tsFile,
              const std::string &cond = "COND TEMP=298.15") {
  for (const char *f : {"oh.dat", "ch4.dat", "h2o.dat", "ch3.dat"})
    if (!fs::exists(dir / f))
      fs::copy_file(EXAMPLE / f, dir / f);
  if (!fs::exists(dir / tsFile))
    fs::copy_file(EXAMPLE / "ts1.dat", dir / tsFile);
  dir.write(job + ".inp", cond + "\nREACT OH oh.dat\nREACT CH4 ch4.dat ROTNUM=12\nTS TS1 " +
                              tsFile + " MULT=2\nPROD H2O h2o.dat\nPROD CH3 ch3.dat MULT=2\n");
}

// Files a run left under a temporary name.
int leftovers(const TempDir &dir) {
  int n = 0;
  for (const auto &e : fs::directory_iterator(dir.path()))
    n += e.path().filename().string().find(".tmp-") != std::string::npos;
  return n;
}

TEST(SafeFiles, AReportThatIsAnInputStopsTheRunBeforeAnyFileIsTouched) {
  struct Case {
    const char *what;
    const char *args;
    const char *link; // "report=target": a symbolic (s:) or hard (h:) link made first
    const char *says;
  };
  const Case cases[] = {
      {"report named like the TS data file", "job ts1", "", "replace the data file ts1.out"},
      {"report a symbolic link to a data file", "job r", "s:r.out=ts1.out", "the data file"},
      {"report a hard link to the job input", "job r", "h:r.out=job.inp", "the job input job.inp"},
  };
  for (const Case &c : cases) {
    TempDir dir;
    writeJob(dir, "job", "ts1.out");
    const std::string link = c.link;
    if (!link.empty()) {
      const auto eq = link.find('=');
      const fs::path from = dir / link.substr(2, eq - 2), to = dir / link.substr(eq + 1);
      if (link[0] == 's')
        fs::create_symlink(to.filename(), from);
      else
        fs::create_hard_link(to, from);
    }
    const std::string tsBefore = dir.read("ts1.out"), jobBefore = dir.read("job.inp");
    const auto r = runOrvalen(dir.path(), c.args);
    EXPECT_EQ(r.status, 1) << c.what;
    EXPECT_NE(r.stderrText.find(c.says), std::string::npos) << c.what << ": " << r.stderrText;
    EXPECT_EQ(dir.read("ts1.out"), tsBefore) << c.what;
    EXPECT_EQ(dir.read("job.inp"), jobBefore) << c.what;
    EXPECT_EQ(leftovers(dir), 0) << c.what;
  }
}

// A 255-character job name once lost its extension to the cut: job input and
// report became one extension-less file, which was read and then overwritten.
TEST(SafeFiles, ANameTooLongForItsFieldIsAnErrorNotCut) {
  TempDir dir;
  const std::string name(255, 'j');
  dir.write(name, "a user's file\n");
  const auto r = runOrvalen(dir.path(), name);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.stderrText.find("259 characters long with its extension; at most 255"),
            std::string::npos)
      << r.stderrText;
  EXPECT_EQ(dir.read(name), "a user's file\n");
  int files = 0;
  for ([[maybe_unused]] const auto &e : fs::directory_iterator(dir.path()))
    ++files;
  EXPECT_EQ(files, 1); // nothing created

  // A name that fits with its extension is used as it is.
  const std::string fits(251, 'k');
  EXPECT_EQ(runOrvalen(dir.path(), fits).status, 0);
  EXPECT_TRUE(fs::exists(dir / (fits + ".inp")));
  EXPECT_TRUE(fs::exists(dir / (fits + ".out")));
}

TEST(SafeFiles, AFullDiskLeavesTheOldReportAsItWas) {
  TempDir dir;
  writeJob(dir, "job", "ts1.dat");
  const std::string old(100, 'x');
  dir.write("job.out", old);
  fs::permissions(dir / "job.out",
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  // The report is 19 KB: a limit of 8 blocks of 512 bytes stops it half-way.
  const auto full = test::runProgram(
      "sh", dir.path(),
      "-c " + shellQuote("ulimit -f 8 && exec " + shellQuote(ORVALEN_BINARY) + " job"));
  EXPECT_EQ(full.status, 1);
  EXPECT_NE(full.stderrText.find("job.out: write error"), std::string::npos) << full.stderrText;
  EXPECT_EQ(dir.read("job.out"), old);
  EXPECT_EQ(leftovers(dir), 0);

  // Replaced, the report keeps the replaced file's permission bits.
  EXPECT_EQ(runOrvalen(dir.path(), "job").status, 0);
  EXPECT_NE(dir.read("job.out"), old);
  EXPECT_EQ(fs::status(dir / "job.out").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(SafeFiles, AReportThatIsASymbolicLinkReplacesItsTargetAndTheLinkStays) {
  TempDir dir;
  writeJob(dir, "job", "ts1.dat");
  fs::create_directories(dir / "reports");
  dir.write("reports/kept.out", "old\n");
  fs::create_symlink("reports/kept.out", dir / "job.out");
  EXPECT_EQ(runOrvalen(dir.path(), "job").status, 0);
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "job.out")));
  EXPECT_NE(dir.read("reports/kept.out").find("TD properties of molecule"), std::string::npos);
}

// Concurrent runs into one report: each round ends with one whole report, and
// a run whose report shows NaN says so whatever the other runs wrote.
TEST(SafeFiles, ConcurrentRunsLeaveOneWholeReportAndTheirOwnExitStatus) {
  TempDir dir;
  writeJob(dir, "warm", "ts1.dat", "COND TEMP=500");
  writeJob(dir, "cold", "ts1.dat", "COND TEMP=0.001"); // exp(-E/RT) underflows: NaN in the report
  ASSERT_EQ(runOrvalen(dir.path(), "warm warm_alone").status, 0);
  ASSERT_EQ(runOrvalen(dir.path(), "cold cold_alone").status, 2);
  const std::string warm = dir.read("warm_alone.out"), cold = dir.read("cold_alone.out");
  ASSERT_NE(warm, cold);
  const std::string bin = shellQuote(ORVALEN_BINARY);
  // Ten of each at once; each writes its exit status to a file of its own.
  std::string script;
  for (int i = 0; i < 10; ++i)
    script += "(" + bin + " warm r 2>/dev/null; echo $? > w" + std::to_string(i) + ") & (" + bin +
              " cold r 2>/dev/null; echo $? > c" + std::to_string(i) + ") & ";
  script += "wait";
  for (int round = 0; round < 15; ++round) {
    test::runProgram("sh", dir.path(), "-c " + shellQuote(script));
    const std::string r = dir.read("r.out");
    EXPECT_TRUE(r == warm || r == cold)
        << "round " << round << ": a mixture of " << r.size() << " bytes";
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(dir.read("w" + std::to_string(i)), "0\n") << "round " << round;
      EXPECT_EQ(dir.read("c" + std::to_string(i)), "2\n") << "round " << round;
    }
    EXPECT_EQ(leftovers(dir), 0);
  }
}

} // namespace
} // namespace orvalen
