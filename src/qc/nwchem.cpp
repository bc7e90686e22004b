// Reader of NWChem (7.x) output.
//
// What stands where:
//   geometry      "Output coordinates in angstroms" (or "in a.u."), rows
//                 "    1 O   8.0000   x y z" up to a blank line; printed at the
//                 start, at every optimisation step and once more after
//                 "Optimization converged". A frequency task prints none: it
//                 works at the last geometry printed before it.
//   frequencies   each frequency task ("NWChem Nuclear Hessian and Frequency
//                 Analysis") prints an unprojected set ("Frequency" rows) and a
//                 projected one ("P.Frequency" rows after "(Projected
//                 Frequencies expressed in cm-1)"): 3N values, imaginary modes
//                 first as negative numbers. Only the projected set is used: the
//                 unprojected translations and rotations can be far from zero.
//   intensities   "Projected Infra Red Intensities": mode, frequency (three
//                 decimals), "||", a.u., (debye/angs)**2, km/mol, arbitrary.
//   energy        "Total SCF energy =", "Total DFT energy =", "Total MP2 energy",
//                 "Total CCSD energy:", "Total CCSD(T) energy:" (the tensor
//                 contraction engine: "CCSD total energy / hartree ="); a
//                 numerical Hessian prints energies of displaced geometries
//                 after them.
//   multiplicity  "Spin multiplicity:" (DFT); "alpha electrons =" and "beta
//                 electrons =" (UHF), "open shells =" (RHF, ROHF); the last
//                 printed before the frequencies (or the energy) they go with.
//   charge        "Charge           :     0" (DFT), "charge          =   0.00"
//                 (SCF), likewise.
//   steps         each task ends in "Task  times", the run in "Total times".
#include "qc/finish.hpp"
#include "qc/geometry.hpp"
#include "qc/output_text.hpp"
#include "qc/readers.hpp"

#include "fixedio/error.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

