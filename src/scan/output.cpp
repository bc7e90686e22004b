#include "scan/output.hpp"

#include "base/wording.hpp"
#include "orvalen_version.hpp"
#include "scan/columns.hpp"
#include "scan/text.hpp"

#include <nlohmann/json.hpp>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace orvalen::scan {

using nlohmann::ordered_json;

bool parseOutputFormat(std::string_view word, Format &format) {
  for (const OutputFormat &f : OUTPUT_FORMATS)
    if (word == f.word) {
      format = f.id;
      return true;
    }
  return false;
}

std::string outputFormatWords(std::string_view between, std::string_view last) {
  std::vector<std::string> words;
  for (const OutputFormat &f : OUTPUT_FORMATS)
    words.emplace_back(f.word);
  return listed(words, last, between);
}

void writeResult(std::ostream &out, const ScanResult &r, Format format) {
  for (const OutputFormat &f : OUTPUT_FORMATS)
    if (f.id == format)
      f.write(out, r);
}

std::string shortest(double x) {
  if (std::isnan(x))
    return "nan";
  if (std::isinf(x))
    return x > 0 ? "inf" : "-inf";
  char buf[32];
  const auto res = std::to_chars(buf, buf + sizeof buf, x);
  return std::string(buf, res.ptr);
}

namespace {

const char *roleName(int role) {
  return role == REACTANT ? "reactant" : role == PRODUCT ? "product" : "transition_state";
}

// ---- Table -----------------------------------------------------------------

std::string fixed(double x, int w, int d) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%*.*f", w, d, x);
  return buf;
}
std::string sci(double x, int w) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%*.5E", w, x);
  return buf;
}
std::string right(std::string_view s, int w) {
  return std::string(s.size() < static_cast<std::size_t>(w) ? w - s.size() : 0, ' ') +
         std::string(s);
}

// A cell after the first that fills its column (no blank before its text)
// would touch the cell before it: one blank keeps them apart, and the
// columns after it move right.
std::string apart(std::string cell, bool first) {
  if (!first && !cell.empty() && cell.front() != ' ')
    cell.insert(0, 1, ' ');
  return cell;
}

int cellWidth(Cell cell) {
  switch (cell) {
  case Cell::Temperature:
    return 9;
  case Cell::Energy:
    return 11;
  case Cell::Total:
  case Cell::Rate:
    return 14;
  case Cell::Kappa:
  case Cell::Ratio:
    return 12;
  case Cell::None:
    break;
  }
  return 0;
}

std::string cellText(Cell cell, const std::optional<double> &x) {
  const int w = cellWidth(cell);
  if (!x)
    return right("-", w);
  switch (cell) {
  case Cell::Temperature:
    return fixed(*x, w, 2);
  case Cell::Energy:
  case Cell::Total:
    return fixed(*x, w, 3);
  case Cell::Rate:
    return sci(*x, w);
  case Cell::Kappa: { // a coefficient deep in the tunnelling regime needs an exponent
    char buf[64];
    std::snprintf(buf, sizeof buf, *x < 1e5 ? "%*.4f" : "%*.4E", w, *x);
    return buf;
  }
  case Cell::Ratio: { // a model may be off by orders of magnitude either way
    char buf[64];
    std::snprintf(buf, sizeof buf, *x >= 0.01 && *x < 1e5 ? "%*.4f" : "%*.4E", w, *x);
    return buf;
  }
  case Cell::None:
    break;
  }
  return "";
}

// The columns the table shows: a molecule's G only where the job has nothing
// to compare, neither a reaction nor a rate constant.
std::vector<ShownColumn> tableColumns(const ScanResult &r) {
  std::vector<ShownColumn> shown;
  for (ShownColumn &c : columnsOf(r))
    if (c.row->cell != Cell::None &&
        (c.row->cell != Cell::Total || (!r.hasReaction && !r.hasRates)))
      shown.push_back(std::move(c));
  return shown;
}

std::string threeDecimals(double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3f", x);
  return buf;
}

