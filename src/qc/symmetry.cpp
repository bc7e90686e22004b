#include "qc/symmetry.hpp"

#include "molecule/elements.hpp"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <string>

namespace orvalen::qc {

namespace {

using Eigen::Matrix3d;
using Eigen::Vector3d;

struct Nuclei {
  std::vector<int> z;
  std::vector<Vector3d> r; // relative to the centre of mass
};

// Where `op` carries each nucleus: the index of the nucleus of the same
// element it lands on within `tol`, every one taken once; empty when some
// nucleus lands on none.
std::vector<std::size_t> imageOf(const Nuclei &n, const Matrix3d &op, double tol) {
  std::vector<std::size_t> image(n.r.size());
  std::vector<bool> taken(n.r.size(), false);
  for (std::size_t i = 0; i < n.r.size(); ++i) {
    const Vector3d moved = op * n.r[i];
    std::size_t best = n.r.size();
    double bestDistance = tol;
    for (std::size_t j = 0; j < n.r.size(); ++j)
      if (!taken[j] && n.z[j] == n.z[i])
        if (const double d = (moved - n.r[j]).norm(); d < bestDistance) {
          bestDistance = d;
          best = j;
        }
    if (best == n.r.size())
      return {};
    taken[best] = true;
    image[i] = best;
  }
  return image;
}

bool mapsOntoItself(const Nuclei &n, const Matrix3d &op, double tol) {
  return !imageOf(n, op, tol).empty();
}

// The rotation (times `sign`: -1 for an improper operation) that best carries
// every nucleus onto its image, in the least-squares sense (Kabsch), so that an
// operation first guessed from two atoms is judged on all of them.
Matrix3d fitted(const Nuclei &n, const std::vector<std::size_t> &image, double sign) {
  Matrix3d h = Matrix3d::Zero();
  for (std::size_t i = 0; i < n.r.size(); ++i)
    h += n.r[i] * (sign * n.r[image[i]]).transpose();
  const Eigen::JacobiSVD<Matrix3d> svd(h, Eigen::ComputeFullU | Eigen::ComputeFullV);
  Matrix3d d = Matrix3d::Identity();
  d(2, 2) = (svd.matrixV() * svd.matrixU().transpose()).determinant() < 0.0 ? -1.0 : 1.0;
  return sign * (svd.matrixV() * d * svd.matrixU().transpose());
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

// Atoms of the same element at the same distance from the centre.
std::vector<std::size_t> classOf(const Nuclei &n, std::size_t i, double tol) {
  std::vector<std::size_t> members;
  for (std::size_t j = 0; j < n.r.size(); ++j)
    if (n.z[j] == n.z[i] && std::fabs(n.r[j].norm() - n.r[i].norm()) < 2.0 * tol)
      members.push_back(j);
  return members;
}

void addOnce(std::vector<Matrix3d> &ops, const Matrix3d &op) {
  for (const auto &known : ops)
    if ((known - op).cwiseAbs().maxCoeff() < 0.1)
      return;
  ops.push_back(op);
}

// Every operation (proper when `proper`, else improper) of the point group.
// An operation is fixed by where it takes two atoms A and B that are not on
// one line through the centre; A can only go to an atom of its class and B to
// one of its class at the same distance from the image of A. For an improper
// operation M, -M is a rotation taking A and B to the inverted images.
std::vector<Matrix3d> operations(const Nuclei &n, std::size_t a, std::size_t b, double tol,
                                 bool proper) {
  std::vector<Matrix3d> ops;
  const Matrix3d from = frameOf(n.r[a], n.r[b]);
  const double ab = (n.r[a] - n.r[b]).norm();
  const double sign = proper ? 1.0 : -1.0;
  const auto imagesOfB = classOf(n, b, tol);
  for (const std::size_t a2 : classOf(n, a, tol))
    for (const std::size_t b2 : imagesOfB) {
      if (b2 == a2 || std::fabs((n.r[a2] - n.r[b2]).norm() - ab) > 2.0 * tol)
        continue;
      const Matrix3d to = frameOf(sign * n.r[a2], sign * n.r[b2]);
      const Matrix3d guess = sign * (to * from.transpose());
      // The guess carries the errors of two atoms only: it is matched with a
      // looser tolerance, then refitted on all atoms and judged strictly.
      const auto image = imageOf(n, guess, 3.0 * tol);
      if (image.empty())
        continue;
      const Matrix3d op = fitted(n, image, sign);
      if (imageOf(n, op, tol) == image)
        addOnce(ops, op);
    }
  return ops;
}

// Axis of a rotation (sign arbitrary).
Vector3d rotationAxis(const Matrix3d &r) {
  const double cosine = (r.trace() - 1.0) / 2.0;
  if (cosine > -0.9)
    return Vector3d(r(2, 1) - r(1, 2), r(0, 2) - r(2, 0), r(1, 0) - r(0, 1)).normalized();
  // Near a half turn R + I = 2 n n^T: its longest column is along n.
  const Matrix3d s = r + Matrix3d::Identity();
  Eigen::Index k = 0;
  s.colwise().norm().maxCoeff(&k);
  return s.col(k).normalized();
}

// Normal of a reflection M = I - 2 n n^T.
Vector3d mirrorNormal(const Matrix3d &m) {
  const Matrix3d s = Matrix3d::Identity() - m;
  Eigen::Index k = 0;
  s.colwise().norm().maxCoeff(&k);
  return s.col(k).normalized();
}

struct Axis {
  Vector3d direction;
  int order = 1; // rotations about it, identity included
};

std::string pointGroupOf(const std::vector<Matrix3d> &proper,
                         const std::vector<Matrix3d> &improper) {
  std::vector<Axis> axes;
  for (const auto &r : proper) {
    if ((r - Matrix3d::Identity()).cwiseAbs().maxCoeff() < 0.1)
      continue;
    const Vector3d u = rotationAxis(r);
    auto same = std::find_if(axes.begin(), axes.end(),
                             [&](const Axis &x) { return std::fabs(x.direction.dot(u)) > 0.99; });
    if (same == axes.end())
      axes.push_back({u, 2});
    else
      ++same->order;
  }
  bool inversion = false;
  std::vector<Vector3d> mirrors;
  for (const auto &m : improper) {
    if ((m + Matrix3d::Identity()).cwiseAbs().maxCoeff() < 0.1)
      inversion = true;
    else if (std::fabs(m.trace() - 1.0) < 0.1)
      mirrors.push_back(mirrorNormal(m));
  }
  const std::size_t rotations = proper.size();

  int highAxes = 0;
  for (const auto &x : axes)
    highAxes += x.order >= 3 ? 1 : 0;
  if (highAxes >= 2) { // the cubic and icosahedral groups
    const std::string base = rotations == 60 ? "I" : rotations == 24 ? "O" : "T";
    if (improper.empty())
      return base;
    if (inversion)
      return base + "h";
    return base + "d";
  }

  if (axes.empty()) {
    if (improper.empty())
      return "C1";
    return inversion ? "Ci" : "Cs";
  }
  const Axis main = *std::max_element(
      axes.begin(), axes.end(), [](const Axis &x, const Axis &y) { return x.order < y.order; });
  const std::string n = std::to_string(main.order);
  auto hasMirrorNormalTo = [&](const Vector3d &u) {
    return std::any_of(mirrors.begin(), mirrors.end(),
                       [&](const Vector3d &m) { return std::fabs(m.dot(u)) > 0.99; });
  };
  int perpendicularTwofold = 0;
  for (const auto &x : axes)
    if (x.order == 2 && std::fabs(x.direction.dot(main.direction)) < 0.1)
      ++perpendicularTwofold;

  if (perpendicularTwofold > 0) { // dihedral groups
    if (improper.empty())
      return "D" + n;
    // D2 has three equivalent twofold axes: a mirror normal to any one is a
    // horizontal plane for that choice of main axis.
    bool horizontal = hasMirrorNormalTo(main.direction);
    if (main.order == 2)
      for (const auto &x : axes)
        horizontal = horizontal || hasMirrorNormalTo(x.direction);
    return "D" + n + (horizontal ? "h" : "d");
  }
  if (improper.empty())
    return "C" + n;
  if (hasMirrorNormalTo(main.direction))
    return "C" + n + "h";
  const bool vertical = std::any_of(mirrors.begin(), mirrors.end(), [&](const Vector3d &m) {
    return std::fabs(m.dot(main.direction)) < 0.1;
  });
  if (vertical)
    return "C" + n + "v";
  return "S" + std::to_string(2 * main.order);
}

} // namespace

Symmetry findSymmetry(const std::vector<int> &atomicNumbers, const std::vector<Vec3> &coords,
                      double tolerance) {
  Symmetry s;
  if (coords.size() <= 1) {
    s.pointGroup = "Kh";
    return s;
  }
  const std::vector<double> masses = isotopeMasses(atomicNumbers);
  const Vec3 com = centreOfMass(coords, masses);
  Nuclei n;
  n.z = atomicNumbers;
  for (const auto &c : coords)
    n.r.emplace_back(c[0] - com[0], c[1] - com[1], c[2] - com[2]);

  if (isLinearGeometry(coords)) {
    // Rotations about the axis form a continuum and are not counted; the one
    // that remains is the half turn about a normal axis, present exactly when
    // the molecule has a centre of inversion.
    const bool centre = mapsOntoItself(n, -Matrix3d::Identity(), tolerance);
    s.pointGroup = centre ? "D*h" : "C*v";
    s.rotationNumber = centre ? 2 : 1;
    s.properRotations = s.rotationNumber;
    s.operations = 0; // an infinite group
    return s;
  }

  // A: an atom far from the centre in the smallest class; B: an atom far
  // from the line of A, again in the smallest class, so that the frames the
  // operations are built from are well conditioned.
  double farthest = 0.0;
  for (const auto &r : n.r)
    farthest = std::max(farthest, r.norm());
  std::size_t a = 0, aClass = n.r.size() + 1;
  for (std::size_t i = 0; i < n.r.size(); ++i)
    if (n.r[i].norm() >= 0.5 * farthest)
      if (const std::size_t size = classOf(n, i, tolerance).size(); size < aClass) {
        aClass = size;
        a = i;
      }
  const Vector3d ua = n.r[a].normalized();
  auto offLine = [&](std::size_t i) { return (n.r[i] - n.r[i].dot(ua) * ua).norm(); };
  double widest = 0.0;
  for (std::size_t i = 0; i < n.r.size(); ++i)
    widest = std::max(widest, offLine(i));
  std::size_t b = 0, bClass = n.r.size() + 1;
  for (std::size_t i = 0; i < n.r.size(); ++i)
    if (offLine(i) >= 0.5 * widest)
      if (const std::size_t size = classOf(n, i, tolerance).size(); size < bClass) {
        bClass = size;
        b = i;
      }

  const std::vector<Matrix3d> proper = operations(n, a, b, tolerance, true);
  const std::vector<Matrix3d> improper = operations(n, a, b, tolerance, false);
  s.properRotations = static_cast<int>(proper.size());
  s.rotationNumber = s.properRotations;
  s.operations = static_cast<int>(proper.size() + improper.size());
  s.pointGroup = pointGroupOf(proper, improper);
  return s;
}

} // namespace orvalen::qc
