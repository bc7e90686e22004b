#include "qc/rotor_potential.hpp"

#include <Eigen/QR>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvalen::qc {

namespace {

constexpr double PERIODICITY_SHARE = 0.1;  // of the scan's range
constexpr double PERIODICITY_FLOOR = 0.01; // kJ/mol
constexpr int MAX_PERIODICITY = 12;
constexpr double SAME_ANGLE = 1.0e-6; // rad

// Angles that differ by a whole turn are one point of the potential.
std::size_t distinctAngles(const std::vector<double> &phi) {
  std::vector<double> turned;
  for (const double p : phi) {
    double t = std::fmod(p, 2.0 * std::numbers::pi);
    if (t < 0.0)
      t += 2.0 * std::numbers::pi;
    if (2.0 * std::numbers::pi - t < SAME_ANGLE)
      t = 0.0;
    turned.push_back(t);
  }
  std::sort(turned.begin(), turned.end());
  std::size_t n = 0;
  for (std::size_t k = 0; k < turned.size(); ++k)
    if (k == 0 || turned[k] - turned[k - 1] > SAME_ANGLE)
      ++n;
  return n;
}

void measure(const std::vector<double> &phi, const std::vector<double> &v, FourierFit &fit) {
  fit.largestMiss = 0.0;
  fit.worstPoint = 0;
  for (std::size_t i = 0; i < phi.size(); ++i) {
    const double miss = std::fabs(torsionPotential(fit.terms, phi[i]) - v[i]);
    if (miss > fit.largestMiss) {
      fit.largestMiss = miss;
      fit.worstPoint = i;
    }
  }
}

// The terms of order K by least squares, a_0 set so that V(0) = 0; false
// when the points do not determine them.
bool fitOrder(const std::vector<double> &phi, const std::vector<double> &v, Eigen::Index order,
              FourierTerms &terms) {
  const auto rows = static_cast<Eigen::Index>(phi.size());
  const Eigen::Index columns = 2 * order;
  Eigen::MatrixXd a(rows, columns);
  Eigen::VectorXd y(rows);
  for (Eigen::Index i = 0; i < rows; ++i) {
    const double p = phi[static_cast<std::size_t>(i)];
    for (Eigen::Index k = 1; k <= order; ++k) {
      const double kp = static_cast<double>(k) * p;
      a(i, 2 * (k - 1)) = std::cos(kp) - 1.0;
      a(i, 2 * (k - 1) + 1) = std::sin(kp);
    }
    y(i) = v[static_cast<std::size_t>(i)];
  }
  const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(a);
  if (qr.rank() < columns)
    return false;
  const Eigen::VectorXd x = qr.solve(y);
  terms.assign(static_cast<std::size_t>(order) + 1, {0.0, 0.0});
  double sum = 0.0;
  for (Eigen::Index k = 1; k <= order; ++k) {
    terms[static_cast<std::size_t>(k)] = {x(2 * (k - 1)), x(2 * (k - 1) + 1)};
    sum += x(2 * (k - 1));
  }
  terms[0][0] = -sum;
  return true;
}

} // namespace

FourierFit fitFourier(const std::vector<double> &phi, const std::vector<double> &v,
                      double tolerance, int maxOrder) {
  // At least one point beyond those that fix the terms checks the series.
  const std::size_t distinct = distinctAngles(phi);
  const int determined = distinct < 2 ? 0 : static_cast<int>((distinct - 2) / 2);
  const int highest = std::min(maxOrder, determined);
  FourierFit fit;
  fit.terms = {{0.0, 0.0}};
  measure(phi, v, fit);
  for (int order = 0; order <= highest; ++order) {
    FourierTerms terms;
    if (order > 0 && !fitOrder(phi, v, order, terms))
      break;
    if (order > 0) {
      fit.terms = std::move(terms);
      fit.order = order;
      measure(phi, v, fit);
    }
    if (fit.largestMiss <= tolerance) {
      fit.reproduced = true;
      break;
    }
  }
  return fit;
}

int scanPeriodicity(const std::vector<double> &phi, const std::vector<double> &v,
                    const FourierTerms &terms) {
  if (v.empty())
    return 1;
  const auto [low, high] = std::minmax_element(v.begin(), v.end());
  const double tolerance = std::max(PERIODICITY_SHARE * (*high - *low), PERIODICITY_FLOOR);
  for (int n = MAX_PERIODICITY; n >= 2; --n) {
    const double shift = 2.0 * std::numbers::pi / n;
    bool repeats = true;
    for (std::size_t i = 0; i < phi.size() && repeats; ++i)
      repeats = std::fabs(torsionPotential(terms, phi[i] + shift) - v[i]) <= tolerance;
    if (repeats)
      return n;
  }
  return 1;
}

} // namespace orvalen::qc
