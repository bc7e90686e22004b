#pragma once

// The molecule data file: marker lines whose values sit in fixed columns, an
// atom block in principal axes and a table of harmonic frequencies with their
// infrared intensities. Reading it completes a molecule record named by the
// job input.

#include "base/warnings.hpp"
#include "molecule/molecule.hpp"

#include <array>
#include <filesystem>

namespace orvalen {

// READMOLFILE: reads the data file of `m` into its record. The file is looked up
// with the name as the job line wrote it, then with the upper-case FILENAME; a
// relative name is taken relative to `jobDir`. When neither exists the name as
// written is created empty there and the record gets nothing from it. MULT,
// ROTNUM and ETOT are taken from the file only while they are NOT_GIVEN.
// Throws orvalen::Error naming the file (and the line) or the array and index.
// A data file that did not exist or is empty adds a warning that makes the
// report unsound; a real field that the implied decimal point changes ("16"
// read as 0.0016 amu) adds a warning. A data file in a folder that does not
// exist stops the run as a missing input.
void readMolFile(Molecule &m, const std::filesystem::path &jobDir, Warnings &warnings);
// The same, the warnings dropped.
void readMolFile(Molecule &m, const std::filesystem::path &jobDir);

// readMolFile with every error naming the molecule as well as the file and
// line ("molecule CH4, ch4.dat line 12: ..."), as the programs report them.
void readMoleculeFile(Molecule &m, const std::filesystem::path &jobDir, Warnings &warnings);

// LINEAR: 1 when the first two moments of inertia are equal to 0.1 % and the
// third is below 0.001 amu*A^2, else 0; two zero moments (an atom, or no
// moments in the file) are not linear.
int linearity(const std::array<double, 3> &pmoi);

} // namespace orvalen
