#include "base/error.hpp"
#include "driver/banner.hpp"
#include "driver/program_start.hpp"
#include "driver/run.hpp"
#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>
#include <sstream>

namespace orvalen {
namespace {

using test::TempDir;

TEST(FileNaming, CommandLineWordsGiveInputAndReportNames) {
  struct Case {
    std::vector<std::string> args;
    const char *input;
    const char *report;
  };
  const Case cases[] = {
      {{"orvalen"}, ".inp", ".out"},
      {{"orvalen", "job"}, "job.inp", "job.out"},
      {{"orvalen", "job.inp"}, "job.inp", "job.out"},
      {{"orvalen", "job.dat"}, "job.inp", "job.out"},
      {{"orvalen", "job", "res"}, "job.inp", "res.out"},
      {{"orvalen", "job", "res.txt"}, "job.inp", "res.out"},
      {{"orvalen", "run.old.inp"}, "run.inp", "run.out"},
      // Only the last component of a path is cut at its first dot.
      {{"orvalen", "..\\job"}, "..\\job.inp", "..\\job.out"},
      {{"orvalen", "../jobs/h2"}, "../jobs/h2.inp", "../jobs/h2.out"},
      {{"orvalen", "../job"}, "../job.inp", "../job.out"},
      {{"orvalen", "runs/v1.2/job"}, "runs/v1.2/job.inp", "runs/v1.2/job.out"},
      {{"orvalen", "runs.v2/job.old.inp"}, "runs.v2/job.inp", "runs.v2/job.out"},
      {{"orvalen", "runs.v2/job", "out.d/res.txt"}, "runs.v2/job.inp", "out.d/res.out"},
      {{"orvalen", "job", "res", "extra", "more"}, "job.inp", "res.out"},
      {{"orvalen", "dir/job"}, "dir/job.inp", "dir/job.out"},
  };
  for (const auto &c : cases) {
    const FileNames names = fileNames(c.args);
    EXPECT_EQ(names.input, c.input) << c.args.size();
    EXPECT_EQ(names.report, c.report) << c.args.size();
  }
}

TEST(FileNaming, ExtensionReplacesFromFirstDotAndNeverCuts) {
  EXPECT_EQ(fileExtension("job.txt", ".inp"), "job.inp");
  EXPECT_EQ(fileExtension("job", ".out"), "job.out");
  EXPECT_EQ(fileExtension("", ".inp"), ".inp");
  EXPECT_EQ(fileExtension(std::string(251, 'b'), ".inp"), std::string(251, 'b') + ".inp");
  // Cut to 255, the name would lose its extension and become another file's.
  for (const std::size_t length : {252u, 253u, 300u})
    EXPECT_THROW(fileExtension(std::string(length, 'a'), ".inp"), Error) << length;
  EXPECT_THROW(fileNames({"orvalen", "job", std::string(253, 'r')}), Error);
}

const char *const BANNER_347 =
    "             *******************************************************\n"
    "             *                   Orvalen v.0.1                     *\n"
    "             *               (build number   347)                  *\n"
    "             *                                                     *\n"
    "             *        Transition State Theory calculations         *\n"
    "             *                                                     *\n"
    "             * RRHO thermochemistry of reactants, products and TS  *\n"
    "             *    Reaction and activation energies, enthalpies,    *\n"
    "             *            entropies and Gibbs energies             *\n"
    "             *  Rate constants kQ and kG, effective rate constant  *\n"
    "             *   Wigner, parabolic and Skodje-Truhlar tunnelling   *\n"
    "             *                     C++ edition                     *\n"
    "             *******************************************************\n"
    "\n"
    "\n";

TEST(Banner, FifteenLinesWithTheBuildNumber) {
  std::ostringstream s;
  fixedio::Writer out(s);
  printTitle(out, 347);
  EXPECT_EQ(s.str(), BANNER_347);
  std::istringstream lines(s.str());
  int n = 0;
  for (std::string line; std::getline(lines, line); ++n)
    if (n < 13) {
      EXPECT_EQ(line.size(), 13u + 55u) << "line " << n + 1;
    }
  EXPECT_EQ(n, 15);
}

TEST(BuildNumber, DevelopmentStampRaisesTheNumberOnceAfterABuild) {
  TempDir dir;
  const BuildStamp stamp{dir / "buildnumber.inc", dir / "buildnumber.o"};
  EXPECT_EQ(buildNumber(BuildStamp{}), 347); // a normal build has no stamp files
  EXPECT_EQ(buildNumber(stamp), 347);        // neither file exists

  dir.write("buildnumber.inc", "nBuild   =   347\n");
  EXPECT_EQ(buildNumber(stamp), 347); // no object file: nothing changes
  EXPECT_EQ(dir.read("buildnumber.inc"), "nBuild   =   347\n");

  dir.write("buildnumber.o", "object");
  EXPECT_EQ(buildNumber(stamp), 348);
  EXPECT_EQ(dir.read("buildnumber.inc"), "nBuild   =   348\n");
  EXPECT_FALSE(std::filesystem::exists(stamp.object));
  EXPECT_EQ(buildNumber(stamp), 347); // until the next build recreates the object

  dir.write("buildnumber.o", "object");
  dir.write("buildnumber.inc", "nBuild   =   350\n"); // a different number: left alone
  EXPECT_EQ(buildNumber(stamp), 347);
  EXPECT_EQ(dir.read("buildnumber.inc"), "nBuild   =   350\n");
  EXPECT_TRUE(std::filesystem::exists(stamp.object));
}

TEST(BuildNumber, UnreadableIncludeFileStopsTheRun) {
  TempDir dir;
  const BuildStamp stamp{dir / "b.inc", dir / "b.o"};
  dir.write("b.o", "");
  dir.write("b.inc", "");
  EXPECT_THROW(buildNumber(stamp), Error); // empty: end of file
  dir.write("b.inc", "nBuild   =   3x7\n");
  EXPECT_THROW(buildNumber(stamp), Error);
}

TEST(Program, HelpAndVersion) {
  std::ostringstream console;
  EXPECT_EQ(runProgram({"orvalen", "--version"}, console, BuildStamp{}), 0);
  EXPECT_EQ(console.str(), "Orvalen 0.1 (build 347)\n");
  for (const char *opt : {"-h", "--help"}) {
    std::ostringstream help;
    EXPECT_EQ(runProgram({"orvalen", opt}, help, BuildStamp{}), 0);
    EXPECT_NE(help.str().find("Usage: orvalen"), std::string::npos);
  }
}

TEST(Program, EmptyFolderRunCreatesInputAndReport) {
  TempDir dir;
  const auto r = test::runOrvalen(dir.path(), "job");
  EXPECT_EQ(r.status, 0) << r.stderrText;
  EXPECT_EQ(r.stderrText, "");
  EXPECT_EQ(r.stdoutText, ""); // a normal run writes nothing to the console
  ASSERT_TRUE(std::filesystem::exists(dir / "job.inp"));
  EXPECT_EQ(std::filesystem::file_size(dir / "job.inp"), 0u);
  EXPECT_EQ(dir.read("job.out").substr(0, std::string(BANNER_347).size()), BANNER_347);

  const auto second = test::runOrvalen(dir.path(), "job res.txt");
  EXPECT_EQ(second.status, 0);
  EXPECT_TRUE(std::filesystem::exists(dir / "res.out"));
  EXPECT_FALSE(std::filesystem::exists(dir / "res.txt"));
}

TEST(Program, UnopenableFilesStopWithOneLineAndStatusOne) {
  TempDir dir;
  std::filesystem::create_directory(dir / "job.inp");
  auto r = test::runOrvalen(dir.path(), "job");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.stderrText, "orvalen: job.inp: cannot open file: it is a directory\n");