// The row acts on the job: its rotors, table levels or conformers are there.
bool actsOn(const extended::PhysicsOption &row, const ScanResult &r) {
  return (!row.forRotors || r.hasRotors) && (!row.forTableLevels || r.hasTableLevels) &&
         (!row.forConformers || r.hasConformers);
}

// The options beyond the harmonic oscillator, as the command line gives them,
// with the defaults in effect: each that changes the values, the rows for the
// rotors only where a molecule has rotors, those for the conformers only
// where a molecule has conformers, the spin-orbit shift only where a molecule
// has the table's levels (its --no- name when it is off there).
std::string optionsText(const ScanResult &r) {
  const extended::PhysicsOptions &o = r.physics;
  std::string text;
  for (const extended::PhysicsOption *row : extended::PHYSICS_OPTIONS_SHOWN) {
    if (!actsOn(*row, r))
      continue;
    if (!extended::inEffect(*row, o)) {
      if (row->offName && extended::needsHold(*row, o))
        text += (text.empty() ? "" : " ") + std::string(row->offName);
      continue;
    }
    text += (text.empty() ? "" : " ") + std::string(row->name);
    const extended::OptionValue v = row->get(o);
    if (row->type == extended::OptionType::Choice)
      text += std::string(" ") + row->words[v.choice];
    else if (row->type == extended::OptionType::PositiveNumber)
      text += " " + shortest(v.number) + (row->unit ? std::string(" (") + row->unit + ")" : "");
  }
  return text;
}

// The options line and `options` of the JSON: with an option given, or with
// rotors or conformers, whose treatment moves values without any option.
bool optionsShown(const ScanResult &r) {
  return r.physicsGiven || r.hasRotors || r.hasTableLevels || r.hasConformers;
}

// "  TS: 1 main structure 0.000, 2 ts_gauche.out 1.234 (2 optical isomers)":
// each structure with its E0 above the lowest in kJ/mol.
std::string structuresLine(const JobMolecule &m) {
  std::string text = "  " + m.name + ":";
  for (std::size_t j = 0; j < m.structures.size(); ++j) {
    const StructureFacts &s = m.structures[j];
    text += (j > 0 ? ", " : " ") + std::to_string(j + 1) + " " +
            (s.source.empty() ? std::string("main structure") : s.source) + " " +
            threeDecimals(s.e0);
    if (s.rotationNumber > 1 || s.opticalIsomers > 1)
      text += " (rotation number " + std::to_string(s.rotationNumber) + ", " +
              std::to_string(s.opticalIsomers) + " optical " +
              (s.opticalIsomers > 1 ? "isomers)" : "isomer)");
  }
  return text;
}

// The header lines of the conformers: how they are taken, then one line per
// molecule that has them.
void conformerLines(const ScanResult &r, std::vector<std::string> &lines) {
  if (!r.hasConformers)
    return;
  lines.emplace_back(
      r.physics.conformers == extended::ConformerTreatment::All
          ? "Conformers, Q = sum Q_j exp(-(E0_j - E0_1)/RT) over each molecule's structures; E0 - "
            "E0_1 (kJ/mol):"
          : "Conformers, the structure of lowest E0 alone (--conformers lowest); E0 - E0_1 "
            "(kJ/mol):");
  for (const JobMolecule &m : r.molecules)
    if (!m.structures.empty())
      lines.push_back(structuresLine(m));
}

// What the treatment of the rotors computes, after "Hindered rotors, ".
const char *rotorTreatmentText(extended::RotorTreatment t) {
  switch (t) {
  case extended::RotorTreatment::Quantum:
    return "quantum (levels of the torsional potential; Q from the ground level, ZPE = E0 - Vmin)";
  case extended::RotorTreatment::Classical:
    return "classical (the integral over the torsional potential times x/(1 - e^-x); ZPE = h nu/2 "
           "of the harmonic wavenumber at the minimum)";
  case extended::RotorTreatment::Harmonic:
    break;
  }
  return "harmonic (left out: the modes they would replace stay harmonic oscillators)";
}

