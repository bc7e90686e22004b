// One-dimensional hindered rotors against limits with closed forms: the free
// rotor, the classical limit at high T, the harmonic oscillator of the same
// curvature in a deep well (Mathieu asymptotics, Abramowitz & Stegun 20.2.30);
// the levels against the Hamiltonian in the complex basis e^(i m phi), and the
// classical integral of a cosine barrier against its Bessel-function form.

#include "base/error.hpp"
#include "extended/hindered_rotor.hpp"
#include "support/rotors.hpp"

#include <Eigen/Eigenvalues>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <string>
#include <vector>

namespace {

using orvalen::HinderedRotor;
namespace ext = orvalen::extended;

// CODATA 1998, as the program's constants.
constexpr double H = 6.62606876e-34;
constexpr double KB = 1.3806503e-23;
constexpr double NA = 6.02214199e23;
constexpr double C = 299792458.0;
constexpr double AMU = 1.66053873e-27;
constexpr double PI = 3.141592653589793;
constexpr double R = KB * NA;

using orvalen::test::cosineRotor;

// hbar^2/(2I), kJ/mol.
double bKj(double moment) {
  const double hbar = H / (2.0 * PI);
  return hbar * hbar / (2.0 * moment * AMU * 1e-20) * NA / 1000.0;
}

// Wavenumber of V0/2 (1 - cos sigma phi): V''(0) = sigma^2 V0/2.
double cosineWavenumber(double v0, int sigma, double moment) {
  const double curv = sigma * sigma * v0 / 2.0 * 1000.0 / NA;
  return std::sqrt(curv / (moment * AMU * 1e-20)) / (2.0 * PI) / (C * 100.0);
}

TEST(HinderedRotor, FreeRotorIsSqrt8Pi3IkTOverHSigma) {
  const HinderedRotor free = cosineRotor(0.0, 3, 1.6);
  // Hand value: sqrt(8 pi^3 * 1.6 amu A^2 * k * 300 K) / (h * 3).
  const auto cl = ext::classicalThermo(free, 300.0);
  EXPECT_NEAR(cl.q, 2.6283281029, 1e-8);
  EXPECT_NEAR(cl.h, R * 300.0 / 2000.0, 1e-9);
  EXPECT_NEAR(cl.zpe, 0.0, 1e-12);
  // The level sum (1/3) sum exp(-B m^2/kT) is the integral up to exp(-pi^2 kT/B).
  const auto levels = ext::quantumLevels(free, 1000.0);
  for (const double t : {300.0, 1000.0}) {
    const auto qu = ext::quantumThermo(levels, t);
    const auto ct = ext::classicalThermo(free, t);
    EXPECT_NEAR(qu.q / ct.q, 1.0, 1e-7) << t;
    EXPECT_NEAR(qu.h, ct.h, 1e-6) << t;
    EXPECT_NEAR(qu.s, ct.s, 1e-5) << t;
  }
  EXPECT_NEAR(levels.zpe, 0.0, 1e-9);
}

TEST(HinderedRotor, QuantumApproachesClassicalAtHighTemperature) {
  struct Case {
    double v0;
    int sigma;
    double moment;
    double t;
    double tol;
  };
  for (const Case c : {Case{12.0, 3, 1.6, 1000.0, 0.01}, Case{12.0, 3, 1.6, 3000.0, 0.005},
                       Case{4.0, 2, 0.8, 1000.0, 0.01}, Case{25.0, 1, 3.0, 1500.0, 0.01}}) {
    const HinderedRotor r = cosineRotor(c.v0, c.sigma, c.moment);
    const auto qu = ext::quantumThermo(ext::quantumLevels(r, c.t), c.t);
    const auto cl = ext::classicalThermo(r, c.t);
    EXPECT_NEAR(qu.q / cl.q, 1.0, c.tol) << c.v0 << " " << c.t;
    EXPECT_NEAR(qu.s, cl.s, R * c.tol) << c.v0 << " " << c.t;
  }
}

// A sigma-fold well has sigma equivalent minima: its levels come in sigma
// near-degenerate copies, so (1/sigma) sum -> Q of one harmonic well,
// 1/(1 - exp(-h c nu/kT)) from its ground level.
TEST(HinderedRotor, DeepWellIsTheHarmonicOscillatorOfItsCurvature) {
  struct Case {
    double v0;
    int sigma;
    double moment;
    double t;
  };
  for (const Case c :
       {Case{150.0, 3, 1.6, 300.0}, Case{200.0, 2, 0.9, 500.0}, Case{300.0, 1, 2.5, 400.0}}) {
    const HinderedRotor r = cosineRotor(c.v0, c.sigma, c.moment);
    const double nu = cosineWavenumber(c.v0, c.sigma, c.moment);
    const double x = H * C * 100.0 * nu / (KB * c.t);
    const auto levels = ext::quantumLevels(r, c.t);
    const auto qu = ext::quantumThermo(levels, c.t);
    // The cosine well is softer than its parabola: Q a little above, within 1 %.
    EXPECT_NEAR(qu.q * (1.0 - std::exp(-x)), 1.0, 0.01) << c.v0;
    // Ground level of the Mathieu equation: hc nu/2 - B sigma^2/16 - B sigma^2/(128 sqrt(q)),
    // q = V0/(B sigma^2); the next term is of order B sigma^2/q.
    const double b = bKj(c.moment);
    const double q = c.v0 / (b * c.sigma * c.sigma);
    const double half = H * C * 100.0 * nu * NA / 2000.0;
    const double mathieu =
        half - b * c.sigma * c.sigma / 16.0 - b * c.sigma * c.sigma / (128.0 * std::sqrt(q));
    EXPECT_NEAR(levels.zpe, mathieu, b * c.sigma * c.sigma / q) << c.v0;
    EXPECT_NEAR(levels.zpe / half, 1.0, 0.02) << c.v0;
    // The classical rotor with its semiclassical factor: the same oscillator, ZPE h c nu/2.
    const auto cl = ext::classicalThermo(r, c.t);
    EXPECT_NEAR(cl.q * (1.0 - std::exp(-x)), 1.0, 0.01) << c.v0;
    EXPECT_NEAR(cl.zpe, half, 1e-9) << c.v0;
  }
}

// H - H0 = R T^2 dlnQ/dT, checked against a central difference of ln Q.
TEST(HinderedRotor, EnthalpyIsRT2DlnQdT) {
  HinderedRotor r;
  r.sigma = 1;
  r.moment = 2.2;
  r.fourier = {{{5.0, 0.0}, {-3.0, 1.0}, {-2.0, -0.5}}}; // V(0) = 0, asymmetric
  const double t = 600.0;
  const double dt = 0.01;
  const auto levels = ext::quantumLevels(r, t + dt);
  auto lnQ = [&](double tt) { return std::log(ext::quantumThermo(levels, tt).q); };
  auto lnQc = [&](double tt) { return std::log(ext::classicalThermo(r, tt).q); };
  const double rt2 = R / 1000.0 * t * t / (2.0 * dt);
  EXPECT_NEAR(ext::quantumThermo(levels, t).h, rt2 * (lnQ(t + dt) - lnQ(t - dt)), 1e-5);
  EXPECT_NEAR(ext::classicalThermo(r, t).h, rt2 * (lnQc(t + dt) - lnQc(t - dt)), 1e-5);
  const auto qu = ext::quantumThermo(levels, t);
  EXPECT_NEAR(qu.s, R * std::log(qu.q) + 1000.0 * qu.h / t, 1e-9);
}

// Levels of -B d2/dphi2 + V in e^(i m phi), m = -M..M, from the lowest: the dense
// Hermitian matrix <m|V|n> = c_(m-n), V = sum_k c_k e^(i k phi), c_0 = a_0,
// c_(+-k) = (a_k -+ i b_k)/2.
std::vector<double> complexBasisLevels(const std::vector<std::array<double, 2>> &terms,
                                       double moment, int bigM) {
  const int n = 2 * bigM + 1;
  const double b = bKj(moment);
  Eigen::MatrixXcd h = Eigen::MatrixXcd::Zero(n, n);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      const int k = std::abs(i - j);
      if (k >= static_cast<int>(terms.size())) {
        continue;
      }
      const double sign = i > j ? 1.0 : -1.0;
      h(i, j) = k == 0 ? std::complex<double>(terms[0][0], 0.0)
                       : std::complex<double>(terms[k][0] / 2.0, -sign * terms[k][1] / 2.0);
    }
    h(i, i) += b * (i - bigM) * (i - bigM);
  }
  const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXcd> solver(h, Eigen::EigenvaluesOnly);
  std::vector<double> levels(solver.eigenvalues().data(),
                             solver.eigenvalues().data() + solver.eigenvalues().size());
  return levels;
}

