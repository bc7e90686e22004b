#include "extended/nasa7.hpp"

#include "base/error.hpp"
#include "base/warnings.hpp"
#include "thermo/constants.hpp"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>

namespace orvalen::extended {

double cpOverR(const NasaCoefficients &a, double T) {
  return a[0] + T * (a[1] + T * (a[2] + T * (a[3] + T * a[4])));
}

double hOverRT(const NasaCoefficients &a, double T) {
  return a[0] + T * (a[1] / 2.0 + T * (a[2] / 3.0 + T * (a[3] / 4.0 + T * a[4] / 5.0))) + a[5] / T;
}

double sOverR(const NasaCoefficients &a, double T) {
  return a[0] * std::log(T) + T * (a[1] + T * (a[2] / 2.0 + T * (a[3] / 3.0 + T * a[4] / 4.0))) +
         a[6];
}

const NasaCoefficients &rangeAt(const Nasa7 &p, double T) {
  return T <= p.t.tMid ? p.low : p.high;
}

std::vector<double> nasaFitTemperatures(const NasaRanges &t) {
  if (!(t.tLow > 0.0 && t.tLow < t.tMid && t.tMid < t.tHigh) || !std::isfinite(t.tHigh))
    throw Error("the temperature ranges " + numberText(t.tLow) + ", " + numberText(t.tMid) + ", " +
                numberText(t.tHigh) +
                " K are not 0 < TLOW < TMID < THIGH; give them as --nasa-t TLOW,TMID,THIGH");
  constexpr double STEP = 10.0; // K
  std::vector<double> T{t.tMid, t.tHigh};
  for (int i = 0; t.tLow + STEP * i < t.tHigh; ++i)
    T.push_back(t.tLow + STEP * i);
  std::sort(T.begin(), T.end());
  T.erase(std::unique(T.begin(), T.end(),
                      [](double x, double y) { return std::fabs(x - y) <= 1e-9 * y; }),
          T.end());
  return T;
}

namespace {

// The fit works in tau = T / Tmid (coefficients b), where the powers of T
// stay near 1; b converts to a exactly as the scaled powers say:
// a_k = b_k / Tmid^(k-1) (k = 1..5), a6 = b6 Tmid, a7 = b7 - b1 ln Tmid.
// Unknowns: b1..b7 of the low range (0..6), b2..b5 of the high range (7..10);
// b1, b6 and b7 of the high range follow from the continuity at tau = 1.
constexpr int FREE = 11;

// Coefficient k (0..6) of range `high` as a combination of the unknowns.
using Combination = Eigen::Matrix<double, FREE, 1>;

struct Unknowns {
  std::array<Combination, 7> low, high;
};

Unknowns unknowns() {
  Unknowns u;
  for (int k = 0; k < 7; ++k) {
    u.low[k].setZero();
    u.low[k][k] = 1.0;
    u.high[k].setZero();
  }
  for (int k = 1; k <= 4; ++k)
    u.high[k][6 + k] = 1.0;
  // At tau = 1: Cp/R equal when sum b_k equal; H/(R Tmid) when sum b_k/k + b6
  // equal; S/R when sum_{k>=2} b_k/(k-1) + b7 equal (ln 1 = 0).
  u.high[0] = u.low[0];
  for (int k = 1; k <= 4; ++k)
    u.high[0] += u.low[k] - u.high[k];
  u.high[5] = u.low[5];
  for (int k = 0; k <= 4; ++k)
    u.high[5] += (u.low[k] - u.high[k]) / (k + 1.0);
  u.high[6] = u.low[6];
  for (int k = 1; k <= 4; ++k)
    u.high[6] += (u.low[k] - u.high[k]) / static_cast<double>(k);
  return u;
}

// Tolerances of the fit (and of the bounds the deviations are held to).
constexpr double CP_RELATIVE = 0.005;
constexpr double CP_FLOOR = 0.02;     // R
constexpr double H_TOLERANCE = 100.0; // J/mol
constexpr double S_TOLERANCE = 0.05;  // J/(mol K)

double cpTolerance(double cpR) {
  return std::max(CP_RELATIVE * cpR, CP_FLOOR);
}

// a from b: the scaled powers undone.
NasaCoefficients unscaled(const NasaCoefficients &b, double tMid) {
  NasaCoefficients a{};
  double power = 1.0;
  for (int k = 0; k < 5; ++k) {
    a[k] = b[k] / power;
    power *= tMid;
  }
  a[5] = b[5] * tMid;
  a[6] = b[6] - b[0] * std::log(tMid);
  return a;
}

// a1, a6 and a7 of the high range from the other coefficients, so that the
// two ranges give the same Cp/R, H/RT and S/R at Tmid.
void joinAtMid(Nasa7 &p) {
  const double Tm = p.t.tMid;
  const NasaCoefficients &l = p.low;
  NasaCoefficients &h = p.high;
  double cp = l[0], hh = l[5] + l[0] * Tm, ss = l[6] + l[0] * std::log(Tm);
  double power = Tm;
  for (int k = 1; k < 5; ++k) {
    cp += (l[k] - h[k]) * power;
    hh += (l[k] - h[k]) * power * Tm / (k + 1.0);
    ss += (l[k] - h[k]) * power / static_cast<double>(k);
    power *= Tm;
  }
  h[0] = cp;
  h[5] = hh - h[0] * Tm;
  h[6] = ss - h[0] * std::log(Tm);
}

// The least-squares solution of A b = y (rows already divided by their
// tolerances), then, while some residual is above its tolerance, Lawson's
// iteration towards the smallest largest residual: each row's weight is
// multiplied by its residual and the problem solved again (Lawson 1961; Rice
// and Usow 1968). The best solution found is kept: the bounds are on the
// largest deviation, which least squares alone does not make small where Cp
// bends sharply (a nearly free rotor near Tlow).
Eigen::VectorXd minimaxSolve(const Eigen::MatrixXd &A, const Eigen::VectorXd &y) {
  constexpr int ITERATIONS = 60;
  constexpr double ENOUGH = 0.9; // of the tolerance
  Eigen::VectorXd b = A.colPivHouseholderQr().solve(y);
  Eigen::VectorXd e = (A * b - y).cwiseAbs();
  Eigen::VectorXd best = b;
  double bestMax = e.maxCoeff();
  Eigen::VectorXd u = Eigen::VectorXd::Ones(y.size());
  for (int k = 0; k < ITERATIONS && bestMax > ENOUGH; ++k) {
    u = u.cwiseProduct(e);
    u /= u.sum();
    const Eigen::VectorXd root = u.cwiseSqrt();
    b = (root.asDiagonal() * A).colPivHouseholderQr().solve(root.cwiseProduct(y));
    e = (A * b - y).cwiseAbs();
    if (e.maxCoeff() < bestMax) {
      bestMax = e.maxCoeff();
      best = b;
    }
  }
  return best;
}

} // namespace

Nasa7 fitNasa7(std::span<const ThermoSample> samples, const NasaRanges &t) {
  const double Tm = t.tMid;
  int nLow = 0, nHigh = 0;
  for (const ThermoSample &x : samples) {
    nLow += x.T <= Tm ? 1 : 0;
    nHigh += x.T >= Tm ? 1 : 0;
  }
  if (nLow < 4 || nHigh < 4)
    throw Error("a NASA fit needs at least four temperatures in each range (" +
                std::to_string(nLow) + " up to TMID, " + std::to_string(nHigh) +
                " from it); give wider ranges with --nasa-t");
  const double h0 = samples.front().h; // J/mol: the fit's H is taken from here
  const Unknowns u = unknowns();
  const Eigen::Index rows = Eigen::Index{3} * (Eigen::Index{nLow} + Eigen::Index{nHigh});
  Eigen::MatrixXd A(rows, FREE);
  Eigen::VectorXd y(rows);
  Eigen::Index r = 0;
  const auto addRows = [&](const ThermoSample &x, const std::array<Combination, 7> &c) {
    const double tau = x.T / Tm;
    const double cpR = x.cp / RGAS;
    Combination cp = Combination::Zero(), h = c[5], s = c[6];
    double power = 1.0; // tau^k
    for (int k = 0; k < 5; ++k) {
      cp += c[k] * power;
      h += c[k] * (power * tau / (k + 1.0));
      s += k == 0 ? Combination(c[0] * std::log(tau)) : Combination(c[k] * (power / k));
      power *= tau;
    }
    const double wc = 1.0 / cpTolerance(cpR);
    const double wh = RGAS * Tm / H_TOLERANCE;
    const double ws = RGAS / S_TOLERANCE;
    A.row(r) = wc * cp.transpose();
    y[r++] = wc * cpR;
    A.row(r) = wh * h.transpose();
    y[r++] = wh * (x.h - h0) / (RGAS * Tm);
    A.row(r) = ws * s.transpose();
    y[r++] = ws * x.s / RGAS;
  };
  for (const ThermoSample &x : samples) {
    if (x.T <= Tm)
      addRows(x, u.low);
    if (x.T >= Tm)
      addRows(x, u.high);
  }
  const Eigen::VectorXd b = minimaxSolve(A, y);
  NasaCoefficients bl{}, bh{};
  for (int k = 0; k < 7; ++k) {
    bl[k] = u.low[k].dot(b);
    bh[k] = u.high[k].dot(b);
  }
  Nasa7 p;
  p.t = t;
  p.low = unscaled(bl, Tm);
  p.high = unscaled(bh, Tm);
  p.low[5] += h0 / RGAS;
  joinAtMid(p);
  return p;
}

NasaDeviation nasaDeviation(const Nasa7 &p, std::span<const ThermoSample> samples) {
  NasaDeviation d;
  for (const ThermoSample &x : samples) {
    const NasaCoefficients &a = rangeAt(p, x.T);
    const double cp = RGAS * cpOverR(a, x.T);
    const double h = RGAS * x.T * hOverRT(a, x.T);
    const double s = RGAS * sOverR(a, x.T);
    const double dcp = std::fabs(cp - x.cp), dh = std::fabs(h - x.h), ds = std::fabs(s - x.s);
    d.cpPercent = std::max(d.cpPercent, 100.0 * dcp / x.cp);
    d.h = std::max(d.h, dh / 1000.0);
    d.s = std::max(d.s, ds);
    if (!(dcp <= RGAS * cpTolerance(x.cp / RGAS) && dh <= H_TOLERANCE && ds <= S_TOLERANCE))
      d.withinBounds = false;
  }
  return d;
}

} // namespace orvalen::extended
