// Reader of xtb (6.x) standard output, with the files xtb writes beside it.
//
// What stands where:
//   geometry      after an optimisation, "final structure:" and an XYZ block
//                 (or a Turbomole "$coord" block in bohr, when the input was
//                 one); the same structure is in xtbopt.xyz. Without an
//                 optimisation the Hessian is computed at the input geometry,
//                 the file named by "coordinate file :".
//   frequencies   "projected vibrational frequencies (cm-1)" ("vibrational
//                 frequencies" for a linear molecule) then "eigval :"
//                 rows, 3N values with the translations and rotations as 0.00,
//                 printed twice; the last block is used.
//   intensities   "IR intensities (km.mol-1)" rows "  1: 34.55  2: 82.54" (a
//                 value can touch its colon, "3:116.77"); the file vibspectrum
//                 has them too, and is the only source when xtb aborted after
//                 the frequencies, as it does for a linear molecule.
//   energy        the "| TOTAL ENERGY  ...  Eh |" box line; ":: total energy"
//                 of the final single point when the box is missing.
//   multiplicity  not printed: the "--uhf N" of the program call gives N + 1.
// The output is UTF-8 ("cm⁻¹") and has been seen with NUL bytes in a table row;
// NUL bytes are read as blanks.
#include "qc/finish.hpp"
#include "qc/geometry.hpp"
#include "qc/output_text.hpp"
#include "qc/readers.hpp"
#include "qc/xyz.hpp"

#include "fixedio/error.hpp"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>

namespace orvalen::qc {

namespace {

// The element of a "$coord" row, a symbol in lower case.
int elementOf(const std::filesystem::path &file, std::size_t line, std::string_view symbol) {
  if (const auto z = elementOfLabel(symbol, AtomLabel::Symbol))
    return *z;
  throw Error(atLine(file, line) + ": unknown element \"" + std::string(symbol) + "\"");
}

// A Turbomole "$coord" block (bohr) starting at lines[first], up to the next "$".
Atoms readCoord(const std::filesystem::path &file, const std::vector<std::string_view> &lines,
                std::size_t first) {
  Atoms g;
  std::size_t i = first + 1;
  for (; i < lines.size(); ++i) {
    const auto w = splitWords(lines[i]);
    if (w.empty())
      continue;
    if (w[0].starts_with("$"))
      break;
    if (w.size() < 4)
      throw Error(atLine(file, i) + ": expected \"X Y Z symbol\" in the $coord block");
    g.z.push_back(elementOf(file, i, w[3]));
    g.r.push_back({realAt(file, i, w[0]) * BOHR_ANGSTROM, realAt(file, i, w[1]) * BOHR_ANGSTROM,
                   realAt(file, i, w[2]) * BOHR_ANGSTROM});
  }
  if (i >= lines.size() || g.r.empty())
    throw Error(atLine(file, first) + ": the $coord block is cut short");
  return g;
}

// A file written beside the output, read as text with NUL bytes as blanks.
std::optional<std::string> readBeside(const std::filesystem::path &file) {
  // xtb writes these files at a few kilobytes; anything beyond 64 MB is not one.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec) ||
      std::filesystem::file_size(file, ec) > (std::uintmax_t{64} << 20) || ec)
    return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in)
    return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::replace(text.begin(), text.end(), '\0', ' ');
  return text;
}

// "vibspectrum": rows "mode [irrep] wavenumber intensity IR RAMAN" between
// "$vibrational spectrum" and "$end".
struct Spectrum {
  std::vector<double> frequencies, intensities;
};

std::optional<Spectrum> readVibspectrum(const std::filesystem::path &file, std::string_view text) {
  const auto lines = splitLines(text);
  Spectrum s;
  bool inside = false, closed = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto w = splitWords(lines[i]);
    if (w.empty() || w[0].starts_with("#"))
      continue;
    if (w[0] == "$vibrational") {
      inside = true;
    } else if (w[0] == "$end") {
      closed = inside;
      break;
    } else if (inside) {
      if (w.size() < 5)
        return std::nullopt;
      const auto f = parseReal(w[w.size() - 4]);
      const auto x = parseReal(w[w.size() - 3]);
      if (!f || !x)
        throw Error(atLine(file, i) + ": expected \"mode irrep wavenumber intensity\"");
      s.frequencies.push_back(*f);
      s.intensities.push_back(*x);
    }
  }
  if (!closed)
    return std::nullopt;
  return s;
}

} // namespace

bool isXtb(std::string_view text) {
  return contains(text, "* xtb version") || (contains(text, "x T B") && contains(text, "Grimme"));
}

