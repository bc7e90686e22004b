#pragma once

// Reaction thermodynamics: products minus reactants of E, E+ZPE, E+U, E+H, E+G
// and S, the ratio of the partition functions, and the report section that
// begins " Thermodynamic functions for the reaction".

#include "fixedio/format.hpp"
#include "molecule/conditions.hpp"
#include "molecule/molecule.hpp"
#include "rates/totals_table.hpp"
#include "thermo/constants.hpp"

#include <string>
#include <string_view>

namespace orvalen {

// Section titles live in a 255-character blank-padded text; longer text is cut.
inline constexpr std::size_t TITLE_LEN = 255;

// Replaces the last non-blank character of a text by a blank (no change when
// the text is all blank).
void blankLastNonBlank(std::string &text);

// trimmed(title) + tail, cut or blank-padded to TITLE_LEN characters.
std::string appendToTitle(std::string_view title, std::string_view tail);

// The title of a section over reactants and the molecules of `otherRole`:
// start, then "NAME +" for every reactant, arrow before the first molecule of
// the other role, "NAME +" for each of those, and the final "+" blanked. With
// reactants A, B and products C, D: "<start> A + B == C + D". Every step is
// cut at TITLE_LEN, and the last step blanks the last non-blank character
// whatever it is. The result is TITLE_LEN characters, blank-padded.
std::string sectionTitle(const MoleculeTable &mol, std::string_view start, int otherRole,
                         std::string_view arrow);

// Product of the QTOT of the molecules of `otherRole` divided by the product
// of the reactants' QTOT, formed as a running value in job order: divided by
// each reactant's, multiplied by each of the others'. When that running value
// leaves the range of doubles while every QTOT is positive and finite, the
// ratio is formed from the sum of the logarithms instead.
double partitionRatio(const TotalsTable &totals, int otherRole);

// The reaction quantities, products minus reactants. When the job has no
// reactant or no product they keep their start values (present = false).
struct ReactionTotals {
  bool present = false;
  std::string title = std::string(TITLE_LEN, ' ');
  double drE = 0.0;   // Hartree
  double drZpe = 0.0; // Hartree; the tunnelling section reads it
  double drU = 0.0;   // Hartree
  double drH = 0.0;   // Hartree
  double drG = 0.0;   // Hartree
  double drS = 0.0;   // Hartree/K
  double drQ = 1.0;   // product of the products' QTOT over the reactants'
};

// True when the job names at least one reactant and one product.
bool hasReaction(const MoleculeTable &mol);

// From each molecule's totals (`totals`, one per molecule of `mol`).
ReactionTotals reactionThermodynamics(const MoleculeTable &mol, const TotalsTable &totals);

// Two empty lines and the title, characters 1 to its last non-blank one.
void writeTitle(fixedio::Writer &out, std::string_view title);
// The temperature and pressure lines (pressure in Pa, atm, torr and bar).
void writeConditions(fixedio::Writer &out, const Conditions &cond);

// The whole reaction section: title, conditions, the summary table with one
// column per molecule (its name, Nneg and RotNum from `mol`, its energies from
// `molecules`), DrQ and the Dr lines. Writes nothing when the job has no
// reactant or no product.
void writeReactionSection(fixedio::Writer &out, const MoleculeTable &mol,
                          const TotalsTable &molecules, const Conditions &cond,
                          const ReactionTotals &totals);

} // namespace orvalen
