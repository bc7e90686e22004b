#pragma once

// The Arrhenius plot of a scan: log10 k against 1000/T, k at the standard
// state as the k column has it, without tunnelling and with each coefficient
// where it is meaningful, the fitted curve of k when there is a fit and the
// measured points of --measured as markers; axes with their units and a
// legend. Written as SVG by scan/svg.hpp.

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
// An axis over the data from lo to hi and `margin` of its span beyond each
// end, with the ticks of niceAxis that fall inside; one value gets 5 % of
// itself (or 0.5 at zero) on each side.
Axis dataAxis(double lo, double hi, int target = 5, double margin = 0.04);

// The SVG document (scan/output_files.hpp writes it). Throws orvalen::Error
// when the scan has no rate constant, or none that is a positive number.
std::string arrheniusPlotSvg(const ScanResult &r);

} // namespace orvalen::scan
