#include "qc/energy_precedence.hpp"

namespace orvalen::qc {

int energyRank(std::string_view level) {
  for (const EnergyLevel &l : ENERGY_LEVELS)
    if (l.name == level)
      return l.rank;
  return -1;
}

std::string_view higherLevel(std::string_view current, std::string_view found) {
  return energyRank(found) > energyRank(current) ? found : current;
}

std::optional<FoundEnergy> bestEnergy(std::span<const FoundEnergy> found, Printed which) {
  const FoundEnergy *best = nullptr;
  for (const FoundEnergy &e : found) {
    const int rank = energyRank(e.level), bestRank = best ? energyRank(best->level) : -2;
    if (rank > bestRank || (rank == bestRank && which == Printed::Last))
      best = &e;
  }
  if (!best)
    return std::nullopt;
  return *best;
}

} // namespace orvalen::qc
