#include "extended/hindered_rotor.hpp"

#include "base/error.hpp"
#include "base/warnings.hpp"
#include "thermo/constants.hpp"

#include <Eigen/Eigenvalues>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <numeric>
#include <utility>

namespace orvalen::extended {

namespace {

constexpr double RKJ = RGAS / 1000.0;    // kJ/(mol K)
constexpr double LOWEST_KEPT_T = 5.0e-3; // K: integration grids are kept for T from here up
// The work of the band reduction, n^2 w^2 for n rows and w diagonals (w - 1
// the bandwidth), at most this: some 7 s on a 2 GHz core (a basis of M = 1700
// for a three-term potential with sines, M = 240 for one of 21 terms), so that
// no accepted rotor keeps a scan for more than a few tens of seconds.
constexpr double MAX_BAND_WORK = 4.0e8;

// The largest M of the free-rotor basis e^(i m phi), m = -M..M, that the work
// allows for these terms: without sine terms two blocks of M + 1 rows and
// K + 1 diagonals, with them one of 2M + 1 rows and 2K + 2.
int largestBasisM(const FourierTerms &terms) {
  const double k = static_cast<double>(terms.size()) - 1.0;
  const bool sines = std::any_of(terms.begin() + 1, terms.end(),
                                 [](const std::array<double, 2> &t) { return t[1] != 0.0; });
  const double w = sines ? 2.0 * k + 2.0 : k + 1.0;
  const double rows = std::sqrt(MAX_BAND_WORK) / w;
  return static_cast<int>(sines ? (rows - 1.0) / 2.0 : rows - 1.0);
}

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

// The lower half of a real symmetric band matrix, by columns: entries A(i, j),
// j <= i <= j + b + 1 (one diagonal beyond the band for the bulge a rotation
// makes while the band is reduced).
class SymmetricBand {
public:
  SymmetricBand(int n, int b)
      : n_(n), b_(b), v_(static_cast<std::size_t>(n) * static_cast<std::size_t>(b + 2), 0.0) {}
  int size() const { return n_; }
  int bandwidth() const { return b_; }
  double &at(int i, int j) { // i >= j, i - j <= b + 1
    return v_[static_cast<std::size_t>(j) * static_cast<std::size_t>(b_ + 2) +
              static_cast<std::size_t>(i - j)];
  }

