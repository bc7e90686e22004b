// Reader of Psi4 (1.3 and later) output.
//
// What stands where:
//   geometry      "Geometry (in Angstrom), charge = 0, multiplicity = 2:" (or "in
//                 Bohr"), then rows "O  x y z [mass]" (after a "Center X Y Z
//                 Mass" title in a module's geometry block) up to a blank line.
//                 Every module prints the geometry it works at; the optimiser's
//                 result follows "Final optimized geometry and variables:".
//   frequencies   the last "==> Harmonic Vibrational Analysis <==": rows
//                 "Freq [cm^-1]" three a row, translations and rotations left
//                 out, imaginary modes with a trailing "i" ("2072.8994i"); "IR
//                 activ [km/mol]" rows beside them when the Hessian was analytic.
//                 A finite-difference Hessian ("Using finite-differences of")
//                 works at the geometry of the gradient computed just before it;
//                 its displaced geometries follow. Under each block of
//                 frequencies, after a line of dashes, a row per atom "1 O
//                 0.00 -0.00 -0.07 ..." gives the Cartesian displacements (x y
//                 z) of each mode of the block.
//   energy        "@RHF Final Energy:" (UHF, ROHF; RKS, UKS for DFT), "MP2 total
//                 energy", "* CCSD total energy", "* CCSD(T) total energy", the
//                 "Total Energy" of a "DF-MP2 Energies" block; each at the
//                 geometry printed last before it. "Final energy is" closes an
//                 optimisation.
//   charge, mult. the header of the geometry they go with.
//   steps         each call of the input (energy(), optimize(), frequency())
//                 is a job step: frequency() ends in its thermochemistry's
//                 "Total G, Free enthalpy", optimize() in "Cleaning optimization
//                 helper files.", the run in "Psi4 exiting successfully"; an
//                 energy() ends with nothing of its own, so its values wait for
//                 the end of the run.
#include "qc/energy_precedence.hpp"
#include "qc/geometry_names.hpp"
#include "qc/output_reader.hpp"
#include "qc/output_text.hpp"
#include "qc/readers.hpp"

#include "base/error.hpp"
#include "base/warnings.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

