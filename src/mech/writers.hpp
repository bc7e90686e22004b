#pragma once

// A mechanism as the kinetic-model solvers read it:
// - Cantera YAML: description, generator, units, one ideal-gas phase, the
//   species with composition and NASA7 thermo, the reactions with their
//   modified Arrhenius rate constants;
// - Chemkin: the mechanism (ELEMENTS, SPECIES, REACTIONS ... END) and the
//   thermo cards (80 columns, four cards a species, coefficients in E15.8).
// Every number of the YAML file is written with the fewest digits that read
// back to the same double.

#include "mech/mechanism.hpp"

#include <ostream>
#include <string>

namespace orvalen::mech {

// What the files say of their origin: the program and its version line.
struct Origin {
  std::string generator; // "orvalen-mech 0.1 (build 123)"
  std::string date;      // "YYMMDD", the thermo cards' date columns
};

void writeCantera(const Mechanism &m, const Origin &origin, std::ostream &out);
void writeChemkin(const Mechanism &m, const Origin &origin, std::ostream &out);
void writeThermo(const Mechanism &m, const Origin &origin, std::ostream &out);

// The thermo cards of one species (four lines of 80 columns each, with their
// line feeds).
std::string thermoCards(const Species &s, const std::string &date);

// The shortest text that reads back to x ("1e+13", "0.5", "-3.25e-07").
std::string shortestText(double x);

// "DfH(298.15 K) = -84.1 kJ/mol" or the scale without --atoms; the fit's
// largest deviations: what the files write beside each species.
std::string enthalpyNote(const Mechanism &m, const Species &s);
std::string fitNote(const Species &s);

} // namespace orvalen::mech
