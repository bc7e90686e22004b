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
//   normal modes  the projected set's "NORMAL MODE EIGENVECTORS IN CARTESIAN
//                 COORDINATES": under each "P.Frequency" row, rows "  4  -0.41302
//                 ..." of coordinate 4 (atom 2, x), one column per mode;
//                 Cartesian displacements (the mass-weighted eigenvectors
//                 divided by sqrt(mass)).
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
#include "qc/energy_precedence.hpp"
#include "qc/geometry_names.hpp"
#include "qc/output_reader.hpp"
#include "qc/output_text.hpp"
#include "qc/readers.hpp"

#include "base/error.hpp"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>

namespace orvalen::qc {

namespace {

// The atoms of an "Output coordinates" table.
struct Geometry : Atoms {
  std::size_t line = 0;    // index of its "Output coordinates" line
  std::size_t endLine = 0; // the blank line that closes its table
};

// One projected frequency set with the intensity table that follows it: its
// line is its "(Projected Frequencies expressed in cm-1)", its modes those of
// the "P.Frequency" blocks, one per frequency (none when they do not read as
// 3N rows under each block).
struct FrequencySet : FrequencyAnalysis {
  std::size_t taskLine = 0; // "NWChem Nuclear Hessian and Frequency Analysis"
  std::size_t intensityRows = 0;
  std::size_t endLine = 0; // its last row read
};

// The rows under the "P.Frequency" rows: "  4  -0.41302  -0.57055 ...", the
// coordinate's number (from 1) and one value per mode of the block.
class ModeRows {
public:
  // A "P.Frequency" row of `columns` values opens a block.
  void block(std::size_t columns) {
    closeBlock();
    first_ = modes_.size();
    modes_.resize(first_ + columns);
    rows_ = 0;
    open_ = true;
  }

  // Any other line of the set; a row of the open block or the line after it.
  void line(std::size_t i, const std::vector<std::string_view> &w) {
    if (!open_ || odd_)
      return;
    const std::size_t columns = modes_.size() - first_;
    if (w.size() != columns + 1 || parseInteger(w[0]) != static_cast<long>(rows_ + 1)) {
      if (rows_ > 0 || !w.empty())
        closeBlock(); // the blank line before the rows leaves the block open
      return;
    }
    const std::size_t axis = rows_ % 3; // row 1 is atom 1's x
    for (std::size_t c = 0; c < columns && !odd_; ++c) {
      const auto v = parseReal(w[c + 1]);
      odd_ = !v;
      if (axis == 0)
        modes_[first_ + c].emplace_back();
      if (v)
        modes_[first_ + c].back()[axis] = *v;
    }
    ++rows_;
    end_ = i;
  }

  // The modes, when every block has one row per coordinate of `count` modes
  // (moved out).
  std::vector<std::vector<Vec3>> modes(std::size_t count, std::size_t &end) {
    closeBlock();
    const bool whole = !odd_ && count > 0 && count % 3 == 0 && modes_.size() == count &&
                       std::all_of(modes_.begin(), modes_.end(),
                                   [&](const auto &m) { return m.size() == count / 3; });
    if (!whole)
      return {};
    end = end_;
    return std::move(modes_);
  }

private:
  void closeBlock() {
    // A block without rows, or whose last atom lacks a coordinate: no modes at all.
    if (open_ && (rows_ == 0 || rows_ % 3 != 0))
      odd_ = true;
    open_ = false;
  }

