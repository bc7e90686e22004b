#pragma once

// The molecule's section of the report: heading and molecule data, the
// electronic, translational, rotational and vibrational blocks (with the table
// of all frequencies), the totals and the corrected energies.

#include "fixedio/format.hpp"
#include "molecule/conditions.hpp"
#include "molecule/molecule.hpp"
#include "thermo/constants.hpp"
#include "thermo/rrho.hpp"

namespace orvalen {

void writeMoleculeSection(fixedio::Writer &out, const Molecule &m, const Conditions &cond,
                          const MoleculeThermo &t);

// TDRRHO: computes the molecule's thermochemistry, writes its section and
// returns its totals (QTOT, STOT, ETOT, EZPE, EU, EH, EG); the record is not changed.
MoleculeTotals tdrrho(const Molecule &m, const Conditions &cond, fixedio::Writer &out);

} // namespace orvalen
