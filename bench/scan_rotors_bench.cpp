// orvalen-scan in process with hindered rotors: the OH + CH4 example with ten
// rotors over four of its molecules (cosine and Fourier potentials, sigma 1
// to 3, data files written to a temporary folder), 1,000 temperatures, quantum
// and classical; --rotors harmonic, the same job's values without them, for
// comparison; the same rotors at the bounds a data file accepts, and a hostile
// sigma the reader refuses. Only the scan's computation (runScan) is timed.

#include "base/error.hpp"
#include "scan/scan.hpp"
#include "scan/temperatures.hpp"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace orvalen::scan;

struct Rotor {
  int mode, pivot1, pivot2, sigma;
  double moment;
  std::vector<int> top;
  double v0; // cosine barrier, kJ/mol; below 0: the Fourier potential
};

// 1.5 - cos(phi) + 0.3 sin(phi) - 0.5 cos(2 phi) - 0.15 sin(2 phi): V = V' = 0 at phi = 0.
const char *const FOURIER_TERMS = " terms   0     1.50000000     0.00000000   1    -1.00000000  "
                                  "   0.30000000   2    -0.50000000    -0.15000000\n";

std::string rotorsBlock(const std::vector<Rotor> &rotors) {
  std::string text = "\n Hindered rotors (amu*A^2, kJ/mol)\n"
                     " Rotor  Mode Pivot1 Pivot2 Sigma        Moment Kind       V0 or terms\n"
                     " --------------------------------------------------------------------\n";
  char line[128];
  for (std::size_t k = 0; k < rotors.size(); ++k) {
    const Rotor &r = rotors[k];
    if (r.v0 >= 0.0)
      std::snprintf(line, sizeof line, "%6zu%6d%7d%7d%6d%14.6f cosine %15.6f\n", k + 1, r.mode,
                    r.pivot1, r.pivot2, r.sigma, r.moment, r.v0);
    else
      std::snprintf(line, sizeof line, "%6zu%6d%7d%7d%6d%14.6f Fourier%15d\n", k + 1, r.mode,
                    r.pivot1, r.pivot2, r.sigma, r.moment, 3);
    text += line;
    text += "   top";
    for (const int a : r.top) {
      std::snprintf(line, sizeof line, "%5d", a);
      text += line;
    }
    text += "\n";
    if (r.v0 < 0.0)
      text += FOURIER_TERMS;
  }
  return text + " --------------------------------------------------------------------\n";
}

// The ten rotors of the example, or the same bonds at the bounds a data file
// accepts (sigma 12 and a cosine barrier of 200 kJ/mol where the example has a
// cosine, a reduced moment of 100 amu*A^2 throughout), or with a hostile
// sigma of 999999 that the reader refuses.
enum class Rotors : std::uint8_t { EXAMPLE, AT_THE_BOUNDS, HOSTILE };

// The example's job in a temporary folder, its data files with ten rotors.
class RotorJob {
public:
  explicit RotorJob(Rotors kind = Rotors::EXAMPLE) {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("orvalen-bench-rotors-" + std::to_string(rd()));
    fs::create_directories(dir_);
    const fs::path example = fs::path(ORVALEN_SOURCE_DIR) / "examples/oh_ch4";
    for (const char *f : {"oh_ch4.inp", "oh.dat", "ch4.dat", "h2o.dat", "ch3.dat", "ts1.dat"})
      fs::copy_file(example / f, dir_ / f);
    // Each rotor about a bond of its own (one torsion, one rotor); the one-well
    // Fourier potential with sigma 1 (a potential repeats sigma times a turn).
    append("ts1.dat",
           {{8, 3, 2, 1, 0.85, {3, 4}, -1.0},
            {9, 1, 2, kind == Rotors::HOSTILE ? 999999 : 3, 3.0, {1, 5, 6, 7}, 22.29393},
            {10, 4, 3, 1, 0.9, {4}, 4.0},
            {11, 5, 1, 1, 2.8, {5}, -1.0}},
           kind);
    append("ch4.dat",
           {{7, 1, 2, 3, 2.5, {1, 3, 4, 5}, 12.0},
            {8, 1, 3, 1, 2.5, {1, 2, 4, 5}, -1.0},
            {9, 1, 4, 3, 2.5, {1, 2, 3, 5}, 30.0}},
           kind);
    append("h2o.dat", {{7, 1, 2, 1, 0.8, {1, 3}, 8.0}}, kind);
    append("ch3.dat", {{7, 1, 2, 1, 1.5, {1, 3, 4}, -1.0}, {8, 1, 3, 2, 1.5, {1, 2, 4}, 6.0}},
           kind);
  }
  ~RotorJob() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  RotorJob(const RotorJob &) = delete;
  RotorJob &operator=(const RotorJob &) = delete;
  std::string job() const { return (dir_ / "oh_ch4").string(); }

private:
  void append(const char *file, std::vector<Rotor> rotors, Rotors kind) const {
    if (kind == Rotors::AT_THE_BOUNDS)
      for (Rotor &r : rotors) {
        r.moment = 100.0;
        if (r.v0 >= 0.0) {
          r.sigma = 12;
          r.v0 = 200.0;
        }
      }
    std::ofstream(dir_ / file, std::ios::app | std::ios::binary) << rotorsBlock(rotors);
  }
  fs::path dir_;
};

