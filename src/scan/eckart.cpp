#include "scan/eckart.hpp"

#include "thermo/constants.hpp"

#include <boost/math/quadrature/tanh_sinh.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

namespace orvalen::scan {

namespace {

constexpr double LN2 = 0.69314718055993530942;

// ln sinh x for x > 0; -infinity at 0. sinh itself is accurate for small x.
double lnSinh(double x) {
  if (!(x > 0.0))
    return -std::numeric_limits<double>::infinity();
  if (x > 20.0) // ln(1 - e^-2x) is below 5e-18 there, under half an ulp of x - ln 2
    return x - LN2;
  return std::log(std::sinh(x));
}

// ln cosh x without overflow.
double lnCosh(double x) {
  x = std::fabs(x);
  if (x > 20.0) // as for lnSinh
    return x - LN2;
  return x - LN2 + std::log1p(std::exp(-2.0 * x));
}

// The barrier in the dimensionless form of Johnston and Heicklen:
// alpha_i = 2 pi V_i / (h nu). With E measured from the reactants,
//   2 pi a = 2 sqrt(2 pi E / h nu) / s,   2 pi b = 2 sqrt(2 pi (E - (V1 - V2)) / h nu) / s,
//   s = alpha1^-1/2 + alpha2^-1/2,        2 pi d = sqrt(4 alpha1 alpha2 - pi^2),
//   P = [cosh 2pi(a+b) - cosh 2pi(a-b)] / [cosh 2pi(a+b) + cosh 2pi d].
// The numerator is 2 sinh(2pi a) sinh(2pi b) and the denominator
// 2 cosh(pi(a+b) + pi d) cosh(pi(a+b) - pi d) (d real) or
// 2 (sinh^2 pi(a+b) + cos^2 pi|d|) (4 alpha1 alpha2 < pi^2, d imaginary):
// products without cancellation whose logarithms never overflow.
struct Shape {
  double hnu = 0.0;   // kJ/mol
  double lower = 0.0; // the higher asymptote above the reactants, kJ/mol
  double scale = 0.0; // 2 sqrt(2 pi / h nu) / s, per sqrt(kJ/mol)
  double d = 0.0;     // 2 pi |d|
  bool cosBranch = false;

  explicit Shape(const EckartBarrier &b) {
    hnu = PLANCK * b.nu * CLIGHT * 100.0 / KJMOL2J;
    lower = std::max(0.0, b.V1 - b.V2);
    const double a1 = 2.0 * PI * b.V1 / hnu;
    const double a2 = 2.0 * PI * b.V2 / hnu;
    scale = 2.0 * std::sqrt(2.0 * PI / hnu) / (1.0 / std::sqrt(a1) + 1.0 / std::sqrt(a2));
    const double disc = 4.0 * a1 * a2 - PI * PI;
    cosBranch = disc < 0.0;
    d = std::sqrt(std::fabs(disc));
  }

  double lnP(double E, double V1, double V2) const {
    const double er = E;           // kinetic energy on the reactant side
    const double ep = E - V1 + V2; // and on the product side
    if (!(er > 0.0) || !(ep > 0.0))
      return -std::numeric_limits<double>::infinity();
    const double A = scale * std::sqrt(er);
    const double B = scale * std::sqrt(ep);
    const double half = 0.5 * (A + B);
    double lnDen;
    if (!cosBranch) {
      lnDen = LN2 + lnCosh(half + 0.5 * d) + lnCosh(half - 0.5 * d);
    } else {
      const double c = std::cos(0.5 * d);
      const double ls = lnSinh(half);
      lnDen = LN2 + (half > 20.0 ? 2.0 * ls + std::log1p(c * c * std::exp(-2.0 * ls))
                                 : std::log(std::exp(2.0 * ls) + c * c));
    }
    return LN2 + lnSinh(A) + lnSinh(B) - lnDen;
  }
};

std::string number(double x) {
  std::ostringstream s;
  s.precision(6);
  s << x;
  return s.str();
}

} // namespace

std::optional<std::string> eckartUndefined(const EckartBarrier &b) {
  if (!(b.nu > 0.0) || !std::isfinite(b.nu))
    return "no imaginary frequency (" + number(b.nu) + " cm-1)";
  if (!(b.V1 > 0.0) || !std::isfinite(b.V1))
    return "the forward barrier V1 = dH0 = " + number(b.V1) + " kJ/mol is not above zero";
  if (!(b.V2 > 0.0) || !std::isfinite(b.V2))
    return "the reverse barrier V2 = dH0 - DrZPE = " + number(b.V2) + " kJ/mol is not above zero";
  return std::nullopt;
}

double eckartLnTransmission(const EckartBarrier &b, double E) {
  return Shape(b).lnP(E, b.V1, b.V2);
}

double eckartKappa(const EckartBarrier &b, double T) {
  const Shape shape(b);
  const double kT = RGAS * T / 1000.0; // kJ/mol
  const double v1 = b.V1 / kT;
  const double e0 = shape.lower / kT;
  // ln of the integrand in x = E/kT: ln P + V1/kT - x.
  const auto g = [&](double x) { return shape.lnP(x * kT, b.V1, b.V2) + v1 - x; };

  // P <= 1, so beyond V1/kT + 45 the integrand is below e^-40 of its peak
  // (which is at least that at V1/kT + 5, where P is close to 1), and so is
  // the rest of the integral.
  const double end = std::max(v1, e0) + 45.0;
  // The peak: the best of a coarse grid, refined by golden sections.
  constexpr int GRID = 24;
  double best = e0, gBest = -std::numeric_limits<double>::infinity();
  const double h = (end - e0) / GRID;
  for (int i = 1; i <= GRID; ++i) {
    const double x = e0 + h * i;
    const double gx = g(x);
    if (gx > gBest) {
      gBest = gx;
      best = x;
    }
  }
  double lo = std::max(e0, best - h), hi = std::min(end, best + h);
  constexpr double R = 0.6180339887498949;
  double x1 = hi - R * (hi - lo), x2 = lo + R * (hi - lo);
  double g1 = g(x1), g2 = g(x2);
  for (int i = 0; i < 30 && hi - lo > 1e-3 * (1.0 + std::fabs(best)); ++i) {
    if (g1 > g2) {
      hi = x2;
      x2 = x1;
      g2 = g1;
      x1 = hi - R * (hi - lo);
      g1 = g(x1);
    } else {
      lo = x1;
      x1 = x2;
      g1 = g2;
      x2 = lo + R * (hi - lo);
      g2 = g(x2);
    }
  }
  if (std::max(g1, g2) > gBest) {
    gBest = std::max(g1, g2);
    best = g1 > g2 ? x1 : x2;
  }

  // kappa = e^gBest * integral of e^(g - gBest): the scaled integrand is at
  // most about 1, whatever kappa is. Both pieces have the peak at an end,
  // where tanh-sinh places its points most densely.
  const auto f = [&](double x) { return std::exp(g(x) - gBest); };
  boost::math::quadrature::tanh_sinh<double> integrator(15);
  constexpr double TOL = 1e-8;
  double sum = 0.0;
  if (best > e0)
    sum += integrator.integrate(f, e0, best, TOL);
  sum += integrator.integrate(f, best, end, TOL);
  return std::exp(gBest) * sum;
}

} // namespace orvalen::scan
