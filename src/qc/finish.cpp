#include "qc/finish.hpp"

#include "fixedio/error.hpp"
#include "qc/output_text.hpp"

#include <string>

namespace orvalen::qc {

namespace {

// The values read must stand in a job step that ended normally; a later step
// that did not is worth a word, as the run as a whole did not finish.
void checkStepEnded(const std::filesystem::path &file, const ValuesRead &read, QcRecord &rec) {
  const JobSteps &steps = read.steps;
  // The first end after the values, wherever the reader noted it.
  auto end = steps.ends.end();
  for (auto e = steps.ends.begin(); e != steps.ends.end(); ++e)
    if (e->line > read.lastLine && (end == steps.ends.end() || e->line < end->line))
      end = e;
  const std::string closing = "\"" + std::string(steps.closing) + "\"";
  if (end == steps.ends.end())
    throw Error(atLine(file, read.lastLine) + ": the job step that printed this line, the last " +
                "of the values read, does not end (no " + closing +
                " or end of step after it): the output is cut short, or the job is still " +
                "running; read it when the job has ended");
  if (!end->normal)
    throw Error(atLine(file, read.lastLine) + ": the job step that printed this line, the last " +
                "of the values read, stopped with an error at line " +
                std::to_string(end->line + 1) + "; its values are not to be trusted");
  if (!steps.finished)
    rec.warnings.push_back("the run did not finish: " +
                           (steps.stopped.empty()
                                ? "the output stops without " + closing + " at its end"
                                : steps.stopped) +
                           "; the values read are those of the job step that ends at line " +
                           std::to_string(end->line + 1));
}

} // namespace

void finishRecord(const std::filesystem::path &file, const Atoms &geometry,
                  std::optional<FrequencyAnalysis> analysis,
                  const std::optional<OptimisationAfterFrequencies> &movedOn,
                  const ValuesRead &read, QcRecord &rec) {
  // A record always has atoms: an analysis printed before any geometry has none.
  if (geometry.z.empty() || geometry.z.size() != geometry.r.size())
    throw Error(file.string() + ": no geometry found");
  checkStepEnded(file, read, rec);
  if (analysis && movedOn)
    throw Error(file.string() + ": the frequencies (line " + std::to_string(analysis->line + 1) +
                ") belong to the geometry before the " +
                (movedOn->saddle ? "saddle-point search" : "optimisation") + " at line " +
                std::to_string(movedOn->line + 1) +
                ", not to the final one; run a frequency analysis at the final geometry");
  rec.atomicNumbers = geometry.z;
  rec.coords = geometry.r;
  if (!analysis)
    return;

  std::vector<double> &f = analysis->frequencies, &x = analysis->intensities;
  if (analysis->hasIntensities)
    x.resize(f.size(), 0.0);
  else
    x.assign(f.size(), 0.0);
  const std::size_t n = geometry.z.size();
  const bool linear = isLinearGeometry(geometry.r);
  const std::size_t vib = n <= 1 ? 0 : 3 * n - (linear ? 5 : 6);
  if (f.size() == 3 * n) {
    // Every mode printed: an atom has three translations and no vibration.
    if (n == 1) {
      f.clear();
      x.clear();
    } else {
      dropTranslationsRotations(file, linear, f, x);
    }
  } else if (f.size() != vib) {
    throw Error(atLine(file, analysis->line) + ": the frequency table has " +
                std::to_string(f.size()) + " modes where " + std::to_string(n) +
                (linear ? " atoms in a line" : " atoms") + " have " + std::to_string(vib));
  }
  rec.frequencies = std::move(f);
  rec.intensities = std::move(x);
  rec.hasIntensities = analysis->hasIntensities;
}

} // namespace orvalen::qc