  std::vector<std::vector<Vec3>> modes_; // per mode, one displacement per atom
  std::size_t first_ = 0, rows_ = 0, end_ = 0;
  bool open_ = false, odd_ = false;
};

// A number the output says at a line (a multiplicity, a charge).
struct Said {
  std::size_t line;
  int value;
};

// A run of the geometry optimiser ("NWChem Geometry Optimization").
struct DriverRun {
  std::size_t line = 0;
  bool saddle = false;
  std::optional<std::size_t> convergedLine;
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
    g.z.push_back(elementOfTag(file, i, w[1], charge));
    g.r.push_back({realAt(file, i, w[3]) * scale, realAt(file, i, w[4]) * scale,
                   realAt(file, i, w[5]) * scale});
  }
  if (i >= lines.size())
    throw Error(file.string() + ": output ends inside the coordinate table at line " +
                std::to_string(header + 1));
  if (g.r.empty())
    throw Error(atLine(file, header) + ": empty coordinate table");
  g.endLine = i;
  return g;
}

// The infrared intensity table that starts at line i, after the projected
// frequencies of `s`: mode, frequency (three decimals), "||", a.u.,
// (debye/angs)**2, km/mol, arbitrary.
void readIntensities(const std::filesystem::path &file, const Lines &lines, std::size_t i,
                     FrequencySet &s) {
  s.hasIntensities = true;
  std::size_t r = i + 1;
  while (r < lines.size() && r < i + 4 && !contains(lines[r], "------ ----------"))
    ++r;
  std::vector<double> freqs;
  for (++r; r < lines.size(); ++r) {
    const auto w = splitWords(lines[r]);
    if (w.empty() || w[0].starts_with("---"))
      break;
    if (w.size() < 6 || w[2] != "||")
      throw Error(atLine(file, r) + ": unexpected row in the infrared intensity table");
    freqs.push_back(realAt(file, r, w[1]));
    s.intensities.push_back(realAt(file, r, w[5]));
    s.endLine = r;
  }
  s.intensityRows = freqs.size();
  // Same modes as the P.Frequency rows, with one decimal more: take those.
  if (freqs.size() != s.frequencies.size())
    return;
  for (std::size_t k = 0; k < freqs.size(); ++k)
    if (std::fabs(freqs[k] - s.frequencies[k]) > 0.011)
      throw Error(atLine(file, i) + ": the infrared table's frequency " + std::to_string(k + 1) +
                  " disagrees with the projected frequencies");
  s.frequencies = std::move(freqs);
}

// The projected frequencies from the header at `header`, and the intensity
// table after them when there is one. Stops at the end of the output: the
// caller sees a short set as a cut output.
FrequencySet readFrequencySet(const std::filesystem::path &file, const Lines &lines,
                              std::size_t header) {
  FrequencySet s;
  s.line = header;
  ModeRows modes;
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
      modes.block(w.size() - 1);
    } else {
      modes.line(i, w);
    }
  }
  s.normalModes = modes.modes(s.frequencies.size(), s.modesEnd);
  // The intensity table belongs to this set when it comes before the task ends.
  for (; i < lines.size(); ++i) {
    if (contains(lines[i], "Task  times") || contains(lines[i], "NWChem Input Module") ||
        contains(lines[i], "(Projected Frequencies expressed in cm-1)"))
      break;
    if (contains(lines[i], "Projected Infra Red Intensities")) {
      readIntensities(file, lines, i, s);
      break;
    }
  }
  return s;
}

// A text the output says at a line (a basis set, a functional).
struct SaidText {
  std::size_t line;
  std::string text;
};

// The basis set of a "Summary of "ao basis"" table: the description of every
// tag ("* cc-pvtz on all atoms", or a row "C  cc-pvtz  10  35  4s3p2d1f" per
// tag); when the tags differ, each as "tag:description", joined by commas
// ("O:6-31G*,H:sto-3g").
std::string readBasisSummary(const Lines &lines, std::size_t header) {
  std::size_t i = header + 1;
  while (i < lines.size() && i < header + 5 && !contains(lines[i], "---------------- ---"))
    ++i;
  std::vector<std::pair<std::string, std::string>> described; // tag, description
  for (++i; i < lines.size(); ++i) {
    const auto w = splitWords(lines[i]);
    if (w.size() < 2)
      break;
    std::size_t end = w.size() >= 5 ? w.size() - 3 : w.size();
    if (w[0] == "*")
      for (std::size_t k = 1; k < w.size(); ++k)
        if (w[k] == "on") {
          end = k;
          break;
        }
    std::string text;
    for (std::size_t k = 1; k < end; ++k)
      text += (text.empty() ? "" : " ") + std::string(w[k].substr(0, SHORT_TEXT));
    described.emplace_back(std::string(w[0].substr(0, SHORT_TEXT)), text);
  }
  const bool oneBasis = std::all_of(described.begin(), described.end(), [&](const auto &d) {
    return d.second == described.front().second;
  });
  if (described.empty() || oneBasis)
    return described.empty() ? std::string() : described.front().second.substr(0, SHORT_TEXT);
  std::string basis;
  for (const auto &[tag, text] : described)
    basis.append(basis.empty() ? "" : ",").append(tag).append(":").append(text);
  return basis.substr(0, SHORT_TEXT);
}

