#include "mech/writers.hpp"

#include "extended/formation.hpp"
#include "kinetics/tunnelling_methods.hpp"
#include "molecule/elements.hpp"

#include <cctype>
#include <charconv>
#include <cstdio>

namespace orvalen::mech {

std::string shortestText(double x) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, x);
  return std::string(text, result.ptr);
}

namespace {

std::string fixedDigits(double x, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, x);
  return text;
}

std::string symbol(int z) {
  return std::string(elementSymbol(z));
}

// A YAML number that a YAML reader takes as a float, never as an integer.
std::string yamlFloat(double x) {
  std::string t = shortestText(x);
  if (t.find_first_of(".en") == std::string::npos)
    t += ".0";
  return t;
}

// A species name as a YAML scalar: quoted where a YAML 1.1 reader would take
// it for a boolean or null (NO, ON, ...); Cantera reads both forms.
std::string yamlName(const std::string &name) {
  std::string upper = name;
  for (char &c : upper)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const char *word : {"Y", "N", "YES", "NO", "ON", "OFF", "TRUE", "FALSE", "NULL"})
    if (upper == word)
      return "\"" + name + "\"";
  return name;
}

std::string physicsText(const Mechanism &m) {
  return "tunnelling " + std::string(kinetics::methodName(m.method)) +
         (m.physicsGiven ? std::string(", physics options of orvalen-scan given")
                         : std::string(", harmonic oscillator and rigid rotor"));
}

// The description's lines, shared by the YAML description and the Chemkin comments.
std::vector<std::string> descriptionLines(const Mechanism &m, const Origin &origin) {
  std::vector<std::string> lines = {
      "Mechanism written by " + origin.generator + " from " + std::to_string(m.reactions.size()) +
          " orvalen job(s).",
      "Each rate constant is the high-pressure limit of one elementary reaction: TST k of "
      "orvalen-scan (" +
          physicsText(m) + ") fitted by A T^b exp(-Ea/RT) from " +
          shortestText(m.fitTemperatures.front()) + " to " +
          shortestText(m.fitTemperatures.back()) + " K.",
      "Thermochemistry: NASA-7 polynomials fitted to each species' own Cp, H and S at 1 atm "
      "(Sackur-Tetrode translational entropy), continuous at Tmid.",
      m.formationScale
          ? std::string("Enthalpies on the scale of formation enthalpies (--atoms).")
          : std::string("Enthalpies on the scale of the electronic energies (E0 + thermal): "
                        "equilibrium constants are right, formation enthalpies are not."),
  };
  for (const Species &s : m.species)
    lines.push_back(s.name + ": " + enthalpyNote(m, s));
  return lines;
}

std::string quotedYaml(const std::string &text) {
  std::string q = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\')
      q += '\\';
    q += c;
  }
  return q + "\"";
}

void writeSpeciesYaml(const Mechanism &m, const Species &s, std::ostream &out) {
  out << "- name: " << yamlName(s.name) << "\n  composition: {";
  bool first = true;
  for (const auto &[z, n] : s.atoms) {
    out << (first ? "" : ", ") << symbol(z) << ": " << n;
    first = false;
  }
  out << "}\n  thermo:\n    model: NASA7\n    temperature-ranges: [" << yamlFloat(s.nasa.t.tLow)
      << ", " << yamlFloat(s.nasa.t.tMid) << ", " << yamlFloat(s.nasa.t.tHigh) << "]\n    data:\n";
  for (const extended::NasaCoefficients *a : {&s.nasa.low, &s.nasa.high}) {
    out << "    - [";
    for (std::size_t k = 0; k < a->size(); ++k)
      out << (k > 0 ? ", " : "") << yamlFloat((*a)[k]);
    out << "]\n";
  }
  out << "    reference-pressure: 1 atm\n";
  out << "  note: "
      << quotedYaml(enthalpyNote(m, s) + "; " + fitNote(s) + "; job " + s.job + ", data file " +
                    s.dataFile)
      << '\n';
}

} // namespace

std::string enthalpyNote(const Mechanism &m, const Species &s) {
  if (m.formationScale && s.dfH298)
    return "DfH(298.15 K) = " + fixedDigits(*s.dfH298, 2) +
           " kJ/mol, DfH(0 K) = " + fixedDigits(*s.dfH0, 2) + " kJ/mol";
  return "H(298.15 K) = " + fixedDigits(s.h298, 2) +
         " kJ/mol on the electronic energies' scale (no --atoms)";
}

std::string fitNote(const Species &s) {
  return "NASA fit largest deviations: Cp " + fixedDigits(s.deviation.cpPercent, 3) + " %, H " +
         fixedDigits(s.deviation.h, 4) + " kJ/mol, S " + fixedDigits(s.deviation.s, 4) + " J/mol/K";
}

