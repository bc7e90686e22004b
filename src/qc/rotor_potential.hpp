#pragma once
// The potential of a torsion as the data file holds it: a Fourier series
// V(phi) = sum over k = 0..K of a_k cos(k phi) + b_k sin(k phi) in kJ/mol,
// phi = 0 and V = 0 at the geometry of the frequencies (the first point of a
// scan), so a_0 = -(a_1 + ... + a_K): its least-squares fit to a relaxed
// scan and the periodicity of the scan. The potential itself, its minimum and
// the rotor's harmonic wavenumber are the torsion's (molecule/torsion.hpp),
// computed here with the CODATA 2018 constants of the importer.
//
//   const qc::FourierFit fit = qc::fitFourier(phi, v); // radians, kJ/mol
//   if (fit.reproduced) rotor.fourier = fit.terms;
#include "molecule/torsion.hpp"

#include <cstddef>
#include <vector>

namespace orvalen::qc {

inline constexpr double FIT_TOLERANCE = 0.1;             // kJ/mol, every point
inline constexpr int MAX_FOURIER_ORDER = 20;             // K
inline constexpr double HARTREE_KJMOL = 2625.4996394799; // kJ/mol per Hartree, CODATA 2018

// The importer's constants for a rotor's wavenumber, CODATA 2018 as its
// isotope masses (exact for N_A and c).
inline constexpr PhysicalConstants CODATA_2018{6.02214076e23, 1.66053906660e-27, 299792458.0};

struct FourierFit {
  FourierTerms terms;       // k = 0..order
  int order = 0;            // K
  double largestMiss = 0.0; // kJ/mol, the largest |V(phi_i) - V_i|
  std::size_t worstPoint = 0;
  bool reproduced = false; // every point within the tolerance
};

// Least squares (Eigen, column-pivoting QR; beyond 10000 points that of the
// normal equations, summed point by point in memory of the number of terms
// squared) of the points (phi_i in radians,
// V_i in kJ/mol, phi_0 = 0, V_0 = 0) on (cos k phi - 1) and sin k phi, k =
// 1..K, for K = 0, 1, ... up to `maxOrder` and as far as the points determine
// the terms: the first K reproducing every point within `tolerance`, or, when
// none does, the highest K tried, `reproduced` false.
FourierFit fitFourier(const std::vector<double> &phi, const std::vector<double> &v,
                      double tolerance = FIT_TOLERANCE, int maxOrder = MAX_FOURIER_ORDER);

// The largest n <= 12 such that the fitted potential turned by 2 pi/n meets
// every point within a tenth of the scan's range (and at least 0.01 kJ/mol):
// how many times the potential repeats in a turn; 1 when it does not repeat.
int scanPeriodicity(const std::vector<double> &phi, const std::vector<double> &v,
                    const FourierTerms &terms);

} // namespace orvalen::qc