// The last of `said` printed before line `before`; empty when none was.
std::string lastTextBefore(const std::vector<SaidText> &said, std::size_t before) {
  const SaidText *last = lastBefore(said, before);
  return last ? last->text : std::string();
}

// The lines that end in an energy, and its method.
constexpr struct {
  std::string_view text, level;
} ENERGY_LINES[] = {
    {"Total SCF energy =", "SCF"},
    {"Total DFT energy =", "DFT"},
    {"Total MP2 energy", "MP2"},
    {"Total CCSD energy:", "CCSD"},
    {"CCSD total energy / hartree", "CCSD"}, // the tensor contraction engine
    {"Total CCSD(T) energy:", "CCSD(T)"},
    {"CCSD(T) total energy / hartree", "CCSD(T)"},
};

// The walk through one output: what each line says is gathered first, with
// the line it stands on; the values of the record are chosen from it after.
class NwchemReader : public OutputReader {
public:
  using OutputReader::OutputReader;

private:
  std::size_t line(std::size_t i) override {
    // Most lines are rows of numbers: words are split only on a line that
    // holds one of the texts looked for.
    std::vector<std::string_view> w;
    if (!structure(i) && !energy(i, w) && !state(i, w))
      progress(i, w);
    return i;
  }

  RecordParts parts() override {
    errorStop();
    chooseGeometry();
    chooseEnergy();
    chooseState();
    if (symmetryBreaking_ > 0)
      rec_.warnings.push_back("NWChem warned of spatial symmetry breaking " +
                              std::to_string(symmetryBreaking_) +
                              " times: the SCF state may be a symmetry-broken, higher one; "
                              "rerun with \"noautosym\" in the geometry block");
    std::optional<FrequencyAnalysis> analysis;
    if (freq_) // the last set, whose modes go to the record and nowhere else
      analysis = std::move(static_cast<FrequencyAnalysis &>(sets_.back()));
    return {*geom_, std::move(analysis), movedOn_, lastValue_};
  }

  // Geometries, tasks, frequency sets and optimiser runs.
  bool structure(std::size_t i) {
    const std::string_view line = lines_[i];
    if (contains(line, "Output coordinates in angstroms") ||
        contains(line, "Output coordinates in a.u.")) {
      geometries_.push_back(readGeometry(file_, lines_, i));
    } else if (contains(line, "NWChem Input Module")) {
      inPathTask_ = false; // a new task starts
    } else if (contains(line, "IRC Optimization")) {
      inPathTask_ = true; // "Gonzalez & Schlegel IRC Optimization" of a mepgs task
    } else if (contains(line, "NWChem Nuclear Hessian and Frequency Analysis")) {
      // An IRC computes its own Hessian to start from and analyses no frequencies.
      if (!inPathTask_)
        frequencyTasks_.push_back(i);
    } else if (contains(line, "(Projected Frequencies expressed in cm-1)")) {
      FrequencySet s = readFrequencySet(file_, lines_, i);
      s.taskLine = frequencyTasks_.empty() ? i : frequencyTasks_.back();
      sets_.push_back(std::move(s));
    } else if (contains(line, "NWChem Geometry Optimization")) {
      drivers_.push_back({i, false, std::nullopt});
    } else if (contains(line, "Transition State Search") && !drivers_.empty()) {
      drivers_.back().saddle = true;
    } else if (contains(line, "Summary of \"ao basis\"")) {
      basisSets_.push_back({i, readBasisSummary(lines_, i)});
    } else if (contains(line, " Method XC Functional") || contains(line, " Method XC Potential")) {
      // "BHLYP Method XC Functional" under "XC Information": the functional's name.
      const auto w = splitWords(line);
      functionals_.push_back({i, std::string(w.front().substr(0, SHORT_TEXT))});
    } else {
      return false;
    }
    return true;
  }

