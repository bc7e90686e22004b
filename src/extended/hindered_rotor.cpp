#include "extended/hindered_rotor.hpp"

#include "thermo/constants.hpp"

#include <Eigen/Eigenvalues>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <limits>

namespace orvalen::extended {

namespace {

constexpr double RKJ = RGAS / 1000.0; // kJ/(mol K)

// hbar^2/(2I) in kJ/mol, I in amu*A^2.
double rotationalConstant(double moment) {
  const double hbar = PLANCK / (2.0 * PI);
  return hbar * hbar / (2.0 * moment * AMU * ANGSTROM * ANGSTROM) * AVOGADRO / 1000.0;
}

// (1/sigma) sum exp(-e_i/kT) and its mean energy, over levels from the ground one.
struct LevelSum {
  double q = 0.0;
  double meanE = 0.0;
};

LevelSum levelSum(const std::vector<double> &levels, int sigma, double T) {
  const double beta = 1.0 / (RKJ * T);
  double z = 0.0;
  double ez = 0.0;
  for (const double e : levels) {
    if (e * beta > 45.0) {
      break; // levels ascend: the rest add less than 1e-19 of the ground level's term
    }
    const double w = std::exp(-e * beta);
    z += w;
    ez += e * w;
  }
  return {z / sigma, ez / z};
}

// Levels of the Hamiltonian in e^(i m phi), m = -M..M, lowest first, kJ/mol.
// <m|cos k phi|n> = 1/2 and <m|sin k phi|n> = -i/2 (m - n = k), their
// conjugates for m - n = -k; <m|T|m> = B m^2.
std::vector<double> basisLevels(const std::vector<std::array<double, 2>> &terms, double b, int m) {
  const int n = 2 * m + 1;
  Eigen::MatrixXcd h = Eigen::MatrixXcd::Zero(n, n);
  for (int i = 0; i < n; ++i) {
    const double mi = i - m;
    h(i, i) = b * mi * mi + terms[0][0];
    for (std::size_t k = 1; k < terms.size(); ++k) {
      const int j = i - static_cast<int>(k); // m_i - m_j = k
      if (j < 0) {
        break;
      }
      const std::complex<double> v(terms[k][0] / 2.0, -terms[k][1] / 2.0);
      h(i, j) = v;
      h(j, i) = std::conj(v);
    }
  }
  if (h.imag().isZero(0.0)) { // no sine terms: the real symmetric problem, faster
    const Eigen::MatrixXd re = h.real();
    const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(re, Eigen::EigenvaluesOnly);
    const Eigen::VectorXd &ev = solver.eigenvalues();
    return {ev.data(), ev.data() + ev.size()};
  }
  const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXcd> solver(h, Eigen::EigenvaluesOnly);
  const Eigen::VectorXd &ev = solver.eigenvalues(); // ascending
  return {ev.data(), ev.data() + ev.size()};
}

} // namespace

std::vector<std::array<double, 2>> rotorTerms(const HinderedRotor &rotor) {
  if (!rotor.cosine) {
    return rotor.fourier.empty() ? std::vector<std::array<double, 2>>{{0.0, 0.0}} : rotor.fourier;
  }
  std::vector<std::array<double, 2>> terms(static_cast<std::size_t>(rotor.sigma) + 1, {0.0, 0.0});
  terms[0][0] = rotor.barrier / 2.0;
  terms[static_cast<std::size_t>(rotor.sigma)][0] = -rotor.barrier / 2.0;
  return terms;
}

double rotorPotential(const std::vector<std::array<double, 2>> &terms, double phi) {
  double v = 0.0;
  for (std::size_t k = 0; k < terms.size(); ++k) {
    const double kp = static_cast<double>(k) * phi;
    v += terms[k][0] * std::cos(kp) + terms[k][1] * std::sin(kp);
  }
  return v;
}

double rotorCurvature(const std::vector<std::array<double, 2>> &terms) {
  double c = 0.0;
  for (std::size_t k = 1; k < terms.size(); ++k) {
    c -= static_cast<double>(k * k) * terms[k][0];
  }
  return c;
}

double rotorMinimum(const std::vector<std::array<double, 2>> &terms) {
  // 20 points per period of the highest term, then a parabola through the best three.
  const int n = std::max(360, 20 * static_cast<int>(terms.size()));
  const double step = 2.0 * PI / n;
  int best = 0;
  double vBest = std::numeric_limits<double>::max();
  for (int i = 0; i < n; ++i) {
    const double v = rotorPotential(terms, i * step);
    if (v < vBest) {
      vBest = v;
      best = i;
    }
  }
  double lo = (best - 1) * step;
  double hi = (best + 1) * step;
  for (int it = 0; it < 100; ++it) { // golden section on the bracket
    const double a = hi - 0.6180339887498949 * (hi - lo);
    const double c = lo + 0.6180339887498949 * (hi - lo);
    if (rotorPotential(terms, a) < rotorPotential(terms, c)) {
      hi = c;
    } else {
      lo = a;
    }
  }
  return std::min(vBest, rotorPotential(terms, 0.5 * (lo + hi)));
}

double rotorWavenumber(const HinderedRotor &rotor) {
  const double curv = rotorCurvature(rotorTerms(rotor)) * KJMOL2J; // J/rad^2
  if (curv <= 0.0) {
    return 0.0;
  }
  const double moment = rotor.moment * AMU * ANGSTROM * ANGSTROM;
  return std::sqrt(curv / moment) / (2.0 * PI) / (CLIGHT * 100.0);
}

RotorLevels quantumLevels(const HinderedRotor &rotor, double tMax) {
  const auto terms = rotorTerms(rotor);
  const double b = rotationalConstant(rotor.moment);
  const double vMin = rotorMinimum(terms);
  // Start where the free-rotor level B M^2 lies 30 kT above the barrier top.
  double vMax = vMin;
  for (int i = 0; i < 360; ++i) {
    vMax = std::max(vMax, rotorPotential(terms, i * PI / 180.0));
  }
  const double eTop = vMax - vMin + 30.0 * RKJ * tMax;
  int m = std::max({8, static_cast<int>(terms.size()), static_cast<int>(std::sqrt(eTop / b))});
  std::vector<double> ev = basisLevels(terms, b, m);
  auto shifted = [](std::vector<double> e) {
    const double e0 = e.front();
    for (double &x : e) {
      x -= e0;
    }
    return e;
  };
  double qOld = levelSum(shifted(ev), rotor.sigma, tMax).q;
  for (;;) {
    m += std::max(8, m / 4);
    ev = basisLevels(terms, b, m);
    const double q = levelSum(shifted(ev), rotor.sigma, tMax).q;
    if (std::abs(q - qOld) <= 1e-8 * q) {
      break;
    }
    qOld = q;
  }
  RotorLevels out;
  out.zpe = ev.front() - vMin;
  out.levels = shifted(ev);
  out.sigma = rotor.sigma;
  out.basisM = m;
  return out;
}

RotorThermo quantumThermo(const RotorLevels &levels, double T) {
  const LevelSum sum = levelSum(levels.levels, levels.sigma, T);
  RotorThermo out;
  out.q = sum.q;
  out.h = sum.meanE;
  out.s = RGAS * std::log(sum.q) + 1000.0 * sum.meanE / T;
  out.zpe = levels.zpe;
  return out;
}

// Periodic trapezoid (exponentially convergent), doubled until the integral
// of exp(-(V - Vmin)/kT) changes by less than 1e-10 relative. H - H0 is
// R T^2 dlnQ/dT taken analytically: <V - Vmin> - RT/2 + RT x/(e^x - 1).
RotorThermo classicalThermo(const HinderedRotor &rotor, double T) {
  const auto terms = rotorTerms(rotor);
  const double vMin = rotorMinimum(terms);
  const double rt = RKJ * T;
  auto integrate = [&](int n, double &meanV) {
    const double step = 2.0 * PI / n;
    double z = 0.0;
    double vz = 0.0;
    for (int i = 0; i < n; ++i) {
      const double dv = rotorPotential(terms, i * step) - vMin;
      const double w = std::exp(-dv / rt);
      z += w;
      vz += dv * w;
    }
    meanV = vz / z;
    return z * step;
  };
  int n = std::max(64, 8 * static_cast<int>(terms.size()));
  double meanV = 0.0;
  double integral = integrate(n, meanV);
  for (;;) {
    n *= 2;
    const double next = integrate(n, meanV);
    const bool done = std::abs(next - integral) <= 1e-10 * next;
    integral = next;
    if (done) {
      break;
    }
  }
  const double kt = BOLTZ * T;
  const double moment = rotor.moment * AMU * ANGSTROM * ANGSTROM;
  const double nu = rotorWavenumber(rotor);
  const double x = PLANCK * CLIGHT * 100.0 * nu / kt;
  const double semi = x > 0.0 ? -x / std::expm1(-x) : 1.0;        // x/(1 - e^-x)
  const double thermalHo = x > 0.0 ? rt * x / std::expm1(x) : rt; // RT x/(e^x - 1)
  RotorThermo out;
  out.q = std::sqrt(2.0 * PI * moment * kt) / PLANCK * integral * semi / rotor.sigma;
  out.h = meanV - rt / 2.0 + thermalHo;
  out.s = RGAS * std::log(out.q) + 1000.0 * out.h / T;
  out.zpe = PLANCK * CLIGHT * 100.0 * nu * AVOGADRO / 1000.0 / 2.0;
  return out;
}

} // namespace orvalen::extended
