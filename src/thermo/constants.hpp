#pragma once

// Physical constants (CODATA 1998) and unit factors. Energies are carried in Hartree per molecule,
// reported in kJ/mol; 1 Hartree is 2625.3035184 kJ/mol, a factor of its own.

namespace orvalen {

inline constexpr double PI = 3.141592653589793;
inline constexpr double BOLTZ = 1.3806503e-23;             // J/K
inline constexpr double PLANCK = 6.62606876e-34;           // J s
inline constexpr double CLIGHT = 299792458.0;              // m/s
inline constexpr double AVOGADRO = 6.02214199e23;          // 1/mol
inline constexpr double RGAS = BOLTZ * AVOGADRO;           // J/(mol K)
inline constexpr double AMU = 1.66053873e-27;              // kg
inline constexpr double ANGSTROM = 1.0e-10;                // m
inline constexpr double KJ2HARTREE = 3.809083380231225e-4; // Hartree per kJ/mol
inline constexpr double KJ2KCAL = 0.2390057361376673;      // kcal per kJ (4.184 J/cal)
inline constexpr double KJMOL2J = 1.0 / AVOGADRO * 1000.0; // J per molecule in 1 kJ/mol

} // namespace orvalen
