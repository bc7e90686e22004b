// Reader of ORCA 4.x and 5.x output (6.x reads the same). "CARTESIAN
// COORDINATES (ANGSTROEM)" blocks give the current geometry, "FINAL SINGLE
// POINT ENERGY" the energy at the highest level the job computed, "Total
// Charge ...." and "Mult ...." the charge and multiplicity. The "VIBRATIONAL
// FREQUENCIES" list has all 3N modes, the translations and rotations printed
// as 0.00 and imaginary modes negative; the "IR SPECTRUM" table gives the
// intensities by mode number (km/mol: the "Int" column from ORCA 5 on, the
// "T**2" column before it). As for Gaussian, an optimisation that moves on
// after the frequencies is refused, an IRC or a scan after them is not. A
// compound input ($new_job) runs its jobs one after the other, each opened by
// a "JOB NUMBER" banner; ORCA prints "ORCA TERMINATED NORMALLY" once, at the
// end of the run, and stops the whole run when a job fails, so the banner of
// the next job closes the one before it. Every value is the one of the job
// that computed the frequencies (a later job may be of another multiplicity).
#include "fixedio/error.hpp"
#include "qc/finish.hpp"
#include "qc/geometry.hpp"
#include "qc/output_text.hpp"
#include "qc/readers.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <optional>

namespace orvalen::qc {

namespace {

std::string lowerCase(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

constexpr double CM_TO_GHZ = 29.9792458; // speed of light in cm/ns

} // namespace

bool isOrca(std::string_view text) {
  return contains(text, "* O   R   C   A *");
}

QcRecord readOrca(const std::filesystem::path &file, std::string_view text) {
  const std::string name = file.string();
  const Lines lines(text);
  QcRecord rec;
  rec.program = "ORCA";

  // What is current as the output goes, and its snapshot when a frequency
  // analysis starts.
  struct State {
    Atoms geometry;
    std::size_t geometryEnd = 0;
    double energy = std::nan("");
    std::size_t energyLine = 0;
    std::vector<double> rotational;
    int multiplicity = 0;
    std::optional<int> charge;
    std::size_t stateLine = 0; // the last of the charge and multiplicity lines
    std::string level;
    std::size_t levelLine = 0;
    std::size_t lastLine() const {
      return std::max({geometryEnd, std::isfinite(energy) ? energyLine : 0, stateLine, levelLine});
    }
  };
  State current, atFrequencies;
  bool haveFrequencies = false, pathAfterFrequencies = false;
  std::optional<OptimisationAfterFrequencies> movedOn; // coordinates at another geometry
  std::size_t frequenciesLine = 0, lastRow = 0;
  bool converged = false;
  std::vector<double> freqs;
  std::map<long, double> intensityOfMode;
  JobSteps steps;
  steps.closing = "ORCA TERMINATED NORMALLY";

  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line.size() < 4)
      continue;
    if (line.rfind("|", 0) == 0 && contains(line, ">")) { // the input, echoed
      const std::string input = lowerCase(line.substr(0, SHORT_TEXT));
      if (contains(input, "optts") || contains(input, "ts_search"))
        rec.saddleSearch = true;
      continue;
    }
    const auto words = splitWords(line);
    if (words.empty())
      continue;
    const std::string_view first = words[0];

