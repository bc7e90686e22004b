#pragma once

// The files a scan writes: the result (-o) and the plot (--plot), each under
// a hidden name beside its target, both renamed into place only when both are
// complete, so that a failure (a full disk, a plot that cannot be drawn)
// leaves every file as it was; without -o the result goes to the console.
// Two runs that write the same files leave both outputs of one of them (the
// renames are made under a lock: base/output_file.hpp's commitAll). A
// device or pipe (-o /dev/null, /dev/stdout, a FIFO) is written directly.
// runScan has refused outputs that are files the job reads or each other.

#include "scan/output.hpp"

#include <ostream>
#include <string>

namespace orvalen::scan {

struct OutputFiles {
  std::string result; // -o; empty: the console
  std::string plot;   // --plot; empty: no plot
};

// Throws orvalen::Error naming the file when one cannot be written to its end.
void writeOutputs(const OutputFiles &files, const ScanResult &r, Format format,
                  std::ostream &console);

} // namespace orvalen::scan
