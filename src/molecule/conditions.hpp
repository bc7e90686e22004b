#pragma once

// The conditions of a job, beside its molecule table: what the job input sets
// and every step of the computation reads.

namespace orvalen {

inline constexpr double DEFAULT_T = 298.15;   // K
inline constexpr double DEFAULT_P = 101325.0; // Pa

// The job conditions: temperature, pressure and the effective rate constant's
// concentration C (molecules/cm3) and exponent n (0 = not asked for).
struct Conditions {
  double T = DEFAULT_T;
  double P = DEFAULT_P;
  double conc = 0.0;
  int nexp = 0;
};

} // namespace orvalen
