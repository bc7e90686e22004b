// orvalen-import: the molecule data file of one quantum-chemistry calculation.
#include "base/error.hpp"
#include "base/exit_status.hpp"
#include "base/output_file.hpp"
#include "base/version.hpp"
#include "base/warnings.hpp"
#include "base/wording.hpp"
#include "molecule/mol_file_writer.hpp"
#include "qc/electronic_levels.hpp"
#include "qc/import.hpp"
#include "qc/output_text.hpp"
#include "qc/readers.hpp"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

namespace {

// "Gaussian, ORCA, NWChem, Psi4 or xtb": the programs whose outputs are read.
std::string description() {
  std::vector<std::string> programs;
  for (const orvalen::qc::Reader &r : orvalen::qc::readers())
    programs.emplace_back(r.program);
  return "Writes the molecule data file of one calculation (" + orvalen::listed(programs, " or ") +
         " output), or of a geometry and frequencies from a paper (--xyz, --freqs), for orvalen.";
}

// A message on one line, control characters shown as \t and \xNN, at most
// 1000 characters of it.
void printMessage(std::string_view prefix, std::string_view text) {
  constexpr std::size_t LONGEST = 1000;
  if (text.size() > LONGEST)
    orvalen::printLine(std::cerr, prefix, std::string(text.substr(0, LONGEST)) + " ...");
  else
    orvalen::printLine(std::cerr, prefix, text);
}

// Numbers on the command line are of the one grammar (base/number.hpp) and
// decimal: "010" is ten (not octal eight), "1d1" is ten, "0x10" and "inf" are
// no numbers.
CLI::Validator decimalInteger() {
  return CLI::Validator(
      [](std::string &value) -> std::string {
        const auto n = orvalen::qc::parseInteger(value);
        if (!n)
          return orvalen::qc::inQuotes(value) + " is not a whole decimal number";
        value = std::to_string(*n);
        return {};
      },
      "INT");
}

// A real number, within [low, high] when given (in CLI::Range's words). CLI11
// then converts the text through strtold: the validator hands on the exact
// hexadecimal text of the double it read, which strtold reads back unchanged.
CLI::Validator decimalReal(std::optional<std::pair<double, double>> range = std::nullopt) {
  return CLI::Validator(
      [range](std::string &value) -> std::string {
        const auto x = orvalen::qc::parseReal(value);
        if (!x)
          return orvalen::qc::inQuotes(value) + " is not a decimal number";
        if (range && (*x < range->first || *x > range->second))
          return "Value " + value + " not in range " + std::to_string(range->first) + " to " +
                 std::to_string(range->second);
        char hex[40];
        const auto [end, ec] =
            std::to_chars(hex, hex + sizeof hex, std::fabs(*x), std::chars_format::hex);
        value = (std::signbit(*x) ? "-0x" : "0x") + std::string(hex, end);
        return {};
      },
      "REAL");
}

// A file name, not the next option: "--energy -o x.dat" (the file forgotten)
// would take "-o" for the file. A file whose name begins with "-" is ./-name.
CLI::Validator fileName() {
  return CLI::Validator(
      [](std::string &value) -> std::string {
        if (!value.starts_with("-"))
          return {};
        return "needs a file: " + orvalen::qc::inQuotes(value) +
               " is an option (a file whose name begins with - is written ./" + value + ")";
      },
      "FILE");
}

// A data file that is one of the run's inputs would replace it.
void refuseInput(const std::string &output, const std::filesystem::path &input,
                 const std::string &role) {
  if (!input.empty() && orvalen::sameFile(output, input))
    throw orvalen::Error(output + ": -o names " + input.string() + ", " + role +
                         ", an input of this run; nothing was written: give another -o FILE");
}

// The --rotor options as given: each of --rotor-scan, --rotor-barrier,
// --rotor-mode and --rotor-symmetry belongs to the --rotor before it.
struct RotorOptions {
  std::vector<std::string> rotor, scan;
  std::vector<double> barrier;
  std::vector<int> mode, symmetry;
  CLI::Option *rotorOpt = nullptr, *scanOpt = nullptr, *barrierOpt = nullptr, *modeOpt = nullptr,
              *symmetryOpt = nullptr;

