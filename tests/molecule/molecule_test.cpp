#include "base/error.hpp"
#include "molecule/molecule.hpp"

#include <gtest/gtest.h>

namespace orvalen {
namespace {

TEST(MoleculeTable, StartsWithNotGivenValuesAndEnforcesItsBounds) {
  MoleculeTable mol;
  for (int role = 1; role <= 3; ++role) {
    EXPECT_EQ(mol.npart(role), 0);
    for (int j = 1; j <= MAX_PER_ROLE; ++j) {
      const Molecule &m = mol.at(role, j);
      EXPECT_EQ(m.mult, NOT_GIVEN);
      EXPECT_EQ(m.rotnum, NOT_GIVEN);
      EXPECT_EQ(m.etot, NOT_GIVEN_REAL);
      EXPECT_EQ(m.nfreq, 0.0);
      EXPECT_EQ(m.name, std::string(20, ' '));
    }
  }
  EXPECT_TRUE(isNotGiven(999999.0 + 0.5e-6));
  EXPECT_FALSE(isNotGiven(999999.0 + 2e-6));
  for (int j = 1; j <= MAX_PER_ROLE; ++j)
    EXPECT_EQ(mol.add(PRODUCT), j);
  EXPECT_EQ(mol.npart(0), 10);
  try {
    mol.add(PRODUCT);
    FAIL();
  } catch (const Error &e) {
    EXPECT_STREQ(e.what(), "MOL(2, 11): more than 10 products in the job");
  }
  EXPECT_THROW(mol.at(4, 1), Error);
  EXPECT_THROW(mol.at(1, 0), Error);
  EXPECT_THROW(mol.at(1, 11), Error);
}

} // namespace
} // namespace orvalen
