// Reader of Gaussian 09 and 16 output (.log/.out). Walks the output line by
// line: "Standard orientation:"/"Input orientation:" tables give the current
// geometry, "SCF Done:", "EUMP2 =", "E(Corr)=" after converged amplitudes and
// "CCSD(T)=" its energies, "Charge = q Multiplicity = m" the charge and
// multiplicity. A "Harmonic frequencies" section takes a snapshot of all of
// these: the frequencies belong to the geometry current at that moment.
// Gaussian leaves out the translations and rotations and prints imaginary
// modes negative. An optimisation that moves on after the frequencies makes
// them another geometry's and the output is refused; the points of a path
// printed after them (an IRC, a scan) are not the molecule's geometry and
// change nothing. Each job of a Link1 chain (an opt + freq run is two) ends in
// "Normal termination of Gaussian" or "Error termination": the job that
// printed the values read must end normally.
#include "fixedio/error.hpp"
#include "qc/finish.hpp"
#include "qc/geometry.hpp"
#include "qc/output_text.hpp"
#include "qc/readers.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

namespace orvalen::qc {

namespace {

struct Energies {
  std::size_t line = 0; // the last line any of them was read from
  double scf = std::nan("");
  std::string scfLevel;
  double mp2 = std::nan("");
  double ccsd = std::nan("");
  double ccsdt = std::nan("");

  // The highest level present.
  void into(QcRecord &rec) const {
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
    }
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

} // namespace

bool isGaussian(std::string_view text) {
  return contains(text, "Entering Gaussian System") ||
         (contains(text, "Gaussian, Inc.") && contains(text, "Normal termination of Gaussian"));
}

QcRecord readGaussian(const std::filesystem::path &file, std::string_view text) {
  const std::string name = file.string();
  const Lines lines(text);
  QcRecord rec;
  rec.program = "Gaussian";

  // What is current as the output goes, and its snapshot when a frequency
  // analysis starts.
  struct State {
    Atoms geometry;
    std::size_t geometryEnd = 0; // the dashes that close its table
    Energies energies;
    std::vector<double> rotational;
    int multiplicity = 0;
    std::optional<int> charge;
    std::size_t chargeLine = 0;
    std::size_t lastLine() const {
      return std::max({geometryEnd, energies.line, multiplicity > 0 ? chargeLine : 0});
    }
  };
  State current, atFrequencies;
  bool haveFrequencies = false, inFrequencies = false;
  bool optimisation = false, saddle = false, stopped = false;
  bool pathAfterFrequencies = false, saddleAfterFrequencies = false;
  std::optional<OptimisationAfterFrequencies> movedOn; // the step that left their geometry
  std::size_t frequenciesLine = 0, lastRow = 0;
  std::vector<double> freqs, intens;
  JobSteps steps;
  steps.closing = "Normal termination of Gaussian";
  std::size_t lastText = 0; // the last line that is not blank

  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line.size() < 4)
      continue;
    lastText = i;
    if (rec.version.empty() && line.rfind(" Gaussian ", 0) == 0 && contains(line, ", Revision ")) {
      std::string_view v = line.substr(10);
      while (!v.empty() && (v.back() == ',' || v.back() == ' '))
        v.remove_suffix(1);
      rec.version = std::string(v.substr(0, SHORT_TEXT));
      continue;
    }
    if (contains(line, "orientation:") &&
        (contains(line, "Standard orientation:") || contains(line, "Input orientation:") ||
         contains(line, "Z-Matrix orientation:"))) {
      inFrequencies = false;
      // Header of five lines, then rows up to a line of dashes.
      Atoms g;
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
        throw Error(name + ": ends inside an orientation table (truncated output)");
      if (!sameGeometry(g, current.geometry))
        current.energies = Energies{}; // energies belong to the geometry they were computed at
      current.geometry = std::move(g);
      current.geometryEnd = k;
      i = k;
      lastText = k;
      continue;
    }
    const auto words = splitWords(line);
    if (words.empty())
      continue;
    const std::string_view first = words[0];
    Energies &energies = current.energies;

