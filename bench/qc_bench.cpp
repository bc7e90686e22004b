// Reading quantum-chemistry outputs with readOutput, from the file on disk to
// the record: a 32,000-line NWChem output (the saddle-point search of the
// H + H2 example, three times over, as a long job log holds several runs; the
// last one is read), and each real output kept as a test fixture. The target
// is under 20 ms for 25,000 lines.

#include "qc/readers.hpp"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path &p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A file under the temporary folder, removed at the end.
class TempFile {
public:
  explicit TempFile(const std::string &text) {
    std::random_device rd;
    path_ = fs::temp_directory_path() / ("orvalen-bench-" + std::to_string(rd()) + ".out");
    std::ofstream(path_, std::ios::binary) << text;
  }
  ~TempFile() {
    std::error_code ec;
    fs::remove(path_, ec);
  }
  TempFile(const TempFile &) = delete;
  TempFile &operator=(const TempFile &) = delete;
  const fs::path &path() const { return path_; }

private:
  fs::path path_;
};

std::size_t lineCount(const std::string &text) {
  std::size_t n = 0;
  for (char c : text)
    n += c == '\n';
  return n;
}

void BM_ReadLongNwchemOutput(benchmark::State &state) {
  const std::string one =
      slurp(fs::path(ORVALEN_SOURCE_DIR) / "examples" / "h_h2_nwchem" / "calculations" / "h3.out");
  std::string text;
  while (lineCount(text) < 25000)
    text += one;
  const TempFile file(text);
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
