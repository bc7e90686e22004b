#pragma once
// Symmetry of a molecule from its nuclei: the point group (Schoenflies
// symbol), its order, the rotational symmetry number (the order of its
// subgroup of proper rotations, identity included) and whether the molecule
// is chiral. A geometry an optimiser left slightly off its symmetry still gets
// it: the operations are permutations of the nuclei of each element, closed
// under products, and the group holds when the geometry made exactly symmetric
// in it (each nucleus the average of its images) is within the tolerance of
// every nucleus. A larger group within a wider tolerance is reported beside.
//
//   const geometry::Symmetry s = geometry::findSymmetry({8, 1, 1}, waterCoords);
//   // s.rotationNumber == 2, s.pointGroup == "C2v", s.chiral == false
#include "geometry/geometry.hpp"

#include <optional>
#include <string>
#include <vector>

namespace orvalen::geometry {

inline constexpr double SYMMETRY_TOLERANCE = 0.02;     // A
inline constexpr double NEAR_SYMMETRY_TOLERANCE = 0.1; // A

// A group of higher order than the one found, holding only within the wider
// tolerance.
struct NearSymmetry {
  std::string pointGroup;
  int rotationNumber = 1;
  double displacement = 0.0; // A, as in Symmetry
};

struct Symmetry {
  int rotationNumber = 1;
  // "C1", "Cs", "Ci", "Cn", "Cnv", "Cnh", "Dn", "Dnd", "Dnh", "S2n", "T", "Td",
  // "Th", "O", "Oh", "I", "Ih", linear "C*v" and "D*h", an atom "Kh".
  std::string pointGroup = "C1";
  int properRotations = 1; // the order of the rotation subgroup
  int operations = 1;      // proper and improper operations, for a finite group
  // No mirror plane, centre of inversion or S2n axis: the molecule and its
  // mirror image are two optical isomers.
  bool chiral = true;
  // The largest distance (A) a nucleus moves when the geometry is made exactly
  // symmetric in `pointGroup`.
  double displacement = 0.0;
  std::optional<NearSymmetry> near;
};

// `tolerance` is the largest displacement (A) of a nucleus onto the exactly
// symmetric geometry; `nearTolerance` the one for `Symmetry::near`.
Symmetry findSymmetry(const std::vector<int> &atomicNumbers, const std::vector<Vec3> &coords,
                      double tolerance = SYMMETRY_TOLERANCE,
                      double nearTolerance = NEAR_SYMMETRY_TOLERANCE);

} // namespace orvalen::geometry
