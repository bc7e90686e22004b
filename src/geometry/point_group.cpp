#include "geometry/point_group.hpp"

namespace orvalen::geometry {

namespace {

// The rotation subgroup: cyclic Cn, dihedral Dn, or one of the three groups
// of the regular solids, told apart by their order and highest axis.
enum class Rotations { Cyclic, Dihedral, T, O, I, None };

Rotations rotationsOf(const GroupCounts &c) {
  const int n = c.highestAxis;
  if (n == c.rotations)
    return Rotations::Cyclic;
  // Dn: n half turns normal to the main axis, and C2 = Cn^(n/2) on it for even n.
  if (n >= 2 && c.rotations == 2 * n && c.halfTurns == n + (n % 2 == 0 ? 1 : 0))
    return Rotations::Dihedral;
  if (c.rotations == 12 && n == 3 && c.halfTurns == 3)
    return Rotations::T;
  if (c.rotations == 24 && n == 4 && c.halfTurns == 9)
    return Rotations::O;
  if (c.rotations == 60 && n == 5 && c.halfTurns == 15)
    return Rotations::I;
  return Rotations::None;
}

// A group with improper operations is its rotations and one coset; the mirror
// planes in that coset say which coset it is.
std::optional<std::string> withCyclic(const GroupCounts &c) {
  const int n = c.highestAxis;
  const std::string cn = "C" + std::to_string(n);
  if (c.operations == c.rotations)
    return n == 1 ? "C1" : cn;
  if (n == 1)
    return c.mirrors == 1 ? std::optional<std::string>("Cs")
           : c.inversion  ? std::optional<std::string>("Ci")
                          : std::nullopt;
  if (c.mirrors == n && !c.inversion) // sigma_v . Cn^k is a mirror for every k
    return cn + "v";
  if (c.mirrors == 1 && c.inversion == (n % 2 == 0)) // sigma_h alone; i = sigma_h . C2
    return cn + "h";
  if (c.mirrors == 0 && c.inversion == (n % 2 == 1)) // S2n^n = i for odd n
    return "S" + std::to_string(2 * n);
  return std::nullopt;
}

std::optional<std::string> withDihedral(const GroupCounts &c) {
  const int n = c.highestAxis;
  const std::string dn = "D" + std::to_string(n);
  if (c.operations == c.rotations)
    return dn;
  if (c.mirrors == n + 1 && c.inversion == (n % 2 == 0)) // sigma_h and n sigma_v
    return dn + "h";
  if (c.mirrors == n && c.inversion == (n % 2 == 1)) // n sigma_d
    return dn + "d";
  return std::nullopt;
}

} // namespace

std::optional<std::string> pointGroupName(const GroupCounts &c) {
  const Rotations rotations = rotationsOf(c);
  if (rotations == Rotations::None ||
      (c.operations != c.rotations && c.operations != 2 * c.rotations))
    return std::nullopt;
  const bool proper = c.operations == c.rotations;
  switch (rotations) {
  case Rotations::Cyclic:
    return withCyclic(c);
  case Rotations::Dihedral:
    return withDihedral(c);
  case Rotations::T:
    if (proper)
      return "T";
    if (c.mirrors == 6 && !c.inversion)
      return "Td";
    if (c.mirrors == 3 && c.inversion)
      return "Th";
    return std::nullopt;
  case Rotations::O:
    if (proper)
      return "O";
    return c.mirrors == 9 && c.inversion ? std::optional<std::string>("Oh") : std::nullopt;
  case Rotations::I:
    if (proper)
      return "I";
    return c.mirrors == 15 && c.inversion ? std::optional<std::string>("Ih") : std::nullopt;
  case Rotations::None:
    break;
  }
  return std::nullopt;
}

} // namespace orvalen::geometry
