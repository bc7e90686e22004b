#pragma once

// NASA 7-coefficient polynomials of a species' standard thermochemistry in
// two temperature ranges, Tlow..Tmid and Tmid..Thigh, as kinetic-model solvers
// read them (McBride, Gordon and Reno, NASA TM-4513, 1993):
//   Cp/R = a1 + a2 T + a3 T^2 + a4 T^3 + a5 T^4
//   H/RT = a1 + a2 T/2 + a3 T^2/3 + a4 T^3/4 + a5 T^4/5 + a6/T
//   S/R  = a1 ln T + a2 T + a3 T^2/2 + a4 T^3/3 + a5 T^4/4 + a7
// and their least-squares fit to a species' own Cp, H and S, e.g.
//   std::vector<ThermoSample> s = ...;  // at nasaFitTemperatures(200, 1000, 3000)
//   Nasa7 p = fitNasa7(s, {200, 1000, 3000});
//   NasaDeviation d = nasaDeviation(p, s);

#include <array>
#include <span>
#include <vector>

namespace orvalen::extended {

using NasaCoefficients = std::array<double, 7>; // a1..a7 of one range

struct NasaRanges {
  double tLow = 200.0;   // K
  double tMid = 1000.0;  // K
  double tHigh = 3000.0; // K
};

struct Nasa7 {
  NasaRanges t;
  NasaCoefficients low{};  // Tlow..Tmid
  NasaCoefficients high{}; // Tmid..Thigh
};

// One range's Cp/R, H/RT and S/R at T (K).
double cpOverR(const NasaCoefficients &a, double T);
double hOverRT(const NasaCoefficients &a, double T);
double sOverR(const NasaCoefficients &a, double T);

// The range that holds T: the low one up to and including Tmid.
const NasaCoefficients &rangeAt(const Nasa7 &p, double T);

// A species' standard thermochemistry at one temperature.
struct ThermoSample {
  double T = 0.0;  // K
  double cp = 0.0; // J/(mol K)
  double h = 0.0;  // J/mol, on the species' enthalpy scale
  double s = 0.0;  // J/(mol K)
};

// The temperatures of the fit: every 10 K from Tlow, and Tmid and Thigh
// themselves when the 10 K steps miss them. Throws orvalen::Error unless
// 0 < Tlow < Tmid < Thigh.
std::vector<double> nasaFitTemperatures(const NasaRanges &t);

// The constrained least-squares fit of both ranges at once to the samples
// (those at Tmid enter both ranges): residuals of Cp/R, (H - H0)/R and S/R,
// each divided by its tolerance (0.5 % of Cp or 0.02 R, the larger;
// 0.1 kJ/mol; 0.05 J/(mol K)). Cp/R, H/RT and S/R of the two ranges are
// equal at Tmid by construction: a1, a6 and a7 of the high range are the
// values that make them so, from the other eleven coefficients. Throws
// orvalen::Error when either range has fewer than four samples.
Nasa7 fitNasa7(std::span<const ThermoSample> samples, const NasaRanges &t);

// The largest deviations of the polynomials from the samples.
struct NasaDeviation {
  double cpPercent = 0.0; // largest |Cp fit - Cp| / Cp, in %
  double h = 0.0;         // kJ/mol
  double s = 0.0;         // J/(mol K)
  bool withinBounds =
      true; // Cp within 0.5 % (or 0.02 R), H 0.1 kJ/mol, S 0.05 J/(mol K) everywhere
};
NasaDeviation nasaDeviation(const Nasa7 &p, std::span<const ThermoSample> samples);

} // namespace orvalen::extended
