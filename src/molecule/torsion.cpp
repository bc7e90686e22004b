#include "molecule/torsion.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace orvalen {

namespace {

constexpr double PI = std::numbers::pi;
constexpr double GOLDEN = 0.6180339887498949; // (sqrt(5) - 1)/2
constexpr double PERIOD_SHARE = 0.1;          // of the barrier, for RotorFault::PERIOD
constexpr double PERIOD_FLOOR = 0.2;          // kJ/mol, twice a scan fit's tolerance

} // namespace

FourierTerms rotorTerms(const HinderedRotor &rotor) {
  if (!rotor.cosine)
    return rotor.fourier.empty() ? FourierTerms{{0.0, 0.0}} : rotor.fourier;
  FourierTerms terms(static_cast<std::size_t>(rotor.sigma) + 1, {0.0, 0.0});
  terms[0][0] = rotor.barrier / 2.0;
  terms[static_cast<std::size_t>(rotor.sigma)][0] = -rotor.barrier / 2.0;
  return terms;
}

PotentialSlopes potentialSlopes(const FourierTerms &terms, double phi) {
  const double c1 = std::cos(phi);
  const double s1 = std::sin(phi);
  double ck = 1.0;
  double sk = 0.0;
  PotentialSlopes out{terms.empty() ? 0.0 : terms[0][0], 0.0, 0.0};
  for (std::size_t k = 1; k < terms.size(); ++k) {
    const double c = ck * c1 - sk * s1;
    sk = sk * c1 + ck * s1;
    ck = c;
    const double kk = static_cast<double>(k);
    const double a = terms[k][0];
    const double b = terms[k][1];
    out.v += a * ck + b * sk;
    out.d1 += kk * (b * ck - a * sk);
    out.d2 -= kk * kk * (a * ck + b * sk);
  }
  return out;
}

double torsionPotential(const FourierTerms &terms, double phi) {
  return potentialSlopes(terms, phi).v;
}

double torsionCurvature(const FourierTerms &terms, double phi) {
  return potentialSlopes(terms, phi).d2;
}

void tabulatePotential(const FourierTerms &terms, double phi0, double h, int count, double shift,
                       std::vector<double> &out) {
  const std::size_t nk = terms.size();
  std::vector<double> turn(4 * nk); // cos(k h), sin(k h), cos(k phi), sin(k phi)
  double *stepC = turn.data();
  double *stepS = stepC + nk;
  double *zc = stepS + nk;
  double *zs = zc + nk;
  auto powers = [nk](double angle, double *c, double *s) {
    const double c1 = std::cos(angle);
    const double s1 = std::sin(angle);
    c[0] = 1.0;
    s[0] = 0.0;
    for (std::size_t k = 1; k < nk; ++k) {
      c[k] = c[k - 1] * c1 - s[k - 1] * s1;
      s[k] = s[k - 1] * c1 + c[k - 1] * s1;
    }
  };
  if (nk == 0) {
    out.insert(out.end(), static_cast<std::size_t>(std::max(count, 0)), -shift);
    return;
  }
  powers(h, stepC, stepS);
  out.reserve(out.size() + static_cast<std::size_t>(std::max(count, 0)));
  for (int j = 0; j < count; ++j) {
    if (j % 64 == 0)
      powers(phi0 + j * h, zc, zs);
    double v = terms[0][0];
    for (std::size_t k = 1; k < nk; ++k) {
      v += terms[k][0] * zc[k] + terms[k][1] * zs[k];
      const double c = zc[k] * stepC[k] - zs[k] * stepS[k];
      zs[k] = zs[k] * stepC[k] + zc[k] * stepS[k];
      zc[k] = c;
    }
    out.push_back(v - shift);
  }
}

