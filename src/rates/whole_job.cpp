#include "rates/whole_job.hpp"

namespace orvalen {

JobResults computeJob(const MoleculeTable &mol, const Conditions &cond,
                      const MoleculeStep &eachMolecule, const JobPhysics &physics) {
  JobResults r;
  for (int role = REACTANT; role <= TRANSITION_STATE; ++role)
    for (int j = 1; j <= mol.npart(role); ++j) {
      const Molecule &m = mol.at(role, j);
      const MoleculeThermo t = physics.thermo ? physics.thermo(m, cond) : computeThermo(m, cond);
      r.molecules.add(role, totalsOf(t));
      eachMolecule(role, m, t);
    }

  if (hasReaction(mol))
    r.reaction = reactionThermodynamics(mol, r.molecules);
  if (hasRateSection(mol))
    r.rates = rateConstants(mol, r.molecules, cond);
  if (cond.nexp >= 1) // also without a rate section: kG is then 0
    r.keff = effectiveRateConstant(r.rates.kG, cond);
  r.tunnelling = tunnelling(imaginaryFrequency(mol) * physics.imaginaryScale, r.rates.dH0,
                            r.reaction.drZpe, cond.T);
  return r;
}

} // namespace orvalen
