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
#include "extended/physics_options.hpp"
#include "kinetics/job_points.hpp"
#include "scan/eckart.hpp"
#include "scan/fit.hpp"
#include "scan/tunnelling_methods.hpp"

#include <optional>
#include <string>
#include <vector>

namespace orvalen::scan {

// The points of a scan and their computation live in kinetics, below every
// program that computes a job's k(T).
using kinetics::JobMolecule;
using kinetics::MeasuredPoint;
using kinetics::MoleculePoint;
using kinetics::RotorPoint;
using kinetics::ScanPoint;
using kinetics::ScanResult;
using kinetics::StructureFacts;
using kinetics::toStandardState;

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

// What k is, as the table's heading and the JSON's units say it:
// "k = kQ * kappa (eckart) * (P0/P)^1: the rate constant at the standard state P0 = 1e5 Pa".
std::string kDefinition(const ScanResult &r);

// Units of the report's four rate constant columns for molecularity m, in
// the report's order: "1/s", "m3/molecule/s", "cm3/molecule/s", "L/mol/s".
std::string rateUnits(int m, int column);
// The same for the effective rate constant kG * C**n.
std::string keffUnits(int m, int n, int column);

} // namespace orvalen::scan