namespace orvalen::qc {

namespace {

struct Geometry {
  std::size_t line = 0;    // index of its "Output coordinates" line
  std::size_t endLine = 0; // the blank line that closes its table
  std::vector<int> atomicNumbers;
  std::vector<Vec3> coords;
};

// One projected frequency set with the intensity table that follows it.
struct FrequencySet {
  std::size_t taskLine = 0; // "NWChem Nuclear Hessian and Frequency Analysis"
  std::size_t line = 0;     // its "(Projected Frequencies expressed in cm-1)"
  std::vector<double> frequencies;
  std::vector<double> intensities;
  bool hasIntensities = false;
  std::size_t intensityRows = 0;
  std::size_t endLine = 0; // its last row read
};

// A number the output says at a line (a multiplicity, a charge).
struct Said {
  std::size_t line;
  int value;
};

// The last of `said` printed before line `before`.
std::optional<Said> lastBefore(const std::vector<Said> &said, std::size_t before) {
  std::optional<Said> last;
  for (const Said &x : said)
    if (x.line < before)
      last = x;
  return last;
}

// A run of the geometry optimiser ("NWChem Geometry Optimization").
struct DriverRun {
  std::size_t line = 0;
  bool saddle = false;
  std::optional<std::size_t> convergedLine;
};

struct Energy {
  int rank; // SCF/DFT 0, MP2 1, CCSD 2, CCSD(T) 3
  const char *level;
  double value;
  std::size_t line;
};

// The element of a geometry tag ("O", "H1", "Cl2", "C_a"), checked against
// the nuclear charge printed beside it.
int elementOfTag(const std::filesystem::path &file, std::size_t line, std::string_view tag,
                 double charge) {
  const long z = std::lround(charge);
  if (z == 0) // "bqH", "X": no nucleus, not an atom of the molecule
    throw Error(atLine(file, line) + ": atom " + inQuotes(tag) +
                " has nuclear charge 0 (a ghost or dummy atom); such a geometry is not a "
                "molecule's");
  if (const auto element = elementOfLabel(tag, AtomLabel::Tagged, z))
    return *element;
  throw Error(atLine(file, line) + ": cannot tell the element of atom tag " + inQuotes(tag));
}

Geometry readGeometry(const std::filesystem::path &file, const Lines &lines, std::size_t header) {
  Geometry g;
  g.line = header;
  const double scale = contains(lines[header], "in a.u.") ? BOHR_ANGSTROM : 1.0;
  std::size_t i = header + 1;
  // Skip to the dashes under the column titles.
  while (i < lines.size() && i < header + 6 && !contains(lines[i], "----"))
    ++i;
  if (i >= lines.size() || !contains(lines[i], "----"))
    throw Error(atLine(file, header) + ": coordinate table without its column titles");
  for (++i; i < lines.size(); ++i) {
    const auto w = splitWords(lines[i]);
    if (w.empty())
      break;
    if (w.size() != 6)
      throw Error(atLine(file, i) + ": expected \"No. Tag Charge X Y Z\" in the coordinate table");
    const double charge = realAt(file, i, w[2]);
    g.atomicNumbers.push_back(elementOfTag(file, i, w[1], charge));
    g.coords.push_back({realAt(file, i, w[3]) * scale, realAt(file, i, w[4]) * scale,
                        realAt(file, i, w[5]) * scale});
  }
  if (i >= lines.size())
    throw Error(file.string() + ": output ends inside the coordinate table at line " +
                std::to_string(header + 1));
  if (g.coords.empty())
    throw Error(atLine(file, header) + ": empty coordinate table");
  g.endLine = i;
  return g;
}

// The projected frequencies from the header at `header`, and the intensity
// table after them when there is one. Stops at the end of the output: the
// caller sees a short set as a cut output.
FrequencySet readFrequencySet(const std::filesystem::path &file, const Lines &lines,
                              std::size_t header) {
  FrequencySet s;
  s.line = header;
  std::size_t i = header + 1;
  for (; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (contains(line, "Normal Eigenvalue ||") || contains(line, "NWChem Input Module") ||
        contains(line, "Task  times"))
      break;
    const auto w = splitWords(line);
    if (!w.empty() && w[0] == "P.Frequency") {
      for (std::size_t k = 1; k < w.size(); ++k)
        s.frequencies.push_back(realAt(file, i, w[k]));
      s.endLine = i;
    }
  }
  // The intensity table belongs to this set when it comes before the task ends.
  for (; i < lines.size(); ++i) {
    if (contains(lines[i], "Task  times") || contains(lines[i], "NWChem Input Module") ||
        contains(lines[i], "(Projected Frequencies expressed in cm-1)"))
      break;
    if (!contains(lines[i], "Projected Infra Red Intensities"))
      continue;
    s.hasIntensities = true;
    std::size_t r = i + 1;
    while (r < lines.size() && r < i + 4 && !contains(lines[r], "------ ----------"))
      ++r;
    std::vector<double> freqs;
    for (++r; r < lines.size(); ++r) {
      const auto w = splitWords(lines[r]);
      if (w.empty() || w[0].starts_with("---"))
        break;
      // mode, frequency, "||", a.u., (debye/angs)**2, km/mol, arbitrary
      if (w.size() < 6 || w[2] != "||")
        throw Error(atLine(file, r) + ": unexpected row in the infrared intensity table");
      freqs.push_back(realAt(file, r, w[1]));
      s.intensities.push_back(realAt(file, r, w[5]));
      s.endLine = r;
    }
    s.intensityRows = freqs.size();
    // Same modes as the P.Frequency rows, with one decimal more: take those.
    if (freqs.size() == s.frequencies.size()) {
      for (std::size_t k = 0; k < freqs.size(); ++k)
        if (std::fabs(freqs[k] - s.frequencies[k]) > 0.011)
          throw Error(atLine(file, i) + ": the infrared table's frequency " +
                      std::to_string(k + 1) + " disagrees with the projected frequencies");
      s.frequencies = std::move(freqs);
    }
    break;
  }
  return s;
}

double largestShift(const Geometry &a, const Geometry &b) {
  return qc::largestShift(a.atomicNumbers, a.coords, b.atomicNumbers, b.coords);
}

// The energy at one geometry: the highest level among the entries in
// [from, to), the first (`first`) or last printed of that level.
std::optional<Energy> bestEnergy(const std::vector<Energy> &energies, std::size_t from,
                                 std::size_t to, bool first) {
  std::optional<Energy> best;
  for (const Energy &e : energies) {
    if (e.line < from || e.line >= to)
      continue;
    if (!best || e.rank > best->rank || (e.rank == best->rank && !first))
      best = e;
  }
  return best;
}

} // namespace

bool isNwchem(std::string_view text) {
  return contains(text, "Northwest Computational Chemistry Package") ||
         contains(text, "nwchem branch");
}

QcRecord readNwchem(const std::filesystem::path &file, std::string_view text) {
  const Lines lines(text);
  QcRecord rec;
  rec.program = "NWChem";

  std::vector<Geometry> geometries;
  std::vector<FrequencySet> sets;
  std::vector<DriverRun> drivers;
  std::vector<std::size_t> frequencyTasks;
  std::vector<Energy> energies;
  std::vector<Said> spinMultiplicity, openShells, alphaElectrons, betaElectrons, charges;
  std::size_t symmetryBreaking = 0;
  bool inPathTask = false;
  JobSteps steps;
  steps.closing = "Total times";
  std::optional<std::size_t> errorLine; // the message of an NWChem stop

  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    // Most lines are rows of numbers: words are split only on a line that
    // holds one of the texts looked for.
    std::vector<std::string_view> w;
    const auto holds = [&](std::string_view text) { return holdsText(line, text, w); };
    if (contains(line, "Output coordinates in angstroms") ||
        contains(line, "Output coordinates in a.u.")) {
      geometries.push_back(readGeometry(file, lines, i));
    } else if (contains(line, "NWChem Input Module")) {
      inPathTask = false; // a new task starts
    } else if (contains(line, "IRC Optimization")) {
      inPathTask = true; // "Gonzalez & Schlegel IRC Optimization" of a mepgs task
    } else if (contains(line, "NWChem Nuclear Hessian and Frequency Analysis")) {
      // An IRC computes its own Hessian to start from and analyses no frequencies.
      if (!inPathTask)
        frequencyTasks.push_back(i);
    } else if (contains(line, "(Projected Frequencies expressed in cm-1)")) {
      FrequencySet s = readFrequencySet(file, lines, i);
      s.taskLine = frequencyTasks.empty() ? i : frequencyTasks.back();
      sets.push_back(std::move(s));
    } else if (contains(line, "NWChem Geometry Optimization")) {
      drivers.push_back({i, false, std::nullopt});
    } else if (contains(line, "Transition State Search") && !drivers.empty()) {
      drivers.back().saddle = true;
    } else if (holds("Optimization converged") && w.size() == 2 && w[0] == "Optimization" &&
               !drivers.empty()) {
      drivers.back().convergedLine = i;
    } else if (holds("Total SCF energy =") || holds("Total DFT energy =")) {
      energies.push_back({0, contains(line, "SCF") ? "SCF" : "DFT", realAt(file, i, w.back()), i});
    } else if (holds("Total MP2 energy")) {
      energies.push_back({1, "MP2", realAt(file, i, w.back()), i});
    } else if (holds("Total CCSD energy:") || holds("CCSD total energy / hartree")) {
      energies.push_back({2, "CCSD", realAt(file, i, w.back()), i});
    } else if (holds("Total CCSD(T) energy:") || holds("CCSD(T) total energy / hartree")) {
      energies.push_back({3, "CCSD(T)", realAt(file, i, w.back()), i});
    } else if (holds("Spin multiplicity:")) {
      if (const auto m = parseInteger(w.back()))
        spinMultiplicity.push_back({i, static_cast<int>(*m)});
    } else if (holds("open shells") && w.size() == 4 && w[0] == "open" && w[2] == "=") {
      if (const auto n = parseInteger(w[3]))
        openShells.push_back({i, static_cast<int>(*n)});
    } else if (holds("electrons =") && w.size() == 4 && (w[0] == "alpha" || w[0] == "beta") &&
               w[1] == "electrons") {
      // UHF: the unpaired electrons are alpha minus beta.
      if (const auto n = parseInteger(w[3]))
        (w[0] == "alpha" ? alphaElectrons : betaElectrons).push_back({i, static_cast<int>(*n)});
    } else if ((holds("Charge") && w.size() == 3 && w[0] == "Charge" && w[1] == ":") ||
               (holds("charge") && w.size() == 3 && w[0] == "charge" && w[1] == "=")) {
      // "Charge : 0" (DFT), "charge = 0.00" (SCF): a whole number either way.
      if (const auto q = parseReal(w[2]);
          q && std::fabs(*q - std::round(*q)) < 1.0e-6 && std::fabs(*q) < 1000.0)
        charges.push_back({i, static_cast<int>(std::lround(*q))});
    } else if (contains(line, "spatial symmetry breaking")) {
      ++symmetryBreaking;
    } else if (holds("nwchem branch") && w.size() >= 4 && w[0] == "nwchem" && w[2] == "=") {
      rec.version = std::string(w[3].substr(0, SHORT_TEXT));
    } else if (holds("Task  times") && w[0] == "Task") {
      steps.endAt(i);
    } else if (holds("Total times") && w[0] == "Total") {
      steps.finished = true;
    } else if (contains(line, "current input line :") && i >= 3 && !errorLine) {
      // An error stop prints its message in a dashed box just above this line.
      errorLine = i - 3;
    }
  }