namespace orvalen::qc {

namespace {

// The atoms of a "Geometry (in Angstrom)" block and what its header says.
struct Geometry : Atoms {
  std::size_t line = 0;
  std::size_t endLine = 0; // the blank line that closes it
  int multiplicity = 0;
  std::optional<int> charge;
  std::vector<double> rotationalConstantsGHz;
};

// An energy (its method "CCSD(T)/CC-PVDZ", "B3LYP/6-31G*") and the geometry
// it was computed at.
struct Energy {
  FoundEnergy found;
  std::size_t geometry; // index into the geometries printed before it
};

// A "Harmonic Vibrational Analysis": its modes one per frequency, emptied when
// a block's rows do not read as one.
struct Analysis : FrequencyAnalysis {
  std::size_t endLine = 0;               // its last row read
  std::optional<std::size_t> findifLine; // its finite-difference banner
  std::size_t intensityValues = 0;
  bool complete = false; // reached the thermochemistry that follows the table
  bool oddModes = false;
};

// A row "  2   H   0.00  0.43  0.56   -0.00  0.58 -0.40" of the block of
// `columns` modes that start at `first`: the atom's number (from 1), its label
// and x y z of each mode. False when the line is no such row.
bool modeRow(const std::vector<std::string_view> &w, std::size_t first, std::size_t columns,
             Analysis &a) {
  if (columns == 0 || w.size() != 2 + 3 * columns || a.normalModes.size() < first)
    return false;
  if (a.normalModes.size() == first) // the block's first row
    a.normalModes.resize(first + columns);
  const std::size_t atom = a.normalModes[first].size();
  if (parseInteger(w[0]) != static_cast<long>(atom + 1))
    return false;
  for (std::size_t c = 0; c < columns; ++c) {
    Vec3 d{};
    for (std::size_t x = 0; x < 3; ++x) {
      const auto v = parseReal(w[2 + 3 * c + x]);
      if (!v)
        return false;
      d[x] = *v;
    }
    a.normalModes[first + c].push_back(d);
  }
  return true;
}

struct Optimisation {
  std::size_t line = 0; // first OPTKING banner of the run
  std::optional<std::size_t> completeLine;
  std::optional<std::size_t> finalGeometry; // index into geometries
  std::optional<double> finalEnergy;
  std::size_t finalEnergyLine = 0;
};

// A mode number: "2072.8994i" is imaginary, written as a negative number.
double frequencyAt(const std::filesystem::path &file, std::size_t line, std::string_view word) {
  if (!word.empty() && word.back() == 'i')
    return -realAt(file, line, word.substr(0, word.size() - 1));
  return realAt(file, line, word);
}

// "O", "H1", "CL": the element of a geometry row's label.
int elementOf(const std::filesystem::path &file, std::size_t line, std::string_view label) {
  if (const auto z = elementOfLabel(label, AtomLabel::Tagged))
    return *z;
  throw Error(atLine(file, line) + ": cannot tell the element of atom label " + inQuotes(label));
}

// The integer after `key` ("multiplicity = 2:", "charge = -1,") in a header.
std::optional<int> headerValue(std::string_view header, std::string_view key) {
  const auto p = header.find(key);
  if (p == std::string_view::npos)
    return std::nullopt;
  const auto w = splitWords(header.substr(p + key.size()));
  if (w.empty())
    return std::nullopt;
  std::string_view v = w[0];
  if (!v.empty() && (v.back() == ':' || v.back() == ','))
    v.remove_suffix(1);
  if (const auto n = parseInteger(v); n && *n > -1000 && *n < 1000)
    return static_cast<int>(*n);
  return std::nullopt;
}

// The rotational constants printed within a few lines from line i, "A = ...
// B = ... C = ... [MHz]", in GHz; none when there are not three.
std::vector<double> rotationalConstantsFrom(const Lines &lines, std::size_t i) {
  for (std::size_t k = i; k < lines.size() && k < i + 8; ++k) {
    if (!contains(lines[k], "Rotational constants:") || !contains(lines[k], "[MHz]"))
      continue;
    std::vector<double> ghz;
    const auto w = splitWords(lines[k]);
    for (std::size_t j = 0; j + 1 < w.size(); ++j)
      if (w[j] == "=")
        if (const auto v = parseReal(w[j + 1]))
          ghz.push_back(*v / 1000.0);
    return ghz.size() == 3 ? ghz : std::vector<double>{};
  }
  return {};
}

Geometry readGeometry(const std::filesystem::path &file, const Lines &lines, std::size_t header) {
  Geometry g;
  g.line = header;
  const std::string_view h = lines[header];
  const double scale = contains(h, "(in Bohr)") ? BOHR_ANGSTROM : 1.0;
  if (const auto m = headerValue(h, "multiplicity ="))
    g.multiplicity = *m;
  g.charge = headerValue(h, "charge =");
  std::size_t i = header + 1;
  while (i < lines.size() && splitWords(lines[i]).empty())
    ++i;
  if (i < lines.size() && contains(lines[i], "Center")) {
    i += 2; // the column titles and the dashes under them
  }
  for (; i < lines.size(); ++i) {
    const auto w = splitWords(lines[i]);
    if (w.empty())
      break;
    if (w.size() != 4 && w.size() != 5)
      throw Error(atLine(file, i) + ": expected \"Symbol X Y Z\" in the geometry");
    g.z.push_back(elementOf(file, i, w[0]));
    g.r.push_back({realAt(file, i, w[1]) * scale, realAt(file, i, w[2]) * scale,
                   realAt(file, i, w[3]) * scale});
  }
  if (i >= lines.size())
    throw Error(file.string() + ": output ends inside the geometry at line " +
                std::to_string(header + 1));
  if (g.r.empty())
    throw Error(atLine(file, header) + ": empty geometry");
  g.endLine = i;
  g.rotationalConstantsGHz = rotationalConstantsFrom(lines, i);
  return g;
}

Analysis readAnalysis(const std::filesystem::path &file, const Lines &lines, std::size_t header) {
  Analysis a;
  a.line = header;
  // The rows of a block follow the dashes under its frequencies and end at a blank line.
  std::size_t first = 0, columns = 0;
  bool awaitingRows = false, inRows = false;
  for (std::size_t i = header + 1; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (contains(line, "==>")) { // the next section: the table is complete
      a.complete = true;
      break;
    }
    if (inRows) {
      const auto w = splitWords(line);
      if (w.empty()) {
        inRows = false;
      } else if (modeRow(w, first, columns, a)) {
        a.modesEnd = i;
      } else {
        a.oddModes = true;
        inRows = false;
      }
      continue;
    }
    if (contains(line, "Freq [cm^-1]")) {
      const auto w = splitWords(line.substr(line.find(']') + 1));
      for (const auto word : w)
        a.frequencies.push_back(frequencyAt(file, i, word));
      a.endLine = i;
      // Its modes start where the frequencies before it end.
      first = a.frequencies.size() - w.size();
      columns = w.size();
      awaitingRows = true;
    } else if (awaitingRows && line.starts_with("  ---")) {
      awaitingRows = false;
      inRows = true;
    } else if (contains(line, "IR activ [km/mol]")) {
      const auto w = splitWords(line.substr(line.find(']') + 1));
      for (const auto word : w)
        a.intensities.push_back(realAt(file, i, word));
      a.intensityValues += w.size();
      a.endLine = i;
    }
  }
  a.hasIntensities = a.intensityValues > 0;
  // Every block with a row for each atom of the first block.
  if (a.oddModes || a.normalModes.size() != a.frequencies.size() ||
      std::any_of(a.normalModes.begin(), a.normalModes.end(),
                  [&](const auto &m) { return m.empty() || m.size() != a.normalModes[0].size(); }))
    a.normalModes.clear();
  return a;
}

// The walk through one output: what each line says is gathered first, with
// the line it stands on; the values of the record are chosen from it after.
class Psi4Reader : public OutputReader {
public:
  using OutputReader::OutputReader;

private:
  std::size_t line(std::size_t i) override {
    // Most lines are rows of numbers: words are split only on a line that
    // holds one of the texts looked for.
    std::vector<std::string_view> w;
    if (!input(i, w) && !structure(i, w) && !energy(i, w) && !method(i))
      progress(i);
    return i;
  }

