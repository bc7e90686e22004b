// orvalen-scan: rate constants of an orvalen job over a range of temperatures.

#include "base/error.hpp"
#include "base/exit_status.hpp"
#include "base/warnings.hpp"
#include "orvalen_version.hpp"
#include "scan/output.hpp"
#include "scan/output_files.hpp"
#include "scan/scan.hpp"
#include "scan/temperatures.hpp"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <csignal>
#include <iostream>

namespace {

using namespace orvalen::scan;

// The texts of --qrrho, --qrrho-cutoff, --qrrho-bav, --scale, --zpe-scale and --rotors.
struct PhysicsTexts {
  std::string qrrho, cutoff, bav, scale, zpeScale, rotors;
};

std::string lowerCase(std::string word) {
  std::transform(word.begin(), word.end(), word.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return word;
}

// A positive finite number, or an error naming the option and what it is.
double positiveOption(const char *option, const std::string &text, const char *what) {
  double x = 0.0;
  if (!parseReal(text, x) || !(x > 0.0) || !std::isfinite(x))
    throw orvalen::Error(std::string(option) + " \"" + text + "\" is not a positive number (" +
                         what + "); see orvalen-scan --help");
  return x;
}

// The options beyond the harmonic oscillator into the request; a cut-off or
// Bav that no chosen treatment uses gets a warning.
void readPhysicsOptions(const CLI::App &app, const PhysicsTexts &t, bool enthalpy, bool shift,
                        ScanRequest &request, orvalen::Warnings &warnings) {
  namespace ext = orvalen::extended;
  ext::PhysicsOptions &o = request.physics;
  if (app.count("--qrrho")) {
    const std::string word = lowerCase(t.qrrho);
    if (word == "grimme")
      o.entropy = ext::QuasiHarmonic::Grimme;
    else if (word == "truhlar")
      o.entropy = ext::QuasiHarmonic::Truhlar;
    else
      throw orvalen::Error("unknown --qrrho method \"" + t.qrrho + "\" (grimme or truhlar)");
  }
  if (app.count("--qrrho-cutoff"))
    o.cutoff = positiveOption("--qrrho-cutoff", t.cutoff, "a wavenumber in cm-1, e.g. 100");
  if (app.count("--qrrho-bav"))
    o.bav = positiveOption("--qrrho-bav", t.bav, "a moment of inertia in kg m2, e.g. 1e-44");
  if (app.count("--scale"))
    o.scale = positiveOption("--scale", t.scale, "a frequency scale factor, e.g. 0.96");
  if (app.count("--zpe-scale"))
    o.zpeScale = positiveOption("--zpe-scale", t.zpeScale, "a ZPE scale factor, e.g. 0.98");
  if (app.count("--rotors")) {
    const std::string word = lowerCase(t.rotors);
    if (word == "quantum")
      o.rotors = ext::RotorTreatment::Quantum;
    else if (word == "classical")
      o.rotors = ext::RotorTreatment::Classical;
    else if (word == "harmonic")
      o.rotors = ext::RotorTreatment::Harmonic;
    else
      throw orvalen::Error("unknown --rotors treatment \"" + t.rotors +
                           "\" (quantum, classical or harmonic)");
    request.rotorsGiven = true;
  }
  o.dampedEnergy = enthalpy;
  o.spinOrbitShift = shift;
  if (app.count("--qrrho-cutoff") && o.entropy == ext::QuasiHarmonic::Off && !enthalpy)
    warnings.add("--qrrho-cutoff " + t.cutoff +
                 " changes nothing without --qrrho or --qrrho-enthalpy");
  if (app.count("--qrrho-bav") && o.entropy != ext::QuasiHarmonic::Grimme)
    warnings.add("--qrrho-bav " + t.bav + " changes nothing without --qrrho grimme");
  request.physicsGiven = false;
  for (const char *name : {"--qrrho", "--qrrho-cutoff", "--qrrho-bav", "--qrrho-enthalpy",
                           "--scale", "--zpe-scale", "--spin-orbit-shift"})
    request.physicsGiven = request.physicsGiven || app.count(name) > 0;
}

// The command line, the scan and its outputs; the exit status. Errors are
// thrown; the warnings found until then stay in `result`.
int runCommand(int argc, char **argv, ScanResult &result) {
  CLI::App app{"Rate constants of an orvalen job over a range of temperatures: TST kQ and kG,\n" +
                   coefficientLabels(", ", " and ") + " tunnelling, Arrhenius fits.",
               "orvalen-scan"};
  std::string job, temperatures, pressure, method = "none", format = "table", output, plot,
                                           measured;
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
  app.add_option("--format", format, "table | csv | json (default table)");
  app.add_option("-o,--output", output, "output file (default: standard output)");
  app.add_option("--plot", plot, "write an Arrhenius plot to FILE.svg");
  app.add_option("--measured", measured,
                 "FILE: measured T (K) and k a line, shown in the plot and as k/k_measured");
  // Beyond the harmonic oscillator: the values are checked after parsing.
  std::string qrrho, cutoff, bav, scale, zpeScale, rotors;
  bool qrrhoEnthalpy = false, spinOrbitShift = false;
  app.add_option("--qrrho", qrrho,
                 "grimme | truhlar: quasi-harmonic entropy of the real modes below the cut-off");
  app.add_option("--qrrho-cutoff", cutoff, "CM1: the cut-off nu0 (default 100 cm-1)");
  app.add_option("--qrrho-bav", bav, "KGM2: Grimme's average moment Bav (default 1e-44 kg m2)");
  app.add_flag("--qrrho-enthalpy", qrrhoEnthalpy,
               "each mode's energy, ZPE included, damped to RT/2 below the cut-off (Head-Gordon)");
  app.add_option("--scale", scale, "F: multiply every wavenumber, the imaginary one too");
  app.add_option("--zpe-scale", zpeScale,
                 "Z: ZPE = Z * sum(h c wavenumber/2) of the unscaled wavenumbers (default F)");
  app.add_flag("--spin-orbit-shift", spinOrbitShift,
               "lower the energy of molecules with the import table's levels by their "
               "spin-orbit stabilisation");
  app.add_option("--rotors", rotors,
                 "quantum | classical | harmonic: the data files' hindered rotors, each in place "
                 "of its mode (default quantum; harmonic leaves them out)");
  const std::string version(orvalen::VERSION);
  app.set_version_flag("--version", "orvalen-scan " + version + " (Orvalen " + version +
                                        ", build " + std::to_string(orvalen::BUILT_NUMBER) + ")");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp &e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion &e) {
    return app.exit(e);
  } catch (const CLI::ParseError &e) {
    orvalen::printLine(std::cerr,
                       "orvalen-scan: ", std::string(e.what()) + " (see orvalen-scan --help)");
    return orvalen::EXIT_STOPPED;
  }

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
    throw orvalen::Error("unknown format \"" + format + "\" (table, csv or json)");
  if (!temperatures.empty() || app.count("-T"))
    request.temperatures = parseTemperatures(temperatures);
  if (app.count("-P")) {
    double p = 0.0;
    if (!parseReal(pressure, p) || !(p > 0.0))
      throw orvalen::Error("pressure \"" + pressure + "\" is not a positive number (Pa)");
    request.pressure = p;
  }
  readPhysicsOptions(app, {qrrho, cutoff, bav, scale, zpeScale, rotors}, qrrhoEnthalpy,
                     spinOrbitShift, request, result.warnings);
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