  // The message of an error stop, without the error code at its far right.
  std::string errorMessage;
  if (errorLine) {
    auto w = splitWords(lines[*errorLine]);
    if (w.size() > 1 && parseInteger(w.back()))
      w.pop_back();
    for (const auto word : w)
      errorMessage += (errorMessage.empty() ? "" : " ") + std::string(word.substr(0, SHORT_TEXT));
  }
  // A stop after the last frequency analysis (an IRC or scan that failed) leaves
  // the frequencies whole; any other stop leaves nothing to trust.
  if (errorLine && (sets.empty() || *errorLine < sets.back().line))
    throw Error(atLine(file, *errorLine) + ": NWChem stopped with an error (" +
                inQuotes(errorMessage) + ")");
  if (geometries.empty())
    throw Error(file.string() + ": no geometry (no \"Output coordinates\" table)");

  // A frequency task after the last complete projected set was cut short.
  const FrequencySet *freq = sets.empty() ? nullptr : &sets.back();
  if (!frequencyTasks.empty() && (!freq || freq->taskLine < frequencyTasks.back()))
    throw Error(file.string() + ": the frequency analysis that starts at line " +
                std::to_string(frequencyTasks.back() + 1) +
                " has no projected frequencies: the output is cut short");

  const Geometry *geom = nullptr;
  std::optional<OptimisationAfterFrequencies> movedOn;
  if (freq) {
    // The frequency task works at the last geometry printed before it.
    for (const Geometry &g : geometries)
      if (g.line < freq->taskLine)
        geom = &g;
    if (!geom)
      throw Error(file.string() + ": no geometry before the frequency analysis at line " +
                  std::to_string(freq->taskLine + 1));
    const std::size_t n3 = 3 * geom->coords.size();
    if (freq->frequencies.size() != n3)
      throw Error(atLine(file, freq->line) + ": the projected frequency table has " +
                  std::to_string(freq->frequencies.size()) + " values where " +
                  std::to_string(geom->coords.size()) + " atoms need " + std::to_string(n3) +
                  ": the output is cut short");
    if (freq->hasIntensities && freq->intensityRows != n3)
      throw Error(atLine(file, freq->line) + ": the infrared intensity table has " +
                  std::to_string(freq->intensityRows) + " rows where " + std::to_string(n3) +
                  " are needed: the output is cut short");
    // An optimisation that starts after the frequencies must end where they were
    // computed; a saddle search that moved on leaves them at its start geometry.
    for (const DriverRun &d : drivers) {
      if (d.line < freq->line || movedOn)
        continue;
      const Geometry *last = nullptr;
      for (const Geometry &g : geometries)
        if (g.line > d.line)
          last = &g;
      if (!d.convergedLine || !last || largestShift(*last, *geom) > 1.0e-4)
        movedOn = OptimisationAfterFrequencies{d.line, d.saddle};
    }
  } else {
    // No frequencies: the geometry an optimisation converged to, else the last.
    geom = &geometries.back();
    for (const DriverRun &d : drivers)
      if (d.convergedLine)
        for (const Geometry &g : geometries)
          if (g.line > *d.convergedLine) {
            geom = &g;
            break;
          }
  }
  // The optimisation that led to this geometry, if any.
  const DriverRun *driver = nullptr;
  for (const DriverRun &d : drivers)
    if (d.line < geom->line)
      driver = &d;
  rec.optimisation = driver != nullptr;
  if (driver) {
    rec.saddleSearch = driver->saddle;
    rec.optimisationConverged = driver->convergedLine.has_value();
  }

