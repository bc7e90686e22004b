#pragma once

// A job's rate constants over temperatures as orvalen-scan computes them, for
// every program that needs them: each point is the whole job computed by the
// report's functions (computeJob) with the physics options in effect, the
// tunnelling coefficients of TUNNELLING_METHODS where they have a meaning,
// and k, the chosen coefficient times kQ at the standard state. The barrier
// of the coefficients comes from the first point (setBarrier). Nothing here
// reads a command line or writes an output.

#include "base/warnings.hpp"
#include "extended/conformers.hpp"
#include "extended/molecule_thermo.hpp"
#include "extended/physics_options.hpp"
#include "extended/rotor_rows.hpp"
#include "kinetics/eckart.hpp"
#include "kinetics/fit.hpp"
#include "kinetics/tunnelling_methods.hpp"
#include "molecule/molecule.hpp"
#include "rates/kinetics.hpp"
#include "rates/reaction.hpp"
#include "rates/tunnelling.hpp"
#include "rates/whole_job.hpp"
#include "thermo/constants.hpp"
#include "thermo/rrho.hpp"

#include <array>
#include <cstddef>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvalen::kinetics {

// One structure of a molecule with conformers, independent of T.
struct StructureFacts {
  std::string source; // the output it came from; empty for the main structure
  double e0 = 0.0;    // E0 - E0 of the lowest, kJ/mol, with the options in effect
  int rotationNumber = 1;
  int opticalIsomers = 1;
};

// What a molecule brings beyond the classic fields, in job order.
struct JobMolecule {
  std::string name;     // as the outputs show it
  std::string dataFile; // as the job line names it
  extended::MoleculeFacts facts;
  std::vector<extended::RotorFacts> rotors; // its data file's hindered rotors
  // With conformers in its data file: every structure, the main one first.
  std::vector<StructureFacts> structures;
  // Its data file carried levels (in effect or set aside) or optical isomers.
  bool carriesData() const {
    return !facts.levels.empty() || facts.levelsSetAside || facts.opticalIsomers > 1;
  }
};

// One hindered rotor of a molecule at one temperature, as its row holds it.
struct RotorPoint {
  double q = 1.0;   // from the ground level, over sigma
  double s = 0.0;   // J/(mol K)
  double h = 0.0;   // kJ/mol, from the potential minimum (ZPE included), as the vib's H
  double zpe = 0.0; // kJ/mol
};

// One molecule at one temperature: what its report section prints.
struct MoleculePoint {
  int role = 0;
  std::string name;               // as the outputs show it: fieldText of the 20-byte name
  Contribution elec, tran, rot;   // Q; U, H, F, G in kJ/mol; S in J/(mol K)
  Contribution vib;               // Q from the zero level, energies from the potential bottom
  Contribution tot;               // Qtot and the sums
  double zpe = 0.0;               // ZPEtot, kJ/mol
  double hh0 = 0.0;               // (H-H0) of the vibrations, kJ/mol
  int nused = 0;                  // vibrations used
  CorrectedEnergies corrected;    // Hartree
  std::vector<RotorPoint> rotors; // with rotors in effect, in its data file's order
  // With conformers summed: each structure's Boltzmann weight (the main one
  // first) and G - G of the lowest structure alone (kJ/mol).
  std::vector<double> weights;
  double conformationalG = 0.0;
};

struct ScanPoint {
  double T = 0.0;                       // K
  double P = 0.0;                       // Pa
  std::vector<MoleculePoint> molecules; // reactants, products, transition states in job order
  ReactionTotals reaction;              // present = false without reactant or product
  RateConstants rates;                  // present = false without reactant or transition state
  std::optional<Columns> keff;          // with a KEFF line
  Tunnelling tunnelling;                // the report's three lines, as computed there
  Kappas kappa;            // each only where meaningful: a positive finite number in its domain
  std::optional<double> k; // kQ column 3 times the chosen coefficient times (P0/P)^(m - nTS)
  std::optional<double> kOverMeasured; // k / k measured at this T (within 1e-6 relative)
};

// A measured rate constant of --measured.
struct MeasuredPoint {
  double T = 0.0; // K
  double k = 0.0; // in the units of k
  // Its uncertainty as the range k lies in (units of k), from the file's
  // third column; low may be 0 or below for an absolute uncertainty.
  std::optional<double> low = std::nullopt;
  std::optional<double> high = std::nullopt;
};

