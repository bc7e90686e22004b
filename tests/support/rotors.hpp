#pragma once

// Hindered rotors made by hand for the tests: a cosine barrier
// V0/2 (1 - cos(sigma phi)), or Fourier terms, about an axis of moment I.

#include "molecule/torsion.hpp"

#include <utility>

namespace orvalen::test {

// V0 in kJ/mol, I in amu A^2.
inline HinderedRotor cosineRotor(double v0, int sigma, double moment) {
  HinderedRotor r;
  r.cosine = true;
  r.barrier = v0;
  r.sigma = sigma;
  r.moment = moment;
  return r;
}

inline HinderedRotor fourierRotor(FourierTerms terms, double moment) {
  HinderedRotor r;
  r.fourier = std::move(terms);
  r.moment = moment;
  return r;
}

} // namespace orvalen::test
