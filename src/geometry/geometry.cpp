#include "geometry/geometry.hpp"

#include "molecule/elements.hpp"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>

namespace orvalen::geometry {

namespace {

Vec3 minus(const Vec3 &a, const Vec3 &b) {
  return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

double norm(const Vec3 &a) {
  return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
}

} // namespace

bool isLinearGeometry(const std::vector<Vec3> &coords, double tolerance) {
  if (coords.size() <= 2)
    return true;
  std::size_t ia = 0, ib = 0;
  double longest = -1.0;
  for (std::size_t i = 0; i < coords.size(); ++i)
    for (std::size_t j = i + 1; j < coords.size(); ++j)
      if (const double d = norm(minus(coords[i], coords[j])); d > longest) {
        longest = d;
        ia = i;
        ib = j;
      }
  if (longest <= 0.0)
    return true;
  const Vec3 axis = minus(coords[ib], coords[ia]);
  for (const auto &p : coords) {
    // Distance of p from the line: |axis x (p - a)| / |axis|.
    const Vec3 v = minus(p, coords[ia]);
    const Vec3 cross = {axis[1] * v[2] - axis[2] * v[1], axis[2] * v[0] - axis[0] * v[2],
                        axis[0] * v[1] - axis[1] * v[0]};
    if (norm(cross) / longest > tolerance)
      return false;
  }
  return true;
}

std::vector<double> isotopeMasses(const std::vector<int> &atomicNumbers) {
  std::vector<double> masses;
  masses.reserve(atomicNumbers.size());
  for (const int z : atomicNumbers)
    masses.push_back(isotopeMass(z));
  return masses;
}

Vec3 centreOfMass(const std::vector<Vec3> &coords, const std::vector<double> &masses) {
  Vec3 sum{0.0, 0.0, 0.0};
  double total = 0.0;
  for (std::size_t i = 0; i < coords.size(); ++i) {
    for (int k = 0; k < 3; ++k)
      sum[k] += masses[i] * coords[i][k];
    total += masses[i];
  }
  if (total > 0.0)
    for (auto &s : sum)
      s /= total;
  return sum;
}

Matrix3 inertiaTensor(const std::vector<Vec3> &coords, const std::vector<double> &masses) {
  const Vec3 com = centreOfMass(coords, masses);
  Matrix3 t{};
  for (std::size_t i = 0; i < coords.size(); ++i) {
    const Vec3 r = minus(coords[i], com);
    const double r2 = r[0] * r[0] + r[1] * r[1] + r[2] * r[2];
    for (int a = 0; a < 3; ++a)
      for (int b = 0; b < 3; ++b)
        t[a][b] += masses[i] * ((a == b ? r2 : 0.0) - r[a] * r[b]);
  }
  return t;
}

PrincipalAxes principalAxes(const std::vector<Vec3> &coords, const std::vector<double> &masses) {
  const Matrix3 t = inertiaTensor(coords, masses);
  Eigen::Matrix3d m;
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b)
      m(a, b) = t[a][b];
  // Eigenvalues come in ascending order.
  const Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> solver(m);
  Eigen::Matrix3d v = solver.eigenvectors();
  // The sign of an axis is free: the first atom off the plane normal to it
  // gets a positive coordinate, so the same molecule in any frame comes out
  // the same; the third axis completes a right-handed frame.
  const Vec3 com = centreOfMass(coords, masses);
  for (int k = 0; k < 2; ++k)
    for (const auto &c : coords) {
      const double along =
          (c[0] - com[0]) * v(0, k) + (c[1] - com[1]) * v(1, k) + (c[2] - com[2]) * v(2, k);
      if (std::fabs(along) > 1.0e-4) {
        if (along < 0.0)
          v.col(k) = -v.col(k);
        break;
      }
    }
  v.col(2) = v.col(0).cross(v.col(1));
  PrincipalAxes p;
  for (int k = 0; k < 3; ++k) {
    // A moment of a linear molecule or an atom is zero up to rounding.
    p.moments[k] = std::max(0.0, solver.eigenvalues()(k));
    p.axes[k] = {v(0, k), v(1, k), v(2, k)};
  }
  return p;
}

std::vector<Vec3> toPrincipalFrame(const std::vector<Vec3> &coords,
                                   const std::vector<double> &masses, const PrincipalAxes &frame) {
  const Vec3 com = centreOfMass(coords, masses);
  std::vector<Vec3> out;
  out.reserve(coords.size());
  for (const auto &c : coords) {
    const Vec3 r = minus(c, com);
    Vec3 p{};
    for (int k = 0; k < 3; ++k)
      p[k] = r[0] * frame.axes[k][0] + r[1] * frame.axes[k][1] + r[2] * frame.axes[k][2];
    out.push_back(p);
  }
  return out;
}

double rotationalConstantGHz(double moment) {
  constexpr double PLANCK = 6.62607015e-34; // J s
  constexpr double AMU = 1.66053906660e-27; // kg
  constexpr double ANGSTROM2 = 1.0e-20;     // m^2
  const double pi = std::numbers::pi;
  return PLANCK / (8.0 * pi * pi * moment * AMU * ANGSTROM2) / 1.0e9;
}

std::string hillFormula(const std::vector<int> &atomicNumbers) {
  std::map<std::string, int> counts;
  for (const int z : atomicNumbers)
    ++counts[std::string(elementSymbol(z))];
  std::string formula;
  auto put = [&](const std::string &symbol) {
    const int n = counts[symbol];
    formula += symbol;
    if (n > 1)
      formula += std::to_string(n);
    counts.erase(symbol);
  };
  if (counts.contains("C")) {
    put("C");
    if (counts.contains("H"))
      put("H");
  }
  while (!counts.empty())
    put(counts.begin()->first); // std::map keeps the symbols sorted
  return formula;
}

double distanceRmsd(const std::vector<Vec3> &a, const std::vector<Vec3> &b) {
  auto sortedDistances = [](const std::vector<Vec3> &c) {
    std::vector<double> d;
    for (std::size_t i = 0; i < c.size(); ++i)
      for (std::size_t j = i + 1; j < c.size(); ++j)
        d.push_back(norm(minus(c[i], c[j])));
    std::sort(d.begin(), d.end());
    return d;
  };
  const std::vector<double> da = sortedDistances(a), db = sortedDistances(b);
  if (da.size() != db.size() || da.empty())
    return da.size() == db.size() ? 0.0 : std::numeric_limits<double>::infinity();
  double sum = 0.0;
  for (std::size_t k = 0; k < da.size(); ++k)
    sum += (da[k] - db[k]) * (da[k] - db[k]);
  return std::sqrt(sum / static_cast<double>(da.size()));
}

double alignedRmsd(const std::vector<Vec3> &a, const std::vector<Vec3> &b) {
  if (a.size() != b.size())
    return std::numeric_limits<double>::infinity();
  if (a.empty())
    return 0.0;
  const auto n = static_cast<Eigen::Index>(a.size());
  Eigen::MatrixXd pa(3, n), pb(3, n);
  for (Eigen::Index i = 0; i < n; ++i)
    for (int k = 0; k < 3; ++k) {
      pa(k, i) = a[static_cast<std::size_t>(i)][k];
      pb(k, i) = b[static_cast<std::size_t>(i)][k];
    }
  pa.colwise() -= pa.rowwise().mean();
  pb.colwise() -= pb.rowwise().mean();
  // Kabsch: the rotation R minimising |pa - R pb| is V diag(1, 1, d) U^T of
  // the SVD pb pa^T = U S V^T, d = sign det(V U^T) so that R is proper.
  const Eigen::JacobiSVD<Eigen::Matrix3d> svd(pb * pa.transpose(),
                                              Eigen::ComputeFullU | Eigen::ComputeFullV);
  Eigen::Matrix3d d = Eigen::Matrix3d::Identity();
  d(2, 2) = (svd.matrixV() * svd.matrixU().transpose()).determinant() < 0.0 ? -1.0 : 1.0;
  const Eigen::Matrix3d r = svd.matrixV() * d * svd.matrixU().transpose();
  return std::sqrt((pa - r * pb).squaredNorm() / static_cast<double>(n));
}

double largestShift(const std::vector<int> &atomsA, const std::vector<Vec3> &a,
                    const std::vector<int> &atomsB, const std::vector<Vec3> &b) {
  if (a.size() != b.size() || atomsA != atomsB)
    return HUGE_VAL;
  double m = 0.0;
  for (std::size_t i = 0; i < a.size(); ++i)
    for (int k = 0; k < 3; ++k)
      m = std::max(m, std::fabs(a[i][k] - b[i][k]));
  return m;
}

bool sameGeometry(const Atoms &a, const Atoms &b) {
  return a.z == b.z && alignedRmsd(a.r, b.r) < 1.0e-3;
}

double largestShift(const Atoms &a, const Atoms &b) {
  return largestShift(a.z, a.r, b.z, b.r);
}

} // namespace orvalen::geometry