  void add(CLI::App &app) {
    rotorOpt = app.add_option("--rotor", rotor,
                              "Describe the torsion about the bond P1-P2 as a hindered rotor "
                              "(atoms from 1 in the output's order; TOP the rotating group, "
                              "P1 among it; default the fragment on P1's side); repeatable, "
                              "the --rotor-* options after it belong to it")
                   ->option_text("P1,P2[:TOP]");
    scanOpt = app.add_option("--rotor-scan", scan,
                             "Relaxed scan of the rotor's dihedral: a Gaussian opt=modredundant "
                             "output, an xtb $scan output (xtbscan.log beside it) or two "
                             "columns (degrees, Hartree); fitted by a Fourier series")
                  ->option_text("FILE");
    barrierOpt = app.add_option("--rotor-barrier", barrier,
                                "The rotor's potential V0/2 (1 - cos(sigma phi)), V0 in kJ/mol")
                     ->transform(decimalReal(std::pair{0.0, 1.0e6}))
                     ->option_text("KJMOL");
    modeOpt = app.add_option("--rotor-mode", mode,
                             "Row of the data file's frequency block whose mode the rotor "
                             "replaces (default: the mode of largest torsional character where "
                             "the output prints normal modes, else the one nearest the rotor's "
                             "harmonic wavenumber)")
                  ->transform(decimalInteger())
                  ->check(CLI::Range(1, 300))
                  ->option_text("N");
    symmetryOpt = app.add_option("--rotor-symmetry", symmetry,
                                 "The rotor's symmetry number, in place of the geometry's")
                      ->transform(decimalInteger())
                      ->check(CLI::Range(1, 999999))
                      ->option_text("N");
    for (CLI::Option *o : {rotorOpt, scanOpt, barrierOpt, modeOpt, symmetryOpt})
      o->allow_extra_args(false);
  }

  // The requests in the order given on the command line.
  std::vector<orvalen::qc::RotorRequest> requests(const CLI::App &app) const {
    using orvalen::Error;
    std::vector<orvalen::qc::RotorRequest> out;
    std::size_t next[5] = {};
    const CLI::Option *const options[5] = {rotorOpt, scanOpt, barrierOpt, modeOpt, symmetryOpt};
    for (const CLI::Option *o : app.parse_order()) {
      const auto kind = static_cast<std::size_t>(
          std::find(std::begin(options), std::end(options), o) - std::begin(options));
      if (kind >= 5)
        continue;
      const std::size_t k = next[kind]++;
      if (kind == 0) {
        out.push_back(orvalen::qc::parseRotor(rotor[k]));
        continue;
      }
      const std::string name = o->get_name();
      if (out.empty())
        throw Error(name + " before any --rotor: give --rotor P1,P2 first, then the options "
                           "of that rotor");
      orvalen::qc::RotorRequest &r = out.back();
      const bool twice = (kind == 1 && r.scan) || (kind == 2 && r.barrier) ||
                         (kind == 3 && r.mode) || (kind == 4 && r.symmetry);
      if (twice)
        throw Error("--rotor " + r.text + ": " + name +
                    " given twice for this rotor; give it "
                    "once after each --rotor");
      if (kind == 1)
        r.scan = scan[k];
      else if (kind == 2)
        r.barrier = barrier[k];
      else if (kind == 3)
        r.mode = mode[k];
      else
        r.symmetry = symmetry[k];
    }
    return out;
  }
};

} // namespace

// Options, the import, the data file; the exit status.
// The files named on the command line.
struct Files {
  std::string input, output, xyz, freqs, energy;
  // Several outputs of one molecule (its conformers; `input` the first) and
  // their --energy files, one per output or none.
  std::vector<std::string> conformers, conformerEnergies;
};

// No output over an input of the run: the output read, the --energy, --xyz,
// --freqs and --rotor-scan files, and (once known) the files read beside.
void refuseInputs(const Files &f, const orvalen::qc::ImportOptions &options) {
  if (f.output.empty())
    return;
  refuseInput(f.output, f.input, "the output read");
  refuseInput(f.output, f.energy, "the --energy file");
  refuseInput(f.output, f.xyz, "the --xyz file");
  refuseInput(f.output, f.freqs, "the --freqs file");
  for (const auto &r : options.rotors)
    if (r.scan)
      refuseInput(f.output, *r.scan, "the --rotor-scan file");
  for (const auto &c : f.conformers)
    refuseInput(f.output, c, "an output read");
  for (const auto &e : f.conformerEnergies)
    refuseInput(f.output, e, "an --energy file");
}

