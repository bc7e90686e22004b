// Reader of ORCA 4.x and 5.x output (6.x reads the same). "CARTESIAN
// COORDINATES (ANGSTROEM)" blocks give the current geometry, "FINAL SINGLE
// POINT ENERGY" the energy at the highest level the job computed, "Mult ...."
// the multiplicity. The "VIBRATIONAL FREQUENCIES" list has all 3N modes, the
// translations and rotations printed as 0.00 and imaginary modes negative; the
// "IR SPECTRUM" table gives the intensities by mode number (km/mol: the "Int"
// column from ORCA 5 on, the "T**2" column before it). As for Gaussian, an
// optimisation that moves on after the frequencies is refused, an IRC or a
// scan after them is not.
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
  const auto lines = splitLines(text);
  QcRecord rec;
  rec.program = "ORCA";

  Atoms current, atFrequencies;
  double energy = std::nan(""), energyAtFrequencies = std::nan("");
  std::vector<double> rotational, rotationalAtFrequencies;
  int multiplicity = 0;
  bool haveFrequencies = false, pathAfterFrequencies = false;
  std::optional<OptimisationAfterFrequencies> movedOn; // coordinates at another geometry
  std::size_t frequenciesLine = 0;
  bool converged = false, normalEnd = false;
  std::string level;
  std::vector<double> freqs;
  std::map<long, double> intensityOfMode;

  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line.size() < 4)
      continue;
    if (line.rfind("|", 0) == 0 && contains(line, ">")) { // the input, echoed
      const std::string input = lowerCase(line);
      if (contains(input, "optts") || contains(input, "ts_search"))
        rec.saddleSearch = true;
      continue;
    }
    const auto words = splitWords(line);
    if (words.empty())
      continue;
    const std::string_view first = words[0];

    if (rec.version.empty() && first == "Program" && words.size() > 2 && words[1] == "Version") {
      rec.version = std::string(words[2]);
    } else if (first == "CARTESIAN" && contains(line, "CARTESIAN COORDINATES (ANGSTROEM)")) {
      Atoms g;
      std::size_t k = i + 2; // the title and a line of dashes
      for (; k < lines.size(); ++k) {
        const auto w = splitWords(lines[k]);
        if (w.empty())
          break;
        if (w.size() != 4)
          throw Error(atLine(file, k) + ": expected \"element x y z\", found \"" +
                      std::string(lines[k]) + "\"");
        const auto z = elementOfLabel(w[0], AtomLabel::Symbol);
        if (!z)
          throw Error(atLine(file, k) + ": \"" + std::string(w[0]) + "\" is not an element");
        g.z.push_back(*z);
        g.r.push_back({realAt(file, k, w[1]), realAt(file, k, w[2]), realAt(file, k, w[3])});
      }
      if (k >= lines.size())
        throw Error(name + ": ends inside a coordinates block (truncated output)");
      if (!sameGeometry(g, current))
        energy = std::nan("");
      if (haveFrequencies && !movedOn && !sameGeometry(g, atFrequencies))
        movedOn = OptimisationAfterFrequencies{i, false};
      current = std::move(g);
      i = k;
    } else if (first == "FINAL" && contains(line, "FINAL SINGLE POINT ENERGY") &&
               words.size() == 5) {
      energy = realAt(file, i, words[4]);
    } else if (first == "Multiplicity" && words.size() == 4 && words[1] == "Mult") {
      if (const auto m = parseInteger(words[3]))
        multiplicity = static_cast<int>(*m);
    } else if (first == "Density" && contains(line, "Method          .... DFT")) {
      level = "DFT";
    } else if (first == "E(MP2)" || (first == "MP2" && contains(line, "MP2 TOTAL ENERGY"))) {
      level = level == "CCSD" || level == "CCSD(T)" ? level : "MP2";
    } else if (first == "E(CCSD)") {
      level = level == "CCSD(T)" ? level : "CCSD";
    } else if (first == "E(CCSD(T))") {
      level = "CCSD(T)";
    } else if (first == "Rotational" && words.size() >= 7 && words[1] == "constants") {
      std::vector<double> b;
      const bool mhz = words[3] == "MHz";
      for (std::size_t k = words.size() - 3; k < words.size(); ++k)
        if (const auto v = parseReal(words[k]))
          b.push_back(mhz ? *v / 1000.0 : *v * CM_TO_GHZ);
      if (b.size() == 3)
        rotational = b;
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
      energyAtFrequencies = energy;
      rotationalAtFrequencies = rotational;
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
                        " of the frequency list, found \"" + std::string(lines[k]) + "\"");
          freqs.push_back(realAt(file, k, w[1]));
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
      }
      i = k;
    } else if (contains(line, "ORCA TERMINATED NORMALLY")) {
      normalEnd = true;
    }
  }

  if (current.z.empty())
    throw Error(name + ": no geometry found");

  const Atoms &geometry = haveFrequencies ? atFrequencies : current;
  rec.energy = haveFrequencies ? energyAtFrequencies : energy;
  rec.energyLevel = level.empty() ? "SCF" : level;
  rec.multiplicity = multiplicity;
  rec.rotationalConstantsGHz = haveFrequencies ? rotationalAtFrequencies : rotational;
  rec.optimisationConverged = !rec.optimisation || converged;
  if (!normalEnd)
    rec.warnings.push_back("the output does not end with \"ORCA TERMINATED NORMALLY\"");

  std::optional<FrequencyAnalysis> analysis;
  if (haveFrequencies) {
    // ORCA lists all 3N modes, the translations and rotations as 0.00.
    const std::size_t atoms = geometry.z.size();
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
  finishRecord(file, geometry, std::move(analysis), movedOn, rec);
  return rec;
}

} // namespace orvalen::qc