// "OH rotor 1: pivots 1-2, sigma 3, I 1.596529 amu*A^2, barrier 12.000 kJ/mol, in place of
// mode 9 (289.10 cm-1)".
std::string rotorLine(const JobMolecule &m, std::size_t k) {
  const extended::RotorFacts &f = m.rotors[k];
  char numbers[160];
  std::snprintf(numbers, sizeof numbers,
                "I %.6f amu*A^2, barrier %.3f kJ/mol, in place of mode %d (%.2f cm-1)",
                f.rotor.moment, f.barrier, f.rotor.mode, f.replacedWavenumber);
  return "  " + m.name + " rotor " + std::to_string(k + 1) + ": pivots " +
         std::to_string(f.rotor.pivot1) + "-" + std::to_string(f.rotor.pivot2) + ", sigma " +
         std::to_string(f.rotor.sigma) + ", " + numbers;
}

// What a data file brought that the harmonic oscillator leaves out.
std::string dataText(const JobMolecule &m) {
  const extended::MoleculeFacts &f = m.facts;
  std::string text = "Data file " + m.dataFile + " (" + m.name + "):";
  if (!f.levels.empty())
    text += " " + std::to_string(f.levels.size()) + " electronic levels, Qel from them";
  if (f.levelsSetAside)
    text += " electronic levels set aside (MULT= on the job line wins)";
  if (f.spinOrbitShift)
    text += ", spin-orbit shift " + threeDecimals(*f.spinOrbitShift) + " kJ/mol";
  if (f.opticalIsomers > 1)
    text += std::string(f.levels.empty() && !f.levelsSetAside ? "" : ";") + " " +
            std::to_string(f.opticalIsomers) + " optical isomers, Q times " +
            std::to_string(f.opticalIsomers);
  return text;
}

// The header lines of the treatments beyond the harmonic oscillator: the
// options, each data file that carried levels or optical isomers, the
// hindered rotors, one line each, and the reaction-path degeneracy; none
// without options and such data.
std::vector<std::string> physicsLines(const ScanResult &r) {
  std::vector<std::string> lines;
  if (optionsShown(r))
    lines.push_back("Options: " + optionsText(r));
  for (const JobMolecule &m : r.molecules)
    if (m.carriesData())
      lines.push_back(dataText(m));
  if (r.hasRotors)
    lines.push_back(std::string("Hindered rotors, ") + rotorTreatmentText(r.physics.rotors) + ":");
  for (const JobMolecule &m : r.molecules)
    for (std::size_t k = 0; k < m.rotors.size(); ++k)
      lines.push_back(rotorLine(m, k));
  conformerLines(r, lines);
  if (!lines.empty() && r.hasRates)
    lines.push_back("Reaction-path degeneracy " + shortest(r.pathDegeneracy) +
                    " (rotation numbers and optical isomers; for information: the partition "
                    "functions hold it)");
  return lines;
}

} // namespace

std::string optionsInEffect(const ScanResult &r) {
  return optionsShown(r) ? optionsText(r) : std::string();
}

