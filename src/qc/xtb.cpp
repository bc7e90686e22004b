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
//   charge        ":: total charge" of the summary of each single point.
//   atoms         "ID Z sym. atoms" lists the element of every atom: a
//                 geometry read from a file beside the output must hold them.
//   steps         the run ends in "* finished run on"; xtb aborts after the
//                 frequencies of a linear molecule (files missing), so there
//                 the line that closes the frequency table ends the Hessian.
// The output is UTF-8 ("cm⁻¹") and has been seen with NUL bytes in a table row;
// NUL bytes are read as blanks.
#include "qc/geometry_names.hpp"
#include "qc/output_reader.hpp"
#include "qc/output_text.hpp"
#include "qc/readers.hpp"
#include "qc/xyz.hpp"

#include "base/error.hpp"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>

namespace orvalen::qc {

namespace {

// A line of xtb's symmetry finder ("Molecule has no symmetry elements",
// "Molecule has the following symmetry elements: ...", "It seems to be the C3
// point group").
bool symmetryVerdict(std::string_view line) {
  return contains(line, "symmetry elements") ||
         (contains(line, "It seems to be the") && contains(line, "point group"));
}

// The element of a "$coord" row, a symbol in lower case.
int elementOf(const std::filesystem::path &file, std::size_t line, std::string_view symbol) {
  if (const auto z = elementOfLabel(symbol, AtomLabel::Symbol))
    return *z;
  throw Error(atLine(file, line) + ": unknown element " + inQuotes(symbol));
}

// A Turbomole "$coord" block (bohr) starting at lines[first], up to the next
// "$" line, whose index goes to `closing` when given.
Atoms readCoord(const std::filesystem::path &file, const Lines &lines, std::size_t first,
                std::size_t *closing = nullptr) {
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
  if (closing)
    *closing = i;
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
  const Lines lines(text);
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

// "    2    1 H      2, 3" of the "ID    Z sym.   atoms" table: the atoms
// (numbered from 1, single or as ranges "4-6") of element Z. False for a row
// that does not read so.
bool readElementRow(const std::vector<std::string_view> &w, std::vector<int> &elementOf) {
  const auto z = w.size() >= 4 ? parseInteger(w[1]) : std::nullopt;
  if (!z || *z < 1 || *z > 118)
    return false;
  std::string list;
  for (std::size_t k = 3; k < w.size() && list.size() <= SHORT_TEXT; ++k)
    list += std::string(w[k].substr(0, SHORT_TEXT));
  std::size_t p = 0;
  while (p < list.size()) {
    std::size_t q = list.find(',', p);
    if (q == std::string::npos)
      q = list.size();
    const std::string_view item = std::string_view(list).substr(p, q - p);
    const std::size_t dash = item.find('-');
    const auto from = parseInteger(item.substr(0, dash));
    const auto to = dash == std::string_view::npos ? from : parseInteger(item.substr(dash + 1));
    if (!from || !to || *from < 1 || *to < *from || *to > 100000)
      return false;
    if (elementOf.size() < static_cast<std::size_t>(*to))
      elementOf.resize(static_cast<std::size_t>(*to), 0);
    for (long a = *from; a <= *to; ++a)
      elementOf[static_cast<std::size_t>(a - 1)] = static_cast<int>(*z);
    p = q + 1;
  }
  return true;
}

// A geometry file beside the output must hold the atoms the output lists: it
// may have been written again since, for another molecule.
void checkAtoms(const std::filesystem::path &output, const std::filesystem::path &beside,
                const Atoms &geometry, const std::vector<int> &elementOf, std::size_t tableLine) {
  if (elementOf.empty() || geometry.z == elementOf)
    return;
  throw Error(beside.string() + ": its " + std::to_string(geometry.z.size()) + " atoms (" +
              hillFormula(geometry.z) + ") are not the " + std::to_string(elementOf.size()) +
              " atoms (" + hillFormula(elementOf) + ", in that order) listed at line " +
              std::to_string(tableLine + 1) + " of " + output.string() +
              ": the file was written again after the run; give the output with its own files");
}

// The walk through one output and the files beside it: what each line says
// is gathered first, with the line it stands on; the record is made after.
class XtbReader : public OutputReader {
public:
  using OutputReader::OutputReader;

private:
  std::size_t line(std::size_t i) override {
    const auto w = splitWords(lines_[i]);
    if (!setup(i, w) && !atoms(i, w) && !tables(i, w))
      progress(i, w);
    return i;
  }

  RecordParts parts() override {
    if (hessianLine_ && !freqLine_)
      throw Error(atLine(file_, *hessianLine_) +
                  ": a Hessian calculation starts here but no frequencies follow: the output is "
                  "cut short");
    if (rec_.optimisation && !rec_.optimisationConverged && !finalStructure_)
      throw Error(file_.string() + ": the geometry optimisation did not finish");
    chooseGeometry();
    chooseEnergyAndState();
    std::optional<FrequencyAnalysis> analysis;
    if (freqLine_)
      analysis = frequencyAnalysis();
    // xtb computes the Hessian at the final structure: no optimisation follows it.
    return {geom_, std::move(analysis), std::nullopt, lastValue_};
  }

  // The program call, its input and the method.
  bool setup(std::size_t i, const std::vector<std::string_view> &w) {
    const std::string_view line = lines_[i];
    if (rec_.version.empty() && w.size() >= 4 && w[0] == "*" && w[1] == "xtb" &&
        w[2] == "version") {
      rec_.version = std::string(w[3].substr(0, SHORT_TEXT));
    } else if (contains(line, "program call") && contains(line, ":")) {
      for (std::size_t k = 0; k < w.size(); ++k) {
        std::optional<long> n;
        if ((w[k] == "--uhf" || w[k] == "-u") && k + 1 < w.size())
          n = parseInteger(w[k + 1]);
        else if (w[k].starts_with("--uhf="))
          n = parseInteger(w[k].substr(6));
        if (n && *n >= 0 && *n < 1000)
          uhf_ = static_cast<int>(*n);
      }
    } else if (contains(line, "coordinate file") && w.size() >= 4 && w[w.size() - 2] == ":" &&
               w.back().size() <= SHORT_TEXT) {
      coordinateFile_ = std::string(w.back());
    } else if (w.size() >= 4 && w[0] == ":" && w[1] == "Hamiltonian") {
      hamiltonian_ = std::string(w[2].substr(0, SHORT_TEXT));
    } else if (w.size() >= 5 && w[0] == ":" && w[1] == "#" && w[2] == "electrons") {
      electrons_ = parseInteger(w[3]);
    } else {
      return false;
    }
    return true;
  }

  // "ID Z sym. atoms": the element of every atom, the first time.
  bool atoms(std::size_t i, const std::vector<std::string_view> &w) {
    if (w.size() != 4 || w[0] != "ID" || w[1] != "Z" || w[2] != "sym." || w[3] != "atoms" ||
        !elementOf_.empty())
      return false;
    elementTable_ = i;
    for (std::size_t k = i + 1; k < lines_.size(); ++k) {
      const auto row = splitWords(lines_[k]);
      if (row.empty() || !readElementRow(row, elementOf_))
        break;
    }
    if (std::find(elementOf_.begin(), elementOf_.end(), 0) != elementOf_.end())
      elementOf_.clear(); // an atom the table left out: it is not one to check against
    return true;
  }

  // The final structure, the frequencies and the IR intensities.
  bool tables(std::size_t i, const std::vector<std::string_view> &w) {
    const std::string_view line = lines_[i];
    if (w.size() == 2 && w[0] == "final" && w[1] == "structure:")
      finalStructure(i);
    else if (contains(line, "vibrational frequencies (cm"))
      frequencies(i);
    else if (contains(line, "IR intensities (km"))
      intensities(i);
    else
      return false;
    return true;
  }

  // "final structure:", then an XYZ block, or a "$coord" block in bohr.
  void finalStructure(std::size_t i) {
    std::size_t k = i + 1;
    while (k < lines_.size() &&
           (splitWords(lines_[k]).empty() || lines_[k].find("===") != std::string_view::npos))
      ++k;
    finalLine_ = i;
    if (k < lines_.size() && contains(lines_[k], "$coord")) {
      finalStructure_ = readCoord(file_, lines_, k, &finalEnd_);
    } else {
      const XyzBlock block = readXyz(file_, lines_, k);
      finalStructure_ = block.atoms;
      finalEnd_ = block.end - 1;
    }
  }

  // "eigval :" rows, 3N values; the last block is used.
  void frequencies(std::size_t i) {
    freqLine_ = i;
    frequencies_.clear();
    for (std::size_t k = i + 1; k < lines_.size(); ++k) {
      const auto v = splitWords(lines_[k]);
      if (v.size() < 2 || v[0] != "eigval" || v[1] != ":")
        break;
      for (std::size_t j = 2; j < v.size(); ++j)
        frequencies_.push_back(realAt(file_, k, v[j]));
      freqEnd_ = k;
    }
  }

  // Rows "  1: 34.55  2: 82.54", a value touching its colon at times ("3:116.77").
  // The symmetry finder writes its verdict through another channel, which can
  // land between two rows ("Molecule has no symmetry elements", "It seems to
  // be the C1 point group"): such lines are passed over.
  void intensities(std::size_t i) {
    intensityLine_ = i;
    intensities_.clear();
    for (std::size_t k = i + 1; k < lines_.size(); ++k) {
      const auto v = splitWords(lines_[k]);
      if (!v.empty() && v[0].find(':') == std::string_view::npos && symmetryVerdict(lines_[k]))
        continue;
      if (v.empty() || v[0].find(':') == std::string_view::npos)
        break;
      for (std::size_t j = 0; j < v.size(); ++j) {
        const auto colon = v[j].find(':');
        const auto mode =
            colon == std::string_view::npos ? std::nullopt : parseInteger(v[j].substr(0, colon));
        if (!mode)
          throw Error(atLine(file_, k) + ": expected \"mode: intensity\" in the IR intensities");
        std::string_view value = v[j].substr(colon + 1);
        if (value.empty() && j + 1 < v.size())
          value = v[++j];
        intensities_.emplace_back(*mode, realAt(file_, k, value));
      }
      intensityEnd_ = k;
    }
  }

  // Energies, charges, the optimisation, the Hessian and the end of the run.
  void progress(std::size_t i, const std::vector<std::string_view> &w) {
    const std::string_view line = lines_[i];
    if (contains(line, "A N C O P T")) {
      rec_.optimisation = true;
      rec_.optimisationConverged = false;
    } else if (contains(line, "GEOMETRY OPTIMIZATION CONVERGED")) {
      rec_.optimisationConverged = true;
    } else if (w.size() >= 5 && w[0] == "|" && w[1] == "TOTAL" && w[2] == "ENERGY") {
      boxEnergy_ = realAt(file_, i, w[3]);
      boxLine_ = i;
    } else if (w.size() >= 5 && w[0] == "::" && w[1] == "total" && w[2] == "energy") {
      summaryEnergy_ = realAt(file_, i, w[3]);
      summaryLine_ = i;
    } else if (w.size() >= 5 && w[0] == "::" && w[1] == "total" && w[2] == "charge") {
      if (const auto q = parseReal(w[3]);
          q && std::fabs(*q - std::round(*q)) < 1.0e-6 && std::fabs(*q) < 1000.0)
        charges_.emplace_back(i, static_cast<int>(std::lround(*q)));
    } else if (contains(line, "Numerical Hessian") || contains(line, "Frequency Printout")) {
      if (!hessianLine_)
        hessianLine_ = i;
    } else if (contains(line, "* finished run on")) {
      steps_.endAt(i);
      steps_.finished = true;
    }
  }

  // The geometry the Hessian was computed at: the final structure, else
  // xtbopt.xyz after an optimisation, else the coordinate file of the call.
  void chooseGeometry() {
    if (finalStructure_) {
      geom_ = *finalStructure_;
      lastValue_ = finalEnd_;
      return;
    }
    std::filesystem::path beside = file_.parent_path() / "xtbopt.xyz";
    if (!rec_.optimisation) {
      if (coordinateFile_.empty())
        throw Error(file_.string() + ": no geometry (no final structure and no coordinate file "
                                     "named)");
      beside = file_.parent_path() / coordinateFile_;
    }
    const auto text = readBeside(beside);
    if (!text && rec_.optimisation)
      throw Error(file_.string() + ": no final structure in the output and no xtbopt.xyz "
                                   "beside it");
    if (!text)
      throw Error(file_.string() + ": no final structure, and the input geometry " +
                  beside.string() + " cannot be read");
    if (rec_.optimisation) {
      geom_ = readXyz(beside, Lines(*text), 0).atoms;
    } else {
      // A file typed by hand may lack its last line feed.
      const Lines lines(*text, Lines::Last::Kept);
      std::size_t first = 0;
      while (first < lines.size() && splitWords(lines[first]).empty())
        ++first;
      geom_ = first < lines.size() && contains(lines[first], "$coord")
                  ? readCoord(beside, lines, first)
                  : readXyz(beside, lines, first).atoms;
    }
    checkAtoms(file_, beside, geom_, elementOf_, elementTable_);
    rec_.filesBeside.push_back(beside);
  }

  // The energy at the geometry of the Hessian: the box after it, else the
  // summary of the single point at the final structure. The multiplicity of
  // the "--uhf" of the call (else the lowest), the charge of the last single
  // point before the Hessian (or of the last).
  void chooseEnergyAndState() {
    if (boxEnergy_) {
      rec_.energy = *boxEnergy_;
      lastValue_ = std::max(lastValue_, *boxLine_);
    } else if (summaryEnergy_ && (!finalLine_ || *summaryLine_ > *finalLine_)) {
      rec_.energy = *summaryEnergy_;
      lastValue_ = std::max(lastValue_, *summaryLine_);
    } else {
      throw Error(file_.string() + ": no total energy");
    }
    rec_.energyLevel = hamiltonian_.empty() ? "xTB" : hamiltonian_;
    rec_.energyMethod = hamiltonian_; // a tight-binding method has its own minimal basis
    if (uhf_)
      rec_.multiplicity = *uhf_ + 1;
    else if (electrons_)
      rec_.multiplicity = *electrons_ % 2 == 0 ? 1 : 2;
    for (const auto &[line, q] : charges_)
      if (!freqLine_ || line < *freqLine_) {
        rec_.charge = q;
        lastValue_ = std::max(lastValue_, line);
      }
  }

  FrequencyAnalysis frequencyAnalysis() {
    const std::size_t n = geom_.z.size();
    const bool linear = isLinearGeometry(geom_.r);
    if (frequencies_.size() != 3 * n)
      throw Error(atLine(file_, *freqLine_) + ": the frequency table has " +
                  std::to_string(frequencies_.size()) + " values where " + std::to_string(n) +
                  " atoms need " + std::to_string(3 * n) + ": the output is cut short");
    lastValue_ = std::max(lastValue_, freqEnd_);
    std::vector<double> x(frequencies_.size(), 0.0);
    const bool hasIntensities = intensityLine_ ? intensitiesOfOutput(x) : intensitiesBeside(x);
    // xtb zeroes the lowest five eigenvalues of a linear molecule, whatever they
    // are: an imaginary mode among them is lost, and a rotation is left behind.
    const auto nearZero = static_cast<std::size_t>(std::count_if(
        frequencies_.begin(), frequencies_.end(), [](double f) { return std::fabs(f) < 1.0; }));
    if (n > 1 && nearZero > (linear ? 5u : 6u))
      throw Error(atLine(file_, *freqLine_) + ": " + std::to_string(nearZero) +
                  " frequencies are zero where " + (linear ? "5" : "6") +
                  " are translations and rotations: xtb dropped a mode (it zeroes the lowest "
                  "five of a linear molecule, an imaginary one included)");
    // xtb aborts after the frequencies of a linear molecule: the line that
    // closes their table is all there is of the end of the Hessian.
    if (linear && !steps_.finished && freqEnd_ + 1 < lines_.size()) {
      steps_.endAt(freqEnd_ + 1);
      steps_.stopped = "the output stops before xtb's \"finished run\" line (xtb aborts so "
                       "after the frequencies of a linear molecule); the energy is that of the "
                       "final single point";
    }
    return FrequencyAnalysis{*freqLine_, std::move(frequencies_), std::move(x), hasIntensities};
  }

  bool intensitiesOfOutput(std::vector<double> &x) {
    if (intensities_.size() != frequencies_.size())
      throw Error(atLine(file_, *intensityLine_) + ": " + std::to_string(intensities_.size()) +
                  " IR intensities for " + std::to_string(frequencies_.size()) +
                  " modes: the output is cut short");
    for (const auto &[mode, value] : intensities_) {
      if (mode < 1 || mode > static_cast<long>(x.size()))
        throw Error(atLine(file_, *intensityLine_) + ": IR intensity of mode " +
                    std::to_string(mode) + ", which does not exist");
      x[static_cast<std::size_t>(mode - 1)] = value;
    }
    lastValue_ = std::max(lastValue_, intensityEnd_);
    return true;
  }

  // The intensities of vibspectrum, only when it holds the same modes: it may
  // be left from another run.
  bool intensitiesBeside(std::vector<double> &x) {
    const std::filesystem::path beside = file_.parent_path() / "vibspectrum";
    const auto text = readBeside(beside);
    if (!text)
      return false;
    const auto s = readVibspectrum(beside, *text);
    bool same = s && s->frequencies.size() == frequencies_.size();
    for (std::size_t k = 0; same && k < frequencies_.size(); ++k)
      same = std::fabs(s->frequencies[k] - frequencies_[k]) < 0.011;
    if (!same) {
      rec_.warnings.push_back("the vibspectrum file beside the output holds other frequencies; "
                              "its IR intensities are not used");
      return false;
    }
    x = s->intensities;
    rec_.filesBeside.push_back(beside);
    return true;
  }

  std::optional<Atoms> finalStructure_;
  std::optional<std::size_t> freqLine_, intensityLine_, hessianLine_, finalLine_, summaryLine_,
      boxLine_;
  std::size_t finalEnd_ = 0, freqEnd_ = 0, intensityEnd_ = 0, elementTable_ = 0;
  std::vector<double> frequencies_;
  std::vector<std::pair<long, double>> intensities_; // mode number, km/mol
  std::optional<double> boxEnergy_, summaryEnergy_;
  std::string coordinateFile_, hamiltonian_;
  std::optional<int> uhf_;
  std::optional<long> electrons_;
  std::vector<std::pair<std::size_t, int>> charges_; // line, ":: total charge"
  std::vector<int> elementOf_;                       // of atom 1, 2, ... as the output lists them
  // What the record is made of.
  Atoms geom_;
  std::size_t lastValue_ = 0;
};

} // namespace

bool isXtb(std::string_view text) {
  return contains(text, "* xtb version") || (contains(text, "x T B") && contains(text, "Grimme"));
}

QcRecord readXtb(const std::filesystem::path &file, std::string_view bytes) {
  // A copy only for an output that still holds NUL bytes (readOutput makes
  // them blanks in its own text).
  std::string withBlanks;
  if (bytes.find('\0') != std::string_view::npos) {
    withBlanks = bytes;
    std::replace(withBlanks.begin(), withBlanks.end(), '\0', ' ');
    bytes = withBlanks;
  }
  return XtbReader(file, bytes, "xtb", "* finished run on").read();
}

} // namespace orvalen::qc
