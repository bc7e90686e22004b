#pragma once

// A torsion as a one-dimensional hindered rotor: its energy levels and its
// partition function, quantum (levels in the free-rotor basis) and classical
// (with the semiclassical correction). The potential, its minimum and the
// harmonic wavenumber are the torsion's (molecule/torsion.hpp). Moments in
// amu*A^2, energies in kJ/mol, T in K, S in J/(mol K).

#include "molecule/molecule.hpp"
#include "molecule/torsion.hpp"
#include "thermo/constants.hpp"

#include <vector>

namespace orvalen::extended {

// The report's constants (CODATA 1998) for a rotor's harmonic wavenumber
// (molecule/torsion.hpp), as every other value the scan prints.
inline constexpr PhysicalConstants REPORT_CONSTANTS{AVOGADRO, AMU, CLIGHT};

// One rotor's thermodynamic functions at one temperature: Q from its ground
// level (divided by sigma), H - H0 and S from Q, and its zero-point energy
// above the potential minimum.
struct RotorThermo {
  double q = 1.0;
  double h = 0.0;   // kJ/mol, from the ground level
  double s = 0.0;   // J/(mol K)
  double zpe = 0.0; // kJ/mol
};

// Levels of H = -(hbar^2/2I) d2/dphi2 + V(phi), from the ground level, and
// the ground level above the potential minimum.
struct RotorLevels {
  std::vector<double> levels; // kJ/mol, ascending, levels[0] = 0
  double zpe = 0.0;           // kJ/mol
  int sigma = 1;
  int basisM = 0; // basis e^(i m phi), m = -M..M
};

// The basis grows until Q at tMax changes by less than 1e-8 relative, up to
// the M whose band reduction takes some seconds (1700 for a three-term
// potential with sines, 240 for one of 21 terms); throws orvalen::Error for a
// rotor (a huge moment at a high tMax) that would need more.
RotorLevels quantumLevels(const HinderedRotor &rotor, double tMax);

// Q = (1/sigma) sum exp(-e_i/kT); H - H0 = N_A <e>; S = R ln Q + (H - H0)/T.
RotorThermo quantumThermo(const RotorLevels &levels, double T);

// Q = (1/sigma) sqrt(2 pi I kT)/h int exp(-(V - Vmin)/kT) dphi * x/(1 - e^-x),
// x = h c nu_rot/kT; ZPE = h c nu_rot/2, nu_rot capped at 2 (Vmax - Vmin)/(h c)
// so that the ZPE is never above the barrier; where S would exceed the free
// rotor's (a sharp minimum), Q, H - H0 = RT/2 and S are the free rotor's.
RotorThermo classicalThermo(const HinderedRotor &rotor, double T);

// classicalThermo for many temperatures of one rotor: V - Vmin is tabulated
// once, on the nested periodic grids over one period of the potential that the
// trapezoid rule needs at tMin; each temperature then sums the grids it needs
// (fewer as T rises, exp(-V/kT) being smoother) and computes only grids past
// those, as a T below tMin may. Its values are classicalThermo's.
class ClassicalRotor {
public:
  ClassicalRotor(const HinderedRotor &rotor, double tMin);
  RotorThermo thermo(double T) const;

private:
  explicit ClassicalRotor(const HinderedRotor &rotor); // the first grid only
  friend RotorThermo classicalThermo(const HinderedRotor &rotor, double T);

  struct Integral {
    double value; // int exp(-(V - Vmin)/kT) dphi over a turn
    double meanV; // <V - Vmin>, kJ/mol
  };
  Integral integrate(double T, std::vector<std::vector<double>> *more) const;

  FourierTerms terms_;
  double moment_;
  int sigma_;
  double nu_;     // cm-1
  double vMin_;   // kJ/mol
  double period_; // 2 pi/g, g the common divisor of the terms' k
  int n0_;        // points of the first grid
  // V - Vmin, kJ/mol: grid 0 at i period/n0, grid l >= 1 at the midpoints of
  // grids 0..l-1 together (n0 2^(l-1) points).
  std::vector<std::vector<double>> grids_;
};

} // namespace orvalen::extended
