#pragma once

// Writing a molecule data file: the same markers and fixed columns the reader
// (mol_file.cpp) takes them from, so that a written file reads back to the
// values it was written from, to the printed digits. The frequency block
// always opens with six zero rows for the translations and rotations (one
// more than a linear molecule has, which adds nothing to its thermochemistry),
// then the imaginary modes, most negative first, then the real ones in
// ascending order: a transition state's reaction mode is row 7.
//
//   std::ofstream out("h2o.dat");
//   writeMolFile(out, data);

#include "molecule/molecule.hpp"

#include <array>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace orvalen {

struct MolFileData {
  std::vector<std::string> title; // free-text lines at the top
  std::string stoichiometry;      // Hill order; the field holds 10 characters
  std::string symmetryGroup;      // Schoenflies symbol
  double mass = 0.0;              // amu
  std::array<double, 3> pmoi{};   // Ia, Ib, Ic in amu*A^2; linear: I, I, 0
  int rotationNumber = 1;
  int charge = 0; // net charge (e): "Charge of molecule"
  int multiplicity = 1;
  std::optional<double> energy; // Hartree; no "Base Energy" line without one
  std::string energyMethod;     // "Energy method": "CCSD(T)/cc-pVTZ"; no line when empty
  // "Electronic levels (cm-1)": ground level at 0 first, ascending; no block
  // when empty. `levelsSource` is the "Electronic levels from" text ("table",
  // "given"), written with the block.
  std::vector<ElectronicLevel> levels;
  std::string levelsSource;
  int opticalIsomers = 1; // "Optical isomers", written only when more than one
  std::vector<int> atomicNumbers;
  std::vector<std::array<double, 3>> coords; // principal axes, A
  // The vibrational modes only, in any order (cm-1, imaginary negative) with
  // their IR intensities (km/mol).
  std::vector<double> frequencies;
  std::vector<double> intensities;
  // "Hindered rotors (amu*A^2, kJ/mol)": torsions of the molecule, each
  // replacing the mode of a row of the frequency block as written; no block
  // when empty.
  std::vector<HinderedRotor> rotors;
  // "Conformers (Hartree, amu*A^2, cm-1)": the molecule's other structures,
  // each with the output it came from, its electronic energy, rotation number,
  // optical isomers, moments and vibrations (any order); no block when empty.
  // The fields above are the main structure's.
  std::vector<Conformer> conformers;
};

// Number of negative frequencies: "Num. of imaginary freqs".
int imaginaryCount(const MolFileData &data);

// The rows of the frequency block as written: six zero rows, the imaginary
// modes, then the real ones; intensities follow their modes.
void frequencyRows(const MolFileData &data, std::vector<double> &frequencies,
                   std::vector<double> &intensities);

// Throws orvalen::Error when a value does not fit its columns (a frequency
// beyond -9999.999 .. 99999.999 cm-1, more than 100 atoms or 300 rows, ...)
// or would not read back (electronic levels not from 0 upwards, a degeneracy
// below 1, more than MAX_LEVELS levels, a rotor whose mode row is not a real
// vibration or whose atoms are not in the coordinates block, more than
// MAX_CONFORMERS conformers, a conformer without energy or of another kind).
void writeMolFile(std::ostream &out, const MolFileData &data);

} // namespace orvalen
