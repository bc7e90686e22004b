#include "extended/electronic_levels.hpp"

#include "thermo/constants.hpp"

#include <cmath>

namespace orvalen::extended {

Contribution levelsContribution(const std::vector<ElectronicLevel> &levels, double T) {
  const double c2 = PLANCK * CLIGHT * 100.0 / BOLTZ; // second radiation constant, cm K
  double q = 0.0;
  double dqdt = 0.0;
  for (const ElectronicLevel &level : levels) {
    const double a = c2 * level.energy / T; // e_i/kT
    const double term = static_cast<double>(level.degeneracy) * std::exp(-a);
    q += term;
    dqdt += term * a / T;
  }
  const Tdf t = calcTdf(q, dqdt, 0, T);
  return Contribution{q, t.s, t.f, t.u, t.h, t.g};
}

double spinOrbitShift(const std::vector<ElectronicLevel> &levels) {
  double weighted = 0.0;
  double total = 0.0;
  for (const ElectronicLevel &level : levels) {
    weighted += static_cast<double>(level.degeneracy) * level.energy;
    total += static_cast<double>(level.degeneracy);
  }
  return total > 0.0 ? -weighted / total : 0.0;
}

double wavenumberToKJmol(double wavenumber) {
  return wavenumber * PLANCK * CLIGHT * 100.0 * AVOGADRO / 1000.0;
}

} // namespace orvalen::extended