// The conformers of several outputs in one data file.
orvalen::qc::Imported importConformerOutputs(const Files &f,
                                             const orvalen::qc::ImportOptions &options) {
  if (!f.xyz.empty())
    throw orvalen::Error(f.input + ": several outputs and --xyz/--freqs both given: give one");
  const std::vector<std::filesystem::path> outputs(f.conformers.begin(), f.conformers.end());
  const std::vector<std::filesystem::path> energies(f.conformerEnergies.begin(),
                                                    f.conformerEnergies.end());
  orvalen::qc::ImportOptions shared = options;
  shared.energyFile.reset();
  return orvalen::qc::importConformers(outputs, energies, shared);
}

// Imports the output (or the --xyz/--freqs data) and writes the data file to
// -o, renamed into place, or to standard output; the warnings go first.
void importAndWrite(const Files &f, const orvalen::qc::ImportOptions &options) {
  using namespace orvalen;
  if (options.energyFile && options.energyValue)
    throw Error("--energy and --energy-value both given: give one");
  // A value typed in for an output replaces the output's own energy: the data
  // file must say what it is.
  if (options.energyValue && f.xyz.empty() && !options.energyMethod)
    throw Error("--energy-value needs --energy-method TEXT with an output: name the method of "
                "the energy given, e.g. --energy-method \"CCSD(T)/cc-pVTZ+MP2/CBS\"");
  if (!f.xyz.empty() && !f.input.empty())
    throw Error(f.input + ": an output and --xyz/--freqs both given: give one");
  if (f.xyz.empty() && f.input.empty())
    throw Error("no OUTPUT given (see orvalen-import --help)");
  refuseInputs(f, options);
  const qc::Imported imp = !f.conformers.empty() ? importConformerOutputs(f, options)
                           : f.xyz.empty()       ? qc::importOutput(f.input, options)
                                                 : qc::importUserData(f.xyz, f.freqs, options);
  if (!f.output.empty())
    for (const auto &beside : imp.filesBeside)
      refuseInput(f.output, beside, "a file read beside an output");
  std::ostringstream text;
  try {
    writeMolFile(text, imp.data);
  } catch (const Error &e) {
    throw Error((f.xyz.empty() ? f.input : f.xyz) + ": " + e.what());
  }
  for (const auto &w : imp.warnings)
    printMessage("orvalen-import: warning: ", w);
  if (f.output.empty()) {
    std::cout << text.str() << std::flush;
    if (!std::cout)
      throw Error("standard output: cannot write");
  } else {
    OutputFile out(f.output, f.output, BUFSIZ, NonRegularTarget::WriteDirectly);
    out.stream() << text.str();
    out.commit();
  }
}