void scan(benchmark::State &state, orvalen::extended::RotorTreatment treatment) {
  const RotorJob files;
  ScanRequest request;
  request.job = files.job();
  request.temperatures = parseTemperatures("200:2198:2"); // 1,000 temperatures
  request.method = Method::Eckart;
  request.physics.rotors = treatment;
  {
    ScanResult check; // ten rotors read, or the benchmark measures something else
    runScan(request, check);
    std::size_t rotors = 0;
    for (const JobMolecule &m : check.molecules)
      rotors += m.rotors.size();
    if (rotors != 10)
      state.SkipWithError("the job does not carry ten rotors");
  }
  for (auto _ : state) {
    ScanResult r;
    runScan(request, r);
    benchmark::DoNotOptimize(r.points.back().rates.kQ[2]);
  }
}

void BM_ScanTenRotorsQuantum(benchmark::State &state) {
  scan(state, orvalen::extended::RotorTreatment::Quantum);
}
void BM_ScanTenRotorsClassical(benchmark::State &state) {
  scan(state, orvalen::extended::RotorTreatment::Classical);
}
void BM_ScanTenRotorsHarmonic(benchmark::State &state) {
  scan(state, orvalen::extended::RotorTreatment::Harmonic);
}

// Ten rotors at the bounds, 1,000 temperatures: the quantum basis grows with
// the moment (M near 530 at 2198 K), the classical integrals do not.
void atTheBounds(benchmark::State &state, orvalen::extended::RotorTreatment treatment) {
  const RotorJob files(Rotors::AT_THE_BOUNDS);
  ScanRequest request;
  request.job = files.job();
  request.temperatures = parseTemperatures("200:2198:2");
  request.method = Method::Eckart;
  request.physics.rotors = treatment;
  for (auto _ : state) {
    ScanResult r;
    runScan(request, r);
    benchmark::DoNotOptimize(r.points.back().rates.kQ[2]);
  }
}
void BM_ScanTenRotorsAtTheBoundsQuantum(benchmark::State &state) {
  atTheBounds(state, orvalen::extended::RotorTreatment::Quantum);
}
void BM_ScanTenRotorsAtTheBoundsClassical(benchmark::State &state) {
  atTheBounds(state, orvalen::extended::RotorTreatment::Classical);
}

// A data file with sigma 999999 is refused as it is read, before any level is sought.
void BM_ScanHostileRotorRefused(benchmark::State &state) {
  const RotorJob files(Rotors::HOSTILE);
  ScanRequest request;
  request.job = files.job();
  request.temperatures = parseTemperatures("200:2198:2");
  request.method = Method::Eckart;
  for (auto _ : state) {
    ScanResult r;
    try {
      runScan(request, r);
      state.SkipWithError("the hostile rotor was not refused");
    } catch (const orvalen::Error &) {
      benchmark::ClobberMemory();
    }
  }
}

BENCHMARK(BM_ScanTenRotorsQuantum)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanTenRotorsAtTheBoundsQuantum)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanTenRotorsAtTheBoundsClassical)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanHostileRotorRefused)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanTenRotorsClassical)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanTenRotorsHarmonic)->Unit(benchmark::kMillisecond);

} // namespace