struct ScanResult {
  std::string jobFile;       // the job input as opened
  std::string title;         // the table's and plot's: "OH + CH4 -> H2O + CH3 via TS1"
  std::string reportedTitle; // "OH + CH4 -> TS1" (rate section), else the reaction's, else names
  std::string chemkinName;   // "OH+CH4=>H2O+CH3"
  int molecularity = 0;      // number of reactants
  int transitionStates = 0;
  int nexp = 0;      // KEFF exponent n (0: no effective rate constant)
  double conc = 0.0; // KEFF concentration C, molecules/cm3
  bool hasReaction = false;
  bool hasRates = false;
  Method method = Method::None;
  EckartBarrier eckart; // V1, V2 in kJ/mol, imaginary frequency in cm-1
  bool eckartDefined = false;
  bool skodjeTruhlarDefined = false; // dH0 above the lower side max(DrZPE, 0)
  extended::PhysicsOptions physics;
  bool physicsGiven = false;
  bool hasRotors = false;      // some molecule has hindered rotors
  bool hasTableLevels = false; // some molecule's levels in effect are orvalen-import's table's
  bool hasConformers = false;  // some molecule has conformers
  std::vector<JobMolecule> molecules; // job order
  double pathDegeneracy = 1.0;        // for information, with a transition state
  std::vector<ScanPoint> points;
  std::optional<Fits> fits;
  std::optional<std::vector<MeasuredPoint>> measured; // with --measured, in its file's order
  Warnings warnings; // probably unintended input, as orvalen finds it, and the scan's own
};

// (P0/P)^(m - nTS), P0 = 1e5 Pa: kQ at the pressure P carries (P/P0)^(m - nTS)
// (each molecule's translational partition function is taken at P, the
// concentration factor at P0), so that k = kQ * kappa * this is the rate
// constant at the standard state, the same at every P.
double toStandardState(const ScanResult &r, double P);

// Why a coefficient is absent: the indices of the points, by cause.
struct Absences {
  std::vector<std::size_t> outside;     // outside its formula's domain
  std::vector<std::size_t> notComputed; // its calculation failed
  std::vector<std::size_t> notFinite;
  std::vector<std::size_t> notPositive; // a transmission coefficient is a positive number
};
using AbsencesByMethod = std::array<Absences, std::size(TUNNELLING_METHODS)>;

// Each molecule's thermochemistry with the options in effect, prepared once
// per run: the energy its facts give (ETOT, or ETOT with the spin-orbit
// shift), the step of its hindered rotors, its structures.
struct MoleculeSetup {
  const Molecule *m;
  double etot;
  extended::RowStep rows;
  extended::StructureSet structures;
};
struct ScanPhysics {
  std::vector<MoleculeSetup> setups; // in the order of the job's molecules
  extended::PhysicsOptions options;
  double imaginaryScale = 1.0;
};

// Each molecule's setup, found later by the molecule's place in `mol`; a
// molecule with hindered rotors has its step made once for the temperatures
// tMin..tMax.
ScanPhysics scanPhysics(const MoleculeTable &mol, const std::vector<JobMolecule> &molecules,
                        const extended::PhysicsOptions &options, double tMin, double tMax);

// One molecule's thermochemistry with the run's physics: a molecule with
// conformers summed over its structures (with --conformers all), their
// weights then in `weights` when it is given.
MoleculeThermo thermoOf(const ScanPhysics &physics, const Molecule &m, const Conditions &c,
                        std::optional<extended::StructureWeights> *weights = nullptr);

// The whole job at one temperature and pressure, as the report computes it.
ScanPoint computePoint(const MoleculeTable &mol, const Conditions &cond, const ScanResult &result,
                       const ScanPhysics &physics);

// The coefficients of a point and its k, once the barrier of `result` is
// known; a coefficient absent at the point is noted in `absent`.
void addCoefficients(ScanPoint &p, const ScanResult &result, std::size_t index,
                     AbsencesByMethod &absent);

// The run's physics as the report's computation takes it (computeJob): each
// molecule's thermochemistry as thermoOf gives it.
JobPhysics jobPhysics(const MoleculeTable &mol, const std::vector<JobMolecule> &molecules,
                      const extended::PhysicsOptions &options, double tMin, double tMax);
JobPhysics jobPhysics(std::shared_ptr<const ScanPhysics> physics);

// The barrier of the tunnelling coefficients and whether each formula applies
// to it, from the results of the first point; its warnings go to r.warnings.
void setBarrier(const ScanPoint &p, double nu, ScanResult &r);

// `n` significant figures, as a message quotes a temperature, pressure or energy.
std::string figures(double v, int n);
std::string fourFigures(double v);

} // namespace orvalen::kinetics