  // An energy, with its method and line.
  bool energy(std::size_t i, std::vector<std::string_view> &w) {
    for (const auto &[text, level] : ENERGY_LINES)
      if (holdsText(lines_[i], text, w)) {
        energies_.push_back({std::string(level), realAt(file_, i, w.back()), i});
        return true;
      }
    return false;
  }

  // Multiplicities and charges, each with its line.
  bool state(std::size_t i, std::vector<std::string_view> &w) {
    const std::string_view line = lines_[i];
    const auto holds = [&](std::string_view text) { return holdsText(line, text, w); };
    if (holds("Spin multiplicity:")) {
      if (const auto m = parseInteger(w.back()))
        spinMultiplicity_.push_back({i, static_cast<int>(*m)});
    } else if (holds("open shells") && w.size() == 4 && w[0] == "open" && w[2] == "=") {
      if (const auto n = parseInteger(w[3]))
        openShells_.push_back({i, static_cast<int>(*n)});
    } else if (holds("electrons =") && w.size() == 4 && (w[0] == "alpha" || w[0] == "beta") &&
               w[1] == "electrons") {
      // UHF: the unpaired electrons are alpha minus beta.
      if (const auto n = parseInteger(w[3]))
        (w[0] == "alpha" ? alphaElectrons_ : betaElectrons_).push_back({i, static_cast<int>(*n)});
    } else if ((holds("Charge") && w.size() == 3 && w[0] == "Charge" && w[1] == ":") ||
               (holds("charge") && w.size() == 3 && w[0] == "charge" && w[1] == "=")) {
      // "Charge : 0" (DFT), "charge = 0.00" (SCF): a whole number either way.
      if (const auto q = parseReal(w[2]);
          q && std::fabs(*q - std::round(*q)) < 1.0e-6 && std::fabs(*q) < 1000.0)
        charges_.push_back({i, static_cast<int>(std::lround(*q))});
    } else {
      return false;
    }
    return true;
  }

  // Convergence, warnings, the version, the ends of tasks and of the run.
  void progress(std::size_t i, std::vector<std::string_view> &w) {
    const std::string_view line = lines_[i];
    const auto holds = [&](std::string_view text) { return holdsText(line, text, w); };
    if (holds("Optimization converged") && w.size() == 2 && w[0] == "Optimization" &&
        !drivers_.empty()) {
      drivers_.back().convergedLine = i;
    } else if (contains(line, "spatial symmetry breaking")) {
      ++symmetryBreaking_;
    } else if (holds("nwchem branch") && w.size() >= 4 && w[0] == "nwchem" && w[2] == "=") {
      rec_.version = std::string(w[3].substr(0, SHORT_TEXT));
    } else if (holds("Task  times") && w[0] == "Task") {
      steps_.endAt(i);
    } else if (holds("Total times") && w[0] == "Total") {
      steps_.finished = true;
    } else if (contains(line, "current input line :") && i >= 3 && !errorLine_) {
      // An error stop prints its message in a dashed box just above this line.
      errorLine_ = i - 3;
    }
  }

