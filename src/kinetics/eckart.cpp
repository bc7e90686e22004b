#include "kinetics/eckart.hpp"

#include "thermo/constants.hpp"

#include <boost/math/quadrature/tanh_sinh.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

namespace orvalen::kinetics {

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
  double er0 = 0.0;   // kinetic energy on the reactant side at the threshold, kJ/mol
  double ep0 = 0.0;   // and on the product side: one of the two is 0
  double scale = 0.0; // 2 sqrt(2 pi / h nu) / s, per sqrt(kJ/mol)
  double d = 0.0;     // 2 pi |d|
  bool cosBranch = false;

  explicit Shape(const EckartBarrier &b) {
    hnu = PLANCK * b.nu * CLIGHT * 100.0 / KJMOL2J;
    // The threshold is the higher asymptote: there the side below it has
    // kinetic energy V1 - V2 (or V2 - V1), the other none. Kinetic energies
    // counted from it need no subtraction near the threshold.
    er0 = b.V1 > b.V2 ? b.V1 - b.V2 : 0.0;
    ep0 = b.V2 > b.V1 ? b.V2 - b.V1 : 0.0;
    const double a1 = 2.0 * PI * b.V1 / hnu;
    const double a2 = 2.0 * PI * b.V2 / hnu;
    scale = 2.0 * std::sqrt(2.0 * PI / hnu) / (1.0 / std::sqrt(a1) + 1.0 / std::sqrt(a2));
    const double disc = 4.0 * a1 * a2 - PI * PI;
    cosBranch = disc < 0.0;
    d = std::sqrt(std::fabs(disc));
  }

  // ln P for the kinetic energies er on the reactant side and ep on the
  // product side (kJ/mol); -infinity when either is not positive.
  double lnP(double er, double ep) const {
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
  return Shape(b).lnP(E, E - b.V1 + b.V2);
}

double eckartKappa(const EckartBarrier &b, double T) {
  const Shape shape(b);
  const double kT = RGAS * T / 1000.0; // kJ/mol
  // In t = (E - threshold)/kT the integrand is P exp(min(V1, V2)/kT - t):
  // exp((V1 - E)/kT) with E = threshold + t kT.
  const double v = std::min(b.V1, b.V2) / kT;
  const auto g = [&](double t) {
    return shape.lnP(shape.er0 + t * kT, shape.ep0 + t * kT) + v - t;
  };

  // P <= 1, so beyond t = v + 45 the integrand is below e^-40 of its peak
  // (which is at least that at t = v + 5, where P is close to 1), and so is
  // the rest of the integral.
  const double end = v + 45.0;
  // The peak: the best of a coarse grid, refined by golden sections.
  constexpr int GRID = 24;
  double best = 0.0, gBest = -std::numeric_limits<double>::infinity();
  const double h = end / GRID;
  for (int i = 1; i <= GRID; ++i) {
    const double t = h * i;
    const double gt = g(t);
    if (gt > gBest) {
      gBest = gt;
      best = t;
    }
  }
  double lo = std::max(0.0, best - h), hi = std::min(end, best + h);
  constexpr double R = 0.6180339887498949;
  double t1 = hi - R * (hi - lo), t2 = lo + R * (hi - lo);
  double g1 = g(t1), g2 = g(t2);
  for (int i = 0; i < 30 && hi - lo > 1e-3 * (1.0 + best); ++i) {
    if (g1 > g2) {
      hi = t2;
      t2 = t1;
      g2 = g1;
      t1 = hi - R * (hi - lo);
      g1 = g(t1);
    } else {
      lo = t1;
      t1 = t2;
      g1 = g2;
      t2 = lo + R * (hi - lo);
      g2 = g(t2);
    }
  }
  if (std::max(g1, g2) > gBest) {
    gBest = std::max(g1, g2);
    best = g1 > g2 ? t1 : t2;
  }

  // kappa = e^gBest * integral of e^(g - gBest): the scaled integrand is at
  // most about 1, whatever kappa is. Both pieces have the peak at an end,
  // where tanh-sinh places its points most densely, and each begins at 0,
  // so that points near its start are not rounded onto it.
  boost::math::quadrature::tanh_sinh<double> integrator(15);
  constexpr double TOL = 1e-8;
  double sum = 0.0;
  if (best > 0.0)
    sum += integrator.integrate([&](double t) { return std::exp(g(t) - gBest); }, 0.0, best, TOL);
  sum += integrator.integrate([&](double s) { return std::exp(g(best + s) - gBest); }, 0.0,
                              end - best, TOL);
  return std::exp(gBest) * sum;
}

} // namespace orvalen::kinetics
