#include "driver/run.hpp"

#include "driver/program_start.hpp"
#include "input/job_input.hpp"
#include "molecule/mol_file.hpp"
#include "molecule/molecule.hpp"
#include "rates/kinetics.hpp"
#include "rates/reaction.hpp"
#include "rates/tunnelling.hpp"
#include "report/error.hpp"
#include "report/format.hpp"
#include "report/text_file.hpp"
#include "thermo/constants.hpp"
#include "thermo/rrho.hpp"
#include "thermo/thermo_report.hpp"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <ostream>

namespace orvalen {

namespace {

constexpr const char *USAGE =
    "Usage: orvalen [JOB[.inp] [REPORT[.out]]]\n"
    "\n"
    "Computes the RRHO thermochemistry of the reactants, products and transition\n"
    "states named in the job input file JOB.inp, the reaction and activation\n"
    "quantities, TST rate constants and tunnelling coefficients, and writes them\n"
    "to the report REPORT.out (by default JOB.out). Everything from the first '.'\n"
    "of a name is replaced by the extension; a missing job input file is created\n"
    "empty.\n"
    "\n"
    "  -h, --help     show this text\n"
    "  --version      show the version and build number\n"
    "\n"
    "Job input lines (a blank line ends the input, '!' starts a comment line):\n"
    "  COND TEMP=298.15 PRES=101325        temperature (K) and pressure (Pa)\n"
    "  REACT name file [MULT=m] [ROTNUM=s] [ETOT=e]   a reactant and its data file\n"
    "  PROD  name file [...]               a product\n"
    "  TS    name file [...]               a transition state\n"
    "  KEFF  C [n]                         effective rate constant kG*C**n\n"
    "\n"
    "The job input and molecule data file formats are documented in full in\n"
    "README.md (installed under share/doc/orvalen).\n";

} // namespace

int runProgram(const std::vector<std::string> &args, std::ostream &console,
               const BuildStamp &stamp) {
  if (args.size() > 1 && (args[1] == "-h" || args[1] == "--help")) {
    console << USAGE;
    return 0;
  }
  if (args.size() > 1 && args[1] == "--version") {
    console << "Orvalen 0.1 (build " << buildNumber(stamp) << ")\n";
    return 0;
  }

  // Program start: build number, file names, both files opened, banner.
  const int nBuild = buildNumber(stamp);
  const FileNames names = fileNames(args);
  ensureFile(names.input, names.input);
  LineFile input(names.input, names.input);
  ensureFile(names.report, names.report);
  std::ofstream reportFile(names.report, std::ios::trunc | std::ios::binary);
  if (!reportFile)
    throw Error(names.report + ": cannot open file for writing: " + std::strerror(errno));
  fmt::Writer report(reportFile);
  printTitle(report, nBuild);

  // The run state, passed along from phase to phase: constants and default
  // conditions, the molecule table with its not-given values, then the job.
  Conditions cond;
  MoleculeTable mol;
  readJobInput(input, cond, mol);

  // Every data file is read before any thermochemistry, roles in the order
  // reactants, products, transition states.
  const auto jobDir = std::filesystem::path(names.input).parent_path();
  for (int role = REACTANT; role <= TRANSITION_STATE; ++role)
    for (int j = 1; j <= mol.npart(role); ++j)
      readMolFile(mol.at(role, j), jobDir);

  for (int role = REACTANT; role <= TRANSITION_STATE; ++role)
    for (int j = 1; j <= mol.npart(role); ++j)
      tdrrho(mol.at(role, j), cond, report);

  ReactionTotals reaction;
  if (mol.npart(REACTANT) >= 1 && mol.npart(PRODUCT) >= 1) {
    reaction = reactionThermodynamics(mol);
    writeReactionSection(report, mol, cond, reaction);
  }

  RateConstants rates;
  if (mol.npart(REACTANT) >= 1 && mol.npart(TRANSITION_STATE) >= 1) {
    rates = rateConstants(mol, cond);
    writeRateSection(report, mol, cond, rates);
  }
  if (cond.nexp >= 1) // also without a rate section: kG is then 0
    writeEffectiveRateConstant(report, cond, effectiveRateConstant(rates.kG, cond));

  writeTunnelling(report, tunnelling(imaginaryFrequency(mol), rates.dH0, reaction.drZpe, cond.T));

  reportFile.flush();
  if (!reportFile)
    throw Error(names.report + ": write error");
  return 0;
}

int runProgram(const std::vector<std::string> &args, std::ostream &console) {
  return runProgram(args, console,
                    BuildStamp{ORVALEN_BUILD_STAMP_INCLUDE, ORVALEN_BUILD_STAMP_OBJECT});
}

} // namespace orvalen
