#include "driver/run.hpp"

#include "base/error.hpp"
#include "base/exit_status.hpp"
#include "base/output_file.hpp"
#include "base/version.hpp"
#include "base/wording.hpp"
#include "driver/program_start.hpp"
#include "driver/report_check.hpp"
#include "fixedio/format.hpp"
#include "input/job_loader.hpp"
#include "molecule/conditions.hpp"
#include "molecule/molecule.hpp"
#include "rates/plausibility.hpp"
#include "rates/whole_job.hpp"
#include "thermo/thermo_report.hpp"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace orvalen {

namespace {

constexpr const char *USAGE =
    "Usage: orvalen [JOB[.inp] [REPORT[.out]]]\n"
    "\n"
    "Computes the RRHO thermochemistry of the reactants, products and transition\n"
    "states named in the job input file JOB.inp, the reaction and activation\n"
    "quantities, TST rate constants and tunnelling coefficients, and writes them\n"
    "to the report REPORT.out (by default JOB.out). Everything from the first '.'\n"
    "of a name's last component is replaced by the extension; a missing job input\n"
    "file is created empty.\n"
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
    "Exit status: 0 the report was written; 2 it was written but cannot be used\n"
    "(a data file missing or empty, NaN or Infinity in it); 1 an error stopped the\n"
    "run. Warnings about input that is probably not what was meant go to standard\n"
    "error, one line each.\n"
    "\n"
    "The job input and molecule data file formats are documented in full in\n"
    "docs/orvalen.md and docs/data-file.md (installed under share/doc/orvalen/docs).\n";

// Each step's results written as they come: the molecule sections, then the
// reaction, rate constant, effective rate constant and tunnelling sections.
void writeJob(fixedio::Writer &report, const Job &job, Warnings &warnings) {
  const Conditions &cond = job.cond;
  const JobResults results =
      computeJob(job.mol, cond, [&](int, const Molecule &m, const MoleculeThermo &t) {
        writeMoleculeSection(report, m, cond, t);
      });
  if (results.reaction.present)
    writeReactionSection(report, job.mol, results.molecules, cond, results.reaction);
  if (results.rates.present)
    writeRateSection(report, job.mol, cond, results.rates);
  if (results.keff)
    writeEffectiveRateConstant(report, cond, *results.keff);
  writeTunnelling(report, results.tunnelling);
  checkResults(job.mol, cond, results, warnings);
}

// What of one molecule's data file the report leaves out: "electronic
// levels, 2 optical isomers"; empty when nothing.
std::string leftOut(const Molecule &m) {
  std::string what;
  const auto add = [&](const std::string &text) { what += (what.empty() ? "" : ", ") + text; };
  if (!m.levels.empty())
    add("electronic levels");
  if (m.opticalIsomers > 1)
    add(std::to_string(m.opticalIsomers) + " optical isomers");
  if (m.rotors.size() == 1)
    add("1 hindered rotor");
  else if (m.rotors.size() > 1)
    add(std::to_string(m.rotors.size()) + " hindered rotors");
  if (!m.conformers.empty())
    add(std::to_string(m.conformers.size() + 1) + " conformers");
  return what;
}

// Electronic levels, optical isomers, hindered rotors and conformers of the data files
// enter orvalen-scan's numbers, never the report's: one warning for the job
// names each molecule that has them and what the report leaves out.
void warnDataLeftOut(const MoleculeTable &mol, Warnings &warnings) {
  std::vector<std::string> entries;
  bool levels = false, isomers = false, rotors = false, conformers = false;
  for (int role = REACTANT; role <= TRANSITION_STATE; ++role)
    for (int j = 1; j <= mol.npart(role); ++j) {
      const Molecule &m = mol.at(role, j);
      levels = levels || !m.levels.empty();
      isomers = isomers || m.opticalIsomers > 1;
      rotors = rotors || !m.rotors.empty();
      conformers = conformers || !m.conformers.empty();
      const std::string what = leftOut(m);
      const std::string entry = trimmed(m.name) + " (" + what + ")";
      if (!what.empty() && std::find(entries.begin(), entries.end(), entry) == entries.end())
        entries.push_back(entry);
    }
  if (entries.empty())
    return;
  std::vector<std::string> takes;
  if (levels)
    takes.emplace_back("the multiplicity alone");
  if (isomers)
    takes.emplace_back("one form of each molecule");
  if (rotors)
    takes.emplace_back("every torsion as a harmonic vibration");
  if (conformers)
    takes.emplace_back("the main structure (of lowest E0) of each molecule alone");
  std::string text = "the report leaves out data of the data files, used by orvalen-scan only: ";
  for (std::size_t k = 0; k < entries.size(); ++k)
    text += (k > 0 ? ", " : "") + entries[k];
  text += "; the report's numbers take " + listed(takes);
  warnings.add(text);
}

// A report that is the job input or one of its data files (the same file by
// device and inode, links followed) would destroy it: the run stops first.
void refuseReportOverInput(const FileNames &names,
                           const std::vector<std::filesystem::path> &inputs) {
  for (std::size_t k = 0; k < inputs.size(); ++k)
    if (sameFile(inputs[k], names.report))
      throw Error(names.report + ": the report would replace " +
                  (k == 0 ? std::string("the job input ") + names.input
                          : "the data file " + inputs[k].string()) +
                  ", so nothing was written; name another report: orvalen JOB REPORT");
}

} // namespace

