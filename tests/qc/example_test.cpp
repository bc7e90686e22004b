// The H + H2 example made from NWChem calculations (examples/h_h2_nwchem): its
// import script, run with the real orvalen-import on a copy of the folder,
// writes the committed data files again byte for byte, without a warning, and
// the real orvalen makes the committed report of them.

#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace orvalen {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::runProgram;
using test::TempDir;

TEST(NwchemExample, ImportScriptAndReportAreReproduced) {
  const fs::path example = fs::path(ORVALEN_SOURCE_DIR) / "examples" / "h_h2_nwchem";
  TempDir dir;
  fs::create_directories(dir / "calculations");
  for (const auto &f : fs::directory_iterator(example / "calculations"))
    fs::copy_file(f.path(), dir / "calculations" / f.path().filename().string());
  for (const char *name : {"import.sh", "h_h2_nwchem.inp"})
    fs::copy_file(example / name, dir / name);

  const auto imp =
      runProgram("env", dir.path(),
                 "ORVALEN_IMPORT=" + test::shellQuote(ORVALEN_IMPORT_BINARY) + " sh import.sh");
  ASSERT_EQ(imp.status, 0) << imp.stderrText;
  EXPECT_EQ(imp.stderrText, "");
  for (const char *dat : {"h.dat", "h2.dat", "h3.dat"})
    EXPECT_EQ(dir.read(dat), readFile(example / dat)) << dat;

  const auto run = runProgram(ORVALEN_BINARY, dir.path(), "h_h2_nwchem");
  EXPECT_EQ(run.status, 0) << run.stderrText;
  EXPECT_EQ(run.stderrText, "");
  EXPECT_EQ(dir.read("h_h2_nwchem.out"), readFile(example / "h_h2_nwchem.expected"));
}

} // namespace
} // namespace orvalen
