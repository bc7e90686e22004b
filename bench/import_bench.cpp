// orvalen-import from the file on disk to the text of the data file: a
// 25,000-line Gaussian log (a saddle-point search and its frequencies, ten
// times over, as a Link1 chain of jobs holds several) and a 26,000-line ORCA
// output (an OptTS + Freq run twice over), each read, checked, given its
// principal axes and point group and written. The target is under 20 ms for
// 25,000 lines. Also the point group of a 100-atom molecule alone, exact and
// shaken; the target is under 5 ms.

#include "bench_files.hpp"
#include "molecule/mol_file_writer.hpp"
#include "qc/geometry_names.hpp"
#include "qc/import.hpp"

#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <random>
#include <sstream>
#include <string>
#include <vector>

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

// 100 atoms as an optimiser leaves them, each moved by up to `shake` A in a
// random direction (seeded): the block above (D4h within the tolerance at
// 0.01 A, C1 with D4h near at 0.05 A), and the largest group 100 atoms make,
// a planar ring of 50 CH units (r(CC) 1.40, r(CH) 1.08 A): D50h, 200 operations.
std::vector<orvalen::qc::Vec3> shaken(std::vector<orvalen::qc::Vec3> r, double shake) {
  std::mt19937 gen(2024);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (auto &p : r) {
    orvalen::qc::Vec3 d;
    do
      d = {u(gen), u(gen), u(gen)};
    while (d[0] * d[0] + d[1] * d[1] + d[2] * d[2] > 1.0);
    for (int k = 0; k < 3; ++k)
      p[k] += shake * d[k];
  }
  return r;
}

void BM_PointGroupOf100AtomsShaken(benchmark::State &state, bool ring, double shake) {
  std::vector<int> z;
  std::vector<orvalen::qc::Vec3> r;
  if (ring) {
    const double pi = std::numbers::pi, radius = 1.40 / (2.0 * std::sin(pi / 50.0));
    for (int k = 0; k < 50; ++k) {
      const double a = 2.0 * pi * k / 50.0;
      z.insert(z.end(), {6, 1});
      r.push_back({radius * std::cos(a), radius * std::sin(a), 0.0});
      r.push_back({(radius + 1.08) * std::cos(a), (radius + 1.08) * std::sin(a), 0.0});
    }
  } else {
    for (int x = 0; x < 5; ++x)
      for (int y = 0; y < 5; ++y)
        for (int w = 0; w < 4; ++w) {
          z.push_back(6);
          r.push_back({1.5 * x, 1.5 * y, 1.5 * w});
        }
  }
  r = shaken(r, shake);
  for (auto _ : state) {
    const auto s = orvalen::qc::findSymmetry(z, r);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK_CAPTURE(BM_PointGroupOf100AtomsShaken, block_by_0_01, false, 0.01)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PointGroupOf100AtomsShaken, block_by_0_05, false, 0.05)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PointGroupOf100AtomsShaken, ring_D50h, true, 0.0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PointGroupOf100AtomsShaken, ring_by_0_015, true, 0.015)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PointGroupOf100AtomsShaken, ring_by_0_12, true, 0.12)
    ->Unit(benchmark::kMillisecond);

} // namespace
