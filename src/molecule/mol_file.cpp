#include "molecule/mol_file.hpp"

#include "base/error.hpp"
#include "base/warnings.hpp"
#include "fixedio/format.hpp"
#include "fixedio/implied_point.hpp"
#include "fixedio/text_file.hpp"
#include "molecule/elements.hpp"
#include "molecule/torsion.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace orvalen {

namespace fs = std::filesystem;

namespace {

// Marker texts, matched anywhere in the first 255 characters of a line, case
// and inner blanks exactly. Their values are read from fixed columns that
// assume a blank in column 1 and the marker from column 2.
constexpr std::string_view MOMENTS = "Ia,Ib,Ic, amu*A^2";
constexpr std::string_view COORDINATES = "Molecular coordinates in principal axes (A)";
constexpr std::string_view ROTATION_NUMBER = "Rotation number set to  :";
constexpr std::string_view MOLECULAR_MASS = "Molecular mass          :";
constexpr std::string_view SYMMETRY_GROUP = "Symmetry group          :";
constexpr std::string_view STOICHIOMETRY = "Stoichiometry           :";
constexpr std::string_view IMAGINARY_FREQS = "Num. of imaginary freqs :";
constexpr std::string_view MULTIPLICITY = "Spin multiplicity of molecule =";
constexpr std::string_view BASE_ENERGY = "Base Energy :";
// Written by orvalen-import; the report uses neither (the checks of a job do).
constexpr std::string_view CHARGE = "Charge of molecule      :";
constexpr std::string_view ENERGY_METHOD = "Energy method           :";
// Data the report leaves out, for orvalen-scan.
constexpr std::string_view LEVELS = "Electronic levels (cm-1)";
constexpr std::string_view LEVELS_FROM = "Electronic levels from  :";
constexpr std::string_view OPTICAL_ISOMERS = "Optical isomers         :";
constexpr std::string_view ROTORS = "Hindered rotors (amu*A^2, kJ/mol)";
constexpr std::string_view CONFORMERS = "Conformers (Hartree, amu*A^2, cm-1)";
// The levels' source marker text that makes them the ground term's spin-orbit components.
constexpr std::string_view LEVELS_FROM_TABLE = "table";

// Block rows are read line after line, so their formats are parsed once.
const std::shared_ptr<const fixedio::ParsedFormat> ATOM_ROW =
    fixedio::parseFormatText("(14x,i3,3x,3f15.6)");
const std::shared_ptr<const fixedio::ParsedFormat> MODE_ROW =
    fixedio::parseFormatText("(4x,2f9.3)");
const std::shared_ptr<const fixedio::ParsedFormat> LEVEL_ROW =
    fixedio::parseFormatText("(6x,f12.4,i12)");
constexpr std::string_view FREQUENCIES = "No. Frequency Intensity";
// Ends the atom block and the frequency table, wherever it stands in a line.
constexpr std::string_view END_OF_BLOCK = "----------";
constexpr std::string_view ALL_MARKERS[] = {
    MOMENTS,         COORDINATES,  ROTATION_NUMBER, MOLECULAR_MASS, SYMMETRY_GROUP, STOICHIOMETRY,
    IMAGINARY_FREQS, MULTIPLICITY, BASE_ENERGY,     FREQUENCIES,    CHARGE,         ENERGY_METHOD,
    LEVELS,          LEVELS_FROM,  OPTICAL_ISOMERS, ROTORS,         CONFORMERS};

bool holds(const fixedio::Record &line, std::string_view marker) {
  return line.text.find(marker) != std::string::npos;
}

struct DataFile {
  fs::path path;
  std::string shown;    // the name as the job line wrote it, for messages
  bool created = false; // it did not exist and was created empty
};

// The name as written is tried first, then the upper-case FILENAME; a missing
// file is created empty under the name as written. A missing folder is a
// missing input, not a file to create.
DataFile locate(const Molecule &m, const fs::path &jobDir) {
  const std::string upper = trimmed(m.fileName);
  const std::string asWritten = m.fileNameAsWritten.empty() ? upper : trimmed(m.fileNameAsWritten);
  if (asWritten.empty())
    throw Error("molecule " + trimmed(m.name) + ": no data file named on its job line");
  DataFile file{jobDir / asWritten, asWritten};
  std::error_code ec;
  if (!fs::exists(file.path, ec) && !upper.empty() && upper != asWritten) {
    const fs::path upperPath = jobDir / upper;
    if (fs::exists(upperPath, ec))
      file.path = upperPath;
  }
  if (!fs::exists(file.path, ec)) {
    const fs::path folder = file.path.parent_path();
    if (!folder.empty() && !fs::is_directory(folder, ec))
      throw Error("molecule " + trimmed(m.name) + ": data file " + file.shown +
                  " is missing: its folder " + fs::path(file.shown).parent_path().string() +
                  " does not exist");
    file.created = true;
  }
  ensureFile(file.path, file.shown);
  return file;
}

// Real fields written without a decimal point: Fw.d takes their last d digits
// as the fraction, so "16" in the mass field is 0.0016 amu. The first such
// field of each kind is named with its line, the others are counted.
class PointCheck {
public:
  void check(const fixedio::Record &line, std::size_t column, std::size_t width, int decimals,
             const char *what, const char *unit, double value) {
    const std::string field =
        column - 1 < line.text.size() ? line.text.substr(column - 1, width) : std::string();
    if (!fixedio::impliedPointChanges(field, decimals))
      return;
    for (Found &f : found_)
      if (f.what == what) {
        ++f.more;
        return;
      }
    std::string shown = field;
    shown.erase(0, shown.find_first_not_of(' '));
    shown.erase(shown.find_last_not_of(' ') + 1);
    found_.push_back({what,
                      line.file + " line " + std::to_string(line.line) + ": the " + what + " \"" +
                          shownText(shown) + "\" has no decimal point and reads as " +
                          numberText(value) + " " + unit + " (the field's last " +
                          std::to_string(decimals) + " digits are its fraction); write " +
                          shownText(fixedio::withPointWritten(shown)) + " if that number was meant",
                      0});
  }