QcRecord readXtb(const std::filesystem::path &file, std::string_view bytes) {
  std::string text(bytes);
  std::replace(text.begin(), text.end(), '\0', ' ');
  const auto lines = splitLines(text);
  const std::filesystem::path folder = file.parent_path();
  QcRecord rec;
  rec.program = "xtb";

  std::optional<Atoms> finalStructure;
  std::optional<std::size_t> freqLine, intensityLine, hessianLine, finalLine, summaryLine;
  std::vector<double> frequencies;
  std::vector<std::pair<long, double>> intensities; // mode number, km/mol
  std::optional<double> boxEnergy, summaryEnergy;
  std::string coordinateFile, hamiltonian;
  std::optional<int> uhf;
  std::optional<long> electrons;
  bool finished = false;

  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    const auto w = splitWords(line);
    if (rec.version.empty() && w.size() >= 4 && w[0] == "*" && w[1] == "xtb" && w[2] == "version") {
      rec.version = std::string(w[3]);
    } else if (contains(line, "program call") && contains(line, ":")) {
      for (std::size_t k = 0; k < w.size(); ++k) {
        std::optional<long> n;
        if ((w[k] == "--uhf" || w[k] == "-u") && k + 1 < w.size())
          n = parseInteger(w[k + 1]);
        else if (w[k].starts_with("--uhf="))
          n = parseInteger(w[k].substr(6));
        if (n)
          uhf = static_cast<int>(*n);
      }
    } else if (contains(line, "coordinate file") && w.size() >= 4 && w[w.size() - 2] == ":") {
      coordinateFile = std::string(w.back());
    } else if (w.size() >= 4 && w[0] == ":" && w[1] == "Hamiltonian") {
      hamiltonian = std::string(w[2]);
    } else if (w.size() >= 5 && w[0] == ":" && w[1] == "#" && w[2] == "electrons") {
      electrons = parseInteger(w[3]);
    } else if (contains(line, "A N C O P T")) {
      rec.optimisation = true;
      rec.optimisationConverged = false;
    } else if (contains(line, "GEOMETRY OPTIMIZATION CONVERGED")) {
      rec.optimisationConverged = true;
    } else if (w.size() == 2 && w[0] == "final" && w[1] == "structure:") {
      std::size_t k = i + 1;
      while (k < lines.size() &&
             (splitWords(lines[k]).empty() || lines[k].find("===") != std::string_view::npos))
        ++k;
      finalLine = i;
      if (k < lines.size() && contains(lines[k], "$coord"))
        finalStructure = readCoord(file, lines, k);
      else
        finalStructure = readXyz(file, lines, k).atoms;
    } else if (contains(line, "vibrational frequencies (cm")) {
      freqLine = i;
      frequencies.clear();
      for (std::size_t k = i + 1; k < lines.size(); ++k) {
        const auto v = splitWords(lines[k]);
        if (v.size() < 2 || v[0] != "eigval" || v[1] != ":")
          break;
        for (std::size_t j = 2; j < v.size(); ++j)
          frequencies.push_back(realAt(file, k, v[j]));
      }
    } else if (contains(line, "IR intensities (km")) {
      intensityLine = i;
      intensities.clear();
      for (std::size_t k = i + 1; k < lines.size(); ++k) {
        const auto v = splitWords(lines[k]);
        if (v.empty() || v[0].find(':') == std::string_view::npos)
          break;
        for (std::size_t j = 0; j < v.size(); ++j) {
          const auto colon = v[j].find(':');
          if (colon == std::string_view::npos)
            throw Error(atLine(file, k) + ": expected \"mode: intensity\" in the IR intensities");
          const auto mode = parseInteger(v[j].substr(0, colon));
          std::string_view value = v[j].substr(colon + 1);
          if (value.empty() && j + 1 < v.size())
            value = v[++j];
          if (!mode)
            throw Error(atLine(file, k) + ": expected \"mode: intensity\" in the IR intensities");
          intensities.emplace_back(*mode, realAt(file, k, value));
        }
      }
    } else if (w.size() >= 5 && w[0] == "|" && w[1] == "TOTAL" && w[2] == "ENERGY") {
      boxEnergy = realAt(file, i, w[3]);
    } else if (w.size() >= 5 && w[0] == "::" && w[1] == "total" && w[2] == "energy") {
      summaryEnergy = realAt(file, i, w[3]);
      summaryLine = i;
    } else if (contains(line, "Numerical Hessian") || contains(line, "Frequency Printout")) {
      if (!hessianLine)
        hessianLine = i;
    } else if (contains(line, "* finished run on")) {
      finished = true;
    }
  }

  if (hessianLine && !freqLine)
    throw Error(atLine(file, *hessianLine) +
                ": a Hessian calculation starts here but no frequencies follow: the output is "
                "cut short");
  if (rec.optimisation && !rec.optimisationConverged && !finalStructure)
    throw Error(file.string() + ": the geometry optimisation did not finish");

  // The geometry the Hessian was computed at.
  Atoms geom;
  if (finalStructure) {
    geom = *finalStructure;
  } else if (rec.optimisation) {
    const auto opt = readBeside(folder / "xtbopt.xyz");
    if (!opt)
      throw Error(file.string() + ": no final structure in the output and no xtbopt.xyz beside "
                                  "it");
    const auto optLines = splitLines(*opt);
    geom = readXyz(folder / "xtbopt.xyz", optLines, 0).atoms;
  } else {
    if (coordinateFile.empty())
      throw Error(file.string() + ": no geometry (no final structure and no coordinate file "
                                  "named)");
    const std::filesystem::path input = folder / coordinateFile;
    const auto in = readBeside(input);
    if (!in)
      throw Error(file.string() + ": no final structure, and the input geometry " + input.string() +
                  " cannot be read");
    const auto inLines = splitLines(*in);
    std::size_t first = 0;
    while (first < inLines.size() && splitWords(inLines[first]).empty())
      ++first;
    geom = first < inLines.size() && contains(inLines[first], "$coord")
               ? readCoord(input, inLines, first)
               : readXyz(input, inLines, first).atoms;
  }
  const std::size_t n = geom.z.size();
  const bool linear = isLinearGeometry(geom.r);

  if (boxEnergy)
    rec.energy = *boxEnergy;
  else if (summaryEnergy && (!finalLine || *summaryLine > *finalLine))
    rec.energy = *summaryEnergy;
  else
    throw Error(file.string() + ": no total energy");
  rec.energyLevel = hamiltonian.empty() ? "xTB" : hamiltonian;

  if (uhf)
    rec.multiplicity = *uhf + 1;
  else if (electrons)
    rec.multiplicity = *electrons % 2 == 0 ? 1 : 2;

  std::optional<FrequencyAnalysis> analysis;
  if (freqLine) {
    bool hasIntensities = false;
    if (frequencies.size() != 3 * n)
      throw Error(atLine(file, *freqLine) + ": the frequency table has " +
                  std::to_string(frequencies.size()) + " values where " + std::to_string(n) +
                  " atoms need " + std::to_string(3 * n) + ": the output is cut short");
    std::vector<double> x(frequencies.size(), 0.0);
    if (intensityLine) {
      if (intensities.size() != frequencies.size())
        throw Error(atLine(file, *intensityLine) + ": " + std::to_string(intensities.size()) +
                    " IR intensities for " + std::to_string(frequencies.size()) +
                    " modes: the output is cut short");
      for (const auto &[mode, value] : intensities) {
        if (mode < 1 || mode > static_cast<long>(x.size()))
          throw Error(atLine(file, *intensityLine) + ": IR intensity of mode " +
                      std::to_string(mode) + ", which does not exist");
        x[static_cast<std::size_t>(mode - 1)] = value;
      }
      hasIntensities = true;
    } else if (const auto spectrumText = readBeside(folder / "vibspectrum")) {
      // Only when it holds the same modes: it may be left from another run.
      const auto s = readVibspectrum(folder / "vibspectrum", *spectrumText);
      bool same = s && s->frequencies.size() == frequencies.size();
      for (std::size_t k = 0; same && k < frequencies.size(); ++k)
        same = std::fabs(s->frequencies[k] - frequencies[k]) < 0.011;
      if (same) {
        x = s->intensities;
        hasIntensities = true;
      } else {
        rec.warnings.push_back("the vibspectrum file beside the output holds other frequencies; "
                               "its IR intensities are not used");
      }
    }

    // xtb zeroes the lowest five eigenvalues of a linear molecule, whatever they
    // are: an imaginary mode among them is lost, and a rotation is left behind.
    const auto nearZero = static_cast<std::size_t>(std::count_if(
        frequencies.begin(), frequencies.end(), [](double f) { return std::fabs(f) < 1.0; }));
    if (n > 1 && nearZero > (linear ? 5u : 6u))
      throw Error(atLine(file, *freqLine) + ": " + std::to_string(nearZero) +
                  " frequencies are zero where " + (linear ? "5" : "6") +
                  " are translations and rotations: xtb dropped a mode (it zeroes the lowest "
                  "five of a linear molecule, an imaginary one included)");
    analysis = FrequencyAnalysis{*freqLine, std::move(frequencies), std::move(x), hasIntensities};
  }
  if (!finished)
    rec.warnings.push_back(
        std::string("the output stops before xtb's \"finished run\" line") +
        (freqLine ? " (xtb aborts so after the frequencies of a linear molecule); the energy is "
                    "that of the final single point"
                  : ": the run did not finish"));
  // xtb computes the Hessian at the final structure: no optimisation follows it.
  finishRecord(file, geom, std::move(analysis), std::nullopt, rec);
  return rec;
}

} // namespace orvalen::qc
