#include "molecule/mol_file.hpp"

#include "report/error.hpp"
#include "report/format.hpp"
#include "report/text_file.hpp"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

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

// Block rows are read line after line, so their formats are parsed once.
const std::shared_ptr<const fmt::ParsedFormat> ATOM_ROW = fmt::parseFormat("(14x,i3,3x,3f15.6)");
const std::shared_ptr<const fmt::ParsedFormat> MODE_ROW = fmt::parseFormat("(4x,2f9.3)");
constexpr std::string_view FREQUENCIES = "No. Frequency Intensity";
// Ends the atom block and the frequency table, wherever it stands in a line.
constexpr std::string_view END_OF_BLOCK = "----------";

bool holds(const fmt::Record &line, std::string_view marker) {
  return line.text.find(marker) != std::string::npos;
}

struct DataFile {
  fs::path path;
  std::string shown; // the name as the job line wrote it, for messages
};

// The name as written is tried first, then the upper-case FILENAME; a missing
// file is created empty under the name as written.
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
  ensureFile(file.path, file.shown);
  return file;
}

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
int readAtoms(LineFile &file, fmt::Record &buffer, Molecule &m) {
  skipHeader(file, 1, COORDINATES, buffer.line);
  int atoms = 0;
  while (!file.atEnd()) {
    buffer = file.readLine();
    if (holds(buffer, END_OF_BLOCK))
      break;
    ++atoms;
    if (atoms > MAX_ATOMS)
      throw Error(buffer.file + " line " + std::to_string(buffer.line) + ": NA(" +
                  std::to_string(atoms) + "), C(1..3, " + std::to_string(atoms) + "): more than " +
                  std::to_string(MAX_ATOMS) + " atoms in the coordinates block");
    const auto a = static_cast<std::size_t>(atoms - 1);
    fmt::read(*ATOM_ROW, buffer, &m.na[a], &m.c[a][0], &m.c[a][1], &m.c[a][2]);
  }
  return atoms;
}

// One mode per line, laid out like the report's vibration table: frequency in
// cm-1 in columns 5-13 (imaginary modes negative), IR intensity in km/mol in
// columns 14-22. Returns the number of modes.
int readModes(LineFile &file, const fmt::Record &markerLine, Molecule &m) {
  skipHeader(file, 2, FREQUENCIES, markerLine.line);
  int modes = 0;
  while (!file.atEnd()) {
    const fmt::Record line = file.readLine();
    if (holds(line, END_OF_BLOCK))
      break;
    ++modes;
    if (modes > MAX_FREQ)
      throw Error(line.file + " line " + std::to_string(line.line) + ": FREQ(" +
                  std::to_string(modes) + "), XINTEN(" + std::to_string(modes) + "): more than " +
                  std::to_string(MAX_FREQ) + " frequencies in the table");
    const auto n = static_cast<std::size_t>(modes - 1);
    fmt::read(*MODE_ROW, line, &m.freq[n], &m.xinten[n]);
  }
  return modes;
}

} // namespace

int linearity(const std::array<double, 3> &pmoi) {
  const double scale = std::max(std::fabs(pmoi[0]), std::fabs(pmoi[1]));
  if (scale == 0.0)
    return 0;
  return std::fabs(pmoi[0] - pmoi[1]) / scale < 0.001 && std::fabs(pmoi[2]) < 0.001 ? 1 : 0;
}

void readMolFile(Molecule &m, const fs::path &jobDir) {
  const DataFile data = locate(m, jobDir);
  LineFile file(data.path, data.shown);

  int atoms = 0; // NATOMS: a file without a coordinates block has no atoms
  while (!file.atEnd()) {
    fmt::Record buffer = file.readLine();
    if (holds(buffer, MOMENTS))
      fmt::read("(19x,3f15.6)", buffer, &m.pmoi[0], &m.pmoi[1], &m.pmoi[2]);
    // After the atom block the markers below are looked for on the line that
    // ended it, so a marker on the closing line of hyphens still counts.
    if (holds(buffer, COORDINATES))
      atoms = readAtoms(file, buffer, m);

    // A job-line value of ROTNUM, MULT or ETOT wins, and in the file the first
    // line with the marker does.
    if (isNotGiven(m.rotnum) && holds(buffer, ROTATION_NUMBER))
      fmt::read("(26x,i10)", buffer, &m.rotnum);
    if (holds(buffer, MOLECULAR_MASS))
      fmt::read("(26x,f10.4)", buffer, &m.mass);
    if (holds(buffer, SYMMETRY_GROUP))
      fmt::read("(26x,a10)", buffer, &m.symGroup);
    if (holds(buffer, STOICHIOMETRY))
      fmt::read("(26x,a10)", buffer, &m.stoich);
    if (holds(buffer, IMAGINARY_FREQS))
      fmt::read("(26x,i10)", buffer, &m.nneg);
    if (isNotGiven(m.mult) && holds(buffer, MULTIPLICITY))
      fmt::read("(32x,i2)", buffer, &m.mult);
    if (isNotGiven(m.etot) && holds(buffer, BASE_ENERGY))
      fmt::read("(14x,f17.8)", buffer, &m.etot);

    // The line that ends the frequency table is not looked at for markers.
    if (holds(buffer, FREQUENCIES))
      m.nfreq = static_cast<double>(readModes(file, buffer, m));
  }
  m.natoms = atoms;
  m.linear = linearity(m.pmoi);
}

} // namespace orvalen
