#pragma once
// Relaxed scans of a torsion, the potential of a hindered rotor: the energy of
// the molecule optimised at each value of one dihedral angle, the rest free.
// The formats read are the rows of scanFormats(), each recognised from what
// the file holds, offered the file in the table's order:
// - a Gaussian opt=modredundant scan, read by the Gaussian reader's own walk
//   (gaussian.cpp): the coordinate marked S in the "ModRedundant input
//   section" is scanned; each "Optimization completed." of a point ("on scan
//   point k out of n") gives its geometry and its energy (the best printed at
//   that geometry, energy_precedence.hpp); the scan's job must end in
//   "Normal termination";
// - an xtb run with a $scan of a constrained dihedral: its standard output
//   names the constraint ("constraining angle 3 1 2 6 to ...") and the one
//   scanned ("scaning constraint 1"); the points (geometry and energy without
//   the restraint) are in xtbscan.log beside it, which must hold the output's
//   "unbiased energy:" values;
// - xtbscan.log given alone;
// - a plain file of two columns, the angle in degrees and the energy in
//   Hartree, one point a line, "#" starting a comment (any other file).
// Only Gaussian and xtb name the dihedral; the angle of a point is measured
// on its optimised geometry (a restrained xtb dihedral is not quite its target).
//
// Adding a format: its reader, filling a RelaxedScan (the output of a program
// with a reader is read by that reader's walk, in its file), and one row of
// the table in rotor_scan.cpp; its name in the --rotor-scan help and the
// README; a real scan under tests/fixtures/qc/ with its row in
// tests/qc/relaxed_scan_test.cpp and in tests/qc/rotor_import_test.cpp.
//
//   const qc::RelaxedScan scan = qc::readRelaxedScan("ethane_scan.out");
//   const auto angles = qc::scanAngles(scan, *scan.dihedral);
#include "qc/geometry_names.hpp"

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvalen::qc {

struct RelaxedScan {
  std::string kind;              // its ScanFormat's: "Gaussian relaxed scan", ...
  std::vector<double> energies;  // Hartree, in the order of the scan
  std::vector<double> angles;    // degrees, where the file states them (two columns)
  std::vector<Atoms> geometries; // each point's optimised geometry, where the file gives them
  std::optional<std::array<int, 4>> dihedral; // the scanned dihedral (1-based), where named
  std::vector<std::size_t> lines;             // index (from 0) of the line each point was taken at
  std::filesystem::path pointsFile;           // the file those lines are in (xtbscan.log for xtb)
  std::vector<std::filesystem::path> filesBeside; // read beside the file given
};

// One format of relaxed scan: its name (as a message lists the formats), what
// RelaxedScan::kind calls its scans (the data file's title quotes it), how a
// file of it is recognised, and its reader.
struct ScanFormat {
  std::string_view name; // "xtbscan.log alone"
  std::string_view kind; // "xtb relaxed scan"
  bool (*recognises)(std::string_view text);
  // Throws orvalen::Error naming the file (and line) for a scan that cannot be read.
  RelaxedScan (*read)(const std::filesystem::path &file, std::string_view text);
  // The program has been seen to write NUL bytes into its output, which the
  // reader takes as blanks.
  bool nulAsBlank = false;
};

// Every format, in the order a file is offered to them; the last takes any file.
std::span<const ScanFormat> scanFormats();

// The scan the file holds, read by the first format that recognises it.
// Throws orvalen::Error naming the file (and line) for a scan that cannot be
// read: a Gaussian output without a scanned coordinate, a scan of a bond or
// an angle, of two coordinates at once, a scan job that did not end, an xtb
// output without $scan or whose xtbscan.log is another run's, a line of a
// two-column file that is not two numbers.
RelaxedScan readRelaxedScan(const std::filesystem::path &file);

// The Gaussian format's reader (gaussian.cpp).
RelaxedScan readGaussianScan(const std::filesystem::path &file, std::string_view text);

// The angle of each point in degrees: the file's, else the dihedral
// `measured` of each point's geometry. Throws orvalen::Error when an atom of
// `measured` is not in the geometry.
std::vector<double> scanAngles(const RelaxedScan &scan, const std::array<int, 4> &measured);

} // namespace orvalen::qc
