#pragma once
// Symmetry of a molecule from its nuclei: the rotational symmetry number
// (the proper rotations, identity included, that carry every nucleus onto a
// nucleus of the same element) and the Schoenflies symbol of the point group.
// Nuclei match within a tolerance, so a geometry an optimiser left slightly
// off its symmetry still gets it.
//
//   const qc::Symmetry s = qc::findSymmetry({8, 1, 1}, waterCoords);
//   // s.rotationNumber == 2, s.pointGroup == "C2v"
#include "qc/geometry.hpp"

#include <string>
#include <vector>

namespace orvalen::qc {

inline constexpr double SYMMETRY_TOLERANCE = 0.02; // A

struct Symmetry {
  int rotationNumber = 1;
  // "C1", "Cs", "Ci", "Cn", "Cnv", "Cnh", "Dn", "Dnd", "Dnh", "S2n", "T", "Td",
  // "Th", "O", "Oh", "I", "Ih", linear "C*v" and "D*h", an atom "Kh".
  std::string pointGroup = "C1";
  int properRotations = 1; // the order of the rotation subgroup
  int operations = 1;      // proper and improper operations, for a finite group
};

// `tolerance` is the largest distance (A) between a moved nucleus and the
// nucleus it lands on.
Symmetry findSymmetry(const std::vector<int> &atomicNumbers, const std::vector<Vec3> &coords,
                      double tolerance = SYMMETRY_TOLERANCE);

} // namespace orvalen::qc
