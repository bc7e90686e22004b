#pragma once
// What one quantum-chemistry output says about one molecule: the geometry its
// frequencies were computed at, the elements, the harmonic frequencies and IR
// intensities, the electronic energy at that geometry, the charge and spin
// multiplicity, and which program and version wrote it. Every value comes from
// the job step that computed the frequencies (of an output without them, the
// step of the energy). Every reader fills this record; the
// geometry, symmetry and data-file code work from it and know no program.
//
//   const qc::QcRecord rec = qc::readOutput("ts.out");
//   // rec.frequencies[0] < 0 for a saddle point
#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace orvalen::qc {

struct QcRecord {
  std::string program;    // the reader's name in qc::readers(): "Gaussian", "ORCA", ...
  std::string version;    // as the program prints it, e.g. "7.0.2"
  std::string sourceFile; // the output that was read

  // The geometry the frequencies belong to, in the program's own frame (A).
  std::vector<int> atomicNumbers;
  std::vector<std::array<double, 3>> coords;

  // Vibrational modes only (3N-6, or 3N-5 for a linear molecule): the
  // translations and rotations a program prints near zero are dropped. In
  // the program's order (ascending); imaginary modes as negative numbers.
  std::vector<double> frequencies; // cm-1
  std::vector<double> intensities; // km/mol, one per frequency, 0 where none printed
  bool hasIntensities = false;
  // The normal modes, one per entry of `frequencies` and in its order: the
  // Cartesian displacement of every atom (in the order of `atomicNumbers`) as
  // the program prints it, in its own normalisation, never mass-weighted.
  // Gaussian (standard and hpmodes blocks), NWChem, ORCA and Psi4 all print
  // Cartesian displacements (ORCA and NWChem the mass-weighted eigenvectors
  // divided by sqrt(mass)), so none needs dividing here. Empty when the output
  // prints none (xtb) or when they could not be matched to the frequencies.
  std::vector<std::vector<std::array<double, 3>>> normalModes;

  double energy = std::numeric_limits<double>::quiet_NaN(); // Hartree, at that geometry
  // The method the energy belongs to: "SCF", "DFT", "MP2", "CCSD", "CCSD(T)", "GFN2-xTB", ...
  std::string energyLevel;
  // The method of the energy as the output states it, basis set included:
  // "CCSD(T)/cc-pvtz", "B3LYP/6-31G(d)", "GFN2-xTB"; empty when it does not say.
  std::string energyMethod;
  int multiplicity = 0;      // 2S+1; 0 when the output does not say
  std::optional<int> charge; // net charge (e); nothing when the output does not say

  // Rotational constants the program printed for that geometry (GHz), empty
  // when it printed none. The import does not read them: they are kept for the
  // tests that compare our moments of inertia with the program's.
  std::vector<double> rotationalConstantsGHz;

  bool optimisation = false; // the output holds a geometry optimisation
  bool optimisationConverged = true;
  bool saddleSearch = false; // the optimisation looked for a transition state

  // Files the reader read beside the output (xtb's coordinate file,
  // xtbopt.xyz, vibspectrum): inputs of the run too.
  std::vector<std::filesystem::path> filesBeside;

  // Things the user should hear about but that do not make the output wrong
  // (a program's symmetry-breaking warning, no IR intensities, ...).
  std::vector<std::string> warnings;
};

} // namespace orvalen::qc
