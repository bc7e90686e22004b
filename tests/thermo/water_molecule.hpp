#pragma once

// The water-like molecule of the thermochemistry tests and of
// tests/fixtures/thermo (water_section.py holds the same data).

#include "molecule/molecule.hpp"

#include <algorithm>
#include <iterator>

namespace orvalen::test {

// Mass, moments, rotation number and energy; no frequencies.
inline Molecule waterRotor() {
  Molecule m;
  m.name = fixedText("H2O", NAME_LEN);
  m.natoms = 3;
  m.mult = 1;
  m.rotnum = 2;
  m.linear = 0;
  m.mass = 18.01056;
  m.pmoi = {0.6145, 1.1549, 1.7694};
  m.etot = -76.4;
  return m;
}

// The same with nine frequency rows: six zero modes, then the three vibrations.
inline Molecule water() {
  Molecule m = waterRotor();
  const double freq[] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1648.0, 3832.0, 3943.0};
  const double inten[] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 71.5, 2.6, 44.3};
  m.nfreq = 9.0;
  std::copy(std::begin(freq), std::end(freq), m.freq.begin());
  std::copy(std::begin(inten), std::end(inten), m.xinten.begin());
  return m;
}

} // namespace orvalen::test
