#pragma once

// The molecule record and the molecule table MOL(role, j): reactants (role 1),
// products (role 2) and transition states (role 3), up to ten each in job-line
// order. The job input names them and the data file reader fills them; from
// then on they are the job's input data: the thermochemistry and the rate
// constants read them and return their results, never writing into them.

#include "molecule/torsion.hpp"

#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace orvalen {

// MULT, ROTNUM and ETOT not supplied by the job input: the data file may supply them.
inline constexpr int NOT_GIVEN = 999999;
inline constexpr double NOT_GIVEN_REAL = 999999.0;
inline bool isNotGiven(int value) {
  return value == NOT_GIVEN;
}
inline bool isNotGiven(double etot) {
  return std::fabs(etot - NOT_GIVEN_REAL) < 1.0e-6;
}

inline constexpr int MAX_PER_ROLE = 10;
inline constexpr int MAX_ATOMS = 100;
inline constexpr int MAX_FREQ = 300;
inline constexpr int MAX_LEVELS = 20;     // electronic levels of one molecule
inline constexpr int MAX_CONFORMERS = 50; // structures of one molecule beside the main one
// cm-1 above the ground level (124 eV): no electronic level of a molecule lies higher.
inline constexpr double HIGHEST_LEVEL = 1.0e6;

enum Role : int { REACTANT = 1, PRODUCT = 2, TRANSITION_STATE = 3 };

// Fixed-length texts, blank-padded on the right.
inline constexpr std::size_t NAME_LEN = 20;
inline constexpr std::size_t FILENAME_LEN = 255;
inline constexpr std::size_t SHORT_TEXT_LEN = 10;

// Cuts or blank-pads a text to exactly n characters.
std::string fixedText(std::string_view text, std::size_t n);
// Drops trailing blanks.
std::string trimmed(std::string_view text);

// One electronic level: its energy above the ground level and its degeneracy.
struct ElectronicLevel {
  double energy = 0.0; // cm-1
  int degeneracy = 0;
};

// One more structure of the molecule beside the main one the classic fields
// hold (a conformer: the same atoms and bonds, another minimum or saddle
// point), as the data file's conformers block gives it. Its electronic levels,
// mass and multiplicity are the molecule's.
struct Conformer {
  std::string source;           // the output it came from, as orvalen-import was given it
  double etot = 0.0;            // electronic energy, Hartree, as the block gives it
  double aboveMain = 0.0;       // etot minus the file's Base Energy, Hartree
  int rotnum = 1;               // of its own geometry
  int opticalIsomers = 1;       // 2 for a chiral geometry
  std::array<double, 3> pmoi{}; // Ia, Ib, Ic in amu*A^2
  std::vector<double> freq;     // cm-1, its vibrations only, imaginary modes negative
};

struct Molecule {
  std::string name = std::string(NAME_LEN, ' ');         // upper case, 20 characters
  std::string fileName = std::string(FILENAME_LEN, ' '); // upper case, 255 characters
  std::string fileNameAsWritten;                         // word 3 of the job line, original case
  std::filesystem::path dataPath; // the data file as opened; empty until it is looked up
  std::string stoich = std::string(SHORT_TEXT_LEN, ' ');
  std::string symGroup = std::string(SHORT_TEXT_LEN, ' ');
  int natoms = 0;
  int mult = 0;
  bool multFromJob = false; // MULT= on the job line: it wins over the file and its levels
  int charge = NOT_GIVEN;   // net charge from the data file's Charge marker; NOT_GIVEN: none there
  std::string energyMethod; // method of the electronic energy ("CCSD(T)/cc-pVTZ"); empty: not said
  int rotnum = 0;
  int linear = 0;
  int nneg = 0;
  std::array<int, MAX_ATOMS> na{};                  // atomic numbers
  std::array<std::array<double, 3>, MAX_ATOMS> c{}; // x, y, z in Angstrom, principal axes
  double mass = 0.0;                                // amu
  std::array<double, 3> pmoi{};                     // Ia, Ib, Ic in amu*A^2
  double nfreq = 0.0;                               // a whole number held in a real
  std::array<double, MAX_FREQ> freq{};              // cm-1, imaginary modes negative
  std::array<double, MAX_FREQ> xinten{};            // km/mol
  double etot = 0.0;                                // Hartree
  // Data the report leaves out, used by orvalen-scan only.
  std::vector<ElectronicLevel> levels; // ground level first; empty: the file has none
  bool levelsFromTable = false;        // the levels are the ground term's, from import's table
  int opticalIsomers = 0;              // 2 for a chiral geometry; 0: no marker (one form)
  std::vector<HinderedRotor> rotors;
  std::vector<Conformer> conformers; // the other structures; empty: the main one alone
};

// MOL(role, j), role 1..3, j 1..10, and the counts NPART(0..3).
class MoleculeTable {
public:
  MoleculeTable(); // MULT = ROTNUM = 999999, ETOT = 999999.0, all else zero or blank

  // Throws orvalen::Error naming MOL and the offending index when out of bounds.
  Molecule &at(int role, int j);
  const Molecule &at(int role, int j) const;

  // NPART(role); NPART(0) is the sum over the three roles.
  int npart(int role) const;
  // Takes the next slot of a role and returns its j; an eleventh molecule of a
  // role throws orvalen::Error naming MOL and the index.
  int add(int role);

private:
  std::vector<Molecule> mol_;
  std::array<int, 4> npart_{};
};

} // namespace orvalen
