#include "driver/run.hpp"

#include "driver/program_start.hpp"
#include "molecule/molecule.hpp"
#include "report/error.hpp"
#include "report/format.hpp"
#include "report/text_file.hpp"
#include "thermo/constants.hpp"

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
    "The job input and molecule data file formats are described in the README.\n";

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

  // The run state, passed along from phase to phase.
  Conditions cond;
  MoleculeTable mol;
  (void)cond;
  (void)mol;

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
