#include "scan/scan.hpp"

#include "base/error.hpp"
#include "base/output_file.hpp"
#include "base/wording.hpp"
#include "extended/mirror_image.hpp"
#include "input/file_names.hpp"
#include "input/job_loader.hpp"
#include "rates/plausibility.hpp"
#include "rates/whole_job.hpp"
#include "scan/measured.hpp"
#include "scan/text.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <iterator>
#include <sstream>
#include <utility>
#include <vector>

namespace orvalen::scan {

using kinetics::Absences;
using kinetics::AbsencesByMethod;
using kinetics::addCoefficients;
using kinetics::computePoint;
using kinetics::figures;
using kinetics::fourFigures;
using kinetics::MoleculeSetup;
using kinetics::ScanPhysics;
using kinetics::scanPhysics;
using kinetics::setBarrier;

namespace {

// Units of a rate constant that carries (volume per molecule)^v: v = m - 1
// for kQ and kG; the effective rate constant has v = m - 1 - n.
std::string volumeUnits(int v, int column) {
  if (column == 0 || v == 0)
    return "1/s";
  const auto power = [](int p) { return p == 1 ? std::string() : std::to_string(p); };
  const int w = v > 0 ? v : -v;
  const std::string vol = column == 1   ? "m" + std::to_string(3 * w)
                          : column == 2 ? "cm" + std::to_string(3 * w)
                                        : "L" + power(w);
  const std::string amount = (column == 3 ? "mol" : "molecule") + power(w);
  return v > 0 ? vol + "/" + amount + "/s" : amount + "/" + vol + "/s";
}

} // namespace

std::string rateUnits(int m, int column) {
  return volumeUnits(m - 1, column);
}

std::string keffUnits(int m, int n, int column) {
  return volumeUnits(m - 1 - n, column);
}

std::string kDefinition(const ScanResult &r) {
  const int power = r.molecularity - r.transitionStates;
  return "k = kQ * kappa (" + std::string(methodName(r.method)) + ")" +
         (power == 0 ? std::string() : " * (P0/P)^" + std::to_string(power)) +
         ": the rate constant at the standard state P0 = 1e5 Pa";
}

namespace {

// The names of a role as the outputs show them.
std::vector<std::string> shownNames(const MoleculeTable &mol, int role) {
  std::vector<std::string> names;
  for (int j = 1; j <= mol.npart(role); ++j)
    names.push_back(fieldText(mol.at(role, j).name));
  return names;
}

std::string joined(const std::vector<std::string> &names, const char *sep) {
  std::string s;
  for (std::size_t j = 0; j < names.size(); ++j)
    s += (j > 0 ? sep : "") + names[j];
  return s;
}

void describeJob(const MoleculeTable &mol, ScanResult &r) {
  r.molecularity = mol.npart(REACTANT);
  r.transitionStates = mol.npart(TRANSITION_STATE);
  r.hasReaction = hasReaction(mol);
  r.hasRates = hasRateSection(mol);
  const std::vector<std::string> reactants = shownNames(mol, REACTANT);
  const std::vector<std::string> products = shownNames(mol, PRODUCT);
  const std::vector<std::string> ts = shownNames(mol, TRANSITION_STATE);
  r.chemkinName = joined(reactants, "+") + "=>" + joined(products.empty() ? ts : products, "+");
  if (r.hasRates)
    r.reportedTitle = reportTitle(reactants, ts, " ->");
  else if (r.hasReaction)
    r.reportedTitle = reportTitle(reactants, products, " ==");
  else
    r.reportedTitle = joined(reactants, " + ");
  // The reaction as a chemist writes it: the report's title names only the
  // transition states.
  r.title = r.reportedTitle;
  if (r.hasRates)
    r.title = joined(reactants, " + ") +
              (products.empty() ? std::string() : " -> " + joined(products, " + ")) + " via " +
              joined(ts, " + ");
}

// orvalen calls a report with a value that is not finite unsound; the scan's
// values are then unusable in the same way. One warning, at the first
// temperature that shows one.
// What is not a finite number at one point: each molecule's totals, the
// reaction quantities, the rate constants.
std::vector<std::string> notFinite(const ScanResult &r, const ScanPoint &p) {
  std::vector<std::string> bad;
  for (const MoleculePoint &m : p.molecules) {
    const double totals[] = {m.tot.q, m.tot.s, m.tot.h, m.tot.g, m.corrected.eg};
    if (!std::all_of(std::begin(totals), std::end(totals),
                     [](double x) { return std::isfinite(x); }))
      bad.push_back("the totals of " + m.name);
  }
  if (r.hasReaction && !(std::isfinite(p.reaction.drG) && std::isfinite(p.reaction.drQ)))
    bad.emplace_back("the reaction quantities");
  if (r.hasRates) {
    bool finiteRates = std::isfinite(p.rates.dG) && std::isfinite(p.rates.prodQ);
    for (std::size_t c = 0; c < 4; ++c)
      finiteRates = finiteRates && std::isfinite(p.rates.kQ[c]) && std::isfinite(p.rates.kG[c]);
    if (!finiteRates)
      bad.emplace_back("the rate constants");
  }
  return bad;
}

// The physics options that make a point's values not finite: each option in
// effect that, set back alone to its default, gives finite values there
// (--qrrho truhlar --qrrho-cutoff 1e6: both). `recompute` computes the point
// with other options.
using PointWith = std::function<ScanPoint(const extended::PhysicsOptions &)>;
using PointAt = std::function<ScanPoint(const extended::PhysicsOptions &, double T)>;

std::vector<std::string> optionsBlamed(const ScanResult &r, const PointWith &recompute) {
  std::vector<std::string> blamed;
  const extended::PhysicsOptions defaults;
  for (const extended::PhysicsOption &row : extended::PHYSICS_OPTIONS) {
    if (!extended::inEffect(row, r.physics))
      continue;
    const extended::OptionValue now = row.get(r.physics), before = row.get(defaults);
    if (now.on == before.on && now.choice == before.choice && now.number == before.number)
      continue;
    extended::PhysicsOptions without = r.physics;
    row.set(without, before);
    if (!notFinite(r, recompute(without)).empty())
      continue;
    std::string text = row.name;
    if (row.type == extended::OptionType::Choice)
      text += std::string(" ") + row.words[now.choice];
    else if (row.type == extended::OptionType::PositiveNumber)
      text += " " + numberText(now.number) + (row.unit ? std::string(" ") + row.unit : "");
    blamed.push_back(std::move(text));
  }
  return blamed;
}

void checkFinite(const ScanResult &r, Warnings &warnings, const PointAt &recompute) {
  for (const ScanPoint &p : r.points) {
    const std::vector<std::string> bad = notFinite(r, p);
    if (bad.empty())
      continue;
    std::string text = "at " + numberText(p.T) + " K " + listed(bad) +
                       " are not finite numbers (NaN or Infinity): the values cannot be used";
    const std::vector<std::string> blamed =
        optionsBlamed(r, [&](const extended::PhysicsOptions &o) { return recompute(o, p.T); });
    if (!blamed.empty())
      text += "; " + listed(blamed) + (blamed.size() == 1 ? " causes" : " cause") +
              " it: without " + (blamed.size() == 1 ? "it" : "any one of them") +
              " they are finite";
    warnings.addUnsound(text);
    return;
  }
}

// The temperatures of the points `at` (indices in scan order), as a message
// names them: "300 K", "2 temperatures (300 and 1000 K)", a run of three or
// more neighbouring points as "250 to 400"; beyond six items the first five,
// "..." and the last.
std::string temperaturesText(const std::vector<ScanPoint> &points,
                             const std::vector<std::size_t> &at) {
  const auto T = [&](std::size_t i) { return numberText(points[at[i]].T); };
  if (at.size() == 1)
    return T(0) + " K";
  std::vector<std::string> items;
  for (std::size_t i = 0; i < at.size();) {
    std::size_t last = i;
    while (last + 1 < at.size() && at[last + 1] == at[last] + 1)
      ++last;
    if (last - i >= 2)
      items.push_back(T(i) + " to " + T(last));
    else
      for (std::size_t j = i; j <= last; ++j)
        items.push_back(T(j));
    i = last + 1;
  }
  constexpr std::size_t SHOWN = 6;
  std::string list;
  if (items.size() > SHOWN) {
    for (std::size_t i = 0; i + 1 < SHOWN; ++i)
      list += items[i] + ", ";
    list += "..., " + items.back();
  } else {
    list = listed(items);
  }
  return std::to_string(at.size()) + " temperatures (" + list + " K)";
}

// One warning per coefficient that is absent somewhere, naming the
// temperatures of each cause.
void warnAbsentCoefficients(const ScanResult &r, const AbsencesByMethod &absent,
                            Warnings &warnings) {
  // At and below this temperature h nu / kT is 2 pi or more.
  const double crossover = PLANCK * r.eckart.nu * CLIGHT * 100.0 / (2.0 * PI * BOLTZ);
  for (const TunnellingMethod &m : TUNNELLING_METHODS) {
    if (!m.label) // kQ itself: no coefficient
      continue;
    const Absences &a = absent[static_cast<std::size_t>(m.id)];
    const std::pair<const std::vector<std::size_t> *, std::string> causes[] = {
        {&a.outside, "at and below " + fourFigures(crossover) +
                         " K (h nu/kT >= 2 pi) the parabolic barrier's integral diverges"},
        {&a.notComputed, "it cannot be computed there (the integral over energies fails)"},
        {&a.notFinite, "it is not a finite number there"},
        {&a.notPositive, "its formula gives a value that is not above zero there"},
    };
    std::string text;
    for (const auto &[at, why] : causes)
      if (!at->empty())
        text += (text.empty() ? "" : "; ") + std::string("at ") + temperaturesText(r.points, *at) +
                ": " + why;
    if (!text.empty())
      warnings.add("no " + std::string(m.label) + " coefficient " + text);
  }
}

// A rate constant below the smallest normal double is written as 0 or with
// lost digits; neither is the rate constant.
void warnUnderflow(const ScanResult &r, Warnings &warnings) {
  if (!r.hasRates)
    return;
  const auto under = [](double x) { return x >= 0.0 && x < DBL_MIN; };
  const auto anyUnder = [&](const Columns &c) { return std::any_of(c.begin(), c.end(), under); };
  std::vector<std::size_t> at;
  bool k = false, kQ = false, kG = false, keff = false;
  for (std::size_t i = 0; i < r.points.size(); ++i) {
    const ScanPoint &p = r.points[i];
    const bool pk = p.k && under(*p.k), pkQ = anyUnder(p.rates.kQ), pkG = anyUnder(p.rates.kG);
    const bool pkeff = p.keff && anyUnder(*p.keff);
    k = k || pk;
    kQ = kQ || pkQ;
    kG = kG || pkG;
    keff = keff || pkeff;
    if (pk || pkQ || pkG || pkeff)
      at.push_back(i);
  }
  if (at.empty())
    return;
  std::vector<std::string> names;
  for (const auto &[shown, name] :
       {std::pair{k, "k"}, std::pair{kQ, "kQ"}, std::pair{kG, "kG"}, std::pair{keff, "kG*C**n"}})
    if (shown)
      names.emplace_back(name);
  warnings.add(listed(names) + (names.size() == 1 ? " underflows" : " underflow") + " at " +
               temperaturesText(r.points, at) +
               ": below the smallest double (2.2e-308) a rate constant is written as 0 or "
               "with lost digits, and a 0 there does not mean no reaction");
}

// "kQ", "kQ and k", "kQ, kG and k": the names of the quantities shown.
std::string namesText(const std::vector<std::string> &names) {
  return listed(names);
}

// --rotors given for a job whose data files have no rotors was probably meant for another job.
void warnRotorsUnused(const ScanRequest &request, ScanResult &r) {
  if (request.rotorsGiven && !r.hasRotors)
    r.warnings.add("--rotors " + std::string(extended::rotorTreatmentName(r.physics.rotors)) +
                   " changes nothing: no data file of the job has hindered rotors "
                   "(orvalen-import --rotor writes them)");
}

// A tunnelling coefficient multiplies a rate constant: without a transition
// state and a reactant (a TS line not understood, say) there is none.
void warnNoTransitionState(ScanResult &r) {
  if (r.hasRates || r.method == Method::None)
    return;
  r.warnings.add("--tunnelling " + std::string(methodName(r.method)) +
                 " changes nothing: the job has no rate constant (it needs a reactant and a "
                 "transition state, a line TS name file)");
}

// The report's plausibility checks over the whole scan, one warning each:
// a transition state below the reactants, and the temperatures where a rate
// constant of one path is above its bound. kQ and kG are held against the
// bound at the standard state, as k is, so that -P moves no warning.
void warnImplausible(const MoleculeTable &mol, const ScanResult &r, Warnings &warnings) {
  if (!r.hasRates || r.points.empty() || warnings.reportUnsound())
    return;
  if (auto text = submergedBarrier(mol, r.points.front().rates))
    warnings.add(std::move(*text));
  std::vector<std::size_t> at;
  std::array<bool, 3> above{}; // kQ, kG, k
  for (std::size_t i = 0; i < r.points.size(); ++i) {
    const ScanPoint &p = r.points[i];
    const std::optional<RateLimit> limit = rateLimit(mol, p.rates);
    if (!limit)
      return;
    const double f = toStandardState(r, p.P);
    const std::array<double, 3> k = {p.rates.kQ[limit->column] * f, p.rates.kG[limit->column] * f,
                                     p.k.value_or(0.0)};
    bool any = false;
    for (std::size_t j = 0; j < k.size(); ++j)
      if (std::isfinite(k[j]) && k[j] > limit->value) {
        above[j] = true;
        any = true;
      }
    if (any)
      at.push_back(i);
  }
  if (at.empty())
    return;
  std::vector<std::string> names;
  for (std::size_t j = 0; j < above.size(); ++j)
    if (above[j])
      names.emplace_back(std::array{"kQ", "kG", "k"}[j]);
  char dH0[64];
  std::snprintf(dH0, sizeof dH0, "%.2f", r.points.front().rates.dH0 / KJ2HARTREE);
  const std::string bound =
      r.molecularity == 2
          ? "bimolecular rate constant (" + namesText(names) +
                ", at P0 = 1e5 Pa) is above the collision limit of about 1e-9 cm3/molecule/s"
          : "unimolecular rate constant (" + namesText(names) + ") is above kB*T/h";
  // Only k: the tunnelling coefficient lifts kQ over the bound.
  const std::string coefficient = above[2] && !above[0]
                                      ? ", the molecules and the tunnelling coefficient (" +
                                            std::string(methodName(r.method)) + ")"
                                      : " and the molecules";
  warnings.add("at " + temperaturesText(r.points, at) + " the " + bound +
               ", which no reaction exceeds: check the energies (dH0 = " + dH0 + " kJ/mol)" +
               coefficient);
}

// Computed and measured rate constants within a factor of 1e4 at the median
// are a matter of the energies; beyond, of the units (cm3/mol/s for
// cm3/molecule/s is a factor 6.022e23).
constexpr double FAR_FROM_MEASURED = 1.0e4;

void warnFarFromMeasured(const ScanResult &r, const std::string &file, Warnings &warnings) {
  std::vector<double> ratios;
  for (const ScanPoint &p : r.points)
    if (p.kOverMeasured && *p.kOverMeasured > 0.0)
      ratios.push_back(*p.kOverMeasured);
  if (ratios.empty())
    return;
  std::sort(ratios.begin(), ratios.end());
  const std::size_t n = ratios.size();
  // The geometric mean of the middle two for an even count: ratios span decades.
  const double median = n % 2 == 1 ? ratios[n / 2] : std::sqrt(ratios[n / 2 - 1] * ratios[n / 2]);
  if (median >= 1.0 / FAR_FROM_MEASURED && median <= FAR_FROM_MEASURED)
    return;
  warnings.add(file + ": the median k/k_measured is " + figures(median, 2) +
               ", beyond 1e-4 to 1e+4: units? the file's k must be in the table's unit, " +
               rateUnits(r.molecularity, 2) +
               " (k in cm3/mol/s is 6.022e+23 times k in "
               "cm3/molecule/s)");
}

// k against the measured rate constant at the scanned temperatures that
// have one; one warning when none has.
void compareMeasured(ScanResult &r, const std::string &file, Warnings &warnings) {
  if (!r.measured)
    return;
  bool matched = false;
  for (ScanPoint &p : r.points) {
    const std::optional<std::size_t> m = measuredAt(*r.measured, p.T);
    matched = matched || m.has_value();
    if (m && p.k)
      p.kOverMeasured = *p.k / (*r.measured)[*m].k;
  }
  warnFarFromMeasured(r, file, warnings);
  if (!matched)
    warnings.add(file + ": " +
                 (r.measured->size() == 1 ? std::string("its one measured temperature is not")
                                          : "none of its " + std::to_string(r.measured->size()) +
                                                " measured temperatures is") +
                 " among the scanned ones (to 1e-6 relative), so there is no ratio "
                 "k/k_measured; scan them with -T to compare");
}

// The file an output replaces: its links followed as OutputFile follows
// them, its folder's path made canonical.
std::filesystem::path replacedFile(const std::string &path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path p = path;
  for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(p, ec)); ++hops) {
    const fs::path to = fs::read_symlink(p, ec);
    if (ec)
      break;
    p = to.is_absolute() ? to : p.parent_path() / to;
  }
  const fs::path absolute = fs::absolute(p, ec);
  const fs::path canonical = fs::weakly_canonical(absolute, ec);
  return ec ? absolute.lexically_normal() : canonical;
}

