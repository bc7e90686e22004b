#pragma once

// The molecules' thermochemistry totals of one job, as computeJob returns them
// and the reaction and rate sections combine them: the totals of MOL(role, j)
// at (role, j), filled in job order. The molecule table stays the input data.

#include "molecule/molecule.hpp"
#include "thermo/rrho.hpp"

#include <array>
#include <vector>

namespace orvalen {

class TotalsTable {
public:
  // The totals of MOL(role, j); throws orvalen::Error naming the index when
  // the table holds none there.
  const MoleculeTotals &at(int role, int j) const;
  // The totals of the next molecule of `role`, j = count(role) + 1; more than
  // MAX_PER_ROLE throws orvalen::Error naming the index.
  void add(int role, const MoleculeTotals &totals);
  // The molecules of `role` with totals; role 0: all of them.
  int count(int role) const;

private:
  std::array<std::vector<MoleculeTotals>, 3> byRole_;
};

} // namespace orvalen
