#include "scan/output_files.hpp"

#include "base/error.hpp"
#include "base/output_file.hpp"
#include "scan/plot.hpp"

#include <optional>
#include <vector>

namespace orvalen::scan {

namespace {
constexpr std::size_t BUFFER = 8192; // bytes of each output's stream buffer
} // namespace

void writeOutputs(const OutputFiles &files, const ScanResult &r, Format format,
                  std::ostream &console) {
  // The plot is drawn first: a scan it cannot draw stops the run before any file is opened.
  const std::string svg = files.plot.empty() ? std::string() : arrheniusPlotSvg(r);
  std::optional<OutputFile> result, plot;
  std::vector<OutputFile *> complete;
  if (!files.result.empty()) {
    result.emplace(files.result, files.result, BUFFER, NonRegularTarget::WriteDirectly);
    writeResult(result->stream(), r, format);
    complete.push_back(&*result);
  }
  if (!files.plot.empty()) {
    plot.emplace(files.plot, files.plot, BUFFER, NonRegularTarget::WriteDirectly);
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
