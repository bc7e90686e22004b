#include "geometry/symmetry.hpp"

#include "geometry/point_group.hpp"

#include <Eigen/Dense>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <unordered_map>
#include <utility>

namespace orvalen::geometry {

namespace {

using Eigen::Matrix3d;
using Eigen::Vector3d;

// An operation of a group that holds within t carries each nucleus within 2t
// of the nucleus it lands on (both move by at most t onto the symmetric
// geometry); candidates are sought a little wider than that.
constexpr double CANDIDATE_FACTOR = 2.5;
// An operation first guessed from two nuclei carries their errors to the far
// end of the molecule: it is matched this much wider, then refitted on all.
constexpr double GUESS_FACTOR = 2.0;

struct Nuclei {
  // Matching tolerances (A): `guess` for an operation guessed from two nuclei,
  // `loose` for a candidate refitted on all. Never more than half the closest
  // approach of two nuclei of one element, where the nearest would be a guess.
  double guess = 0.0;
  double loose = 0.0;
  std::vector<int> z;
  std::vector<Vector3d> r; // relative to the centroid, the centre of the nearest symmetric geometry
  std::vector<double> radius;
  // For each nucleus, the nuclei of its element at about its distance from
  // the centre: the only ones an operation can carry it onto.
  std::vector<std::vector<int>> mates;
  // The nuclei in order of x, so that those near a point are found in a slab.
  std::vector<int> byX;
  std::vector<double> sortedX;
};

// Nothing for coordinates too large to subtract and square.
std::optional<Nuclei> nucleiOf(const std::vector<int> &atomicNumbers,
                               const std::vector<Vec3> &coords, double tolerance) {
  Nuclei n;
  n.z = atomicNumbers;
  Vector3d centroid = Vector3d::Zero();
  for (const auto &c : coords)
    centroid += Vector3d(c[0], c[1], c[2]);
  centroid /= static_cast<double>(coords.size());
  for (const auto &c : coords) {
    n.r.push_back(Vector3d(c[0], c[1], c[2]) - centroid);
    n.radius.push_back(n.r.back().norm());
    if (!std::isfinite(n.radius.back() * n.radius.back()))
      return std::nullopt;
  }
  double closest = HUGE_VAL;
  for (std::size_t i = 0; i < n.r.size(); ++i)
    for (std::size_t j = i + 1; j < n.r.size(); ++j)
      if (n.z[i] == n.z[j])
        closest = std::min(closest, (n.r[i] - n.r[j]).norm());
  n.guess = std::min(GUESS_FACTOR * CANDIDATE_FACTOR * tolerance, 0.5 * closest);
  n.loose = std::min(CANDIDATE_FACTOR * tolerance, n.guess);
  n.byX.resize(coords.size());
  std::iota(n.byX.begin(), n.byX.end(), 0);
  std::stable_sort(n.byX.begin(), n.byX.end(), [&](int a, int b) {
    return n.r[static_cast<std::size_t>(a)].x() < n.r[static_cast<std::size_t>(b)].x();
  });
  for (const int i : n.byX)
    n.sortedX.push_back(n.r[static_cast<std::size_t>(i)].x());
  n.mates.resize(coords.size());
  for (std::size_t i = 0; i < coords.size(); ++i)
    for (std::size_t j = 0; j < coords.size(); ++j)
      if (n.z[j] == n.z[i] && std::fabs(n.radius[j] - n.radius[i]) <= n.guess)
        n.mates[i].push_back(static_cast<int>(j));
  return n;
}

// Where `op` carries each nucleus: the nearest nucleus of its element, not yet
// taken, within `tol`; empty when some nucleus lands on none.
std::vector<int> imagesUnder(const Nuclei &n, const Matrix3d &op, double tol) {
  const std::size_t count = n.r.size();
  std::vector<int> image(count);
  std::vector<char> taken(count, 0);
  for (std::size_t i = 0; i < count; ++i) {
    const Vector3d moved = op * n.r[i];
    int best = -1;
    double bestSquared = tol * tol;
    const auto first = std::lower_bound(n.sortedX.begin(), n.sortedX.end(), moved.x() - tol);
    for (auto k = static_cast<std::size_t>(first - n.sortedX.begin());
         k < count && n.sortedX[k] <= moved.x() + tol; ++k) {
      const auto j = static_cast<std::size_t>(n.byX[k]);
      if (taken[j] == 0 && n.z[j] == n.z[i])
        if (const double d = (moved - n.r[j]).squaredNorm(); d <= bestSquared) {
          bestSquared = d;
          best = static_cast<int>(j);
        }
    }
    if (best < 0)
      return {};
    taken[static_cast<std::size_t>(best)] = 1;
    image[i] = best;
  }
  return image;
}

// The operation of determinant `det` that carries every nucleus onto its
// image best in the least-squares sense (Kabsch): for an improper one, the
// rotation onto the inverted images, inverted.
Matrix3d fitted(const Nuclei &n, const std::vector<int> &image, int det) {
  Matrix3d h = Matrix3d::Zero();
  for (std::size_t i = 0; i < n.r.size(); ++i)
    h += n.r[i] * n.r[static_cast<std::size_t>(image[i])].transpose();
  const double sign = det < 0 ? -1.0 : 1.0;
  h *= sign;
  const Eigen::JacobiSVD<Matrix3d> svd(h, Eigen::ComputeFullU | Eigen::ComputeFullV);
  Matrix3d d = Matrix3d::Identity();
  d(2, 2) = (svd.matrixV() * svd.matrixU().transpose()).determinant() < 0.0 ? -1.0 : 1.0;
  return sign * (svd.matrixV() * d * svd.matrixU().transpose());
}

double largestMiss(const Nuclei &n, const Matrix3d &op, const std::vector<int> &image) {
  double worst = 0.0;
  for (std::size_t i = 0; i < n.r.size(); ++i)
    worst = std::max(worst, (op * n.r[i] - n.r[static_cast<std::size_t>(image[i])]).norm());
  return worst;
}

// A symmetry operation as a permutation of the nuclei and a determinant; the
// permutation fixes the operation (for a planar molecule, with the
// determinant), so products are exact whatever the noise of the geometry.
struct Operation {
  std::vector<int> image; // nucleus i lands on nucleus image[i]
  int det = 1;            // -1 for a mirror plane, the inversion, an S2n
  double miss = 0.0;      // A, largest distance from a moved nucleus to its image
};

// A guessed operation refitted on all nuclei: matched within the guess's
// tolerance, fitted, and matched again within the loose one when the fit misses.
std::optional<Operation> refined(const Nuclei &n, const Matrix3d &guess, int det) {
  const double loose = n.loose;
  std::vector<int> image = imagesUnder(n, guess, n.guess);
  if (image.empty())
    return std::nullopt;
  Matrix3d op = fitted(n, image, det);
  double miss = largestMiss(n, op, image);
  if (miss > loose) {
    image = imagesUnder(n, op, loose);
    if (image.empty())
      return std::nullopt;
    op = fitted(n, image, det);
    miss = largestMiss(n, op, image);
    if (miss > loose)
      return std::nullopt;
  }
  return Operation{std::move(image), det, miss};
}

// Orthonormal frame (columns) built on a and the part of b normal to it.
Matrix3d frameOf(const Vector3d &a, const Vector3d &b) {
  const Vector3d e1 = a.normalized();
  const Vector3d e2 = (b - b.dot(e1) * e1).normalized();
  Matrix3d f;
  f.col(0) = e1;
  f.col(1) = e2;
  f.col(2) = e1.cross(e2);
  return f;
}

std::size_t matesWithin(const Nuclei &n, std::size_t i, double tol) {
  return static_cast<std::size_t>(std::count_if(n.mates[i].begin(), n.mates[i].end(), [&](int j) {
    return std::fabs(n.radius[static_cast<std::size_t>(j)] - n.radius[i]) <= tol;
  }));
}

// A: a nucleus far from the centre with few mates; B: one far from the line
// of A with few mates. Every operation is fixed by where it takes A and B, and
// frames built on them are well conditioned and few.
std::pair<std::size_t, std::size_t> frameNuclei(const Nuclei &n) {
  const double farthest = *std::max_element(n.radius.begin(), n.radius.end());
  std::size_t a = 0, aMates = n.r.size() + 1;
  for (std::size_t i = 0; i < n.r.size(); ++i)
    if (n.radius[i] >= 0.5 * farthest)
      if (const std::size_t m = matesWithin(n, i, n.loose); m < aMates) {
        aMates = m;
        a = i;
      }
  const Vector3d ua = n.r[a].normalized();
  auto offLine = [&](std::size_t i) { return (n.r[i] - n.r[i].dot(ua) * ua).norm(); };
  double widest = 0.0;
  for (std::size_t i = 0; i < n.r.size(); ++i)
    widest = std::max(widest, offLine(i));
  std::size_t b = 0, bMates = n.r.size() + 1;
  for (std::size_t i = 0; i < n.r.size(); ++i)
    if (offLine(i) >= 0.5 * widest)
      if (const std::size_t m = matesWithin(n, i, n.loose); m < bMates) {
        bMates = m;
        b = i;
      }
  return {a, b};
}

struct KeyHash {
  std::size_t operator()(const std::vector<int> &key) const {
    std::uint64_t h = 1469598103934665603ULL; // FNV-1a
    for (const int k : key) {
      h ^= static_cast<std::uint64_t>(static_cast<std::uint32_t>(k));
      h *= 1099511628211ULL;
    }
    return static_cast<std::size_t>(h);
  }
};

// Every operation that carries each nucleus within the loose tolerance of a
// nucleus of its element, best first. An operation taking A to A2 and B to B2 is the one
// taking the frame of (A, B) to that of (A2, B2); for an improper one, minus
// the rotation to the frame of (-A2, -B2).
std::vector<Operation> candidateOperations(const Nuclei &n) {
  const double loose = n.loose;
  const auto [a, b] = frameNuclei(n);
  const Matrix3d from = frameOf(n.r[a], n.r[b]);
  const double ab = (n.r[a] - n.r[b]).norm();
  auto sameRadius = [&](std::size_t i, int j) {
    return std::fabs(n.radius[static_cast<std::size_t>(j)] - n.radius[i]) <= loose;
  };
  std::vector<Operation> found;
  std::unordered_map<std::vector<int>, std::size_t, KeyHash> known; // permutation and det
  auto keep = [&](Operation op) {
    std::vector<int> key = op.image;
    key.push_back(op.det);
    const auto [it, added] = known.emplace(std::move(key), found.size());
    if (added)
      found.push_back(std::move(op));
    else if (op.miss < found[it->second].miss)
      found[it->second] = std::move(op);
  };
  for (const int a2 : n.mates[a]) {
    if (!sameRadius(a, a2))
      continue;
    const Vector3d ra2 = n.r[static_cast<std::size_t>(a2)];
    for (const int b2 : n.mates[b]) {
      const Vector3d rb2 = n.r[static_cast<std::size_t>(b2)];
      if (b2 == a2 || !sameRadius(b, b2) || std::fabs((ra2 - rb2).norm() - ab) > 2.0 * loose)
        continue;
      for (const int det : {1, -1}) {
        const double sign = det;
        const Matrix3d guess = sign * (frameOf(sign * ra2, sign * rb2) * from.transpose());
        if (auto op = refined(n, guess, det))
          keep(std::move(*op));
      }
    }
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const Operation &x, const Operation &y) { return x.miss < y.miss; });
  return found;
}

// The order of an operation from its permutation: the least common multiple
// of its cycles, doubled for an improper one of odd order (a planar
// molecule's mirror plane leaves every nucleus in place).
long long orderOf(const std::vector<int> &image, int det) {
  std::vector<char> seen(image.size(), 0);
  long long order = 1;
  for (std::size_t start = 0; start < image.size(); ++start) {
    long long length = 0;
    for (std::size_t i = start; seen[i] == 0; i = static_cast<std::size_t>(image[i])) {
      seen[i] = 1;
      ++length;
    }
    if (length > 0)
      order = std::lcm(order, length);
  }
  return det < 0 && order % 2 == 1 ? 2 * order : order;
}

// The smallest sphere holding a set of points (Welzl's algorithm with
// move-to-front). A sphere is built on up to four points on its surface; for
// points too near a line or a plane to fix one, the sphere on a subset that
// holds them all is taken. Only the centre matters: the radius returned is
// measured from it to the farthest point, so it always holds them all.
struct Ball {
  Vector3d centre = Vector3d::Zero();
  double squared = -1.0; // radius squared; negative for no point