// The program's levels come from a real basis of cosines and sines, split in two
// halves when V has no sine terms; the complex basis of the same size has the same
// eigenvalues, with sines (an asymmetric well) or without.
TEST(HinderedRotor, LevelsAreThoseOfTheComplexBasis) {
  struct Case {
    std::string name;
    std::vector<std::array<double, 2>> terms;
    double moment;
    double tMax;
  };
  const std::vector<Case> cases{
      {"asymmetric", {{6.0, 0.0}, {-2.0, 0.5}, {-1.5, -0.3}, {-2.5, 0.2}}, 2.6, 1500.0},
      {"asymmetric, 300 levels", {{6.0, 0.0}, {-2.0, 0.5}, {-1.5, -0.3}, {-2.5, 0.2}}, 6.2, 3000.0},
      {"sines only", {{4.0, 0.0}, {0.0, 3.0}, {0.0, 0.0}, {0.0, -1.0}}, 1.1, 800.0},
      {"six terms",
       {{3.0, 0.0}, {-1.0, 0.4}, {0.5, -0.2}, {-1.2, 0.3}, {0.2, 0.1}, {0.0, 0.0}, {-0.8, -0.6}},
       1.4,
       900.0},
      {"even", {{5.0, 0.0}, {-1.0, 0.0}, {0.0, 0.0}, {-4.0, 0.0}}, 1.6, 1000.0},
      {"free", {{0.0, 0.0}}, 0.9, 500.0},
  };
  for (const Case &c : cases) {
    HinderedRotor r;
    r.sigma = 1;
    r.moment = c.moment;
    r.fourier = c.terms;
    const auto levels = ext::quantumLevels(r, c.tMax);
    const auto reference = complexBasisLevels(c.terms, c.moment, levels.basisM);
    ASSERT_EQ(levels.levels.size(), reference.size()) << c.name;
    for (std::size_t i = 0; i < reference.size(); ++i) {
      const double expected = reference[i] - reference[0];
      ASSERT_NEAR(levels.levels[i], expected, 1e-9 * (1.0 + expected)) << c.name << " " << i;
    }
    EXPECT_NEAR(levels.zpe, reference[0] - orvalen::potentialMinimum(c.terms).v, 1e-9) << c.name;
  }
}

