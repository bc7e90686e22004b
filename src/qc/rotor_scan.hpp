#pragma once
// Relaxed scans of a torsion, the potential of a hindered rotor: the energy of
// the molecule optimised at each value of one dihedral angle, the rest free.
// Three kinds are read, recognised from what the file holds:
// - a Gaussian opt=modredundant scan: the coordinate marked S in the
//   "ModRedundant input section" is scanned; each "Optimization completed."
//   of a point ("on scan point k out of n") gives its geometry and its energy
//   (the last "SCF Done:", or "EUMP2 =" after it); the scan's job must end in
//   "Normal termination";
// - an xtb run with a $scan of a constrained dihedral: its standard output
//   names the constraint ("constraining angle 3 1 2 6 to ...") and the one
//   scanned ("scaning constraint 1"); the points (geometry and energy without
//   the restraint) are in xtbscan.log beside it, which must hold the output's
//   "unbiased energy:" values; xtbscan.log may also be given alone;
// - a plain file of two columns, the angle in degrees and the energy in
//   Hartree, one point a line, "#" starting a comment.
// Only Gaussian and xtb name the dihedral; the angle of a point is measured
// on its optimised geometry (a restrained xtb dihedral is not quite its target).
//
//   const qc::RelaxedScan scan = qc::readRelaxedScan("ethane_scan.out");
//   const auto angles = qc::scanAngles(scan, *scan.dihedral);
#include "qc/geometry.hpp"

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orvalen::qc {

struct RelaxedScan {
  std::string kind;              // "Gaussian relaxed scan", "xtb relaxed scan", ...
  std::vector<double> energies;  // Hartree, in the order of the scan
  std::vector<double> angles;    // degrees, where the file states them (two columns)
  std::vector<Atoms> geometries; // each point's optimised geometry, where the file gives them
  std::optional<std::array<int, 4>> dihedral; // the scanned dihedral (1-based), where named
  std::vector<std::size_t> lines;             // index (from 0) of the line each point was taken at
  std::filesystem::path pointsFile;           // the file those lines are in (xtbscan.log for xtb)
  std::vector<std::filesystem::path> filesBeside; // read beside the file given
};

// Throws orvalen::Error naming the file (and line) for a scan that cannot be
// read: a Gaussian output without a scanned coordinate, a scan of a bond or
// an angle, of two coordinates at once, a scan job that did not end, an xtb
// output without $scan or whose xtbscan.log is another run's, a line of a
// two-column file that is not two numbers.
RelaxedScan readRelaxedScan(const std::filesystem::path &file);

// The angle of each point in degrees: the file's, else the dihedral
// `measured` of each point's geometry. Throws orvalen::Error when an atom of
// `measured` is not in the geometry.
std::vector<double> scanAngles(const RelaxedScan &scan, const std::array<int, 4> &measured);

} // namespace orvalen::qc