  bool holds(const Vector3d &p) const {
    return (p - centre).squaredNorm() <= squared + 1e-18 + 1e-12 * squared;
  }
};

Ball ballOn(const std::array<Vector3d, 4> &s, int count);

// The smallest of the spheres on subsets of the `count` points that holds
// them all: for points that fix no sphere of their own.
Ball ballOnSubsets(const std::array<Vector3d, 4> &s, int count) {
  Ball best;
  for (int mask = 1; mask < (1 << count) - 1; ++mask) {
    std::array<Vector3d, 4> subset;
    int k = 0;
    for (int i = 0; i < count; ++i)
      if ((mask & (1 << i)) != 0)
        subset[static_cast<std::size_t>(k++)] = s[static_cast<std::size_t>(i)];
    const Ball b = ballOn(subset, k);
    bool all = true;
    for (int i = 0; i < count; ++i)
      all = all && b.holds(s[static_cast<std::size_t>(i)]);
    if (all && (best.squared < 0.0 || b.squared < best.squared))
      best = b;
  }
  return best;
}

Ball ballOn(const std::array<Vector3d, 4> &s, int count) {
  if (count == 0)
    return {};
  if (count == 1)
    return {s[0], 0.0};
  const Vector3d a = s[1] - s[0];
  if (count == 2)
    return {s[0] + 0.5 * a, 0.25 * a.squaredNorm()};
  const Vector3d b = s[2] - s[0];
  if (count == 3) {
    const Vector3d normal = a.cross(b);
    const double den = 2.0 * normal.squaredNorm();
    if (den <= 1e-12 * a.squaredNorm() * b.squaredNorm())
      return ballOnSubsets(s, count);
    const Vector3d c =
        (b.squaredNorm() * normal.cross(a) + a.squaredNorm() * b.cross(normal)) / den;
    return {s[0] + c, c.squaredNorm()};
  }
  const Vector3d c3 = s[3] - s[0];
  Matrix3d m;
  m.row(0) = a;
  m.row(1) = b;
  m.row(2) = c3;
  const double det = m.determinant();
  if (std::fabs(det) <= 1e-9 * a.norm() * b.norm() * c3.norm())
    return ballOnSubsets(s, count);
  const Vector3d c =
      m.inverse() * (0.5 * Vector3d(a.squaredNorm(), b.squaredNorm(), c3.squaredNorm()));
  return {s[0] + c, c.squaredNorm()};
}

void smallestBall(std::vector<Vector3d> &points, std::size_t end, std::array<Vector3d, 4> &support,
                  int count, Ball &ball) {
  ball = ballOn(support, count);
  if (count == 4)
    return;
  for (std::size_t i = 0; i < end; ++i)
    if (!ball.holds(points[i])) {
      support[static_cast<std::size_t>(count)] = points[i];
      smallestBall(points, i, support, count + 1, ball);
      std::rotate(points.begin(), points.begin() + static_cast<std::ptrdiff_t>(i),
                  points.begin() + static_cast<std::ptrdiff_t>(i) + 1);
    }
}

double enclosingRadius(std::vector<Vector3d> &points) {
  Ball ball;
  std::array<Vector3d, 4> support;
  smallestBall(points, points.size(), support, 0, ball);
  double worst = 0.0;
  for (const auto &p : points)
    worst = std::max(worst, (p - ball.centre).norm());
  return worst;
}

// A finite group of operations, closed under products, each with the matrix
// fitted to its permutation.
class Group {
public:
  explicit Group(const Nuclei &n) {
    std::vector<int> identity(n.r.size());
    std::iota(identity.begin(), identity.end(), 0);
    add(std::move(identity), 1, n);
  }