  // A stop after the last frequency analysis (an IRC or scan that failed)
  // leaves the frequencies whole; any other stop leaves nothing to trust.
  void errorStop() {
    if (!errorLine_)
      return;
    // The message, without the error code at its far right.
    auto w = splitWords(lines_[*errorLine_]);
    if (w.size() > 1 && parseInteger(w.back()))
      w.pop_back();
    for (const auto word : w)
      errorMessage_ += (errorMessage_.empty() ? "" : " ") + std::string(word.substr(0, SHORT_TEXT));
    if (sets_.empty() || *errorLine_ < sets_.back().line)
      throw Error(atLine(file_, *errorLine_) + ": NWChem stopped with an error (" +
                  inQuotes(errorMessage_) + ")");
    steps_.endAt(*errorLine_, false);
    steps_.stopped = "NWChem stopped with an error after the frequency analysis (line " +
                     std::to_string(*errorLine_ + 1) + ": " + inQuotes(errorMessage_) + ")";
  }

  // The geometry of the last frequency set, or of the optimisation.
  void chooseGeometry() {
    if (geometries_.empty())
      throw Error(file_.string() + ": no geometry (no \"Output coordinates\" table)");
    // A frequency task after the last complete projected set was cut short.
    freq_ = sets_.empty() ? nullptr : &sets_.back();
    if (!frequencyTasks_.empty() && (!freq_ || freq_->taskLine < frequencyTasks_.back()))
      throw Error(file_.string() + ": the frequency analysis that starts at line " +
                  std::to_string(frequencyTasks_.back() + 1) +
                  " has no projected frequencies: the output is cut short");
    if (freq_) {
      frequencyGeometry();
    } else {
      // No frequencies: the geometry an optimisation converged to, else the last.
      geom_ = &geometries_.back();
      for (const DriverRun &d : drivers_)
        if (d.convergedLine)
          for (const Geometry &g : geometries_)
            if (g.line > *d.convergedLine) {
              geom_ = &g;
              break;
            }
    }
    // The optimisation that led to this geometry, if any.
    driver_ = lastBefore(drivers_, geom_->line);
    rec_.optimisation = driver_ != nullptr;
    if (driver_) {
      rec_.saddleSearch = driver_->saddle;
      rec_.optimisationConverged = driver_->convergedLine.has_value();
    }
  }

  // The frequency task works at the last geometry printed before it.
  void frequencyGeometry() {
    geom_ = lastBefore(geometries_, freq_->taskLine);
    if (!geom_)
      throw Error(file_.string() + ": no geometry before the frequency analysis at line " +
                  std::to_string(freq_->taskLine + 1));
    const std::size_t n3 = 3 * geom_->r.size();
    if (freq_->frequencies.size() != n3)
      throw Error(atLine(file_, freq_->line) + ": the projected frequency table has " +
                  std::to_string(freq_->frequencies.size()) + " values where " +
                  std::to_string(geom_->r.size()) + " atoms need " + std::to_string(n3) +
                  ": the output is cut short");
    if (freq_->hasIntensities && freq_->intensityRows != n3)
      throw Error(atLine(file_, freq_->line) + ": the infrared intensity table has " +
                  std::to_string(freq_->intensityRows) + " rows where " + std::to_string(n3) +
                  " are needed: the output is cut short");
    // An optimisation that starts after the frequencies must end where they were
    // computed; a saddle search that moved on leaves them at its start geometry.
    for (const DriverRun &d : drivers_) {
      if (d.line < freq_->line || movedOn_)
        continue;
      const Geometry *last = nullptr;
      for (const Geometry &g : geometries_)
        if (g.line > d.line)
          last = &g;
      if (!d.convergedLine || !last || largestShift(*last, *geom_) > 1.0e-4)
        movedOn_ = OptimisationAfterFrequencies{d.line, d.saddle};
    }
  }