// An asymmetric well (sine terms) goes to its classical limit at high T as the
// symmetric ones do; its mirror image V(-phi) (b_k -> -b_k) has the same Q.
TEST(HinderedRotor, AsymmetricWellApproachesClassicalAtHighTemperature) {
  struct Case {
    double t;
    double tol;
  };
  HinderedRotor r;
  r.sigma = 1;
  r.moment = 2.6;
  r.fourier = {{{6.0, 0.0}, {-2.0, 0.5}, {-1.5, -0.3}, {-2.5, 0.2}}};
  HinderedRotor mirror = r;
  for (auto &term : mirror.fourier) {
    term[1] = -term[1];
  }
  for (const Case c : {Case{1000.0, 0.01}, Case{3000.0, 0.005}}) {
    const auto qu = ext::quantumThermo(ext::quantumLevels(r, c.t), c.t);
    const auto cl = ext::classicalThermo(r, c.t);
    EXPECT_NEAR(qu.q / cl.q, 1.0, c.tol) << c.t;
    EXPECT_NEAR(qu.s, cl.s, R * c.tol) << c.t;
    const auto quMirror = ext::quantumThermo(ext::quantumLevels(mirror, c.t), c.t);
    EXPECT_NEAR(quMirror.q / qu.q, 1.0, 1e-10) << c.t;
    EXPECT_NEAR(ext::classicalThermo(mirror, c.t).q / cl.q, 1.0, 1e-10) << c.t;
  }
}