  std::size_t size() const { return elements_.size(); }

  bool contains(const std::vector<int> &image, int det) const {
    return index_.count(keyOf(image, det)) != 0;
  }

  // The group generated by this one and `op`; nothing when it would have more
  // than `cap` operations or one that misses a nucleus by more than `miss`
  // (products of operations that hold only roughly drift further off).
  std::optional<Group> with(const Operation &op, const Nuclei &n, std::size_t cap,
                            double miss) const {
    Group g = *this;
    if (!g.contains(op.image, op.det) && !g.add(op.image, op.det, n, miss))
      return std::nullopt;
    g.generators_.push_back(g.index_.at(keyOf(op.image, op.det)));
    for (std::size_t k = 0; k < g.elements_.size(); ++k)
      for (const std::size_t gen : g.generators_) {
        const Element &s = g.elements_[gen], &x = g.elements_[k];
        std::vector<int> image(x.image.size());
        for (std::size_t i = 0; i < image.size(); ++i)
          image[i] = s.image[static_cast<std::size_t>(x.image[i])];
        const int det = s.det * x.det;
        if (g.contains(image, det))
          continue;
        if (g.size() >= cap || !g.add(std::move(image), det, n, miss))
          return std::nullopt;
      }
    return g;
  }

  // The largest distance from a nucleus to its place in the nearest geometry
  // that has the group exactly: for each set of equivalent nuclei, the radius
  // of the smallest sphere holding the images of its nuclei carried back onto
  // one of them (its centre is that nucleus's symmetric place).
  double displacement(const Nuclei &n) const {
    std::vector<char> done(n.r.size(), 0);
    std::vector<Vector3d> images;
    double worst = 0.0;
    for (std::size_t i = 0; i < n.r.size(); ++i) {
      if (done[i] != 0)
        continue;
      images.clear();
      for (const auto &e : elements_) {
        const auto j = static_cast<std::size_t>(e.image[i]);
        done[j] = 1;
        images.push_back(e.matrix.transpose() * n.r[j]);
      }
      worst = std::max(worst, enclosingRadius(images));
    }
    return worst;
  }

