#include "extended/conformers.hpp"

#include "base/error.hpp"
#include "molecule/mol_file.hpp"
#include "thermo/constants.hpp"
#include "thermo/rrho.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvalen::extended {

namespace {

// What the sum takes of one structure: its totals (from its own potential
// bottom; Q from its own zero-point level), its ZPE and the energy used.
struct Summand {
  Contribution tot;
  double zpe = 0.0;  // kJ/mol
  double etot = 0.0; // Hartree
};

Summand summandOf(const MoleculeThermo &t) {
  return {t.tot, t.zpeTot, t.corrected.etot};
}

// E0_j = E_j + ZPE_j in kJ/mol above E_0, the first structure's energy.
double zeroPoint(const Summand &s, double e0) {
  return (s.etot - e0) / KJ2HARTREE + s.zpe;
}

std::size_t lowestOf(std::span<const Summand> s) {
  std::size_t lowest = 0;
  for (std::size_t j = 1; j < s.size(); ++j)
    if (zeroPoint(s[j], s[0].etot) < zeroPoint(s[lowest], s[0].etot))
      lowest = j;
  return lowest;
}

// The sum over the structures `s` into `molecule`, which holds the full
// thermochemistry of s[lowest] (its contributions and ZPE the molecule keeps;
// its totals are replaced). Filled in place: the thermochemistry is large.
void combine(std::span<const Summand> s, std::size_t lowest, double T, MoleculeThermo &molecule,
             StructureWeights &sum) {
  const double gLowest = molecule.tot.g;
  sum.lowest = lowest;
  sum.conformationalG = 0.0;
  sum.weights.assign(s.size(), 0.0);
  if (s.size() < 2) {
    if (!s.empty())
      sum.weights[0] = 1.0;
    return;
  }
  const double RT = RGAS * T / 1000.0; // kJ/mol
  const double eLowest = s[lowest].etot;
  // -(G_j + E_j - E_1)/RT, its largest first subtracted so that exp neither
  // overflows nor underflows for the structures that count.
  std::vector<double> x(s.size());
  double xMax = -std::numeric_limits<double>::infinity();
  for (std::size_t j = 0; j < s.size(); ++j) {
    x[j] = -(s[j].tot.g + (s[j].etot - eLowest) / KJ2HARTREE) / RT;
    xMax = std::max(xMax, x[j]);
  }
  double z = 0.0;
  for (std::size_t j = 0; j < s.size(); ++j)
    z += std::exp(x[j] - xMax);
  Contribution &tot = molecule.tot;
  tot = Contribution{0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
  double mixing = 0.0; // -R sum w ln w
  const double e0Lowest = zeroPoint(s[lowest], eLowest);
  for (std::size_t j = 0; j < s.size(); ++j) {
    const double w = std::exp(x[j] - xMax) / z;
    sum.weights[j] = w;
    const double shift = (s[j].etot - eLowest) / KJ2HARTREE; // E_j - E_1, kJ/mol
    tot.q += s[j].tot.q * std::exp(-(zeroPoint(s[j], eLowest) - e0Lowest) / RT);
    tot.u += w * (s[j].tot.u + shift);
    tot.h += w * (s[j].tot.h + shift);
    tot.s += w * s[j].tot.s;
    if (w > 0.0)
      mixing -= RGAS * w * std::log(w);
  }
  tot.s += mixing;
  tot.g = -RT * (xMax + std::log(z));
  tot.f = tot.g - (tot.h - tot.u); // F - G = U - H (the translation's pV), the same for all
  sum.conformationalG = tot.g - gLowest;
  correctEnergies(eLowest, molecule);
}

} // namespace

StructureSum sumStructures(std::span<const MoleculeThermo> structures, double T) {
  std::vector<Summand> s;
  for (const MoleculeThermo &t : structures)
    s.push_back(summandOf(t));
  if (s.empty())
    return {};
  const std::size_t lowest = lowestOf(s);
  StructureSum sum{structures[lowest], {}};
  combine(s, lowest, T, sum.molecule, sum.structures);
  return sum;
}

std::vector<double> zeroPointLadder(std::span<const MoleculeThermo> structures) {
  std::vector<Summand> s;
  for (const MoleculeThermo &t : structures)
    s.push_back(summandOf(t));
  std::vector<double> ladder;
  if (s.empty())
    return ladder;
  const double e0Lowest = zeroPoint(s[lowestOf(s)], s[0].etot);
  for (const Summand &t : s)
    ladder.push_back(zeroPoint(t, s[0].etot) - e0Lowest);
  return ladder;
}

Molecule conformerRecord(const Molecule &m, const Conformer &c) {
  Molecule r = m;
  r.etot = m.etot + c.aboveMain;
  r.rotnum = c.rotnum;
  r.opticalIsomers = c.opticalIsomers;
  r.pmoi = c.pmoi;
  r.linear = linearity(c.pmoi);
  r.freq.fill(0.0);
  r.xinten.fill(0.0);
  const std::size_t rows = std::min(c.freq.size() + ZERO_ROWS, static_cast<std::size_t>(MAX_FREQ));
  for (std::size_t k = ZERO_ROWS; k < rows; ++k)
    r.freq[k] = c.freq[k - ZERO_ROWS];
  r.nfreq = static_cast<double>(rows);
  r.nneg = static_cast<int>(
      std::count_if(c.freq.begin(), c.freq.end(), [](double f) { return f < 0.0; }));
  r.rotors.clear();
  r.conformers.clear();
  return r;
}

StructureSet::StructureSet(const Molecule &m) : main_(&m) {
  for (const Conformer &c : m.conformers)
    records_.push_back(conformerRecord(m, c));
}

std::vector<MoleculeThermo> StructureSet::each(double etot, const Conditions &cond,
                                               const PhysicsOptions &options,
                                               const RowStep &rows) const {
  std::vector<MoleculeThermo> all;
  all.push_back(moleculeThermo(*main_, etot, cond, options, rows));
  for (std::size_t k = 0; k < records_.size(); ++k)
    all.push_back(structureThermo(records_[k], etot + main_->conformers[k].aboveMain, cond, options,
                                  all.front()));
  return all;
}

StructureSum StructureSet::thermo(double etot, const Conditions &cond,
                                  const PhysicsOptions &options, const RowStep &rows) const {
  StructureSum sum;
  sum.molecule = thermo(etot, cond, options, rows, sum.structures);
  return sum;
}

MoleculeThermo StructureSet::thermo(double etot, const Conditions &cond,
                                    const PhysicsOptions &options, const RowStep &rows,
                                    StructureWeights &weights) const {
  MoleculeThermo molecule = moleculeThermo(*main_, etot, cond, options, rows);
  weights = StructureWeights{{1.0}, 0, 0.0};
  if (records_.empty())
    return molecule;
  // The totals of each other structure, without its table of modes; the
  // whole of one only where it is the lowest (its contributions are shown).
  std::vector<Summand> s{summandOf(molecule)};
  std::size_t lowest = 0;
  for (std::size_t k = 0; k < records_.size(); ++k) {
    const double e = etot + main_->conformers[k].aboveMain;
    const StructureTotals t = structureTotals(records_[k], cond, options, molecule);
    s.push_back({t.tot, t.zpe, e});
    if (zeroPoint(s.back(), s[0].etot) < zeroPoint(s[lowest], s[0].etot))
      lowest = s.size() - 1;
  }
  if (lowest > 0)
    molecule = structureThermo(records_[lowest - 1], s[lowest].etot, cond, options, molecule);
  combine(s, lowest, cond.T, molecule, weights);
  return molecule;
}

void refuseConformersWithRotors(const MoleculeTable &mol, const PhysicsOptions &options) {
  if (options.conformers != ConformerTreatment::All || options.rotors == RotorTreatment::Harmonic)
    return;
  for (int role = REACTANT; role <= TRANSITION_STATE; ++role)
    for (int j = 1; j <= mol.npart(role); ++j) {
      const Molecule &m = mol.at(role, j);
      if (m.conformers.empty() || m.rotors.empty())
        continue;
      throw Error(trimmed(m.name) + ": its data file " + trimmed(m.fileNameAsWritten) + " has " +
                  std::to_string(m.conformers.size() + 1) + " conformers and " +
                  std::to_string(m.rotors.size()) +
                  (m.rotors.size() == 1 ? " hindered rotor" : " hindered rotors") +
                  ": a rotor's levels already visit the other minima of its torsion, which the "
                  "conformers add once more, so the torsions would be counted twice; give "
                  "--conformers lowest (the main structure with its rotors) or --rotors "
                  "harmonic (the conformers with harmonic torsions)");
    }
}

} // namespace orvalen::extended
