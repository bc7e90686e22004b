// Reader of ORCA 4.x and 5.x output (6.x reads the same). "CARTESIAN
// COORDINATES (ANGSTROEM)" blocks give the current geometry, "FINAL SINGLE
// POINT ENERGY" the energy at the highest level the job computed, "Total
// Charge ...." and "Mult ...." the charge and multiplicity. The "VIBRATIONAL
// FREQUENCIES" list has all 3N modes, the translations and rotations printed
// as 0.00 and imaginary modes negative; the "IR SPECTRUM" table gives the
// intensities by mode number (km/mol: the "Int" column from ORCA 5 on, the
// "T**2" column before it). The "NORMAL MODES" table between them gives the
// Cartesian displacements of the same 3N modes: blocks of six columns (ten
// from ORCA 6 on, under a row of symmetry labels, a blank line between
// blocks), 3N rows each. As for Gaussian, an optimisation that moves on
// after the frequencies is refused, an IRC or a scan after them is not. A
// compound input ($new_job) runs its jobs one after the other, each opened by
// a "JOB NUMBER" banner; ORCA prints "ORCA TERMINATED NORMALLY" once, at the
// end of the run, and stops the whole run when a job fails, so the banner of
// the next job closes the one before it. Every value is the one of the job
// that computed the frequencies (a later job may be of another multiplicity).
// Within a job, the thermochemistry after the frequencies ("G-E(el)", its last
// line) ends the frequency step: an output cut in an IRC after it keeps them.
#include "base/error.hpp"
#include "qc/energy_precedence.hpp"
#include "qc/geometry_names.hpp"
#include "qc/output_reader.hpp"
#include "qc/output_text.hpp"
#include "qc/readers.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
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

// What is current as the output goes; a frequency analysis takes a snapshot.
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
  // The SCF method as "SCF SETTINGS" names it and the basis set of the job.
  std::string hamiltonian; // "HF", "DFT", "NDDO" (semiempirical: no basis set)
  std::string exchange, correlation, hfExchange; // "B88", "LYP", "0.200000"
  std::string basis;                             // "def2-TZVP"
  std::size_t lastLine() const {
    return std::max({geometryEnd, std::isfinite(energy) ? energyLine : 0, stateLine, levelLine});
  }
};

// The walk through one output, a handler for each kind of line it reads.
class OrcaReader : public OutputReader {
public:
  using OutputReader::OutputReader;

private:
  // Reads line i; returns the last line it used.
  std::size_t line(std::size_t i) override {
    const std::string_view text = lines_[i];
    if (text.rfind('|', 0) == 0 && contains(text, ">")) { // the input, echoed
      const std::string input = lowerCase(text.substr(0, SHORT_TEXT));
      if (contains(input, "optts") || contains(input, "ts_search"))
        rec_.saddleSearch = true;
      return i;
    }
    const auto words = splitWords(text);
    if (words.empty())
      return i;
    const std::string_view first = words[0];
    if (rec_.version.empty() && first == "Program" && words.size() > 2 && words[1] == "Version") {
      rec_.version = std::string(words[2].substr(0, SHORT_TEXT));
    } else if (first == "CARTESIAN" && contains(text, "CARTESIAN COORDINATES (ANGSTROEM)")) {
      return coordinates(i);
    } else if (first == "VIBRATIONAL" && words.size() == 2 && words[1] == "FREQUENCIES") {
      return frequencies(i);
    } else if (first == "NORMAL" && words.size() == 2 && words[1] == "MODES" &&
               seen_.haveFrequencies) {
      return normalModes(i);
    } else if (first == "IR" && words.size() == 2 && words[1] == "SPECTRUM" &&
               seen_.haveFrequencies) {
      return spectrum(i);
    } else if (!state(i, words)) {
      progress(i, words);
    }
    return i;
  }

