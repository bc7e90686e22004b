#include "scan/plot.hpp"

#include "report/error.hpp"

#include <fstream>

namespace orvalen::scan {

std::string arrheniusPlotSvg(const ScanResult &) {
  throw Error("--plot: not built yet");
}

void writePlotFile(const std::string &path, const ScanResult &r) {
  const std::string svg = arrheniusPlotSvg(r);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << svg;
  out.flush();
  if (!out)
    throw Error(path + ": cannot write the plot");
}

} // namespace orvalen::scan
