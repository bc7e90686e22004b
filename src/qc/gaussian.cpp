// Reader of Gaussian 09 and 16 output (.log/.out). Walks the output line by
// line: "Standard orientation:"/"Input orientation:" tables give the current
// geometry, "SCF Done:", "EUMP2 =", "E(Corr)=" after converged amplitudes and
// "CCSD(T)=" its energies, "Charge = q Multiplicity = m" the charge and
// multiplicity. A "Harmonic frequencies" section takes a snapshot of all of
// these: the frequencies belong to the geometry current at that moment.
// Gaussian leaves out the translations and rotations and prints imaginary
// modes negative. The normal modes are the "Atom  AN  X Y Z" rows under each
// block of three frequencies; with freq=hpmodes Gaussian first prints them
// with five decimals ("Coord Atom Element:" rows, five modes a block, one row
// per coordinate) and then the usual blocks, whose frequencies are read: the
// five-decimal modes are taken when their frequencies are those. An
// optimisation that moves on after the frequencies makes them another
// geometry's and the output is refused; the points of a path printed after
// them (an IRC, a scan) are not the molecule's geometry and change nothing.
// Each job of a Link1 chain (an opt + freq run is two) ends in "Normal
// termination of Gaussian" or "Error termination": the job that printed the
// values read must end normally.
//
// A relaxed scan (opt=modredundant) is read by the same walk: the coordinate
// marked S in the "ModRedundant input section" is scanned, and each point's
// "Optimization completed." takes the geometry and the energy current then,
// up to the end of the job that scans.
#include "base/error.hpp"
#include "qc/energy_precedence.hpp"
#include "qc/geometry_names.hpp"
#include "qc/output_reader.hpp"
#include "qc/output_text.hpp"
#include "qc/readers.hpp"
#include "qc/rotor_scan.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

namespace orvalen::qc {

namespace {

// The rows of a "Standard orientation:"/"Input orientation:" table whose title
// is line i ("centre Z type x y z" after five header lines, up to dashes) into
// `g`; the index of the closing dashes. Throws orvalen::Error for a row that
// is not one, or a table cut by the end of the output.
std::size_t readOrientation(const std::filesystem::path &file, const Lines &lines, std::size_t i,
                            Atoms &g) {
  std::size_t k = i + 5;
  for (; k < lines.size(); ++k) {
    const auto w = splitWords(lines[k]);
    if (w.empty() || w[0].rfind("---", 0) == 0)
      break;
    if (w.size() != 6 && w.size() != 5)
      throw Error(atLine(file, k) + ": expected a row of an orientation table, found " +
                  inQuotes(lines[k]));
    const auto z = parseInteger(w[1]);
    if (!z)
      throw Error(atLine(file, k) + ": cannot read " + inQuotes(w[1]) + " as an atomic number");
    g.z.push_back(static_cast<int>(*z));
    g.r.push_back({realAt(file, k, w[w.size() - 3]), realAt(file, k, w[w.size() - 2]),
                   realAt(file, k, w[w.size() - 1])});
  }
  if (k >= lines.size())
    throw Error(file.string() + ": ends inside an orientation table (truncated output)");
  return k;
}

// The energies printed at the current geometry, in their order.
struct Energies {
  std::vector<FoundEnergy> found; // their methods without the basis set
  std::string scfMethod;          // "B3LYP", "HF": the name in "E(RB3LYP)" without its reference

  std::size_t line() const { return found.empty() ? 0 : found.back().line; }

  // The best of them, with its basis set ("Standard basis:").
  void into(QcRecord &rec, std::string_view basis) const {
    const auto best = bestEnergy(found);
    if (!best)
      return;
    rec.energy = best->value;
    rec.energyLevel = best->level;
    rec.energyMethod = methodWithBasis(best->method, basis);
  }
};

// "SCF Done:  E(RB3LYP) =  -158.45  A.U. ..." : Hartree-Fock methods are "SCF",
// anything else a density functional.
std::string scfLevelOf(std::string_view method) {
  for (const char *hf : {"E(RHF)", "E(UHF)", "E(ROHF)"})
    if (method == hf)
      return "SCF";
  return "DFT";
}

// The number after `key` on the line ("E(Corr)= -75.01"), or after the "="
// that follows it ("EUMP2 = -0.75002282127453D+02"), if the word there reads
// as one.
std::optional<double> valueAfter(const std::vector<std::string_view> &words, std::string_view key) {
  for (std::size_t i = 0; i + 1 < words.size(); ++i)
    if (words[i] == key) {
      const std::size_t at = words[i + 1] == "=" ? i + 2 : i + 1;
      return at < words.size() ? parseReal(words[at]) : std::nullopt;
    }
  return std::nullopt;
}

// The normal modes of one frequency section, block by block.
struct Modes {
  std::vector<double> frequencies; // of the five-decimal blocks, which name their modes
  std::vector<std::vector<Vec3>> modes;
  std::size_t end = 0; // the last row read
  bool odd = false;    // a block did not read as one: no modes

