#include "rates/whole_job.hpp"

namespace orvalen {

JobResults computeJob(MoleculeTable &mol, const Conditions &cond, const MoleculeStep &eachMolecule,
                      const JobPhysics &physics) {
  for (int role = REACTANT; role <= TRANSITION_STATE; ++role)
    for (int j = 1; j <= mol.npart(role); ++j) {
      Molecule &m = mol.at(role, j);
      const MoleculeThermo t = physics.thermo ? physics.thermo(m, cond) : computeThermo(m, cond);
      storeTotals(m, t);
      eachMolecule(role, m, t);
    }

  JobResults r;
  if (hasReaction(mol))
    r.reaction = reactionThermodynamics(mol);
  if (hasRateSection(mol))
    r.rates = rateConstants(mol, cond);
  if (cond.nexp >= 1) // also without a rate section: kG is then 0
    r.keff = effectiveRateConstant(r.rates.kG, cond);
  r.tunnelling = tunnelling(imaginaryFrequency(mol) * physics.imaginaryScale, r.rates.dH0,
                            r.reaction.drZpe, cond.T);
  return r;
}

} // namespace orvalen