  // "CARTESIAN COORDINATES (ANGSTROEM)", a title and dashes, then "El x y z"
  // rows up to a blank line.
  std::size_t coordinates(std::size_t i) {
    Atoms g;
    std::size_t k = i + 2;
    for (; k < lines_.size(); ++k) {
      const auto w = splitWords(lines_[k]);
      if (w.empty())
        break;
      if (w.size() != 4)
        throw Error(atLine(file_, k) + ": expected \"element x y z\", found " +
                    inQuotes(lines_[k]));
      const auto z = elementOfLabel(w[0], AtomLabel::Symbol);
      if (!z)
        throw Error(atLine(file_, k) + ": " + inQuotes(w[0]) + " is not an element");
      g.z.push_back(*z);
      g.r.push_back({realAt(file_, k, w[1]), realAt(file_, k, w[2]), realAt(file_, k, w[3])});
    }
    if (k >= lines_.size())
      throw Error(file_.string() + ": ends inside a coordinates block (truncated output)");
    if (!sameGeometry(g, seen_.current.geometry))
      seen_.current.energy = std::nan("");
    seen_.optimisedTo(g, i);
    seen_.current.geometry = std::move(g);
    seen_.current.geometryEnd = k;
    return k;
  }

  // The energy, charge, multiplicity and method of the current job.
  bool state(std::size_t i, const std::vector<std::string_view> &words) {
    const std::string_view first = words[0], text = lines_[i];
    if (first == "FINAL" && contains(text, "FINAL SINGLE POINT ENERGY") && words.size() == 5) {
      seen_.current.energy = realAt(file_, i, words[4]);
      seen_.current.energyLine = i;
    } else if (first == "Multiplicity" && words.size() == 4 && words[1] == "Mult") {
      if (const auto m = parseInteger(words[3])) {
        seen_.current.multiplicity = static_cast<int>(*m);
        seen_.current.stateLine = i;
      }
    } else if (first == "Total" && words.size() == 5 && words[1] == "Charge" &&
               words[2] == "Charge") {
      if (const auto q = parseInteger(words[4])) {
        seen_.current.charge = static_cast<int>(*q);
        seen_.current.stateLine = i;
      }
    } else if (first == "Rotational" && words.size() >= 7 && words[1] == "constants") {
      std::vector<double> b;
      const bool mhz = words[3] == "MHz";
      for (std::size_t k = words.size() - 3; k < words.size(); ++k)
        if (const auto v = parseReal(words[k]))
          b.push_back(mhz ? *v / 1000.0 : *v * CM_TO_GHZ);
      if (b.size() == 3)
        seen_.current.rotational = b;
    } else {
      return level(i, words);
    }
    return true;
  }

  // The method the energy belongs to: the highest the job printed.
  bool level(std::size_t i, const std::vector<std::string_view> &words) {
    const std::string_view first = words[0], text = lines_[i];
    std::string_view found;
    if (first == "Density" && contains(text, "Method          .... DFT")) {
      found = "DFT";
      method(words);
    } else if (first == "E(MP2)" || (first == "MP2" && contains(text, "MP2 TOTAL ENERGY"))) {
      found = "MP2";
    } else if (first == "E(CCSD)") {
      found = "CCSD";
    } else if (first == "E(CCSD(T))") {
      found = "CCSD(T)";
    } else {
      return method(words);
    }
    seen_.current.level = std::string(higherLevel(seen_.current.level, found));
    seen_.current.levelLine = i;
    return true;
  }

