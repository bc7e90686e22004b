#pragma once

// RRHO thermochemistry of one molecule: the electronic, translational,
// rotational and harmonic vibrational contributions to Q, U, H, S, F and G at
// the job's temperature and pressure, their totals, and the electronic energy
// corrected by them. Energies are in kJ/mol, entropies in J/(mol K), the
// corrected energies in Hartree.

#include "molecule/conditions.hpp"
#include "molecule/molecule.hpp"
#include "thermo/constants.hpp"

#include <array>

namespace orvalen {

// Thermodynamic functions of one contribution: S in J/(mol K), F, U, H, G in kJ/mol.
struct Tdf {
  double s = 0.0;
  double f = 0.0;
  double u = 0.0;
  double h = 0.0;
  double g = 0.0;
};

// CALCTDF: the functions of a partition function q with temperature derivative
// dqdt at temperature T. hflag 1 adds the pV term RT to H (translation); any
// other value leaves H = U (rotation, vibration).
Tdf calcTdf(double q, double dqdt, int hflag, double T);

// One contribution: its partition function and functions.
struct Contribution {
  double q = 1.0;
  double s = 0.0; // J/(mol K)
  double f = 0.0; // kJ/mol
  double u = 0.0;
  double h = 0.0;
  double g = 0.0;
};

// One row of the vibration table. A mode that is not used keeps these values.
struct VibMode {
  double freq = 0.0;       // cm-1 as the record holds it; imaginary modes negative
  double xinten = 0.0;     // km/mol
  double freqScaled = 0.0; // cm-1
  double rmass = 0.0;      // reduced mass: no step fills it
  int lfreq = 0;           // 1 = the mode enters the thermodynamic functions
  double theta = 0.0;      // vibrational temperature, K
  double svib = 0.0;       // J/(mol K)
  double zpe = 0.0;        // kJ/mol
  double hh0vib = 0.0;     // thermal enthalpy H - ZPE, kJ/mol
  double uvib = 0.0;       // from the potential bottom, kJ/mol
  double hvib = 0.0;
  double fvib = 0.0;
  double gvib = 0.0;
  double cvib = 0.0;  // heat capacity: no step fills it
  double qvib0 = 1.0; // counted from the zero level
  double qvib = 1.0;  // counted from the potential bottom
};

// The vibrational step: one row per frequency of the record, and the sums over
// the used modes (energies from the potential bottom, Q from the zero level).
struct Vibrations {
  double scale = 1.0; // frequency scaling factor, fixed
  int nmodes = 0;     // NFREQ as an integer: the rows in use
  std::array<VibMode, MAX_FREQ> mode{};
  int nused = 0;
  double qvib = 1.0;
  double zpeTot = 0.0;
  double uvib = 0.0;
  double hvib = 0.0;
  double hh0Tot = 0.0;
  double svib = 0.0;
  double fvib = 0.0;
  double gvib = 0.0;
  double cvibTot = 0.0;
};

// The energy used corrected by the totals, and the corrections themselves, in Hartree.
struct CorrectedEnergies {
  double etot = 0.0; // the energy used: the record's ETOT, or ETOT shifted by the scan's options
  double zpe = 0.0;  // ZPEtot in Hartree
  double u = 0.0;
  double h = 0.0;
  double f = 0.0;
  double g = 0.0;
  double ezpe = 0.0; // ETOT + ZPEtot
  double eu = 0.0;
  double eh = 0.0;
  double ef = 0.0;
  double eg = 0.0;
};

// Everything the molecule's report section shows.
struct MoleculeThermo {
  double vm = 0.0; // molar volume RT/P, m3/mol
  Contribution elec;
  Contribution tran;
  Contribution rot;
  Vibrations vib;
  Contribution tot; // q = Qelec Qtran Qrot Qvib
  double zpeTot = 0.0;
  CorrectedEnergies corrected;
};

Contribution electronic(const Molecule &m, const Conditions &cond);
Contribution translational(const Molecule &m, const Conditions &cond);
Contribution rotational(const Molecule &m, const Conditions &cond);
// Throws orvalen::Error naming FREQ when NFREQ exceeds the 300 rows.
Vibrations vibrational(const Molecule &m, const Conditions &cond);

// NFREQ as a count of rows; more than MAX_FREQ throws orvalen::Error.
int modeCount(double nfreq);
// Adds one used mode's values to the sums of v (in the order the modes come).
void addMode(Vibrations &v, const VibMode &r);

MoleculeThermo computeThermo(const Molecule &m, const Conditions &cond);

// The totals over the four contributions and the energy `etot` (Hartree)
// corrected by them, from the contributions already in t (computeThermo's last
// step, with the record's ETOT; orvalen-scan's own thermochemistry ends with it
// too, with ETOT or ETOT shifted).
void formTotals(double etot, MoleculeThermo &t);

// Its last step: the corrected energies of t from `etot` (Hartree) and the
// totals already in t.
void correctEnergies(double etot, MoleculeThermo &t);

// What the reaction and rate sections take of one molecule's thermochemistry:
// the energy the corrections started from and the totals, in Hartree.
struct MoleculeTotals {
  double etot = 0.0; // the energy used: ETOT, or ETOT shifted by the scan's options
  double ezpe = 0.0; // ETOT + ZPEtot
  double eu = 0.0;   // ETOT + Utot
  double eh = 0.0;   // ETOT + Htot
  double eg = 0.0;   // ETOT + Gtot
  double stot = 0.0; // Hartree/K
  double qtot = 0.0; // total partition function
};

// QTOT, STOT (Hartree/K), the energy used, EZPE, EU, EH and EG of t.
MoleculeTotals totalsOf(const MoleculeThermo &t);

} // namespace orvalen
