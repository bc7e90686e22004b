#pragma once

// Checks of the molecules of a job once every data file has been read: input
// that the program can compute with but that is probably not what the user
// meant. They only add warnings; the records are not changed.

#include "base/warnings.hpp"
#include "molecule/molecule.hpp"

#include <array>
#include <optional>

namespace orvalen {

// Principal moments of inertia (amu*A^2, ascending) of the coordinates block,
// with the masses of the most abundant isotopes; nothing when the molecule has
// no atoms or an atomic number outside the element table (1..86).
std::optional<std::array<double, 3>> momentsFromCoordinates(const Molecule &m);

// One molecule in its role: a rotation number, multiplicity or energy that
// neither the job line nor the data file gave, or that is not positive; a
// linear molecule whose moments are not written I, I, 0; moments that differ
// from the coordinates block by more than 1 %; a negative frequency in a
// reactant or product; a transition state whose row 7 is not negative, whose
// count of negative frequencies is not 1 or differs from "Num. of imaginary
// freqs"; a multiplicity impossible for the electron count of its coordinates
// block. A molecule whose data file gave nothing (the reader warns about
// that) is not looked at.
void checkMolecule(const Molecule &m, int role, Warnings &warnings);

// The atoms of the reactants and of the products (when every one of them has a
// coordinates block) must be the same, and so must those of the reactants and
// of each transition state.
void checkAtomBalance(const MoleculeTable &mol, Warnings &warnings);

// The methods of the electronic energies that the data files name ("Energy
// method" marker; files without it are not compared) must be one, letter case
// aside: one warning naming each molecule and its method.
void checkEnergyMethods(const MoleculeTable &mol, Warnings &warnings);

// checkMolecule for every molecule in use, then checkAtomBalance and
// checkEnergyMethods.
void checkMolecules(const MoleculeTable &mol, Warnings &warnings);

} // namespace orvalen
