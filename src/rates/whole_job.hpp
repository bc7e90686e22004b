#pragma once

// The whole job at one temperature and pressure, in the order the report
// shows it: every molecule's thermochemistry, then the reaction, activation
// and rate constant, effective rate constant and tunnelling steps, each taking
// the molecules' totals from the thermochemistry's results. The molecule table
// is the job's input and is not changed. orvalen writes each part as it comes;
// orvalen-scan keeps them, e.g.
//   const JobResults r = computeJob(mol, cond, [&](int, const Molecule &m,
//                                                  const MoleculeThermo &t) { ... });
//   r.molecules.at(REACTANT, 1).ezpe; // ETOT + ZPEtot of the first reactant

#include "molecule/conditions.hpp"
#include "molecule/molecule.hpp"
#include "rates/kinetics.hpp"
#include "rates/reaction.hpp"
#include "rates/totals_table.hpp"
#include "rates/tunnelling.hpp"
#include "thermo/constants.hpp"
#include "thermo/rrho.hpp"

#include <functional>
#include <optional>

namespace orvalen {

struct JobResults {
  TotalsTable molecules;       // each molecule's totals, MOL(role, j)'s at (role, j)
  ReactionTotals reaction;     // present = false without a reactant or a product
  RateConstants rates;         // present = false without a reactant or a transition state
  std::optional<Columns> keff; // with a KEFF exponent n >= 1; from kG = 0 without rates
  Tunnelling tunnelling;       // computed in every run, as the report shows it
};

// Called once per molecule, roles in the order reactants, products,
// transition states, as soon as its thermochemistry is known.
using MoleculeStep = std::function<void(int role, const Molecule &m, const MoleculeThermo &t)>;

// How a caller computes what the report computes by the RRHO: each molecule's
// thermochemistry (empty: computeThermo, the report's; its corrected energies
// start from the energy it uses, which the totals carry on) and the factor on
// the imaginary frequency of the tunnelling coefficients (a frequency scale
// factor).
struct JobPhysics {
  std::function<MoleculeThermo(const Molecule &m, const Conditions &cond)> thermo;
  double imaginaryScale = 1.0;
};

// Throws orvalen::Error (a frequency table over its capacity) after the
// molecules before it were handed on.
JobResults computeJob(const MoleculeTable &mol, const Conditions &cond,
                      const MoleculeStep &eachMolecule, const JobPhysics &physics = {});

} // namespace orvalen
