#include "qc/rotor_scan.hpp"

#include "base/error.hpp"
#include "base/wording.hpp"
#include "qc/geometry_names.hpp"
#include "qc/output_text.hpp"
#include "qc/readers.hpp"
#include "qc/xyz.hpp"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace orvalen::qc {

namespace {

// The output's "unbiased energy:" has 8 decimals; xtbscan.log holds the same
// energy in full.
constexpr double XTB_ENERGY_AGREEMENT = 1.0e-8; // Hartree

std::string atomList(const std::vector<int> &atoms) {
  std::string text;
  for (const int a : atoms)
    text += (text.empty() ? "" : " ") + std::to_string(a);
  return text;
}

// The frames of an xtbscan.log: XYZ blocks whose comment line reads
// "energy: E xtb: ..." .
RelaxedScan readXtbScanLog(const std::filesystem::path &file, std::string_view text) {
  const Lines lines(text);
  RelaxedScan scan;
  std::size_t i = 0;
  while (i < lines.size()) {
    if (splitWords(lines[i]).empty()) {
      ++i;
      continue;
    }
    XyzBlock block = readXyz(file, lines, i);
    const auto comment = splitWords(lines[i + 1]);
    const auto at = std::find(comment.begin(), comment.end(), "energy:");
    const auto energy =
        at != comment.end() && at + 1 != comment.end() ? parseReal(*(at + 1)) : std::nullopt;
    if (!energy)
      throw Error(atLine(file, i + 1) +
                  ": expected \"energy: E\" on the comment line of a "
                  "point of xtbscan.log, found " +
                  inQuotes(lines[i + 1]));
    scan.energies.push_back(*energy);
    scan.geometries.push_back(std::move(block.atoms));
    scan.lines.push_back(i + 1);
    i = block.end;
  }
  scan.pointsFile = file;
  return scan;
}

bool isXtbScanLog(std::string_view text) {
  const Lines lines(text);
  std::size_t i = 0;
  while (i < lines.size() && splitWords(lines[i]).empty())
    ++i;
  const auto count = i < lines.size() ? splitWords(lines[i]) : std::vector<std::string_view>{};
  return count.size() == 1 && parseInteger(count[0]) && i + 1 < lines.size() &&
         contains(lines[i + 1], "energy:") && contains(lines[i + 1], "xtb:");
}

// The points of an xtb scan, in xtbscan.log beside its output: the same
// unbiased energies, or the file is another run's.
RelaxedScan pointsBeside(const std::filesystem::path &file, const std::vector<double> &unbiased) {
  const std::filesystem::path beside = file.parent_path() / "xtbscan.log";
  std::string besideText;
  try {
    besideText = readTextFile(beside);
  } catch (const Error &e) {
    throw Error(file.string() +
                ": the points of its scan are in xtbscan.log beside it: " + e.what());
  }
  RelaxedScan scan = readXtbScanLog(beside, besideText);
  if (!unbiased.empty() && unbiased.size() != scan.energies.size())
    throw Error(beside.string() + ": " + std::to_string(scan.energies.size()) +
                " points, but the scan of " + file.string() + " has " +
                std::to_string(unbiased.size()) +
                ": the file was written again after the run; give the output with its own files");
  for (std::size_t k = 0; k < unbiased.size(); ++k)
    if (std::fabs(unbiased[k] - scan.energies[k]) > XTB_ENERGY_AGREEMENT)
      throw Error(atLine(beside, scan.lines[k]) + ": the energy of point " + std::to_string(k + 1) +
                  " is not the unbiased energy of " + file.string() +
                  ": the file was written again after the run; give the output with its own "
                  "files");
  return scan;
}

// What the standard output of an xtb run with $scan says of its scan.
struct XtbScanOutput {
  std::vector<std::vector<int>> constraints; // the atoms of each "constraining" line
  std::vector<std::size_t> constraintLines;
  std::vector<std::size_t> scanned; // the constraints scanned (from 1)
  std::vector<double> unbiased;     // "unbiased energy:" of each point
  bool relaxedScan = false, finished = false;

  void line(const std::filesystem::path &file, const Lines &lines, std::size_t i) {
    const auto w = splitWords(lines[i]);
    if (w.empty())
      return;
    if (w[0] == "constraining" && w.size() > 2) {
      std::vector<int> atoms;
      for (std::size_t k = 2; k < w.size() && w[k] != "to"; ++k)
        if (const auto a = parseInteger(w[k]))
          atoms.push_back(static_cast<int>(*a));
      constraints.push_back(atoms);
      constraintLines.push_back(i);
    } else if ((w[0] == "scaning" || w[0] == "scanning") && w.size() == 3 && w[1] == "constraint") {
      const auto n = parseInteger(w[2]);
      if (!n || *n < 1)
        throw Error(atLine(file, i) + ": cannot read the constraint of " + inQuotes(lines[i]));
      if (std::find(scanned.begin(), scanned.end(), *n) == scanned.end())
        scanned.push_back(static_cast<std::size_t>(*n));
    } else if (w[0] == "RELAXED" && w.size() == 2 && w[1] == "SCAN") {
      relaxedScan = true;
    } else if (w[0] == "unbiased" && w.size() == 3 && w[1] == "energy:") {
      unbiased.push_back(realAt(file, i, w[2]));
    } else if (w[0] == "*" && contains(lines[i], "* finished run on")) {
      finished = true;
    }
  }

