#include "molecule/conditions.hpp"
#include "thermo/constants.hpp"

#include <gtest/gtest.h>

namespace orvalen {
namespace {

TEST(Constants, EachIsExactlyItsDouble) {
  // The computed ones are computed: R = kB * NA, and 1 kJ/mol per molecule = 1/NA * 1000.
  EXPECT_EQ(RGAS, 8.314472145136097);
  EXPECT_EQ(KJMOL2J, 1.6605387280149466e-21);
  EXPECT_EQ(KJ2HARTREE, 3.809083380231225e-4);
  EXPECT_EQ(KJ2KCAL, 0.2390057361376673);
  EXPECT_EQ(PI, 3.141592653589793);
  // RT at 298.15 K is 2478.95987... J/mol, not that of a rounded R = 8.314.
  EXPECT_NEAR(RGAS * DEFAULT_T, 2478.95987, 0.5e-5);
  // 1 Hartree is 2625.3035184 kJ/mol (not 2625.4996): 0.001 Hartree shows as
  // 2.6253035184 kJ/mol, the Hartree value divided by the factor.
  EXPECT_NEAR(0.001 / KJ2HARTREE, 2.6253035184, 1e-12);
  EXPECT_NEAR(1.0 / KJ2HARTREE, 2625.3035184, 1e-9);
  // The thermochemical calorie: 1 kJ/mol = 1/4.184 kcal/mol.
  EXPECT_NEAR(KJ2KCAL * 4.184, 1.0, 1e-15);
  const Conditions cond;
  EXPECT_EQ(cond.T, 298.15);
  EXPECT_EQ(cond.P, 101325.0);
  EXPECT_EQ(cond.nexp, 0);
}

} // namespace
} // namespace orvalen
