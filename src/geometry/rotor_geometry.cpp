#include "geometry/rotor_geometry.hpp"

#include "base/error.hpp"
#include "geometry/symmetry.hpp"
#include "molecule/elements.hpp"

#include <Eigen/Dense>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <numeric>
#include <string>

namespace orvalen::geometry {
namespace {

// Cordero et al., Dalton Trans. (2008) 2832, Table 2, A, by atomic number - 1.
// C: sp3 (0.76; sp2 0.73, sp 0.69 not used); Mn, Fe, Co: low spin.
constexpr std::array<double, MAX_ELEMENT> CORDERO_RADII{
    0.31, 0.28,                                                             // H He
    1.28, 0.96, 0.84, 0.76, 0.71, 0.66, 0.57, 0.58,                         // Li-Ne
    1.66, 1.41, 1.21, 1.11, 1.07, 1.05, 1.02, 1.06,                         // Na-Ar
    2.03, 1.76, 1.70, 1.60, 1.53, 1.39, 1.39, 1.32, 1.26, 1.24, 1.32, 1.22, // K-Zn
    1.22, 1.20, 1.19, 1.20, 1.20, 1.16,                                     // Ga-Kr
    2.20, 1.95, 1.90, 1.75, 1.64, 1.54, 1.47, 1.46, 1.42, 1.39, 1.45, 1.44, // Rb-Cd
    1.42, 1.39, 1.39, 1.38, 1.39, 1.40,                                     // In-Xe
    2.44, 2.15, 2.07, 2.04, 2.03, 2.01, 1.99, 1.98, 1.98, 1.96, 1.94, 1.92, // Cs-Dy
    1.92, 1.89, 1.90, 1.87, 1.87, 1.75, 1.70, 1.62, 1.51, 1.44, 1.41, 1.36, // Ho-Pt
    1.36, 1.32, 1.45, 1.46, 1.48, 1.40, 1.50, 1.50,                         // Au-Rn
};

constexpr double BOND_FACTOR = 1.2;     // bond: closer than 1.2 x (r_a + r_b)
constexpr double AXIS_TOLERANCE = 0.02; // A, an atom on the bond line
constexpr int MAX_ORDER = 6;
// A principal moment below this share of the largest is a linear frame's zero.
constexpr double ZERO_MOMENT = 1.0e-10;
// A, an atom's image to its partner under a fragment's turn: a methyl group
// next to an unsymmetric neighbour is distorted by a few hundredths of an
// Angstrom, yet its turn by 120 degrees still exchanges equal atoms.
constexpr double FRAGMENT_TOLERANCE = 0.1;

std::string pairText(int p1, int p2) {
  return "rotor " + std::to_string(p1) + "," + std::to_string(p2) + ": ";
}

double distance(const Vec3 &a, const Vec3 &b) {
  const double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void checkAtom(const Atoms &geometry, int atom, int p1, int p2) {
  const auto n = static_cast<int>(geometry.z.size());
  if (atom < 1 || atom > n)
    throw Error(pairText(p1, p2) + "atom " + std::to_string(atom) + " is not one of the " +
                std::to_string(n) + " atoms of the geometry; number atoms from 1 in its order");
}

void checkPivots(const Atoms &geometry, int p1, int p2) {
  checkAtom(geometry, p1, p1, p2);
  checkAtom(geometry, p2, p1, p2);
  if (p1 == p2)
    throw Error(pairText(p1, p2) + "the two pivot atoms are the same; give two bonded atoms");
}

// Unit vector from p1 to p2.
Vec3 bondDirection(const Atoms &geometry, int p1, int p2) {
  const Vec3 &a = geometry.r[static_cast<std::size_t>(p1 - 1)];
  const Vec3 &b = geometry.r[static_cast<std::size_t>(p2 - 1)];
  const double d = distance(a, b);
  return {(b[0] - a[0]) / d, (b[1] - a[1]) / d, (b[2] - a[2]) / d};
}

// Squared distance of point p from the line through `origin` along unit `u`.
double squaredDistanceFromAxis(const Vec3 &p, const Vec3 &origin, const Vec3 &u) {
  const Vec3 d{p[0] - origin[0], p[1] - origin[1], p[2] - origin[2]};
  const double along = d[0] * u[0] + d[1] * u[1] + d[2] * u[2];
  const Vec3 perp{d[0] - along * u[0], d[1] - along * u[1], d[2] - along * u[2]};
  return perp[0] * perp[0] + perp[1] * perp[1] + perp[2] * perp[2];
}

// p turned by `angle` about the line through `origin` along unit `u` (Rodrigues).
Vec3 turned(const Vec3 &p, const Vec3 &origin, const Vec3 &u, double angle) {
  const Vec3 d{p[0] - origin[0], p[1] - origin[1], p[2] - origin[2]};
  const double c = std::cos(angle), s = std::sin(angle);
  const double dot = d[0] * u[0] + d[1] * u[1] + d[2] * u[2];
  const Vec3 cross{u[1] * d[2] - u[2] * d[1], u[2] * d[0] - u[0] * d[2], u[0] * d[1] - u[1] * d[0]};
  Vec3 out{};
  for (std::size_t k = 0; k < 3; ++k)
    out[k] = origin[k] + d[k] * c + cross[k] * s + u[k] * dot * (1.0 - c);
  return out;
}

std::vector<int> rest(const Atoms &geometry, const std::vector<int> &top) {
  std::vector<int> others;
  for (int a = 1; a <= static_cast<int>(geometry.z.size()); ++a)
    if (std::find(top.begin(), top.end(), a) == top.end())
      others.push_back(a);
  return others;
}

} // namespace

double covalentRadius(int atomicNumber) {
  if (atomicNumber < 1 || atomicNumber > MAX_ELEMENT)
    throw Error("no covalent radius for atomic number " + std::to_string(atomicNumber) +
                "; elements 1 to " + std::to_string(MAX_ELEMENT) + " are known");
  return CORDERO_RADII[static_cast<std::size_t>(atomicNumber - 1)];
}

bool bonded(const Atoms &geometry, int a, int b) {
  checkAtom(geometry, a, a, b);
  checkAtom(geometry, b, a, b);
  const auto i = static_cast<std::size_t>(a - 1), j = static_cast<std::size_t>(b - 1);
  const double limit =
      BOND_FACTOR * (covalentRadius(geometry.z[i]) + covalentRadius(geometry.z[j]));
  return a != b && distance(geometry.r[i], geometry.r[j]) < limit;
}

std::vector<int> rotorTop(const Atoms &geometry, int p1, int p2) {
  checkPivots(geometry, p1, p2);
  if (!bonded(geometry, p1, p2))
    throw Error(pairText(p1, p2) + "atoms " + std::to_string(p1) + " and " + std::to_string(p2) +
                " are not bonded (farther apart than 1.2 times their covalent radii); give two "
                "bonded atoms, or the top explicitly for a partial bond");
  // Atoms reachable from p1 along bonds other than p1-p2.
  const auto n = static_cast<int>(geometry.z.size());
  std::vector<bool> seen(static_cast<std::size_t>(n) + 1, false);
  std::vector<int> queue{p1};
  seen[static_cast<std::size_t>(p1)] = true;
  for (std::size_t next = 0; next < queue.size(); ++next) {
    const int a = queue[next];
    for (int b = 1; b <= n; ++b) {
      if (seen[static_cast<std::size_t>(b)] || (a == p1 && b == p2) || !bonded(geometry, a, b))
        continue;
      if (b == p2)
        throw Error(pairText(p1, p2) + "the bond " + std::to_string(p1) + "-" + std::to_string(p2) +
                    " is in a ring and cannot turn freely; choose a bond outside rings");
      seen[static_cast<std::size_t>(b)] = true;
      queue.push_back(b);
    }
  }
  std::sort(queue.begin(), queue.end());
  if (queue.size() == 1 || static_cast<int>(queue.size()) == n - 1)
    throw Error(pairText(p1, p2) + "atom " + std::to_string(queue.size() == 1 ? p1 : p2) +
                " carries nothing beyond the bond, so there is no torsion; choose a bond with "
                "atoms on both sides");
  // A side whose atoms all lie on the bond line (a nitrile, an alkyne) does not turn.
  const Vec3 &origin = geometry.r[static_cast<std::size_t>(p1 - 1)];
  const Vec3 u = bondDirection(geometry, p1, p2);
  const auto onAxis = [&](int a) {
    return squaredDistanceFromAxis(geometry.r[static_cast<std::size_t>(a - 1)], origin, u) <
           AXIS_TOLERANCE * AXIS_TOLERANCE;
  };
  const std::vector<int> others = rest(geometry, queue);
  if (std::all_of(queue.begin(), queue.end(), onAxis) ||
      std::all_of(others.begin(), others.end(), onAxis))
    throw Error(pairText(p1, p2) + "every atom on " +
                std::to_string(std::all_of(queue.begin(), queue.end(), onAxis) ? p1 : p2) +
                "'s side lies on the bond line (within 0.02 A), so there is no torsion; choose "
                "another bond");
  return queue;
}

void checkRotorTop(const Atoms &geometry, const std::vector<int> &top, int p1, int p2) {
  checkPivots(geometry, p1, p2);
  for (std::size_t k = 0; k < top.size(); ++k) {
    checkAtom(geometry, top[k], p1, p2);
    if (std::find(top.begin(), top.begin() + static_cast<std::ptrdiff_t>(k), top[k]) !=
        top.begin() + static_cast<std::ptrdiff_t>(k))
      throw Error(pairText(p1, p2) + "atom " + std::to_string(top[k]) +
                  " is given twice in the top; name each atom once");
  }
  if (std::find(top.begin(), top.end(), p1) == top.end())
    throw Error(pairText(p1, p2) + "the top does not contain its pivot atom " + std::to_string(p1) +
                "; add it");
  if (std::find(top.begin(), top.end(), p2) != top.end())
    throw Error(pairText(p1, p2) + "the top contains the other pivot atom " + std::to_string(p2) +
                "; the top is the group on " + std::to_string(p1) + "'s side only");
}

double topMoment(const Atoms &geometry, const std::vector<int> &top, int p1, int p2) {
  checkRotorTop(geometry, top, p1, p2);
  const std::vector<double> masses = isotopeMasses(geometry.z);
  const Vec3 &origin = geometry.r[static_cast<std::size_t>(p1 - 1)];
  const Vec3 u = bondDirection(geometry, p1, p2);
  double moment = 0.0;
  for (const int a : top) {
    const auto i = static_cast<std::size_t>(a - 1);
    moment += masses[i] * squaredDistanceFromAxis(geometry.r[i], origin, u);
  }
  return moment;
}

namespace {

// The top turning at unit angular velocity about the bond line: each atom's
// velocity (zero for the rest), and the momenta the overall translation and
// rotation take out.
struct InternalTurn {
  std::vector<double> masses;
  std::vector<Eigen::Vector3d> r, v; // positions from the centre of mass; velocities, A/rad
  double a = 0.0;                    // sum m |v|^2, the top's own moment about the bond
  double total = 0.0;                // M
  Eigen::Vector3d p = Eigen::Vector3d::Zero();        // sum m v
  Eigen::Vector3d l = Eigen::Vector3d::Zero();        // sum m r x v
  Eigen::Vector3d moments = Eigen::Vector3d::Zero();  // principal moments, ascending
  Eigen::Matrix3d axes = Eigen::Matrix3d::Identity(); // their axes, by column

