// Reading quantum-chemistry outputs with readOutput, from the file on disk to
// the record: a 32,000-line NWChem output (the saddle-point search of the
// H + H2 example, three times over, as a long job log holds several runs; the
// last one is read), and each real output kept as a test fixture. The target
// is under 20 ms for 25,000 lines.

#include "bench_files.hpp"
#include "qc/readers.hpp"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

using orvalen::bench::lineCount;
using orvalen::bench::slurp;

void BM_ReadLongNwchemOutput(benchmark::State &state) {
  const std::string one =
      slurp(fs::path(ORVALEN_SOURCE_DIR) / "examples" / "h_h2_nwchem" / "calculations" / "h3.out");
  std::string text;
  while (lineCount(text) < 25000)
    text += one;
  const orvalen::bench::TempFile file(text, ".out");
  for (auto _ : state) {
    auto rec = orvalen::qc::readOutput(file.path());
    benchmark::DoNotOptimize(rec);
  }
  state.counters["lines"] = static_cast<double>(lineCount(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadLongNwchemOutput)->Unit(benchmark::kMillisecond);

void BM_ReadFixture(benchmark::State &state, const char *relative) {
  const fs::path file = fs::path(ORVALEN_SOURCE_DIR) / "tests" / "fixtures" / "qc" / relative;
  const std::string text = slurp(file);
  for (auto _ : state) {
    auto rec = orvalen::qc::readOutput(file);
    benchmark::DoNotOptimize(rec);
  }
  state.counters["lines"] = static_cast<double>(lineCount(text));
}
BENCHMARK_CAPTURE(BM_ReadFixture, nwchem_water, "nwchem/h2o_scf_freq.out")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadFixture, psi4_water, "psi4/h2o_opt_freq.out")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadFixture, psi4_h3, "psi4/h3_saddle.out")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadFixture, xtb_water, "xtb/h2o/h2o.out")->Unit(benchmark::kMillisecond);

} // namespace
