#pragma once

// The Arrhenius plot of a scan: log10 k against 1000/T for kQ without
// tunnelling and with each coefficient where it is meaningful, and the fitted
// curve of k when there is a fit; axes with their units and a legend. Written
// as SVG by scan/svg.hpp.

#include "scan/scan.hpp"

#include <string>
#include <vector>

namespace orvalen::scan {

// An axis from lo to hi, widened to whole multiples of a step of 1, 2 or 5
// times a power of ten that gives about `target` intervals; its ticks.
struct Axis {
  double lo = 0.0;
  double hi = 1.0;
  double step = 1.0;
  std::vector<double> ticks;
};
Axis niceAxis(double lo, double hi, int target = 5);

// The SVG document (scan/output_files.hpp writes it). Throws orvalen::Error
// when the scan has no rate constant, or none that is a positive number.
std::string arrheniusPlotSvg(const ScanResult &r);

} // namespace orvalen::scan
