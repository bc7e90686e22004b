#pragma once
// Geometry of a molecule from its nuclei: what the readers and the data-file
// writer need without knowing any program.
#include <array>
#include <string>
#include <vector>

namespace orvalen::geometry {

using Vec3 = std::array<double, 3>;

inline constexpr double BOHR_ANGSTROM = 0.529177210903; // A per bohr, CODATA 2018

// True when every atom lies on one straight line (within `tolerance` A of the
// line through the two atoms farthest apart); one or two atoms are linear.
bool isLinearGeometry(const std::vector<Vec3> &coords, double tolerance = 1.0e-3);

// Masses of the most abundant isotopes, one per atom (amu).
std::vector<double> isotopeMasses(const std::vector<int> &atomicNumbers);

Vec3 centreOfMass(const std::vector<Vec3> &coords, const std::vector<double> &masses);

using Matrix3 = std::array<Vec3, 3>; // rows

// Inertia tensor about the centre of mass, amu*A^2.
Matrix3 inertiaTensor(const std::vector<Vec3> &coords, const std::vector<double> &masses);

// Principal moments in ascending order (amu*A^2) and the unit axes that belong
// to them, a right-handed frame: axes[0] x axes[1] = axes[2]. Each of the first
// two axes points so that the first atom not on the plane normal to it has a
// positive coordinate along it.
struct PrincipalAxes {
  Vec3 moments{};
  std::array<Vec3, 3> axes{};
};
PrincipalAxes principalAxes(const std::vector<Vec3> &coords, const std::vector<double> &masses);

// Coordinates relative to the centre of mass, expressed along the principal
// axes: x along the axis of the smallest moment, z along that of the largest.
std::vector<Vec3> toPrincipalFrame(const std::vector<Vec3> &coords,
                                   const std::vector<double> &masses, const PrincipalAxes &frame);

// Rotational constant B = h / (8 pi^2 I) in GHz of a moment in amu*A^2
// (infinite for a zero moment).
double rotationalConstantGHz(double moment);

// Hill order: C then H then the other elements alphabetically when there is
// carbon, every element alphabetically otherwise; counts of 1 not written.
std::string hillFormula(const std::vector<int> &atomicNumbers);

// The largest change of one Cartesian coordinate (A) between two geometries
// of the same atoms in the same frame, as an optimiser moves them; HUGE_VAL
// when the atoms are not the same.
double largestShift(const std::vector<int> &atomsA, const std::vector<Vec3> &a,
                    const std::vector<int> &atomsB, const std::vector<Vec3> &b);

// Root mean square difference of the sorted interatomic distances of two
// geometries of the same number of atoms (A): zero for the same shape in any
// frame and any atom order.
double distanceRmsd(const std::vector<Vec3> &a, const std::vector<Vec3> &b);

// Root mean square deviation (A) of two geometries of the same atoms in the
// same order after both are centred and b is rotated onto a (Kabsch).
double alignedRmsd(const std::vector<Vec3> &a, const std::vector<Vec3> &b);

// The atoms of one geometry as an output prints them: atomic numbers and
// positions (A) in the program's order.
struct Atoms {
  std::vector<int> z;
  std::vector<Vec3> r;
};

// True when both hold the same atoms in the same order at positions within
// 0.001 A RMS of each other once aligned: the same geometry, printed again
// (perhaps in another orientation).
bool sameGeometry(const Atoms &a, const Atoms &b);

// largestShift of two geometries' atoms.
double largestShift(const Atoms &a, const Atoms &b);

} // namespace orvalen::geometry