void writeTable(std::ostream &out, const ScanResult &r) {
  const std::string units = rateUnits(r.molecularity, 2);
  out << r.title << "   (" << r.jobFile;
  if (!r.points.empty())
    out << ", P = " << shortest(r.points.front().P) << " Pa";
  out << ")\n";
  if (r.hasRates)
    out << "kQ, kG and k in " << units << "; " << kDefinition(r) << "\n";
  for (const std::string &line : physicsLines(r))
    out << line << '\n';
  out << '\n';

  const std::vector<ShownColumn> columns = tableColumns(r);
  std::string h1, h2;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const ShownColumn &c = columns[i];
    const int w = cellWidth(c.row->cell);
    h1 += apart(right(c.heading, w), i == 0);
    h2 += apart(right(c.row->cell == Cell::Rate ? "" : c.unit, w), i == 0);
  }
  h2.erase(h2.find_last_not_of(' ') + 1); // the units row ends with its last unit
  out << h1 << '\n' << h2 << '\n';

  for (const ScanPoint &p : r.points) {
    std::string line;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const ShownColumn &c = columns[i];
      line += apart(cellText(c.row->cell, c.at(r, p)), i == 0);
    }
    out << line << '\n';
  }

  if (r.fits) {
    const Fits &f = *r.fits;
    auto fitLine = [&](const char *label, const ArrheniusFit &a, bool withN) {
      char buf[256];
      std::snprintf(buf, sizeof buf, "  %-28s A = %.6E %s", label, a.A, units.c_str());
      out << buf;
      if (withN) {
        std::snprintf(buf, sizeof buf, "  n = %.4f", a.n);
        out << buf;
      }
      std::snprintf(buf, sizeof buf,
                    "  Ea = %.3f kJ/mol = %.3f kcal/mol  largest deviation %.2f %%\n", a.EaKJ,
                    a.EaKJ * KJ2KCAL, 100.0 * a.maxRelDeviation);
      out << buf;
    };
    out << "\nFit of k over " << f.points << " temperatures, least squares on ln k:\n";
    fitLine("k = A (T/1 K)^n exp(-Ea/RT)", f.modified, true);
    fitLine("k = A exp(-Ea/RT)", f.arrhenius, false);
    out << "CHEMKIN (A in cm, mol, s; Ea in cal/mol):\n"
        << chemkinLine(r.chemkinName, f.modified, r.molecularity) << '\n';
  }
}

// ---- CSV -------------------------------------------------------------------

void writeCsv(std::ostream &out, const ScanResult &r) {
  const std::vector<ShownColumn> columns = columnsOf(r);
  for (std::size_t i = 0; i < columns.size(); ++i) // a name may hold a comma or a quote
    out << (i ? "," : "") << csvCell(columns[i].name + " (" + columns[i].unit + ")");
  out << '\n';

  std::string line;
  for (const ScanPoint &p : r.points) {
    line.clear();
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (i)
        line += ',';
      const std::optional<double> x = columns[i].at(r, p);
      if (x && std::isfinite(*x))
        line += shortest(*x);
    }
    line += '\n';
    out << line;
  }
}

// ---- JSON ------------------------------------------------------------------