  // I^-1 x over the moments that are not zero (a linear frame has no
  // rotation about its line).
  Eigen::Vector3d inverseInertia(const Eigen::Vector3d &x) const {
    const Eigen::Vector3d along = axes.transpose() * x;
    Eigen::Vector3d out = Eigen::Vector3d::Zero();
    for (Eigen::Index k = 0; k < 3; ++k)
      if (moments(k) > ZERO_MOMENT * moments.maxCoeff())
        out(k) = along(k) / moments(k);
    return axes * out;
  }
};

InternalTurn internalTurn(const Atoms &geometry, const std::vector<int> &top, int p1, int p2) {
  checkRotorTop(geometry, top, p1, p2);
  InternalTurn t;
  t.masses = isotopeMasses(geometry.z);
  const Vec3 com = centreOfMass(geometry.r, t.masses);
  const Vec3 &origin = geometry.r[static_cast<std::size_t>(p1 - 1)];
  const Vec3 u = bondDirection(geometry, p1, p2);
  const Eigen::Vector3d axis(u[0], u[1], u[2]);
  for (std::size_t i = 0; i < t.masses.size(); ++i) {
    const Eigen::Vector3d r(geometry.r[i][0], geometry.r[i][1], geometry.r[i][2]);
    t.r.emplace_back(r - Eigen::Vector3d(com[0], com[1], com[2]));
    t.total += t.masses[i];
    const bool onTop = std::find(top.begin(), top.end(), static_cast<int>(i) + 1) != top.end();
    t.v.emplace_back(
        onTop ? Eigen::Vector3d(axis.cross(r - Eigen::Vector3d(origin[0], origin[1], origin[2])))
              : Eigen::Vector3d::Zero());
    t.a += t.masses[i] * t.v.back().squaredNorm();
    t.p += t.masses[i] * t.v.back();
    t.l += t.masses[i] * t.r.back().cross(t.v.back());
  }
  const Matrix3 tensor = inertiaTensor(geometry.r, t.masses);
  Eigen::Matrix3d inertia;
  for (Eigen::Index r = 0; r < 3; ++r)
    for (Eigen::Index c = 0; c < 3; ++c)
      inertia(r, c) = tensor[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
  const Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> solver(inertia);
  t.moments = solver.eigenvalues();
  t.axes = solver.eigenvectors();
  return t;
}

} // namespace

double reducedMoment(const Atoms &geometry, const std::vector<int> &top, int p1, int p2) {
  const InternalTurn t = internalTurn(geometry, top, p1, p2);
  return std::max(t.a - t.p.squaredNorm() / t.total - t.l.dot(t.inverseInertia(t.l)), 0.0);
}

double torsionalCharacter(const Atoms &geometry, const std::vector<int> &top, int p1, int p2,
                          const std::vector<Vec3> &mode) {
  const InternalTurn t = internalTurn(geometry, top, p1, p2);
  if (mode.size() != t.masses.size())
    return 0.0;
  // The internal rotation with the overall translation (-P/M) and rotation
  // (-I^-1 L) taken out, as a normal mode has them.
  const Eigen::Vector3d back = -t.p / t.total;
  const Eigen::Vector3d turn = -t.inverseInertia(t.l);
  double overlap = 0.0, modeNorm = 0.0, torsionNorm = 0.0;
  for (std::size_t i = 0; i < t.masses.size(); ++i) {
    const Eigen::Vector3d torsion = t.v[i] + back + turn.cross(t.r[i]);
    const Eigen::Vector3d d(mode[i][0], mode[i][1], mode[i][2]);
    // Mass-weighted: sqrt(m) d and sqrt(m) t.
    overlap += t.masses[i] * d.dot(torsion);
    modeNorm += t.masses[i] * d.squaredNorm();
    torsionNorm += t.masses[i] * torsion.squaredNorm();
  }
  if (!(modeNorm > 0.0) || !(torsionNorm > ZERO_MOMENT * t.a))
    return 0.0;
  return overlap * overlap / (modeNorm * torsionNorm);
}

int rotationalOrder(const Atoms &geometry, const std::vector<int> &atoms, int p1, int p2) {
  checkPivots(geometry, p1, p2);
  for (const int a : atoms)
    checkAtom(geometry, a, p1, p2);
  const Vec3 &origin = geometry.r[static_cast<std::size_t>(p1 - 1)];
  const Vec3 u = bondDirection(geometry, p1, p2);
  const auto mapsOntoItself = [&](int n) {
    const double angle = 2.0 * std::numbers::pi / n;
    return std::all_of(atoms.begin(), atoms.end(), [&](int a) {
      const auto i = static_cast<std::size_t>(a - 1);
      const Vec3 image = turned(geometry.r[i], origin, u, angle);
      return std::any_of(atoms.begin(), atoms.end(), [&](int b) {
        const auto j = static_cast<std::size_t>(b - 1);
        return geometry.z[j] == geometry.z[i] &&
               distance(geometry.r[j], image) < FRAGMENT_TOLERANCE;
      });
    });
  };
  for (int n = MAX_ORDER; n >= 2; --n)
    if (mapsOntoItself(n))
      return n;
  return 1;
}

int rotorSymmetry(const Atoms &geometry, const std::vector<int> &top, int p1, int p2) {
  checkRotorTop(geometry, top, p1, p2);
  return std::lcm(rotationalOrder(geometry, top, p1, p2),
                  rotationalOrder(geometry, rest(geometry, top), p1, p2));
}

double dihedralAngle(const Vec3 &a, const Vec3 &b, const Vec3 &c, const Vec3 &d) {
  const auto minus = [](const Vec3 &p, const Vec3 &q) {
    return Vec3{p[0] - q[0], p[1] - q[1], p[2] - q[2]};
  };
  const auto cross = [](const Vec3 &p, const Vec3 &q) {
    return Vec3{p[1] * q[2] - p[2] * q[1], p[2] * q[0] - p[0] * q[2], p[0] * q[1] - p[1] * q[0]};
  };
  const auto dot = [](const Vec3 &p, const Vec3 &q) {
    return p[0] * q[0] + p[1] * q[1] + p[2] * q[2];
  };
  const Vec3 b1 = minus(b, a), b2 = minus(c, b), b3 = minus(d, c);
  const Vec3 n2 = cross(b2, b3);
  const double y = std::sqrt(dot(b2, b2)) * dot(b1, n2);
  const double x = dot(cross(b1, b2), n2);
  return std::atan2(y, x) * 180.0 / std::numbers::pi;
}

std::array<int, 4> torsionAtoms(const Atoms &geometry, const std::vector<int> &top, int p1,
                                int p2) {
  checkRotorTop(geometry, top, p1, p2);
  const Vec3 &origin = geometry.r[static_cast<std::size_t>(p1 - 1)];
  const Vec3 u = bondDirection(geometry, p1, p2);
  // The atom of `side` nearest `pivot` that lies off the bond line; 0 when none.
  const auto nearestOff = [&](const std::vector<int> &side, int pivot) {
    int best = 0;
    double bestDistance = 0.0;
    for (const int a : side) {
      const Vec3 &r = geometry.r[static_cast<std::size_t>(a - 1)];
      if (a == pivot || squaredDistanceFromAxis(r, origin, u) < AXIS_TOLERANCE * AXIS_TOLERANCE)
        continue;
      const double d = distance(r, geometry.r[static_cast<std::size_t>(pivot - 1)]);
      if (best == 0 || d < bestDistance) {
        best = a;
        bestDistance = d;
      }
    }
    if (best == 0)
      throw Error(pairText(p1, p2) + "every atom on " + std::to_string(pivot) +
                  "'s side lies on the bond line (within 0.02 A), so there is no torsion; "
                  "choose another bond");
    return best;
  };
  return {nearestOff(top, p1), p1, p2, nearestOff(rest(geometry, top), p2)};
}

Atoms turnedTops(const Atoms &geometry, const std::vector<const HinderedRotor *> &rotors,
                 const std::vector<double> &angles) {
  Atoms out = geometry;
  for (std::size_t k = 0; k < rotors.size() && k < angles.size(); ++k) {
    const HinderedRotor &r = *rotors[k];
    const Vec3 origin = out.r[static_cast<std::size_t>(r.pivot1 - 1)];
    const Vec3 u = bondDirection(out, r.pivot1, r.pivot2);
    for (const int a : r.top) {
      const auto i = static_cast<std::size_t>(a - 1);
      out.r[i] = turned(out.r[i], origin, u, angles[k]);
    }
  }
  return out;
}

namespace {

// A turned geometry is achiral within the wider symmetry tolerance: as a top
// turns, the frame relaxes with it, and the few hundredths of an Angstrom by
// which the top's present place bends the rest (a saddle point's forming
// C...H...O bond leaning toward the hydroxyl hydrogen) do not go with it.
constexpr double TURNED_TOLERANCE = NEAR_SYMMETRY_TOLERANCE; // A
constexpr double GRID_STEP = 0.05; // A, the most a step of the grid moves a top atom

// The farthest a top atom lies from its bond line, A (at least 0.1).
double topReach(const Atoms &geometry, const HinderedRotor &r) {
  const Vec3 &origin = geometry.r[static_cast<std::size_t>(r.pivot1 - 1)];
  const Vec3 u = bondDirection(geometry, r.pivot1, r.pivot2);
  double reach = 0.1;
  for (const int a : r.top)
    reach = std::max(reach, std::sqrt(squaredDistanceFromAxis(
                                geometry.r[static_cast<std::size_t>(a - 1)], origin, u)));
  return reach;
}

// The geometry reached by these turns, when it is achiral.
std::optional<Symmetry> achiralAt(const Atoms &geometry,
                                  const std::vector<const HinderedRotor *> &rotors,
                                  const std::vector<double> &angles) {
  const Atoms t = turnedTops(geometry, rotors, angles);
  const Symmetry s = findSymmetry(t.z, t.r, TURNED_TOLERANCE, TURNED_TOLERANCE);
  if (s.chiral)
    return std::nullopt;
  return s;
}

// The turns on a grid whose geometry is achiral and nearest its group.
struct BestTurn {
  std::vector<double> angles;
  std::string pointGroup;
  double displacement = HUGE_VAL;