  // The five-decimal blocks' frequencies are the ones of the usual blocks.
  bool sameFrequencies(const std::vector<double> &freqs) const {
    if (odd || frequencies.size() != freqs.size() || freqs.empty())
      return false;
    for (std::size_t k = 0; k < freqs.size(); ++k)
      if (std::fabs(frequencies[k] - freqs[k]) > 0.00051)
        return false;
    return true;
  }

  // Row `row` of the block of `count` modes from `first`, whose atom has the
  // atomic number `z`: "1   6   0.16 0.00 0.00 ..." (atom, atomic number, x y
  // z of each mode), or with `hp` "3  1  6  0.08012 ..." (coordinate, atom,
  // atomic number, one value of each mode). False when the line is not that
  // row; a value that does not read leaves the section without modes.
  bool row(const std::vector<std::string_view> &w, std::size_t row, std::size_t first,
           std::size_t count, bool hp, int z) {
    const std::size_t atom = hp ? row / 3 : row, axis = hp ? row % 3 : 0;
    const std::size_t lead = hp ? 3 : 2; // words before the values
    if (w.size() != lead + count * (hp ? 1 : 3) ||
        parseInteger(w[0]) != static_cast<long>(hp ? axis + 1 : atom + 1) ||
        (hp && parseInteger(w[1]) != static_cast<long>(atom + 1)) ||
        parseInteger(w[lead - 1]) != static_cast<long>(z))
      return false;
    if (axis == 0) // an atom's displacement added with its first row
      for (std::size_t c = 0; c < count; ++c)
        modes[first + c].emplace_back();
    for (std::size_t c = lead; c < w.size() && !odd; ++c) {
      const auto v = parseReal(w[c]);
      const std::size_t mode = hp ? c - lead : (c - lead) / 3;
      if (v)
        modes[first + mode].back()[hp ? axis : (c - lead) % 3] = *v;
      odd = !v;
    }
    return true;
  }
};

// What is current as the output goes; a frequency analysis takes a snapshot.
struct State {
  Atoms geometry;
  std::size_t geometryEnd = 0; // the dashes that close its table
  Energies energies;
  std::vector<double> rotational;
  int multiplicity = 0;
  std::optional<int> charge;
  std::size_t chargeLine = 0;
  std::string basis; // "6-31G(d)" of "Standard basis: 6-31G(d) (6D, 7F)"
  std::size_t lastLine() const {
    return std::max({geometryEnd, energies.line(), multiplicity > 0 ? chargeLine : 0});
  }
};

// The walk through one output, a handler for each kind of line it reads.
class GaussianReader : public OutputReader {
public:
  GaussianReader(const std::filesystem::path &file, std::string_view text)
      : OutputReader(file, text, "Gaussian", "Normal termination of Gaussian") {}

protected:
  // Reads line i; returns the last line it used.
  std::size_t line(std::size_t i) override {
    const std::string_view text = lines_[i];
    lastText_ = i;
    if (rec_.version.empty() && text.rfind(" Gaussian ", 0) == 0 && contains(text, ", Revision ")) {
      std::string_view v = text.substr(10);
      while (!v.empty() && (v.back() == ',' || v.back() == ' '))
        v.remove_suffix(1);
      rec_.version = std::string(v.substr(0, SHORT_TEXT));
      return i;
    }
    if (contains(text, "orientation:") &&
        (contains(text, "Standard orientation:") || contains(text, "Input orientation:") ||
         contains(text, "Z-Matrix orientation:")))
      return orientation(i);
    const auto words = splitWords(text);
    if (inFrequencies_ && words.size() >= 3 &&
        ((words[0] == "Atom" && words[1] == "AN") ||
         (words[0] == "Coord" && words[1] == "Atom" && words[2] == "Element:")))
      return modeRows(i, words[0] == "Coord");
    if (!words.empty() && !energy(i, words) && !molecule(i, words) && !optimisation(i, words) &&
        !frequencies(i, words))
      ending(i, words);
    return i;
  }

