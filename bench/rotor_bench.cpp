// Hindered rotors: ten rotors (cosine and Fourier potentials, sigma 1 to 3)
// over 1,000 temperatures, 200 to 3000 K; levels found once per rotor at the
// highest temperature, the classical grid once per rotor at the lowest, then
// Q, H, S at each.

#include "extended/hindered_rotor.hpp"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

std::vector<orvalen::HinderedRotor> tenRotors() {
  std::vector<orvalen::HinderedRotor> rotors;
  for (int i = 0; i < 10; ++i) {
    orvalen::HinderedRotor r;
    r.sigma = 1 + i % 3;
    r.moment = 0.8 + 0.6 * i;
    if (i % 2 == 0) {
      r.cosine = true;
      r.barrier = 2.0 + 3.0 * i;
    } else {
      r.fourier = {{{6.0, 0.0}, {-2.0, 0.5}, {-1.5, -0.3}, {-2.5, 0.2}}};
    }
    rotors.push_back(r);
  }
  return rotors;
}

void BM_RotorsQuantum(benchmark::State &state) {
  const auto rotors = tenRotors();
  for (auto _ : state) {
    double sum = 0.0;
    for (const auto &r : rotors) {
      const auto levels = orvalen::extended::quantumLevels(r, 3000.0);
      for (int i = 0; i < 1000; ++i) {
        sum += orvalen::extended::quantumThermo(levels, 200.0 + 2.8 * i).s;
      }
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_RotorsQuantum)->Unit(benchmark::kMillisecond);

void BM_RotorsClassical(benchmark::State &state) {
  const auto rotors = tenRotors();
  for (auto _ : state) {
    double sum = 0.0;
    for (const auto &r : rotors) {
      const orvalen::extended::ClassicalRotor prepared(r, 200.0);
      for (int i = 0; i < 1000; ++i) {
        sum += prepared.thermo(200.0 + 2.8 * i).s;
      }
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_RotorsClassical)->Unit(benchmark::kMillisecond);

// The same through the one-temperature call, which prepares the rotor each time.
void BM_RotorsClassicalEachCall(benchmark::State &state) {
  const auto rotors = tenRotors();
  for (auto _ : state) {
    double sum = 0.0;
    for (const auto &r : rotors) {
      for (int i = 0; i < 1000; ++i) {
        sum += orvalen::extended::classicalThermo(r, 200.0 + 2.8 * i).s;
      }
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_RotorsClassicalEachCall)->Unit(benchmark::kMillisecond);

} // namespace
