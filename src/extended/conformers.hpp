#pragma once

// A molecule of several structures (conformers: minima, or saddle points, of
// one connectivity), its data file's conformers block beside the main
// structure. Each structure j has its own partition function Q_j, computed as
// a single structure's is (the translation and the electronic levels shared;
// its own rotation number, optical isomers, moments and vibrations, with the
// options in effect), counted from its own zero-point level E0_j = E_j +
// ZPE_j. The molecule's partition function counts from the lowest, E0_1:
//
//   Q = sum_j Q_j exp(-(E0_j - E0_1)/RT)
//   w_j = Q_j exp(-(E0_j - E0_1)/RT) / Q                (Boltzmann weights)
//   G = -RT ln sum_j exp(-(G_j + E_j - E_1)/RT)          (G_j from E_j)
//   H = sum_j w_j (H_j + E_j - E_1),  U likewise
//   S = sum_j w_j S_j - R sum_j w_j ln w_j
//
// ZPE and the energy the corrections start from are those of the lowest,
// so E+ZPE of the molecule is E0_1. Two identical structures give Q times 2,
// S + R ln 2 and G - RT ln 2, and nothing else.
//   const StructureSet set(m);                          // once per run
//   const StructureSum s = set.thermo(etot, cond, options); // at each T

#include "extended/molecule_thermo.hpp"
#include "extended/physics_options.hpp"
#include "molecule/conditions.hpp"
#include "molecule/molecule.hpp"
#include "thermo/rrho.hpp"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace orvalen::extended {

// What the sum says of the structures at one temperature.
struct StructureWeights {
  std::vector<double> weights;  // w_j, the main structure first, then the block's order
  std::size_t lowest = 0;       // the structure of lowest E0 (0: the main one)
  double conformationalG = 0.0; // G - G of the lowest structure alone, kJ/mol
};

// The molecule at one temperature as a sum over its structures.
struct StructureSum {
  // The totals (Q, U, H, S, F, G), ZPE and corrected energies are the
  // molecule's; the contributions (elec, tran, rot, vib) are those of its
  // structure of lowest E0 alone.
  MoleculeThermo molecule;
  StructureWeights structures;
};

// Sums the structures' thermochemistry, each with its corrected energies from
// its own energy used (MoleculeThermo::corrected.etot), at temperature T (K).
// An empty span gives an empty sum.
StructureSum sumStructures(std::span<const MoleculeThermo> structures, double T);

// E0_j - E0_1 in kJ/mol of each structure, the main one first, from their
// thermochemistry at any temperature (E + ZPE does not depend on T).
std::vector<double> zeroPointLadder(std::span<const MoleculeThermo> structures);

// The record of one conformer of `m`: m's with the conformer's own energy
// (ETOT + its energy above the main structure), rotation number, optical
// isomers, moments and vibrations (after six zero rows, as the data file
// writes a frequency block); no hindered rotors.
Molecule conformerRecord(const Molecule &m, const Conformer &c);

// A molecule's structures, prepared once per run.
class StructureSet {
public:
  explicit StructureSet(const Molecule &m);

  // The structures beside the main one.
  std::size_t conformers() const { return records_.size(); }

  // Every structure at cond.T with the options in effect; `etot` is the
  // energy the main structure's corrections start from (Hartree: its
  // MoleculeFacts::etot), the others' shifted by their energy above it;
  // `rows` (hindered rotors) is the main structure's step. Without
  // conformers the main structure alone, its weight 1.
  StructureSum thermo(double etot, const Conditions &cond, const PhysicsOptions &options,
                      const RowStep &rows = {}) const;
  // The same, the molecule's thermochemistry returned (a large value, made
  // once) and the weights in `weights`.
  MoleculeThermo thermo(double etot, const Conditions &cond, const PhysicsOptions &options,
                        const RowStep &rows, StructureWeights &weights) const;

  // Each structure's own thermochemistry, the main one first.
  std::vector<MoleculeThermo> each(double etot, const Conditions &cond,
                                   const PhysicsOptions &options, const RowStep &rows = {}) const;

private:
  const Molecule *main_;
  std::vector<Molecule> records_;
};

// Conformers and hindered rotors together count each torsion's other minima
// twice (the rotor's levels visit them, and the conformers add them again):
// with --conformers all and rotors in effect, a molecule that has both is
// refused (orvalen::Error naming it and the two ways out).
void refuseConformersWithRotors(const MoleculeTable &mol, const PhysicsOptions &options);

} // namespace orvalen::extended