std::string quoted(const OutputName &o) {
  return o.option + " \"" + o.path + "\"";
}

// Two outputs of one run in one file would leave only the second; a device
// or pipe (/dev/null) takes both.
void refuseSharedOutputs(const std::vector<OutputName> &outputs) {
  for (std::size_t i = 0; i < outputs.size(); ++i)
    for (std::size_t j = i + 1; j < outputs.size(); ++j) {
      const bool devices = isDeviceOrPipe(outputs[i].path) && isDeviceOrPipe(outputs[j].path);
      if (!devices && (sameFile(outputs[i].path, outputs[j].path) ||
                       replacedFile(outputs[i].path) == replacedFile(outputs[j].path)))
        throw Error(outputs[j].path + ": " + quoted(outputs[i]) + " and " + quoted(outputs[j]) +
                    " name the same file, so nothing was written; give each output a file of "
                    "its own");
    }
}

// An output that is a file the run reads would destroy it: `read` holds the
// job input first, then the data files; `measured` may be empty.
void refuseOutputsOverInputs(const std::vector<OutputName> &outputs,
                             const std::vector<std::filesystem::path> &read,
                             const std::string &measured) {
  for (const OutputName &o : outputs) {
    for (std::size_t k = 0; k < read.size(); ++k)
      if (sameFile(read[k], o.path))
        throw Error(o.path + ": " + quoted(o) + " would replace " +
                    (k == 0 ? "the job input " : "the data file ") + read[k].string() +
                    ", so nothing was written; name another file");
    if (!measured.empty() && sameFile(measured, o.path))
      throw Error(o.path + ": " + quoted(o) + " would replace the measured rate constants " +
                  measured + ", so nothing was written; name another file");
  }
}