  void report(const Molecule &m, Warnings &warnings) const {
    for (const Found &f : found_)
      warnings.add("molecule " + trimmed(m.name) + ", " + f.text +
                   (f.more > 0 ? " (and " + std::to_string(f.more) + " more " + f.what +
                                     (f.more > 1 ? " fields" : " field") + " like it)"
                               : std::string()));
  }

private:
  struct Found {
    std::string what;
    std::string text;
    int more = 0;
  };
  std::vector<Found> found_;
};

// The header lines under a block marker are passed over whatever they hold,
// but they must be there.
void skipHeader(LineFile &file, int count, std::string_view marker, long markerLine) {
  for (int i = 0; i < count; ++i) {
    if (file.atEnd())
      throw Error(file.name() + ": unexpected end of file after line " +
                  std::to_string(file.lineNumber()) + ": expected " +
                  (count == 1 ? std::string("one line") : std::to_string(count) + " lines") +
                  " after \"" + std::string(marker) + "\" on line " + std::to_string(markerLine));
    file.skipLine();
  }
}

// One atom per line: atomic number in columns 15-17, x, y, z in Angstrom in
// columns 21-65. Leaves in `buffer` the line that ended the block, or the last
// atom line when the file ended. Returns the number of atoms.
int readAtoms(LineFile &file, fixedio::Record &buffer, Molecule &m, PointCheck &points) {
  skipHeader(file, 1, COORDINATES, buffer.line);
  int atoms = 0;
  while (!file.atEnd()) {
    file.readLine(buffer);
    if (holds(buffer, END_OF_BLOCK))
      break;
    ++atoms;
    if (atoms > MAX_ATOMS)
      throw Error(buffer.file + " line " + std::to_string(buffer.line) + ": NA(" +
                  std::to_string(atoms) + "), C(1..3, " + std::to_string(atoms) + "): more than " +
                  std::to_string(MAX_ATOMS) + " atoms in the coordinates block");
    const auto a = static_cast<std::size_t>(atoms - 1);
    fixedio::read(*ATOM_ROW, buffer, &m.na[a], &m.c[a][0], &m.c[a][1], &m.c[a][2]);
    for (std::size_t k = 0; k < 3; ++k)
      points.check(buffer, 21 + 15 * k, 15, 6, "coordinate", "Angstrom", m.c[a][k]);
  }
  return atoms;
}

// One mode per line, laid out like the report's vibration table: frequency in
// cm-1 in columns 5-13 (imaginary modes negative), IR intensity in km/mol in
// columns 14-22. Returns the number of modes.
int readModes(LineFile &file, const fixedio::Record &markerLine, Molecule &m, PointCheck &points) {
  skipHeader(file, 2, FREQUENCIES, markerLine.line);
  int modes = 0;
  fixedio::Record line; // its storage serves every row
  while (!file.atEnd()) {
    file.readLine(line);
    if (holds(line, END_OF_BLOCK))
      break;
    ++modes;
    if (modes > MAX_FREQ)
      throw Error(line.file + " line " + std::to_string(line.line) + ": FREQ(" +
                  std::to_string(modes) + "), XINTEN(" + std::to_string(modes) + "): more than " +
                  std::to_string(MAX_FREQ) + " frequencies in the table");
    const auto n = static_cast<std::size_t>(modes - 1);
    fixedio::read(*MODE_ROW, line, &m.freq[n], &m.xinten[n]);
    points.check(line, 5, 9, 3, "frequency", "cm-1", m.freq[n]);
    points.check(line, 14, 9, 3, "IR intensity", "km/mol", m.xinten[n]);
  }
  return modes;
}

// The field of `width` columns from `column` as it stands, blanks around it dropped.
std::string fieldText(const fixedio::Record &line, std::size_t column, std::size_t width) {
  std::string text = column - 1 < line.text.size() ? line.text.substr(column - 1, width) : "";
  text.erase(0, text.find_first_not_of(' '));
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

// The same in quotes, as messages show it.
std::string quotedField(const fixedio::Record &line, std::size_t column, std::size_t width) {
  return "\"" + shownText(fieldText(line, column, width)) + "\"";
}

// "FILE line N: ..." of a level row, with the row's energy and degeneracy
// fields as they stand.
std::string levelRowError(const fixedio::Record &line, const std::string &what) {
  return line.file + " line " + std::to_string(line.line) + ": electronic level " +
         quotedField(line, 7, 12) + " cm-1, degeneracy " + quotedField(line, 19, 12) + ": " + what;
}

// One level per line: energy in cm-1 above the ground level in columns 7-18,
// degeneracy in columns 19-30, up to a line with ten hyphens. The ground level
// comes first at 0, the others in ascending order.
void readLevels(LineFile &file, const fixedio::Record &markerLine, Molecule &m,
                PointCheck &points) {
  skipHeader(file, 2, LEVELS, markerLine.line);
  m.levels.clear(); // a second block replaces the first
  fixedio::Record line;
  while (!file.atEnd()) {
    file.readLine(line);
    if (holds(line, END_OF_BLOCK))
      break;
    if (m.levels.size() >= static_cast<std::size_t>(MAX_LEVELS))
      throw Error(levelRowError(line, "more than " + std::to_string(MAX_LEVELS) +
                                          " electronic levels in the block (the most a "
                                          "molecule holds); keep the lowest " +
                                          std::to_string(MAX_LEVELS)));
    ElectronicLevel level;
    fixedio::read(*LEVEL_ROW, line, &level.energy, &level.degeneracy);
    points.check(line, 7, 12, 4, "electronic level", "cm-1", level.energy);
    if (m.levels.empty() && level.energy != 0.0)
      throw Error(levelRowError(line, "the first level is not at 0; energies count from the "
                                      "ground level: write it first, at 0.0000"));
    if (!m.levels.empty() && level.energy < m.levels.back().energy)
      throw Error(levelRowError(line, "below the level before it (" +
                                          numberText(m.levels.back().energy) +
                                          " cm-1); write the levels in ascending order"));
    if (level.degeneracy < 1)
      throw Error(levelRowError(line, "a degeneracy below 1; give the number of states of the "
                                      "level (2J+1 for an atom's J level)"));
    if (level.energy > HIGHEST_LEVEL)
      throw Error(levelRowError(line, "above 1e6 cm-1 (124 eV) over the ground level, where no "
                                      "electronic level of a molecule lies"));
    m.levels.push_back(level);
  }
}

// The rotors block: a line per rotor (columns 7-12 the row of the frequency
// block whose mode it replaces, 13-19 and 20-26 the pivot atoms, 27-32 sigma,
// 33-46 the reduced moment in amu*A^2, 48-54 "cosine" or "Fourier", 55-69 the
// barrier V0 in kJ/mol or the number of Fourier terms), then lines "top" in
// columns 4-6 with its atoms in columns 7-11, 12-16, ... (20 a line) and
// lines "terms" in columns 2-6 with up to three terms, each k (4 columns),
// a_k and b_k in kJ/mol (15 columns each), up to a line with ten hyphens.
const std::shared_ptr<const fixedio::ParsedFormat> ROTOR_ROW =
    fixedio::parseFormatText("(6x,i6,2i7,i6,f14.6)");
constexpr std::size_t TOP_COLUMN = 7, TOP_WIDTH = 5, TOP_PER_LINE = 20;
constexpr std::size_t TERM_COLUMN = 7, TERM_WIDTH = 34, TERMS_PER_LINE = 3;

class RotorReader {
public:
  RotorReader(Molecule &m, PointCheck &points) : m_(m), points_(points) {}

  void read(LineFile &file, const fixedio::Record &markerLine) {
    skipHeader(file, 2, ROTORS, markerLine.line);
    m_.rotors.clear(); // a second block replaces the first
    lines_.clear();
    finished_ = 0;
    fixedio::Record line;
    while (!file.atEnd()) {
      file.readLine(line);
      if (holds(line, END_OF_BLOCK))
        break;
      const std::string label = fieldText(line, 1, 6);
      if (label == "top")
        topLine(line);
      else if (label == "terms")
        termsLine(line);
      else
        rotorLine(line);
    }
    finishRotor();
  }

  // What the rest of the file must agree with: the rows of the frequency
  // block and the atoms of the coordinates block.
  void check(int atoms) const {
    const auto nfreq = static_cast<int>(m_.nfreq);
    const std::span<const double> rows(m_.freq.data(),
                                       static_cast<std::size_t>(std::clamp(nfreq, 0, MAX_FREQ)));
    for (std::size_t k = 0; k < m_.rotors.size(); ++k) {
      const HinderedRotor &r = m_.rotors[k];
      const RotorCheck c =
          rotorPlaceFault(m_.rotors, k, rows, static_cast<std::size_t>(std::max(atoms, 0)));
      switch (c.fault) {
      case RotorFault::MODE_BEYOND_ROWS:
      case RotorFault::MODE_NOT_VIBRATION:
        throw Error(where_(k) + "mode " + std::to_string(r.mode) + " is " +
                    (c.fault == RotorFault::MODE_BEYOND_ROWS
                         ? "beyond the " + std::to_string(nfreq) + " rows of the frequency block"
                         : "not a real vibration of the frequency block") +
                    "; write the row of the mode the rotor replaces in columns 7-12");
      case RotorFault::MODE_TAKEN:
        throw Error(where_(k) + "mode " + std::to_string(r.mode) +
                    " is replaced by hindered rotor " + std::to_string(c.other + 1) +
                    " already; each rotor replaces a mode of its own");
      case RotorFault::BOND_TAKEN:
        throw Error(where_(k) + "pivots " + std::to_string(r.pivot1) + " and " +
                    std::to_string(r.pivot2) + ": hindered rotor " + std::to_string(c.other + 1) +
                    " (line " + std::to_string(lines_[c.other].second) +
                    ") turns about the same bond already; one torsion is one rotor: remove one "
                    "of the two");
      case RotorFault::ATOM_BEYOND:
        throw Error(where_(k) + "atom " + std::to_string(c.atom) + " is beyond the " +
                    std::to_string(atoms) + " atoms of the coordinates block");
      default: // the rotor's own rules were applied as its lines were read
        break;
      }
    }
  }

private:
  std::string where_(std::size_t k) const {
    return lines_[k].first + " line " + std::to_string(lines_[k].second) + ": hindered rotor " +
           std::to_string(k + 1) + ": ";
  }

  void rotorLine(const fixedio::Record &line) {
    finishRotor();
    if (m_.rotors.size() >= static_cast<std::size_t>(MAX_ROTORS))
      throw Error(line.file + " line " + std::to_string(line.line) + ": more than " +
                  std::to_string(MAX_ROTORS) +
                  " hindered rotors in the block (the most a molecule holds)");
    m_.rotors.emplace_back();
    lines_.emplace_back(line.file, line.line);
    HinderedRotor &r = m_.rotors.back();
    terms_ = 0;
    fixedio::read(*ROTOR_ROW, line, &r.mode, &r.pivot1, &r.pivot2, &r.sigma, &r.moment);
    points_.check(line, 33, 14, 6, "reduced moment", "amu*A^2", r.moment);
    const std::string where = where_(m_.rotors.size() - 1);
    switch (rotorNumbersFault(r).fault) {
    case RotorFault::MODE_BELOW_ONE:
      throw Error(where + "mode " + quotedField(line, 7, 6) +
                  ": write the row of the frequency block whose mode the rotor replaces in "
                  "columns 7-12");
    case RotorFault::PIVOTS:
      throw Error(where + "pivots " + quotedField(line, 13, 7) + " and " +
                  quotedField(line, 20, 7) +
                  ": write the two atoms of the bond, numbered from 1, in columns 13-19 and 20-26");
    case RotorFault::SIGMA:
      throw Error(where + "sigma " + quotedField(line, 27, 6) +
                  ": a torsion's symmetry number is 1 to " + std::to_string(MAX_ROTOR_SIGMA) +
                  "; write it in columns 27-32");
    case RotorFault::MOMENT:
      throw Error(where + "reduced moment " + quotedField(line, 33, 14) +
                  ": write the moment in amu*A^2, above 0 and at most " +
                  numberText(MAX_ROTOR_MOMENT) + ", in columns 33-46");
    default:
      break;
    }
    std::string lower = fieldText(line, 48, 7);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "cosine") {
      r.cosine = true;
      fixedio::read("(54x,f15.6)", line, &r.barrier);
      points_.check(line, 55, 15, 6, "cosine barrier", "kJ/mol", r.barrier);
      const RotorFault fault = rotorPotentialFault(r).fault;
      if (fault == RotorFault::BARRIER)
        throw Error(where + "cosine barrier " + quotedField(line, 55, 15) +
                    " kJ/mol: V0/2 (1 - cos(sigma phi)) has its minimum at phi = 0 only for "
                    "V0 of 0 or more");
      if (fault == RotorFault::BARRIER_HIGH)
        throw Error(where + "cosine barrier " + quotedField(line, 55, 15) +
                    " kJ/mol: no torsion has a barrier above " + numberText(MAX_ROTOR_BARRIER) +
                    " kJ/mol; write V0 in kJ/mol (a value in J/mol or cal/mol is 1000 or 4184 "
                    "times too large)");
    } else if (lower == "fourier") {
      fixedio::read("(54x,i15)", line, &terms_);
      if (terms_ < 1 || terms_ > MAX_ROTOR_TERMS)
        throw Error(where + "Fourier terms " + quotedField(line, 55, 15) +
                    ": write between 1 and " + std::to_string(MAX_ROTOR_TERMS) +
                    " (k = 0, 1, ...) in columns 55-69");
    } else {
      throw Error(where + "potential " + quotedField(line, 48, 7) +
                  ": write cosine (and the barrier V0 in kJ/mol in columns 55-69) or Fourier (and "
                  "the number of terms in columns 55-69) in columns 48-54");
    }
  }

  HinderedRotor &current(const fixedio::Record &line, const char *what) {
    if (m_.rotors.empty())
      throw Error(line.file + " line " + std::to_string(line.line) + ": a \"" + what +
                  "\" line before any rotor line of the hindered rotors block");
    return m_.rotors.back();
  }

  void topLine(const fixedio::Record &line) {
    HinderedRotor &r = current(line, "top");
    for (std::size_t j = 0; j < TOP_PER_LINE; ++j) {
      const std::size_t column = TOP_COLUMN + j * TOP_WIDTH;
      const std::string text = fieldText(line, column, TOP_WIDTH);
      if (text.empty())
        continue;
      int atom = 0;
      if (text.find(' ') != std::string::npos || !fixedio::parseIntField(text, atom) || atom < 1)
        throw Error(where_(m_.rotors.size() - 1) + "top atom " + quotedField(line, column, 5) +
                    " in columns " + std::to_string(column) + "-" +
                    std::to_string(column + TOP_WIDTH - 1) +
                    ": write one atom number from 1 in each 5 columns from column 7");
      r.top.push_back(atom);
    }
  }

  void termsLine(const fixedio::Record &line) {
    HinderedRotor &r = current(line, "terms");
    const std::string where = where_(m_.rotors.size() - 1);
    if (r.cosine)
      throw Error(where + "a \"terms\" line for a cosine potential; write Fourier and the number "
                          "of terms on the rotor line, or leave the terms out");
    for (std::size_t j = 0; j < TERMS_PER_LINE; ++j) {
      const std::size_t column = TERM_COLUMN + j * TERM_WIDTH;
      const std::string k = fieldText(line, column, 4), a = fieldText(line, column + 4, 15),
                        b = fieldText(line, column + 19, 15);
      if (k.empty() && a.empty() && b.empty())
        continue;
      int index = -1;
      std::array<double, 2> term{};
      if (k.find(' ') != std::string::npos || a.find(' ') != std::string::npos ||
          b.find(' ') != std::string::npos || !fixedio::parseIntField(k, index) || a.empty() ||
          b.empty() || !fixedio::parseRealField(a, 8, term[0]) ||
          !fixedio::parseRealField(b, 8, term[1]))
        throw Error(where + "term " + quotedField(line, column, 4) + ", " +
                    quotedField(line, column + 4, 15) + ", " + quotedField(line, column + 19, 15) +
                    " in columns " + std::to_string(column) + "-" +
                    std::to_string(column + TERM_WIDTH - 1) +
                    ": write k (4 columns), a_k and b_k in kJ/mol (15 columns each)");
      if (index != static_cast<int>(r.fourier.size()))
        throw Error(where + "term k = " + std::to_string(index) +
                    " where k = " + std::to_string(r.fourier.size()) +
                    " is due: write the terms in order from k = 0");
      if (index >= terms_)
        throw Error(where + "term k = " + std::to_string(index) + " beyond the " +
                    std::to_string(terms_) + " terms the rotor line announces");
      points_.check(line, column + 4, 15, 8, "Fourier coefficient", "kJ/mol", term[0]);
      points_.check(line, column + 19, 15, 8, "Fourier coefficient", "kJ/mol", term[1]);
      r.fourier.push_back(term);
    }
  }

  // The rotor before the next one, or before the end of the block, is whole.
  void finishRotor() {
    if (m_.rotors.empty() || finished_ == m_.rotors.size())
      return;
    finished_ = m_.rotors.size();
    const HinderedRotor &r = m_.rotors.back();
    const std::string where = where_(m_.rotors.size() - 1);
    const RotorCheck top = rotorTopFault(r);
    switch (top.fault) {
    case RotorFault::TOP_EMPTY:
      throw Error(where + "no \"top\" line: write the atoms of the rotating group on a line "
                          "\"   top\" after the rotor's line");
    case RotorFault::TOP_TWICE:
      throw Error(where + "top atom " + std::to_string(top.atom) + " is named twice");
    case RotorFault::TOP_WITHOUT_PIVOT:
      throw Error(where + "the top does not hold its pivot atom " + std::to_string(r.pivot1) +
                  " (columns 13-19); the top is the group on that atom's side of the bond");
    case RotorFault::TOP_WITH_OTHER_PIVOT:
      throw Error(where + "the top holds the other pivot atom " + std::to_string(r.pivot2) +
                  "; the top is the group on the side of pivot " + std::to_string(r.pivot1));
    default:
      break;
    }
    if (!r.cosine && static_cast<int>(r.fourier.size()) != terms_)
      throw Error(where + std::to_string(r.fourier.size()) + " Fourier terms on \"terms\" lines, " +
                  "not the " + std::to_string(terms_) + " the rotor line announces");
    if (!r.cosine)
      checkFourierPotential(r, where);
  }

  // An energy in kJ/mol with three decimals, for the messages.
  static std::string kjText(double value) {
    std::array<char, 64> buf{};
    const auto r =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed, 3);
    return r.ec == std::errc{} ? std::string(buf.data(), r.ptr) : numberText(value);
  }

