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
#include "base/error.hpp"
#include "qc/finish.hpp"
#include "qc/geometry.hpp"
#include "qc/output_text.hpp"
#include "qc/readers.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

namespace orvalen::qc {

std::size_t readGaussianOrientation(const std::filesystem::path &file, const Lines &lines,
                                    std::size_t i, Atoms &g) {
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

namespace {

struct Energies {
  std::size_t line = 0; // the last line any of them was read from
  double scf = std::nan("");
  std::string scfLevel;
  std::string scfMethod; // "B3LYP", "HF": the name in "E(RB3LYP)" without its reference
  double mp2 = std::nan("");
  double ccsd = std::nan("");
  double ccsdt = std::nan("");

  // The highest level present, with its basis set ("Standard basis:").
  void into(QcRecord &rec, std::string_view basis) const {
    if (std::isfinite(ccsdt)) {
      rec.energy = ccsdt;
      rec.energyLevel = "CCSD(T)";
    } else if (std::isfinite(ccsd)) {
      rec.energy = ccsd;
      rec.energyLevel = "CCSD";
    } else if (std::isfinite(mp2)) {
      rec.energy = mp2;
      rec.energyLevel = "MP2";
    } else if (std::isfinite(scf)) {
      rec.energy = scf;
      rec.energyLevel = scfLevel;
      rec.energyMethod = methodWithBasis(scfMethod, basis);
      return;
    } else {
      return;
    }
    rec.energyMethod = methodWithBasis(rec.energyLevel, basis);
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

// The number after `key` on the line, if the word after it reads as one.
std::optional<double> valueAfter(const std::vector<std::string_view> &words, std::string_view key) {
  for (std::size_t i = 0; i + 1 < words.size(); ++i)
    if (words[i] == key)
      return parseReal(words[i + 1]);
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
    return std::max({geometryEnd, energies.line, multiplicity > 0 ? chargeLine : 0});
  }
};

// The walk through one output, a handler for each kind of line it reads.
class GaussianReader {
public:
  GaussianReader(const std::filesystem::path &file, std::string_view text)
      : file_(file), lines_(text) {
    rec_.program = "Gaussian";
    steps_.closing = "Normal termination of Gaussian";
  }

  QcRecord read() {
    for (std::size_t i = 0; i < lines_.size(); ++i)
      i = line(i);
    return finish();
  }

private:
  // Reads line i; returns the last line it used.
  std::size_t line(std::size_t i) {
    const std::string_view text = lines_[i];
    if (text.size() < 4)
      return i;
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

  // A table of the current geometry: a header of five lines, then rows up to
  // a line of dashes.
  std::size_t orientation(std::size_t i) {
    inFrequencies_ = false;
    Atoms g;
    const std::size_t k = readGaussianOrientation(file_, lines_, i, g);
    if (!sameGeometry(g, current_.geometry))
      current_.energies = Energies{}; // energies belong to the geometry they were computed at
    current_.geometry = std::move(g);
    current_.geometryEnd = k;
    lastText_ = k;
    return k;
  }

  // "SCF Done:", "EUMP2 =", "E(Corr)=" after converged amplitudes, "CCSD(T)=".
  bool energy(std::size_t i, const std::vector<std::string_view> &words) {
    const std::string_view first = words[0];
    std::optional<double> e;
    double *into = nullptr;
    Energies &energies = current_.energies;
    if (first == "SCF" && words.size() > 4 && words[1] == "Done:") {
      e = parseReal(words[4]);
      into = &energies.scf;
      if (e) {
        energies.scfLevel = scfLevelOf(words[2]);
        // "E(UB3LYP)": the name between the parentheses.
        const std::string_view name = words[2];
        if (name.size() > 3 && name.starts_with("E(") && name.ends_with(")"))
          energies.scfMethod = withoutReference(name.substr(2, name.size() - 3));
      }
    } else if (first == "E2" && contains(lines_[i], "EUMP2")) {
      e = valueAfter(words, "EUMP2");
      into = &energies.mp2;
    } else if (first == "Wavefunction" && contains(lines_[i], "amplitudes converged")) {
      e = valueAfter(words, "E(Corr)=");
      into = &energies.ccsd;
    } else if (first == "CCSD(T)=" && words.size() >= 2) {
      e = parseReal(words[1]);
      into = &energies.ccsdt;
    } else {
      return false;
    }
    if (e) {
      *into = *e;
      energies.line = i;
    }
    return true;
  }

  // "Charge =  0 Multiplicity = 1" of the whole molecule (fragments say "for
  // fragment n"), "Rotational constants (GHZ):", "Standard basis:".
  bool molecule(std::size_t i, const std::vector<std::string_view> &words) {
    const std::string_view first = words[0];
    if (first == "Standard" && words.size() > 2 && words[1] == "basis:") {
      current_.basis = std::string(words[2].substr(0, SHORT_TEXT));
      return true;
    }
    if (first == "Charge" && words.size() == 6 && words[1] == "=" && words[3] == "Multiplicity") {
      const auto q = parseInteger(words[2]);
      const auto m = parseInteger(words[5]);
      if (q && m) {
        current_.charge = static_cast<int>(*q);
        current_.multiplicity = static_cast<int>(*m);
        current_.chargeLine = i;
      }
      return true;
    }
    if (first == "Rotational" && words.size() > 3 &&
        (words[1] == "constants" || words[1] == "constant") && words[2] == "(GHZ):") {
      current_.rotational.clear();
      for (std::size_t k = 3; k < words.size(); ++k)
        if (const auto b = parseReal(words[k]))
          current_.rotational.push_back(*b);
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
      if (!haveFrequencies_) {
        optimisation_ = true;
        saddle_ = saddle_ || contains(text, "saddle point");
        stopped_ = stopped_ || words[1] == "stopped.";
      } else {
        saddleAfterFrequencies_ = saddleAfterFrequencies_ || contains(text, "saddle point");
        // A frequency job checks its own geometry with an optimisation step
        // that does not move; an optimisation step elsewhere left it.
        if (!movedOn_ && !sameGeometry(current_.geometry, atFrequencies_.geometry))
          movedOn_ = OptimisationAfterFrequencies{i, false};
      }
      return true;
    }
    if (contains(text, "IRC-IRC-IRC") || contains(text, "on scan point") ||
        contains(text, "Potential Surface Scan")) {
      pathAfterFrequencies_ = pathAfterFrequencies_ || haveFrequencies_;
      return true;
    }
    return false;
  }

  // "Harmonic frequencies" and its "Frequencies --" and "IR Inten --" rows.
  bool frequencies(std::size_t i, const std::vector<std::string_view> &words) {
    const std::string_view first = words[0];
    if (first == "Harmonic" && words.size() > 1 && words[1] == "frequencies") {
      // A new analysis (or the normal format after "freq=hpmodes") starts afresh.
      inFrequencies_ = haveFrequencies_ = true;
      // The five-decimal modes just read go with the usual blocks after them.
      if (freqs_.empty() && !hp_.frequencies.empty())
        hpBefore_ = std::move(hp_);
      else
        hpBefore_ = Modes{};
      hp_ = Modes{};
      modes_ = Modes{};
      freqs_.clear();
      intens_.clear();
      frequenciesLine_ = lastRow_ = i;
      atFrequencies_ = current_;
      movedOn_.reset();
      saddleAfterFrequencies_ = pathAfterFrequencies_ = false;
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
    lastRow_ = i;
    return true;
  }

  // The displacement rows under a block's "Atom  AN  X Y Z" (`hp`: "Coord
  // Atom Element:") title, one mode per column group of the block's
  // frequencies; returns the last row. A block that does not read as one
  // leaves the section without modes.
  std::size_t modeRows(std::size_t title, bool hp) {
    Modes &modes = hp ? hp_ : modes_;
    const std::vector<double> &freqs = hp ? hp_.frequencies : freqs_;
    const Atoms &g = atFrequencies_.geometry;
    const std::size_t first = modes.modes.size();
    const std::size_t count = freqs.size() > first ? freqs.size() - first : 0;
    const std::size_t rows = hp ? 3 * g.z.size() : g.z.size();
    const std::size_t lead = hp ? 3 : 2; // words before the values
    if (modes.odd || count == 0 || count > (hp ? 5 : 3)) {
      modes.odd = true;
      return title;
    }
    modes.modes.resize(first + count); // an atom's displacement added with its row
    std::size_t row = 0;
    for (; row < rows && !modes.odd && title + 1 + row < lines_.size(); ++row) {
      const std::size_t atom = hp ? row / 3 : row, axis = hp ? row % 3 : 0;
      const auto w = splitWords(lines_[title + 1 + row]);
      // "1   6   0.16 0.00 0.00 ...": atom, atomic number; hp "3  1  6  0.08012 ...":
      // coordinate, atom, atomic number.
      if (w.size() != lead + count * (hp ? 1 : 3) ||
          parseInteger(w[0]) != static_cast<long>(hp ? axis + 1 : atom + 1) ||
          (hp && parseInteger(w[1]) != static_cast<long>(atom + 1)) ||
          parseInteger(w[lead - 1]) != static_cast<long>(g.z[atom]))
        break;
      if (axis == 0)
        for (std::size_t c = 0; c < count; ++c)
          modes.modes[first + c].emplace_back();
      for (std::size_t c = lead; c < w.size() && !modes.odd; ++c) {
        const auto v = parseReal(w[c]);
        const std::size_t mode = hp ? c - lead : (c - lead) / 3;
        if (v)
          modes.modes[first + mode].back()[hp ? axis : (c - lead) % 3] = *v;
        modes.odd = !v;
      }
    }
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

  QcRecord finish() {
    if (current_.geometry.z.empty())
      throw Error(file_.string() + ": no geometry found");
    // The run finished when its last job ended normally and nothing follows
    // (a Link1 job after it was cut short).
    steps_.finished =
        !steps_.ends.empty() && steps_.ends.back().normal && steps_.ends.back().line == lastText_;
    if (!steps_.ends.empty() && !steps_.ends.back().normal)
      steps_.stopped = "Gaussian stopped with \"Error termination\" at line " +
                       std::to_string(steps_.ends.back().line + 1);

    const State &used = haveFrequencies_ ? atFrequencies_ : current_;
    used.energies.into(rec_, used.basis);
    rec_.multiplicity = used.multiplicity;
    rec_.charge = used.charge;
    rec_.rotationalConstantsGHz = used.rotational;
    rec_.optimisation = optimisation_;
    rec_.saddleSearch = saddle_;
    rec_.optimisationConverged = !stopped_;

    std::optional<FrequencyAnalysis> analysis;
    if (haveFrequencies_) {
      // Gaussian leaves out the translations and rotations.
      const std::size_t atoms = used.geometry.z.size();
      const std::size_t expected =
          atoms <= 1 ? 0 : 3 * atoms - (isLinearGeometry(used.geometry.r) ? 5 : 6);
      if (freqs_.size() != expected)
        throw Error(file_.string() + ": the frequency table has " + std::to_string(freqs_.size()) +
                    " of the " + std::to_string(expected) + " modes of " + std::to_string(atoms) +
                    " atoms (truncated output?)");
      const bool hasIntensities = intens_.size() == freqs_.size();
      Modes &modes = hpBefore_.sameFrequencies(freqs_) ? hpBefore_ : modes_;
      analysis = FrequencyAnalysis{frequenciesLine_, std::move(freqs_), std::move(intens_),
                                   hasIntensities};
      if (!modes.odd) {
        analysis->normalModes = std::move(modes.modes);
        analysis->modesEnd = modes.end;
      }
    }
    if (movedOn_)
      movedOn_->saddle = saddleAfterFrequencies_;
    if (pathAfterFrequencies_)
      movedOn_.reset();
    const std::size_t lastValue = std::max(used.lastLine(), haveFrequencies_ ? lastRow_ : 0);
    finishRecord(file_, used.geometry, std::move(analysis), movedOn_, {steps_, lastValue}, rec_);
    return std::move(rec_);
  }

  const std::filesystem::path &file_;
  const Lines lines_;
  QcRecord rec_;
  JobSteps steps_;
  State current_, atFrequencies_;
  bool haveFrequencies_ = false, inFrequencies_ = false;
  bool optimisation_ = false, saddle_ = false, stopped_ = false;
  bool pathAfterFrequencies_ = false, saddleAfterFrequencies_ = false;
  std::optional<OptimisationAfterFrequencies> movedOn_; // the step that left their geometry
  std::size_t frequenciesLine_ = 0, lastRow_ = 0;
  std::vector<double> freqs_, intens_;
  // The modes of the section being read; the five-decimal ones of freq=hpmodes
  // (`hp_` while read, `hpBefore_` once the usual section after them starts).
  Modes modes_, hp_, hpBefore_;
  std::size_t lastText_ = 0; // the last line that is not blank
};

} // namespace

bool isGaussian(std::string_view text) {
  return contains(text, "Entering Gaussian System") ||
         (contains(text, "Gaussian, Inc.") && contains(text, "Normal termination of Gaussian"));
}

QcRecord readGaussian(const std::filesystem::path &file, std::string_view text) {
  return GaussianReader(file, text).read();
}

} // namespace orvalen::qc