  // "SCF SETTINGS": the Hamiltonian, the functional's exchange and correlation
  // parts and its share of Hartree-Fock exchange; the basis set.
  bool method(const std::vector<std::string_view> &words) {
    const auto after = [&](std::size_t k) { return std::string(words[k].substr(0, SHORT_TEXT)); };
    const std::size_t n = words.size();
    State &s = seen_.current;
    if (n >= 4 && words[n - 3] == "Method" && words[n - 2] == "....") {
      // "Ab initio Hamiltonian  Method .... Hartree-Fock(GTOs)", "ZDO-Hamiltonian
      // Method .... NDDO", "Density Functional  Method .... DFT(GTOs)"
      s.hamiltonian = words[n - 1].starts_with("Hartree-Fock") ? "HF"
                      : words[n - 1].starts_with("DFT")        ? "DFT"
                                                               : after(n - 1);
      s.exchange.clear();
      s.correlation.clear();
      s.hfExchange.clear();
    } else if (n == 5 && words[0] == "Exchange" && words[1] == "Functional" && words[3] == "....") {
      s.exchange = after(4);
    } else if (n == 5 && words[0] == "Correlation" && words[1] == "Functional" &&
               words[3] == "....") {
      s.correlation = after(4);
    } else if (n == 6 && words[1] == "HF" && words[3] == "ScalHFX" && words[4] == "....") {
      s.hfExchange = after(5);
    } else if (n == 6 && words[0] == "Your" && words[2] == "utilizes" && words[4] == "basis:") {
      s.basis = after(5);
    } else {
      return false;
    }
    return true;
  }

  // The method as "SCF SETTINGS" names it: the functional's exchange part,
  // joined to its correlation part when they differ ("B88-LYP(20% HF)").
  static std::string scfMethod(const State &s) {
    if (s.hamiltonian != "DFT" || s.exchange.empty())
      return s.hamiltonian;
    if (s.correlation.empty() || s.correlation == s.exchange)
      return s.exchange;
    std::string name = s.exchange + "-" + s.correlation;
    if (const auto share = parseReal(s.hfExchange); share && *share > 0.0) {
      char percent[32];
      std::snprintf(percent, sizeof percent, "(%.4g%% HF)", 100.0 * *share);
      name += percent;
    }
    return name;
  }

  // Optimisations, paths after the frequencies, and the ends of jobs.
  void progress(std::size_t i, const std::vector<std::string_view> &words) {
    const std::string_view first = words[0], text = lines_[i];
    if (first == "*" && contains(text, "Geometry Optimization Run")) {
      rec_.optimisation = true;
    } else if (contains(text, "THE OPTIMIZATION HAS CONVERGED")) {
      converged_ = true;
    } else if (contains(text, "IRC PATH SUMMARY") || contains(text, "RELAXED SURFACE SCAN") ||
               contains(text, "Intrinsic Reaction Coordinate")) {
      seen_.path();
    } else if (first.starts_with("$$$") && words.size() >= 3 && words[1] == "JOB" &&
               words[2] == "NUMBER") {
      // A job of a compound input starts: the one before it ended. Its
      // method is its own.
      steps_.endAt(i);
      seen_.current.level.clear();
    } else if (first == "G-E(el)") {
      // The last line of the thermochemistry ends the frequency step: an IRC
      // or a scan that follows it in the same job is a step of its own.
      steps_.endAt(i);
    } else if (contains(text, "ORCA TERMINATED NORMALLY")) {
      steps_.endAt(i);
      steps_.finished = true;
    } else if (contains(text, "ORCA finished by error termination")) {
      steps_.endAt(i, false);
      steps_.stopped = "ORCA stopped with an error at line " + std::to_string(i + 1);
    }
  }

  // "VIBRATIONAL FREQUENCIES": rows "  6:   1613.10 cm**-1", modes from 0.
  std::size_t frequencies(std::size_t i) {
    seen_.frequenciesAt(i);
    freqs_.clear();
    intensityOfMode_.clear();
    modes_.clear();
    modesEnd_ = 0;
    std::size_t k = i + 1;
    for (; k < lines_.size(); ++k) {
      const auto w = splitWords(lines_[k]);
      if (w.empty()) {
        if (!freqs_.empty())
          break;
        continue;
      }
      if (w.size() < 3 || w[0].back() != ':' || w[2] != "cm**-1") {
        if (!freqs_.empty())
          break;
        continue;
      }
      if (w[0] != std::to_string(freqs_.size()) + ":")
        throw Error(atLine(file_, k) + ": expected mode " + std::to_string(freqs_.size()) +
                    " of the frequency list, found " + inQuotes(lines_[k]));
      freqs_.push_back(realAt(file_, k, w[1]));
      seen_.lastRow = k;
    }
    return k;
  }