  // A Fourier potential's barrier in range and its period that of sigma.
  static void checkFourierPotential(const HinderedRotor &r, const std::string &where) {
    const RotorCheck c = rotorPotentialFault(r);
    if (c.fault == RotorFault::BARRIER_HIGH)
      throw Error(where + "the Fourier terms make a barrier of " + kjText(c.barrier) +
                  " kJ/mol, above the " + numberText(MAX_ROTOR_BARRIER) +
                  " kJ/mol of any torsion; write the terms in kJ/mol");
    if (c.fault == RotorFault::PERIOD)
      throw Error(where + "the Fourier potential (barrier " + kjText(c.barrier) +
                  " kJ/mol) does not repeat " + std::to_string(r.sigma) +
                  " times a turn, as sigma " + std::to_string(r.sigma) + " says: turned by 360/" +
                  std::to_string(r.sigma) + " degrees it moves by up to " + kjText(c.mismatch) +
                  " kJ/mol, so Q/sigma would count too few states; write the sigma of the "
                  "potential's wells, or the potential of this torsion");
  }

  Molecule &m_;
  PointCheck &points_;
  std::vector<std::pair<std::string, long>> lines_; // file and line of each rotor
  std::size_t finished_ = 0;
  int terms_ = 0; // announced by the current rotor's line
};

