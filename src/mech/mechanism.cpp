#include "mech/mechanism.hpp"

#include "base/error.hpp"
#include "base/wording.hpp"
#include "extended/molecule_thermo.hpp"
#include "input/file_names.hpp"
#include "input/job_loader.hpp"
#include "kinetics/job_points.hpp"
#include "kinetics/text.hpp"
#include "molecule/elements.hpp"
#include "molecule/mol_file.hpp"
#include "rates/whole_job.hpp"
#include "thermo/constants.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

namespace orvalen::mech {

using extended::Composition;
using extended::ThermoSample;

std::string Reaction::equation() const {
  std::string text;
  for (std::size_t i = 0; i < reactants.size(); ++i)
    text += (i > 0 ? " + " : "") + reactants[i];
  text += reversible ? " <=> " : " => ";
  for (std::size_t i = 0; i < products.size(); ++i)
    text += (i > 0 ? " + " : "") + products[i];
  return text;
}

std::optional<std::string> nameFault(const std::string &name) {
  constexpr std::size_t CHEMKIN_LENGTH = 16;
  if (name.empty())
    return "is empty";
  if (name.size() > CHEMKIN_LENGTH)
    return "is longer than the 16 characters a Chemkin species name may have";
  if (std::isdigit(static_cast<unsigned char>(name[0])) || name[0] == '+' || name[0] == '=')
    return "starts with a digit, '+' or '=', which Chemkin reads as part of an equation";
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= ' ' || u >= 0x7f)
      return "holds a blank, a control character or a byte outside ASCII";
    if (std::string_view("!=<>,:[]{}#&*|'\"%@`").find(c) != std::string_view::npos)
      return std::string("holds '") + c +
             "', which a Chemkin equation or comment or a YAML list cannot take in a name";
  }
  return std::nullopt;
}

std::optional<Composition> parseFormula(const std::string &text) {
  Composition atoms;
  std::size_t i = 0;
  while (i < text.size()) {
    if (!std::isupper(static_cast<unsigned char>(text[i])))
      return std::nullopt;
    std::string symbol(1, text[i++]);
    while (i < text.size() && std::islower(static_cast<unsigned char>(text[i])))
      symbol += text[i++];
    int n = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && n < 100000)
      n = 10 * n + (text[i++] - '0');
    const std::optional<int> z = atomicNumberOf(symbol);
    if (!z || elementSymbol(*z) != symbol)
      return std::nullopt;
    atoms[*z] += n == 0 ? 1 : n;
  }
  if (atoms.empty())
    return std::nullopt;
  return atoms;
}

