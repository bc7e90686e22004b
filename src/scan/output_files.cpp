#include "scan/output_files.hpp"

#include "base/error.hpp"
#include "base/output_file.hpp"
#include "scan/plot.hpp"

#include <optional>
#include <vector>

namespace orvalen::scan {

void writeOutputs(const OutputFiles &files, const ScanResult &r, Format format,
                  std::ostream &console) {
  // The plot is drawn first: a scan it cannot draw stops the run before any file is opened.
  const std::string svg = files.plot.empty() ? std::string() : arrheniusPlotSvg(r);
  std::optional<OutputFile> result, plot;
  std::vector<OutputFile *> complete;
  if (!files.result.empty()) {
    result.emplace(files.result, files.result);
    writeResult(result->stream(), r, format);
    complete.push_back(&*result);
  }
  if (!files.plot.empty()) {
    plot.emplace(files.plot, files.plot);
    plot->stream() << svg;
    complete.push_back(&*plot);
  }
  commitAll(complete);

  if (files.result.empty()) {
    writeResult(console, r, format);
    console.flush();
    if (!console)
      throw Error("standard output: write error");
  }
}

} // namespace orvalen::scan
