// orvalen-import from the file on disk to the text of the data file: a
// 25,000-line Gaussian log (a saddle-point search and its frequencies, ten
// times over, as a Link1 chain of jobs holds several) and a 26,000-line ORCA
// output (an OptTS + Freq run twice over), each read, checked, given its
// principal axes and point group and written. The target is under 20 ms for
// 25,000 lines. Also the point group of a 100-atom molecule alone.

#include "bench_files.hpp"
#include "molecule/mol_file_writer.hpp"
#include "qc/import.hpp"
#include "qc/symmetry.hpp"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

void BM_ImportLongOutput(benchmark::State &state, const char *relative, int copies) {
  const std::string one =
      orvalen::bench::slurp(fs::path(ORVALEN_SOURCE_DIR) / "tests" / "fixtures" / "qc" / relative);
  std::string text;
  for (int k = 0; k < copies; ++k)
    text += one;
  const orvalen::bench::TempFile file(text, fs::path(relative).extension().string());
  for (auto _ : state) {
    const auto imported = orvalen::qc::importOutput(file.path(), {});
    std::ostringstream written;
    orvalen::writeMolFile(written, imported.data);
    benchmark::DoNotOptimize(written);
  }
  state.counters["lines"] = static_cast<double>(orvalen::bench::lineCount(text));
}
BENCHMARK_CAPTURE(BM_ImportLongOutput, gaussian16_claisen_ts_x10,
                  "gaussian/gaussian16_claisen_ts.log", 10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ImportLongOutput, orca5_claisen_ts_x2, "orca/orca5_claisen_ts.out", 2)
    ->Unit(benchmark::kMillisecond);

// A 5 x 5 x 4 block of 100 carbon atoms 1.5 A apart: D4h, 8 rotations.
void BM_PointGroupOf100Atoms(benchmark::State &state) {
  std::vector<int> z;
  std::vector<orvalen::qc::Vec3> r;
  for (int x = 0; x < 5; ++x)
    for (int y = 0; y < 5; ++y)
      for (int w = 0; w < 4; ++w) {
        z.push_back(6);
        r.push_back({1.5 * x, 1.5 * y, 1.5 * w});
      }
  for (auto _ : state) {
    const auto s = orvalen::qc::findSymmetry(z, r);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_PointGroupOf100Atoms)->Unit(benchmark::kMillisecond);

} // namespace
