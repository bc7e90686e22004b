#include "rates/totals_table.hpp"

#include "base/error.hpp"

#include <string>

namespace orvalen {

namespace {

std::string index(int role, int j) {
  return "(" + std::to_string(role) + ", " + std::to_string(j) + ")";
}

void checkRole(int role, int j) {
  if (role < REACTANT || role > TRANSITION_STATE)
    throw Error("totals" + index(role, j) + ": role index out of range");
}

} // namespace

const MoleculeTotals &TotalsTable::at(int role, int j) const {
  checkRole(role, j);
  const std::vector<MoleculeTotals> &totals = byRole_[static_cast<std::size_t>(role - 1)];
  if (j < 1 || static_cast<std::size_t>(j) > totals.size())
    throw Error("totals" + index(role, j) + ": no molecule of that index has totals (" +
                std::to_string(totals.size()) + " of that role)");
  return totals[static_cast<std::size_t>(j - 1)];
}

void TotalsTable::add(int role, const MoleculeTotals &totals) {
  checkRole(role, 0);
  std::vector<MoleculeTotals> &same = byRole_[static_cast<std::size_t>(role - 1)];
  if (same.size() >= MAX_PER_ROLE)
    throw Error("totals" + index(role, static_cast<int>(same.size()) + 1) + ": more than " +
                std::to_string(MAX_PER_ROLE) + " molecules of one role");
  same.push_back(totals);
}

int TotalsTable::count(int role) const {
  if (role == 0)
    return count(REACTANT) + count(PRODUCT) + count(TRANSITION_STATE);
  checkRole(role, 0);
  return static_cast<int>(byRole_[static_cast<std::size_t>(role - 1)].size());
}

} // namespace orvalen
