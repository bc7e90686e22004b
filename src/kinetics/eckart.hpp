#pragma once

// Tunnelling through the unsymmetrical Eckart barrier (Eckart 1930; Johnston
// and Heicklen 1962): the exact transmission probability P(E) and its thermal
// average, the transmission coefficient
//   kappa(T) = exp(V1/kT)/kT * integral from E0 to infinity of P(E) exp(-E/kT) dE,
// energies measured from the reactants, E0 the higher of the two asymptotes
// (0 or V1 - V2). The barrier: forward height V1, reverse height V2, and the
// magnitude of the imaginary frequency at its top.

#include <optional>
#include <string>

namespace orvalen::kinetics {

struct EckartBarrier {
  double V1 = 0.0; // forward barrier, kJ/mol
  double V2 = 0.0; // reverse barrier, kJ/mol
  double nu = 0.0; // imaginary frequency (magnitude), cm-1
};

// Why the barrier is not defined (V1 or V2 not above zero or not finite, no
// imaginary frequency), or nothing when it is.
std::optional<std::string> eckartUndefined(const EckartBarrier &b);

// ln P(E) for E in kJ/mol above the reactants; -infinity at and below the
// higher asymptote. Formed as a product of sinh terms, so probabilities far
// below 1e-16 keep their relative accuracy; symmetric in (V1, V2) once E is
// shifted to the other side's asymptote.
double eckartLnTransmission(const EckartBarrier &b, double E);

// kappa(T), integrated to a relative accuracy of about 1e-8. The barrier must
// be defined (eckartUndefined gives nothing) and T positive.
double eckartKappa(const EckartBarrier &b, double T);

} // namespace orvalen::kinetics