  std::filesystem::create_directory(dir / "rep.out");
  dir.write("ok.inp", "");
  r = test::runOrvalen(dir.path(), "ok rep");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.stderrText, "orvalen: rep.out: cannot open file: it is a directory\n");

  r = test::runOrvalen(dir.path(), "no/such/folder/job");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.stderrText, "orvalen: no/such/folder/job.inp: the job input is missing: its folder "
                          "no/such/folder does not exist\n");
}

TEST(Program, UnknownOptionsStopBeforeAnyFileIsTouched) {
  struct Case {
    std::vector<std::string> args;
    std::string unknown; // empty: none
  };
  const Case cases[] = {
      {{"orvalen"}, ""},
      {{"orvalen", "job"}, ""},
      {{"orvalen", "-h"}, ""},
      {{"orvalen", "--help"}, ""},
      {{"orvalen", "--version"}, ""},
      {{"orvalen", "job", "res"}, ""},
      {{"orvalen", "-x"}, "-x"},
      {{"orvalen", "-"}, "-"},
      {{"orvalen", "--verbose", "job"}, "--verbose"},
      {{"orvalen", "job", "-o"}, "-o"},
      {{"orvalen", "job", "--help"}, "--help"}, // options only as the first word
      {{"orvalen", "job", "res", "-x"}, ""},    // a third word is ignored
  };
  for (const auto &c : cases)
    EXPECT_EQ(unknownOption(c.args), c.unknown) << c.args.size() << " " << c.args.back();

  TempDir dir;
  for (const char *args : {"-x", "job -o", "--verbose job"}) {
    const auto r = test::runOrvalen(dir.path(), args);
    EXPECT_EQ(r.status, 1) << args;
    EXPECT_TRUE(r.stderrText.starts_with("orvalen: unknown option -")) << r.stderrText;
    EXPECT_EQ(test::linesOf(r.stderrText).size(), 1u) << r.stderrText;
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path())); // nothing created or opened
}

} // namespace
} // namespace orvalen
