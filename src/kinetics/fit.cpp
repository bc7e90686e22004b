#include "kinetics/fit.hpp"

#include "base/error.hpp"
#include "thermo/constants.hpp"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

namespace orvalen::kinetics {

double fitValue(const ArrheniusFit &f, double T) {
  return f.A * std::pow(T / f.T0, f.n) * std::exp(-f.EaKJ * 1000.0 / (RGAS * T));
}

namespace {

// Least squares on ln k = ln A + n ln(T/T0) - Ea/RT; the columns 1, ln T and
// 1000/T are of the same order, so the pivoted QR sees a well-scaled matrix.
ArrheniusFit solve(std::span<const double> T, std::span<const double> k, bool modified) {
  const auto rows = static_cast<Eigen::Index>(T.size());
  const Eigen::Index cols = modified ? 3 : 2;
  Eigen::MatrixXd X(rows, cols);
  Eigen::VectorXd y(rows);
  for (Eigen::Index i = 0; i < rows; ++i) {
    const auto t = T[static_cast<std::size_t>(i)];
    X(i, 0) = 1.0;
    X(i, 1) = 1000.0 / t;
    if (modified)
      X(i, 2) = std::log(t);
    y(i) = std::log(k[static_cast<std::size_t>(i)]);
  }
  const Eigen::VectorXd c = X.colPivHouseholderQr().solve(y);
  ArrheniusFit f;
  f.A = std::exp(c(0));
  f.EaKJ = -c(1) * RGAS; // 1000/T column: Ea/R = -1000 c1 in K, Ea in J/mol /1000
  f.n = modified ? c(2) : 0.0;
  for (std::size_t i = 0; i < T.size(); ++i)
    f.maxRelDeviation = std::max(f.maxRelDeviation, std::fabs(fitValue(f, T[i]) / k[i] - 1.0));
  return f;
}

} // namespace

Fits fitArrhenius(std::span<const double> T, std::span<const double> k) {
  for (std::size_t i = 0; i < k.size(); ++i)
    if (!(k[i] > 0.0) || !std::isfinite(k[i]) || !(T[i] > 0.0))
      throw Error("cannot fit: k = " + std::to_string(k[i]) + " at " + std::to_string(T[i]) +
                  " K is not a positive number");
  const std::set<double> distinct(T.begin(), T.end());
  if (distinct.size() < 3)
    throw Error("--fit needs rate constants at three or more different temperatures (has " +
                std::to_string(distinct.size()) + ")");
  Fits fits;
  fits.points = static_cast<int>(T.size());
  fits.modified = solve(T, k, true);
  fits.arrhenius = solve(T, k, false);
  return fits;
}

std::string chemkinLine(const std::string &reaction, const ArrheniusFit &f, int m) {
  // Column 3 of the report is cm^(3(m-1)) molecule^-(m-1) s^-1; per mol: times NA^(m-1).
  const double a = f.A * std::pow(AVOGADRO, m - 1);
  const double eaCal = f.EaKJ * 1000.0 * KJ2KCAL;
  char line[512];
  std::snprintf(line, sizeof line, "%-40s %12.4E %9.3f %12.2f", reaction.c_str(), a, f.n, eaCal);
  return line;
}

} // namespace orvalen::kinetics
