#include "extended/molecule_thermo.hpp"

#include "base/error.hpp"
#include "extended/electronic_levels.hpp"
#include "extended/quasi_harmonic.hpp"

#include <algorithm>
#include <cmath>
#include <string>

namespace orvalen::extended {

namespace {

int opticalIsomersOf(const Molecule &m) {
  return m.opticalIsomers > 1 ? m.opticalIsomers : 1;
}

// n mirror-image forms: Q times n, S + R ln n, F and G - RT ln n; held in the
// rotational contribution, as a symmetry number would be.
void addOpticalIsomers(Contribution &rot, int n, double T) {
  const double lnN = std::log(static_cast<double>(n));
  rot.q = rot.q * static_cast<double>(n);
  rot.s = rot.s + RGAS * lnN;
  rot.f = rot.f - RGAS * T * lnN / 1000.0;
  rot.g = rot.g - RGAS * T * lnN / 1000.0;
}

// One used row: the harmonic mode at the scaled wavenumber, the ZPE from the
// unscaled one times the ZPE factor, then the quasi-harmonic entropy and energy.
void fillRow(VibMode &r, double T, const PhysicsOptions &o) {
  const HarmonicMode h = harmonicMode(r.freqScaled, T);
  r.theta = std::fabs(r.freqScaled) * CLIGHT * 100.0 * PLANCK / BOLTZ;
  double zpe = o.zpeFactor() * harmonicZpe(r.freq);
  // Energy from the potential bottom: the scaled mode's thermal part over the ZPE in effect.
  double u = zpe == h.zpe ? h.u : zpe + (h.u - h.zpe);
  double s = h.s;
  bool harmonic = true;
  const double w = grimmeWeight(r.freqScaled, o.cutoff);
  if (o.entropy == QuasiHarmonic::Grimme) {
    s = grimmeEntropy(w, h.s, freeRotorEntropy(r.freqScaled, o.bav, T));
    harmonic = false;
  } else if (o.entropy == QuasiHarmonic::Truhlar && r.freqScaled < o.cutoff) {
    s = harmonicMode(o.cutoff, T).s; // the mode raised to the cut-off, for S only
    harmonic = false;
  }
  if (o.dampedEnergy) {
    u = dampedEnergy(w, u, T);
    zpe = w * zpe; // the energy's limit at 0 K
    harmonic = false;
  }
  r.svib = s;
  r.zpe = zpe;
  r.uvib = u;
  r.hvib = u;
  r.hh0vib = r.hvib - r.zpe;
  if (harmonic && zpe == h.zpe) {
    r.fvib = h.f;
    r.gvib = h.g;
  } else {
    r.gvib = r.hvib - T * r.svib / 1000.0;
    r.fvib = r.gvib;
  }
  if (harmonic) {
    r.qvib0 = h.q0;
    r.qvib = h.qBottom;
  } else {
    r.qvib0 = modeQ0(r.svib, r.hh0vib, T);
    r.qvib = r.qvib0 * std::exp(-r.zpe * 1000.0 / (RGAS * T));
  }
}

// What the sums take of a harmonic mode, in closed form with one exponential
// and one logarithm (the many structures of a molecule at many temperatures
// need no more): x = exp(-theta/T), Q0 = 1/(1 - x), ZPE = R theta/2,
// U = H = ZPE + R theta x/(1 - x), S = R[(theta/T) x/(1 - x) - ln(1 - x)],
// F = G = H - TS. The same values as the report's arithmetic to rounding.
void fillHarmonicSums(VibMode &r, double T) {
  const double theta = r.freqScaled * CLIGHT * 100.0 * PLANCK / BOLTZ;
  const double x = std::exp(-theta / T);
  const double excited = x / (1.0 - x); // mean quanta
  r.qvib0 = 1.0 / (1.0 - x);
  r.zpe = RGAS * theta / 2.0 / 1000.0;
  r.uvib = r.zpe + RGAS * theta * excited / 1000.0;
  r.hvib = r.uvib;
  r.hh0vib = r.hvib - r.zpe;
  r.svib = RGAS * (theta / T * excited - std::log1p(-x));
  r.gvib = r.hvib - T * r.svib / 1000.0;
  r.fvib = r.gvib;
}

} // namespace

bool usesLevels(const Molecule &m) {
  return !m.levels.empty() && !m.multFromJob;
}

std::vector<MoleculeFacts> prepareMolecules(const MoleculeTable &mol, const PhysicsOptions &options,
                                            Warnings &warnings) {
  std::vector<MoleculeFacts> facts;
  for (int role = REACTANT; role <= TRANSITION_STATE; ++role)
    for (int j = 1; j <= mol.npart(role); ++j) {
      const Molecule &m = mol.at(role, j);
      MoleculeFacts f;
      f.role = role;
      f.index = j;
      f.etot = m.etot;
      f.opticalIsomers = opticalIsomersOf(m);
      if (usesLevels(m))
        f.levels = m.levels;
      f.levelsSetAside = !m.levels.empty() && m.multFromJob;
      if (f.levelsSetAside)
        warnings.add(trimmed(m.name) + ": the job line's MULT=" + std::to_string(m.mult) +
                     " wins over the " + std::to_string(m.levels.size()) +
                     " electronic levels of its data file " + trimmed(m.fileNameAsWritten) +
                     ", which are set aside (Qel = " + std::to_string(m.mult) +
                     "); remove MULT= to use them");
      if (options.spinOrbitShift && usesLevels(m) && m.levelsFromTable) {
        const double shift = wavenumberToKJmol(spinOrbitShift(m.levels));
        f.etot = m.etot + shift * KJ2HARTREE;
        f.spinOrbitShift = shift;
      }
      facts.push_back(std::move(f));
    }
  if (options.spinOrbitShiftAsked &&
      std::none_of(facts.begin(), facts.end(),
                   [](const MoleculeFacts &f) { return f.spinOrbitShift.has_value(); }))
    warnings.add("--spin-orbit-shift shifts no energy: no molecule of the job has the levels of "
                 "orvalen-import's table (\"Electronic levels from  :table\" in its data file)");
  return facts;
}

Vibrations modeRows(const Molecule &m, const Conditions &cond, const PhysicsOptions &options) {
  Vibrations v;
  v.scale = options.scale;
  v.nmodes = modeCount(m.nfreq);
  for (int n = 0; n < v.nmodes; ++n) {
    VibMode &r = v.mode[static_cast<std::size_t>(n)];
    r.freq = m.freq[static_cast<std::size_t>(n)];
    r.xinten = m.xinten[static_cast<std::size_t>(n)];
    r.freqScaled = r.freq * v.scale;
    // The modes the report uses: the unscaled value tested, imaginary and zero modes left out.
    if (!(r.freq > 0.1 || std::isnan(r.freq)))
      continue;
    r.lfreq = 1;
    fillRow(r, cond.T, options);
  }
  return v;
}

void sumModes(Vibrations &v) {
  v.nused = 0;
  v.qvib = 1.0;
  v.zpeTot = v.uvib = v.hvib = v.hh0Tot = v.svib = v.fvib = v.gvib = v.cvibTot = 0.0;
  for (int n = 0; n < v.nmodes; ++n)
    if (const VibMode &r = v.mode[static_cast<std::size_t>(n)]; r.lfreq == 1)
      addMode(v, r);
}

MoleculeThermo moleculeThermo(const Molecule &m, double etot, const Conditions &cond,
                              const PhysicsOptions &options, const RowStep &rows) {
  const bool levels = usesLevels(m);
  const int isomers = opticalIsomersOf(m);
  const bool modes = options.changesModes() || rows;
  // Without a treatment of its own the steps are computeThermo's, one by one.
  MoleculeThermo t;
  t.vm = RGAS * cond.T / cond.P;
  t.elec = levels ? levelsContribution(m.levels, cond.T) : electronic(m, cond);
  t.tran = translational(m, cond);
  t.rot = rotational(m, cond);
  if (isomers > 1)
    addOpticalIsomers(t.rot, isomers, cond.T);
  if (modes) {
    t.vib = modeRows(m, cond, options);
    if (rows)
      rows(m, cond, t.vib);
    sumModes(t.vib);
  } else {
    t.vib = vibrational(m, cond);
  }
  formTotals(etot, t);
  return t;
}

MoleculeThermo structureThermo(const Molecule &m, double etot, const Conditions &cond,
                               const PhysicsOptions &options, const MoleculeThermo &shared) {
  const int isomers = opticalIsomersOf(m);
  MoleculeThermo t;
  t.vm = shared.vm;
  t.elec = shared.elec;
  t.tran = shared.tran;
  t.rot = rotational(m, cond);
  if (isomers > 1)
    addOpticalIsomers(t.rot, isomers, cond.T);
  if (options.changesModes()) {
    t.vib = modeRows(m, cond, options);
    sumModes(t.vib);
  } else {
    t.vib = vibrational(m, cond);
  }
  formTotals(etot, t);
  return t;
}

StructureTotals structureTotals(const Molecule &m, const Conditions &cond,
                                const PhysicsOptions &options, const MoleculeThermo &shared) {
  const int isomers = opticalIsomersOf(m);
  Contribution rot = rotational(m, cond);
  if (isomers > 1)
    addOpticalIsomers(rot, isomers, cond.T);
  // The sums of addMode over the used modes, in the same order.
  double qvib = 1.0, zpe = 0.0, u = 0.0, h = 0.0, g = 0.0, f = 0.0, s = 0.0;
  const int modes = modeCount(m.nfreq);
  const bool harmonic = !options.changesModes();
  for (int n = 0; n < modes; ++n) {
    VibMode r;
    r.freq = m.freq[static_cast<std::size_t>(n)];
    r.freqScaled = r.freq * options.scale;
    if (!(r.freq > 0.1 || std::isnan(r.freq)))
      continue;
    if (harmonic)
      fillHarmonicSums(r, cond.T);
    else
      fillRow(r, cond.T, options);
    zpe += r.zpe;
    qvib = qvib * r.qvib0;
    u += r.uvib;
    h += r.hvib;
    g += r.gvib;
    f += r.fvib;
    s += r.svib;
  }
  // The totals as formTotals forms them.
  StructureTotals t;
  t.tot.q = shared.elec.q * shared.tran.q * rot.q * qvib;
  t.tot.u = shared.elec.u + shared.tran.u + rot.u + u;
  t.tot.h = shared.elec.h + shared.tran.h + rot.h + h;
  t.tot.g = shared.elec.g + shared.tran.g + rot.g + g;
  t.tot.f = shared.elec.f + shared.tran.f + rot.f + f;
  t.tot.s = shared.elec.s + shared.tran.s + rot.s + s;
  t.zpe = zpe;
  return t;
}

MoleculeThermo moleculeThermo(const Molecule &m, const Conditions &cond,
                              const PhysicsOptions &options, const RowStep &rows) {
  return moleculeThermo(m, m.etot, cond, options, rows);
}

double pathDegeneracy(const MoleculeTable &mol) {
  double up = 1.0;
  double down = 1.0;
  for (int j = 1; j <= mol.npart(REACTANT); ++j) {
    const Molecule &m = mol.at(REACTANT, j);
    up = up * static_cast<double>(m.rotnum);
    down = down * static_cast<double>(opticalIsomersOf(m));
  }
  for (int j = 1; j <= mol.npart(TRANSITION_STATE); ++j) {
    const Molecule &m = mol.at(TRANSITION_STATE, j);
    up = up * static_cast<double>(opticalIsomersOf(m));
    down = down * static_cast<double>(m.rotnum);
  }
  return up / down;
}

} // namespace orvalen::extended
