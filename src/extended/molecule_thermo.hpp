#pragma once

// A molecule's thermochemistry with the scan's treatments beyond the rigid
// rotor and harmonic oscillator: electronic levels in place of the
// multiplicity, optical isomers, frequency scale factors and quasi-harmonic low
// modes; the spin-orbit shift of the energy and the reaction-path degeneracy.
// A molecule that none of them touches gets the report's values digit for digit.
// The molecule table is not changed: the energy a molecule's thermochemistry
// starts from (its ETOT, shifted or not) is one of its facts, e.g.
//   const std::vector<MoleculeFacts> facts = prepareMolecules(mol, options, warnings);
//   moleculeThermo(mol.at(f.role, f.index), f.etot, cond, options); // f of facts

#include "base/warnings.hpp"
#include "extended/physics_options.hpp"
#include "molecule/conditions.hpp"
#include "molecule/molecule.hpp"
#include "thermo/constants.hpp"
#include "thermo/rrho.hpp"

#include <functional>
#include <optional>
#include <vector>

namespace orvalen::extended {

// What a molecule brings beyond the classic fields, independent of T.
struct MoleculeFacts {
  int role = 0;
  int index = 0;                       // j of MOL(role, j)
  std::vector<ElectronicLevel> levels; // the levels in effect; empty: the multiplicity
  bool levelsSetAside = false;         // the file's levels, set aside by a job-line MULT=
  int opticalIsomers = 1;
  std::optional<double> spinOrbitShift; // kJ/mol, applied to ETOT (negative)
  double etot = 0.0; // the energy used, Hartree: ETOT, plus the spin-orbit shift when there is one
};

// Once per job, before any temperature: the facts of every molecule in job
// order; a job-line MULT= sets a molecule's levels aside (one warning each);
// with the spin-orbit shift (the default), the energy used of each molecule
// whose levels came from the table is its ETOT lowered by the ground term's
// spin-orbit stabilisation (a warning when --spin-orbit-shift was asked for
// and no molecule has such levels). The records are not changed.
std::vector<MoleculeFacts> prepareMolecules(const MoleculeTable &mol, const PhysicsOptions &options,
                                            Warnings &warnings);

// The levels that replace the multiplicity: none when the job line gave MULT=.
bool usesLevels(const Molecule &m);

// The rows of the vibration table with the options' scale factors and
// quasi-harmonic entropy and energy; the sums not yet formed. A used row's
// svib, uvib (= hvib), fvib, gvib, zpe, hh0vib and qvib0 are what the sums take.
Vibrations modeRows(const Molecule &m, const Conditions &cond, const PhysicsOptions &options);

// The sums over the used rows, in the report's order.
void sumModes(Vibrations &v);

// Called between modeRows and sumModes: where a one-dimensional hindered
// rotor takes a mode's place, it fills that mode's row with its own values.
using RowStep = std::function<void(const Molecule &m, const Conditions &cond, Vibrations &v)>;

// The corrected energies start from `etot` (Hartree: MoleculeFacts::etot).
MoleculeThermo moleculeThermo(const Molecule &m, double etot, const Conditions &cond,
                              const PhysicsOptions &options, const RowStep &rows = {});
// Another structure of a molecule whose electronic and translational
// contributions `shared` holds already (they depend on the levels, the mass,
// T and P only): its own rotation and vibrations, and its totals from `etot`.
MoleculeThermo structureThermo(const Molecule &m, double etot, const Conditions &cond,
                               const PhysicsOptions &options, const MoleculeThermo &shared);
// The totals of such a structure, as structureThermo's tot and zpeTot,
// without its table of modes (the sum over many structures at many
// temperatures needs no more): its own rotation, its modes each as
// modeRows fills a row, summed in the table's order.
struct StructureTotals {
  Contribution tot;
  double zpe = 0.0; // kJ/mol
};
StructureTotals structureTotals(const Molecule &m, const Conditions &cond,
                                const PhysicsOptions &options, const MoleculeThermo &shared);
// The same from the record's ETOT.
MoleculeThermo moleculeThermo(const Molecule &m, const Conditions &cond,
                              const PhysicsOptions &options, const RowStep &rows = {});

// Reaction-path degeneracy (prod sigma_R * prod n_TS)/(prod sigma_TS * prod n_R),
// sigma the rotation numbers, n the optical isomers (1 without the marker);
// for information: the partition functions already hold it.
double pathDegeneracy(const MoleculeTable &mol);

} // namespace orvalen::extended