  RecordParts parts() override {
    errorStop();
    chooseGeometry();
    chooseEnergy();
    std::optional<FrequencyAnalysis> analysis;
    if (freq_) {
      // "IR activ" rows come with an analytic Hessian only, one per frequency.
      if (freq_->intensityValues > 0 && freq_->intensityValues != freq_->frequencies.size())
        throw Error(atLine(file_, freq_->line) + ": the frequency table has " +
                    std::to_string(freq_->frequencies.size()) + " frequencies but " +
                    std::to_string(freq_->intensityValues) + " IR intensities: it is cut short");
      // The last analysis, whose modes go to the record and nowhere else.
      analysis = std::move(static_cast<FrequencyAnalysis &>(analyses_.back()));
    }
    return {*geom_, std::move(analysis), movedOn_, lastValue_};
  }

  // The version, and the echoed input: a transition-state search asks for
  // opt_type ts, an IRC for opt_type irc.
  bool input(std::size_t i, std::vector<std::string_view> &w) {
    const std::string_view line = lines_[i];
    if (rec_.version.empty() && holdsText(line, "release", w) && w.size() >= 3 && w[0] == "Psi4" &&
        w[2] == "release")
      rec_.version = std::string(w[1].substr(0, SHORT_TEXT));
    if (contains(line, "==> Input File <==")) {
      inInput_ = true;
      return true;
    }
    if (!inInput_)
      return false;
    std::string lower(line.substr(0, SHORT_TEXT));
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto l = splitWords(lower);
    for (std::size_t k = 0; k + 1 < l.size(); ++k)
      if (l[k] == "opt_type") {
        saddle_ = saddle_ || l[k + 1] == "ts";
        irc_ = irc_ || l[k + 1] == "irc";
      }
    saddle_ = saddle_ || contains(lower, "opt_type='ts'") || contains(lower, "opt_type=\"ts\"");
    irc_ = irc_ || contains(lower, "opt_type='irc'") || contains(lower, "opt_type=\"irc\"");
    if ((contains(line, "-----------------------------------------") && l.size() == 1 && i > 0 &&
         !splitWords(lines_[i - 1]).empty()) ||
        contains(line, "Memory set to") || contains(line, "*** tstart()"))
      inInput_ = false;
    return true;
  }