  // "NORMAL MODES": after its explanation, blocks headed by their mode
  // numbers (and, from ORCA 6 on, a row of symmetry labels), then rows
  // "  4   0.422505  0.588252 ..." of coordinate 4 (atom 2, y). Returns the
  // last line of the table; a table that does not read as one leaves no modes.
  std::size_t normalModes(std::size_t i) {
    const std::size_t rows = 3 * seen_.atFrequencies.geometry.z.size();
    std::vector<std::vector<Vec3>> modes;
    std::size_t k = i + 1, last = i;
    // The first block's head stands within the explanation's few lines.
    while (k < lines_.size() && k < i + 12 && !isModeHead(splitWords(lines_[k]), modes.size()))
      ++k;
    bool whole = false; // every block read
    while (rows > 0 && !whole && k < lines_.size() && modeBlock(k, rows, modes, last)) {
      whole = modes.size() == rows;
      // ORCA 6 puts a blank line between blocks.
      while (!whole && k < lines_.size() && splitWords(lines_[k]).empty())
        ++k;
    }
    if (whole) {
      modes_ = std::move(modes);
      modesEnd_ = last;
    }
    return last;
  }

  // The head of the block of the modes from `first`: their numbers.
  static bool isModeHead(const std::vector<std::string_view> &w, std::size_t first) {
    return !w.empty() && parseInteger(w[0]) == static_cast<long>(first) &&
           std::all_of(w.begin(), w.end(), [](auto x) { return parseInteger(x).has_value(); });
  }

  // The block of the normal modes whose head is line k, of `rows` rows: its
  // modes added to `modes`, k moved past it, `last` its last row. False when
  // it does not read as one.
  bool modeBlock(std::size_t &k, std::size_t rows, std::vector<std::vector<Vec3>> &modes,
                 std::size_t &last) const {
    const auto head = splitWords(lines_[k]);
    const std::size_t first = modes.size(), columns = head.size();
    if (!isModeHead(head, first) || first + columns > rows)
      return false;
    ++k;
    // ORCA 6: "1-Au  1-Bu ...", a label per column.
    if (const auto labels = k < lines_.size() ? splitWords(lines_[k]) : head;
        labels.size() == columns && !parseInteger(labels[0]))
      ++k;
    modes.resize(first + columns); // an atom's displacement added with its x row
    std::size_t row = 0;
    for (; row < rows && k < lines_.size(); ++row, ++k) {
      if (!modeRow(splitWords(lines_[k]), row, first, modes))
        break;
      last = k;
    }
    return row == rows;
  }

  // Row `row` of a block ("coordinate, one value per column"): its values
  // into the modes from `first`. False when the line is not that row.
  static bool modeRow(const std::vector<std::string_view> &w, std::size_t row, std::size_t first,
                      std::vector<std::vector<Vec3>> &modes) {
    const std::size_t columns = modes.size() - first;
    if (w.size() != columns + 1 || parseInteger(w[0]) != static_cast<long>(row))
      return false;
    if (row % 3 == 0)
      for (std::size_t c = 0; c < columns; ++c)
        modes[first + c].emplace_back();
    for (std::size_t c = 0; c < columns; ++c) {
      const auto v = parseReal(w[c + 1]);
      if (!v)
        return false;
      modes[first + c].back()[row % 3] = *v;
    }
    return true;
  }

