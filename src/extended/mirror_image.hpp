#pragma once

// A chiral molecule whose hindered rotors turn it into its mirror image: the
// rotors' levels hold both forms already, so a data file that gives it
// `Optical isomers 2` as well counts them twice. orvalen-import decides this
// when it writes the file (geometry::mirrorImageTurn); a file written by hand is
// tested here by the same turns, and only warned about: its facts stand.
//   if (const auto text = mirrorImageCountedTwice(m))
//     warnings.add(*text);

#include "molecule/molecule.hpp"

#include <optional>
#include <string>

namespace orvalen::extended {

// The warning for a molecule whose data file gives more than one optical
// isomer for a chiral geometry beside hindered rotors of which one alone, or a pair together,
// turned over a full turn reaches a geometry with a mirror plane, a centre of inversion or an S2n
// axis: its name, its data file, the rotors (number and bond) and their turns, the point group
// reached and what to write instead. Nothing for one optical isomer, no rotors, or rotors that keep
// it chiral.
std::optional<std::string> mirrorImageCountedTwice(const Molecule &m);

} // namespace orvalen::extended