// The plot is SVG; a name with another extension would hide that (a device
// or pipe has no file name to read it from).
void refuseNonSvgPlot(const std::vector<OutputName> &outputs) {
  for (const OutputName &o : outputs) {
    if (o.option != "--plot" || isDeviceOrPipe(o.path))
      continue;
    std::string end = o.path.size() >= 4 ? o.path.substr(o.path.size() - 4) : std::string();
    std::transform(end.begin(), end.end(), end.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (end != ".svg")
      throw Error(quoted(o) + ": the plot is written as SVG; give a name ending in .svg");
  }
}

// Each structure of the molecules with conformers: where it came from, its
// E0 above the lowest with the options in effect (E + ZPE: the same at any
// temperature), its rotation number and optical isomers.
void describeStructures(const ScanPhysics &physics, Conditions cond, ScanResult &r) {
  for (std::size_t k = 0; k < r.molecules.size(); ++k) {
    const MoleculeSetup &s = physics.setups[k];
    if (s.structures.conformers() == 0)
      continue;
    const std::vector<double> ladder =
        extended::zeroPointLadder(s.structures.each(s.etot, cond, physics.options, s.rows));
    std::vector<StructureFacts> &facts = r.molecules[k].structures;
    facts.push_back(
        {"", ladder[0], s.m->rotnum, s.m->opticalIsomers > 1 ? s.m->opticalIsomers : 1});
    for (std::size_t j = 0; j < s.m->conformers.size(); ++j) {
      const Conformer &c = s.m->conformers[j];
      facts.push_back({validUtf8(c.source), ladder[j + 1], c.rotnum, c.opticalIsomers});
    }
  }
}

// --conformers given for a job whose data files have no conformers was
// probably meant for another job.
void warnConformersUnused(const ScanRequest &request, ScanResult &r) {
  if (request.conformersGiven && !r.hasConformers)
    r.warnings.add("--conformers " +
                   std::string(extended::conformerTreatmentName(r.physics.conformers)) +
                   " changes nothing: no data file of the job has conformers "
                   "(orvalen-import OUTPUT1 OUTPUT2 ... writes them)");
}

// --fit: the Arrhenius fits of k over the points that have one.
void fitRateConstants(ScanResult &r) {
  if (!r.hasRates)
    throw Error("--fit needs a transition state: the job has no rate constant");
  std::vector<double> ts, ks;
  for (const ScanPoint &p : r.points)
    if (p.k && *p.k > 0.0) {
      ts.push_back(p.T);
      ks.push_back(*p.k);
    }
  if (ts.size() < r.points.size())
    r.warnings.add("the fit leaves out " + std::to_string(r.points.size() - ts.size()) +
                   " temperature(s) without a rate constant k");
  r.fits = fitArrhenius(ts, ks);
}

} // namespace

