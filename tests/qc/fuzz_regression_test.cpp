// The inputs kept for the fuzz target of orvalen-import go through its body
// again in the normal build: the seeds (real outputs cut down to what the
// readers look for) and anything the fuzzer found, kept in
// tests/fuzz/regressions/qc_output/. None may crash or end in anything but
// orvalen::Error, and the seeds take every reader through the import to a data
// file that reads back: the fuzzer starts from inputs that reach all of it.

#include "fuzz/fuzz_qc.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace orvalen {
namespace {

namespace fs = std::filesystem;

TEST(QcFuzzRegression, ReplaysSeedsAndKeptInputs) {
  const fs::path fuzzDir = fs::path(ORVALEN_SOURCE_DIR) / "tests" / "fuzz";
  fuzz::ScratchDir dir("qc-replay");
  int replayed = 0;
  std::set<std::string> written;
  for (const char *folder : {"seeds/qc_output", "regressions/qc_output"}) {
    if (!fs::is_directory(fuzzDir / folder))
      continue;
    for (const auto &entry : fs::directory_iterator(fuzzDir / folder)) {
      const std::string bytes = test::readFile(entry.path());
      SCOPED_TRACE(entry.path().string());
      try {
        const auto programs = fuzz::qcOutput(
            {reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()}, dir);
        written.insert(programs.begin(), programs.end());
      } catch (const std::exception &e) {
        ADD_FAILURE() << e.what();
      }
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 0);
  for (const qc::Reader &r : qc::readers())
    EXPECT_EQ(written.count(std::string(r.program)), 1u)
        << "no seed takes " << r.program << " to a data file";
}

} // namespace
} // namespace orvalen
