#pragma once

// Results a chemist would question, whatever the data came from; each adds
// one warning (the numbers are written as computed), unless the job is already
// known to be unusable or the value is not finite (the report check names it):
//  - a transition state below the reactants (dH0 < 0): a submerged barrier is
//    possible, but more often the energies come from different methods;
//  - with one transition state, a bimolecular rate constant above the
//    gas-kinetic collision limit, about 1e-9 cm3/molecule/s, or a unimolecular
//    one above kB T / h;
//  - a job pressure more than 5 % from P0 = 1e5 Pa when the rate constants
//    carry the factor (P/P0)^(m - nTS): each Qtran is taken at the job's
//    pressure while the concentration factor Fc takes P0.

#include "base/warnings.hpp"
#include "rates/whole_job.hpp"

#include <cstddef>
#include <optional>
#include <string>

namespace orvalen {

inline constexpr double COLLISION_LIMIT = 1.0e-9; // cm3/molecule/s

// The bound no rate constant of the job exceeds at the temperature of `r`:
// with one transition state, the collision limit for a bimolecular reaction
// (in the report's third column, cm3/molecule/s) or kB T/h for a
// unimolecular one (first column, 1/s); nothing for other jobs.
struct RateLimit {
  double value = 0.0;
  std::size_t column = 0; // the report's column in the limit's units
};
std::optional<RateLimit> rateLimit(const MoleculeTable &mol, const RateConstants &r);

// The warning for a transition state below the reactants (dH0 < 0), as the
// report's run gives it; nothing otherwise.
std::optional<std::string> submergedBarrier(const MoleculeTable &mol, const RateConstants &r);

void checkResults(const MoleculeTable &mol, const Conditions &cond, const JobResults &results,
                  Warnings &warnings);

} // namespace orvalen