  void take(const std::vector<double> &at, const std::optional<Symmetry> &s) {
    if (!s || !(s->displacement < displacement))
      return;
    angles = at;
    pointGroup = s->pointGroup;
    displacement = s->displacement;
  }
};

// A full turn of each rotor in steps that move its farthest atom by at most
// GRID_STEP, over one rotor or two together; the achiral point of the grid
// nearest its group, then the nearest on a grid five times finer about it.
std::optional<MirrorTurn> searchTurns(const Atoms &geometry,
                                      const std::vector<const HinderedRotor *> &rotors,
                                      const std::vector<std::size_t> &indices) {
  std::vector<int> steps;
  std::vector<double> step;
  for (const HinderedRotor *r : rotors) {
    const double reach = topReach(geometry, *r);
    steps.push_back(static_cast<int>(std::ceil(2.0 * std::numbers::pi * reach / GRID_STEP)));
    step.push_back(2.0 * std::numbers::pi / steps.back());
  }
  const bool two = rotors.size() > 1;
  BestTurn coarse;
  std::vector<double> angles(rotors.size(), 0.0);
  for (int i = 0; i < steps[0]; ++i)
    for (int j = 0; j < (two ? steps[1] : 1); ++j) {
      angles[0] = i * step[0];
      if (two)
        angles[1] = j * step[1];
      coarse.take(angles, achiralAt(geometry, rotors, angles));
    }
  if (coarse.angles.empty())
    return std::nullopt;
  constexpr int FINE = 5;
  BestTurn fine = coarse;
  for (int a = -FINE; a <= FINE; ++a)
    for (int b = two ? -FINE : 0; b <= (two ? FINE : 0); ++b) {
      angles[0] = coarse.angles[0] + a * step[0] / FINE;
      if (two)
        angles[1] = coarse.angles[1] + b * step[1] / FINE;
      fine.take(angles, achiralAt(geometry, rotors, angles));
    }
  MirrorTurn found{indices, {}, fine.pointGroup};
  for (const double f : fine.angles)
    found.degrees.push_back(std::remainder(f, 2.0 * std::numbers::pi) * 180.0 / std::numbers::pi);
  return found;
}

} // namespace

std::optional<MirrorTurn> mirrorImageTurn(const Atoms &geometry,
                                          const std::vector<HinderedRotor> &rotors) {
  for (std::size_t k = 0; k < rotors.size(); ++k)
    if (auto found = searchTurns(geometry, {&rotors[k]}, {k}))
      return found;
  for (std::size_t k = 0; k < rotors.size(); ++k)
    for (std::size_t j = k + 1; j < rotors.size(); ++j)
      if (auto found = searchTurns(geometry, {&rotors[k], &rotors[j]}, {k, j}))
        return found;
  return std::nullopt;
}

} // namespace orvalen::geometry
