#pragma once
// Elements by atomic number: symbol and the mass of the most abundant isotope
// (amu), the masses the programs use for a frequency analysis. Known from H
// (1) to Rn (86); technetium, promethium, polonium, astatine and radon, which
// have no stable isotope, take their longest-lived or customary one.
#include <optional>
#include <string_view>

namespace orvalen {

inline constexpr int MAX_ELEMENT = 86;

// "H", "He", ...; empty for a number outside 1..MAX_ELEMENT.
std::string_view elementSymbol(int atomicNumber);

// Mass of the most abundant isotope in amu (12C = 12 exactly); throws
// orvalen::Error for a number outside 1..MAX_ELEMENT.
double isotopeMass(int atomicNumber);

// The atomic number of a symbol, letter case ignored ("CL", "cl", "Cl").
std::optional<int> atomicNumberOf(std::string_view symbol);

} // namespace orvalen