  // Geometries, optimiser runs and frequency analyses.
  bool structure(std::size_t i, std::vector<std::string_view> &w) {
    const std::string_view line = lines_[i];
    if (contains(line, "Geometry (in Angstrom), charge =") ||
        contains(line, "Geometry (in Bohr), charge =")) {
      geometries_.push_back(readGeometry(file_, lines_, i));
      if (finalMarker_ && !optimisations_.empty() && *finalMarker_ + 4 >= i &&
          !optimisations_.back().finalGeometry)
        optimisations_.back().finalGeometry = geometries_.size() - 1;
    } else if (contains(line, "Final optimized geometry and variables:")) {
      finalMarker_ = i;
    } else if (contains(line, "OPTKING") && contains(line, "geometry optimizations")) {
      // One banner per step; a new run starts after the previous one completed.
      if (optimisations_.empty() || optimisations_.back().completeLine)
        optimisations_.push_back({i, std::nullopt, std::nullopt, std::nullopt});
    } else if (contains(line, "**** Optimization is complete!") && !optimisations_.empty()) {
      optimisations_.back().completeLine = i;
    } else if (holdsText(line, "Final energy is", w) && !optimisations_.empty()) {
      optimisations_.back().finalEnergy = realAt(file_, i, w.back());
      optimisations_.back().finalEnergyLine = i;
    } else if (contains(line, "Using finite-differences of")) {
      findif_ = i;
    } else if (contains(line, "==> Harmonic Vibrational Analysis <==")) {
      Analysis a = readAnalysis(file_, lines_, i);
      // The finite-difference banner belongs to this analysis when no other
      // analysis came between them.
      if (findif_ && (analyses_.empty() || *findif_ > analyses_.back().line))
        a.findifLine = findif_;
      analyses_.push_back(std::move(a));
    } else {
      return false;
    }
    return true;
  }

  // An energy, at the geometry printed last before it.
  bool energy(std::size_t i, std::vector<std::string_view> &w) {
    const std::string_view line = lines_[i];
    const auto holds = [&](std::string_view text) { return holdsText(line, text, w); };
    if (holds("Final Energy:") && w[0].starts_with("@")) {
      // "@RHF Final Energy:", "@UKS Final Energy:", ...
      addEnergy(w[0].ends_with("KS") ? "DFT" : "SCF", i, w.back());
    } else if (contains(line, "DF-MP2 Energies <=") && !contains(line, "SCS")) {
      mp2Until_ = i + 12;
    } else if (i < mp2Until_ && holds("Total Energy") && w.size() >= 2) {
      addEnergy("MP2", i, w[w.size() - 2] == "=" ? w.back() : w[w.size() - 2]);
      mp2Until_ = 0;
    } else if (holds("* MP2 total energy") || holds("MP2 total energy  ")) {
      if (!contains(line, "SCS"))
        addEnergy("MP2", i, w.back());
    } else if (holds("* CCSD total energy")) {
      addEnergy("CCSD", i, w.back());
    } else if (holds("* CCSD(T) total energy")) {
      addEnergy("CCSD(T)", i, w.back());
    } else {
      return false;
    }
    return true;
  }