PotentialMinimum potentialMinimum(const FourierTerms &terms) {
  // 20 points per period of the highest term, then Newton's method on V' from the best,
  // kept between its neighbours; a golden section there if it strays or V'' <= 0.
  const int n = std::max(360, 20 * static_cast<int>(terms.size()));
  const double step = 2.0 * PI / n;
  std::vector<double> grid;
  tabulatePotential(terms, 0.0, step, n, 0.0, grid);
  const auto best = static_cast<int>(std::min_element(grid.begin(), grid.end()) - grid.begin());
  const double vBest = torsionPotential(terms, best * step); // the grid was for finding it
  double lo = (best - 1) * step;
  double hi = (best + 1) * step;
  double phi = best * step;
  for (int it = 0; it < 50; ++it) {
    const PotentialSlopes p = potentialSlopes(terms, phi);
    const double next = phi - p.d1 / p.d2;
    if (!(p.d2 > 0.0) || !(next > lo && next < hi))
      break;
    const double moved = std::abs(next - phi);
    phi = next;
    if (moved <= 1e-9 * step) { // quadratic convergence: the next step would be below rounding
      const double v = torsionPotential(terms, phi);
      return v < vBest ? PotentialMinimum{phi, v} : PotentialMinimum{best * step, vBest};
    }
  }
  for (int it = 0; it < 100; ++it) {
    const double a = hi - GOLDEN * (hi - lo);
    const double c = lo + GOLDEN * (hi - lo);
    if (torsionPotential(terms, a) < torsionPotential(terms, c))
      hi = c;
    else
      lo = a;
  }
  const double v = torsionPotential(terms, 0.5 * (lo + hi));
  return v < vBest ? PotentialMinimum{0.5 * (lo + hi), v} : PotentialMinimum{best * step, vBest};
}

double potentialMaximum(const FourierTerms &terms) {
  FourierTerms negated = terms;
  for (std::array<double, 2> &t : negated) {
    t[0] = -t[0];
    t[1] = -t[1];
  }
  return -potentialMinimum(negated).v;
}

double periodMismatch(const FourierTerms &terms, int sigma) {
  if (sigma <= 1)
    return 0.0;
  const int n = std::max(360, 20 * static_cast<int>(terms.size()));
  const double step = 2.0 * PI / n;
  std::vector<double> grid;
  tabulatePotential(terms, 0.0, step, n, 0.0, grid);
  // The grid turned by 2 pi/sigma: its own points where n is a multiple of sigma.
  std::vector<double> turned;
  if (n % sigma == 0) {
    const auto shift = static_cast<std::size_t>(n / sigma);
    for (std::size_t j = 0; j < grid.size(); ++j)
      turned.push_back(grid[(j + shift) % grid.size()]);
  } else {
    tabulatePotential(terms, 2.0 * PI / sigma, step, n, 0.0, turned);
  }
  double largest = 0.0;
  for (std::size_t j = 0; j < grid.size(); ++j)
    largest = std::max(largest, std::fabs(turned[j] - grid[j]));
  return largest;
}

double harmonicWavenumber(const HinderedRotor &rotor, const PhysicalConstants &c) {
  const FourierTerms terms = rotorTerms(rotor);
  const double kjmolJ = 1.0 / c.avogadro * 1000.0; // J per molecule in 1 kJ/mol
  const double curv = torsionCurvature(terms, potentialMinimum(terms).phi) * kjmolJ; // J/rad^2
  if (!(curv > 0.0) || !(rotor.moment > 0.0))
    return 0.0;
  const double moment = rotor.moment * c.amu * 1.0e-10 * 1.0e-10; // kg m^2
  return std::sqrt(curv / moment) / (2.0 * PI) / (c.light * 100.0);
}

double cosineBarrier(double wavenumber, double moment, int sigma, const PhysicalConstants &c) {
  const double omega = 2.0 * PI * (c.light * 100.0) * wavenumber;                         // rad/s
  const double v0 = 2.0 * (moment * (c.amu * 1.0e-20)) * omega * omega / (sigma * sigma); // J
  return v0 / (1000.0 / c.avogadro);
}

std::vector<std::size_t> modeRowOrder(const std::vector<double> &frequencies) {
  std::vector<std::size_t> order(frequencies.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return frequencies[a] < frequencies[b]; });
  return order;
}

bool isVibration(double wavenumber) {
  return wavenumber > LOWEST_VIBRATION;
}

RotorCheck rotorNumbersFault(const HinderedRotor &rotor) {
  if (rotor.mode < 1)
    return {RotorFault::MODE_BELOW_ONE};
  if (rotor.pivot1 < 1 || rotor.pivot2 < 1 || rotor.pivot1 == rotor.pivot2)
    return {RotorFault::PIVOTS};
  if (rotor.sigma < 1 || rotor.sigma > MAX_ROTOR_SIGMA)
    return {RotorFault::SIGMA};
  if (!(rotor.moment > 0.0) || !(rotor.moment <= MAX_ROTOR_MOMENT))
    return {RotorFault::MOMENT};
  return {};
}

