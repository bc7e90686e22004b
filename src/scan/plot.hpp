#pragma once

// The Arrhenius plot of a scan: log10 k against 1000/T for kQ without
// tunnelling and with each meaningful coefficient, and the fitted curve, as an
// SVG picture (scan/svg.hpp writes it).

#include "scan/scan.hpp"

#include <string>

namespace orvalen::scan {

std::string arrheniusPlotSvg(const ScanResult &r);

// Throws orvalen::Error when the scan has no rate constant or the file
// cannot be written.
void writePlotFile(const std::string &path, const ScanResult &r);

} // namespace orvalen::scan
