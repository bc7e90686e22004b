#pragma once
// The one order of the methods an output reports energies of: an output that
// computed several at one geometry gives the record the highest, CCSD(T) over
// CCSD over MP2 over the SCF (Hartree-Fock, "SCF", or a density functional,
// "DFT", which rank alike). Every reader notes the energies it finds with their
// method and line and lets bestEnergy choose; a reader whose program prints one
// energy and names its method elsewhere (ORCA) raises the method with
// higherLevel.
//
//   const std::vector<FoundEnergy> found = {{"SCF", -76.02, 120}, {"MP2", -76.21, 131}};
//   bestEnergy(found)->level == "MP2"
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orvalen::qc {

struct EnergyLevel {
  std::string_view name; // as QcRecord::energyLevel names it
  int rank;              // a higher rank is the better energy
};

// Lowest first.
inline constexpr EnergyLevel ENERGY_LEVELS[] = {
    {"SCF", 0}, {"DFT", 0}, {"MP2", 1}, {"CCSD", 2}, {"CCSD(T)", 3},
};

// The rank of `level` in ENERGY_LEVELS; -1 for a name that is not there (no
// method yet: "").
int energyRank(std::string_view level);

// The higher of two levels; `current` when they rank alike.
std::string_view higherLevel(std::string_view current, std::string_view found);

// An energy as an output printed it.
struct FoundEnergy {
  std::string level;    // a name of ENERGY_LEVELS
  double value = 0.0;   // Hartree
  std::size_t line = 0; // index of its line (counted from 0)
  std::string method{}; // as the output names it where the reader knows it then: "B3LYP/6-31G*"
};

// Which of several energies of the best level: the last printed (an
// optimiser prints the energy of each of its steps) or the first.
enum class Printed { Last, First };

// The energy of the highest level among `found`, of that level the last (or
// first) printed; nothing when `found` is empty.
std::optional<FoundEnergy> bestEnergy(std::span<const FoundEnergy> found,
                                      Printed which = Printed::Last);

} // namespace orvalen::qc
