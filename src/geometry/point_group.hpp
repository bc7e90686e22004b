#pragma once
// The Schoenflies symbol of a finite point group from counts of its
// operations. The counts come from the permutations of the nuclei, which are
// exact even when the geometry is not, so the symbol, the order and the
// rotation number cannot disagree.
//
//   // Water: E, C2 and two mirror planes.
//   geometry::pointGroupName({.operations = 4, .rotations = 2, .highestAxis = 2,
//                       .halfTurns = 1, .mirrors = 2});  // "C2v"
#include <optional>
#include <string>

namespace orvalen::geometry {

struct GroupCounts {
  int operations = 1;  // the order of the group
  int rotations = 1;   // proper rotations, identity included
  int highestAxis = 1; // the largest order of a proper rotation
  int halfTurns = 0;   // proper rotations of order 2
  int mirrors = 0;     // reflections in a plane
  bool inversion = false;
};

// "C1", "Cs", "Ci", "Cn", "Cnv", "Cnh", "S2n", "Dn", "Dnd", "Dnh", "T", "Td",
// "Th", "O", "Oh", "I" or "Ih"; nothing when no point group has these counts.
std::optional<std::string> pointGroupName(const GroupCounts &counts);

} // namespace orvalen::geometry