  void addEnergy(std::string level, std::size_t i, std::string_view word) {
    if (geometries_.empty())
      return;
    // An SCF energy is Hartree-Fock's, or the functional's the SCF named.
    std::string name = level == "SCF" ? "HF" : level;
    if (level == "DFT" && !functional_.empty())
      name = functional_;
    std::string method = methodWithBasis(name, basis_);
    energies_.push_back(
        {{std::move(level), realAt(file_, i, word), i, std::move(method)}, geometries_.size() - 1});
  }

  // "Basis Set: CC-PVDZ" of the primary basis (the fitting one is in
  // parentheses), "B3LYP Hyb-GGA Exchange-Correlation Functional".
  bool method(std::size_t i) {
    const std::string_view line = lines_[i];
    if (const auto at = line.find("Basis Set: "); at != std::string_view::npos) {
      const auto w = splitWords(line.substr(at + 11));
      if (!w.empty() && !w[0].starts_with("("))
        basis_ = std::string(w[0].substr(0, SHORT_TEXT));
      return true;
    }
    if (contains(line, "Exchange-Correlation Functional") && !contains(line, "=>")) {
      const auto w = splitWords(line);
      functional_ = std::string(w.front().substr(0, SHORT_TEXT));
      return true;
    }
    return false;
  }

  // The ends of the calls of the input and of the run.
  void progress(std::size_t i) {
    const std::string_view line = lines_[i];
    if (contains(line, "Total G, Free enthalpy at") ||
        contains(line, "Cleaning optimization helper files.")) {
      // frequency() closes with its thermochemistry, optimize() with this;
      // energy() closes with nothing of its own before the run ends.
      steps_.endAt(i);
    } else if (contains(line, "Psi4 encountered an error")) {
      errorLine_ = i;
      steps_.endAt(i, false);
    } else if (contains(line, "Psi4 exiting successfully")) {
      steps_.endAt(i);
      steps_.finished = true;
    }
  }

  // A stop after the last complete frequency analysis (an IRC that ran out of
  // steps) leaves the frequencies whole; any other stop leaves nothing to trust.
  void errorStop() {
    if (!errorLine_)
      return;
    // Psi4 names the exception on a line of its own: "...Error: message".
    std::string message;
    for (std::size_t k = 0; k < lines_.size() && k < *errorLine_; ++k)
      if (contains(lines_[k], "exceptions.") && contains(lines_[k], "Error"))
        message = " (" + shownText(lines_[k].substr(0, 200)) + ")";
    if (analyses_.empty() || !analyses_.back().complete || *errorLine_ < analyses_.back().line)
      throw Error(atLine(file_, *errorLine_) + ": Psi4 stopped with an error" + message);
    steps_.stopped = "Psi4 stopped with an error after the frequency analysis" + message;
  }

  // The geometry of the last frequency analysis, or of the optimisation.
  void chooseGeometry() {
    if (geometries_.empty())
      throw Error(file_.string() + ": no geometry (no \"Geometry (in Angstrom)\" block)");
    freq_ = analyses_.empty() ? nullptr : &analyses_.back();
    if (freq_) {
      frequencyGeometry();
    } else {
      geom_ = &geometries_.back();
      for (const Optimisation &o : optimisations_)
        if (o.finalGeometry)
          geom_ = &geometries_[*o.finalGeometry];
    }
    rec_.multiplicity = geom_->multiplicity;
    rec_.charge = geom_->charge;
    for (const Geometry &g : geometries_)
      if (!g.rotationalConstantsGHz.empty() && largestShift(g, *geom_) < 1.0e-6) {
        rec_.rotationalConstantsGHz = g.rotationalConstantsGHz;
        break;
      }
    // The optimisation that led to the geometry.
    opt_ = lastBefore(optimisations_, geom_->line);
    rec_.optimisation = opt_ != nullptr;
    if (opt_) {
      rec_.optimisationConverged = opt_->completeLine.has_value();
      rec_.saddleSearch = saddle_;
    }
  }