  // The geometry current at this point of the walk, and the best energy
  // printed at it.
  const Atoms &geometryNow() const { return seen_.current.geometry; }
  std::optional<FoundEnergy> energyNow() const { return bestEnergy(seen_.current.energies.found); }

private:
  // A table of the current geometry: a header of five lines, then rows up to
  // a line of dashes.
  std::size_t orientation(std::size_t i) {
    inFrequencies_ = false;
    Atoms g;
    const std::size_t k = readOrientation(file_, lines_, i, g);
    if (!sameGeometry(g, seen_.current.geometry))
      seen_.current.energies = Energies{}; // energies belong to the geometry they were computed at
    seen_.current.geometry = std::move(g);
    seen_.current.geometryEnd = k;
    lastText_ = k;
    return k;
  }

  // "SCF Done:", "EUMP2 =", "E(Corr)=" after converged amplitudes, "CCSD(T)=".
  bool energy(std::size_t i, const std::vector<std::string_view> &words) {
    const std::string_view first = words[0];
    std::optional<double> e;
    std::string level;
    Energies &energies = seen_.current.energies;
    if (first == "SCF" && words.size() > 4 && words[1] == "Done:") {
      e = parseReal(words[4]);
      level = scfLevelOf(words[2]);
      // "E(UB3LYP)": the name between the parentheses.
      const std::string_view name = words[2];
      if (e && name.size() > 3 && name.starts_with("E(") && name.ends_with(")"))
        energies.scfMethod = withoutReference(name.substr(2, name.size() - 3));
    } else if (first == "E2" && contains(lines_[i], "EUMP2")) {
      e = valueAfter(words, "EUMP2");
      level = "MP2";
    } else if (first == "Wavefunction" && contains(lines_[i], "amplitudes converged")) {
      e = valueAfter(words, "E(Corr)=");
      level = "CCSD";
    } else if (first == "CCSD(T)=" && words.size() >= 2) {
      e = parseReal(words[1]);
      level = "CCSD(T)";
    } else {
      return false;
    }
    if (e) {
      std::string method = energyRank(level) == 0 ? energies.scfMethod : level;
      energies.found.push_back({std::move(level), *e, i, std::move(method)});
    }
    return true;
  }

  // "Charge =  0 Multiplicity = 1" of the whole molecule (fragments say "for
  // fragment n"), "Rotational constants (GHZ):", "Standard basis:".
  bool molecule(std::size_t i, const std::vector<std::string_view> &words) {
    const std::string_view first = words[0];
    if (first == "Standard" && words.size() > 2 && words[1] == "basis:") {
      seen_.current.basis = std::string(words[2].substr(0, SHORT_TEXT));
      return true;
    }
    if (first == "Charge" && words.size() == 6 && words[1] == "=" && words[3] == "Multiplicity") {
      const auto q = parseInteger(words[2]);
      const auto m = parseInteger(words[5]);
      if (q && m) {
        seen_.current.charge = static_cast<int>(*q);
        seen_.current.multiplicity = static_cast<int>(*m);
        seen_.current.chargeLine = i;
      }
      return true;
    }
    if (first == "Rotational" && words.size() > 3 &&
        (words[1] == "constants" || words[1] == "constant") && words[2] == "(GHZ):") {
      seen_.current.rotational.clear();
      for (std::size_t k = 3; k < words.size(); ++k)
        if (const auto b = parseReal(words[k]))
          seen_.current.rotational.push_back(*b);
      return true;
    }
    return false;
  }

  // An optimisation step, or a path (an IRC, a scan) after the frequencies.
  bool optimisation(std::size_t i, const std::vector<std::string_view> &words) {
    const std::string_view first = words[0], text = lines_[i];
    if ((first == "Search" && contains(text, "Search for a ")) ||
        (first == "Optimization" && words.size() > 1 &&
         (words[1] == "completed." || words[1] == "stopped."))) {
      if (!seen_.haveFrequencies) {
        optimisation_ = true;
        saddle_ = saddle_ || contains(text, "saddle point");
        stopped_ = stopped_ || words[1] == "stopped.";
      } else {
        saddleAfterFrequencies_ = saddleAfterFrequencies_ || contains(text, "saddle point");
        // A frequency job checks its own geometry with an optimisation step
        // that does not move; an optimisation step elsewhere left it.
        seen_.optimisedTo(seen_.current.geometry, i);
      }
      return true;
    }
    if (contains(text, "IRC-IRC-IRC") || contains(text, "on scan point") ||
        contains(text, "Potential Surface Scan")) {
      seen_.path();
      return true;
    }
    return false;
  }