void runScan(const ScanRequest &request, ScanResult &r) {
  refuseSharedOutputs(request.outputs);
  std::vector<std::filesystem::path> read;
  const Job job =
      loadJob(trimmed(fileExtension(request.job, ".inp")), MissingFiles::Refuse, r.warnings, &read);
  refuseOutputsOverInputs(request.outputs, read, request.measured);
  refuseNonSvgPlot(request.outputs);
  r.jobFile = job.inputFile;
  r.nexp = job.cond.nexp;
  r.conc = job.cond.conc;
  r.method = request.method;
  describeJob(job.mol, r);
  // Each molecule's facts once (levels set aside, the energy used, shifted or
  // not); its thermochemistry at every temperature with the options in effect.
  // The job's molecule table stays as read.
  r.physics = request.physics;
  r.physicsGiven = request.physicsGiven;
  for (extended::MoleculeFacts &f : extended::prepareMolecules(job.mol, r.physics, r.warnings)) {
    const Molecule &m = job.mol.at(f.role, f.index);
    if (const auto twice = extended::mirrorImageCountedTwice(m))
      r.warnings.add(*twice);
    r.molecules.push_back({fieldText(m.name),
                           validUtf8(trimmed(m.fileNameAsWritten)),
                           std::move(f),
                           extended::rotorFacts(m),
                           {}});
    r.hasRotors = r.hasRotors || !m.rotors.empty();
    r.hasTableLevels = r.hasTableLevels || (extended::usesLevels(m) && m.levelsFromTable);
    r.hasConformers = r.hasConformers || !m.conformers.empty();
  }
  warnRotorsUnused(request, r);
  warnNoTransitionState(r);
  warnConformersUnused(request, r);
  extended::refuseConformersWithRotors(job.mol, r.physics);
  if (r.hasRates)
    r.pathDegeneracy = extended::pathDegeneracy(job.mol);
  if (!request.measured.empty()) {
    if (!r.hasRates)
      throw Error("--measured needs a transition state: the job has no rate constant");
    r.measured = readMeasured(request.measured, rateUnits(r.molecularity, 2));
  }

  std::vector<double> temperatures = request.temperatures;
  if (temperatures.empty()) {
    if (!(job.cond.T > 0.0) || !std::isfinite(job.cond.T))
      throw Error(job.inputFile + ": the job's temperature " + fourFigures(job.cond.T) +
                  " K is not positive; give the temperatures with -T");
    temperatures.push_back(job.cond.T);
  }
  Conditions cond = job.cond;
  if (request.pressure)
    cond.P = *request.pressure;
  if (!(cond.P > 0.0) || !std::isfinite(cond.P))
    throw Error(job.inputFile + ": the pressure " + fourFigures(cond.P) +
                " Pa is not positive; give it with -P");
  const auto [tMin, tMax] = std::minmax_element(temperatures.begin(), temperatures.end());
  const ScanPhysics physics = scanPhysics(job.mol, r.molecules, r.physics, *tMin, *tMax);
  cond.T = temperatures.front();
  describeStructures(physics, cond, r);

  // The barrier comes from the first temperature's results; every point's
  // coefficients need it.
  AbsencesByMethod absent;
  r.points.reserve(temperatures.size());
  for (const double T : temperatures) {
    cond.T = T;
    ScanPoint p = computePoint(job.mol, cond, r, physics);
    if (r.points.empty() && r.hasRates)
      setBarrier(p, imaginaryFrequency(job.mol) * physics.imaginaryScale, r);
    addCoefficients(p, r, r.points.size(), absent);
    r.points.push_back(std::move(p));
  }

  warnAbsentCoefficients(r, absent, r.warnings);
  warnUnderflow(r, r.warnings);
  // Values that cannot be used: then nothing more is said of them.
  const double tLow = *tMin, tHigh = *tMax;
  checkFinite(r, r.warnings, [&](const extended::PhysicsOptions &o, double T) {
    Conditions at = cond;
    at.T = T;
    ScanResult with;
    with.physics = o;
    return computePoint(job.mol, at, with, scanPhysics(job.mol, r.molecules, o, tLow, tHigh));
  });
  warnImplausible(job.mol, r, r.warnings);
  compareMeasured(r, request.measured, r.warnings);

  if (request.fit)
    fitRateConstants(r);
}

} // namespace orvalen::scan
