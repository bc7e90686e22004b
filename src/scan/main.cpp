// orvalen-scan: rate constants of an orvalen job over a range of temperatures.

#include "base/error.hpp"
#include "base/exit_status.hpp"
#include "base/number.hpp"
#include "base/version.hpp"
#include "base/warnings.hpp"
#include "orvalen_version.hpp"
#include "scan/output.hpp"
#include "scan/output_files.hpp"
#include "scan/physics_command_line.hpp"
#include "scan/scan.hpp"
#include "scan/temperatures.hpp"

#include <CLI/CLI.hpp>

#include <csignal>
#include <iostream>

namespace {

using namespace orvalen::scan;

// The command line, the scan and its outputs; the exit status. Errors are
// thrown; the warnings found until then stay in `result`.
int runCommand(int argc, char **argv, ScanResult &result) {
  CLI::App app{"Rate constants of an orvalen job over a range of temperatures: TST kQ and kG,\n" +
                   coefficientLabels(", ", " and ") + " tunnelling, Arrhenius fits.",
               "orvalen-scan"};
  std::string job, temperatures, pressure, method = "none", format = OUTPUT_FORMATS[0].word, output,
                                           plot, measured;
  bool fit = false;
  app.add_option("JOB", job, "job input file JOB[.inp]")->required();
  app.add_option("-T,--temperatures", temperatures,
                 "K: a list 300,500,1000 or START:STOP:STEP (default: the job's own)");
  app.add_option("-P,--pressure", pressure, "Pa (default: the job's own)");
  app.add_option("--tunnelling", method,
                 offeredNames(" | ", " | ") +
                     ": the coefficient that multiplies kQ in k, the fit and the plot");
  // The American spelling, the same option; left out of the help to keep it short.
  std::string methodUs;
  app.add_option("--tunneling", methodUs)->group("");
  app.add_flag("--fit", fit, "fit k(T) = A (T/T0)^n exp(-Ea/RT), T0 = 1 K, and A exp(-Ea/RT)");
  app.add_option("--format", format,
                 outputFormatWords(" | ", " | ") + " (default " + OUTPUT_FORMATS[0].word + ")");
  app.add_option("-o,--output", output, "output file (default: standard output)");
  app.add_option("--plot", plot, "write an Arrhenius plot to FILE.svg");
  app.add_option("--measured", measured,
                 "FILE: measured T (K) and k a line, shown in the plot and as k/k_measured");
  // Beyond the harmonic oscillator: the values are converted after parsing.
  const PhysicsCommandLine physics(app);
  const std::string version = orvalen::versionText("orvalen-scan", orvalen::BUILT_NUMBER);
  app.set_version_flag("--version", version);

  if (const auto status =
          orvalen::kinetics::parseCommandLine(app, argc, argv, "orvalen-scan", version))
    return *status;

  ScanRequest request;
  request.job = job;
  request.fit = fit;
  request.measured = measured;
  if (app.count("--tunneling") && app.count("--tunnelling"))
    throw orvalen::Error("--tunnelling and --tunneling are one option: give it once");
  if (app.count("--tunneling"))
    method = methodUs;
  if (!parseMethod(method, request.method))
    throw orvalen::Error("unknown tunnelling method \"" + method + "\" (" +
                         offeredNames(", ", " or ") + ")");
  Format fmt;
  if (!parseOutputFormat(format, fmt))
    throw orvalen::Error("unknown format \"" + format + "\" (" + outputFormatWords(", ", " or ") +
                         ")");
  if (!temperatures.empty() || app.count("-T"))
    request.temperatures = parseTemperatures(temperatures);
  if (app.count("-P")) {
    const std::optional<double> p = orvalen::parseNumber(pressure);
    if (!p || !(*p > 0.0))
      throw orvalen::Error("pressure \"" + pressure + "\" is not a positive number (Pa)");
    request.pressure = p;
  }
  const GivenPhysics given = physics.read("orvalen-scan", request.physics, result.warnings);
  request.physicsGiven = given.physics;
  request.rotorsGiven = given.rotors;
  request.conformersGiven = given.conformers;
  if (!output.empty())
    request.outputs.push_back({"-o", output});
  if (!plot.empty())
    request.outputs.push_back({"--plot", plot});

  runScan(request, result);
  writeOutputs({.result = output, .plot = plot}, result, fmt, std::cout);
  orvalen::printWarnings(std::cerr, "orvalen-scan", result.warnings);
  return result.warnings.reportUnsound() ? orvalen::EXIT_REPORT_UNSOUND : orvalen::EXIT_OK;
}

} // namespace

int main(int argc, char **argv) {
  // Past a file-size limit a write then fails (and every output keeps its old
  // file) instead of the signal ending the run half-way.
  std::signal(SIGXFSZ, SIG_IGN);
  ScanResult result;
  try {
    return runCommand(argc, argv, result);
  } catch (const std::exception &e) {
    // What was found before the stop, then the stop itself.
    orvalen::printWarnings(std::cerr, "orvalen-scan", result.warnings);
    orvalen::printLine(std::cerr, "orvalen-scan: ", e.what());
    return orvalen::EXIT_STOPPED;
  }
}
