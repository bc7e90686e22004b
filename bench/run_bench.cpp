// Whole runs in process, as the program does them: job input, data files,
// thermochemistry, reaction, rate and tunnelling sections, report written to a
// file. The capacity-limit job (30 molecules of 100 atoms and 300 frequency
// rows) and the OH + CH4 example (five small molecules).

#include "driver/banner.hpp"
#include "driver/run.hpp"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A copy of a job folder under the temporary folder (a path without dots,
// since a dot in the job name cuts it), removed at the end.
class JobCopy {
public:
  JobCopy(const fs::path &from, const std::string &job) {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("orvalen-bench-" + std::to_string(rd()));
    fs::create_directories(dir_);
    for (const auto &f : fs::directory_iterator(from))
      if (f.path().extension() == ".inp" || f.path().extension() == ".dat")
        fs::copy_file(f.path(), dir_ / f.path().filename());
    args_ = {"orvalen", (dir_ / job).string()};
  }
  ~JobCopy() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  JobCopy(const JobCopy &) = delete;
  JobCopy &operator=(const JobCopy &) = delete;
  const std::vector<std::string> &args() const { return args_; }

private:
  fs::path dir_;
  std::vector<std::string> args_;
};

void runJob(benchmark::State &state, const fs::path &folder, const std::string &job) {
  if (!fs::exists(folder / (job + ".inp"))) {
    state.SkipWithError(("no job " + (folder / job).string()).c_str());
    return;
  }
  const JobCopy copy(folder, job);
  std::ostringstream console;
  for (auto _ : state)
    benchmark::DoNotOptimize(orvalen::runProgram(copy.args(), console, orvalen::BuildStamp{}));
}

void BM_RunCapacityLimitJob(benchmark::State &state) {
  runJob(state, fs::path(ORVALEN_SOURCE_DIR) / "tests" / "fixtures" / "limits", "limits");
}
BENCHMARK(BM_RunCapacityLimitJob)->Unit(benchmark::kMillisecond);

void BM_RunOhCh4(benchmark::State &state) {
  runJob(state, fs::path(ORVALEN_SOURCE_DIR) / "examples" / "oh_ch4", "oh_ch4");
}
BENCHMARK(BM_RunOhCh4)->Unit(benchmark::kMicrosecond);

} // namespace