  GroupCounts counts() const {
    GroupCounts c;
    c.operations = static_cast<int>(elements_.size());
    c.rotations = 0;
    for (const auto &e : elements_) {
      const long long order = orderOf(e.image, e.det);
      if (e.det > 0) {
        ++c.rotations;
        // In a closed group the order of each operation divides the group's.
        c.highestAxis = std::max(c.highestAxis, static_cast<int>(order));
        c.halfTurns += order == 2 ? 1 : 0;
      } else if (order == 2) {
        // A mirror has trace 1, the inversion -3.
        if (e.matrix.trace() > -1.0)
          ++c.mirrors;
        else
          c.inversion = true;
      }
    }
    return c;
  }

private:
  struct Element {
    std::vector<int> image;
    int det = 1;
    Matrix3d matrix;
  };

  static std::vector<int> keyOf(const std::vector<int> &image, int det) {
    std::vector<int> key(image);
    key.push_back(det);
    return key;
  }

  bool add(std::vector<int> image, int det, const Nuclei &n, double miss = HUGE_VAL) {
    const Matrix3d matrix = fitted(n, image, det);
    if (largestMiss(n, matrix, image) > miss)
      return false;
    index_.emplace(keyOf(image, det), elements_.size());
    elements_.push_back({std::move(image), det, matrix});
    return true;
  }