int run(int argc, char **argv) {
  using namespace orvalen;
  CLI::App app(description(), "orvalen-import");
  std::string input, outputFile, xyz, freqs, energyFile;
  std::vector<std::string> inputs, energyFiles;
  std::optional<std::string> energyMethod, levels;
  bool noLevels = false;
  std::optional<double> energyValue;
  std::optional<int> rotnum, mult, charge;
  app.add_option("OUTPUT", inputs,
                 "Output of the frequency calculation; several outputs of one molecule: its "
                 "conformers, in one data file");
  app.add_option("-o,--output", outputFile,
                 "Write the data file to FILE (default: standard output)")
      ->check(fileName())
      ->option_text("FILE");
  app.add_option("--energy", energyFiles,
                 "Take the electronic energy from FILE, a single point at a higher level at the "
                 "same geometry, of the same charge and multiplicity (once per OUTPUT, in their "
                 "order)")
      ->check(fileName())
      ->allow_extra_args(false)
      ->option_text("FILE");
  app.add_option("--rotnum", rotnum, "Rotation number, in place of the one of the geometry")
      ->transform(decimalInteger())
      ->check(CLI::Range(1, 999999))
      ->option_text("N");
  app.add_option("--mult", mult, "Spin multiplicity, in place of the one read")
      ->transform(decimalInteger())
      ->check(CLI::Range(1, 99))
      ->option_text("M");
  auto *xyzOpt = app.add_option("--xyz", xyz, "Geometry (XYZ file) of data from a paper")
                     ->check(fileName())
                     ->option_text("FILE");
  auto *freqsOpt = app.add_option("--freqs", freqs,
                                  "Frequencies in cm-1 (free format; imaginary negative or "
                                  "with a trailing i)")
                       ->check(fileName())
                       ->option_text("FILE");
  app.add_option("--energy-value", energyValue,
                 "Electronic energy in Hartree, in place of the output's (a composite energy, "
                 "CCSD(T) plus a basis-set correction, say: name it with --energy-method)")
      ->transform(decimalReal())
      ->option_text("E");
  auto *chargeOpt =
      app.add_option("--charge", charge, "Net charge of data from a paper (default 0)")
          ->transform(decimalInteger())
          ->check(CLI::Range(-99, 99))
          ->option_text("Q");
  app.add_option("--energy-method", energyMethod,
                 "Method of the electronic energy written as \"Energy method\" (e.g. "
                 "CCSD(T)/cc-pVTZ), in place of the one the output states")
      ->option_text("TEXT");
  auto *levelsOpt = app.add_option("--levels", levels,
                                   "Electronic levels \"E1:g1,E2:g2,...\": cm-1 above the ground "
                                   "level (0 first) and degeneracies, in place of the table's")
                        ->option_text("LIST");
  auto *noLevelsOpt =
      app.add_flag("--no-levels", noLevels, "Write no electronic levels, not even the table's");
  levelsOpt->excludes(noLevelsOpt);
  RotorOptions rotorOptions;
  rotorOptions.add(app);
  xyzOpt->needs(freqsOpt);
  freqsOpt->needs(xyzOpt);
  chargeOpt->needs(xyzOpt);
  app.set_version_flag("--version", versionText("orvalen-import"));

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp &e) {
    app.exit(e);
    return EXIT_OK;
  } catch (const CLI::CallForVersion &) {
    std::cout << versionText("orvalen-import") << '\n';
    return EXIT_OK;
  } catch (const CLI::ParseError &e) {
    printMessage("orvalen-import: ", std::string(e.what()) + " (see orvalen-import --help)");
    return EXIT_STOPPED;
  }

  try {
    if (!inputs.empty())
      input = inputs.front();
    if (inputs.size() <= 1 && energyFiles.size() > 1)
      throw Error("--energy given " + std::to_string(energyFiles.size()) +
                  " times for one output: give it once");
    if (inputs.size() <= 1 && !energyFiles.empty())
      energyFile = energyFiles.front();
    if (inputs.size() <= 1)
      energyFiles.clear();
    if (inputs.size() > 1)
      for (const std::string &e : energyFiles)
        if (e.empty())
          throw Error("--energy \"\": give the name of a file");
    qc::ImportOptions options;
    if (!energyFile.empty())
      options.energyFile = energyFile;
    options.energyValue = energyValue;
    options.rotationNumber = rotnum;
    options.multiplicity = mult;
    options.charge = charge;
    options.energyMethod = energyMethod;
    if (levels)
      options.levels = qc::parseLevels(*levels);
    options.noLevels = noLevels;
    options.rotors = rotorOptions.requests(app);
    importAndWrite({input, outputFile, xyz, freqs, energyFile,
                    inputs.size() > 1 ? inputs : std::vector<std::string>{}, energyFiles},
                   options);
  } catch (const Error &e) {
    printMessage("orvalen-import: ", e.what());
    return EXIT_STOPPED;
  } catch (const std::exception &e) {
    printMessage("orvalen-import: ", (xyz.empty() ? input : xyz) + ": " + e.what());
    return EXIT_STOPPED;
  }
  return EXIT_OK;
}

int main(int argc, char **argv) {
  // Past a file-size limit a write then fails (and the data file keeps its
  // old contents) instead of the signal ending the run half-way.
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    return run(argc, argv);
  } catch (...) {
    // run() answers every error of the run; only the failure of that answer
    // itself (no memory for the message) comes here.
    std::fputs("orvalen-import: stopped by an unexpected error\n", stderr);
    return orvalen::EXIT_STOPPED;
  }
}
