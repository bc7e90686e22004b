// The examples made from NWChem calculations (examples/h_h2_nwchem,
// examples/h_ch4_nwchem, examples/h_c2h6_nwchem with its xtb torsion scans,
// examples/h_hcooh_nwchem with its molecules' conformers from two outputs each):
// each import script, run with the real orvalen-import on a copy of its
// folder, writes the committed data files again byte for byte, without a
// warning, and the real orvalen makes the committed report of them (with the
// committed warnings, where the example keeps a .stderr).

#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace orvalen {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::runProgram;
using test::TempDir;

struct ExampleCase {
  const char *folder;             // under examples/; the job has the folder's name
  std::vector<const char *> dats; // the data files import.sh writes
};

const ExampleCase EXAMPLES[] = {
    {"h_h2_nwchem", {"h.dat", "h2.dat", "h3.dat"}},
    {"h_ch4_nwchem", {"h.dat", "ch4.dat", "h2.dat", "ch3.dat", "ts.dat"}},
    {"h_c2h6_nwchem", {"h.dat", "c2h6.dat", "h2.dat", "c2h5.dat", "ts.dat"}},
    {"h_hcooh_nwchem", {"h.dat", "hcooh.dat", "h2.dat", "cooh.dat", "ts.dat"}},
};

class NwchemExample : public ::testing::TestWithParam<ExampleCase> {};

TEST_P(NwchemExample, ImportScriptAndReportAreReproduced) {
  const ExampleCase &c = GetParam();
  const std::string job = c.folder;
  const fs::path example = fs::path(ORVALEN_SOURCE_DIR) / "examples" / job;
  TempDir dir;
  fs::copy(example / "calculations", dir / "calculations", fs::copy_options::recursive);
  for (const std::string &name : {std::string("import.sh"), job + ".inp"})
    fs::copy_file(example / name, dir / name);

  const auto imp =
      runProgram("env", dir.path(),
                 "ORVALEN_IMPORT=" + test::shellQuote(ORVALEN_IMPORT_BINARY) + " sh import.sh");
  ASSERT_EQ(imp.status, 0) << imp.stderrText;
  EXPECT_EQ(imp.stderrText, "");
  for (const char *dat : c.dats)
    EXPECT_EQ(dir.read(dat), readFile(example / dat)) << dat;

  const auto run = runProgram(ORVALEN_BINARY, dir.path(), job);
  EXPECT_EQ(run.status, 0) << run.stderrText;
  const fs::path warnings = example / (job + ".stderr");
  EXPECT_EQ(run.stderrText, fs::exists(warnings) ? readFile(warnings) : "");
  EXPECT_EQ(dir.read(job + ".out"), readFile(example / (job + ".expected")));
}

INSTANTIATE_TEST_SUITE_P(Examples, NwchemExample, ::testing::ValuesIn(EXAMPLES),
                         [](const ::testing::TestParamInfo<ExampleCase> &info) {
                           return std::string(info.param.folder);
                         });

} // namespace
} // namespace orvalen
