#pragma once

// Measured rate constants to set beside a scan (--measured FILE): one point a
// line, T in K and k in the units of the scan's k, and optionally the
// measurement's uncertainty, e.g.
//   # OH + CH4, flash photolysis
//   300   6.4e-15   1.2      (a factor: k/1.2 to 1.2 k)
//   1000  1.1e-12   +-2e-13  (an absolute value: k - 2e-13 to k + 2e-13)
// A "#" starts a comment; blank lines are allowed. The comment line
// "# uncertainty: absolute" makes the plain third numbers after it absolute
// values, "# uncertainty: factor" factors again (the default).

#include "scan/scan.hpp"

#include <optional>
#include <string>
#include <vector>

namespace orvalen::scan {

// The points of `path` in file order. Throws orvalen::Error naming the file
// (and the line and the text read) for a file that cannot be read, a line that
// is not two positive numbers and an uncertainty (a factor of 1 or more, a
// positive absolute value), and a file without a point; `units` is k's.
std::vector<MeasuredPoint> readMeasured(const std::string &path, const std::string &units);

// The first measured point whose T is that of a scan point to 1e-6 relative.
std::optional<std::size_t> measuredAt(const std::vector<MeasuredPoint> &measured, double T);

} // namespace orvalen::scan
