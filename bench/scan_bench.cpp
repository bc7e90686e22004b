// orvalen-scan in process: 1,000 temperatures of the OH + CH4 example and of
// the capacity-limit job, from reading the job to the written table, CSV or
// JSON; and one Eckart coefficient.

#include "scan/eckart.hpp"
#include "scan/output.hpp"
#include "scan/scan.hpp"
#include "scan/temperatures.hpp"

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

namespace {

using namespace orvalen::scan;

void scan(benchmark::State &state, const std::string &job, Format format, Method method) {
  ScanRequest request;
  request.job = std::string(ORVALEN_SOURCE_DIR) + "/" + job;
  request.temperatures = parseTemperatures("200:2198:2"); // 1,000 temperatures
  request.method = method;
  request.fit = true;
  for (auto _ : state) {
    ScanResult r;
    runScan(request, r);
    std::ostringstream out;
    writeResult(out, r, format);
    benchmark::DoNotOptimize(out.str().size());
  }
}

void BM_ScanOhCh4Table(benchmark::State &state) {
  scan(state, "examples/oh_ch4/oh_ch4", Format::Table, Method::Eckart);
}
void BM_ScanOhCh4Csv(benchmark::State &state) {
  scan(state, "examples/oh_ch4/oh_ch4", Format::Csv, Method::Eckart);
}
void BM_ScanOhCh4Json(benchmark::State &state) {
  scan(state, "examples/oh_ch4/oh_ch4", Format::Json, Method::Eckart);
}
void BM_ScanCapacityLimitTable(benchmark::State &state) {
  scan(state, "tests/fixtures/limits/limits", Format::Table, Method::None);
}

void BM_EckartKappa(benchmark::State &state) {
  const EckartBarrier b{20.494904187823604, 80.04288978410239, 1536.0};
  double T = 300.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(eckartKappa(b, T));
    T = T < 2000.0 ? T + 1.0 : 300.0;
  }
}

BENCHMARK(BM_ScanOhCh4Table)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanOhCh4Csv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanOhCh4Json)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanCapacityLimitTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EckartKappa)->Unit(benchmark::kMicrosecond);

} // namespace
