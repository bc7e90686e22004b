#pragma once

// Transition State Theory rate constants: activation quantities (transition
// states minus reactants), kQ from the partition functions and the 0 K
// barrier, kG from the Gibbs energy of activation, each in four unit systems,
// and the effective rate constant kG * C**n for a given concentration.

#include "fixedio/format.hpp"
#include "molecule/conditions.hpp"
#include "molecule/molecule.hpp"
#include "rates/totals_table.hpp"
#include "thermo/constants.hpp"

#include <array>
#include <string>

namespace orvalen {

// Standard pressure of the concentration factor; the job pressure enters
// only through each molecule's translational partition function.
inline constexpr double P0 = 100000.0; // Pa

// base**n for an integer n by repeated squaring; a negative n raises the
// reciprocal of the base, n = 0 gives 1.0.
double integerPower(double base, int n);

// The four columns of Fc, A, kQ and kG: 1/s; m3-based per molecule;
// cm3-based per molecule; litre-based per mol.
using Columns = std::array<double, 4>;

struct RateConstants {
  bool present = false; // at least one reactant and one transition state
  std::string title;
  double dEa = 0.0;   // Hartree
  double dH0 = 0.0;   // Hartree, activation enthalpy at 0 K (the tunnelling barrier)
  double dH = 0.0;    // Hartree
  double dS = 0.0;    // Hartree/K
  double dG = 0.0;    // Hartree
  double prodQ = 1.0; // transition states' QTOT over the reactants'
  int m = 0;          // molecularity: the number of reactants
  double RT = 0.0;    // J/mol
  double RTk = 0.0;   // kJ/mol
  double kTh = 0.0;   // kB*T/h, 1/s
  double E0 = 0.0;    // exp(-dH0/RT)
  Columns fc{};       // concentration factor (RT/P0/NA)**(m-1) in the column's units
  Columns a{};        // pre-exponential factor
  Columns kQ{};
  Columns kG{}; // 0 when the section does not run: the effective rate constant scales them
};

// True when the job names at least one reactant and one transition state.
bool hasRateSection(const MoleculeTable &mol);

// From each molecule's totals (`totals`, one per molecule of `mol`).
RateConstants rateConstants(const MoleculeTable &mol, const TotalsTable &totals,
                            const Conditions &cond);

// The section " Kinetic parameters for the reaction"; nothing when the job has
// no reactant or no transition state.
void writeRateSection(fixedio::Writer &out, const MoleculeTable &mol, const Conditions &cond,
                      const RateConstants &rates);

// kG scaled by the concentration C (molecules/cm3) to the power n, in each
// column's units: column 1 unchanged, column 2 by (C*1e6)**n (per m3),
// column 3 by C**n, column 4 by (C/NA*1000)**n (mol per litre).
Columns effectiveRateConstant(const Columns &kG, const Conditions &cond);

// The two effective rate constant lines; nothing when cond.nexp < 1.
void writeEffectiveRateConstant(fixedio::Writer &out, const Conditions &cond, const Columns &keff);

} // namespace orvalen
