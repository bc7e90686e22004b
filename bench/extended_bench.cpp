// orvalen-scan in process, 1,000 temperatures of the OH + CH4 example with
// every option beyond the harmonic oscillator on (Grimme's entropy, damped
// energies, scale factors, the spin-orbit shift) against the same scan without
// them; the ratio of the two times is the cost of the options.

#include "scan/output.hpp"
#include "scan/scan.hpp"
#include "scan/temperatures.hpp"

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

namespace {

using namespace orvalen::scan;

void scan(benchmark::State &state, bool options) {
  ScanRequest request;
  request.job = std::string(ORVALEN_SOURCE_DIR) + "/examples/oh_ch4/oh_ch4";
  request.temperatures = parseTemperatures("200:2198:2"); // 1,000 temperatures
  request.method = Method::Eckart;
  request.fit = true;
  if (options) {
    request.physics.entropy = orvalen::extended::QuasiHarmonic::Grimme;
    request.physics.dampedEnergy = true;
    request.physics.scale = 0.95;
    request.physics.zpeScale = 0.97;
    request.physics.spinOrbitShift = true;
    request.physicsGiven = true;
  }
  for (auto _ : state) {
    ScanResult r;
    runScan(request, r);
    std::ostringstream out;
    writeResult(out, r, Format::Json);
    benchmark::DoNotOptimize(out.str().size());
  }
}

void BM_ScanWithoutOptions(benchmark::State &state) {
  scan(state, false);
}
void BM_ScanEveryOption(benchmark::State &state) {
  scan(state, true);
}

BENCHMARK(BM_ScanWithoutOptions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanEveryOption)->Unit(benchmark::kMillisecond);

} // namespace