  // "Harmonic frequencies" and its "Frequencies --" and "IR Inten --" rows.
  bool frequencies(std::size_t i, const std::vector<std::string_view> &words) {
    const std::string_view first = words[0];
    if (first == "Harmonic" && words.size() > 1 && words[1] == "frequencies") {
      section(i);
      return true;
    }
    if (!inFrequencies_)
      return false;
    std::vector<double> *into = nullptr;
    std::size_t from = 0;
    if (first == "Frequencies" && words.size() > 2 && words[1] == "--") {
      into = &freqs_;
      from = 2;
    } else if (first == "Frequencies" && words.size() > 2 && words[1] == "---") {
      // The five-decimal modes' block: its frequencies name its modes only.
      for (std::size_t k = 2; k < words.size(); ++k) {
        const auto f = parseReal(words[k]);
        hp_.frequencies.push_back(f.value_or(0.0));
        hp_.odd = hp_.odd || !f;
      }
      return true;
    } else if (first == "IR" && words.size() > 3 && words[1] == "Inten" && words[2] == "--") {
      into = &intens_;
      from = 3;
    } else {
      return false;
    }
    for (std::size_t k = from; k < words.size(); ++k)
      into->push_back(realAt(file_, i, words[k]));
    seen_.lastRow = i;
    return true;
  }

  // A new analysis (or the normal format after "freq=hpmodes") starts afresh
  // at line i, at the geometry current then.
  void section(std::size_t i) {
    inFrequencies_ = true;
    // The five-decimal modes just read go with the usual blocks after them.
    if (freqs_.empty() && !hp_.frequencies.empty())
      hpBefore_ = std::move(hp_);
    else
      hpBefore_ = Modes{};
    hp_ = Modes{};
    modes_ = Modes{};
    freqs_.clear();
    intens_.clear();
    seen_.frequenciesAt(i);
    saddleAfterFrequencies_ = false;
  }

  // The displacement rows under a block's "Atom  AN  X Y Z" (`hp`: "Coord
  // Atom Element:") title, one mode per column group of the block's
  // frequencies; returns the last row. A block that does not read as one
  // leaves the section without modes.
  std::size_t modeRows(std::size_t title, bool hp) {
    Modes &modes = hp ? hp_ : modes_;
    const std::vector<double> &freqs = hp ? hp_.frequencies : freqs_;
    const Atoms &g = seen_.atFrequencies.geometry;
    const std::size_t first = modes.modes.size();
    const std::size_t count = freqs.size() > first ? freqs.size() - first : 0;
    const std::size_t rows = hp ? 3 * g.z.size() : g.z.size();
    if (modes.odd || count == 0 || count > (hp ? 5 : 3)) {
      modes.odd = true;
      return title;
    }
    modes.modes.resize(first + count);
    std::size_t row = 0;
    for (; row < rows && !modes.odd && title + 1 + row < lines_.size(); ++row)
      if (!modes.row(splitWords(lines_[title + 1 + row]), row, first, count, hp,
                     g.z[hp ? row / 3 : row]))
        break;
    modes.odd = modes.odd || row != rows;
    modes.end = title + row;
    lastText_ = title + row;
    return title + row;
  }

  // The end of a job of the chain, and of the frequency section.
  void ending(std::size_t i, const std::vector<std::string_view> &words) {
    const std::string_view first = words[0], text = lines_[i];
    if (first == "-" && contains(text, "- Thermochemistry -")) {
      inFrequencies_ = false;
    } else if (first == "Normal" && contains(text, "Normal termination of Gaussian")) {
      inFrequencies_ = false;
      steps_.endAt(i);
    } else if (first == "Error" && contains(text, "Error termination")) {
      inFrequencies_ = false;
      steps_.endAt(i, false);
    }
  }