  // A <- G A G^T, G the plane rotation (c, s; -s, c) in rows and columns p, p + 1.
  void rotate(int p, double c, double s) {
    const int q = p + 1;
    for (int k = std::max(0, p - b_); k < p; ++k) {
      const double x = at(p, k);
      const double y = at(q, k);
      at(p, k) = c * x + s * y;
      at(q, k) = c * y - s * x;
    }
    const int last = std::min(n_ - 1, p + b_ + 1);
    for (int k = q + 1; k <= last; ++k) {
      const double x = at(k, p);
      const double y = at(k, q);
      at(k, p) = c * x + s * y;
      at(k, q) = c * y - s * x;
    }
    const double app = at(p, p);
    const double apq = at(q, p);
    const double aqq = at(q, q);
    at(p, p) = c * c * app + 2.0 * c * s * apq + s * s * aqq;
    at(q, q) = s * s * app - 2.0 * c * s * apq + c * c * aqq;
    at(q, p) = c * s * (aqq - app) + (c * c - s * s) * apq;
  }

private:
  int n_;
  int b_;
  std::vector<double> v_;
};

// Eigenvalues of a symmetric band matrix, ascending; empty if they do not
// converge. Givens rotations take `a` to tridiagonal form, each bulge chased
// off the end of the band (Schwarz, Numer. Math. 12, 231 (1968)), then
// Eigen's tridiagonal QL.
std::vector<double> bandEigenvalues(SymmetricBand &a) {
  const int n = a.size();
  const int b = a.bandwidth();
  for (int j = 0; j + 2 < n; ++j) {
    for (int l = std::min(b, n - 1 - j); l >= 2; --l) {
      int row = j + l; // zero A(row, col) against A(row - 1, col)
      int col = j;
      while (row < n) {
        const double y = a.at(row, col);
        if (y == 0.0) {
          break; // nothing to zero, so no bulge below
        }
        const double x = a.at(row - 1, col);
        const double r = std::sqrt(x * x + y * y);
        a.rotate(row - 1, x / r, y / r);
        a.at(row - 1, col) = r;
        a.at(row, col) = 0.0;
        col = row - 1; // the rotation left a bulge at (row + b, row - 1)
        row += b;
      }
    }
  }
  Eigen::VectorXd diagonal(n);
  Eigen::VectorXd offDiagonal(std::max(n - 1, 0));
  for (int i = 0; i < n; ++i) {
    diagonal(i) = a.at(i, i);
    if (i + 1 < n) {
      offDiagonal(i) = a.at(i + 1, i);
    }
  }
  Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver;
  solver.computeFromTridiagonal(diagonal, offDiagonal, Eigen::EigenvaluesOnly);
  if (solver.info() != Eigen::Success) {
    return {};
  }
  const Eigen::VectorXd &values = solver.eigenvalues(); // ascending
  return {values.data(), values.data() + values.size()};
}

// One function of the real free-rotor basis: 1/sqrt(2 pi), cos(m phi)/sqrt(pi)
// or sin(m phi)/sqrt(pi).
enum class Kind : std::uint8_t { CONSTANT, COS, SIN };
struct BasisFunction {
  Kind kind;
  int m;
};

// (1/pi) int V cos(j phi) dphi and (1/pi) int V sin(j phi) dphi over a turn.
double cosMoment(const FourierTerms &terms, int j) {
  const auto k = static_cast<std::size_t>(std::abs(j));
  if (k >= terms.size()) {
    return 0.0;
  }
  return k == 0 ? 2.0 * terms[0][0] : terms[k][0];
}
double sinMoment(const FourierTerms &terms, int j) {
  const auto k = static_cast<std::size_t>(std::abs(j));
  if (k == 0 || k >= terms.size()) {
    return 0.0;
  }
  return j > 0 ? terms[k][1] : -terms[k][1];
}

// <u|H|v>, kJ/mol, from products of cosines and sines:
// cos m cos n = (cos(m - n) + cos(m + n))/2, sin m sin n = (cos(m - n) - cos(m + n))/2,
// cos m sin n = (sin(n + m) + sin(n - m))/2; T = B m^2 on cos and sin alike.
double element(const FourierTerms &terms, double b, BasisFunction u, BasisFunction v) {
  if (u.kind == Kind::CONSTANT && v.kind == Kind::CONSTANT) {
    return terms[0][0];
  }
  if (u.kind == Kind::CONSTANT || v.kind == Kind::CONSTANT) {
    const BasisFunction w = u.kind == Kind::CONSTANT ? v : u;
    const double coefficient = w.kind == Kind::COS ? cosMoment(terms, w.m) : sinMoment(terms, w.m);
    return coefficient / std::sqrt(2.0);
  }
  if (u.kind != v.kind) {
    const int m = u.kind == Kind::COS ? u.m : v.m;
    const int n = u.kind == Kind::COS ? v.m : u.m;
    return 0.5 * (sinMoment(terms, n + m) + sinMoment(terms, n - m));
  }
  const double sign = u.kind == Kind::COS ? 1.0 : -1.0;
  const double v2 = 0.5 * (cosMoment(terms, u.m - v.m) + sign * cosMoment(terms, u.m + v.m));
  return u.m == v.m ? b * u.m * u.m + v2 : v2;
}

// Eigenvalues of H in the given basis, where <u_i|H|u_j> = 0 for |i - j| > width.
std::vector<double> blockLevels(const FourierTerms &terms, double b,
                                const std::vector<BasisFunction> &basis, int width) {
  const int n = static_cast<int>(basis.size());
  auto h = [&](int i, int j) {
    return element(terms, b, basis[static_cast<std::size_t>(i)],
                   basis[static_cast<std::size_t>(j)]);
  };
  SymmetricBand a(n, width);
  for (int j = 0; j < n; ++j) {
    const int last = std::min(n - 1, j + width);
    for (int i = j; i <= last; ++i) {
      a.at(i, j) = h(i, j);
    }
  }
  std::vector<double> ev = bandEigenvalues(a);
  if (ev.empty()) { // the tridiagonal QL gave up: the dense solver
    Eigen::MatrixXd dense = Eigen::MatrixXd::Zero(n, n);
    for (int j = 0; j < n; ++j) {
      const int last = std::min(n - 1, j + width);
      for (int i = j; i <= last; ++i) {
        dense(i, j) = h(i, j);
      }
    }
    const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(dense, Eigen::EigenvaluesOnly);
    const Eigen::VectorXd &e = solver.eigenvalues();
    ev.assign(e.data(), e.data() + e.size());
  }
  return ev;
}

// Levels of the Hamiltonian in the free-rotor basis m = -M..M, lowest first,
// kJ/mol, taken as 1, cos(m phi), sin(m phi): a real symmetric matrix whose
// entries vanish beyond |m - n| = K, the highest term. Without sine terms V is
// even in phi and the cosines and sines are two problems of half the size.
std::vector<double> basisLevels(const FourierTerms &terms, double b, int m) {
  const int kMax = static_cast<int>(terms.size()) - 1;
  const bool sines = std::any_of(terms.begin() + 1, terms.end(),
                                 [](const std::array<double, 2> &t) { return t[1] != 0.0; });
  std::vector<BasisFunction> basis{{Kind::CONSTANT, 0}};
  if (sines) { // 1, c1, s1, c2, s2, ...: c_m and s_n lie 2|m - n| + 1 apart
    for (int i = 1; i <= m; ++i) {
      basis.push_back({Kind::COS, i});
      basis.push_back({Kind::SIN, i});
    }
    return blockLevels(terms, b, basis, 2 * kMax + 1);
  }
  std::vector<BasisFunction> odd;
  for (int i = 1; i <= m; ++i) {
    basis.push_back({Kind::COS, i});
    odd.push_back({Kind::SIN, i});
  }
  const std::vector<double> even = blockLevels(terms, b, basis, kMax);
  const std::vector<double> oddLevels = blockLevels(terms, b, odd, kMax);
  std::vector<double> all(even.size() + oddLevels.size());
  std::merge(even.begin(), even.end(), oddLevels.begin(), oddLevels.end(), all.begin());
  return all;
}

} // namespace

namespace {

// The levels up to some 31 kT above the barrier at tMax need more free-rotor
// functions than the solver takes in bounded time and memory.
Error tooLargeBasis(const HinderedRotor &rotor, double tMax, int largest) {
  return Error("hindered rotor about " + std::to_string(rotor.pivot1) + "-" +
               std::to_string(rotor.pivot2) + " (reduced moment " + numberText(rotor.moment) +
               " amu*A^2): its levels up to " + numberText(tMax) + " K need a basis of more than " +
               std::to_string(2 * largest + 1) +
               " free-rotor functions; use --rotors classical at such temperatures, where it "
               "agrees with the quantum levels");
}

} // namespace

RotorLevels quantumLevels(const HinderedRotor &rotor, double tMax) {
  const auto terms = rotorTerms(rotor);
  const double b = rotationalConstant(rotor.moment);
  const double vMin = potentialMinimum(terms).v;
  // Start where the free-rotor level B M^2 lies 20 kT above the barrier top: the levels
  // beyond add some e^-20 (2e-9) of Q, so the first growth (to near 31 kT) ends the search.
  std::vector<double> grid;
  tabulatePotential(terms, 0.0, PI / 180.0, 360, 0.0, grid);
  const double vMax = std::max(vMin, *std::max_element(grid.begin(), grid.end()));
  const double eTop = vMax - vMin + 20.0 * RKJ * tMax;
  // The basis size in double first: a huge moment or temperature must not overflow an int.
  const int largest = std::max(largestBasisM(terms), 8 + static_cast<int>(terms.size()));
  const double mStart = std::max({8.0, static_cast<double>(terms.size()), std::sqrt(eTop / b)});
  if (!(mStart <= largest))
    throw tooLargeBasis(rotor, tMax, largest);
  int m = static_cast<int>(mStart);
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
    if (m >= largest)
      throw tooLargeBasis(rotor, tMax, largest);
    m = std::min(m + std::max(8, m / 4), largest);
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

namespace {

// The largest g dividing every k of a nonzero term: V has period 2 pi/g (1 for a free rotor).
int potentialPeriodDivisor(const FourierTerms &terms) {
  int g = 0;
  for (std::size_t k = 1; k < terms.size(); ++k) {
    if (terms[k][0] != 0.0 || terms[k][1] != 0.0) {
      g = std::gcd(g, static_cast<int>(k));
    }
  }
  return std::max(g, 1);
}

// Sums of exp(-dv/RT) and dv exp(-dv/RT) over grid points, kJ/mol.
struct BoltzmannSum {
  double z = 0.0;
  double vz = 0.0;
  void add(const std::vector<double> &dv, double beta) {
    for (const double d : dv) {
      const double w = std::exp(-d * beta);
      z += w;
      vz += d * w;
    }
  }
};

// Points per period of the first grid: 8 per period of the highest term, at least 16.
int firstGrid(const FourierTerms &terms, int g) {
  return std::max(16, 8 * ((static_cast<int>(terms.size()) - 1) / g + 1));
}

} // namespace

ClassicalRotor::ClassicalRotor(const HinderedRotor &rotor)
    : terms_(rotorTerms(rotor)), moment_(rotor.moment), sigma_(rotor.sigma),
      nu_(harmonicWavenumber(rotor, REPORT_CONSTANTS)), vMin_(potentialMinimum(terms_).v) {
  // h c nu/2 at most the barrier: a well too narrow for its harmonic zero-point
  // level holds none, and the correction x/(1 - e^-x) must not count one.
  const double barrier = std::max(potentialMaximum(terms_) - vMin_, 0.0); // kJ/mol
  const double nuCap = 2.0 * barrier * 1000.0 / AVOGADRO / (PLANCK * CLIGHT * 100.0);
  nu_ = std::min(nu_, nuCap);
  const int g = potentialPeriodDivisor(terms_);
  period_ = 2.0 * PI / g;
  n0_ = firstGrid(terms_, g);
  grids_.emplace_back();
  tabulatePotential(terms_, 0.0, period_ / n0_, n0_, vMin_, grids_.back());
}

ClassicalRotor::ClassicalRotor(const HinderedRotor &rotor, double tMin) : ClassicalRotor(rotor) {
  // Grids are kept for temperatures down to LOWEST_KEPT_T only; colder ones
  // compute theirs as they go (the finest grid holds 2^24 points).
  std::vector<std::vector<double>> more;
  integrate(std::max(tMin, LOWEST_KEPT_T), &more);
  for (auto &grid : more) {
    grids_.push_back(std::move(grid));
  }
}

// Periodic trapezoid over one period (exponentially convergent for a smooth
// periodic integrand): the first grid, then the midpoints of the last, until
// the integral of exp(-(V - Vmin)/kT) changes by less than 1e-10 relative.
// Grids past the tabulated ones are computed here and handed to `more`.
ClassicalRotor::Integral ClassicalRotor::integrate(double T,
                                                   std::vector<std::vector<double>> *more) const {
  const double beta = 1.0 / (RKJ * T);
  BoltzmannSum sum;
  sum.add(grids_.front(), beta);
  int n = n0_;
  double integral = sum.z * period_ / n;
  std::vector<double> scratch;
  for (std::size_t level = 1; n < (1 << 24); ++level) {
    const std::vector<double> *mid = &scratch;
    if (level < grids_.size()) {
      mid = &grids_[level];
    } else {
      scratch.clear();
      tabulatePotential(terms_, 0.5 * period_ / n, period_ / n, n, vMin_, scratch);
    }
    sum.add(*mid, beta);
    if (more != nullptr && mid == &scratch) {
      more->push_back(scratch);
    }
    n *= 2;
    const double next = sum.z * period_ / n;
    const bool done = next > 0.0 && std::abs(next - integral) <= 1e-10 * next;
    integral = next;
    if (done) {
      break;
    }
  }
  return {integral * (2.0 * PI / period_), sum.vz / sum.z};
}

// H - H0 is R T^2 dlnQ/dT taken analytically: <V - Vmin> - RT/2 + RT x/(e^x - 1).
RotorThermo ClassicalRotor::thermo(double T) const {
  const Integral turn = integrate(T, nullptr);
  const double rt = RKJ * T;
  const double kt = BOLTZ * T;
  const double moment = moment_ * AMU * ANGSTROM * ANGSTROM;
  const double x = PLANCK * CLIGHT * 100.0 * nu_ / kt;
  const double semi = x > 0.0 ? -x / std::expm1(-x) : 1.0;        // x/(1 - e^-x)
  const double thermalHo = x > 0.0 ? rt * x / std::expm1(x) : rt; // RT x/(e^x - 1)
  RotorThermo out;
  const double qFree = std::sqrt(2.0 * PI * moment * kt) / PLANCK * (2.0 * PI) / sigma_;
  out.q = std::sqrt(2.0 * PI * moment * kt) / PLANCK * turn.value * semi / sigma_;
  out.h = turn.meanV - rt / 2.0 + thermalHo;
  out.s = RGAS * std::log(out.q) + 1000.0 * out.h / T;
  out.zpe = PLANCK * CLIGHT * 100.0 * nu_ * AVOGADRO / 1000.0 / 2.0;
  // A potential cannot give more entropy than no potential: where the
  // semiclassical correction of a sharp minimum would, the rotor is free
  // (Q, H - H0 = RT/2 and S of the free rotor; the ZPE stays).
  const double sFree = RGAS * std::log(qFree) + RGAS / 2.0;
  if (out.s > sFree) {
    out.q = qFree;
    out.h = rt / 2.0;
    out.s = sFree;
  }
  return out;
}

// The first grid only: the rest is computed as this T needs it.
RotorThermo classicalThermo(const HinderedRotor &rotor, double T) {
  return ClassicalRotor(rotor).thermo(T);
}

} // namespace orvalen::extended
