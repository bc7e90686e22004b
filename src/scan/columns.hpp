#pragma once

// The quantities a scan writes at each temperature, one constant row each:
// the name and unit that head its CSV column, which jobs have it, where its
// value is taken from, and how the terminal table shows it, if at all. The
// table and the CSV write the rows in order; the JSON nests the same
// quantities under keys made of the rows' names and units. A new column is a
// row of COLUMNS in columns.cpp.

#include "scan/scan.hpp"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvalen::scan {

// A column's unit: a fixed text, or a rate constant's units in one of the
// report's four columns, which follow from the molecularity (and for
// kG * C**n from KEFF's exponent n).
struct Unit {
  const char *text = nullptr;     // "kJ/mol"; nullptr: a rate constant's units
  const char *suffix = "";        // what a JSON key ends with in this unit: "_kJmol"
  const char *hartreeSuffix = ""; // what it ends with for the same quantity in atomic units
  int column = 0;                 // a rate constant's: 0 1/s, 1 m3, 2 cm3, 3 L based
  bool effective = false;         // of kG * C**n
};

inline constexpr Unit KELVIN{.text = "K"};
inline constexpr Unit PASCAL{.text = "Pa"};
inline constexpr Unit NO_UNIT{.text = ""};
inline constexpr Unit KJ_PER_MOL{.text = "kJ/mol", .suffix = "_kJmol", .hartreeSuffix = "_hartree"};
inline constexpr Unit J_PER_K_MOL{
    .text = "J/K/mol", .suffix = "_JmolK", .hartreeSuffix = "_hartreeK"};
inline constexpr Unit HARTREE{.text = "Hartree", .suffix = "_hartree"};
inline constexpr Unit WAVENUMBER{.text = "cm-1", .suffix = "_cm1"};
constexpr Unit rateUnit(int column) {
  return Unit{.column = column};
}
constexpr Unit keffUnit(int column) {
  return Unit{.column = column, .effective = true};
}

// "kJ/mol", "cm3/molecule/s" for the result's molecularity.
std::string unitText(const Unit &unit, const ScanResult &r);

// Which jobs have a column, and how many times.
enum class Group {
  Point,       // every scan
  Molecule,    // once per molecule, headed by its name
  Reaction,    // with products
  Rates,       // with a transition state
  Keff,        // with a transition state and a KEFF line
  Coefficient, // with a transition state, once per tunnelling method with a label
  Fit,         // with a transition state and --fit
  Measured,    // with --measured
};

// How the terminal table shows a column.
enum class Cell {
  None,        // not at all
  Temperature, // %9.2f
  Energy,      // %11.3f
  Total,       // %14.3f under "heading(molecule)", only in a job without reaction and rates
  Rate,        // %14.5E, "-" when absent; the units stand once above the table
  Kappa,       // %12.4f, from 1e5 on %12.4E, "-" when absent
  Ratio,       // %12.4f from 0.01 to 1e5, else %12.4E, "-" when absent
};

// What a value is taken from: a point of a result, and the molecule of a
// Molecule column, the method of a Coefficient column.
struct At {
  const ScanResult &result;
  const ScanPoint &point;
  const MoleculePoint *molecule = nullptr;
  const TunnellingMethod *method = nullptr;
};

using ValueAt = std::optional<double> (*)(const At &);

struct Column {
  const char *key; // the CSV heading before " (unit)"; a Molecule column's follows the name
  Unit unit;
  Group group;
  ValueAt value;                 // in `unit`; absent: an empty CSV cell, null in the JSON
  Cell cell = Cell::None;        // in the terminal table
  const char *heading = nullptr; // there; a Coefficient column's is its method's
  ValueAt hartree = nullptr;     // an energy (entropy) as computed, in Hartree (Hartree/K)
};

// Every row in the order the table and the CSV write them.
std::span<const Column> columnTable();
// The row named `key` (the first of a rate constant's four).
const Column &columnNamed(std::string_view key);

// One column as a result has it.
struct ShownColumn {
  const Column *row = nullptr;
  std::size_t molecule = 0;                 // a Molecule column's index in a point's molecules
  const TunnellingMethod *method = nullptr; // a Coefficient column's
  std::string name;                         // "T", "OH Gtot", "kappa Eckart"
  std::string unit;                         // "K", "kJ/mol", "cm3/molecule/s"
  std::string heading;                      // the terminal table's: "G(OH)", "Sk.-Truhlar"

  std::optional<double> at(const ScanResult &r, const ScanPoint &p) const;
};

// The columns of `r` in order: the rows its job has; the run of Molecule rows
// once per molecule of the first temperature, the run of Coefficient rows
// once per tunnelling method with a label.
std::vector<ShownColumn> columnsOf(const ScanResult &r);

} // namespace orvalen::scan