  RecordParts parts() override {
    if (seen_.current.geometry.z.empty())
      throw Error(file_.string() + ": no geometry found");
    // The run finished when its last job ended normally and nothing follows
    // (a Link1 job after it was cut short).
    steps_.finished =
        !steps_.ends.empty() && steps_.ends.back().normal && steps_.ends.back().line == lastText_;
    if (!steps_.ends.empty() && !steps_.ends.back().normal)
      steps_.stopped = "Gaussian stopped with \"Error termination\" at line " +
                       std::to_string(steps_.ends.back().line + 1);

    const State &used = seen_.used();
    used.energies.into(rec_, used.basis);
    rec_.multiplicity = used.multiplicity;
    rec_.charge = used.charge;
    rec_.rotationalConstantsGHz = used.rotational;
    rec_.optimisation = optimisation_;
    rec_.saddleSearch = saddle_;
    rec_.optimisationConverged = !stopped_;

    return {used.geometry, analysis(used.geometry), seen_.leftGeometry(saddleAfterFrequencies_),
            seen_.lastValue()};
  }

  // The frequencies of the last section, with the normal modes that go with them.
  std::optional<FrequencyAnalysis> analysis(const Atoms &geometry) {
    if (!seen_.haveFrequencies)
      return std::nullopt;
    // Gaussian leaves out the translations and rotations.
    const std::size_t atoms = geometry.z.size();
    const std::size_t expected =
        atoms <= 1 ? 0 : 3 * atoms - (isLinearGeometry(geometry.r) ? 5 : 6);
    if (freqs_.size() != expected)
      throw Error(file_.string() + ": the frequency table has " + std::to_string(freqs_.size()) +
                  " of the " + std::to_string(expected) + " modes of " + std::to_string(atoms) +
                  " atoms (truncated output?)");
    const bool hasIntensities = intens_.size() == freqs_.size();
    Modes &modes = hpBefore_.sameFrequencies(freqs_) ? hpBefore_ : modes_;
    FrequencyAnalysis a{seen_.frequenciesLine, std::move(freqs_), std::move(intens_),
                        hasIntensities};
    if (!modes.odd) {
      a.normalModes = std::move(modes.modes);
      a.modesEnd = modes.end;
    }
    return a;
  }

  Snapshot<State> seen_;
  bool inFrequencies_ = false;
  bool optimisation_ = false, saddle_ = false, stopped_ = false;
  bool saddleAfterFrequencies_ = false;
  std::vector<double> freqs_, intens_;
  // The modes of the section being read; the five-decimal ones of freq=hpmodes
  // (`hp_` while read, `hpBefore_` once the usual section after them starts).
  Modes modes_, hp_, hpBefore_;
  std::size_t lastText_ = 0; // the last line that is not blank
};

// The walk of the reader over an opt=modredundant scan, which takes each
// point as its optimisation converges; it ends with the job that scans.
class GaussianScanReader : public GaussianReader {
public:
  using GaussianReader::GaussianReader;

  RelaxedScan scan() {
    walk();
    if (!scanned_)
      throw Error(file_.string() +
                  ": a Gaussian output without a relaxed scan (opt=modredundant with a "
                  "coordinate marked S in its ModRedundant input); give the output of the scan");
    if (!ended_)
      throw Error(file_.string() +
                  ": the job of the scan does not end in \"Normal termination "
                  "of Gaussian\" after " +
                  std::to_string(scan_.energies.size()) + " of its " + std::to_string(total_) +
                  " points: the output is cut short or the job is still running");
    if (scan_.energies.size() != total_)
      throw Error(file_.string() + ": the scan has " + std::to_string(total_) + " points but " +
                  std::to_string(scan_.energies.size()) + " were optimised");
    scan_.pointsFile = file_;
    return std::move(scan_);
  }

private:
  // The reader's line, and what the scan takes from it; nothing after the
  // end of the scan's job.
  std::size_t line(std::size_t i) override {
    const std::string_view text = lines_[i];
    if (contains(text, "ModRedundant input section has been read"))
      return modRedundant(i);
    const std::size_t last = GaussianReader::line(i);
    if (last == i && (contains(text, "on scan point") || contains(text, "Optimization ") ||
                      contains(text, " termination")))
      progress(i, splitWords(text));
    return ended_ ? lines_.size() - 1 : last;
  }

  // Lines "D 3 1 2 5 S 36 10.000" up to a blank line: the type letter (or
  // none: the atom count tells it), the atoms, then S for the scanned one.
  std::size_t modRedundant(std::size_t i) {
    std::size_t k = i + 1;
    for (; k < lines_.size(); ++k) {
      const auto w = splitWords(lines_[k]);
      if (w.empty())
        break;
      std::size_t at = parseInteger(w[0]) ? 0 : 1;
      std::vector<int> atoms;
      for (; at < w.size(); ++at) {
        const auto a = parseInteger(w[at]);
        if (!a)
          break;
        atoms.push_back(static_cast<int>(*a));
      }
      if (at < w.size() && w[at] == "S")
        scannedCoordinate(k, atoms);
    }
    return k;
  }

