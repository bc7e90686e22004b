#include "extended/mirror_image.hpp"

#include "geometry/rotor_geometry.hpp"
#include "geometry/symmetry.hpp"

#include <cmath>
#include <cstddef>

namespace orvalen::extended {

namespace {

// The atoms of the data file's coordinates block.
geometry::Atoms atomsOf(const Molecule &m) {
  geometry::Atoms atoms;
  for (std::size_t a = 0; a < static_cast<std::size_t>(m.natoms); ++a) {
    atoms.z.push_back(m.na[a]);
    atoms.r.push_back(m.c[a]);
  }
  return atoms;
}

// "hindered rotor 2 about 9-3 by 80 degrees", and " and " before a second one.
std::string turnText(const Molecule &m, const geometry::MirrorTurn &turn) {
  std::string text;
  for (std::size_t k = 0; k < turn.rotors.size(); ++k) {
    const HinderedRotor &r = m.rotors[turn.rotors[k]];
    text += std::string(k == 0 ? "" : " and ") + "hindered rotor " +
            std::to_string(turn.rotors[k] + 1) + " about " + std::to_string(r.pivot1) + "-" +
            std::to_string(r.pivot2) + " by " + std::to_string(std::lround(turn.degrees[k])) +
            " degrees";
  }
  return text;
}

} // namespace

std::optional<std::string> mirrorImageCountedTwice(const Molecule &m) {
  if (m.opticalIsomers < 2 || m.rotors.empty() || m.natoms < 1)
    return std::nullopt;
  // As orvalen-import decides: a chiral geometry (an achiral one has one form
  // whatever its rotors do), then the turns of its rotors.
  const geometry::Atoms atoms = atomsOf(m);
  if (!geometry::findSymmetry(atoms.z, atoms.r).chiral)
    return std::nullopt;
  const auto turn = geometry::mirrorImageTurn(atoms, m.rotors);
  if (!turn)
    return std::nullopt;
  const std::string isomers = std::to_string(m.opticalIsomers);
  return trimmed(m.name) + ": its data file " + trimmed(m.fileNameAsWritten) +
         " gives Optical isomers " + isomers + ", but turning " + turnText(m, *turn) +
         " reaches a " + turn->pointGroup +
         " geometry, so the rotors' levels hold both mirror forms already and the factor " +
         isomers +
         " counts them twice; write Optical isomers 1 in the data file, or let "
         "orvalen-import write it (the scan takes the file as written)";
}

} // namespace orvalen::extended
