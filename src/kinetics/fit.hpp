#pragma once

// Arrhenius fits of rate constants over a temperature range, by linear least
// squares on ln k:
//   modified:  k = A (T/T0)^n exp(-Ea/RT), T0 = 1 K
//   plain:     k = A exp(-Ea/RT)
// A carries the units of k.

#include <span>
#include <string>

namespace orvalen::kinetics {

struct ArrheniusFit {
  double A = 0.0;               // units of k
  double n = 0.0;               // 0 for the plain form
  double EaKJ = 0.0;            // kJ/mol
  double T0 = 1.0;              // K
  double maxRelDeviation = 0.0; // largest |k_fit/k - 1| over the points
};

struct Fits {
  ArrheniusFit modified;
  ArrheniusFit arrhenius;
  int points = 0; // temperatures that entered the fits
};

// k at T from a fit.
double fitValue(const ArrheniusFit &f, double T);

// Throws orvalen::Error when the points hold fewer than three distinct
// temperatures (the modified form has three parameters), or a k is not
// positive and finite or a T not positive.
Fits fitArrhenius(std::span<const double> T, std::span<const double> k);

// The fit as a line of a CHEMKIN-style mechanism: the reaction, A in cm, mol
// and s units for the molecularity m (from cm3/molecule/s: times NA^(m-1)),
// n, and Ea in cal/mol.
std::string chemkinLine(const std::string &reaction, const ArrheniusFit &f, int m);

} // namespace orvalen::kinetics
