#include "qc/geometry.hpp"

#include <cmath>

namespace orvalen::qc {

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

} // namespace orvalen::qc