void writeCantera(const Mechanism &m, const Origin &origin, std::ostream &out) {
  out << "description: |-\n";
  for (const std::string &line : descriptionLines(m, origin))
    out << "  " << line << '\n';
  out << "generator: " << quotedYaml(origin.generator) << '\n';
  out << "\nunits: {length: cm, quantity: mol, activation-energy: kJ/mol}\n\nphases:\n";
  out << "- name: gas\n  thermo: ideal-gas\n  elements: [";
  for (std::size_t i = 0; i < m.elements.size(); ++i)
    out << (i > 0 ? ", " : "") << symbol(m.elements[i]);
  out << "]\n  species: [";
  for (std::size_t i = 0; i < m.species.size(); ++i)
    out << (i > 0 ? ", " : "") << yamlName(m.species[i].name);
  out << "]\n  kinetics: gas\n  reactions: all\n  state: {T: 300.0, P: 1 atm}\n\nspecies:\n";
  for (const Species &s : m.species)
    writeSpeciesYaml(m, s, out);
  out << "\nreactions:\n";
  for (const Reaction &r : m.reactions) {
    out << "- equation: " << r.equation() << '\n';
    out << "  rate-constant: {A: " << yamlFloat(r.fit.A) << ", b: " << yamlFloat(r.fit.n)
        << ", Ea: " << yamlFloat(r.fit.EaKJ) << "}\n";
    out << "  note: "
        << quotedYaml("high-pressure limit of one elementary reaction, from job " + r.job +
                      "; fit of k over " + std::to_string(r.points) +
                      " temperatures, largest deviation " +
                      fixedDigits(100.0 * r.fit.maxRelDeviation, 2) + " %")
        << '\n';
  }
}

void writeChemkin(const Mechanism &m, const Origin &origin, std::ostream &out) {
  for (const std::string &line : descriptionLines(m, origin))
    out << "! " << line << '\n';
  out << "ELEMENTS\n";
  for (const int z : m.elements)
    out << symbol(z) << '\n';
  out << "END\nSPECIES\n";
  for (const Species &s : m.species)
    out << s.name << '\n';
  out << "END\nREACTIONS KJOULES/MOLE MOLES\n";
  for (const Reaction &r : m.reactions) {
    out << "! from job " << r.job << ": high-pressure limit of one elementary reaction; fit of k "
        << "over " << r.points << " temperatures, largest deviation "
        << fixedDigits(100.0 * r.fit.maxRelDeviation, 2) << " %\n";
    char numbers[128];
    std::snprintf(numbers, sizeof numbers, " %16.9E %13.9f %15.9f", r.fit.A, r.fit.n, r.fit.EaKJ);
    std::string text;
    for (std::size_t i = 0; i < r.reactants.size(); ++i)
      text += (i > 0 ? "+" : "") + r.reactants[i];
    text += r.reversible ? "<=>" : "=>";
    for (std::size_t i = 0; i < r.products.size(); ++i)
      text += (i > 0 ? "+" : "") + r.products[i];
    out << text << numbers << '\n';
  }
  out << "END\n";
}

std::string thermoCards(const Species &s, const std::string &date) {
  char line[4][128];
  std::string elements;
  for (const auto &[z, n] : s.atoms) {
    char e[16];
    std::snprintf(e, sizeof e, "%-2s%3d", symbol(z).c_str(), n);
    elements += e;
  }
  while (elements.size() < 20)
    elements += "    0"; // an empty element field of the card
  std::snprintf(line[0], sizeof line[0], "%-18s%-6.6s%-20s%c%10.3f%10.3f%8.2f%6s1", s.name.c_str(),
                date.c_str(), elements.c_str(), 'G', s.nasa.t.tLow, s.nasa.t.tHigh, s.nasa.t.tMid,
                "");
  const extended::NasaCoefficients &h = s.nasa.high, &l = s.nasa.low;
  std::snprintf(line[1], sizeof line[1], "%15.8E%15.8E%15.8E%15.8E%15.8E    2", h[0], h[1], h[2],
                h[3], h[4]);
  std::snprintf(line[2], sizeof line[2], "%15.8E%15.8E%15.8E%15.8E%15.8E    3", h[5], h[6], l[0],
                l[1], l[2]);
  std::snprintf(line[3], sizeof line[3], "%15.8E%15.8E%15.8E%15.8E%15s    4", l[3], l[4], l[5],
                l[6], "");
  return std::string(line[0]) + '\n' + line[1] + '\n' + line[2] + '\n' + line[3] + '\n';
}

void writeThermo(const Mechanism &m, const Origin &origin, std::ostream &out) {
  out << "! Thermochemistry written by " << origin.generator
      << ": NASA-7 polynomials, standard state 1 atm.\n";
  out << "THERMO\n";
  char ranges[64];
  std::snprintf(ranges, sizeof ranges, "%10.3f%10.3f%10.3f", m.nasa.tLow, m.nasa.tMid,
                m.nasa.tHigh);
  out << ranges << '\n';
  for (const Species &s : m.species) {
    out << "! " << s.name << ": " << enthalpyNote(m, s) << "; " << fitNote(s) << '\n';
    out << thermoCards(s, origin.date);
  }
  out << "END\n";
}

} // namespace orvalen::mech