  // The atoms of the one constraint scanned, a dihedral.
  std::array<int, 4> dihedral(const std::filesystem::path &file, const Lines &lines) const {
    if (!relaxedScan)
      throw Error(file.string() + ": an xtb output without a relaxed scan ($scan of a constrained "
                                  "dihedral in the xcontrol input); give the output of the scan");
    if (!finished)
      throw Error(file.string() + ": the xtb run does not end in \"* finished run on\": the "
                                  "output is cut short or xtb is still running");
    if (scanned.size() != 1)
      throw Error(file.string() + ": the scan turns " + std::to_string(scanned.size()) +
                  " constraints at once; a rotor's potential is a scan of one dihedral alone");
    if (scanned[0] > constraints.size())
      throw Error(file.string() + ": the scanned constraint " + std::to_string(scanned[0]) +
                  " is not among the " + std::to_string(constraints.size()) +
                  " \"constraining\" lines of the output");
    const std::vector<int> &atoms = constraints[scanned[0] - 1];
    const std::size_t at = constraintLines[scanned[0] - 1];
    if (atoms.size() != 4)
      throw Error(
          atLine(file, at) + ": the scanned constraint " + inQuotes(lines[at]) + " holds " +
          std::to_string(atoms.size()) +
          " atoms, not the four of a dihedral; a rotor's potential is a scan of a dihedral");
    return {atoms[0], atoms[1], atoms[2], atoms[3]};
  }
};

// The standard output of an xtb run with $scan, and xtbscan.log beside it.
RelaxedScan readXtbScan(const std::filesystem::path &file, std::string_view text) {
  const Lines lines(text);
  XtbScanOutput output;
  for (std::size_t i = 0; i < lines.size(); ++i)
    output.line(file, lines, i);
  const std::array<int, 4> dihedral = output.dihedral(file, lines);
  RelaxedScan scan = pointsBeside(file, output.unbiased);
  scan.filesBeside.push_back(file.parent_path() / "xtbscan.log");
  scan.dihedral = dihedral;
  return scan;
}

// The formats as a message names them: "a Gaussian opt=modredundant output,
// ... or a file of two columns".
std::string formatList() {
  std::vector<std::string> names;
  for (const ScanFormat &format : scanFormats())
    names.emplace_back(format.name);
  return listed(names, " or ");
}

// "angle energy" per line; "#" starts a comment.
RelaxedScan readTwoColumns(const std::filesystem::path &file, std::string_view text) {
  const Lines lines(text, Lines::Last::Kept); // a file typed by hand may lack its last line feed
  RelaxedScan scan;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    line = line.substr(0, line.find('#'));
    const auto w = splitWords(line);
    if (w.empty())
      continue;
    const auto angle = w.size() == 2 ? parseReal(w[0]) : std::nullopt;
    const auto energy = w.size() == 2 ? parseReal(w[1]) : std::nullopt;
    if (!angle || !energy)
      throw Error(atLine(file, i) +
                  ": expected an angle in degrees and an energy in Hartree, "
                  "found " +
                  inQuotes(lines[i]) + " (a scan is " + formatList() + ")");
    scan.angles.push_back(*angle);
    scan.energies.push_back(*energy);
    scan.lines.push_back(i);
  }
  scan.pointsFile = file;
  return scan;
}

bool anyText(std::string_view) {
  return true;
}

// The outputs of the programs first; an xtbscan.log is told by its first
// frame; any other file is read as two columns.
constexpr ScanFormat SCAN_FORMATS[] = {
    {"a Gaussian opt=modredundant output", "Gaussian relaxed scan", isGaussian, readGaussianScan},
    {"an xtb $scan output (xtbscan.log beside it)", "xtb relaxed scan", isXtb, readXtbScan, true},
    {"xtbscan.log alone", "xtb relaxed scan", isXtbScanLog, readXtbScanLog},
    {"a file of two columns", "two-column scan", anyText, readTwoColumns},
};

} // namespace

std::span<const ScanFormat> scanFormats() {
  return SCAN_FORMATS;
}

RelaxedScan readRelaxedScan(const std::filesystem::path &file) {
  std::string text = readTextFile(file);
  const ScanFormat *format = recognisedBy(scanFormats(), text);
  if (!format) // unreached: the last format takes any file
    throw Error(file.string() + ": not a relaxed scan (" + formatList() + ")");
  RelaxedScan scan = format->read(file, text);
  scan.kind = std::string(format->kind);
  return scan;
}

std::vector<double> scanAngles(const RelaxedScan &scan, const std::array<int, 4> &measured) {
  if (!scan.angles.empty())
    return scan.angles;
  std::vector<double> angles;
  for (std::size_t k = 0; k < scan.geometries.size(); ++k) {
    const Atoms &g = scan.geometries[k];
    for (const int a : measured)
      if (a < 1 || a > static_cast<int>(g.z.size()))
        throw Error(atLine(scan.pointsFile, scan.lines[k]) + ": the dihedral " +
                    atomList({measured.begin(), measured.end()}) + " names atom " +
                    std::to_string(a) + ", but the geometry of this point has " +
                    std::to_string(g.z.size()) + " atoms");
    const auto at = [&](int a) { return g.r[static_cast<std::size_t>(a - 1)]; };
    angles.push_back(
        dihedralAngle(at(measured[0]), at(measured[1]), at(measured[2]), at(measured[3])));
  }
  return angles;
}

} // namespace orvalen::qc
