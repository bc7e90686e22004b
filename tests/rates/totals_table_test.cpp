#include "rates/totals_table.hpp"

#include "base/error.hpp"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace orvalen {
namespace {

MoleculeTotals withQ(double q) {
  MoleculeTotals t;
  t.qtot = q;
  return t;
}

TEST(TotalsTable, EachMoleculeAtItsRoleAndIndexInTheOrderAdded) {
  TotalsTable table;
  table.add(PRODUCT, withQ(2.0));
  table.add(REACTANT, withQ(1.0));
  table.add(PRODUCT, withQ(3.0));
  EXPECT_EQ(table.count(REACTANT), 1);
  EXPECT_EQ(table.count(PRODUCT), 2);
  EXPECT_EQ(table.count(TRANSITION_STATE), 0);
  EXPECT_EQ(table.count(0), 3);
  EXPECT_EQ(table.at(REACTANT, 1).qtot, 1.0);
  EXPECT_EQ(table.at(PRODUCT, 1).qtot, 2.0);
  EXPECT_EQ(table.at(PRODUCT, 2).qtot, 3.0);
}

TEST(TotalsTable, IndexWithoutTotalsOrBeyondTheCapacityIsRefused) {
  TotalsTable full;
  for (int j = 0; j < MAX_PER_ROLE; ++j)
    full.add(TRANSITION_STATE, withQ(1.0));
  struct Case {
    const char *what;
    std::function<void()> call;
    const char *message;
  };
  const Case cases[] = {
      {"no molecule of the role", [&] { (void)full.at(REACTANT, 1); },
       "totals(1, 1): no molecule of that index has totals (0 of that role)"},
      {"one past the last", [&] { (void)full.at(TRANSITION_STATE, 11); },
       "totals(3, 11): no molecule of that index has totals (10 of that role)"},
      {"index 0", [&] { (void)full.at(TRANSITION_STATE, 0); },
       "totals(3, 0): no molecule of that index has totals (10 of that role)"},
      {"role 4", [&] { (void)full.at(4, 1); }, "totals(4, 1): role index out of range"},
      {"an eleventh of a role", [&] { full.add(TRANSITION_STATE, withQ(1.0)); },
       "totals(3, 11): more than 10 molecules of one role"},
  };
  for (const Case &c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.what << ": no error";
    } catch (const Error &e) {
      EXPECT_EQ(std::string(e.what()), c.message) << c.what;
    }
  }
  EXPECT_EQ(full.count(TRANSITION_STATE), MAX_PER_ROLE);
}

} // namespace
} // namespace orvalen
