// orvalen-import: the molecule data file of one quantum-chemistry calculation.
#include "fixedio/error.hpp"
#include "molecule/mol_file_writer.hpp"
#include "orvalen_version.hpp"
#include "qc/import.hpp"
#include "qc/readers.hpp"

#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

namespace {

// "Gaussian, ORCA, NWChem, Psi4 or xtb": the programs whose outputs are read.
std::string description() {
  const auto readers = orvalen::qc::readers();
  std::string programs;
  for (std::size_t k = 0; k < readers.size(); ++k) {
    if (k > 0)
      programs += k + 1 == readers.size() ? " or " : ", ";
    programs += readers[k].program;
  }
  return "Writes the molecule data file of one calculation (" + programs +
         " output), or of a geometry and frequencies from a paper (--xyz, --freqs), for orvalen.";
}

// A message on one line of plain text, whatever bytes of an output it quotes.
std::string oneLine(std::string_view text) {
  std::string out;
  for (const char c : text)
    out += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? ' ' : c;
  constexpr std::size_t LONGEST = 1000;
  if (out.size() > LONGEST)
    out = out.substr(0, LONGEST) + " ...";
  return out;
}

} // namespace

int main(int argc, char **argv) {
  using namespace orvalen;
  CLI::App app(description(), "orvalen-import");
  std::string input, outputFile, xyz, freqs, energyFile;
  std::optional<double> energyValue;
  std::optional<int> rotnum, mult;
  app.add_option("OUTPUT", input, "Output of the frequency calculation");
  app.add_option("-o,--output", outputFile,
                 "Write the data file to FILE (default: standard output)")
      ->option_text("FILE");
  app.add_option("--energy", energyFile,
                 "Take the electronic energy from FILE, a single point at a higher level at the "
                 "same geometry")
      ->option_text("FILE");
  app.add_option("--rotnum", rotnum, "Rotation number, in place of the one of the geometry")
      ->check(CLI::Range(1, 999999))
      ->option_text("N");
  app.add_option("--mult", mult, "Spin multiplicity, in place of the one read")
      ->check(CLI::Range(1, 99))
      ->option_text("M");
  auto *xyzOpt =
      app.add_option("--xyz", xyz, "Geometry (XYZ file) of data from a paper")->option_text("FILE");
  auto *freqsOpt = app.add_option("--freqs", freqs,
                                  "Frequencies in cm-1 (free format; imaginary negative or "
                                  "with a trailing i)")
                       ->option_text("FILE");
  auto *valueOpt = app.add_option("--energy-value", energyValue, "Electronic energy in Hartree")
                       ->option_text("E");
  xyzOpt->needs(freqsOpt);
  freqsOpt->needs(xyzOpt);
  valueOpt->needs(xyzOpt);
  app.set_version_flag("--version", "orvalen-import " + std::string(orvalen::VERSION));

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp &e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion &) {
    std::cout << "orvalen-import " << orvalen::VERSION << "\n";
    return 0;
  } catch (const CLI::ParseError &e) {
    std::cerr << "orvalen-import: " << oneLine(e.what()) << " (see orvalen-import --help)\n";
    return 1;
  }

  try {
    qc::ImportOptions options;
    if (!energyFile.empty())
      options.energyFile = energyFile;
    options.energyValue = energyValue;
    options.rotationNumber = rotnum;
    options.multiplicity = mult;
    if (options.energyFile && options.energyValue)
      throw Error("--energy and --energy-value both given: give one");
    qc::Imported imp;
    if (!xyz.empty()) {
      if (!input.empty())
        throw Error(input + ": an output and --xyz/--freqs both given: give one");
      imp = qc::importUserData(xyz, freqs, options);
    } else {
      if (input.empty())
        throw Error("no OUTPUT given (see orvalen-import --help)");
      imp = qc::importOutput(input, options);
    }
    std::ostringstream text;
    try {
      writeMolFile(text, imp.data);
    } catch (const Error &e) {
      throw Error((xyz.empty() ? input : xyz) + ": " + e.what());
    }
    for (const auto &w : imp.warnings)
      std::cerr << "orvalen-import: warning: " << oneLine(w) << "\n";
    if (outputFile.empty()) {
      std::cout << text.str() << std::flush;
      if (!std::cout)
        throw Error("standard output: cannot write");
    } else {
      std::ofstream out(outputFile, std::ios::binary);
      out << text.str();
      out.close();
      if (!out)
        throw Error(outputFile + ": cannot write");
    }
  } catch (const Error &e) {
    std::cerr << "orvalen-import: " << oneLine(e.what()) << "\n";
    return 1;
  } catch (const std::exception &e) {
    std::cerr << "orvalen-import: " << oneLine(xyz.empty() ? input : xyz) << ": "
              << oneLine(e.what()) << "\n";
    return 1;
  }
  return 0;
}