namespace {

ordered_json num(double x) {
  return std::isfinite(x) ? ordered_json(x) : ordered_json(nullptr);
}
ordered_json num(const std::optional<double> &x) {
  return x ? num(*x) : ordered_json(nullptr);
}
ordered_json columns(const Columns &c) {
  return ordered_json::array({num(c[0]), num(c[1]), num(c[2]), num(c[3])});
}

ordered_json contribution(const Contribution &c) {
  return ordered_json{{"Q", num(c.q)},       {"U_kJmol", num(c.u)}, {"H_kJmol", num(c.h)},
                      {"S_JmolK", num(c.s)}, {"F_kJmol", num(c.f)}, {"G_kJmol", num(c.g)}};
}

ordered_json molecule(const MoleculePoint &m) {
  ordered_json j{{"role", roleName(m.role)}, {"name", m.name}};
  j["elec"] = contribution(m.elec);
  j["tran"] = contribution(m.tran);
  j["rot"] = contribution(m.rot);
  j["vib"] = contribution(m.vib);
  j["vib"]["ZPE_kJmol"] = num(m.zpe);
  j["vib"]["H_H0_kJmol"] = num(m.hh0);
  j["vib"]["used"] = m.nused;
  j["tot"] = contribution(m.tot);
  j["tot"]["ZPE_kJmol"] = num(m.zpe);
  const CorrectedEnergies &c = m.corrected;
  j["corrected_hartree"] = ordered_json{
      {"E", num(c.etot)}, {"E_ZPE", num(c.ezpe)}, {"E_U", num(c.eu)},  {"E_H", num(c.eh)},
      {"E_F", num(c.ef)}, {"E_G", num(c.eg)},     {"ZPE", num(c.zpe)}, {"U", num(c.u)},
      {"H", num(c.h)},    {"F", num(c.f)},        {"G", num(c.g)}};
  if (!m.rotors.empty()) {
    ordered_json rotors = ordered_json::array();
    for (const RotorPoint &r : m.rotors)
      rotors.push_back(ordered_json{{"Q", num(r.q)},
                                    {"S_JmolK", num(r.s)},
                                    {"H_kJmol", num(r.h)},
                                    {"ZPE_kJmol", num(r.zpe)}});
    j["rotors"] = std::move(rotors);
  }
  if (!m.weights.empty()) { // summed conformers only: other outputs keep their bytes
    ordered_json weights = ordered_json::array();
    for (const double w : m.weights)
      weights.push_back(num(w));
    j["conformers"] =
        ordered_json{{"weights", std::move(weights)}, {"G_conf_kJmol", num(m.conformationalG)}};
  }
  return j;
}

ordered_json eckartInputs(const ScanResult &r) {
  if (!r.hasRates)
    return nullptr;
  return ordered_json{{"V1_kJmol", num(r.eckart.V1)},
                      {"V2_kJmol", num(r.eckart.V2)},
                      {"nu_imag_cm1", num(r.eckart.nu)}};
}

// A column's key in the JSON: its name and unit, "DrG_kJmol".
std::string jsonName(const Column &c) {
  return std::string(c.key) + c.unit.suffix;
}

// The group's energies and entropies in atomic units as computed, then every
// quantity of the group (or only those energies) in its column's unit.
void atomicThenColumnUnits(ordered_json &j, Group group, const At &at, bool onlyEnergies) {
  for (const Column &c : columnTable())
    if (c.group == group && c.hartree)
      j[std::string(c.key) + c.unit.hartreeSuffix] = num(c.hartree(at));
  for (const Column &c : columnTable())
    if (c.group == group && (c.hartree || !onlyEnergies))
      j[jsonName(c)] = num(c.value(at));
}

// The values of the group's rows named `key`: a rate constant's four columns.
ordered_json valuesNamed(std::string_view key, Group group, const At &at) {
  ordered_json a = ordered_json::array();
  for (const Column &c : columnTable())
    if (c.group == group && key == c.key)
      a.push_back(num(c.value(at)));
  return a;
}
ordered_json unitsNamed(std::string_view key, Group group, const ScanResult &r) {
  ordered_json a = ordered_json::array();
  for (const Column &c : columnTable())
    if (c.group == group && key == c.key)
      a.push_back(unitText(c.unit, r));
  return a;
}

ordered_json point(const ScanPoint &p, const ScanResult &r) {
  const At at{r, p};
  ordered_json j = ordered_json::object();
  for (const Column &c : columnTable())
    if (c.group == Group::Point)
      j[jsonName(c)] = num(c.value(at));
  ordered_json mols = ordered_json::array();
  for (const auto &m : p.molecules)
    mols.push_back(molecule(m));
  j["molecules"] = std::move(mols);
  if (r.hasReaction) {
    ordered_json reaction = ordered_json::object();
    atomicThenColumnUnits(reaction, Group::Reaction, at, false);
    j["reaction"] = std::move(reaction);
  } else {
    j["reaction"] = nullptr;
  }
  if (r.hasRates) {
    const RateConstants &k = p.rates;
    ordered_json activation = ordered_json::object();
    atomicThenColumnUnits(activation, Group::Rates, at, true);
    activation["kBT_h"] = num(k.kTh);
    const Column &prodQ = columnNamed("ProdQ");
    activation[jsonName(prodQ)] = num(prodQ.value(at));
    activation["exp_dH0_RT"] = num(k.E0);
    j["activation"] = std::move(activation);
    j["Fc"] = columns(k.fc);
    j["A"] = columns(k.a);
    j["kQ"] = valuesNamed("kQ", Group::Rates, at);
    j["kG"] = valuesNamed("kG", Group::Rates, at);
  } else {
    for (const char *key : {"activation", "Fc", "A", "kQ", "kG"})
      j[key] = nullptr;
  }
  // The CSV's kG*C**n, named after the KEFF line.
  j["keff"] = p.keff ? valuesNamed("kG*C**n", Group::Keff, at) : ordered_json(nullptr);
  ordered_json kappa = ordered_json::object();
  for (const TunnellingMethod &m : TUNNELLING_METHODS)
    if (m.label)
      kappa[jsonKey(m)] = num(m.coefficient(p.kappa));
  j["kappa"] = std::move(kappa);
  // The report's tunnelling lines as computed there, meaningful or not.
  const Tunnelling &t = p.tunnelling;
  j["report_tunnelling"] = ordered_json{{"wigner", num(t.kW)},
                                        {"parabolic", num(t.kP)},
                                        {"skodje_truhlar", num(t.kST)},
                                        {"skodje_truhlar_a_gt_b", num(t.kST1)},
                                        {"skodje_truhlar_a_lt_b", num(t.kST2)}};
  const Column &k = columnNamed("k");
  j[jsonName(k)] = num(k.value(at));
  if (r.measured)
    j["k_over_k_measured"] = num(p.kOverMeasured);
  j["eckart"] = eckartInputs(r);
  return j;
}

// Every option with its value in effect (a choice without a word: null), the
// rows for the rotors only where a molecule has rotors.
ordered_json optionsJson(const ScanResult &r) {
  if (!optionsShown(r))
    return nullptr;
  ordered_json j = ordered_json::object();
  for (const extended::PhysicsOption *row : extended::PHYSICS_OPTIONS_SHOWN) {
    if ((row->forRotors && !r.hasRotors) || (row->forConformers && !r.hasConformers))
      continue;
    const extended::OptionValue v = row->get(r.physics);
    switch (row->type) {
    case extended::OptionType::Flag:
      j[row->jsonKey] = v.on && actsOn(*row, r);
      break;
    case extended::OptionType::Choice:
      j[row->jsonKey] =
          extended::isOff(*row, v) ? ordered_json(nullptr) : ordered_json(row->words[v.choice]);
      break;
    case extended::OptionType::PositiveNumber:
      j[row->jsonKey] = num(v.number);
      break;
    }
  }
  return j;
}

// A rotor of the data file: its atoms, symmetry number, moment, potential and
// the wavenumber of the mode it replaces.
ordered_json rotorJson(const extended::RotorFacts &f) {
  const HinderedRotor &r = f.rotor;
  ordered_json potential = ordered_json::object();
  if (r.cosine) {
    potential["cosine_V0_kJmol"] = num(r.barrier);
  } else {
    ordered_json terms = ordered_json::array();
    for (const std::array<double, 2> &t : r.fourier)
      terms.push_back(ordered_json::array({num(t[0]), num(t[1])}));
    potential["fourier_kJmol"] = std::move(terms);
  }
  return ordered_json{{"mode", r.mode},
                      {"pivots", ordered_json::array({r.pivot1, r.pivot2})},
                      {"top", r.top},
                      {"sigma", r.sigma},
                      {"I_amuA2", num(r.moment)},
                      {"potential", std::move(potential)},
                      {"barrier_kJmol", num(f.barrier)},
                      {"replaced_mode_cm1", num(f.replacedWavenumber)}};
}

// What does not depend on the temperature, in job order.
ordered_json moleculesJson(const ScanResult &r) {
  ordered_json a = ordered_json::array();
  for (const JobMolecule &m : r.molecules) {
    ordered_json levels = nullptr;
    if (!m.facts.levels.empty()) {
      levels = ordered_json::array();
      for (const ElectronicLevel &l : m.facts.levels)
        levels.push_back(ordered_json::array({num(l.energy), l.degeneracy}));
    }
    ordered_json j{{"name", m.name},
                   {"role", roleName(m.facts.role)},
                   {"levels", std::move(levels)},
                   {"optical_isomers", m.facts.opticalIsomers},
                   {"spin_orbit_shift_kJmol", num(m.facts.spinOrbitShift)}};
    if (!m.rotors.empty()) { // left out without rotors: those outputs keep their bytes
      ordered_json rotors = ordered_json::array();
      for (const extended::RotorFacts &f : m.rotors)
        rotors.push_back(rotorJson(f));
      j["rotors"] = std::move(rotors);
    }
    if (!m.structures.empty()) { // as the rotors
      ordered_json structures = ordered_json::array();
      for (const StructureFacts &s : m.structures)
        structures.push_back(ordered_json{
            {"from", s.source.empty() ? ordered_json(nullptr) : ordered_json(s.source)},
            {"E0_above_lowest_kJmol", num(s.e0)},
            {"rotation_number", s.rotationNumber},
            {"optical_isomers", s.opticalIsomers}});
      j["conformers"] = std::move(structures);
    }
    a.push_back(std::move(j));
  }
  return a;
}

ordered_json fitJson(const ArrheniusFit &f, bool modified) {
  ordered_json j{{"A", num(f.A)}};
  if (modified)
    j["n"] = num(f.n);
  j["Ea_kJmol"] = num(f.EaKJ);
  j["Ea_kcalmol"] = num(f.EaKJ * KJ2KCAL);
  if (modified)
    j["T0"] = f.T0;
  j["max_rel_deviation"] = num(f.maxRelDeviation);
  return j;
}

} // namespace

