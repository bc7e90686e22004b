#pragma once

// A scan written out: an aligned table for the terminal, CSV with one header
// row naming each quantity and its unit, or JSON with every quantity the
// report prints at each temperature (keys and units: README, "orvalen-scan").

#include "scan/scan.hpp"

#include <iosfwd>

namespace orvalen::scan {

enum class Format { Table, Csv, Json };
// "table", "csv", "json"; false for any other word.
bool parseOutputFormat(std::string_view word, Format &format);

void writeTable(std::ostream &out, const ScanResult &r);
void writeCsv(std::ostream &out, const ScanResult &r);
void writeJson(std::ostream &out, const ScanResult &r);
void writeResult(std::ostream &out, const ScanResult &r, Format format);

// A real number in the shortest form that reads back as the same double;
// "nan", "inf", "-inf" for values that are not finite.
// Not numberText (warnings.hpp): that is %g-like, 100000 and 0.0002 where this has 1e+05, 2e-04.
std::string shortest(double x);

} // namespace orvalen::scan
