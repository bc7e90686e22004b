// Geometries printed in bohr, in each program's way, are read in angstrom with
// the CODATA 2018 bohr, 0.529177210903 A. Real single points (NWChem "units
// au", Psi4 "units bohr") and xtb on a Turbomole coord file.

#include "qc/reader_fixtures.hpp"
#include "qc/readers.hpp"

#include <gtest/gtest.h>

namespace orvalen::test {
namespace {

constexpr double BOHR = 0.529177210903;

TEST(BohrGeometry, NwchemTableInAtomicUnits) {
  const auto rec = qc::readOutput(qcFixture("nwchem/h2o_au_energy.out"));
  // "Output coordinates in a.u.": "    2 H    1.0000    -1.42497200     0.00000000    -0.86686720"
  ASSERT_EQ(rec.coords.size(), 3u);
  EXPECT_DOUBLE_EQ(rec.coords[1][0], -1.42497200 * BOHR);
  EXPECT_DOUBLE_EQ(rec.coords[1][2], -0.86686720 * BOHR);
  EXPECT_DOUBLE_EQ(rec.energy, -76.010746508415); // "Total SCF energy =    -76.010746508415"
}

TEST(BohrGeometry, Psi4GeometryInBohr) {
  const auto rec = qc::readOutput(qcFixture("psi4/h2o_bohr_energy.out"));
  // "Geometry (in Bohr), ...": "H  -0.000000000000  1.424972000000 -0.962314833943  1.007825032230"
  ASSERT_EQ(rec.coords.size(), 3u);
  EXPECT_DOUBLE_EQ(rec.coords[1][1], 1.424972 * BOHR);
  EXPECT_DOUBLE_EQ(rec.coords[1][2], -0.962314833943 * BOHR);
  EXPECT_DOUBLE_EQ(rec.energy, -76.01072065711891); // "@DF-RHF Final Energy:   -76.01072065711891"
}

TEST(BohrGeometry, XtbFinalStructureAsTurbomoleCoord) {
  // The same optimisation as xtb/h2o, started from a coord file: the final
  // structure is a $coord block, "-0.00000000000000  1.45985582927978
  // -0.88729345018284  h", which the XYZ run printed as "H  0.00000000000000
  // 0.77252244149279  -0.46953547607292".
  const auto rec = qc::readOutput(qcFixture("xtb/h2o_coord/h2o_coord.out"));
  ASSERT_EQ(rec.coords.size(), 3u);
  EXPECT_DOUBLE_EQ(rec.coords[1][1], 1.45985582927978 * BOHR);
  EXPECT_NEAR(rec.coords[1][1], 0.77252244149279, 2e-8);
  EXPECT_NEAR(rec.coords[1][2], -0.46953547607292, 2e-8);
  EXPECT_EQ(rec.frequencies, (std::vector<double>{1539.06, 3643.31, 3651.98}));
}

} // namespace
} // namespace orvalen::test
