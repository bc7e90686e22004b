#pragma once
// The potential of a torsion as the data file holds it: a Fourier series
// V(phi) = sum over k = 0..K of a_k cos(k phi) + b_k sin(k phi) in kJ/mol,
// phi = 0 and V = 0 at the geometry of the frequencies (the first point of a
// scan), so a_0 = -(a_1 + ... + a_K). Also the harmonic wavenumber of a
// rotor from the curvature of its potential and its reduced moment, and the
// cosine barrier V0/2 (1 - cos(sigma phi)) of a given curvature.
//
//   const qc::FourierFit fit = qc::fitFourier(phi, v); // radians, kJ/mol
//   if (fit.reproduced) rotor.fourier = fit.terms;
#include <array>
#include <cstddef>
#include <vector>

namespace orvalen::qc {

using FourierTerms = std::vector<std::array<double, 2>>; // {a_k, b_k}, k = 0, 1, ...

inline constexpr double FIT_TOLERANCE = 0.1;             // kJ/mol, every point
inline constexpr int MAX_FOURIER_ORDER = 20;             // K
inline constexpr double HARTREE_KJMOL = 2625.4996394799; // kJ/mol per Hartree, CODATA 2018

double fourierValue(const FourierTerms &terms, double phi);

// V''(0) = -sum k^2 a_k, kJ/(mol rad^2).
double curvatureAtZero(const FourierTerms &terms);

struct FourierFit {
  FourierTerms terms;       // k = 0..order
  int order = 0;            // K
  double largestMiss = 0.0; // kJ/mol, the largest |V(phi_i) - V_i|
  std::size_t worstPoint = 0;
  bool reproduced = false; // every point within the tolerance
};

// Least squares (Eigen, column-pivoting QR) of the points (phi_i in radians,
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

// nu = sqrt(V''/I) / (2 pi c), cm-1, of a curvature V'' in kJ/(mol rad^2)
// and a reduced moment I in amu*A^2; 0 when V'' <= 0.
double harmonicWavenumber(double curvature, double moment);

// The cosine barrier V0 (kJ/mol) of V0/2 (1 - cos(sigma phi)), whose
// curvature at phi = 0, V0 sigma^2 / 2, gives the wavenumber nu (cm-1) for
// the moment I (amu*A^2): V0 = 2 I (2 pi c nu)^2 / sigma^2.
double cosineBarrier(double wavenumber, double moment, int sigma);

} // namespace orvalen::qc
