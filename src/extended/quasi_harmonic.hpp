#pragma once

// One vibrational mode: the harmonic oscillator as the report computes it,
// and the quasi-harmonic treatments of low modes. Wavenumbers in cm-1 (the
// scaled ones where a scale factor applies), T in K, entropies in J/(mol K),
// energies in kJ/mol.

namespace orvalen::extended {

// A harmonic mode: Q from its zero level and from the potential bottom, its
// entropy, its energy from the potential bottom (its ZPE included) and its ZPE.
struct HarmonicMode {
  double q0 = 1.0;
  double qBottom = 1.0;
  double s = 0.0;
  double u = 0.0; // = H
  double f = 0.0; // = G
  double g = 0.0;
  double zpe = 0.0;
};

// The report's arithmetic, operation by operation, so that a mode left
// harmonic gives the report's digits.
HarmonicMode harmonicMode(double wavenumber, double T);

// A mode's zero-point energy h c wavenumber / 2, kJ/mol.
double harmonicZpe(double wavenumber);

// Grimme's damping weight w = 1/(1 + (nu0/nu)^4), 1 for stiff modes, 0 for
// the softest (Chem. Eur. J. 18 (2012) 9955, eq. 8, exponent 4).
double grimmeWeight(double wavenumber, double cutoff);

// Entropy of the free rotor that stands for a low mode, Grimme eqs. 4-7:
// mu = h/(8 pi^2 nu), mu' = mu Bav/(mu + Bav), S = R[1/2 + ln((8 pi^3 mu' kT/h^2)^(1/2))];
// bav in kg m2.
double freeRotorEntropy(double wavenumber, double bav, double T);

// Grimme's interpolated entropy w S_HO + (1 - w) S_FR.
double grimmeEntropy(double w, double sHarmonic, double sFreeRotor);

// Head-Gordon's damped energy of a mode, w E_HO + (1 - w) RT/2, E_HO from the
// potential bottom (Li, Gomes, Head-Gordon, J. Phys. Chem. C 119 (2015) 1840).
double dampedEnergy(double w, double energyHarmonic, double T);

// A mode's partition function from its zero level with the S and H - ZPE in
// effect: exp(S/R - (H - ZPE)/RT), so that Q, G and kQ agree with S and H.
double modeQ0(double s, double thermalEnergy, double T);

} // namespace orvalen::extended
