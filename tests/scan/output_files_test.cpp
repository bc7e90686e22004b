// The files orvalen-scan writes (-o, --plot): never a file the job reads,
// never one output over the other, and never half-written: a full disk or a
// plot that cannot be drawn leaves every output as it was, and no temporary
// file behind.

#include "scan_support.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include <sys/stat.h>

namespace orvalen::test {
namespace {

namespace fs = std::filesystem;

// Every entry of a folder and what it holds (a link: where it points).
std::map<std::string, std::string> snapshot(const TempDir &dir) {
  std::map<std::string, std::string> files;
  for (const auto &e : fs::recursive_directory_iterator(dir.path())) {
    const std::string name = fs::relative(e.path(), dir.path()).string();
    if (fs::is_symlink(e.symlink_status()))
      files[name] = "-> " + fs::read_symlink(e.path()).string();
    else if (e.is_regular_file())
      files[name] = readFile(e.path());
    else
      files[name] = "(folder)";
  }
  return files;
}

TEST(ScanOutputFiles, AnOutputThatIsAnInputOrTheOtherOutputStopsTheRunFirst) {
  struct Case {
    const char *what;
    const char *args; // after "oh_ch4 -T 300,400"
    const char *link; // "s:from=to" a symbolic link, "h:from=to" a hard link made first
    const char *message;
  };
  const Case cases[] = {
      {"-o the job input", "-o oh_ch4.inp", "",
       "oh_ch4.inp: -o \"oh_ch4.inp\" would replace the job input oh_ch4.inp, so nothing was "
       "written; name another file"},
      {"-o the job input by another path", "--format csv -o sub/../oh_ch4.inp", "",
       "sub/../oh_ch4.inp: -o \"sub/../oh_ch4.inp\" would replace the job input oh_ch4.inp, so "
       "nothing was written; name another file"},
      {"--plot a data file", "--plot ts1.dat", "",
       "ts1.dat: --plot \"ts1.dat\" would replace the data file ts1.dat, so nothing was written; "
       "name another file"},
      {"-o a symbolic link to a data file", "-o k.csv", "s:k.csv=ch4.dat",
       "k.csv: -o \"k.csv\" would replace the data file ch4.dat, so nothing was written; name "
       "another file"},
      {"--plot a hard link to the job input", "--plot k.svg", "h:k.svg=oh_ch4.inp",
       "k.svg: --plot \"k.svg\" would replace the job input oh_ch4.inp, so nothing was written; "
       "name another file"},
      {"-o and --plot one name", "-o k.out --plot k.out", "",
       "k.out: -o \"k.out\" and --plot \"k.out\" name the same file, so nothing was written; give "
       "each output a file of its own"},
      {"-o and --plot one new file by two paths", "-o k.out --plot sub/../k.out", "",
       "sub/../k.out: -o \"k.out\" and --plot \"sub/../k.out\" name the same file, so nothing was "
       "written; give each output a file of its own"},
      {"-o and --plot one file through a link", "-o k.out --plot l.svg", "s:l.svg=k.out",
       "l.svg: -o \"k.out\" and --plot \"l.svg\" name the same file, so nothing was written; give "
       "each output a file of its own"},
      {"-o the measured rate constants", "--measured m.txt -o m.txt", "",
       "m.txt: -o \"m.txt\" would replace the measured rate constants m.txt, so nothing was "
       "written; name another file"},
      {"--plot the measured rate constants through a link", "--measured m.txt --plot m.svg",
       "s:m.svg=m.txt",
       "m.svg: --plot \"m.svg\" would replace the measured rate constants m.txt, so nothing was "
       "written; name another file"},
      {"--plot a name that is not SVG", "-o k.csv --plot k.png", "",
       "--plot \"k.png\": the plot is written as SVG; give a name ending in .svg"},
      {"--plot an SVG name with another ending", "--plot k.svg.png", "",
       "--plot \"k.svg.png\": the plot is written as SVG; give a name ending in .svg"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    copyJobFolder("examples/oh_ch4", dir.path());
    dir.write("m.txt", "300 6.4e-15\n");
    fs::create_directory(dir / "sub");
    const std::string link = c.link;
    if (!link.empty()) {
      const auto eq = link.find('=');
      const fs::path from = dir / link.substr(2, eq - 2), to = dir / link.substr(eq + 1);
      if (link[0] == 's')
        fs::create_symlink(to.filename(), from);
      else
        fs::create_hard_link(to, from);
    }
    const auto before = snapshot(dir);
    const RunResult r = runScanBinary(dir.path(), std::string("oh_ch4 -T 300,400 ") + c.args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.stderrText, "orvalen-scan: " + std::string(c.message) + "\n");
    EXPECT_EQ(r.stdoutText, "");
    EXPECT_EQ(snapshot(dir), before); // every file as it was, and none added
  }
}

TEST(ScanOutputFiles, AFailedOutputLeavesBothOutputsAsTheyWere) {
  struct Case {
    const char *what;
    const char *folder, *args;
    int blocks; // ulimit -f: blocks of 512 bytes a file may have; 0: no limit
    const char *message;
  };
  const Case cases[] = {
      // 181 rows of 67 columns, some 190 KB.
      {"-o beyond the file-size limit", "examples/oh_ch4",
       "oh_ch4 -T 200:2000:10 --format csv -o k.out --plot k.svg", 8, "k.out: write error"},
      // A table of three rows fits in 2 KB; the plot's axes and legend alone do not.
      {"--plot beyond the file-size limit", "examples/oh_ch4",
       "oh_ch4 -T 300,400,500 -o k.out --plot k.svg", 4, "k.svg: write error"},
      // HCN -> HNC at 20 and 30 K: exp(-dH0/RT) with dH0 = 187.3 kJ/mol is below
      // e^-744, the smallest double, so every k is 0 and there is nothing to plot.
      {"a plot that cannot be drawn", "examples/hcn_hnc", "hcn_hnc -T 20,30 -o k.out --plot k.svg",
       0, "orvalen-scan: --plot: no rate constant is a positive finite number"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    copyJobFolder(c.folder, dir.path());
    dir.write("k.out", "old result\n");
    dir.write("k.svg", "old plot\n");
    const auto before = snapshot(dir);
    const std::string run = shellQuote(ORVALEN_SCAN_BINARY) + " " + c.args;
    const RunResult r =
        runProgram("sh", dir.path(),
                   "-c " + shellQuote(c.blocks > 0 ? "ulimit -f " + std::to_string(c.blocks) +
                                                         " && exec " + run
                                                   : "exec " + run));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.stderrText.find(c.message), std::string::npos) << r.stderrText;
    EXPECT_EQ(snapshot(dir), before); // both old files kept, no temporary file left
  }

  // Without the limit the same run replaces both.
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  dir.write("k.out", "old result\n");
  dir.write("k.svg", "old plot\n");
  const RunResult r = runScanBinary(dir.path(), "oh_ch4 -T 300,400,500 -o k.out --plot k.svg");
  EXPECT_EQ(r.status, 0) << r.stderrText;
  EXPECT_EQ(
      dir.read("k.out").rfind("OH + CH4 -> H2O + CH3 via TS1   (oh_ch4.inp, P = 101325 Pa)\n", 0),
      0u);
  EXPECT_EQ(dir.read("k.svg").rfind("<?xml", 0), 0u);
}

// Two runs writing the same -o and --plot at once leave the CSV and the plot
// of one of them, never one of each: the renames of a run are made under a
// lock of their folder. Forty pairs of a small job, one temperature each.
TEST(ScanOutputFiles, TwoRunsAtOnceLeaveBothOutputsOfOneOfThem) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  const std::string bin = shellQuote(ORVALEN_SCAN_BINARY);
  const auto run = [&](const char *T, const std::string &out) {
    return bin + " oh_ch4 -T " + T + " --format csv -o " + out + ".csv --plot " + out + ".svg";
  };
  ASSERT_EQ(runProgram("sh", dir.path(), "-c " + shellQuote(run("400", "a"))).status, 0);
  ASSERT_EQ(runProgram("sh", dir.path(), "-c " + shellQuote(run("500", "b"))).status, 0);
  const std::string csvA = dir.read("a.csv"), svgA = dir.read("a.svg");
  const std::string csvB = dir.read("b.csv"), svgB = dir.read("b.svg");
  ASSERT_NE(csvA, csvB);
  ASSERT_NE(svgA, svgB);
  constexpr int PAIRS = 40;
  const std::string script = "for i in $(seq " + std::to_string(PAIRS) + "); do (" +
                             run("400", "k") + " || echo $i >> failed) & (" + run("500", "k") +
                             " || echo $i >> failed) & wait; cp k.csv c$i; cp k.svg s$i; done";
  ASSERT_EQ(runProgram("sh", dir.path(), "-c " + shellQuote(script)).status, 0);
  EXPECT_FALSE(fs::exists(dir / "failed")) << dir.read("failed");
  int mixed = 0;
  for (int i = 1; i <= PAIRS; ++i) {
    const std::string csv = dir.read("c" + std::to_string(i));
    const std::string svg = dir.read("s" + std::to_string(i));
    EXPECT_TRUE(csv == csvA || csv == csvB) << "pair " << i << ": a CSV of neither run";
    if (!((csv == csvA && svg == svgA) || (csv == csvB && svg == svgB)))
      ++mixed;
  }
  EXPECT_EQ(mixed, 0) << "pairs that left the CSV of one run and the plot of the other";
  for (const auto &e : fs::directory_iterator(dir.path()))
    EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos)
        << e.path() << " left behind";
}

// A device or a pipe cannot be replaced: it is written directly, whatever it
// is (/dev/null takes both outputs), and its name needs no .svg.
TEST(ScanOutputFiles, ADeviceOrAPipeIsWrittenDirectly) {
  TempDir dir;
  copyJobFolder("examples/oh_ch4", dir.path());
  const RunResult file = runScanBinary(dir.path(), "oh_ch4 -T 400,500 --format csv -o k.csv");
  ASSERT_EQ(file.status, 0) << file.stderrText;
  const std::string csv = dir.read("k.csv");

  RunResult r = runScanBinary(dir.path(), "oh_ch4 -T 400,500 -o /dev/null --plot /dev/null");
  EXPECT_EQ(r.status, 0) << r.stderrText;
  EXPECT_EQ(r.stderrText, "");
  EXPECT_EQ(r.stdoutText, "");

  // Standard output named as a file: the same CSV there.
  r = runScanBinary(dir.path(), "oh_ch4 -T 400,500 --format csv -o /dev/stdout");
  EXPECT_EQ(r.status, 0) << r.stderrText;
  EXPECT_EQ(r.stdoutText, csv);

  // A named pipe, read by cat as the scan writes it.
  ASSERT_EQ(::mkfifo((dir / "pipe.csv").c_str(), 0600), 0);
  const std::string script = "cat pipe.csv > got.csv & " + shellQuote(ORVALEN_SCAN_BINARY) +
                             " oh_ch4 -T 400,500 --format csv -o pipe.csv; s=$?; wait; exit $s";
  r = runProgram("sh", dir.path(), "-c " + shellQuote(script));
  EXPECT_EQ(r.status, 0) << r.stderrText;
  EXPECT_EQ(dir.read("got.csv"), csv);
  EXPECT_TRUE(fs::is_fifo(dir / "pipe.csv"));
}

} // namespace
} // namespace orvalen::test
