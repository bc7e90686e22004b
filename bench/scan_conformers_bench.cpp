// orvalen-scan in process with conformers: the OH + CH4 example with ten
// structures for each of its five molecules (the main one and nine others,
// each 0.4 kJ/mol above the one before, its moments and wavenumbers a few
// per cent off the main ones'; data files written to a temporary folder),
// 1,000 temperatures with the Eckart coefficient; --conformers all against
// --conformers lowest (the same job's values with the main structures
// alone). Only the scan's computation (runScan) is timed.

#include "input/job_loader.hpp"
#include "scan/scan.hpp"
#include "scan/temperatures.hpp"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace orvalen::scan;

constexpr int STRUCTURES = 10;
constexpr double KJ2HARTREE = 3.809083380231225e-4;

// The conformers block of nine structures made from the molecule's own.
std::string conformersBlock(const orvalen::Molecule &m) {
  std::string text = "\n Conformers (Hartree, amu*A^2, cm-1)\n"
                     "  Conf      Base energy  Rotn  Opt.  From\n"
                     " --------------------------------------------------------------------\n";
  char line[160];
  for (int k = 2; k <= STRUCTURES; ++k) {
    const double f = 1.0 + 0.01 * (k - 1);
    std::snprintf(line, sizeof line, "%6d%17.8f%6d%6d  made%d.out\n", k,
                  m.etot + 0.4 * (k - 1) * KJ2HARTREE, m.rotnum, k % 2 + 1, k);
    text += line;
    std::snprintf(line, sizeof line, " moments%15.6f%15.6f%15.6f\n", m.pmoi[0] * f, m.pmoi[1] * f,
                  m.pmoi[2] * f);
    text += line;
    int onLine = 0;
    for (int n = 0; n < static_cast<int>(m.nfreq); ++n) {
      const double nu = m.freq[static_cast<std::size_t>(n)];
      if (nu == 0.0)
        continue;
      if (onLine == 0)
        text += "   freqs";
      std::snprintf(line, sizeof line, "%11.3f", nu > 0.0 ? nu / f : nu);
      text += line;
      if (++onLine == 6) {
        text += "\n";
        onLine = 0;
      }
    }
    if (onLine > 0)
      text += "\n";
  }
  return text + " --------------------------------------------------------------------\n";
}

// The example's job in a temporary folder, each molecule with ten structures.
class ConformerJob {
public:
  ConformerJob() {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("orvalen-bench-conformers-" + std::to_string(rd()));
    fs::create_directories(dir_);
    const fs::path example = fs::path(ORVALEN_SOURCE_DIR) / "examples/oh_ch4";
    for (const char *f : {"oh_ch4.inp", "oh.dat", "ch4.dat", "h2o.dat", "ch3.dat", "ts1.dat"})
      fs::copy_file(example / f, dir_ / f);
    orvalen::Warnings w;
    const orvalen::Job job =
        orvalen::loadJob((dir_ / "oh_ch4.inp").string(), orvalen::MissingFiles::Refuse, w);
    for (int role = orvalen::REACTANT; role <= orvalen::TRANSITION_STATE; ++role)
      for (int j = 1; j <= job.mol.npart(role); ++j) {
        const orvalen::Molecule &m = job.mol.at(role, j);
        std::ofstream(m.dataPath, std::ios::app | std::ios::binary) << conformersBlock(m);
      }
  }
  ~ConformerJob() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  ConformerJob(const ConformerJob &) = delete;
  ConformerJob &operator=(const ConformerJob &) = delete;
  std::string job() const { return (dir_ / "oh_ch4").string(); }

private:
  fs::path dir_;
};

void scan(benchmark::State &state, orvalen::extended::ConformerTreatment treatment) {
  const ConformerJob files;
  ScanRequest request;
  request.job = files.job();
  request.temperatures = parseTemperatures("200:2198:2"); // 1,000 temperatures
  request.method = Method::Eckart;
  request.physics.conformers = treatment;
  {
    ScanResult check; // ten structures a molecule, or the benchmark measures something else
    runScan(request, check);
    for (const JobMolecule &m : check.molecules)
      if (m.structures.size() != STRUCTURES)
        state.SkipWithError("a molecule does not carry ten structures");
  }
  for (auto _ : state) {
    ScanResult r;
    runScan(request, r);
    benchmark::DoNotOptimize(r.points.back().rates.kQ[2]);
  }
}

void BM_ScanTenConformersAll(benchmark::State &state) {
  scan(state, orvalen::extended::ConformerTreatment::All);
}
void BM_ScanTenConformersLowest(benchmark::State &state) {
  scan(state, orvalen::extended::ConformerTreatment::Lowest);
}

BENCHMARK(BM_ScanTenConformersAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanTenConformersLowest)->Unit(benchmark::kMillisecond);

} // namespace