// A rotor prepared once at tMin, then asked at many T (and once below tMin),
// against the cosine barrier's closed form: int exp(-V0/2kT (1 - cos sigma phi))
// dphi = 2 pi e^-y I0(y), y = V0/2kT, and <V> = V0/2 (1 - I1(y)/I0(y)).
TEST(HinderedRotor, PreparedClassicalRotorIsTheBesselFormAtEveryTemperature) {
  struct Case {
    double v0;
    int sigma;
    double moment;
  };
  const double tMin = 200.0;
  for (const Case c : {Case{25.0, 3, 1.6}, Case{40.0, 1, 3.0}, Case{8.0, 2, 0.8}}) {
    const HinderedRotor r = cosineRotor(c.v0, c.sigma, c.moment);
    const ext::ClassicalRotor prepared(r, tMin);
    const double nu = cosineWavenumber(c.v0, c.sigma, c.moment);
    for (const double t : {120.0, 200.0, 455.5, 1000.0, 3000.0}) {
      const double rt = R * t / 1000.0;
      const double y = c.v0 / (2.0 * rt);
      const double i0 = std::cyl_bessel_i(0.0, y);
      const double integral = 2.0 * PI * std::exp(-y) * i0;
      const double x = H * C * 100.0 * nu / (KB * t);
      const double q = std::sqrt(2.0 * PI * c.moment * AMU * 1e-20 * KB * t) / H * integral * x /
                       (1.0 - std::exp(-x)) / c.sigma;
      const double h = c.v0 / 2.0 * (1.0 - std::cyl_bessel_i(1.0, y) / i0) - rt / 2.0 +
                       rt * x / (std::exp(x) - 1.0);
      const auto th = prepared.thermo(t);
      EXPECT_NEAR(th.q / q, 1.0, 1e-9) << c.v0 << " " << t;
      EXPECT_NEAR(th.h, h, 1e-9) << c.v0 << " " << t;
      EXPECT_NEAR(th.s, R * std::log(q) + 1000.0 * h / t, 1e-7) << c.v0 << " " << t;
      const auto once = ext::classicalThermo(r, t);
      EXPECT_NEAR(once.q / q, 1.0, 1e-9) << c.v0 << " " << t;
    }
  }
}

// The classical treatment stays between the free rotor and the harmonic
// oscillator. A shallow sixfold well (ethyl's, V0 0.09 kJ/mol, I 1.1 amu A^2)
// has a harmonic wavenumber of 64.4 cm-1, whose h c nu/2 = 0.385 kJ/mol is
// above the barrier: nu is capped at 2 V0/(h c), so ZPE = V0 and
// x = h c nu/kT = 2 V0/RT in the semiclassical factor. Where that Q would give
// more entropy than the free rotor, the rotor is the free one.
TEST(HinderedRotor, ClassicalZeroPointEnergyIsNeverAboveTheBarrier) {
  struct Case {
    double v0;
    int sigma;
    double moment;
  };
  for (const Case c : {Case{0.09, 6, 1.1}, Case{1.0, 12, 0.5}}) {
    const HinderedRotor r = cosineRotor(c.v0, c.sigma, c.moment);
    ASSERT_GT(H * C * 100.0 * cosineWavenumber(c.v0, c.sigma, c.moment) * NA / 1000.0 / 2.0,
              1.3 * c.v0);
    for (const double t : {50.0, 298.15, 1000.0}) {
      const auto th = ext::classicalThermo(r, t);
      EXPECT_NEAR(th.zpe, c.v0, 1e-12) << t;
      const double rt = R * t / 1000.0;
      const double y = c.v0 / (2.0 * rt);
      const double x = 2.0 * c.v0 / rt;
      const double i0 = std::cyl_bessel_i(0.0, y);
      const double qFree =
          std::sqrt(2.0 * PI * c.moment * AMU * 1e-20 * KB * t) / H * 2.0 * PI / c.sigma;
      const double q = qFree * std::exp(-y) * i0 * x / (1.0 - std::exp(-x));
      const double h = c.v0 / 2.0 * (1.0 - std::cyl_bessel_i(1.0, y) / i0) - rt / 2.0 +
                       rt * x / (std::exp(x) - 1.0);
      const double s = R * std::log(q) + 1000.0 * h / t;
      const double sFree = R * std::log(qFree) + R / 2.0;
      EXPECT_NEAR(th.q / (s > sFree ? qFree : q), 1.0, 1e-9) << c.v0 << " " << t;
      EXPECT_NEAR(th.s, std::min(s, sFree), 1e-7) << c.v0 << " " << t;
    }
  }
  // A deep well keeps its harmonic ZPE.
  const double nu = cosineWavenumber(25.0, 3, 1.6);
  EXPECT_NEAR(ext::classicalThermo(cosineRotor(25.0, 3, 1.6), 300.0).zpe,
              H * C * 100.0 * nu * NA / 1000.0 / 2.0, 1e-12);
}