  void scannedCoordinate(std::size_t k, const std::vector<int> &atoms) {
    if (scanned_)
      throw Error(atLine(file_, k) + ": a second scanned coordinate (" + inQuotes(lines_[k]) +
                  "); a rotor's potential is a scan of one dihedral alone");
    if (atoms.size() != 4)
      throw Error(atLine(file_, k) + ": the scanned coordinate " + inQuotes(lines_[k]) + " is " +
                  (atoms.size() == 2   ? "a bond length"
                   : atoms.size() == 3 ? "a bond angle"
                                       : "not a dihedral of four atoms") +
                  ", not a dihedral; a rotor's potential is a scan of a dihedral");
    scanned_ = true;
    scan_.dihedral = std::array<int, 4>{atoms[0], atoms[1], atoms[2], atoms[3]};
  }

  // The point being optimised, the end of its optimisation, the end of the job.
  void progress(std::size_t i, const std::vector<std::string_view> &words) {
    const std::string_view text = lines_[i];
    if (words.empty())
      return;
    if (contains(text, "on scan point")) {
      scanPoint(i, words);
    } else if (words[0] == "Optimization" && words.size() > 1 && point_ > 0) {
      if (words[1] == "completed.")
        completed(i);
      else if (words[1] == "stopped.")
        throw Error(atLine(file_, i) + ": the optimisation of scan point " +
                    std::to_string(point_) +
                    " stopped without converging; its energy is not that of a relaxed "
                    "geometry: scan again, or give the converged points as a two-column file");
    } else if (words[0] == "Normal" && contains(text, "Normal termination of Gaussian")) {
      ended_ = scanned_ && !scan_.energies.empty();
    } else if (words[0] == "Error" && contains(text, "Error termination") && point_ > 0) {
      throw Error(atLine(file_, i) + ": the job of the scan stopped with an error after " +
                  std::to_string(scan_.energies.size()) + " of its " + std::to_string(total_) +
                  " points");
    }
  }

  // "Step number 1 out of a maximum of 31 on scan point 1 out of 37"
  void scanPoint(std::size_t i, const std::vector<std::string_view> &words) {
    for (std::size_t k = 0; k + 4 < words.size(); ++k)
      if (words[k] == "scan" && words[k + 1] == "point") {
        const auto p = parseInteger(words[k + 2]);
        const auto n = k + 5 < words.size() ? parseInteger(words[k + 5]) : std::nullopt;
        if (!p || !n || *p < 1 || *n < *p)
          throw Error(atLine(file_, i) + ": cannot read the scan point of " + inQuotes(lines_[i]));
        point_ = static_cast<std::size_t>(*p);
        total_ = static_cast<std::size_t>(*n);
        return;
      }
  }

  // The geometry and the energy current when a point's optimisation converged.
  void completed(std::size_t i) {
    if (!scanned_)
      return;
    if (point_ != scan_.energies.size() + 1)
      throw Error(atLine(file_, i) + ": scan point " + std::to_string(point_) +
                  " converged after " + std::to_string(scan_.energies.size()) +
                  " points: a point is missing");
    const auto energy = energyNow();
    if (!energy || geometryNow().z.empty())
      throw Error(atLine(file_, i) + ": scan point " + std::to_string(point_) +
                  " converged without an energy or a geometry before it");
    scan_.energies.push_back(energy->value);
    scan_.geometries.push_back(geometryNow());
    scan_.lines.push_back(i);
  }

  RelaxedScan scan_;
  bool scanned_ = false, ended_ = false;
  std::size_t point_ = 0, total_ = 0;
};

} // namespace

bool isGaussian(std::string_view text) {
  return contains(text, "Entering Gaussian System") ||
         (contains(text, "Gaussian, Inc.") && contains(text, "Normal termination of Gaussian"));
}

QcRecord readGaussian(const std::filesystem::path &file, std::string_view text) {
  return GaussianReader(file, text).read();
}

RelaxedScan readGaussianScan(const std::filesystem::path &file, std::string_view text) {
  return GaussianScanReader(file, text).scan();
}

} // namespace orvalen::qc
