#include "qc/rotor_scan.hpp"

#include "base/error.hpp"
#include "qc/output_text.hpp"
#include "qc/readers.hpp"
#include "qc/rotor_geometry.hpp"
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

// A Gaussian opt=modredundant scan, up to the end of the job that scans.
class GaussianScan {
public:
  GaussianScan(const std::filesystem::path &file, std::string_view text)
      : file_(file), lines_(text) {}

  RelaxedScan read() {
    for (std::size_t i = 0; i < lines_.size() && !ended_; ++i)
      i = line(i);
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
    scan_.kind = "Gaussian relaxed scan";
    scan_.pointsFile = file_;
    return std::move(scan_);
  }

private:
  std::size_t line(std::size_t i) {
    const std::string_view text = lines_[i];
    if (contains(text, "orientation:") &&
        (contains(text, "Input orientation:") || contains(text, "Standard orientation:")))
      return orientation(i);
    if (contains(text, "ModRedundant input section has been read"))
      return modRedundant(i);
    const auto words = splitWords(text);
    if (words.empty())
      return i;
    if (words[0] == "SCF" && words.size() > 4 && words[1] == "Done:") {
      energy_ = realAt(file_, i, words[4]);
    } else if (words[0] == "E2" && contains(text, "EUMP2")) {
      for (std::size_t k = 0; k + 1 < words.size(); ++k)
        if (words[k] == "EUMP2")
          energy_ = realAt(file_, i, words[k + 1]);
    } else if (contains(text, "on scan point")) {
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
    return i;
  }

  std::size_t orientation(std::size_t i) {
    Atoms g;
    const std::size_t k = readGaussianOrientation(file_, lines_, i, g);
    geometry_ = std::move(g);
    return k;
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
      if (at >= w.size() || w[at] != "S")
        continue;
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
    return k;
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

  // The geometry and energy current when a point's optimisation converged.
  void completed(std::size_t i) {
    if (!scanned_)
      return;
    if (point_ != scan_.energies.size() + 1)
      throw Error(atLine(file_, i) + ": scan point " + std::to_string(point_) +
                  " converged after " + std::to_string(scan_.energies.size()) +
                  " points: a point is missing");
    if (!std::isfinite(energy_) || geometry_.z.empty())
      throw Error(atLine(file_, i) + ": scan point " + std::to_string(point_) +
                  " converged without an energy or a geometry before it");
    scan_.energies.push_back(energy_);
    scan_.geometries.push_back(geometry_);
    scan_.lines.push_back(i);
  }

  const std::filesystem::path &file_;
  const Lines lines_;
  RelaxedScan scan_;
  Atoms geometry_;
  double energy_ = std::nan("");
  bool scanned_ = false, ended_ = false;
  std::size_t point_ = 0, total_ = 0;
};

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
  scan.kind = "xtb relaxed scan";
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

// The standard output of an xtb run with $scan, and xtbscan.log beside it.
RelaxedScan readXtbScan(const std::filesystem::path &file, std::string_view text) {
  const Lines lines(text);
  std::vector<std::vector<int>> constraints;
  std::vector<std::size_t> constraintLines;
  std::vector<std::size_t> scanned;
  std::vector<double> unbiased;
  bool relaxedScan = false, finished = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto w = splitWords(lines[i]);
    if (w.empty())
      continue;
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
  if (atoms.size() != 4)
    throw Error(atLine(file, constraintLines[scanned[0] - 1]) + ": the scanned constraint " +
                inQuotes(lines[constraintLines[scanned[0] - 1]]) + " holds " +
                std::to_string(atoms.size()) +
                " atoms, not the four of a dihedral; a rotor's potential is a scan of a dihedral");

  RelaxedScan scan = pointsBeside(file, unbiased);
  scan.filesBeside.push_back(file.parent_path() / "xtbscan.log");
  scan.dihedral = std::array<int, 4>{atoms[0], atoms[1], atoms[2], atoms[3]};
  return scan;
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
                  inQuotes(lines[i]) +
                  " (a scan is a Gaussian opt=modredundant output, an xtb $scan output or its "
                  "xtbscan.log, or a file of two columns)");
    scan.angles.push_back(*angle);
    scan.energies.push_back(*energy);
    scan.lines.push_back(i);
  }
  scan.kind = "two-column scan";
  scan.pointsFile = file;
  return scan;
}

} // namespace

RelaxedScan readRelaxedScan(const std::filesystem::path &file) {
  std::string text = readTextFile(file);
  if (isGaussian(text))
    return GaussianScan(file, text).read();
  if (isXtb(text)) {
    std::replace(text.begin(), text.end(), '\0', ' '); // xtb has written NUL bytes into rows
    return readXtbScan(file, text);
  }
  if (isXtbScanLog(text))
    return readXtbScanLog(file, text);
  return readTwoColumns(file, text);
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
