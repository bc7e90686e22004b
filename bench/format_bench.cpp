// The field-editing engine: report lines written through the format-text
// interpreter (formats parsed once, as the report writer caches them) and the
// fixed-column read of one frequency row of a molecule data file.

#include "fixedio/format.hpp"

#include <benchmark/benchmark.h>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <vector>

namespace {

namespace fixedio = orvalen::fixedio;

// Discards what is written, so that only the formatting is measured.
class NullBuffer : public std::streambuf {
protected:
  int overflow(int c) override { return c; }
  std::streamsize xsputn(const char *, std::streamsize n) override { return n; }
};

// A vibration table row of the molecule section (14 fields).
void BM_WriteVibrationRow(benchmark::State &state) {
  NullBuffer nb;
  std::ostream out(&nb);
  fixedio::Writer w(out);
  for (auto _ : state)
    w.write("(i4,3f9.3,f9.2,1x,i2,7f9.3,1pE12.5)", 7, 1713.151, 75.314, 1713.151, 0.0, 1, 2464.853,
            0.026, 10.245, 0.007, 10.252, 10.244, 0.0, 1.00035);
}
BENCHMARK(BM_WriteVibrationRow);

// An energy line (F fields) and a rate line (1P E fields in a group).
void BM_WriteEnergyLine(benchmark::State &state) {
  NullBuffer nb;
  std::ostream out(&nb);
  fixedio::Writer w(out);
  for (auto _ : state)
    w.write("( ' Gtot = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", 12.516, 2.991,
            0.00476738);
}
BENCHMARK(BM_WriteEnergyLine);

void BM_WriteRateLine(benchmark::State &state) {
  NullBuffer nb;
  std::ostream out(&nb);
  fixedio::Writer w(out);
  for (auto _ : state)
    w.write("( ' Rate constant kQ     k(T)=A*Exp(-dH0/RT)',4(1pe20.6))", 7.555040e4, 3.109964e-21,
            3.109964e-15, 1.872864e6);
}
BENCHMARK(BM_WriteRateLine);

// The summary row of a reaction with ten molecules on each side.
void BM_WriteSummaryRowTenPerSide(benchmark::State &state) {
  std::vector<fixedio::Value> values{10};
  for (int k = 0; k < 10; ++k)
    values.emplace_back(-1500.001 - k * 0.001);
  values.emplace_back(10);
  for (int k = 0; k < 10; ++k)
    values.emplace_back(-1500.003 - k * 0.001);
  for (double v : {-0.02, -12.55, -52.51})
    values.emplace_back(v);
  const auto parsed = fixedio::parseFormatText("(' E      ',<>f15.7,12x,<>f15.7,8x,f15.7,2f15.2)");
  for (auto _ : state)
    benchmark::DoNotOptimize(fixedio::formatLines(*parsed, values));
}
BENCHMARK(BM_WriteSummaryRowTenPerSide);

// One frequency row of a data file, as the reader takes it: "(4x,2f9.3)".
void BM_ReadFrequencyRow(benchmark::State &state) {
  const fixedio::Record rec{"   7-1536.000  415.600", "ts1.dat", 32};
  double freq = 0.0, inten = 0.0;
  for (auto _ : state) {
    fixedio::read("(4x,2f9.3)", rec, &freq, &inten);
    benchmark::DoNotOptimize(freq);
    benchmark::DoNotOptimize(inten);
  }
}
BENCHMARK(BM_ReadFrequencyRow);

// One atom line: "(14x,i3,3x,3f15.6)".
void BM_ReadAtomLine(benchmark::State &state) {
  const fixedio::Record rec{"      2         1          0.756950      -0.520313       0.000000",
                            "h2o.dat", 15};
  int z = 0;
  double x = 0.0, y = 0.0, w = 0.0;
  for (auto _ : state) {
    fixedio::read("(14x,i3,3x,3f15.6)", rec, &z, &x, &y, &w);
    benchmark::DoNotOptimize(x);
  }
}
BENCHMARK(BM_ReadAtomLine);

} // namespace
