#include "rates/plausibility.hpp"

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

namespace orvalen {

namespace {

std::string fixed2(double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", x);
  return buf;
}

std::string sci(double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3e", x);
  return buf;
}

std::string names(const MoleculeTable &mol, int role) {
  std::string s;
  for (int j = 1; j <= mol.npart(role); ++j)
    s += (j > 1 ? " + " : "") + trimmed(mol.at(role, j).name);
  return s;
}

} // namespace

std::optional<RateLimit> rateLimit(const MoleculeTable &mol, const RateConstants &r) {
  // With several transition states the product of their Q is not a rate
  // constant of one path: there is no limit to compare it with.
  if (mol.npart(TRANSITION_STATE) != 1)
    return std::nullopt;
  if (r.m == 2)
    return RateLimit{COLLISION_LIMIT, 2};
  if (r.m == 1)
    return RateLimit{r.kTh, 0};
  return std::nullopt;
}

std::optional<std::string> submergedBarrier(const MoleculeTable &mol, const RateConstants &r) {
  const double dH0 = r.dH0 / KJ2HARTREE; // kJ/mol
  if (!(std::isfinite(dH0) && dH0 < 0.0))
    return std::nullopt;
  return "the transition state " + names(mol, TRANSITION_STATE) + " lies below the reactants " +
         names(mol, REACTANT) + ": dH0 = " + fixed2(dH0) +
         " kJ/mol (E+ZPE); a submerged barrier is possible, but check that every energy "
         "comes from the same method and belongs to the molecule named";
}

void checkResults(const MoleculeTable &mol, const Conditions &cond, const JobResults &results,
                  Warnings &warnings) {
  const RateConstants &r = results.rates;
  // A report already known to be unusable (a data file missing or empty) has
  // been named; its numbers say nothing more.
  if (!r.present || warnings.reportUnsound())
    return;
  const std::string at = " at " + numberText(cond.T) + " K";
  const double dH0 = r.dH0 / KJ2HARTREE; // kJ/mol
  if (auto text = submergedBarrier(mol, r))
    warnings.add(std::move(*text));
  const std::optional<RateLimit> limit = rateLimit(mol, r);
  const double k = limit ? std::fmax(r.kQ[limit->column], r.kG[limit->column]) : 0.0;
  if (limit && std::isfinite(k) && k > limit->value) {
    if (r.m == 2)
      warnings.add("the bimolecular rate constant kQ = " + sci(r.kQ[2]) + ", kG = " + sci(r.kG[2]) +
                   " cm3/molecule/s" + at +
                   " is above the collision limit of about 1e-9 cm3/molecule/s, which no "
                   "reaction exceeds: check the energies (dH0 = " +
                   fixed2(dH0) + " kJ/mol) and the molecules");
    else
      warnings.add("the unimolecular rate constant kQ = " + sci(r.kQ[0]) +
                   ", kG = " + sci(r.kG[0]) + " 1/s" + at + " is above kB*T/h = " + sci(r.kTh) +
                   " 1/s, which no reaction exceeds: check the energies (dH0 = " + fixed2(dH0) +
                   " kJ/mol) and the molecules");
  }
  const int power = r.m - mol.npart(TRANSITION_STATE);
  if (power != 0 && std::fabs(cond.P / P0 - 1.0) > 0.05)
    warnings.add("the pressure " + numberText(cond.P) +
                 " Pa is not the standard pressure P0 = 100000 Pa: the rate constants kQ and kG "
                 "carry the factor (P/P0)^" +
                 std::to_string(power) + " = " + sci(std::pow(cond.P / P0, power)) +
                 " (each Qtran is taken at the job's pressure, the concentration factor at P0); "
                 "the rate constant at the standard state is kQ * (P0/P)^" +
                 std::to_string(power));
}

} // namespace orvalen