// The conformers block: a line per conformer (columns 1-6 its number, 7-23
// its electronic energy in Hartree, 24-29 its rotation number, 30-35 its
// optical isomers, from column 38 the output it came from), then a line
// "moments" (columns 2-8) with Ia, Ib, Ic in amu*A^2 in columns 9-53 and lines
// "freqs" (columns 4-8) with up to six vibrations in cm-1, 11 columns each
// from column 9, imaginary ones negative, up to a line with ten hyphens.
const std::shared_ptr<const fixedio::ParsedFormat> CONFORMER_ROW =
    fixedio::parseFormatText("(i6,f17.8,2i6)");
constexpr std::size_t CONFORMER_SOURCE_COLUMN = 38;
constexpr std::size_t CONFORMER_FREQ_COLUMN = 9, CONFORMER_FREQ_WIDTH = 11,
                      CONFORMER_FREQS_PER_LINE = 6;

class ConformerReader {
public:
  ConformerReader(Molecule &m, PointCheck &points) : m_(m), points_(points) {}

  // What a line of the file brings them: the file's Base Energy (the first
  // such line, job line or not), from which they count, or their block.
  void take(LineFile &file, const fixedio::Record &line) {
    if (!fileEnergy_ && holds(line, BASE_ENERGY)) {
      double e = 0.0;
      fixedio::read("(14x,f17.8)", line, &e);
      fileEnergy_ = e;
    }
    if (holds(line, CONFORMERS))
      read(file, line);
  }

