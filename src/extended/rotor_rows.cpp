#include "extended/rotor_rows.hpp"

#include "base/error.hpp"
#include "molecule/torsion.hpp"
#include "thermo/constants.hpp"

#include <array>
#include <cmath>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>

namespace orvalen::extended {

namespace {

// The rotor's row, 0-based; a row that is not a real vibration has no mode to replace.
std::size_t rowOf(const Molecule &m, std::size_t k) {
  const HinderedRotor &r = m.rotors[k];
  const int rows = modeCount(m.nfreq);
  if (!modeRowFault(r.mode, std::span<const double>(m.freq.data(), static_cast<std::size_t>(rows)))
           .ok())
    throw Error(trimmed(m.name) +
                (m.fileNameAsWritten.empty() ? "" : " (" + trimmed(m.fileNameAsWritten) + ")") +
                ": hindered rotor " + std::to_string(k + 1) + " replaces mode " +
                std::to_string(r.mode) + ", which is not a real vibration of the " +
                std::to_string(rows) + " rows of its frequency block; name the torsion's row");
  return static_cast<std::size_t>(r.mode - 1);
}

struct PreparedRotor {
  std::size_t row = 0;
  RotorLevels levels;                      // quantum
  std::optional<ClassicalRotor> classical; // classical
};

} // namespace

std::vector<RotorFacts> rotorFacts(const Molecule &m) {
  std::vector<RotorFacts> facts;
  facts.reserve(m.rotors.size());
  for (const HinderedRotor &r : m.rotors) {
    const FourierTerms terms = rotorTerms(r);
    RotorFacts f;
    f.rotor = r;
    f.barrier = potentialMaximum(terms) - potentialMinimum(terms).v;
    if (r.mode >= 1 && r.mode <= MAX_FREQ)
      f.replacedWavenumber = m.freq[static_cast<std::size_t>(r.mode - 1)];
    facts.push_back(std::move(f));
  }
  return facts;
}

void fillRotorRow(VibMode &row, const RotorThermo &rotor, double T) {
  row.lfreq = 1;
  row.freqScaled = row.freq; // the rotor's values come from its potential, not a wavenumber
  row.theta = std::fabs(row.freq) * CLIGHT * 100.0 * PLANCK / BOLTZ;
  row.svib = rotor.s;
  row.zpe = rotor.zpe;
  row.hh0vib = rotor.h;
  row.uvib = rotor.zpe + rotor.h;
  row.hvib = row.uvib;
  row.gvib = row.hvib - T * row.svib / 1000.0;
  row.fvib = row.gvib;
  row.qvib0 = rotor.q;
  row.qvib = rotor.q * std::exp(-rotor.zpe * 1000.0 / (RGAS * T));
}

RowStep rotorRows(const Molecule &m, RotorTreatment treatment, double tMin, double tMax) {
  if (m.rotors.empty() || treatment == RotorTreatment::Harmonic)
    return {};
  auto prepared = std::make_shared<std::vector<PreparedRotor>>();
  prepared->reserve(m.rotors.size());
  for (std::size_t k = 0; k < m.rotors.size(); ++k) {
    PreparedRotor p;
    p.row = rowOf(m, k);
    if (treatment == RotorTreatment::Quantum)
      p.levels = quantumLevels(m.rotors[k], tMax);
    else
      p.classical.emplace(m.rotors[k], tMin);
    prepared->push_back(std::move(p));
  }
  return [prepared = std::shared_ptr<const std::vector<PreparedRotor>>(std::move(prepared))](
             const Molecule &, const Conditions &cond, Vibrations &v) {
    for (const PreparedRotor &p : *prepared)
      fillRotorRow(v.mode[p.row],
                   p.classical ? p.classical->thermo(cond.T) : quantumThermo(p.levels, cond.T),
                   cond.T);
  };
}

} // namespace orvalen::extended
