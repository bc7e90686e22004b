#pragma once

// One kinetic mechanism from orvalen jobs: every reactant and product of
// every job is a species (transition states are not), every job one
// elementary reaction. Each species' standard thermochemistry is fitted by
// NASA-7 polynomials (extended/nasa7) to its own Cp, H and S computed as
// orvalen-scan computes them, at 1 atm with the Sackur-Tetrode translational
// entropy; each reaction's k(T) is orvalen-scan's k (kinetics/job_points),
// fitted by the modified Arrhenius form. Nothing here writes; mech/writers
// turns a mechanism into Cantera YAML and Chemkin files.
//   MechRequest q{.jobs = {"h_ch4.inp", "h_c2h6.inp"}};
//   Mechanism m;
//   buildMechanism(q, m);

#include "base/warnings.hpp"
#include "extended/formation.hpp"
#include "extended/nasa7.hpp"
#include "extended/physics_options.hpp"
#include "kinetics/fit.hpp"
#include "kinetics/tunnelling_methods.hpp"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orvalen::mech {

// The formats' reference pressure, at which the polynomials' S is taken.
inline constexpr double REFERENCE_PRESSURE = 101325.0; // Pa (1 atm)

struct MechRequest {
  std::vector<std::string> jobs; // job inputs JOB[.inp], in order
  std::string atoms;             // --atoms FILE: lines "ELEMENT data-file"; empty: none
  std::map<std::string, extended::Composition> compositions; // --composition NAME=C2H6
  extended::NasaRanges nasa;                                 // --nasa-t
  std::vector<double> fitTemperatures;                       // --fit-t, K
  kinetics::Method method = kinetics::Method::None;          // --tunnelling
  extended::PhysicsOptions physics;
  bool physicsGiven = false;
  bool irreversible = false;
};

struct Species {
  std::string name;     // as the job input names it (upper case)
  std::string job;      // the first job that names it
  std::string dataFile; // its data file, as that job's line writes it
  std::string dataPath; // its data file as opened, for messages
  extended::Composition atoms;
  std::string energyMethod;
  extended::Nasa7 nasa;
  extended::NasaDeviation deviation;
  std::vector<extended::ThermoSample> samples; // what the polynomials were fitted to
  std::optional<double> dfH0;                  // kJ/mol, with --atoms
  std::optional<double> dfH298;                // kJ/mol, with --atoms
  double h298 = 0.0;                           // kJ/mol, H(298.15) on the polynomials' scale
  std::vector<double> fingerprint;             // E0 and H, S at three temperatures
};

struct Reaction {
  std::string job;
  std::vector<std::string> reactants, products; // species names, job order
  int molecularity = 0;
  bool reversible = true;
  kinetics::ArrheniusFit fit; // A in cm, mol and s (times NA^(m-1)); Ea kJ/mol
  int points = 0;             // temperatures the fit used
  std::string equation() const;
};

struct Mechanism {
  std::vector<int> elements; // atomic numbers, ascending
  std::vector<Species> species;
  std::vector<Reaction> reactions;
  bool formationScale = false; // --atoms: H on the scale of formation enthalpies
  extended::NasaRanges nasa;
  std::vector<double> fitTemperatures;
  kinetics::Method method = kinetics::Method::None;
  extended::PhysicsOptions physics;
  bool physicsGiven = false;
  std::vector<std::filesystem::path> read; // every file the run read: no output may replace one
  Warnings warnings;
};

// Reads every job (as orvalen-scan reads one) and the atoms' data files and
// fills `m`. Throws orvalen::Error for the first error: a job orvalen-scan
// refuses, a job without transition state or product, a species name that
// Chemkin or Cantera cannot take, one name for two different molecules, a
// species without composition, more than four elements in a species; the
// warnings found until then stay in m.warnings.
void buildMechanism(const MechRequest &q, Mechanism &m);

// Why a species name is not valid in both formats, or nothing.
std::optional<std::string> nameFault(const std::string &name);

// "C2H6" as a composition; nothing for a text that is not a formula.
std::optional<extended::Composition> parseFormula(const std::string &text);

} // namespace orvalen::mech
