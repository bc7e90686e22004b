#pragma once

// A scan written out: an aligned table for the terminal, CSV with one header
// row naming each quantity and its unit, or JSON with every quantity the
// report prints at each temperature (keys and units: docs/orvalen-scan.md).

#include "scan/scan.hpp"

#include <iosfwd>
#include <string>
#include <string_view>

namespace orvalen::scan {

void writeTable(std::ostream &out, const ScanResult &r);
void writeCsv(std::ostream &out, const ScanResult &r);
void writeJson(std::ostream &out, const ScanResult &r);

// The output formats, one row each: the word --format takes and its writer.
// Parsing, --help's list, the refusal and the dispatch follow from the rows; the
// first row is the default.
enum class Format { Table, Csv, Json };
struct OutputFormat {
  Format id;
  const char *word;
  void (*write)(std::ostream &out, const ScanResult &r);
};
inline constexpr OutputFormat OUTPUT_FORMATS[] = {
    {Format::Table, "table", writeTable},
    {Format::Csv, "csv", writeCsv},
    {Format::Json, "json", writeJson},
};

// The format of a word of the table; false for any other word.
bool parseOutputFormat(std::string_view word, Format &format);
// The words of the table joined as a list: "table | csv | json", "table, csv or json".
std::string outputFormatWords(std::string_view between, std::string_view last);
void writeResult(std::ostream &out, const ScanResult &r, Format format);

// The options beyond the harmonic oscillator in effect as the table header's
// options line names them ("--qrrho grimme --rotors quantum"); empty where
// that line is not shown.
std::string optionsInEffect(const ScanResult &r);

// A real number in the shortest form that reads back as the same double;
// "nan", "inf", "-inf" for values that are not finite.
// Not numberText (warnings.hpp): that is %g-like, 100000 and 0.0002 where this has 1e+05, 2e-04.
std::string shortest(double x);

} // namespace orvalen::scan
