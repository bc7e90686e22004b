#pragma once

// Enthalpies of formation from computed atomization energies:
//   DfH(0 K, M) = sum_a n_a DfH(0 K, atom a) - [sum_a n_a E0(a) - E0(M)]
//   DfH(298.15 K, M) = DfH(0 K, M) + [H(298.15) - H(0)]_M
//                      - sum_e n_e [H(298.15) - H(0)]_e in its standard state
// with E0 = electronic energy + ZPE at one level of theory for the molecule
// and its atoms, and the gas-phase atoms' DfH(0 K) and the elements'
// H(298.15) - H(0) from the table ELEMENT_REFERENCES, each number with its
// source beside it.

#include <map>
#include <optional>
#include <string>

namespace orvalen::extended {

// Atoms of a molecule: atomic number -> count.
using Composition = std::map<int, int>;

// What the table holds of one element. A number not found in a published
// table is absent, and a molecule with that element has no enthalpy of
// formation.
struct ElementReference {
  int z = 0;
  const char *symbol = "";
  std::optional<double> atomDfH0; // kJ/mol: DfH(0 K) of the gas-phase atom
  const char *atomSource = "";
  std::optional<double>
      elementH298; // kJ/mol per atom: H(298.15) - H(0) of the element's standard state
  const char *elementSource = "";
};

// The row of an element, or nullptr when the table has none.
const ElementReference *elementReference(int z);

// The table's rows in order, for the documentation and the tests.
std::size_t elementReferenceCount();
const ElementReference &elementReferenceAt(std::size_t i);

// DfH(0 K) in kJ/mol: `atomE0` holds E0 of each element's atom, `moleculeE0`
// the molecule's, all in kJ/mol on one scale. Throws orvalen::Error naming
// the element when the table or `atomE0` lacks one of the molecule's.
double formationEnthalpy0K(const Composition &atoms, const std::map<int, double> &atomE0,
                           double moleculeE0);

// DfH(298.15 K) in kJ/mol from DfH(0 K) and the molecule's H(298.15) - H(0).
double formationEnthalpy298(const Composition &atoms, double dfH0, double thermal298);

// "C2H6": the formula in the Hill order (C, then H, then the others alphabetically).
std::string formulaText(const Composition &atoms);

} // namespace orvalen::extended
