// Elements, Hill formulas, moments and the geometry comparisons.
#include "base/error.hpp"
#include "geometry/geometry.hpp"
#include "molecule/elements.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace orvalen::geometry {
namespace {

TEST(Elements, MassesOfTheMostAbundantIsotopes) {
  // Atomic mass evaluation 2016 (Wang et al., Chinese Phys. C 41, 030003).
  EXPECT_EQ(isotopeMass(6), 12.0);
  EXPECT_NEAR(isotopeMass(1), 1.00782503, 1e-8);
  EXPECT_NEAR(isotopeMass(8), 15.99491462, 1e-8);
  EXPECT_NEAR(isotopeMass(17), 34.96885268, 1e-8);
  EXPECT_NEAR(isotopeMass(26), 55.93493633, 1e-8);
  EXPECT_NEAR(isotopeMass(35), 78.9183376, 1e-7);
  EXPECT_NEAR(isotopeMass(54), 131.90415509, 1e-8);
  EXPECT_THROW(isotopeMass(0), Error);
  EXPECT_THROW(isotopeMass(MAX_ELEMENT + 1), Error);
  // Every symbol maps back to its number, whatever its letter case.
  for (int z = 1; z <= MAX_ELEMENT; ++z) {
    EXPECT_EQ(atomicNumberOf(elementSymbol(z)), z);
    // A nuclide mass lies within 0.1 of its mass number A, and z <= A <= 2.6 z + 1.
    const double m = isotopeMass(z), a = std::round(m);
    EXPECT_LT(std::fabs(m - a), 0.1) << z;
    EXPECT_GE(a, z);
    EXPECT_LE(a, 2.6 * z + 1.0) << z;
  }
  EXPECT_EQ(atomicNumberOf("CL"), 17);
  EXPECT_EQ(atomicNumberOf("xe"), 54);
  EXPECT_FALSE(atomicNumberOf("X"));
  EXPECT_FALSE(atomicNumberOf("Hx"));
}

TEST(Geometry, HillFormula) {
  EXPECT_EQ(hillFormula({8, 1, 1}), "H2O");
  EXPECT_EQ(hillFormula({1, 6, 1, 8, 1, 1}), "CH4O");
  EXPECT_EQ(hillFormula({17, 6, 9, 1, 35}), "CHBrClF");
  EXPECT_EQ(hillFormula({7, 1, 1, 1}), "H3N");
  EXPECT_EQ(hillFormula({16, 9, 9, 9, 9, 9, 9}), "F6S");
  EXPECT_EQ(hillFormula({6, 8, 8}), "CO2");
  EXPECT_EQ(hillFormula({1}), "H");
}

TEST(Geometry, MomentsOfADiatomicAndItsRotationalConstant) {
  // H2 at 0.7414 A: I = 2 m_H (r/2)^2; B = h / (8 pi^2 I) = 505.379 GHz amu A^2 / I.
  const PrincipalAxes p =
      principalAxes({{0, 0, 0}, {0.7414, 0, 0}}, {1.00782503223, 1.00782503223});
  const double moment = 2 * 1.00782503223 * 0.3707 * 0.3707;
  EXPECT_NEAR(p.moments[0], 0.0, 1e-12);
  EXPECT_NEAR(p.moments[1], moment, 1e-12);
  EXPECT_NEAR(p.moments[2], moment, 1e-12);
  EXPECT_NEAR(rotationalConstantGHz(moment), 505.379 / moment, 1e-3 * 505.379 / moment / 1000);
}

TEST(Geometry, DistanceComparisonsIgnoreFrameAndAtomOrder) {
  const std::vector<Vec3> a = {{0, 0, 0}, {1, 0, 0}, {0, 1.5, 0}};
  const std::vector<Vec3> turned = {{5, 5, 5}, {5, 6, 5}, {3.5, 5, 5}}; // 90 degrees, moved
  const std::vector<Vec3> reordered = {a[2], a[0], a[1]};
  EXPECT_NEAR(alignedRmsd(a, turned), 0.0, 1e-12);
  EXPECT_NEAR(distanceRmsd(a, reordered), 0.0, 1e-12);
  // One bond 0.3 A longer: of the three distances one changes by 0.3 and the
  // sorted third moves with it.
  const std::vector<Vec3> stretched = {{0, 0, 0}, {1.3, 0, 0}, {0, 1.5, 0}};
  EXPECT_GT(distanceRmsd(a, stretched), 0.1);
  EXPECT_GT(alignedRmsd(a, stretched), 0.05);
}

} // namespace
} // namespace orvalen::geometry