    if (rec.version.empty() && first == "Program" && words.size() > 2 && words[1] == "Version") {
      rec.version = std::string(words[2].substr(0, SHORT_TEXT));
    } else if (first == "CARTESIAN" && contains(line, "CARTESIAN COORDINATES (ANGSTROEM)")) {
      Atoms g;
      std::size_t k = i + 2; // the title and a line of dashes
      for (; k < lines.size(); ++k) {
        const auto w = splitWords(lines[k]);
        if (w.empty())
          break;
        if (w.size() != 4)
          throw Error(atLine(file, k) + ": expected \"element x y z\", found " +
                      inQuotes(lines[k]));
        const auto z = elementOfLabel(w[0], AtomLabel::Symbol);
        if (!z)
          throw Error(atLine(file, k) + ": " + inQuotes(w[0]) + " is not an element");
        g.z.push_back(*z);
        g.r.push_back({realAt(file, k, w[1]), realAt(file, k, w[2]), realAt(file, k, w[3])});
      }
      if (k >= lines.size())
        throw Error(name + ": ends inside a coordinates block (truncated output)");
      if (!sameGeometry(g, current.geometry))
        current.energy = std::nan("");
      if (haveFrequencies && !movedOn && !sameGeometry(g, atFrequencies.geometry))
        movedOn = OptimisationAfterFrequencies{i, false};
      current.geometry = std::move(g);
      current.geometryEnd = k;
      i = k;
    } else if (first == "FINAL" && contains(line, "FINAL SINGLE POINT ENERGY") &&
               words.size() == 5) {
      current.energy = realAt(file, i, words[4]);
      current.energyLine = i;
    } else if (first == "Multiplicity" && words.size() == 4 && words[1] == "Mult") {
      if (const auto m = parseInteger(words[3])) {
        current.multiplicity = static_cast<int>(*m);
        current.stateLine = i;
      }
    } else if (first == "Total" && words.size() == 5 && words[1] == "Charge" &&
               words[2] == "Charge") {
      if (const auto q = parseInteger(words[4])) {
        current.charge = static_cast<int>(*q);
        current.stateLine = i;
      }
    } else if (first == "Density" && contains(line, "Method          .... DFT")) {
      current.level = "DFT";
      current.levelLine = i;
    } else if (first == "E(MP2)" || (first == "MP2" && contains(line, "MP2 TOTAL ENERGY"))) {
      current.level = current.level == "CCSD" || current.level == "CCSD(T)" ? current.level : "MP2";
      current.levelLine = i;
    } else if (first == "E(CCSD)") {
      current.level = current.level == "CCSD(T)" ? current.level : "CCSD";
      current.levelLine = i;
    } else if (first == "E(CCSD(T))") {
      current.level = "CCSD(T)";
      current.levelLine = i;
    } else if (first == "Rotational" && words.size() >= 7 && words[1] == "constants") {
      std::vector<double> b;
      const bool mhz = words[3] == "MHz";
      for (std::size_t k = words.size() - 3; k < words.size(); ++k)
        if (const auto v = parseReal(words[k]))
          b.push_back(mhz ? *v / 1000.0 : *v * CM_TO_GHZ);
      if (b.size() == 3)
        current.rotational = b;
    } else if (first == "*" && contains(line, "Geometry Optimization Run")) {
      rec.optimisation = true;
    } else if (contains(line, "THE OPTIMIZATION HAS CONVERGED")) {
      converged = true;
    } else if (contains(line, "IRC PATH SUMMARY") || contains(line, "RELAXED SURFACE SCAN") ||
               contains(line, "Intrinsic Reaction Coordinate")) {
      if (haveFrequencies)
        pathAfterFrequencies = true;
    } else if (first == "VIBRATIONAL" && words.size() == 2 && words[1] == "FREQUENCIES") {
      haveFrequencies = true;
      frequenciesLine = i;
      movedOn.reset();
      pathAfterFrequencies = false;
      atFrequencies = current;
      freqs.clear();
      intensityOfMode.clear();
      std::size_t k = i + 1;
      for (; k < lines.size(); ++k) {
        const auto w = splitWords(lines[k]);
        if (w.empty()) {
          if (!freqs.empty())
            break;
          continue;
        }
        if (w.size() >= 3 && w[0].back() == ':' && w[2] == "cm**-1") {
          if (w[0] != std::to_string(freqs.size()) + ":")
            throw Error(atLine(file, k) + ": expected mode " + std::to_string(freqs.size()) +
                        " of the frequency list, found " + inQuotes(lines[k]));
          freqs.push_back(realAt(file, k, w[1]));
          lastRow = k;
        } else if (!freqs.empty()) {
          break;
        }
      }
      i = k;
    } else if (first == "IR" && words.size() == 2 && words[1] == "SPECTRUM" && haveFrequencies) {
      // ORCA 5 and later: Mode freq eps Int T**2 ...; ORCA 4: Mode freq T**2 ...
      std::size_t column = 2, k = i + 1;
      for (; k < lines.size() && k < i + 6; ++k)
        if (contains(lines[k], "Mode")) {
          column = contains(lines[k], " Int ") ? 3 : 2;
          break;
        }
      for (++k; k < lines.size(); ++k) {
        const auto w = splitWords(lines[k]);
        if (w.empty()) {
          if (!intensityOfMode.empty())
            break;
          continue;
        }
        if (w[0].rfind("---", 0) == 0 || w[0] == "cm**-1")
          continue;
        if (w[0].back() != ':' || w.size() <= column)
          break;
        const auto mode = parseInteger(w[0].substr(0, w[0].size() - 1));
        if (!mode)
          break;
        intensityOfMode[*mode] = realAt(file, k, w[column]);
        lastRow = k;
      }
      i = k;
    } else if (first.starts_with("$$$") && words.size() >= 3 && words[1] == "JOB" &&
               words[2] == "NUMBER") {
      // A job of a compound input starts: the one before it ended. Its
      // method is its own.
      steps.endAt(i);
      current.level.clear();
    } else if (contains(line, "ORCA TERMINATED NORMALLY")) {
      steps.endAt(i);
      steps.finished = true;
    } else if (contains(line, "ORCA finished by error termination")) {
      steps.endAt(i, false);
      steps.stopped = "ORCA stopped with an error at line " + std::to_string(i + 1);
    }
  }

  if (current.geometry.z.empty())
    throw Error(name + ": no geometry found");

  const State &used = haveFrequencies ? atFrequencies : current;
  rec.energy = used.energy;
  rec.energyLevel = used.level.empty() ? "SCF" : used.level;
  rec.multiplicity = used.multiplicity;
  rec.charge = used.charge;
  rec.rotationalConstantsGHz = used.rotational;
  rec.optimisationConverged = !rec.optimisation || converged;

  std::optional<FrequencyAnalysis> analysis;
  if (haveFrequencies) {
    // ORCA lists all 3N modes, the translations and rotations as 0.00.
    const std::size_t atoms = used.geometry.z.size();
    if (freqs.size() != 3 * atoms)
      throw Error(name + ": the frequency list has " + std::to_string(freqs.size()) + " of the " +
                  std::to_string(3 * atoms) + " modes of " + std::to_string(atoms) +
                  " atoms (truncated output?)");
    std::vector<double> intens(freqs.size(), 0.0);
    for (const auto &[mode, value] : intensityOfMode)
      if (mode >= 0 && static_cast<std::size_t>(mode) < intens.size())
        intens[static_cast<std::size_t>(mode)] = value;
    analysis = FrequencyAnalysis{frequenciesLine, std::move(freqs), std::move(intens),
                                 !intensityOfMode.empty()};
  }
  if (movedOn)
    movedOn->saddle = rec.saddleSearch;
  if (!rec.optimisation || pathAfterFrequencies)
    movedOn.reset();
  const std::size_t lastValue = std::max(used.lastLine(), haveFrequencies ? lastRow : 0);
  finishRecord(file, used.geometry, std::move(analysis), movedOn, {steps, lastValue}, rec);
  return rec;
}

} // namespace orvalen::qc
