#pragma once

// The scan's treatments beyond the rigid rotor and harmonic oscillator, as
// orvalen-scan's options set them. The defaults change nothing.

#include <optional>

namespace orvalen::extended {

// Entropy of the low real modes.
enum class QuasiHarmonic { Off, Grimme, Truhlar };

// A molecule's hindered rotors (its data file's block), each in place of the
// harmonic mode of its row: levels of the torsional potential, the classical
// integral over it, or left out (the harmonic modes stay).
enum class RotorTreatment { Quantum, Classical, Harmonic };

// The word of --rotors: "quantum", "classical", "harmonic".
inline const char *rotorTreatmentName(RotorTreatment t) {
  return t == RotorTreatment::Quantum     ? "quantum"
         : t == RotorTreatment::Classical ? "classical"
                                          : "harmonic";
}

struct PhysicsOptions {
  QuasiHarmonic entropy = QuasiHarmonic::Off;      // --qrrho
  bool dampedEnergy = false;                       // --qrrho-enthalpy (Head-Gordon)
  double cutoff = 100.0;                           // --qrrho-cutoff, cm-1
  double bav = 1.0e-44;                            // --qrrho-bav, kg m2
  double scale = 1.0;                              // --scale: every wavenumber
  std::optional<double> zpeScale;                  // --zpe-scale; absent: the --scale factor
  bool spinOrbitShift = false;                     // --spin-orbit-shift
  RotorTreatment rotors = RotorTreatment::Quantum; // --rotors; no molecule without rotors moves

  double zpeFactor() const { return zpeScale.value_or(scale); }
  // True when a real mode's values can differ from the report's harmonic ones
  // (the rotors' own rows apart: they change only molecules that have rotors).
  bool changesModes() const {
    return entropy != QuasiHarmonic::Off || dampedEnergy || scale != 1.0 || zpeFactor() != 1.0;
  }
};

} // namespace orvalen::extended
