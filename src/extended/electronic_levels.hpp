#pragma once

// The electronic partition function from a molecule's levels, and the
// spin-orbit stabilisation of a ground term that the computed energy lacks.

#include "molecule/molecule.hpp"
#include "thermo/rrho.hpp"

#include <vector>

namespace orvalen::extended {

// Qel = sum g_i exp(-e_i hc/kT) over the levels (e_i in cm-1 above the ground
// level), U = RT^2 dlnQ/dT, H = U, S = R ln Q + U/T, F and G = U - TS.
Contribution levelsContribution(const std::vector<ElectronicLevel> &levels, double T);

// The ground term's spin-orbit stabilisation, -sum(g_i e_i)/sum(g_i), in cm-1:
// the computed energy is that of the term's weighted mean, the molecule lives
// in its lowest level (Cl 2P: levels 0 (g 4) and 882.35 (g 2): -294.1 cm-1).
double spinOrbitShift(const std::vector<ElectronicLevel> &levels);

// A wavenumber (cm-1) as an energy per mole, kJ/mol: N_A h c (100 wavenumber) / 1000.
double wavenumberToKJmol(double wavenumber);

} // namespace orvalen::extended
