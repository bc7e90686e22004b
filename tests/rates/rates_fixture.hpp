#pragma once

// Molecule tables for the rates tests with each molecule's thermochemistry
// totals (as computeJob returns them), built by hand or read from the .tab
// files that tests/fixtures/rates/make_expected.py writes next to the report
// text it expects.

#include "fixedio/format.hpp"
#include "molecule/conditions.hpp"
#include "molecule/molecule.hpp"
#include "rates/kinetics.hpp"
#include "rates/reaction.hpp"
#include "rates/totals_table.hpp"
#include "rates/tunnelling.hpp"
#include "thermo/constants.hpp"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace orvalen::test {

// etot, ezpe, eu, eh, eg, stot, qtot in that order.
using Totals = MoleculeTotals;

// The molecules (input data) and their totals (results), side by side.
struct Job {
  Conditions cond;
  MoleculeTable mol;
  TotalsTable totals;
};

// Adds a molecule and its thermochemistry totals, filled in by hand.
inline Molecule &addMolecule(Job &job, int role, const std::string &name, const Totals &t,
                             const std::string &file = "M.DAT") {
  Molecule &m = job.mol.at(role, job.mol.add(role));
  m.name = fixedText(name, NAME_LEN);
  m.fileName = fixedText(file, FILENAME_LEN);
  m.rotnum = 1;
  m.etot = t.etot;
  job.totals.add(role, t);
  return m;
}

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
      Totals t;
      words >> m.nneg >> m.rotnum >> nfreq >> m.freq[6] >> t.etot >> t.ezpe >> t.eu >> t.eh >>
          t.eg >> t.stot >> t.qtot;
      m.nfreq = nfreq;
      m.etot = t.etot;
      if (words.fail())
        throw std::runtime_error(path + ": cannot read line " + line);
      job.totals.add(role, t);
    } else if (!kind.empty() && kind[0] != '#') {
      throw std::runtime_error(path + ": unknown line " + line);
    }
  }
  return job;
}

// The last sections of a report in run order: reaction, rate constants,
// effective rate constant, tunnelling.
inline std::string writeRateSections(const Job &job) {
  const MoleculeTable &mol = job.mol;
  const Conditions &cond = job.cond;
  std::ostringstream text;
  fixedio::Writer out(text);
  const ReactionTotals totals = reactionThermodynamics(mol, job.totals);
  writeReactionSection(out, mol, job.totals, cond, totals);
  const RateConstants rates = rateConstants(mol, job.totals, cond);
  writeRateSection(out, mol, cond, rates);
  writeEffectiveRateConstant(out, cond, effectiveRateConstant(rates.kG, cond));
  writeTunnelling(out, tunnelling(imaginaryFrequency(mol), rates.dH0, totals.drZpe, cond.T));
  return text.str();
}

} // namespace orvalen::test
