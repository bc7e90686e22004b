#pragma once
// The low-lying electronic levels orvalen-import writes by itself: the
// spin-orbit components of the ground term of atoms (J levels, g = 2J+1) and
// of the X 2Pi state of diatomic radicals (two components of degeneracy 2
// each, Lambda doubling included), from published tables, for neutral species
// in their ground term's multiplicity. And the levels a user gives (--levels).
//
//   if (const auto *entry = qc::tableLevels("HO"))   // OH: X 2Pi(i)
//     entry->levels();                               // {0, 2}, {139.7, 2}
#include "molecule/molecule.hpp"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace orvalen::qc {

struct LevelTableEntry {
  std::string_view formula; // Hill formula: "O", "HO" (OH), "ClO"
  int multiplicity;         // 2S+1 of the ground term the levels belong to
  std::string_view term;    // "3P", "X 2Pi(i)"
  std::string_view source;  // where the numbers come from
  int count;                // levels used of `table`
  std::array<ElectronicLevel, 3> table;

  std::vector<ElectronicLevel> levels() const { return {table.begin(), table.begin() + count}; }
};

// The entry of a neutral species with that Hill formula; nullptr when the
// table has none.
const LevelTableEntry *tableLevels(std::string_view formula);

// Every entry, in the order of the table (for the help text and the tests).
const std::vector<LevelTableEntry> &levelTable();

// "E1:g1,E2:g2,...": energies in cm-1 above the ground level (the first at
// 0, then ascending), degeneracies of 1 or more, at most MAX_LEVELS. Throws
// orvalen::Error "--levels: ..." naming what was read.
std::vector<ElectronicLevel> parseLevels(std::string_view text);

} // namespace orvalen::qc
