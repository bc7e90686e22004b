#pragma once

// orvalen-import's names for the geometry of nuclei it reads and writes: positions, inertia,
// point groups and chirality, bonds, rotor tops and the turns that reach a mirror image. They
// live in src/geometry, below every program that needs them (orvalen-scan tests a data file's
// rotors with the same functions).

#include "geometry/geometry.hpp"
#include "geometry/rotor_geometry.hpp"
#include "geometry/symmetry.hpp"

namespace orvalen::qc {

using geometry::alignedRmsd;
using geometry::Atoms;
using geometry::BOHR_ANGSTROM;
using geometry::centreOfMass;
using geometry::distanceRmsd;
using geometry::hillFormula;
using geometry::inertiaTensor;
using geometry::isLinearGeometry;
using geometry::isotopeMasses;
using geometry::largestShift;
using geometry::Matrix3;
using geometry::principalAxes;
using geometry::PrincipalAxes;
using geometry::rotationalConstantGHz;
using geometry::sameGeometry;
using geometry::toPrincipalFrame;
using geometry::Vec3;

using geometry::findSymmetry;
using geometry::NEAR_SYMMETRY_TOLERANCE;
using geometry::NearSymmetry;
using geometry::Symmetry;
using geometry::SYMMETRY_TOLERANCE;

using geometry::bonded;
using geometry::checkRotorTop;
using geometry::covalentRadius;
using geometry::dihedralAngle;
using geometry::mirrorImageTurn;
using geometry::MirrorTurn;
using geometry::reducedMoment;
using geometry::rotationalOrder;
using geometry::rotorSymmetry;
using geometry::rotorTop;
using geometry::topMoment;
using geometry::torsionalCharacter;
using geometry::torsionAtoms;
using geometry::turnedTops;

} // namespace orvalen::qc