  // The analysis works at the geometry printed last before it (or before its
  // finite-difference banner).
  void frequencyGeometry() {
    if (!freq_->complete)
      throw Error(atLine(file_, freq_->line) + ": the frequency table is cut short");
    const std::size_t before = freq_->findifLine ? *freq_->findifLine : freq_->line;
    geom_ = lastBefore(geometries_, before);
    if (!geom_)
      throw Error(file_.string() + ": no geometry before the frequency analysis at line " +
                  std::to_string(freq_->line + 1));
    // An optimisation that starts after the analysis must end where it was done.
    // An IRC (opt_type irc) is a path from the saddle point, not a new geometry.
    for (const Optimisation &o : optimisations_) {
      if (o.line < freq_->line || irc_ || movedOn_)
        continue;
      if (!o.completeLine || !o.finalGeometry ||
          largestShift(geometries_[*o.finalGeometry], *geom_) > 1.0e-4)
        movedOn_ = OptimisationAfterFrequencies{o.line, saddle_};
    }
  }

  // The energy: the highest level computed at this geometry in the same
  // electronic state (the last printed of that level), wherever it stands.
  void chooseEnergy() {
    std::vector<FoundEnergy> here;
    for (const Energy &e : energies_) {
      const Geometry &at = geometries_[e.geometry];
      if (largestShift(at, *geom_) < 1.0e-6 && at.charge == geom_->charge &&
          at.multiplicity == geom_->multiplicity)
        here.push_back(e.found);
    }
    const auto best = bestEnergy(here);
    if (!best)
      throw Error(file_.string() + ": no energy at the geometry of line " +
                  std::to_string(geom_->line + 1));
    rec_.energy = best->value;
    rec_.energyLevel = best->level;
    rec_.energyMethod = best->method;
    lastValue_ = std::max({geom_->endLine, best->line, freq_ ? freq_->endLine : 0});
    // The optimiser's closing energy, when it is the same level, is the one to trust.
    if (opt_ && opt_->finalEnergy && std::fabs(*opt_->finalEnergy - rec_.energy) < 1.0e-6) {
      rec_.energy = *opt_->finalEnergy;
      lastValue_ = std::max(lastValue_, opt_->finalEnergyLine);
    }
  }

  std::vector<Geometry> geometries_;
  std::vector<Energy> energies_;
  std::vector<Analysis> analyses_;
  std::vector<Optimisation> optimisations_;
  std::optional<std::size_t> findif_;      // latest finite-difference banner
  std::size_t mp2Until_ = 0;               // lines of a "DF-MP2 Energies" block
  std::string basis_, functional_;         // the latest an SCF printed
  std::optional<std::size_t> errorLine_;   // "Psi4 encountered an error"
  std::optional<std::size_t> finalMarker_; // "Final optimized geometry"
  bool inInput_ = false, saddle_ = false, irc_ = false;
  // What the record is made of.
  const Analysis *freq_ = nullptr;
  const Geometry *geom_ = nullptr;
  const Optimisation *opt_ = nullptr;
  std::optional<OptimisationAfterFrequencies> movedOn_;
  std::size_t lastValue_ = 0;
};

} // namespace

bool isPsi4(std::string_view text) {
  return contains(text, "Psi4: An Open-Source Ab Initio Electronic Structure Package") ||
         (contains(text, "Psi4 ") && contains(text, "Psi4 wall time for execution"));
}

QcRecord readPsi4(const std::filesystem::path &file, std::string_view text) {
  return Psi4Reader(file, text, "Psi4", "Psi4 exiting successfully").read();
}

} // namespace orvalen::qc