  void read(LineFile &file, const fixedio::Record &markerLine) {
    skipHeader(file, 2, CONFORMERS, markerLine.line);
    m_.conformers.clear(); // a second block replaces the first
    lines_.clear();
    moments_.clear();
    fixedio::Record line;
    while (!file.atEnd()) {
      file.readLine(line);
      if (holds(line, END_OF_BLOCK))
        break;
      const std::string label = fieldText(line, 1, 8);
      if (label == "moments")
        momentsLine(line);
      else if (label == "freqs")
        freqsLine(line);
      else
        conformerLine(line);
    }
  }

  // What the rest of the file must agree with: each conformer whole, of the
  // main structure's kind (as many imaginary modes), and an energy of the
  // main structure that the conformers' energies count from.
  void check() {
    if (m_.conformers.empty())
      return;
    const auto rows = static_cast<std::size_t>(std::clamp(static_cast<int>(m_.nfreq), 0, MAX_FREQ));
    const auto imaginary = std::count_if(m_.freq.begin(), m_.freq.begin() + static_cast<long>(rows),
                                         [](double f) { return f < 0.0; });
    for (std::size_t k = 0; k < m_.conformers.size(); ++k) {
      Conformer &c = m_.conformers[k];
      if (!moments_[k])
        throw Error(where_(k) + "no \"moments\" line: write Ia, Ib, Ic on a line \" moments\" "
                                "after the conformer's line");
      if (c.freq.empty())
        throw Error(where_(k) + "no \"freqs\" line: write its vibrations on lines \"   freqs\" "
                                "after the conformer's line");
      const auto own =
          std::count_if(c.freq.begin(), c.freq.end(), [](double f) { return f < 0.0; });
      if (own != imaginary)
        throw Error(where_(k) + std::to_string(own) +
                    " imaginary frequencies where the main "
                    "structure has " +
                    std::to_string(imaginary) +
                    ": the conformers of a molecule are all minima or all saddle points of "
                    "the same order");
      if (!fileEnergy_)
        throw Error(where_(k) + "the file has no \"" + std::string(BASE_ENERGY) +
                    "\" line, from which the conformers' energies count; write the main "
                    "structure's energy there");
      c.aboveMain = c.etot - *fileEnergy_;
    }
  }

private:
  std::string where_(std::size_t k) const {
    return lines_[k].first + " line " + std::to_string(lines_[k].second) + ": conformer " +
           std::to_string(k + 2) + ": ";
  }

