#pragma once
// Geometry of a molecule from its nuclei: what the readers and the data-file
// writer need without knowing any program.
#include <array>
#include <vector>

namespace orvalen::qc {

using Vec3 = std::array<double, 3>;

// True when every atom lies on one straight line (within `tolerance` A of the
// line through the two atoms farthest apart); one or two atoms are linear.
bool isLinearGeometry(const std::vector<Vec3> &coords, double tolerance = 1.0e-3);

} // namespace orvalen::qc
