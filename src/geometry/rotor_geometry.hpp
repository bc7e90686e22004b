#pragma once
// Geometry of a torsion treated as a one-dimensional hindered rotor: the bonds
// of a molecule, the rotating group (top) about a bond, the reduced moment of
// the torsion and the rotor's symmetry number. Atoms are 1-based, in the order
// of the output's geometry; positions in A, masses of the most abundant isotopes.
#include "geometry/geometry.hpp"
#include "molecule/torsion.hpp"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace orvalen::geometry {

// Single-bond covalent radius (A) of Cordero et al., Dalton Trans. (2008) 2832,
// H to Rn; carbon takes its sp3 radius, Mn, Fe and Co their low-spin ones.
// Throws orvalen::Error for a number outside 1..86.
double covalentRadius(int atomicNumber);

// Two atoms (1-based) are bonded when closer than 1.2 times the sum of their
// covalent radii.
bool bonded(const Atoms &geometry, int a, int b);

// The atoms (1-based, ascending) on p1's side when the p1-p2 bond is cut.
// Throws orvalen::Error when an atom is out of range, p1-p2 is not a bond, the
// bond is in a ring, or either side of the cut is its pivot atom alone.
std::vector<int> rotorTop(const Atoms &geometry, int p1, int p2);

// Checks a top given by hand (a transition state's partial bonds): atoms in
// range, each once, p1 among them and p2 not. Throws orvalen::Error.
void checkRotorTop(const Atoms &geometry, const std::vector<int> &top, int p1, int p2);

// The top's own moment about the p1-p2 bond line (amu A^2): sum over its
// atoms of m r_perp^2, r_perp the distance from the line.
double topMoment(const Atoms &geometry, const std::vector<int> &top, int p1, int p2);

// Reduced moment of the internal rotation about the p1-p2 bond (amu A^2):
// the kinetic energy 2T of the top turning at unit angular velocity about
// the bond line against the rest, once the molecule's overall translation
// and rotation are taken out (zero linear and angular momentum), the frame
// rigid. Pitzer, J. Chem. Phys. 14 (1946) 239; Kilpatrick and Pitzer,
// J. Chem. Phys. 17 (1949) 1064; the element 1/G of
// the internal-coordinate G matrix of the torsion with the overall rotations:
//   v_i = u x (r_i - r_p1) on the top, 0 on the rest;  A = sum m_i |v_i|^2,
//   P = sum m_i v_i,  L = sum m_i (r_i - c) x v_i (c the centre of mass),
//   I_red = A - |P|^2/M - L^T I^-1 L   (I the inertia tensor about c).
// It is the same from either side of the bond, never above the top's own
// moment A nor the rest's, and equals I_top I_rest/(I_top + I_rest) for a
// symmetric top (a methyl group) whose bond line is a principal axis through
// the centre of mass (ethane).
double reducedMoment(const Atoms &geometry, const std::vector<int> &top, int p1, int p2);

// How much of a vibration is the torsion about p1-p2: the squared cosine,
// in mass-weighted coordinates, between its Cartesian displacements `mode`
// (one per atom, any normalisation) and the internal rotation of
// reducedMoment: the top turning about the bond with the overall
// translation and rotation taken out, as a normal mode has them. 1 for a
// pure torsion, 0 for a motion orthogonal to it (or a mode of another atom count).
double torsionalCharacter(const Atoms &geometry, const std::vector<int> &top, int p1, int p2,
                          const std::vector<Vec3> &mode);

// The largest n <= 6 such that a turn by 2 pi / n about the p1-p2 line maps
// the atoms onto atoms of the same element among them within 0.1 A (1 when
// none; 6 for atoms all on the line).
int rotationalOrder(const Atoms &geometry, const std::vector<int> &atoms, int p1, int p2);

// Symmetry number of the torsion: the least common multiple of the rotational
// orders of the top and of the rest about the bond.
int rotorSymmetry(const Atoms &geometry, const std::vector<int> &top, int p1, int p2);

// Dihedral angle a-b-c-d in degrees, -180 to 180: the turn that takes the
// b-a bond onto the c-d bond seen along b->c, clockwise positive (IUPAC).
double dihedralAngle(const Vec3 &a, const Vec3 &b, const Vec3 &c, const Vec3 &d);

// Four atoms (1-based) that measure the torsion about p1-p2: the atom of the
// top nearest p1 and the other atom nearest p2, each off the bond line.
// Throws orvalen::Error when a side has no atom off the line.
std::array<int, 4> torsionAtoms(const Atoms &geometry, const std::vector<int> &top, int p1, int p2);

// The geometry with each rotor's top turned about its bond by its angle
// (radians, right-handed about p1 -> p2), the rotors in order, each bond
// taken where the turns before it left its pivots.
Atoms turnedTops(const Atoms &geometry, const std::vector<const HinderedRotor *> &rotors,
                 const std::vector<double> &angles);

// Turns of one or two rotors that take a chiral geometry to one with a mirror
// plane, a centre of inversion or an S2n axis: the molecule and its mirror
// image are then forms of one rotor's (or two rotors') turn, and its levels
// count both already.
struct MirrorTurn {
  std::vector<std::size_t> rotors; // 0-based, one or two
  std::vector<double> degrees;     // the turn of each
  std::string pointGroup;          // of the geometry reached
};

// Each rotor alone, then each pair together, over full turns: a grid whose
// step moves no top atom by more than 0.05 A, each turned geometry tested for
// a mirror plane, a centre of inversion or an S2n axis within the wider
// symmetry tolerance (0.1 A: the frame relaxes as the top turns), the turn
// reported the achiral one nearest its symmetry, refined on a grid five times
// finer about it. Nothing when no turn reaches an achiral geometry.
std::optional<MirrorTurn> mirrorImageTurn(const Atoms &geometry,
                                          const std::vector<HinderedRotor> &rotors);

} // namespace orvalen::geometry