  std::vector<Element> elements_;
  std::unordered_map<std::vector<int>, std::size_t, KeyHash> index_;
  std::vector<std::size_t> generators_;
};

struct Found {
  Group group;
  double displacement = 0.0;
  std::string name = "C1";
};

// Grows `found` by the candidates, best first, each taken when the group it
// generates with those already taken holds within `tolerance` and is a point
// group. The result is a group by construction, every member checked.
void grow(Found &found, const Nuclei &n, const std::vector<Operation> &candidates,
          double tolerance) {
  // Dnh with n up to the number of nuclei, or Ih.
  const std::size_t cap = std::max<std::size_t>(120, 4 * n.r.size());
  // The images of a nucleus under the identity and an operation are both
  // within `tolerance` of its symmetric place: an operation that misses by
  // more than twice that belongs to no group that holds.
  const double miss = 2.0 * tolerance;
  for (const auto &op : candidates) {
    if (op.miss > miss)
      break;
    if (found.group.contains(op.image, op.det))
      continue;
    std::optional<Group> bigger = found.group.with(op, n, cap, miss);
    if (!bigger)
      continue;
    const double d = bigger->displacement(n);
    if (d > tolerance)
      continue;
    std::optional<std::string> name = pointGroupName(bigger->counts());
    if (!name)
      continue;
    found = {std::move(*bigger), d, std::move(*name)};
  }
}

// The line of a linear molecule: through the centroid, along the largest
// spread of the nuclei.
Vector3d mainAxis(const Nuclei &n) {
  Matrix3d spread = Matrix3d::Zero();
  for (const auto &r : n.r)
    spread += r * r.transpose();
  const Eigen::SelfAdjointEigenSolver<Matrix3d> eigen(spread);
  return eigen.eigenvectors().col(2); // eigenvalues ascending
}

double farthestFromAxis(const Nuclei &n, const Vector3d &u) {
  double worst = 0.0;
  for (const auto &r : n.r)
    worst = std::max(worst, (r - r.dot(u) * u).norm());
  return worst;
}

// D*h: the largest distance from a nucleus to its place in the nearest
// geometry with the nuclei on the axis, each pair exchanged by the inversion
// at opposite positions along it; infinite when the inversion pairs none.
double centredLinearDisplacement(const Nuclei &n, const Vector3d &u) {
  const std::vector<int> image = imagesUnder(n, -Matrix3d::Identity(), n.loose);
  if (image.empty())
    return HUGE_VAL;
  double worst = 0.0;
  for (std::size_t i = 0; i < n.r.size(); ++i) {
    const double along = 0.5 * (n.r[i].dot(u) - n.r[static_cast<std::size_t>(image[i])].dot(u));
    worst = std::max(worst, (n.r[i] - along * u).norm());
  }
  return worst;
}

// The group of a molecule within `tolerance` of a line, nothing for one
// farther. Rotations about the axis form a continuum and are not counted; the
// one that remains is the half turn about a normal axis, present exactly when
// the molecule has a centre of inversion.
std::optional<NearSymmetry> linearWithin(double offAxis, double centred, double tolerance) {
  if (offAxis > tolerance)
    return std::nullopt;
  if (centred <= tolerance)
    return NearSymmetry{"D*h", 2, centred};
  return NearSymmetry{"C*v", 1, offAxis};
}

void setLinear(Symmetry &s, const NearSymmetry &line) {
  s.pointGroup = line.pointGroup;
  s.rotationNumber = line.rotationNumber;
  s.properRotations = line.rotationNumber;
  s.operations = 0; // an infinite group
  s.chiral = false; // mirror planes through the axis
  s.displacement = line.displacement;
}

bool usable(const std::vector<int> &atomicNumbers, const std::vector<Vec3> &coords) {
  if (atomicNumbers.size() != coords.size())
    return false;
  return std::all_of(coords.begin(), coords.end(), [](const Vec3 &c) {
    return std::isfinite(c[0]) && std::isfinite(c[1]) && std::isfinite(c[2]);
  });
}

} // namespace