// A sharp minimum: V = D (1 - F(phi)/21), F the Fejer kernel 1 + 2 sum_{k=1..20}
// (1 - k/21) cos(k phi) (from 21 at phi = 0 down to 0 and below 1 beyond some
// 30 degrees), D = 5 kJ/mol, I = 1.6 amu A^2: a well some 20 degrees wide on a
// plateau at about D. Its curvature D/21 sum 2 (1 - k/21) k^2 = 366.7 kJ/mol/rad^2
// gives 804 cm-1 (below the cap 2 D/(h c) = 836 cm-1). The plateau makes Q near
// Q_free e^(-D/RT) and the factor x/(1 - e^-x) lifts S by R (ln x - 1) above the
// free rotor's (23.77 against 21.30 J/(mol K) at 298.15 K by the formula): the
// classical rotor is the free one instead: Q = (8 pi^3 I kT)^1/2/h, H - H0 = RT/2,
// S = R (ln Q + 1/2). The quantum levels never exceed the free rotor's S either.
TEST(HinderedRotor, ClassicalEntropyIsNeverAboveTheFreeRotors) {
  constexpr double D = 5.0;
  orvalen::FourierTerms terms(21, {0.0, 0.0});
  terms[0][0] = D * (1.0 - 1.0 / 21.0);
  for (std::size_t k = 1; k < terms.size(); ++k)
    terms[k][0] = -2.0 * D * (1.0 - static_cast<double>(k) / 21.0) / 21.0;
  const HinderedRotor sharp = orvalen::test::fourierRotor(terms, 1.6);
  const auto levels = ext::quantumLevels(sharp, 1000.0);
  for (const double t : {298.15, 1000.0}) {
    const double qFree = std::sqrt(8.0 * PI * PI * PI * 1.6 * AMU * 1e-20 * KB * t) / H;
    const double sFree = R * (std::log(qFree) + 0.5);
    const auto th = ext::classicalThermo(sharp, t);
    EXPECT_NEAR(th.q / qFree, 1.0, 1e-12) << t;
    EXPECT_NEAR(th.h, R * t / 2000.0, 1e-12) << t;
    EXPECT_NEAR(th.s, sFree, 1e-9) << t;
    EXPECT_LT(ext::quantumThermo(levels, t).s, sFree) << t;
  }
  // A potential that leaves S below the free rotor's keeps its own values.
  const auto cosine = ext::classicalThermo(cosineRotor(8.0, 2, 0.8), 300.0);
  EXPECT_LT(cosine.s, R * (std::log(std::sqrt(8.0 * PI * PI * PI * 0.8 * AMU * 1e-20 * KB * 300.0) /
                                    (2.0 * H)) +
                           0.5));
}

// Bounded work for any accepted rotor: the quantum basis stops at M = 4000 with
// a clear refusal, never an overflow or a run of hours.
TEST(HinderedRotor, QuantumBasisIsBounded) {
  const HinderedRotor heavy = cosineRotor(10.0, 3, 1.0e4);
  EXPECT_THROW(ext::quantumLevels(heavy, 1.0e6), orvalen::Error);
  EXPECT_NO_THROW(ext::quantumLevels(cosineRotor(10.0, 3, 100.0), 1000.0));
}

} // namespace