  // "IR SPECTRUM": ORCA 5 and later "Mode freq eps Int T**2 ...", ORCA 4
  // "Mode freq T**2 ...": the intensity by mode number.
  std::size_t spectrum(std::size_t i) {
    std::size_t column = 2, k = i + 1;
    for (; k < lines_.size() && k < i + 6; ++k)
      if (contains(lines_[k], "Mode")) {
        column = contains(lines_[k], " Int ") ? 3 : 2;
        break;
      }
    for (++k; k < lines_.size(); ++k) {
      const auto w = splitWords(lines_[k]);
      if (w.empty()) {
        if (!intensityOfMode_.empty())
          break;
        continue;
      }
      if (w[0].rfind("---", 0) == 0 || w[0] == "cm**-1")
        continue;
      const auto mode = w[0].back() == ':' && w.size() > column
                            ? parseInteger(w[0].substr(0, w[0].size() - 1))
                            : std::nullopt;
      if (!mode)
        break;
      intensityOfMode_[*mode] = realAt(file_, k, w[column]);
      seen_.lastRow = k;
    }
    return k;
  }

  RecordParts parts() override {
    if (seen_.current.geometry.z.empty())
      throw Error(file_.string() + ": no geometry found");
    const State &used = seen_.used();
    rec_.energy = used.energy;
    rec_.energyLevel = used.level.empty() ? "SCF" : used.level;
    if (std::isfinite(used.energy)) {
      const bool scf = used.level.empty() || used.level == "DFT";
      const std::string method = scf ? scfMethod(used) : used.level;
      // A semiempirical Hamiltonian has its own minimal basis, whatever ORCA says.
      rec_.energyMethod = methodWithBasis(
          method, scf && used.hamiltonian != "HF" && used.hamiltonian != "DFT" ? std::string()
                                                                               : used.basis);
    }
    rec_.multiplicity = used.multiplicity;
    rec_.charge = used.charge;
    rec_.rotationalConstantsGHz = used.rotational;
    rec_.optimisationConverged = !rec_.optimisation || converged_;

    std::optional<OptimisationAfterFrequencies> movedOn;
    if (rec_.optimisation)
      movedOn = seen_.leftGeometry(rec_.saddleSearch);
    return {used.geometry, analysis(used.geometry), movedOn, seen_.lastValue()};
  }

  // ORCA lists all 3N modes, the translations and rotations as 0.00.
  std::optional<FrequencyAnalysis> analysis(const Atoms &geometry) {
    if (!seen_.haveFrequencies)
      return std::nullopt;
    const std::size_t atoms = geometry.z.size();
    if (freqs_.size() != 3 * atoms)
      throw Error(file_.string() + ": the frequency list has " + std::to_string(freqs_.size()) +
                  " of the " + std::to_string(3 * atoms) + " modes of " + std::to_string(atoms) +
                  " atoms (truncated output?)");
    std::vector<double> intens(freqs_.size(), 0.0);
    for (const auto &[mode, value] : intensityOfMode_)
      if (mode >= 0 && static_cast<std::size_t>(mode) < intens.size())
        intens[static_cast<std::size_t>(mode)] = value;
    FrequencyAnalysis a{seen_.frequenciesLine, std::move(freqs_), std::move(intens),
                        !intensityOfMode_.empty()};
    a.normalModes = std::move(modes_);
    a.modesEnd = modesEnd_;
    return a;
  }

  Snapshot<State> seen_;
  bool converged_ = false;
  std::vector<double> freqs_;
  std::map<long, double> intensityOfMode_;
  std::vector<std::vector<Vec3>> modes_; // of the frequency list, all 3N
  std::size_t modesEnd_ = 0;
};

} // namespace

bool isOrca(std::string_view text) {
  return contains(text, "* O   R   C   A *");
}

QcRecord readOrca(const std::filesystem::path &file, std::string_view text) {
  return OrcaReader(file, text, "ORCA", "ORCA TERMINATED NORMALLY").read();
}

} // namespace orvalen::qc