namespace {

constexpr double CP_STEP = 0.1; // K: Cp = (H(T + step) - H(T - step)) / (2 step)
constexpr double T298 = 298.15; // K

double hartreeToJ(double e) {
  return e / KJ2HARTREE * 1000.0;
}

// The line of a job input that names `name`, as a message quotes it.
std::string jobLineOf(const std::string &jobFile, const std::string &name) {
  std::ifstream in(jobFile);
  std::string line;
  for (int n = 1; std::getline(in, line); ++n) {
    std::istringstream words(line);
    std::string keyword, word;
    words >> keyword >> word;
    std::transform(word.begin(), word.end(), word.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (word == name)
      return jobFile + " line " + std::to_string(n) + " (\"" + kinetics::validUtf8(line) + "\")";
  }
  return jobFile;
}

// One job as orvalen-scan reads it, with what the mechanism needs of it.
struct LoadedJob {
  Job job;
  kinetics::ScanResult r;
  std::shared_ptr<const kinetics::ScanPhysics> setup; // each molecule's, made once
  JobPhysics physics;                                 // the same, as computeJob takes it
};

void loadOne(const std::string &file, const MechRequest &q, Mechanism &m, double tMin, double tMax,
             Warnings &warnings, LoadedJob &j) {
  j.job = loadJob(trimmed(fileExtension(file, ".inp")), MissingFiles::Refuse, warnings, &m.read);
  const MoleculeTable &mol = j.job.mol;
  kinetics::ScanResult &r = j.r;
  r.jobFile = j.job.inputFile;
  r.molecularity = mol.npart(REACTANT);
  r.transitionStates = mol.npart(TRANSITION_STATE);
  r.hasReaction = hasReaction(mol);
  r.hasRates = hasRateSection(mol);
  r.method = q.method;
  r.physics = m.physics;
  r.physicsGiven = m.physicsGiven;
  if (!r.hasRates || !r.hasReaction)
    throw Error(r.jobFile +
                ": a reaction of the mechanism needs reactants, a transition state "
                "and products; the job has " +
                (r.hasRates ? std::string("no product") : std::string("no transition state")));
  // With --atoms the spin-orbit shift is the atoms' too: "shifts no energy"
  // of a job without such molecules is not the run's.
  Warnings facts;
  std::vector<extended::MoleculeFacts> prepared = extended::prepareMolecules(mol, r.physics, facts);
  for (const std::string &w : facts.texts())
    if (q.atoms.empty() || w.rfind("--spin-orbit-shift shifts no energy", 0) != 0)
      warnings.add(w);
  for (extended::MoleculeFacts &f : prepared) {
    const Molecule &mm = mol.at(f.role, f.index);
    // The rotors' facts are what the scan's outputs show of them: not needed here.
    r.molecules.push_back({kinetics::fieldText(mm.name),
                           kinetics::validUtf8(trimmed(mm.fileNameAsWritten)),
                           std::move(f),
                           {},
                           {}});
  }
  extended::refuseConformersWithRotors(mol, r.physics);
  j.setup = std::make_shared<const kinetics::ScanPhysics>(
      kinetics::scanPhysics(mol, r.molecules, r.physics, tMin, tMax));
  j.physics = kinetics::jobPhysics(j.setup);
}

// k(T) of the job over the fit's temperatures, fitted; as orvalen-scan --fit.
Reaction rateOf(LoadedJob &j, const MechRequest &q, Warnings &warnings) {
  kinetics::ScanResult &r = j.r;
  Conditions cond = j.job.cond;
  kinetics::AbsencesByMethod absent;
  std::vector<double> ts, ks;
  for (const double T : q.fitTemperatures) {
    cond.T = T;
    kinetics::ScanPoint p = kinetics::computePoint(j.job.mol, cond, r, *j.setup);
    if (r.points.empty()) {
      kinetics::setBarrier(p, imaginaryFrequency(j.job.mol) * j.physics.imaginaryScale, r);
      // k needs the chosen coefficient only; the Eckart integral is the costly one.
      r.eckartDefined = r.eckartDefined && q.method == kinetics::Method::Eckart;
    }
    kinetics::addCoefficients(p, r, r.points.size(), absent);
    if (p.k && *p.k > 0.0 && std::isfinite(*p.k)) {
      ts.push_back(T);
      ks.push_back(*p.k);
    }
    r.points.push_back(std::move(p));
  }
  if (ts.size() < q.fitTemperatures.size())
    warnings.add(r.jobFile + ": the Arrhenius fit leaves out " +
                 std::to_string(q.fitTemperatures.size() - ts.size()) +
                 " temperature(s) without a rate constant k (" + kinetics::methodName(r.method) +
                 ")");
  if (ts.size() < 3)
    throw Error(r.jobFile + ": k (" + std::string(kinetics::methodName(r.method)) +
                ") is a positive number at " + std::to_string(ts.size()) +
                " of the --fit-t temperatures; the modified Arrhenius fit needs three or more "
                "(orvalen-scan shows why k is absent)");
  Reaction x;
  x.job = r.jobFile;
  x.molecularity = r.molecularity;
  x.reversible = !q.irreversible;
  x.fit = kinetics::fitArrhenius(ts, ks).modified;
  x.fit.A *= std::pow(AVOGADRO, r.molecularity - 1); // cm3/molecule -> cm3/mol
  x.points = static_cast<int>(ts.size());
  constexpr double WORST = 0.25;
  if (x.fit.maxRelDeviation > WORST)
    warnings.add(r.jobFile + ": the modified Arrhenius fit deviates from k by up to " +
                 kinetics::figures(100.0 * x.fit.maxRelDeviation, 3) +
                 " % over the fit's temperatures (more than 25 %); narrow them with --fit-t");
  return x;
}

Composition compositionOf(const Molecule &mol, const std::string &name, const MechRequest &q,
                          const std::string &where) {
  const auto given = q.compositions.find(name);
  if (given != q.compositions.end())
    return given->second;
  if (mol.natoms <= 0)
    throw Error(where + ": the data file " + trimmed(mol.fileNameAsWritten) + " of " + name +
                " has no coordinates, so its elements are not known; give them with "
                "--composition " +
                name + "=FORMULA");
  Composition atoms;
  for (int i = 0; i < mol.natoms; ++i)
    atoms[mol.na[static_cast<std::size_t>(i)]] += 1;
  return atoms;
}

// The species' standard thermochemistry at every fit temperature: H on the
// scale of the electronic energies (J/mol), S with the Sackur-Tetrode
// translational entropy (R more than the report's) at 1 atm, Cp from H.
std::vector<ThermoSample> samplesOf(const Molecule &mol, const JobPhysics &physics,
                                    const std::vector<double> &temperatures) {
  Conditions cond;
  cond.P = REFERENCE_PRESSURE;
  std::vector<ThermoSample> samples;
  samples.reserve(temperatures.size());
  for (const double T : temperatures) {
    cond.T = T;
    const MoleculeThermo t = physics.thermo(mol, cond);
    cond.T = T + CP_STEP;
    const double hUp = physics.thermo(mol, cond).tot.h;
    cond.T = T - CP_STEP;
    const double hDown = physics.thermo(mol, cond).tot.h;
    samples.push_back(
        {T, (hUp - hDown) * 1000.0 / (2.0 * CP_STEP), hartreeToJ(t.corrected.eh), t.tot.s + RGAS});
  }
  return samples;
}

// E0 and H, S at three temperatures: the same molecule gives the same numbers.
std::vector<double> fingerprintOf(const Molecule &mol, const JobPhysics &physics,
                                  const extended::NasaRanges &t) {
  Conditions cond;
  cond.P = REFERENCE_PRESSURE;
  std::vector<double> f;
  for (const double T : {t.tLow, t.tMid, t.tHigh}) {
    cond.T = T;
    const MoleculeThermo th = physics.thermo(mol, cond);
    f.push_back(th.corrected.eh);
    f.push_back(th.tot.s);
    if (T == t.tLow)
      f.push_back(th.corrected.ezpe);
  }
  return f;
}

struct Atoms {
  std::map<int, double> e0;         // kJ/mol on the electronic energies' scale
  std::vector<std::string> methods; // "H CCSD(T)/cc-pVTZ"
};

// An --atoms line that cannot be used.
Error atomLineError(const std::string &where, const std::string &what, const std::string &why) {
  return Error(where + ": " + what + why);
}

Atoms readAtoms(const std::string &file, const MechRequest &q, Mechanism &mech,
                Warnings &warnings) {
  mech.read.emplace_back(file);
  std::ifstream in(file);
  if (!in)
    throw Error(file + ": cannot open the --atoms file; give a file of lines \"ELEMENT "
                       "data-file\"");
  const std::filesystem::path dir = std::filesystem::path(file).parent_path();
  Atoms atoms;
  std::string line;
  for (int n = 1; std::getline(in, line); ++n) {
    std::istringstream words(line);
    std::string symbol, data, extra;
    if (!(words >> symbol) || symbol[0] == '!' || symbol[0] == '#')
      continue;
    const std::string where = file + " line " + std::to_string(n);
    const std::optional<int> z = atomicNumberOf(symbol);
    if (!(words >> data) || (words >> extra) || !z)
      throw Error(where + ": \"" + kinetics::validUtf8(line) +
                  "\" is not \"ELEMENT data-file\" (an element symbol and one file name)");
    if (atoms.e0.count(*z))
      throw Error(where + ": a second line for the element " + std::string(elementSymbol(*z)) +
                  "; give each element once");
    const std::string quoted = "the data file \"" + data + "\"";
    if (!std::filesystem::exists(dir / data)) // relative to the --atoms file
      throw atomLineError(where, quoted, " does not exist");
    MoleculeTable table;
    Molecule &m = table.at(REACTANT, table.add(REACTANT));
    m.name = fixedText(elementSymbol(*z), NAME_LEN);
    m.fileNameAsWritten = data;
    m.fileName = fixedText(data, FILENAME_LEN);
    readMoleculeFile(m, dir, warnings);
    mech.read.push_back(m.dataPath);
    if (m.natoms > 1 || (m.natoms == 1 && m.na[0] != *z))
      throw atomLineError(where, quoted, " is not one atom of " + std::string(elementSymbol(*z)));
    std::vector<kinetics::JobMolecule> jm;
    Warnings facts; // an atom's own "shifts no energy" says nothing of the run
    for (extended::MoleculeFacts &f : extended::prepareMolecules(table, q.physics, facts))
      jm.push_back({std::string(elementSymbol(*z)), data, std::move(f), {}, {}});
    const JobPhysics physics = kinetics::jobPhysics(table, jm, q.physics, T298, T298);
    Conditions cond;
    cond.T = T298;
    atoms.e0[*z] = physics.thermo(m, cond).corrected.ezpe / KJ2HARTREE;
    if (!m.energyMethod.empty())
      atoms.methods.push_back(std::string(elementSymbol(*z)) + " " + m.energyMethod);
  }
  return atoms;
}

std::string upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

// An atom's energy of another method than the molecules' makes every
// formation enthalpy meaningless.
void warnMixedMethods(const Atoms &atoms, const Mechanism &m, Warnings &warnings) {
  std::set<std::string> molecules;
  std::string list;
  for (const Species &s : m.species)
    if (!s.energyMethod.empty() && molecules.insert(upper(s.energyMethod)).second)
      list += (list.empty() ? "" : ", ") + s.energyMethod;
  std::string odd;
  for (const std::string &a : atoms.methods)
    if (!molecules.empty() && !molecules.count(upper(a.substr(a.find(' ') + 1))))
      odd += (odd.empty() ? "" : ", ") + a;
  if (!odd.empty())
    warnings.add("the atoms of --atoms have energies of another method (" + odd +
                 ") than the molecules (" + list +
                 "): formation enthalpies that mix methods are meaningless; give every atom an "
                 "energy of the molecules' method (orvalen-import --energy FILE)");
}

void checkElements(const Species &s) {
  constexpr std::size_t CARD_ELEMENTS = 4;
  if (s.atoms.size() > CARD_ELEMENTS)
    throw Error(s.job + ": the species " + s.name + " (" + extended::formulaText(s.atoms) +
                ") has " + std::to_string(s.atoms.size()) +
                " elements; a Chemkin thermo card holds at most four");
}

// The species of one job line: checked, fitted once, compared when seen before.
void addSpecies(const LoadedJob &j, int role, int index, const MechRequest &q,
                const std::vector<double> &temperatures, std::map<std::string, std::size_t> &seen,
                std::map<std::vector<double>, std::size_t> &fitted, Mechanism &m) {
  const Molecule &mol = j.job.mol.at(role, index);
  const std::string name = kinetics::fieldText(mol.name);
  if (const auto fault = nameFault(name))
    throw Error(jobLineOf(j.r.jobFile, name) + ": the species name \"" + kinetics::validUtf8(name) +
                "\" " + *fault + "; rename it in the job input");
  const Composition atoms = compositionOf(mol, name, q, j.r.jobFile);
  std::vector<double> fingerprint = fingerprintOf(mol, j.physics, q.nasa);
  const auto it = seen.find(name);
  if (it != seen.end()) {
    const Species &s = m.species[it->second];
    if (s.atoms != atoms || s.fingerprint != fingerprint)
      throw Error(j.r.jobFile + ": the species " + name + " (data file " +
                  trimmed(mol.fileNameAsWritten) + ") is not the molecule " + s.job + " names " +
                  name + " (data file " + s.dataFile +
                  "): one name must be one molecule; rename one of them");
    return;
  }
  Species s;
  s.name = name;
  s.job = j.r.jobFile;
  s.dataFile = trimmed(mol.fileNameAsWritten);
  s.dataPath = mol.dataPath.string();
  s.atoms = atoms;
  s.energyMethod = mol.energyMethod;
  s.fingerprint = std::move(fingerprint);
  checkElements(s);
  // The same data under another name (a copy of a job): one fit.
  std::vector<double> key = s.fingerprint;
  for (const auto &[z, n] : s.atoms)
    key.insert(key.end(), {static_cast<double>(z), static_cast<double>(n)});
  const auto fit = fitted.find(key);
  if (fit != fitted.end()) {
    const Species *twin = &m.species[fit->second];
    s.samples = twin->samples;
    s.nasa = twin->nasa;
    s.deviation = twin->deviation;
  } else {
    s.samples = samplesOf(mol, j.physics, temperatures);
    s.nasa = extended::fitNasa7(s.samples, q.nasa);
    s.deviation = extended::nasaDeviation(s.nasa, s.samples);
    fitted.emplace(std::move(key), m.species.size());
  }
  Conditions cond;
  cond.T = T298;
  const MoleculeThermo t = j.physics.thermo(mol, cond);
  s.h298 = hartreeToJ(t.corrected.eh) / 1000.0;
  seen.emplace(name, m.species.size());
  m.species.push_back(std::move(s));
  // E0 and H(298.15) - H(0) are kept in dfH0/dfH298 until the atoms are known.
  m.species.back().dfH0 = t.corrected.ezpe / KJ2HARTREE;
  m.species.back().dfH298 = (t.corrected.eh - t.corrected.ezpe) / KJ2HARTREE;
}

// With --atoms: each species' enthalpies moved onto the formation scale.
void toFormationScale(const Atoms &atoms, Mechanism &m) {
  for (Species &s : m.species) {
    const double e0 = *s.dfH0, thermal = *s.dfH298;
    s.dfH0 = extended::formationEnthalpy0K(s.atoms, atoms.e0, e0);
    s.dfH298 = extended::formationEnthalpy298(s.atoms, *s.dfH0, thermal);
    const double shift = *s.dfH298 - s.h298; // kJ/mol
    s.h298 = *s.dfH298;
    const double shiftR = shift * 1000.0 / RGAS; // K
    s.nasa.low[5] += shiftR;
    s.nasa.high[5] += shiftR;
    for (ThermoSample &x : s.samples)
      x.h += shift * 1000.0;
  }
}

void warnFits(const Mechanism &m, Warnings &warnings) {
  std::vector<std::string> beyond;
  for (const Species &s : m.species)
    if (!s.deviation.withinBounds)
      beyond.push_back(s.name + " (Cp " + kinetics::figures(s.deviation.cpPercent, 2) + " %, H " +
                       kinetics::figures(s.deviation.h, 2) + " kJ/mol, S " +
                       kinetics::figures(s.deviation.s, 2) + " J/mol/K)");
  if (!beyond.empty())
    warnings.add("the NASA polynomials of " + listed(beyond) +
                 " deviate from the species' own thermochemistry by more than 0.5 % of Cp "
                 "(or 0.02 R), 0.1 kJ/mol of H or 0.05 J/mol/K of S; narrow the ranges with "
                 "--nasa-t");
}

} // namespace

void buildMechanism(const MechRequest &q, Mechanism &m) {
  m.nasa = q.nasa;
  m.fitTemperatures = q.fitTemperatures;
  m.method = q.method;
  m.physics = q.physics;
  m.physicsGiven = q.physicsGiven;
  if (q.jobs.empty())
    throw Error("no job input: name one or more, or a file of them with --jobs");
  const std::vector<double> temperatures = extended::nasaFitTemperatures(q.nasa);
  if (q.fitTemperatures.size() < 3)
    throw Error("--fit-t gives " + std::to_string(q.fitTemperatures.size()) +
                " temperature(s); the modified Arrhenius form needs at least three");
  const auto [fitMin, fitMax] =
      std::minmax_element(q.fitTemperatures.begin(), q.fitTemperatures.end());
  const double tMin = std::min(*fitMin, q.nasa.tLow - CP_STEP);
  const double tMax = std::max({*fitMax, q.nasa.tHigh + CP_STEP, T298});
  std::map<std::string, std::size_t> seen;           // species by name
  std::map<std::vector<double>, std::size_t> fitted; // species fitted, by their data
  for (const std::string &file : q.jobs) {
    LoadedJob j;
    loadOne(file, q, m, tMin, tMax, m.warnings, j);
    Reaction x = rateOf(j, q, m.warnings);
    for (const int role : {REACTANT, PRODUCT})
      for (int i = 1; i <= j.job.mol.npart(role); ++i) {
        addSpecies(j, role, i, q, temperatures, seen, fitted, m);
        (role == REACTANT ? x.reactants : x.products)
            .push_back(kinetics::fieldText(j.job.mol.at(role, i).name));
      }
    for (const std::string &w : j.r.warnings.texts())
      m.warnings.add(j.r.jobFile + ": " + w);
    m.reactions.push_back(std::move(x));
  }
  std::set<int> elements;
  for (const Species &s : m.species)
    for (const auto &[z, n] : s.atoms)
      elements.insert(z);
  m.elements.assign(elements.begin(), elements.end());
  if (q.atoms.empty()) {
    for (Species &s : m.species) {
      s.dfH0.reset();
      s.dfH298.reset();
    }
    m.warnings.add("without --atoms the enthalpies are on the scale of the electronic energies "
                   "(E0 + thermal, in J/mol): equilibrium constants and reverse rates are right, "
                   "formation enthalpies are not; give the atoms' data files with --atoms FILE");
  } else {
    const Atoms atoms = readAtoms(q.atoms, q, m, m.warnings);
    warnMixedMethods(atoms, m, m.warnings);
    toFormationScale(atoms, m);
    m.formationScale = true;
  }
  warnFits(m, m.warnings);
}

} // namespace orvalen::mech
