#pragma once

// Tunnelling transmission coefficients through the first transition state:
// Wigner, the uniform (infinite) parabolic barrier, and Skodje-Truhlar for a
// parabolic barrier truncated at the energy of the lower side. They are
// reported only; no rate constant is multiplied by them.

#include "fixedio/format.hpp"
#include "molecule/molecule.hpp"

namespace orvalen {

struct Tunnelling {
  double u = 0.0;    // h*nu/(kB*T)
  double alp = 0.0;  // 2*pi/(h*nu), 1/J
  double bet = 0.0;  // 1/(kB*T), 1/J
  double kW = 0.0;   // Wigner
  double kP = 0.0;   // uniform parabolic barrier
  double kST = 0.0;  // Skodje-Truhlar, the one that applies
  double kST1 = 0.0; // Skodje-Truhlar for alp > bet
  double kST2 = 0.0; // Skodje-Truhlar for alp < bet
};

// |FREQ(7)| of the first transition state in cm-1 (the six translations and
// rotations come first); 0 when there is no transition state or it lists
// fewer than seven frequencies.
double imaginaryFrequency(const MoleculeTable &mol);

// vim: imaginary frequency in cm-1 (its sign is dropped); dH0: barrier at 0 K
// in Hartree; drZpe: the reaction's change of E+ZPE in Hartree, the lower
// side when positive; T in K. Non-finite values follow the floating-point
// rules and are carried, not rejected.
Tunnelling tunnelling(double vim, double dH0, double drZpe, double T);

void writeTunnelling(fixedio::Writer &out, const Tunnelling &t);

} // namespace orvalen
