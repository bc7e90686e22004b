#pragma once

// A torsion as a one-dimensional hindered rotor, in one place for the
// importer (qc), the data file's reader and writer and the scan's physics
// (extended): the record the data file holds, its potential V(phi) with the
// minimum and curvature, its harmonic wavenumber, the rules a rotor must
// keep, and the order of the frequency block's rows that its mode refers to.
// Angles in radians, energies in kJ/mol, moments in amu*A^2, wavenumbers in
// cm-1.
//
//   const FourierTerms terms = rotorTerms(rotor);
//   const double nu = harmonicWavenumber(rotor, constants); // at the minimum
//   if (const RotorCheck c = rotorFault(rotors, k, rows, atoms); c.fault != RotorFault::NONE) ...

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace orvalen {

inline constexpr int MAX_ROTORS = 20;      // hindered rotors of one molecule
inline constexpr int MAX_ROTOR_TERMS = 21; // Fourier terms k = 0..20 of a rotor's potential

// The physical range of a rotor's numbers, checked where they are read (the
// data file, the importer's options), so that no accepted rotor can make the
// levels or the integrals run without end: a torsion's symmetry number is at
// most 12 (a six-fold top on a two-fold frame, as in toluene, is 6), a
// reduced moment of 1e4 amu*A^2 is that of two 500 amu groups 4.5 A off the
// axis, and no torsion has a barrier of 200 kJ/mol (a C=C double bond's is
// about 270 and is no hindered rotor).
inline constexpr int MAX_ROTOR_SIGMA = 12;
inline constexpr double MAX_ROTOR_MOMENT = 1.0e4;  // amu*A^2
inline constexpr double MAX_ROTOR_BARRIER = 200.0; // kJ/mol, V0 or the potential's max - min

// RT at 298.15 K, kJ/mol (R = 8.314462618 J/(mol K)): a potential whose
// barrier is below it is too shallow for its wells to tell the symmetry
// number; the geometry's fragments decide it.
inline constexpr double SHALLOW_BARRIER = 8.314462618e-3 * 298.15;

// A potential's Fourier terms {a_k, b_k}, k = 0, 1, ...:
// V(phi) = sum over k of a_k cos(k phi) + b_k sin(k phi), kJ/mol.
using FourierTerms = std::vector<std::array<double, 2>>;

// One torsion treated as a one-dimensional hindered rotor (orvalen-scan only).
// V = 0 at the data file's geometry (phi = 0); a cosine barrier V0 is held as
// its barrier, its series being a_0 = V0/2, a_sigma = -V0/2 (rotorTerms).
struct HinderedRotor {
  int mode = 0;   // row of the frequency block whose mode the rotor replaces
  int pivot1 = 0; // atoms of the bond, 1-based in the coordinates block
  int pivot2 = 0;
  std::vector<int> top; // atoms of the rotating group, 1-based, pivot1 among them
  int sigma = 1;        // the rotor's symmetry number
  double moment = 0.0;  // reduced moment of inertia, amu*A^2
  bool cosine = false;  // the potential was given as a cosine barrier
  double barrier = 0.0; // V0, kJ/mol, when cosine
  FourierTerms fourier; // kJ/mol, when not cosine
};

// ---- The potential

// The rotor's potential as a series: the data file's Fourier terms (a single
// zero term when it holds none), or V0/2 (1 - cos(sigma phi)) as a_0 = V0/2,
// a_sigma = -V0/2.
FourierTerms rotorTerms(const HinderedRotor &rotor);

// V, dV/dphi and d2V/dphi2 at phi; cos(k phi) and sin(k phi) by angle
// addition from one cosine and sine.
struct PotentialSlopes {
  double v = 0.0;  // kJ/mol
  double d1 = 0.0; // kJ/(mol rad)
  double d2 = 0.0; // kJ/(mol rad^2)
};
PotentialSlopes potentialSlopes(const FourierTerms &terms, double phi);

// V(phi), kJ/mol.
double torsionPotential(const FourierTerms &terms, double phi);

// The largest |V(phi + 2 pi/sigma) - V(phi)| over a turn (a grid of 20
// points per period of the highest term, at least 360), kJ/mol: 0 for a
// potential that repeats sigma times a turn.
double periodMismatch(const FourierTerms &terms, int sigma);

// V''(phi) = -sum_k k^2 (a_k cos(k phi) + b_k sin(k phi)), kJ/(mol rad^2).
double torsionCurvature(const FourierTerms &terms, double phi);

// V(phi0 + j h) - shift, j = 0..count - 1, appended to `out`: each term's
// e^(i k phi) turned by e^(i k h) from one point to the next and taken afresh
// every 64 points, so that rounding cannot pile up.
void tabulatePotential(const FourierTerms &terms, double phi0, double h, int count, double shift,
                       std::vector<double> &out);

// Where V is lowest over a full turn and its value there: a grid of 20
// points per period of the highest term (at least 360), then Newton's method
// on V' from the best point, a golden section where that strays.
struct PotentialMinimum {
  double phi = 0.0;
  double v = 0.0;
};
PotentialMinimum potentialMinimum(const FourierTerms &terms);

// The highest V over a full turn: the lowest of -V.
double potentialMaximum(const FourierTerms &terms);

// ---- The harmonic wavenumber

// The constants a wavenumber is computed with: the importer takes CODATA
// 2018 (as its isotope masses), the scan the report's CODATA 1998, as every
// other value it prints.
struct PhysicalConstants {
  double avogadro = 0.0; // 1/mol
  double amu = 0.0;      // kg
  double light = 0.0;    // m/s
};

// nu = sqrt(V''(phi_min)/I)/(2 pi c), cm-1: the curvature at the potential's
// lowest point (phi = 0 when the data file's geometry is the minimum, moved
// off it by a scan that did not start there), V'' in J/rad^2 per molecule
// and I in kg m^2; 0 where V'' <= 0 there (a free rotor).
double harmonicWavenumber(const HinderedRotor &rotor, const PhysicalConstants &c);

// The cosine barrier V0 (kJ/mol) of V0/2 (1 - cos(sigma phi)), whose
// curvature at its minimum, V0 sigma^2/2, gives the wavenumber nu (cm-1) for
// the moment I: V0 = 2 I (2 pi c nu)^2/sigma^2.
double cosineBarrier(double wavenumber, double moment, int sigma, const PhysicalConstants &c);

// ---- The frequency block's rows

// The data file's frequency block opens with six zero rows for the
// translations and rotations; a rotor's mode is a row after them.
inline constexpr int ZERO_ROWS = 6;

// The order of the vibrations in the rows after the zero rows, as the
// writer writes them: ascending, so the imaginary modes come first (most
// negative first) and a transition state's reaction mode is row 7; equal
// wavenumbers keep their given order. `order[r]` is the index into
// `frequencies` of row ZERO_ROWS + 1 + r.
std::vector<std::size_t> modeRowOrder(const std::vector<double> &frequencies);

// ---- The rules of a rotor

// The lowest wavenumber of a row a rotor may replace, cm-1. A rotor takes the
// place of a harmonic vibration, so its row must be one the thermochemistry
// counts as a vibration: thermo's `vibrational` (thermo/rrho.cpp) leaves out
// every row whose unscaled wavenumber is not above 0.1 cm-1, the six zero
// rows, imaginary modes and numerical noise alike. Below that threshold a
// rotor would add a mode that the harmonic treatment never counted rather
// than replace one, so that `--rotors harmonic` and `--rotors quantum` would
// count different numbers of modes.
inline constexpr double LOWEST_VIBRATION = 0.1;

// A row's wavenumber is a vibration a rotor may replace (NaN is not).
bool isVibration(double wavenumber);

// The rules a rotor breaks, in the order they are checked. Each caller words
// a broken rule in its own message (the reader with the columns it read, the
// writer, the importer's options, the scan's molecule); the rules are here.
enum class RotorFault : std::uint8_t {
  NONE,
  // Its own numbers (the data file's rotor line):
  MODE_BELOW_ONE, // the row is 0 or negative
  PIVOTS,         // the pivots are not two different atoms from 1
  SIGMA,          // the symmetry number is not 1 to MAX_ROTOR_SIGMA
  MOMENT,         // the reduced moment is not above 0 and at most MAX_ROTOR_MOMENT
  // Its potential:
  BARRIER,      // a cosine V0 below 0 (V0/2 (1 - cos(sigma phi)) is lowest at phi = 0 for V0 >= 0)
  TERMS,        // not 1 to MAX_ROTOR_TERMS Fourier terms
  BARRIER_HIGH, // V0, or the Fourier potential's max - min, above MAX_ROTOR_BARRIER
                // (RotorCheck::barrier)
  // A potential whose barrier is SHALLOW_BARRIER or more repeats sigma times a
  // turn: V(phi + 2 pi/sigma) stays within a tenth of the barrier plus 0.2
  // kJ/mol (twice the tolerance of a scan's fit) of V(phi). One well a turn
  // divided by sigma 3 would count a third of the states (RotorCheck::barrier,
  // ::mismatch).
  PERIOD,
  // Its top:
  TOP_EMPTY,
  TOP_TWICE,            // an atom named twice (RotorCheck::atom)
  TOP_WITHOUT_PIVOT,    // pivot1 not in the top
  TOP_WITH_OTHER_PIVOT, // pivot2 in the top
  // Its place in the molecule:
  MODE_BEYOND_ROWS,   // past the rows of the frequency block
  MODE_NOT_VIBRATION, // the row is not above LOWEST_VIBRATION (RotorCheck::wavenumber)
  MODE_TAKEN,         // an earlier rotor replaces that row (RotorCheck::other)
  BOND_TAKEN,         // an earlier rotor turns about the same bond (RotorCheck::other)
  ATOM_BEYOND,        // an atom past the coordinates block (RotorCheck::atom, the highest)
};

struct RotorCheck {
  RotorFault fault = RotorFault::NONE;
  int atom = 0;            // TOP_TWICE, ATOM_BEYOND
  std::size_t other = 0;   // MODE_TAKEN: the earlier rotor, 0-based
  double wavenumber = 0.0; // MODE_NOT_VIBRATION: the row's, cm-1
  double barrier = 0.0;    // BARRIER_HIGH, PERIOD: the potential's max - min, kJ/mol
  double mismatch = 0.0;   // PERIOD: periodMismatch, kJ/mol
  bool ok() const { return fault == RotorFault::NONE; }
};

// The rules by what they look at, so that the data file's reader can apply
// each as soon as it has read that part; rotorFault applies them all.
RotorCheck rotorNumbersFault(const HinderedRotor &rotor);
RotorCheck rotorPotentialFault(const HinderedRotor &rotor);
RotorCheck rotorTopFault(const HinderedRotor &rotor);
// The row `mode` of the frequency block `rows` (six zero rows first) is a vibration.
RotorCheck modeRowFault(int mode, std::span<const double> rows);
// Rotor k of `rotors` in its molecule: its row, a row and a bond no earlier
// rotor takes (one torsion, one rotor: 1-2 and 2-1 are the same bond), its
// atoms among the `atoms` of the coordinates block.
RotorCheck rotorPlaceFault(std::span<const HinderedRotor> rotors, std::size_t k,
                           std::span<const double> rows, std::size_t atoms);

// Every rule, in the order of RotorFault; the first broken one.
RotorCheck rotorFault(std::span<const HinderedRotor> rotors, std::size_t k,
                      std::span<const double> rows, std::size_t atoms);

} // namespace orvalen
