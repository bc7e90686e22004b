// The inputs kept for the fuzz target of the quantum-chemistry readers go
// through its body again in the normal build: the seeds (real outputs cut down
// to what the readers look for) and anything the fuzzer found, kept in
// tests/fuzz/regressions/qc_output/. None may crash or end in anything but
// orvalen::Error.

#include "fuzz/fuzz_qc.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

namespace orvalen {
namespace {

namespace fs = std::filesystem;

TEST(QcFuzzRegression, ReplaysSeedsAndKeptInputs) {
  const fs::path fuzzDir = fs::path(ORVALEN_SOURCE_DIR) / "tests" / "fuzz";
  fuzz::ScratchDir dir("qc-replay");
  int replayed = 0;
  for (const char *folder : {"seeds/qc_output", "regressions/qc_output"}) {
    if (!fs::is_directory(fuzzDir / folder))
      continue;
    for (const auto &entry : fs::directory_iterator(fuzzDir / folder)) {
      const std::string bytes = test::readFile(entry.path());
      SCOPED_TRACE(entry.path().string());
      try {
        fuzz::qcOutput({reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()}, dir);
      } catch (const std::exception &e) {
        ADD_FAILURE() << e.what();
      }
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 0);
}

} // namespace
} // namespace orvalen
