#include "qc/finish.hpp"

#include "base/error.hpp"
#include "qc/output_text.hpp"

#include <algorithm>
#include <numeric>
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

// The normal modes of the analysis when they can be trusted to be the
// frequencies': one per frequency, one displacement per atom, all read before
// the job step of the values ends (moved out of the analysis). Empty otherwise.
std::vector<std::vector<Vec3>> matchedModes(FrequencyAnalysis &analysis, std::size_t atoms,
                                            const ValuesRead &read) {
  std::vector<std::vector<Vec3>> modes = std::move(analysis.normalModes);
  const bool oneEach =
      modes.size() == analysis.frequencies.size() &&
      std::all_of(modes.begin(), modes.end(), [&](const auto &m) { return m.size() == atoms; });
  const bool sameStep =
      std::none_of(read.steps.ends.begin(), read.steps.ends.end(), [&](const JobSteps::End &e) {
        return e.line > read.lastLine && e.line < analysis.modesEnd;
      });
  if (!oneEach || !sameStep)
    modes.clear();
  return modes;
}

// The vibrations among the 3N modes printed, with their intensities and
// normal modes; of an atom's three, none (translations all).
void keepVibrations(const std::filesystem::path &file, bool linear, std::vector<double> &f,
                    std::vector<double> &x, std::vector<std::vector<Vec3>> &modes) {
  if (f.size() == 3) {
    f.clear();
    x.clear();
    modes.clear();
    return;
  }
  // The modes kept are found by dropping from a list of their indices
  // beside the frequencies, by the very rule that drops the frequencies.
  std::vector<double> kept(f.size());
  std::iota(kept.begin(), kept.end(), 0.0);
  dropTranslationsRotations(file, linear, f, kept);
  std::vector<double> keptX;
  std::vector<std::vector<Vec3>> keptModes;
  for (const double k : kept) {
    const auto at = static_cast<std::size_t>(k);
    keptX.push_back(x[at]);
    if (!modes.empty())
      keptModes.push_back(std::move(modes[at]));
  }
  x = std::move(keptX);
  modes = std::move(keptModes);
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
  std::vector<std::vector<Vec3>> modes = matchedModes(*analysis, n, read);
  const bool linear = isLinearGeometry(geometry.r);
  const std::size_t vib = n <= 1 ? 0 : 3 * n - (linear ? 5 : 6);
  if (f.size() == 3 * n) {
    keepVibrations(file, linear, f, x, modes);
  } else if (f.size() != vib) {
    throw Error(atLine(file, analysis->line) + ": the frequency table has " +
                std::to_string(f.size()) + " modes where " + std::to_string(n) +
                (linear ? " atoms in a line" : " atoms") + " have " + std::to_string(vib));
  }
  rec.frequencies = std::move(f);
  rec.intensities = std::move(x);
  rec.hasIntensities = analysis->hasIntensities;
  rec.normalModes = std::move(modes);
}

} // namespace orvalen::qc
