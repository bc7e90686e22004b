#include "extended/quasi_harmonic.hpp"

#include "thermo/constants.hpp"
#include "thermo/rrho.hpp"

#include <cmath>

namespace orvalen::extended {

namespace {

// d(Q)/dT of the harmonic oscillator from the potential bottom, Q = y/(1 - x),
// x = exp(-theta/T), y = exp(-theta/2T): the report's expression and its
// range-keeping form where the square of 1/x - 1 overflows.
double bottomDqdt(double theta, double T, double x, double y) {
  const double d = 1.0 / x - 1.0;
  const double d2 = d * d;
  if (!std::isinf(d2) || std::isinf(d))
    return theta / ((T + T) * T) / y * (1.0 / x + 1.0) / d2;
  return theta / ((T + T) * T) * y * (1.0 + x) / ((1.0 - x) * (1.0 - x));
}

// Wavenumber in cm-1 to frequency in 1/s.
double frequency(double wavenumber) {
  return std::fabs(wavenumber) * CLIGHT * 100.0;
}

} // namespace

HarmonicMode harmonicMode(double wavenumber, double T) {
  const double nu = frequency(wavenumber);
  const double theta = nu * PLANCK / BOLTZ;
  const double zpeJ = PLANCK * nu * 0.5;
  const double x = std::exp(-theta / T);
  const double y = std::exp(-theta / (T + T));
  HarmonicMode m;
  m.q0 = 1.0 / (1.0 - x);
  m.qBottom = y / (1.0 - x);
  const Tdf t = calcTdf(m.qBottom, bottomDqdt(theta, T, x, y), 0, T);
  m.s = t.s;
  m.u = t.u;
  m.f = t.f;
  m.g = t.g;
  m.zpe = zpeJ / KJMOL2J;
  return m;
}

double harmonicZpe(double wavenumber) {
  const double zpeJ = PLANCK * frequency(wavenumber) * 0.5;
  return zpeJ / KJMOL2J;
}

double grimmeWeight(double wavenumber, double cutoff) {
  const double r = cutoff / wavenumber; // nu0/nu: c cancels
  const double r2 = r * r;
  return 1.0 / (1.0 + r2 * r2);
}

double freeRotorEntropy(double wavenumber, double bav, double T) {
  const double mu = PLANCK / (8.0 * PI * PI * frequency(wavenumber)); // kg m2
  const double muEff = mu * bav / (mu + bav);
  const double a = 8.0 * PI * PI * PI * muEff * BOLTZ * T / (PLANCK * PLANCK);
  return RGAS * (0.5 + std::log(std::sqrt(a)));
}

double grimmeEntropy(double w, double sHarmonic, double sFreeRotor) {
  return w * sHarmonic + (1.0 - w) * sFreeRotor;
}

double dampedEnergy(double w, double energyHarmonic, double T) {
  return w * energyHarmonic + (1.0 - w) * (RGAS * T * 0.5 / 1000.0);
}

double modeQ0(double s, double thermalEnergy, double T) {
  return std::exp(s / RGAS - thermalEnergy * 1000.0 / (RGAS * T));
}

} // namespace orvalen::extended
