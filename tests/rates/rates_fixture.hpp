#pragma once

// Molecule tables for the rates tests, built by hand or read from the .tab
// files that tests/fixtures/rates/make_expected.py writes next to the report
// text it expects.

#include "fixedio/format.hpp"
#include "molecule/conditions.hpp"
#include "molecule/molecule.hpp"
#include "rates/kinetics.hpp"
#include "rates/reaction.hpp"
#include "rates/tunnelling.hpp"
#include "thermo/constants.hpp"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace orvalen::test {

struct Totals {
  double etot, ezpe, eu, eh, eg, stot, qtot;
};

// Adds a molecule with its thermochemistry totals filled in by hand.
inline Molecule &addMolecule(MoleculeTable &mol, int role, const std::string &name, const Totals &t,
                             const std::string &file = "M.DAT") {
  Molecule &m = mol.at(role, mol.add(role));
  m.name = fixedText(name, NAME_LEN);
  m.fileName = fixedText(file, FILENAME_LEN);
  m.rotnum = 1;
  m.etot = t.etot;
  m.ezpe = t.ezpe;
  m.eu = t.eu;
  m.eh = t.eh;
  m.eg = t.eg;
  m.stot = t.stot;
  m.qtot = t.qtot;
  return m;
}

struct Job {
  Conditions cond;
  MoleculeTable mol;
};

inline std::string fixturePath(const std::string &name) {
  return std::string(ORVALEN_FIXTURES) + "/rates/" + name;
}

inline std::string readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw std::runtime_error("cannot open " + path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// "cond T P conc nexp" and "mol role name file nneg rotnum nfreq freq7 etot
// ezpe eu eh eg stot qtot" lines; '#' starts a comment line.
inline Job readJob(const std::string &path) {
  std::istringstream in(readFile(path));
  Job job;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string kind;
    words >> kind;
    if (kind == "cond") {
      words >> job.cond.T >> job.cond.P >> job.cond.conc >> job.cond.nexp;
      if (words.fail())
        throw std::runtime_error(path + ": cannot read line " + line);
    } else if (kind == "mol") {
      int role = 0, nfreq = 0;
      std::string name, file;
      words >> role >> name >> file;
      Molecule &m = job.mol.at(role, job.mol.add(role));
      m.name = fixedText(name, NAME_LEN);
      m.fileName = fixedText(file, FILENAME_LEN);
      words >> m.nneg >> m.rotnum >> nfreq >> m.freq[6] >> m.etot >> m.ezpe >> m.eu >> m.eh >>
          m.eg >> m.stot >> m.qtot;
      m.nfreq = nfreq;
      if (words.fail())
        throw std::runtime_error(path + ": cannot read line " + line);
    } else if (!kind.empty() && kind[0] != '#') {
      throw std::runtime_error(path + ": unknown line " + line);
    }
  }
  return job;
}

// The last sections of a report in run order: reaction, rate constants,
// effective rate constant, tunnelling.
inline std::string writeRateSections(const MoleculeTable &mol, const Conditions &cond) {
  std::ostringstream text;
  fixedio::Writer out(text);
  const ReactionTotals totals = reactionThermodynamics(mol);
  writeReactionSection(out, mol, cond, totals);
  const RateConstants rates = rateConstants(mol, cond);
  writeRateSection(out, mol, cond, rates);
  writeEffectiveRateConstant(out, cond, effectiveRateConstant(rates.kG, cond));
  writeTunnelling(out, tunnelling(imaginaryFrequency(mol), rates.dH0, totals.drZpe, cond.T));
  return text.str();
}

} // namespace orvalen::test
