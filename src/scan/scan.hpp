#pragma once

// Rate constants over a range of temperatures: the job input and the molecule
// data files are read once, then at each temperature the whole job is computed
// by the same functions as a report is (thermochemistry of every molecule,
// reaction and activation quantities, kQ and kG in the four unit systems, the
// effective rate constant, the Wigner, parabolic and Skodje-Truhlar
// coefficients), with the Eckart coefficient besides, e.g.
//   ScanResult r;
//   runScan({.job = "oh_ch4", .temperatures = parseTemperatures("300:2000:100")}, r);
// Nothing here writes; scan/output.hpp and scan/plot.hpp turn a result into text.

#include "base/warnings.hpp"
#include "extended/conformers.hpp"
#include "extended/molecule_thermo.hpp"
#include "extended/physics_options.hpp"
#include "extended/rotor_rows.hpp"
#include "molecule/molecule.hpp"
#include "rates/kinetics.hpp"
#include "rates/reaction.hpp"
#include "rates/tunnelling.hpp"
#include "scan/eckart.hpp"
#include "scan/fit.hpp"
#include "scan/tunnelling_methods.hpp"
#include "thermo/constants.hpp"
#include "thermo/rrho.hpp"

#include <optional>
#include <string>
#include <vector>

namespace orvalen::scan {

// A file the run will write, as the command line names it: {"-o", "k.csv"}.
struct OutputName {
  std::string option;
  std::string path;
};

struct ScanRequest {
  std::string job;                  // JOB[.inp]: the extension is forced as orvalen does
  std::vector<double> temperatures; // K; empty: the job's own temperature
  std::optional<double> pressure;   // Pa; default: the job's own
  Method method = Method::None;
  bool fit = false;
  std::string measured; // --measured FILE: T (K) and k (units of k) a line; empty: none
  // Refused (before anything is computed or written) when one is a file the
  // job reads or two are the same file.
  std::vector<OutputName> outputs;
  extended::PhysicsOptions physics; // beyond the harmonic oscillator; the defaults change nothing
  bool physicsGiven = false;        // one of those options was on the command line (--rotors aside)
  bool rotorsGiven = false;         // --rotors was on the command line
  bool conformersGiven = false;     // --conformers was on the command line
};

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

// Reads the job and its data files once and computes every temperature into
// `result`. Throws orvalen::Error with a one-line message for every error
// orvalen reports for the job, for a bad temperature or pressure, for an
// output of the request that is a file the run reads (the measured file too)
// or another output, for a --plot name not ending in .svg, and for a bad
// measured file; the warnings found until then stay in result.warnings. A
// coefficient that is not meaningful at a temperature is absent there, with
// one warning per coefficient naming the temperatures; one more names those
// where a rate constant underflows, and the report's plausibility checks
// give one warning per kind for the whole scan. A warning that makes
// orvalen's report unsound (an empty data file, values that are not finite)
// makes the scan's values unusable too: warnings.reportUnsound().
void runScan(const ScanRequest &request, ScanResult &result);

// (P0/P)^(m - nTS), P0 = 1e5 Pa: kQ at the pressure P carries (P/P0)^(m - nTS)
// (each molecule's translational partition function is taken at P, the
// concentration factor at P0), so that k = kQ * kappa * this is the rate
// constant at the standard state, the same at every P.
double toStandardState(const ScanResult &r, double P);

// What k is, as the table's heading and the JSON's units say it:
// "k = kQ * kappa (eckart) * (P0/P)^1: the rate constant at the standard state P0 = 1e5 Pa".
std::string kDefinition(const ScanResult &r);

// Units of the report's four rate constant columns for molecularity m, in
// the report's order: "1/s", "m3/molecule/s", "cm3/molecule/s", "L/mol/s".
std::string rateUnits(int m, int column);
// The same for the effective rate constant kG * C**n.
std::string keffUnits(int m, int n, int column);

} // namespace orvalen::scan