  void conformerLine(const fixedio::Record &line) {
    if (m_.conformers.size() >= static_cast<std::size_t>(MAX_CONFORMERS))
      throw Error(line.file + " line " + std::to_string(line.line) + ": more than " +
                  std::to_string(MAX_CONFORMERS) +
                  " conformers in the block besides the main structure (the most a molecule "
                  "holds)");
    m_.conformers.emplace_back();
    lines_.emplace_back(line.file, line.line);
    moments_.push_back(false);
    Conformer &c = m_.conformers.back();
    int number = 0;
    fixedio::read(*CONFORMER_ROW, line, &number, &c.etot, &c.rotnum, &c.opticalIsomers);
    points_.check(line, 7, 17, 8, "conformer energy", "Hartree", c.etot);
    const std::string where = where_(m_.conformers.size() - 1);
    if (fieldText(line, 7, 17).empty())
      throw Error(where + "no energy in columns 7-23: write its electronic energy in Hartree");
    if (c.rotnum < 1)
      throw Error(where + "rotation number " + quotedField(line, 24, 6) +
                  ": a rotation number is 1 or more; write it in columns 24-29");
    if (c.opticalIsomers < 1)
      throw Error(where + "optical isomers " + quotedField(line, 30, 6) +
                  ": a structure has at least one form (2 for a chiral one); write the number in "
                  "columns 30-35");
    c.source = fieldText(line, CONFORMER_SOURCE_COLUMN, FILENAME_LEN);
  }

  Conformer &current(const fixedio::Record &line, const char *what) {
    if (m_.conformers.empty())
      throw Error(line.file + " line " + std::to_string(line.line) + ": a \"" + what +
                  "\" line before any conformer line of the conformers block");
    return m_.conformers.back();
  }

  void momentsLine(const fixedio::Record &line) {
    Conformer &c = current(line, "moments");
    fixedio::read("(8x,3f15.6)", line, &c.pmoi[0], &c.pmoi[1], &c.pmoi[2]);
    for (std::size_t k = 0; k < 3; ++k) {
      points_.check(line, 9 + 15 * k, 15, 6, "moment of inertia", "amu*A^2", c.pmoi[k]);
      if (!(c.pmoi[k] >= 0.0))
        throw Error(where_(m_.conformers.size() - 1) + "moment " +
                    quotedField(line, 9 + 15 * k, 15) +
                    ": moments of inertia in amu*A^2, 0 or more, in columns 9-53");
    }
    moments_.back() = true;
  }

  void freqsLine(const fixedio::Record &line) {
    Conformer &c = current(line, "freqs");
    for (std::size_t j = 0; j < CONFORMER_FREQS_PER_LINE; ++j) {
      const std::size_t column = CONFORMER_FREQ_COLUMN + j * CONFORMER_FREQ_WIDTH;
      const std::string text = fieldText(line, column, CONFORMER_FREQ_WIDTH);
      if (text.empty())
        continue;
      double f = 0.0;
      if (text.find(' ') != std::string::npos || !fixedio::parseRealField(text, 3, f) ||
          !std::isfinite(f))
        throw Error(where_(m_.conformers.size() - 1) + "frequency " +
                    quotedField(line, column, CONFORMER_FREQ_WIDTH) + " in columns " +
                    std::to_string(column) + "-" +
                    std::to_string(column + CONFORMER_FREQ_WIDTH - 1) +
                    ": write one wavenumber in cm-1 in each 11 columns from column 9");
      if (c.freq.size() >= static_cast<std::size_t>(MAX_FREQ))
        throw Error(where_(m_.conformers.size() - 1) + "more than " + std::to_string(MAX_FREQ) +
                    " frequencies");
      points_.check(line, column, CONFORMER_FREQ_WIDTH, 3, "frequency", "cm-1", f);
      c.freq.push_back(f);
    }
  }