RotorCheck rotorPotentialFault(const HinderedRotor &rotor) {
  if (rotor.cosine && !(rotor.barrier >= 0.0))
    return {RotorFault::BARRIER};
  if (!rotor.cosine &&
      (rotor.fourier.empty() || rotor.fourier.size() > static_cast<std::size_t>(MAX_ROTOR_TERMS)))
    return {RotorFault::TERMS};
  if (rotor.cosine && !(rotor.barrier <= MAX_ROTOR_BARRIER))
    return {.fault = RotorFault::BARRIER_HIGH, .barrier = rotor.barrier};
  if (rotor.cosine) // V0/2 (1 - cos(sigma phi)) repeats sigma times a turn
    return {};
  const FourierTerms &terms = rotor.fourier;
  const double barrier = potentialMaximum(terms) - potentialMinimum(terms).v;
  if (!(barrier <= MAX_ROTOR_BARRIER))
    return {.fault = RotorFault::BARRIER_HIGH, .barrier = barrier};
  if (barrier >= SHALLOW_BARRIER && rotor.sigma > 1 && rotor.sigma <= MAX_ROTOR_SIGMA) {
    const double mismatch = periodMismatch(terms, rotor.sigma);
    if (mismatch > PERIOD_SHARE * barrier + PERIOD_FLOOR)
      return {.fault = RotorFault::PERIOD, .barrier = barrier, .mismatch = mismatch};
  }
  return {};
}

RotorCheck rotorTopFault(const HinderedRotor &rotor) {
  const std::vector<int> &top = rotor.top;
  if (top.empty())
    return {RotorFault::TOP_EMPTY};
  for (auto at = top.begin(); at != top.end(); ++at)
    if (std::find(top.begin(), at, *at) != at)
      return {.fault = RotorFault::TOP_TWICE, .atom = *at};
  if (std::find(top.begin(), top.end(), rotor.pivot1) == top.end())
    return {RotorFault::TOP_WITHOUT_PIVOT};
  if (std::find(top.begin(), top.end(), rotor.pivot2) != top.end())
    return {RotorFault::TOP_WITH_OTHER_PIVOT};
  return {};
}

RotorCheck modeRowFault(int mode, std::span<const double> rows) {
  if (mode < 1)
    return {RotorFault::MODE_BELOW_ONE};
  if (static_cast<std::size_t>(mode) > rows.size())
    return {RotorFault::MODE_BEYOND_ROWS};
  const double wavenumber = rows[static_cast<std::size_t>(mode - 1)];
  if (!isVibration(wavenumber))
    return {.fault = RotorFault::MODE_NOT_VIBRATION, .wavenumber = wavenumber};
  return {};
}

RotorCheck rotorPlaceFault(std::span<const HinderedRotor> rotors, std::size_t k,
                           std::span<const double> rows, std::size_t atoms) {
  const HinderedRotor &rotor = rotors[k];
  if (const RotorCheck row = modeRowFault(rotor.mode, rows); !row.ok())
    return row;
  for (std::size_t j = 0; j < k; ++j)
    if (rotors[j].mode == rotor.mode)
      return {.fault = RotorFault::MODE_TAKEN, .other = j};
  for (std::size_t j = 0; j < k; ++j)
    if (std::minmax(rotors[j].pivot1, rotors[j].pivot2) == std::minmax(rotor.pivot1, rotor.pivot2))
      return {.fault = RotorFault::BOND_TAKEN, .other = j};
  int highest = std::max(rotor.pivot1, rotor.pivot2);
  for (const int a : rotor.top)
    highest = std::max(highest, a);
  if (highest < 1 || static_cast<std::size_t>(highest) > atoms)
    return {.fault = RotorFault::ATOM_BEYOND, .atom = highest};
  return {};
}

RotorCheck rotorFault(std::span<const HinderedRotor> rotors, std::size_t k,
                      std::span<const double> rows, std::size_t atoms) {
  const HinderedRotor &rotor = rotors[k];
  for (const RotorCheck check :
       {rotorNumbersFault(rotor), rotorPotentialFault(rotor), rotorTopFault(rotor)})
    if (!check.ok())
      return check;
  return rotorPlaceFault(rotors, k, rows, atoms);
}

} // namespace orvalen