int runProgram(const std::vector<std::string> &args, std::ostream &console, const BuildStamp &stamp,
               Warnings &warnings) {
  // Any other word that begins with "-" stops the run before a file is touched.
  if (const std::string option = unknownOption(args); !option.empty())
    throw Error("unknown option " + option + " (try orvalen --help)");
  if (args.size() > 1 && (args[1] == "-h" || args[1] == "--help")) {
    console << USAGE;
    return EXIT_OK;
  }
  if (args.size() > 1 && args[1] == "--version") {
    console << versionText("Orvalen", buildNumber(stamp)) << '\n';
    return EXIT_OK;
  }

  // Program start: build number and file names.
  const int nBuild = buildNumber(stamp);
  const FileNames names = fileNames(args);
  if (args.size() < 2 || args[1].find_first_not_of(' ') == std::string::npos)
    warnings.add("no job named, so the job input is \"" + names.input + "\" and the report \"" +
                 names.report + "\"; run \"orvalen JOB\" to read JOB.inp and write JOB.out");
  ensureJobInput(names.input);

  // The run state: the job as read (conditions, molecule table with every data
  // file read and checked). Every file the run reads is known before the report
  // is opened, so that the report never replaces one of them; an error in them
  // is reported after the banner, as the report always showed it.
  std::vector<std::filesystem::path> inputs;
  std::optional<Job> job;
  std::exception_ptr stop;
  try {
    job.emplace(loadJob(names.input, MissingFiles::CreateEmpty, warnings, &inputs));
    warnDataLeftOut(job->mol, warnings);
  } catch (const Error &) {
    stop = std::current_exception();
  }
  refuseReportOverInput(names, inputs);

  // A report of a large job is a megabyte: written in 64 KB blocks, not 8 KB.
  constexpr std::size_t BLOCK = std::size_t{1} << 16;
  OutputFile reportFile(names.report, names.report, BLOCK);
  fixedio::Writer report(reportFile.stream());
  try {
    printTitle(report, nBuild);
    if (stop)
      std::rethrow_exception(stop);
    writeJob(report, *job, warnings);
  } catch (const Error &) {
    reportFile.commit(); // the lines written before the error stay the report
    throw;
  }
  reportFile.close();

  // The report as the user will read it: numbers that are not finite. Only
  // the field editing writes them, so a report without one is not read back.
  // The check reads this run's own file, before it takes the report's place.
  if (report.nonFiniteFields() > 0) {
    std::vector<char> block(BLOCK);
    std::ifstream written;
    written.rdbuf()->pubsetbuf(block.data(), static_cast<std::streamsize>(block.size()));
    written.open(reportFile.temporaryPath(), std::ios::binary);
    checkReport(written, names.report, warnings);
  }
  reportFile.finish();
  return warnings.reportUnsound() ? EXIT_REPORT_UNSOUND : EXIT_OK;
}

int runProgram(const std::vector<std::string> &args, std::ostream &console,
               const BuildStamp &stamp) {
  Warnings ignored;
  return runProgram(args, console, stamp, ignored);
}

int runProgram(const std::vector<std::string> &args, std::ostream &console, Warnings &warnings) {
  return runProgram(args, console,
                    BuildStamp{ORVALEN_BUILD_STAMP_INCLUDE, ORVALEN_BUILD_STAMP_OBJECT}, warnings);
}

} // namespace orvalen