namespace {

// A value dumped with one blank per level, set `depth` levels deep. Its
// texts are valid UTF-8 already; the replacing handler keeps a stray byte
// from stopping the writer half-way all the same.
std::string nested(const ordered_json &v, int depth) {
  std::string text = v.dump(1, ' ', false, ordered_json::error_handler_t::replace);
  const std::string indent = "\n" + std::string(static_cast<std::size_t>(depth), ' ');
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char c : text)
    if (c == '\n')
      out += indent;
    else
      out += c;
  return out;
}

} // namespace

void writeJson(std::ostream &out, const ScanResult &r) {
  ordered_json units = ordered_json::object();
  for (const Column &c : columnTable())
    if (c.group == Group::Point)
      units[c.key] = unitText(c.unit, r);
  units["energies"] = "kJ/mol (_kJmol), Hartree (_hartree)";
  units["entropies"] = "J/(mol K) (_JmolK), Hartree/K (_hartreeK)";
  units["kQ"] = unitsNamed("kQ", Group::Rates, r);
  units["keff"] = unitsNamed("kG*C**n", Group::Keff, r);
  units["k"] = unitText(columnNamed("k").unit, r);
  if (r.hasRates)
    units["k_definition"] = kDefinition(r);
  ordered_json fit = nullptr;
  if (r.fits)
    fit = ordered_json{{"points", r.fits->points},
                       {"modified", fitJson(r.fits->modified, true)},
                       {"arrhenius", fitJson(r.fits->arrhenius, false)},
                       {"chemkin", chemkinLine(r.chemkinName, r.fits->modified, r.molecularity)}};

  // One temperature at a time, so that a long scan never holds its whole
  // document twice (as a tree and as text).
  const auto field = [&](const char *key, const ordered_json &value) {
    out << " \"" << key << "\": " << nested(value, 1) << ",\n";
  };
  out << "{\n";
  field("program", "orvalen-scan");
  field("version", std::string(VERSION));
  field("job", validUtf8(r.jobFile));
  field("reaction", r.reportedTitle);
  field("title", r.title);
  field("molecularity", r.molecularity);
  field("tunnelling", methodName(r.method));
  field("units", units);
  field("eckart", eckartInputs(r));
  if (optionsShown(r))
    field("options", optionsJson(r));
  if (r.hasRates)
    field("path_degeneracy", num(r.pathDegeneracy));
  field("molecules", moleculesJson(r));
  out << " \"temperatures\": [";
  for (std::size_t i = 0; i < r.points.size(); ++i)
    out << (i ? ",\n  " : "\n  ") << nested(point(r.points[i], r), 2);
  out << (r.points.empty() ? "],\n" : "\n ],\n");
  field("fit", fit);
  ordered_json warnings = ordered_json::array();
  for (const std::string &w : r.warnings.texts()) // they quote input as read, bytes and all
    warnings.push_back(validUtf8(w));
  out << " \"warnings\": " << nested(warnings, 1) << "\n}\n";
}

} // namespace orvalen::scan