  Molecule &m_;
  PointCheck &points_;
  std::vector<std::pair<std::string, long>> lines_; // file and line of each conformer
  std::vector<bool> moments_;                       // each conformer's moments were given
  std::optional<double> fileEnergy_;                // Hartree
};

} // namespace

int linearity(const std::array<double, 3> &pmoi) {
  const double scale = std::max(std::fabs(pmoi[0]), std::fabs(pmoi[1]));
  if (scale == 0.0)
    return 0;
  return std::fabs(pmoi[0] - pmoi[1]) / scale < 0.001 && std::fabs(pmoi[2]) < 0.001 ? 1 : 0;
}

namespace {

// The markers of one line that give a single value. A job-line value of
// ROTNUM, MULT or ETOT wins, and in the file the first line with the marker does.
void readMarkerLine(const fixedio::Record &buffer, Molecule &m, PointCheck &points) {
  if (isNotGiven(m.rotnum) && holds(buffer, ROTATION_NUMBER))
    fixedio::read("(26x,i10)", buffer, &m.rotnum);
  if (holds(buffer, MOLECULAR_MASS)) {
    fixedio::read("(26x,f10.4)", buffer, &m.mass);
    points.check(buffer, 27, 10, 4, "molecular mass", "amu", m.mass);
  }
  if (holds(buffer, SYMMETRY_GROUP))
    fixedio::read("(26x,a10)", buffer, &m.symGroup);
  if (holds(buffer, STOICHIOMETRY))
    fixedio::read("(26x,a10)", buffer, &m.stoich);
  if (holds(buffer, IMAGINARY_FREQS))
    fixedio::read("(26x,i10)", buffer, &m.nneg);
  if (isNotGiven(m.mult) && holds(buffer, MULTIPLICITY))
    fixedio::read("(32x,i2)", buffer, &m.mult);
  if (isNotGiven(m.etot) && holds(buffer, BASE_ENERGY)) {
    fixedio::read("(14x,f17.8)", buffer, &m.etot);
    points.check(buffer, 15, 17, 8, "base energy", "Hartree", m.etot);
  }

  if (isNotGiven(m.charge) && holds(buffer, CHARGE))
    fixedio::read("(26x,i10)", buffer, &m.charge);
  if (holds(buffer, OPTICAL_ISOMERS)) {
    fixedio::read("(26x,i10)", buffer, &m.opticalIsomers);
    if (m.opticalIsomers < 1)
      throw Error(buffer.file + " line " + std::to_string(buffer.line) + ": optical isomers " +
                  quotedField(buffer, 27, 10) +
                  ": a molecule has at least one form (2 for a chiral one); write the number "
                  "in columns 27-36");
  }
  if (holds(buffer, LEVELS_FROM)) {
    std::string source;
    fixedio::read("(26x,a229)", buffer, &source);
    const auto first = source.find_first_not_of(' ');
    m.levelsFromTable =
        first != std::string::npos && trimmed(source.substr(first)) == LEVELS_FROM_TABLE;
  }
  if (m.energyMethod.empty() && holds(buffer, ENERGY_METHOD)) {
    std::string method;
    fixedio::read("(26x,a229)", buffer, &method);
    const auto first = method.find_first_not_of(' ');
    m.energyMethod = first == std::string::npos ? std::string() : trimmed(method.substr(first));
  }
}

// Where the levels' marker and block stand in a data file (0: nowhere).
struct LevelsLines {
  long from = 0;  // the "Electronic levels from" marker's
  long block = 0; // the last levels block's marker
};

// A source marker without a block is worth a word; the table's levels are a
// ground term's, never none, so an empty block marked so is a file cut or
// edited by hand.
void checkLevelsLines(const Molecule &m, const LevelsLines &at, const std::string &shown,
                      Warnings &warnings) {
  if (at.from > 0 && at.block == 0)
    warnings.add("molecule " + trimmed(m.name) + ", " + shown + " line " + std::to_string(at.from) +
                 ": \"" + std::string(LEVELS_FROM) + "\" without an \"" + std::string(LEVELS) +
                 "\" block: the molecule has no levels; add the block or remove the marker");
  if (at.block > 0 && m.levels.empty() && m.levelsFromTable)
    throw Error(shown + " line " + std::to_string(at.block) + ": the \"" + std::string(LEVELS) +
                "\" block holds no level, though \"" + std::string(LEVELS_FROM) + "\" says " +
                std::string(LEVELS_FROM_TABLE) +
                "; write the table's levels (orvalen-import writes them) or remove both");
}

// The data file's own multiplicity and the line of its first marker, also
// when a job-line MULT= wins over it (a field that does not read is then 0).
struct FileMultiplicity {
  int value = 0;
  long line = 0;
};

void noteMultiplicity(const fixedio::Record &buffer, FileMultiplicity &f) {
  if (f.line > 0 || !holds(buffer, MULTIPLICITY))
    return;
  f.line = buffer.line;
  try {
    fixedio::read("(32x,i2)", buffer, &f.value);
  } catch (const Error &) {
    f.value = 0;
  }
}

// A job-line MULT= other than the data file's is allowed (another state of
// the same geometry) but named. M = 2S+1 needs M - 1 unpaired electrons, so a
// multiplicity above the electron count plus one is no molecule: refused.
// The protons of the coordinates block and its electrons (the protons less
// the charge, 0 without the marker); nullopt without atoms or with an atomic
// number outside the table.
std::optional<std::pair<long, long>> protonsAndElectrons(const Molecule &m) {
  if (m.natoms < 1 || m.natoms > MAX_ATOMS)
    return std::nullopt;
  long protons = 0;
  for (int a = 0; a < m.natoms; ++a) {
    const int z = m.na[static_cast<std::size_t>(a)];
    if (z < 1 || z > MAX_ELEMENT)
      return std::nullopt;
    protons += z;
  }
  return std::pair{protons, protons - (isNotGiven(m.charge) ? 0 : m.charge)};
}

void checkMultiplicity(const Molecule &m, const FileMultiplicity &f, const std::string &shown,
                       Warnings &warnings) {
  const std::string name = "molecule " + trimmed(m.name);
  const bool given = !isNotGiven(m.mult) && m.mult > 0; // else the molecule checks say so
  const auto counts = protonsAndElectrons(m);
  const bool refused = given && counts && counts->second >= 0 && m.mult - 1 > counts->second;
  // A parity the electrons forbid has its own warning (mol_checks).
  const bool parity = given && counts && (counts->second + m.mult) % 2 == 0;
  if (m.multFromJob && given && !refused && !parity && f.line > 0 && f.value > 0 &&
      f.value != m.mult)
    warnings.add(name + ", " + shown + " line " + std::to_string(f.line) +
                 ": the job line's MULT=" + std::to_string(m.mult) +
                 " differs from the data file's spin multiplicity " + std::to_string(f.value) +
                 "; " + std::to_string(m.mult) + " is used");
  if (!refused)
    return;
  const auto [protons, electrons] = *counts;
  const bool chargeGiven = !isNotGiven(m.charge);
  const std::string which = m.multFromJob ? ": the job line's MULT=" + std::to_string(m.mult)
                                          : ", " + shown + " line " + std::to_string(f.line) +
                                                ": spin multiplicity " + std::to_string(m.mult);
  const auto count = [](long n, const char *what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
  };
  throw Error(name + which + " needs " + count(m.mult - 1, "unpaired electron") +
              ", more than the " + count(electrons, "electron") + " of its coordinates block (" +
              count(protons, "proton") + ", " +
              (chargeGiven ? "charge " + std::to_string(m.charge)
                           : std::string("no \"Charge of molecule\" marker: charge 0")) +
              "); check the multiplicity and the charge");
}

} // namespace

