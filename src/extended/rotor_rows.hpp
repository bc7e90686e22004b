#pragma once

// A molecule's hindered rotors in its vibration table: each takes the row of
// the harmonic mode it replaces (HinderedRotor::mode, the row of the data
// file's frequency block) and fills it with its own S, H, G, ZPE and Q, so
// that the sums, the totals and everything after them carry it. The other
// rows keep what modeRows gave them (scale factors, quasi-harmonic entropy).
//   const RowStep rows = rotorRows(m, RotorTreatment::Quantum, tMin, tMax); // once per run
//   moleculeThermo(m, cond, options, rows);                                // at each T
// Energies in kJ/mol, S in J/(mol K), moments in amu*A^2.

#include "extended/hindered_rotor.hpp"
#include "extended/molecule_thermo.hpp"
#include "extended/physics_options.hpp"
#include "molecule/molecule.hpp"
#include "thermo/rrho.hpp"

#include <vector>

namespace orvalen::extended {

// What the outputs say of one rotor, independent of T.
struct RotorFacts {
  HinderedRotor rotor;
  double barrier = 0.0;            // max V - min V over a turn, kJ/mol
  double replacedWavenumber = 0.0; // the replaced mode's, cm-1, as the data file gives it
};

// The facts of each rotor of `m`, in its data file's order.
std::vector<RotorFacts> rotorFacts(const Molecule &m);

// One rotor's row at T: S = svib, ZPE = zpe, H - H0 = hh0vib, U = H = ZPE +
// (H - H0) from the potential minimum, F = G = H - TS, Q0 = qvib0 from the
// ground level (over sigma) and Q = qvib = Q0 exp(-ZPE/RT) from the minimum.
// The row counts as used and is not scaled.
void fillRotorRow(VibMode &row, const RotorThermo &rotor, double T);

// The step that puts the rotors of `m` in their rows, prepared once for the
// temperatures tMin..tMax of a run: quantum, the levels found here so that Q
// converges at tMax; classical, the potential tabulated here for tMin
// (ClassicalRotor, classicalThermo's values); harmonic, or a molecule without
// rotors, no step (the values of modeRows, the report's without options).
// Throws orvalen::Error for a rotor whose row is not a real vibration of the
// frequency block. The step is for `m` only.
RowStep rotorRows(const Molecule &m, RotorTreatment treatment, double tMin, double tMax);

} // namespace orvalen::extended