Symmetry findSymmetry(const std::vector<int> &atomicNumbers, const std::vector<Vec3> &coords,
                      double tolerance, double nearTolerance) {
  Symmetry s;
  if (coords.size() <= 1) {
    s.pointGroup = "Kh";
    s.chiral = false;
    return s;
  }
  if (!usable(atomicNumbers, coords))
    return s;
  const std::optional<Nuclei> nuclei =
      nucleiOf(atomicNumbers, coords, std::max(tolerance, nearTolerance));
  if (!nuclei)
    return s;
  const Nuclei &n = *nuclei;

  const Vector3d axis = mainAxis(n);
  const double offAxis = farthestFromAxis(n, axis);
  const double centred = centredLinearDisplacement(n, axis);
  if (const auto line = linearWithin(offAxis, centred, tolerance)) {
    setLinear(s, *line);
    if (const auto wider = linearWithin(offAxis, centred, nearTolerance);
        wider && wider->rotationNumber > line->rotationNumber)
      s.near = wider;
    return s;
  }

  const std::vector<Operation> candidates = candidateOperations(n);
  Found found{Group(n)};
  grow(found, n, candidates, tolerance);
  const GroupCounts counts = found.group.counts();
  s.pointGroup = found.name;
  s.rotationNumber = counts.rotations;
  s.properRotations = counts.rotations;
  s.operations = counts.operations;
  s.chiral = counts.operations == counts.rotations;
  s.displacement = found.displacement;

  // Nearly linear: rotations about the axis by any angle hold roughly, and
  // the finite groups they would make mean nothing.
  if (const auto line = linearWithin(offAxis, centred, nearTolerance)) {
    if (line->rotationNumber >= s.rotationNumber)
      s.near = line;
    return s;
  }
  grow(found, n, candidates, nearTolerance);
  if (found.group.size() > static_cast<std::size_t>(s.operations))
    s.near = NearSymmetry{found.name, found.group.counts().rotations, found.displacement};
  return s;
}

} // namespace orvalen::geometry