void readMolFile(Molecule &m, const fs::path &jobDir) {
  Warnings ignored;
  readMolFile(m, jobDir, ignored);
}

void readMolFile(Molecule &m, const fs::path &jobDir, Warnings &warnings) {
  const DataFile data = locate(m, jobDir);
  m.dataPath = data.path;
  LineFile file(data.path, data.shown);
  const std::string name = trimmed(m.name);
  if (data.created)
    warnings.addUnsound("molecule " + name + ": data file " + data.shown +
                        " does not exist; it was created empty, so " + name +
                        " has no mass, moments, frequencies or energy and the report's numbers "
                        "for it cannot be used (check the file name on its job line)");
  else if (file.atEnd())
    warnings.addUnsound("molecule " + name + ": data file " + data.shown + " is empty, so " + name +
                        " has no mass, moments, frequencies or energy and the report's numbers "
                        "for it cannot be used");
  PointCheck points;
  bool markerSeen = false;

  int atoms = 0; // NATOMS: a file without a coordinates block has no atoms
  RotorReader rotors(m, points);
  LevelsLines levelsLines;
  FileMultiplicity fileMult;
  ConformerReader conformers(m, points);
  fixedio::Record buffer;
  while (!file.atEnd()) {
    file.readLine(buffer);
    for (const std::string_view marker : ALL_MARKERS)
      markerSeen = markerSeen || holds(buffer, marker);
    if (holds(buffer, MOMENTS)) {
      fixedio::read("(19x,3f15.6)", buffer, &m.pmoi[0], &m.pmoi[1], &m.pmoi[2]);
      for (std::size_t k = 0; k < 3; ++k)
        points.check(buffer, 20 + 15 * k, 15, 6, "moment of inertia", "amu*A^2", m.pmoi[k]);
    }
    // After the atom block the markers below are looked for on the line that
    // ended it, so a marker on the closing line of hyphens still counts.
    if (holds(buffer, COORDINATES))
      atoms = readAtoms(file, buffer, m, points);

    readMarkerLine(buffer, m, points);
    noteMultiplicity(buffer, fileMult);

    // The line that ends the frequency table is not looked at for markers.
    if (holds(buffer, FREQUENCIES))
      m.nfreq = static_cast<double>(readModes(file, buffer, m, points));
    if (holds(buffer, LEVELS_FROM))
      levelsLines.from = buffer.line;
    if (holds(buffer, LEVELS)) {
      readLevels(file, buffer, m, points);
      levelsLines.block = buffer.line;
    }
    if (holds(buffer, ROTORS))
      rotors.read(file, buffer);
    conformers.take(file, buffer);
  }
  checkLevelsLines(m, levelsLines, data.shown, warnings);
  m.natoms = atoms;
  m.linear = linearity(m.pmoi);
  rotors.check(atoms);
  conformers.check();
  points.report(m, warnings);
  if (!data.created && file.lineNumber() > 0 && !markerSeen)
    warnings.addUnsound("molecule " + name + ": data file " + data.shown +
                        " holds none of the "
                        "markers of a molecule data file (such as \"Molecular mass          :\" "
                        "from column 2), so " +
                        name +
                        " has no data and the report's numbers "
                        "for it cannot be used");
  checkMultiplicity(m, fileMult, data.shown, warnings);
}

void readMoleculeFile(Molecule &m, const std::filesystem::path &jobDir, Warnings &warnings) {
  try {
    readMolFile(m, jobDir, warnings);
  } catch (const Error &e) {
    const std::string what = e.what();
    if (what.starts_with("molecule "))
      throw;
    throw Error("molecule " + trimmed(m.name) + ", " + what);
  }
}

} // namespace orvalen
