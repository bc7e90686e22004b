#include "qc/rotor_potential.hpp"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace orvalen::qc {

namespace {

constexpr double PERIODICITY_SHARE = 0.1;  // of the scan's range
constexpr double PERIODICITY_FLOOR = 0.01; // kJ/mol
constexpr int MAX_PERIODICITY = 12;
constexpr double SAME_ANGLE = 1.0e-6; // rad
// Points above which a scan is fitted by its normal equations rather than a
// QR factorisation of all its points (which holds 2K numbers a point).
constexpr std::size_t LARGE_SCAN = 10000;

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

// The series of order K from the solution x of its least squares, a_0 set
// so that V(0) = 0.
FourierTerms seriesOf(const Eigen::VectorXd &x, Eigen::Index order) {
  FourierTerms terms(static_cast<std::size_t>(order) + 1, {0.0, 0.0});
  double sum = 0.0;
  for (Eigen::Index k = 1; k <= order; ++k) {
    terms[static_cast<std::size_t>(k)] = {x(2 * (k - 1)), x(2 * (k - 1) + 1)};
    sum += x(2 * (k - 1));
  }
  terms[0][0] = -sum;
  return terms;
}

// A scan of many points is fitted by its normal equations, in memory of the
// order of the number of terms squared: A^T A and A^T y of the highest order
// are summed once over the points, and the system of order K is their
// leading 2K x 2K block (the columns go cos phi - 1, sin phi, cos 2 phi - 1, ...).
class NormalEquations {
public:
  NormalEquations(const std::vector<double> &phi, const std::vector<double> &v,
                  Eigen::Index highest)
      : ata_(Eigen::MatrixXd::Zero(2 * highest, 2 * highest)),
        aty_(Eigen::VectorXd::Zero(2 * highest)) {
    Eigen::VectorXd row(2 * highest);
    for (std::size_t i = 0; i < phi.size(); ++i) {
      for (Eigen::Index k = 1; k <= highest; ++k) {
        const double kp = static_cast<double>(k) * phi[i];
        row(2 * (k - 1)) = std::cos(kp) - 1.0;
        row(2 * (k - 1) + 1) = std::sin(kp);
      }
      ata_.selfadjointView<Eigen::Lower>().rankUpdate(row);
      aty_ += v[i] * row;
    }
    ata_ = ata_.selfadjointView<Eigen::Lower>();
  }

  bool solve(Eigen::Index order, FourierTerms &terms) const {
    const Eigen::Index columns = 2 * order;
    const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(ata_.topLeftCorner(columns, columns));
    if (qr.rank() < columns)
      return false;
    terms = seriesOf(qr.solve(aty_.head(columns)), order);
    return true;
  }

private:
  Eigen::MatrixXd ata_;
  Eigen::VectorXd aty_;
};

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
  terms = seriesOf(qr.solve(y), order);
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
  std::optional<NormalEquations> normal;
  if (phi.size() > LARGE_SCAN && highest > 0)
    normal.emplace(phi, v, highest);
  for (int order = 0; order <= highest; ++order) {
    FourierTerms terms;
    if (order > 0 && !(normal ? normal->solve(order, terms) : fitOrder(phi, v, order, terms)))
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