    if (first == "SCF" && words.size() > 4 && words[1] == "Done:") {
      if (const auto e = parseReal(words[4])) {
        energies.scf = *e;
        energies.scfLevel = scfLevelOf(words[2]);
        energies.line = i;
      }
    } else if (first == "E2" && contains(line, "EUMP2")) {
      if (const auto e = valueAfter(words, "EUMP2")) {
        energies.mp2 = *e;
        energies.line = i;
      }
    } else if (first == "Wavefunction" && contains(line, "amplitudes converged")) {
      if (const auto e = valueAfter(words, "E(Corr)=")) {
        energies.ccsd = *e;
        energies.line = i;
      }
    } else if (first == "CCSD(T)=" && words.size() >= 2) {
      if (const auto e = parseReal(words[1])) {
        energies.ccsdt = *e;
        energies.line = i;
      }
    } else if (first == "Charge" && words.size() == 6 && words[1] == "=" &&
               words[3] == "Multiplicity") {
      // "Charge =  0 Multiplicity = 1" of the whole molecule; fragments say "for fragment n".
      const auto q = parseInteger(words[2]);
      const auto m = parseInteger(words[5]);
      if (q && m) {
        current.charge = static_cast<int>(*q);
        current.multiplicity = static_cast<int>(*m);
        current.chargeLine = i;
      }
    } else if (first == "Rotational" && words.size() > 3 &&
               (words[1] == "constants" || words[1] == "constant") && words[2] == "(GHZ):") {
      current.rotational.clear();
      for (std::size_t k = 3; k < words.size(); ++k)
        if (const auto b = parseReal(words[k]))
          current.rotational.push_back(*b);
    } else if ((first == "Search" && contains(line, "Search for a ")) ||
               (first == "Optimization" && words.size() > 1 &&
                (words[1] == "completed." || words[1] == "stopped."))) {
      if (!haveFrequencies) {
        optimisation = true;
        saddle = saddle || contains(line, "saddle point");
        stopped = stopped || words[1] == "stopped.";
      } else {
        saddleAfterFrequencies = saddleAfterFrequencies || contains(line, "saddle point");
        // A frequency job checks its own geometry with an optimisation step
        // that does not move; an optimisation step elsewhere left it.
        if (!movedOn && !sameGeometry(current.geometry, atFrequencies.geometry))
          movedOn = OptimisationAfterFrequencies{i, false};
      }
    } else if (contains(line, "IRC-IRC-IRC") || contains(line, "on scan point") ||
               contains(line, "Potential Surface Scan")) {
      if (haveFrequencies)
        pathAfterFrequencies = true;
    } else if (first == "Harmonic" && words.size() > 1 && words[1] == "frequencies") {
      // A new analysis (or the normal format after "freq=hpmodes") starts afresh.
      inFrequencies = true;
      haveFrequencies = true;
      freqs.clear();
      intens.clear();
      frequenciesLine = lastRow = i;
      atFrequencies = current;
      movedOn.reset();
      saddleAfterFrequencies = pathAfterFrequencies = false;
    } else if (inFrequencies && first == "Frequencies" && words.size() > 2 && words[1] == "--") {
      for (std::size_t k = 2; k < words.size(); ++k)
        freqs.push_back(realAt(file, i, words[k]));
      lastRow = i;
    } else if (inFrequencies && first == "IR" && words.size() > 3 && words[1] == "Inten" &&
               words[2] == "--") {
      for (std::size_t k = 3; k < words.size(); ++k)
        intens.push_back(realAt(file, i, words[k]));
      lastRow = i;
    } else if (first == "-" && contains(line, "- Thermochemistry -")) {
      inFrequencies = false;
    } else if (first == "Normal" && contains(line, "Normal termination of Gaussian")) {
      inFrequencies = false;
      steps.endAt(i);
    } else if (first == "Error" && contains(line, "Error termination")) {
      inFrequencies = false;
      steps.endAt(i, false);
    }
  }

  if (current.geometry.z.empty())
    throw Error(name + ": no geometry found");

  // The run finished when its last job ended normally and nothing follows
  // (a Link1 job after it was cut short).
  steps.finished =
      !steps.ends.empty() && steps.ends.back().normal && steps.ends.back().line == lastText;
  if (!steps.ends.empty() && !steps.ends.back().normal)
    steps.stopped = "Gaussian stopped with \"Error termination\" at line " +
                    std::to_string(steps.ends.back().line + 1);

  const State &used = haveFrequencies ? atFrequencies : current;
  used.energies.into(rec);
  rec.multiplicity = used.multiplicity;
  rec.charge = used.charge;
  rec.rotationalConstantsGHz = used.rotational;
  rec.optimisation = optimisation;
  rec.saddleSearch = saddle;
  rec.optimisationConverged = !stopped;

  std::optional<FrequencyAnalysis> analysis;
  if (haveFrequencies) {
    // Gaussian leaves out the translations and rotations.
    const std::size_t atoms = used.geometry.z.size();
    const std::size_t expected =
        atoms <= 1 ? 0 : 3 * atoms - (isLinearGeometry(used.geometry.r) ? 5 : 6);
    if (freqs.size() != expected)
      throw Error(name + ": the frequency table has " + std::to_string(freqs.size()) + " of the " +
                  std::to_string(expected) + " modes of " + std::to_string(atoms) +
                  " atoms (truncated output?)");
    const bool hasIntensities = intens.size() == freqs.size();
    analysis =
        FrequencyAnalysis{frequenciesLine, std::move(freqs), std::move(intens), hasIntensities};
  }
  if (movedOn)
    movedOn->saddle = saddleAfterFrequencies;
  if (pathAfterFrequencies)
    movedOn.reset();
  const std::size_t lastValue = std::max(used.lastLine(), haveFrequencies ? lastRow : 0);
  finishRecord(file, used.geometry, std::move(analysis), movedOn, {steps, lastValue}, rec);
  return rec;
}

} // namespace orvalen::qc