  // Energy at that geometry: before "Optimization converged" when the
  // optimiser stopped there (the freq task only repeats it, or prints
  // displaced geometries); otherwise the first of the highest level printed at it.
  void chooseEnergy() {
    if (driver_ && driver_->convergedLine && *driver_->convergedLine < geom_->line) {
      const Geometry *step = lastBefore(geometries_, *driver_->convergedLine);
      const std::size_t stepGeometry = step ? step->line : driver_->line;
      energy_ = energyBetween(stepGeometry, *driver_->convergedLine, Printed::Last);
    }
    if (!energy_) {
      std::size_t end = lines_.size();
      for (const Geometry &g : geometries_)
        if (g.line > geom_->line) {
          end = g.line;
          break;
        }
      energy_ = energyBetween(geom_->line, freq_ ? freq_->line : end,
                              freq_ ? Printed::First : Printed::Last);
    }
    if (!energy_)
      throw Error(file_.string() + ": no energy at the geometry of line " +
                  std::to_string(geom_->line + 1));
    rec_.energy = energy_->value;
    rec_.energyLevel = energy_->level;
    // The method as the output names it: the functional's name of a DFT energy
    // ("DFT" when it names none), HF of an SCF one, with the basis set in use.
    std::string method = energy_->level;
    if (method == "DFT") {
      const std::string functional = lastTextBefore(functionals_, energy_->line);
      method = functional.empty() ? method : functional;
    } else if (method == "SCF") {
      method = "HF";
    }
    rec_.energyMethod = methodWithBasis(method, lastTextBefore(basisSets_, energy_->line));
  }

  // The energy at one geometry: the best printed in lines [from, to).
  std::optional<FoundEnergy> energyBetween(std::size_t from, std::size_t to, Printed which) const {
    std::vector<FoundEnergy> between;
    std::copy_if(energies_.begin(), energies_.end(), std::back_inserter(between),
                 [&](const FoundEnergy &e) { return e.line >= from && e.line < to; });
    return bestEnergy(between, which);
  }

  // The charge and multiplicity of the SCF that goes with the frequencies
  // (or the energy): a later task may be of another state.
  void chooseState() {
    const std::size_t valuesLine = freq_ ? freq_->line : energy_->line;
    lastValue_ = std::max({geom_->endLine, energy_->line, freq_ ? freq_->endLine : 0});
    const auto use = [&](const Said *said) {
      if (said)
        lastValue_ = std::max(lastValue_, said->line);
      return said;
    };
    const auto alpha = lastBefore(alphaElectrons_, valuesLine);
    const auto beta = lastBefore(betaElectrons_, valuesLine);
    if (const auto m = use(lastBefore(spinMultiplicity_, valuesLine))) {
      rec_.multiplicity = m->value;
    } else if (alpha && beta) {
      rec_.multiplicity = use(alpha)->value - use(beta)->value + 1;
    } else if (const auto open = use(lastBefore(openShells_, valuesLine))) {
      rec_.multiplicity = open->value + 1;
    }
    if (const auto q = use(lastBefore(charges_, valuesLine)))
      rec_.charge = q->value;
  }

  std::vector<Geometry> geometries_;
  std::vector<FrequencySet> sets_;
  std::vector<DriverRun> drivers_;
  std::vector<std::size_t> frequencyTasks_;
  std::vector<FoundEnergy> energies_;
  std::vector<Said> spinMultiplicity_, openShells_, alphaElectrons_, betaElectrons_, charges_;
  std::vector<SaidText> basisSets_, functionals_;
  std::size_t symmetryBreaking_ = 0;
  bool inPathTask_ = false;
  std::optional<std::size_t> errorLine_; // the message of an NWChem stop
  std::string errorMessage_;
  // What the record is made of.
  const FrequencySet *freq_ = nullptr;
  const Geometry *geom_ = nullptr;
  const DriverRun *driver_ = nullptr;
  std::optional<FoundEnergy> energy_;
  std::optional<OptimisationAfterFrequencies> movedOn_;
  std::size_t lastValue_ = 0;
};

} // namespace

bool isNwchem(std::string_view text) {
  return contains(text, "Northwest Computational Chemistry Package") ||
         contains(text, "nwchem branch");
}

QcRecord readNwchem(const std::filesystem::path &file, std::string_view text) {
  return NwchemReader(file, text, "NWChem", "Total times").read();
}

} // namespace orvalen::qc
