#include "kinetics/job_points.hpp"

#include "base/wording.hpp"
#include "kinetics/text.hpp"

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <sstream>
#include <utility>

namespace orvalen::kinetics {

double toStandardState(const ScanResult &r, double P) {
  return std::pow(P0 / P, r.molecularity - r.transitionStates);
}

namespace {

MoleculePoint summary(int role, const Molecule &m, const MoleculeThermo &t, bool rotors) {
  MoleculePoint p;
  p.role = role;
  p.name = fieldText(m.name);
  p.elec = t.elec;
  p.tran = t.tran;
  p.rot = t.rot;
  const Vibrations &v = t.vib;
  p.vib = Contribution{v.qvib, v.svib, v.fvib, v.uvib, v.hvib, v.gvib};
  p.tot = t.tot;
  p.zpe = t.zpeTot;
  p.hh0 = v.hh0Tot;
  p.nused = v.nused;
  p.corrected = t.corrected;
  if (rotors)
    for (const HinderedRotor &r : m.rotors) {
      const VibMode &row = v.mode[static_cast<std::size_t>(r.mode - 1)];
      p.rotors.push_back({row.qvib0, row.svib, row.hvib, row.zpe});
    }
  return p;
}

// The value where it can be a transmission coefficient; else the cause, noted.
std::optional<double> meaningful(double x, Absences &absent, std::size_t point) {
  if (!std::isfinite(x)) {
    absent.notFinite.push_back(point);
    return std::nullopt;
  }
  if (!(x > 0.0)) {
    absent.notPositive.push_back(point);
    return std::nullopt;
  }
  return x;
}

// Every coefficient of TUNNELLING_METHODS, each where it has a meaning.
void coefficients(ScanPoint &p, const ScanResult &result, std::size_t index,
                  AbsencesByMethod &absent) {
  const auto of = [&](Method m) -> Absences & { return absent[static_cast<std::size_t>(m)]; };
  const Tunnelling &t = p.tunnelling;
  p.kappa.wigner = meaningful(t.kW, of(Method::Wigner), index);
  if (t.u < 2.0 * PI) // beyond, the parabola's integral diverges and kP has no meaning
    p.kappa.parabolic = meaningful(t.kP, of(Method::Parabolic), index);
  else
    of(Method::Parabolic).outside.push_back(index);
  if (result.skodjeTruhlarDefined)
    p.kappa.skodjeTruhlar = meaningful(t.kST, of(Method::SkodjeTruhlar), index);
  if (result.eckartDefined) {
    try {
      p.kappa.eckart = meaningful(eckartKappa(result.eckart, p.T), of(Method::Eckart), index);
    } catch (const std::exception &) { // the quadrature's stop, e.g. at 1e-5 K
      of(Method::Eckart).notComputed.push_back(index);
    }
  }
}

} // namespace

ScanPhysics scanPhysics(const MoleculeTable &mol, const std::vector<JobMolecule> &molecules,
                        const extended::PhysicsOptions &options, double tMin, double tMax) {
  ScanPhysics physics{{}, options, options.scale};
  for (const JobMolecule &j : molecules) {
    const Molecule &m = mol.at(j.facts.role, j.facts.index);
    physics.setups.push_back({&m, j.facts.etot, extended::rotorRows(m, options.rotors, tMin, tMax),
                              extended::StructureSet(m)});
  }
  return physics;
}

MoleculeThermo thermoOf(const ScanPhysics &physics, const Molecule &m, const Conditions &c,
                        std::optional<extended::StructureWeights> *weights) {
  const auto it = std::find_if(physics.setups.begin(), physics.setups.end(),
                               [&](const MoleculeSetup &s) { return s.m == &m; });
  if (it == physics.setups.end())
    return extended::moleculeThermo(m, c, physics.options);
  if (physics.options.conformers != extended::ConformerTreatment::All ||
      it->structures.conformers() == 0)
    return extended::moleculeThermo(m, it->etot, c, physics.options, it->rows);
  extended::StructureWeights unused;
  return it->structures.thermo(it->etot, c, physics.options, it->rows,
                               weights ? weights->emplace() : unused);
}

ScanPoint computePoint(const MoleculeTable &mol, const Conditions &cond, const ScanResult &result,
                       const ScanPhysics &physics) {
  ScanPoint p;
  p.T = cond.T;
  p.P = cond.P;
  p.molecules.reserve(static_cast<std::size_t>(mol.npart(0)));
  const bool rotors = result.physics.rotors != extended::RotorTreatment::Harmonic;
  // The weights of the molecule just computed, with conformers summed.
  std::optional<extended::StructureWeights> weights;
  const JobPhysics thermo{
      [&](const Molecule &m, const Conditions &c) { return thermoOf(physics, m, c, &weights); },
      physics.imaginaryScale};
  const JobResults job = computeJob(
      mol, cond,
      [&](int role, const Molecule &m, const MoleculeThermo &t) {
        p.molecules.push_back(summary(role, m, t, rotors));
        if (weights) {
          p.molecules.back().weights = std::move(weights->weights);
          p.molecules.back().conformationalG = weights->conformationalG;
          weights.reset();
        }
      },
      thermo);
  p.reaction = job.reaction;
  p.rates = job.rates;
  if (p.rates.present) // orvalen prints zeros without a rate section
    p.keff = job.keff;
  p.tunnelling = job.tunnelling;
  return p;
}

// The coefficients of a point and its k, once the barrier of `result` is known.
void addCoefficients(ScanPoint &p, const ScanResult &result, std::size_t index,
                     AbsencesByMethod &absent) {
  if (!p.rates.present)
    return;
  if (result.eckart.nu > 0.0)
    coefficients(p, result, index, absent);
  const std::optional<double> kappa = methodOf(result.method).coefficient(p.kappa);
  const double k = kappa ? p.rates.kQ[2] * *kappa * toStandardState(result, p.P) : std::nan("");
  if (std::isfinite(k) && k >= 0.0)
    p.k = k;
}

// `n` significant figures, as a message quotes a temperature, pressure or energy.
std::string figures(double v, int n) {
  std::ostringstream s;
  s.precision(n);
  s << v;
  return s.str();
}
std::string fourFigures(double v) {
  return figures(v, 4);
}

JobPhysics jobPhysics(const MoleculeTable &mol, const std::vector<JobMolecule> &molecules,
                      const extended::PhysicsOptions &options, double tMin, double tMax) {
  return jobPhysics(
      std::make_shared<const ScanPhysics>(scanPhysics(mol, molecules, options, tMin, tMax)));
}

JobPhysics jobPhysics(std::shared_ptr<const ScanPhysics> physics) {
  const double scale = physics->imaginaryScale;
  return {[physics = std::move(physics)](const Molecule &m, const Conditions &c) {
            return thermoOf(*physics, m, c);
          },
          scale};
}

// The barrier of the tunnelling coefficients and whether each formula applies
// to it, from the results of one point: dH0 and DrZPE are sums of E+ZPE,
// the same at every temperature. `nu` is the imaginary frequency in cm-1.
void setBarrier(const ScanPoint &p, double nu, ScanResult &r) {
  const double dH0 = p.rates.dH0 / KJ2HARTREE;
  const double drZpe = r.hasReaction ? p.reaction.drZpe / KJ2HARTREE : 0.0;
  r.eckart = EckartBarrier{dH0, dH0 - drZpe, nu};
  const auto why = eckartUndefined(r.eckart);
  r.eckartDefined = !why;
  // Skodje and Truhlar truncate the parabola at the lower side, max(DrZPE, 0):
  // a barrier not above it gives a negative "coefficient".
  const double lower = std::max(drZpe, 0.0);
  r.skodjeTruhlarDefined = std::isfinite(dH0) && std::isfinite(lower) && dH0 > lower;
  if (r.eckart.nu == 0.0) {
    r.warnings.add("the first transition state has no imaginary frequency in row 7: "
                   "no tunnelling coefficient");
    return;
  }
  if (!r.skodjeTruhlarDefined)
    r.warnings.add("no Skodje-Truhlar coefficient: the barrier dH0 = " + figures(dH0, 6) +
                   " kJ/mol is not above the lower side max(DrZPE, 0) = " + figures(lower, 6) +
                   " kJ/mol");
  if (why)
    r.warnings.add("no Eckart coefficient: " + *why);
  else if (!r.hasReaction)
    r.warnings.add("the job has no product: the Eckart barrier is taken as symmetric "
                   "(V2 = V1 = " +
                   fourFigures(dH0) + " kJ/mol)");
}

} // namespace orvalen::kinetics