  // Energy at that geometry: before "Optimization converged" when the optimiser
  // stopped there (the freq task only repeats it, or prints displaced
  // geometries); otherwise the first of the highest level printed at it.
  std::optional<Energy> energy;
  if (driver && driver->convergedLine && *driver->convergedLine < geom->line) {
    std::size_t stepGeometry = driver->line;
    for (const Geometry &g : geometries)
      if (g.line < *driver->convergedLine)
        stepGeometry = g.line;
    energy = bestEnergy(energies, stepGeometry, *driver->convergedLine, false);
  }
  if (!energy) {
    std::size_t end = lines.size();
    for (const Geometry &g : geometries)
      if (g.line > geom->line) {
        end = g.line;
        break;
      }
    energy = bestEnergy(energies, geom->line, freq ? freq->line : end, freq != nullptr);
  }
  if (!energy)
    throw Error(file.string() + ": no energy at the geometry of line " +
                std::to_string(geom->line + 1));
  rec.energy = energy->value;
  rec.energyLevel = energy->level;

  // The charge and multiplicity of the SCF that goes with the frequencies
  // (or the energy): a later task may be of another state.
  const std::size_t valuesLine = freq ? freq->line : energy->line;
  std::size_t lastValue = std::max({geom->endLine, energy->line, freq ? freq->endLine : 0});
  const auto use = [&](const std::optional<Said> &said) {
    if (said)
      lastValue = std::max(lastValue, said->line);
    return said;
  };
  const auto alpha = lastBefore(alphaElectrons, valuesLine);
  const auto beta = lastBefore(betaElectrons, valuesLine);
  if (const auto m = use(lastBefore(spinMultiplicity, valuesLine))) {
    rec.multiplicity = m->value;
  } else if (alpha && beta) {
    rec.multiplicity = use(alpha)->value - use(beta)->value + 1;
  } else if (const auto open = use(lastBefore(openShells, valuesLine))) {
    rec.multiplicity = open->value + 1;
  }
  if (const auto q = use(lastBefore(charges, valuesLine)))
    rec.charge = q->value;

  if (symmetryBreaking > 0)
    rec.warnings.push_back("NWChem warned of spatial symmetry breaking " +
                           std::to_string(symmetryBreaking) +
                           " times: the SCF state may be a symmetry-broken, higher one; "
                           "rerun with \"noautosym\" in the geometry block");
  if (errorLine) {
    steps.endAt(*errorLine, false);
    steps.stopped = "NWChem stopped with an error after the frequency analysis (line " +
                    std::to_string(*errorLine + 1) + ": " + inQuotes(errorMessage) + ")";
  }

  std::optional<FrequencyAnalysis> analysis;
  if (freq)
    analysis =
        FrequencyAnalysis{freq->line, freq->frequencies, freq->intensities, freq->hasIntensities};
  finishRecord(file, Atoms{geom->atomicNumbers, geom->coords}, std::move(analysis), movedOn,
               {steps, lastValue}, rec);
  return rec;
}

} // namespace orvalen::qc
