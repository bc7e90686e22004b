#include "scan/scan.hpp"

#include "fixedio/error.hpp"
#include "input/file_names.hpp"
#include "input/job_loader.hpp"
#include "rates/whole_job.hpp"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace orvalen::scan {

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

namespace {

MoleculePoint summary(int role, const Molecule &m, const MoleculeThermo &t) {
  MoleculePoint p;
  p.role = role;
  p.name = trimmed(m.name);
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
  return p;
}

std::optional<double> finite(double x) {
  return std::isfinite(x) ? std::optional<double>(x) : std::nullopt;
}

// The whole job at one temperature and pressure; `mol` receives the totals.
ScanPoint computePoint(MoleculeTable &mol, Conditions cond, const ScanResult &result) {
  ScanPoint p;
  p.T = cond.T;
  p.P = cond.P;
  p.molecules.reserve(static_cast<std::size_t>(mol.npart(0)));
  const JobResults job =
      computeJob(mol, cond, [&](int role, const Molecule &m, const MoleculeThermo &t) {
        p.molecules.push_back(summary(role, m, t));
      });
  p.reaction = job.reaction;
  p.rates = job.rates;
  if (p.rates.present) // orvalen prints zeros without a rate section
    p.keff = job.keff;
  p.tunnelling = job.tunnelling;

  // Every coefficient of TUNNELLING_METHODS, each where it has a meaning.
  if (p.rates.present && result.eckart.nu > 0.0) {
    const Tunnelling &t = p.tunnelling;
    p.kappa.wigner = finite(t.kW);
    if (t.u < 2.0 * PI) // beyond, the parabola's integral diverges and kP has no meaning
      p.kappa.parabolic = finite(t.kP);
    p.kappa.skodjeTruhlar = finite(t.kST);
    if (result.eckartDefined)
      p.kappa.eckart = finite(eckartKappa(result.eckart, cond.T));
  }
  if (p.rates.present) {
    const std::optional<double> kappa = methodOf(result.method).coefficient(p.kappa);
    if (kappa)
      p.k = finite(p.rates.kQ[2] * *kappa);
  }
  return p;
}

// A section title without the blanks around it.
std::string titleText(const std::string &title) {
  const std::string t = trimmed(title);
  const auto first = t.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : t.substr(first);
}

std::string namesJoined(const MoleculeTable &mol, int role, const char *sep) {
  std::string s;
  for (int j = 1; j <= mol.npart(role); ++j) {
    if (j > 1)
      s += sep;
    s += trimmed(mol.at(role, j).name);
  }
  return s;
}

void describeJob(const MoleculeTable &mol, ScanResult &r) {
  r.molecularity = mol.npart(REACTANT);
  r.hasReaction = hasReaction(mol);
  r.hasRates = hasRateSection(mol);
  const int other = mol.npart(PRODUCT) >= 1 ? PRODUCT : TRANSITION_STATE;
  r.chemkinName = namesJoined(mol, REACTANT, "+") + "=>" + namesJoined(mol, other, "+");
  if (r.hasRates)
    r.title = titleText(sectionTitle(mol, "", TRANSITION_STATE, " ->"));
  else if (r.hasReaction)
    r.title = titleText(sectionTitle(mol, "", PRODUCT, " =="));
  else
    r.title = namesJoined(mol, REACTANT, " + ");
}

// orvalen calls a report with a value that is not finite unsound; the scan's
// values are then unusable in the same way. One warning, at the first
// temperature that shows one.
void checkFinite(const ScanResult &r, Warnings &warnings) {
  for (const ScanPoint &p : r.points) {
    std::vector<std::string> bad;
    for (const MoleculePoint &m : p.molecules)
      for (double x : {m.tot.q, m.tot.s, m.tot.h, m.tot.g, m.corrected.eg})
        if (!std::isfinite(x)) {
          bad.push_back("the totals of " + m.name);
          break;
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
    if (bad.empty())
      continue;
    std::string list;
    for (std::size_t i = 0; i < bad.size(); ++i)
      list += (i == 0 ? "" : i + 1 == bad.size() ? " and " : ", ") + bad[i];
    warnings.addUnsound("at " + numberText(p.T) + " K " + list +
                        " are not finite numbers (NaN or Infinity): the values cannot be used");
    return;
  }
}

// Four significant figures, as a message quotes a temperature, pressure or energy.
std::string fourFigures(double v) {
  std::ostringstream s;
  s.precision(4);
  s << v;
  return s.str();
}

} // namespace

void runScan(const ScanRequest &request, ScanResult &r) {
  Job job = loadJob(trimmed(fileExtension(request.job, ".inp")), MissingFiles::Refuse, r.warnings);
  r.jobFile = job.inputFile;
  r.nexp = job.cond.nexp;
  r.conc = job.cond.conc;
  r.method = request.method;
  describeJob(job.mol, r);

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

  // The Eckart barrier does not depend on the temperature: E+ZPE sums only.
  if (r.hasRates) {
    Conditions c0 = cond;
    c0.T = temperatures.front();
    const JobResults at0 =
        computeJob(job.mol, c0, [](int, const Molecule &, const MoleculeThermo &) {});
    const double dH0 = at0.rates.dH0 / KJ2HARTREE;
    const double drZpe = r.hasReaction ? at0.reaction.drZpe / KJ2HARTREE : 0.0;
    r.eckart = EckartBarrier{dH0, dH0 - drZpe, imaginaryFrequency(job.mol)};
    const auto why = eckartUndefined(r.eckart);
    r.eckartDefined = !why;
    if (r.eckart.nu == 0.0)
      r.warnings.add("the first transition state has no imaginary frequency in row 7: "
                     "no tunnelling coefficient");
    else if (why)
      r.warnings.add("no Eckart coefficient: " + *why);
    else if (!r.hasReaction)
      r.warnings.add("the job has no product: the Eckart barrier is taken as symmetric "
                     "(V2 = V1 = " +
                     fourFigures(dH0) + " kJ/mol)");
  }

  r.points.reserve(temperatures.size());
  for (const double T : temperatures) {
    cond.T = T;
    r.points.push_back(computePoint(job.mol, cond, r));
  }

  checkFinite(r, r.warnings);
  if (r.eckartDefined) {
    // kappa grows as exp(V1/kT) at low temperature and leaves the double range.
    std::size_t missing = 0;
    double warmest = 0.0;
    for (const ScanPoint &p : r.points)
      if (!p.kappa.eckart) {
        ++missing;
        warmest = std::max(warmest, p.T);
      }
    if (missing > 0)
      r.warnings.add("no Eckart coefficient at " + std::to_string(missing) +
                     " temperature(s) up to " + numberText(warmest) +
                     " K: it is not a finite number there");
  }

  if (request.fit) {
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
}

} // namespace orvalen::scan
