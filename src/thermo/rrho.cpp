#include "thermo/rrho.hpp"

#include "base/error.hpp"

#include <cmath>
#include <string>

// The arithmetic below keeps the order of the textbook formulas operation by
// operation (products left to right, cubes as x*x*x): the reports must agree to
// their last printed digit.

namespace orvalen {

Tdf calcTdf(double q, double dqdt, int hflag, double T) {
  const double lnq = std::log(q);
  Tdf r;
  r.f = -(RGAS * T) * lnq;                // J/mol
  r.s = RGAS * lnq + RGAS * T * dqdt / q; // J/(mol K)
  r.u = r.f + T * r.s;                    // = RT^2 dlnQ/dT
  r.h = r.u;
  if (hflag == 1)
    r.h = r.h + RGAS * T; // pV of the ideal gas, carried by translation only
  r.g = r.h - T * r.s;
  r.f = r.f / 1000.0;
  r.u = r.u / 1000.0;
  r.h = r.h / 1000.0;
  r.g = r.g / 1000.0;
  return r;
}

static Contribution withQ(double q, const Tdf &t) {
  return Contribution{q, t.s, t.f, t.u, t.h, t.g};
}

Contribution electronic(const Molecule &m, const Conditions &cond) {
  // Only the ground state counts: Q is its spin degeneracy, U = H = 0.
  const double g = static_cast<double>(m.mult);
  Contribution c;
  c.q = g;
  c.u = 0.0;
  c.h = 0.0;
  c.s = RGAS * std::log(g);
  c.g = c.h - c.s * cond.T * 0.001;
  c.f = c.u - c.s * cond.T * 0.001;
  return c;
}

Contribution translational(const Molecule &m, const Conditions &cond) {
  const double T = cond.T;
  const double vm = RGAS * T / cond.P;
  // (2 pi m kB / h^2)^(3/2) times the volume per molecule kB T / P; T^(3/2) apart.
  const double b = (PI + PI) * m.mass * AMU * BOLTZ;
  const double a = std::sqrt(b * b * b) / (PLANCK * PLANCK * PLANCK) * (vm / AVOGADRO);
  const double q = a * std::sqrt(T * T * T);
  const double dqdt = a * 1.5 * std::sqrt(T); // the volume per molecule held constant
  return withQ(q, calcTdf(q, dqdt, 1, T));
}

Contribution rotational(const Molecule &m, const Conditions &cond) {
  const double T = cond.T;
  if (m.natoms == 1) // an atom does not rotate
    return withQ(1.0, calcTdf(1.0, 0.0, 0, T));
  const double sigma = static_cast<double>(m.rotnum);
  // Moments of inertia from amu*A^2 to kg*m^2.
  const double ia = m.pmoi[0] * AMU * ANGSTROM * ANGSTROM;
  const double ib = m.pmoi[1] * AMU * ANGSTROM * ANGSTROM;
  const double ic = m.pmoi[2] * AMU * ANGSTROM * ANGSTROM;
  double q = 0.0;
  double dqdt = 0.0;
  if (m.linear != 1) {
    const double k1 = 8.0 * PI * PI * BOLTZ / PLANCK / PLANCK;
    const double k = k1 * k1 * k1;
    const double b = std::sqrt(PI * k * ia * ib * ic) / sigma;
    q = b * std::sqrt(T * T * T);
    dqdt = b * 1.5 * std::sqrt(T);
  } else {
    // A linear rotor has one moment: the file lists I, I, 0.
    const double b = 8.0 * (PI * PI) * BOLTZ * ia / sigma / (PLANCK * PLANCK);
    q = b * T;
    dqdt = b;
  }
  return withQ(q, calcTdf(q, dqdt, 0, T));
}

// d(QVIB)/dT of a harmonic oscillator counted from the potential bottom,
// QVIB = y / (1 - x) with x = exp(-theta/T) and y = exp(-theta/2T).
static double vibDqdt(double theta, double T, double x, double y) {
  const double d = 1.0 / x - 1.0;
  const double d2 = d * d;
  if (!std::isinf(d2) || std::isinf(d))
    return theta / ((T + T) * T) / y * (1.0 / x + 1.0) / d2;
  // theta/T between about 355 and 709: the square above overflows and the
  // quotient would come out as a finite 0, a hugely negative entropy and U
  // without the ZPE, printed as if sound. The same expression multiplied
  // through by x*x stays in range. Beyond that 1/x itself overflows and the
  // values become non-finite, which the report shows as such.
  return theta / ((T + T) * T) * y * (1.0 + x) / ((1.0 - x) * (1.0 - x));
}

int modeCount(double nfreq) {
  if (!(nfreq >= 1.0)) // also NaN: no rows
    return 0;
  if (nfreq >= static_cast<double>(MAX_FREQ) + 1.0)
    throw Error("FREQ(" + std::to_string(static_cast<long long>(std::fmin(nfreq, 1.0e15))) +
                "): more than " + std::to_string(MAX_FREQ) + " frequencies");
  return static_cast<int>(nfreq);
}

void addMode(Vibrations &v, const VibMode &r) {
  v.nused = v.nused + 1;
  v.zpeTot += r.zpe;
  v.qvib = v.qvib * r.qvib0;
  v.uvib += r.uvib;
  v.hvib += r.hvib;
  v.hh0Tot += r.hh0vib;
  v.gvib += r.gvib;
  v.fvib += r.fvib;
  v.svib += r.svib;
  v.cvibTot += r.cvib;
}

Vibrations vibrational(const Molecule &m, const Conditions &cond) {
  const double T = cond.T;
  Vibrations v;
  v.nmodes = modeCount(m.nfreq);
  for (int n = 0; n < v.nmodes; ++n) {
    VibMode &r = v.mode[static_cast<std::size_t>(n)];
    r.freq = m.freq[static_cast<std::size_t>(n)];
    r.xinten = m.xinten[static_cast<std::size_t>(n)];
    r.freqScaled = r.freq * v.scale;
    r.theta = 0.0;
    // Imaginary (negative) and zero modes are left out; the unscaled value is
    // tested, and a value that is not a number counts as used.
    if (!(r.freq > 0.1 || std::isnan(r.freq)))
      continue;
    r.lfreq = 1;
    const double nu = std::fabs(r.freqScaled) * CLIGHT * 100.0; // 1/s
    r.theta = nu * PLANCK / BOLTZ;
    const double zpeJ = PLANCK * nu * 0.5; // J per molecule
    const double x = std::exp(-r.theta / T);
    r.qvib0 = 1.0 / (1.0 - x);
    const double y = std::exp(-r.theta / (T + T));
    r.qvib = y / (1.0 - x); // 1 / (2 sinh(theta/2T))
    const Tdf t = calcTdf(r.qvib, vibDqdt(r.theta, T, x, y), 0, T);
    r.svib = t.s;
    r.fvib = t.f;
    r.uvib = t.u;
    r.hvib = t.h;
    r.gvib = t.g;
    r.zpe = zpeJ / KJMOL2J;
    r.hh0vib = r.hvib - r.zpe;

    addMode(v, r);
  }
  return v;
}

void formTotals(double etot, MoleculeThermo &t) {
  const Vibrations &v = t.vib;
  t.tot.q = t.elec.q * t.tran.q * t.rot.q * v.qvib;
  t.zpeTot = v.zpeTot;
  t.tot.u = t.elec.u + t.tran.u + t.rot.u + v.uvib;
  t.tot.h = t.elec.h + t.tran.h + t.rot.h + v.hvib;
  t.tot.g = t.elec.g + t.tran.g + t.rot.g + v.gvib;
  t.tot.f = t.elec.f + t.tran.f + t.rot.f + v.fvib;
  t.tot.s = t.elec.s + t.tran.s + t.rot.s + v.svib;
  correctEnergies(etot, t);
}

void correctEnergies(double etot, MoleculeThermo &t) {
  // ETOT is the energy at the potential bottom; the corrections bring it to T.
  CorrectedEnergies &c = t.corrected;
  c.etot = etot;
  c.zpe = t.zpeTot * KJ2HARTREE;
  c.u = t.tot.u * KJ2HARTREE;
  c.h = t.tot.h * KJ2HARTREE;
  c.f = t.tot.f * KJ2HARTREE;
  c.g = t.tot.g * KJ2HARTREE;
  c.ezpe = etot + t.zpeTot * KJ2HARTREE;
  c.eu = etot + t.tot.u * KJ2HARTREE;
  c.eh = etot + t.tot.h * KJ2HARTREE;
  c.ef = etot + t.tot.f * KJ2HARTREE;
  c.eg = etot + t.tot.g * KJ2HARTREE;
}

MoleculeThermo computeThermo(const Molecule &m, const Conditions &cond) {
  MoleculeThermo t;
  t.vm = RGAS * cond.T / cond.P;
  t.elec = electronic(m, cond);
  t.tran = translational(m, cond);
  t.rot = rotational(m, cond);
  t.vib = vibrational(m, cond);

  formTotals(m.etot, t);
  return t;
}

MoleculeTotals totalsOf(const MoleculeThermo &t) {
  MoleculeTotals s;
  s.etot = t.corrected.etot;
  s.ezpe = t.corrected.ezpe;
  s.eu = t.corrected.eu;
  s.eh = t.corrected.eh;
  s.eg = t.corrected.eg;
  s.stot = t.tot.s * (KJ2HARTREE * 0.001);
  s.qtot = t.tot.q;
  return s;
}

} // namespace orvalen
