// orvalen-mech: one kinetic mechanism (Cantera YAML, Chemkin) from orvalen jobs.

#include "base/error.hpp"
#include "base/exit_status.hpp"
#include "base/number.hpp"
#include "base/output_file.hpp"
#include "base/version.hpp"
#include "base/warnings.hpp"
#include "kinetics/physics_command_line.hpp"
#include "kinetics/temperatures.hpp"
#include "kinetics/tunnelling_methods.hpp"
#include "mech/mechanism.hpp"
#include "mech/writers.hpp"
#include "orvalen_version.hpp"

#include <CLI/CLI.hpp>

#include <chrono>
#include <csignal>
#include <ctime>
#include <fstream>
#include <iostream>
#include <malloc.h>
#include <optional>
#include <sstream>

namespace {

using namespace orvalen::mech;

// --jobs FILE: one job input a line; blank lines and lines starting with '!' or '#' left out.
void readJobList(const std::string &file, std::vector<std::string> &jobs,
                 std::vector<std::filesystem::path> &read) {
  std::ifstream in(file);
  if (!in)
    throw orvalen::Error(file + ": cannot open the --jobs file; give a file of job inputs, one "
                                "a line");
  read.emplace_back(file);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string job;
    if (words >> job && job[0] != '!' && job[0] != '#')
      jobs.push_back(job);
  }
}

// --nasa-t TLOW,TMID,THIGH
orvalen::extended::NasaRanges parseRanges(const std::string &text) {
  std::vector<double> t;
  std::istringstream items(text);
  std::string item;
  while (std::getline(items, item, ',')) {
    const std::optional<double> x = orvalen::parseNumber(item);
    if (!x) {
      std::string message = "--nasa-t \"" + text;
      message += "\": \"" + item + "\" is not a number; give TLOW,TMID,THIGH in K";
      throw orvalen::Error(message);
    }
    t.push_back(*x);
  }
  if (t.size() != 3)
    throw orvalen::Error("--nasa-t \"" + text + "\" is not three temperatures TLOW,TMID,THIGH (K)");
  return {t[0], t[1], t[2]};
}

// --composition NAME=FORMULA
void addComposition(const std::string &text, MechRequest &q) {
  const std::size_t eq = text.find('=');
  const std::string name = eq == std::string::npos ? std::string() : text.substr(0, eq);
  const std::optional<orvalen::extended::Composition> atoms =
      eq == std::string::npos ? std::nullopt : parseFormula(text.substr(eq + 1));
  if (name.empty() || !atoms)
    throw orvalen::Error("--composition \"" + text +
                         "\" is not NAME=FORMULA (a species name and a formula such as C2H6)");
  std::string upper = name;
  for (char &c : upper)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  q.compositions[upper] = *atoms;
}

std::string today() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[16];
  std::strftime(text, sizeof text, "%y%m%d", &utc);
  return text;
}

struct Named {
  std::string option, path;
};

// Two outputs in one file, or an output over a file the run read, are refused
// before anything is written.
void refuseOutputs(const std::vector<Named> &outputs,
                   const std::vector<std::filesystem::path> &read) {
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    for (std::size_t k = i + 1; k < outputs.size(); ++k)
      if (outputs[i].path == outputs[k].path || orvalen::sameFile(outputs[i].path, outputs[k].path))
        throw orvalen::Error(outputs[k].path + ": " + outputs[i].option + " and " +
                             outputs[k].option +
                             " name the same file, so nothing was written; give each output "
                             "a file of its own");
    for (const std::filesystem::path &in : read)
      if (orvalen::sameFile(in, outputs[i].path))
        throw orvalen::Error(outputs[i].path + ": " + outputs[i].option + " \"" + outputs[i].path +
                             "\" would replace " + in.string() +
                             ", a file the run read, so nothing was written; name another file");
  }
}

int runCommand(int argc, char **argv, Mechanism &m) {
  CLI::App app{
      "One kinetic mechanism from orvalen jobs: NASA-7 thermochemistry, formation\n"
      "enthalpies and modified Arrhenius rate constants, as Cantera YAML and Chemkin files.",
      "orvalen-mech"};
  std::vector<std::string> jobs, compositions;
  std::string jobList, output, chemkin, thermo, atoms, nasa = "200,1000,3000", fit = "300:2000:10",
                                                       method = "none";
  bool irreversible = false;
  app.add_option("JOB", jobs, "job input files JOB[.inp], one reaction each");
  app.add_option("--jobs", jobList, "FILE: job inputs, one a line (for thousands)");
  app.add_option("-o,--output", output, "Cantera YAML file (default: standard output)");
  app.add_option("--chemkin", chemkin, "Chemkin mechanism file: elements, species, reactions");
  app.add_option("--thermo", thermo, "Chemkin thermo file: the NASA-7 cards of every species");
  app.add_option("--atoms", atoms,
                 "FILE: lines \"ELEMENT data-file\", the atoms at the molecules' level: "
                 "enthalpies on the formation scale");
  app.add_option("--composition", compositions,
                 "NAME=FORMULA: the elements of a species whose data file has no coordinates "
                 "(repeatable)");
  app.add_option("--nasa-t", nasa,
                 "TLOW,TMID,THIGH: the polynomials' ranges in K (default 200,1000,3000)");
  app.add_option("--fit-t", fit,
                 "K: the Arrhenius fit's temperatures, START:STOP:STEP or a list "
                 "(default 300:2000:10)");
  app.add_option("--tunnelling", method,
                 orvalen::kinetics::offeredNames(" | ", " | ") +
                     ": the coefficient that multiplies kQ in k (default none)");
  app.add_flag("--irreversible", irreversible,
               "write => reactions (default <=>: the reverse "
               "rate from the thermochemistry)");
  const orvalen::kinetics::PhysicsCommandLine physics(app);
  const std::string version = orvalen::versionText("orvalen-mech", orvalen::BUILT_NUMBER);
  app.set_version_flag("--version", version);
  if (const auto status =
          orvalen::kinetics::parseCommandLine(app, argc, argv, "orvalen-mech", version))
    return *status;

  MechRequest q;
  q.jobs = jobs;
  if (!jobList.empty())
    readJobList(jobList, q.jobs, m.read);
  for (const std::string &c : compositions)
    addComposition(c, q);
  q.atoms = atoms;
  q.nasa = parseRanges(nasa);
  q.fitTemperatures = orvalen::kinetics::parseTemperatures(fit);
  if (!orvalen::kinetics::parseMethod(method, q.method))
    throw orvalen::Error("unknown tunnelling method \"" + method + "\" (" +
                         orvalen::kinetics::offeredNames(", ", " or ") + ")");
  q.irreversible = irreversible;
  q.physicsGiven = physics.read("orvalen-mech", q.physics, m.warnings).physics;

  buildMechanism(q, m);

  std::vector<Named> named;
  for (const auto &[option, path] :
       {std::pair{"-o", output}, std::pair{"--chemkin", chemkin}, std::pair{"--thermo", thermo}})
    if (!path.empty())
      named.push_back({option, path});
  refuseOutputs(named, m.read);
  const Origin origin{version, today()};
  std::vector<std::unique_ptr<orvalen::OutputFile>> files;
  std::vector<orvalen::OutputFile *> complete;
  for (const Named &n : named) {
    files.push_back(std::make_unique<orvalen::OutputFile>(n.path, n.path));
    std::ostream &out = files.back()->stream();
    if (n.option == std::string("-o"))
      writeCantera(m, origin, out);
    else if (n.option == std::string("--chemkin"))
      writeChemkin(m, origin, out);
    else
      writeThermo(m, origin, out);
    complete.push_back(files.back().get());
  }
  orvalen::commitAll(complete);
  if (output.empty()) {
    writeCantera(m, origin, std::cout);
    std::cout.flush();
    if (!std::cout)
      throw orvalen::Error("standard output: write error");
  }
  orvalen::printWarnings(std::cerr, "orvalen-mech", m.warnings);
  return m.warnings.reportUnsound() ? orvalen::EXIT_REPORT_UNSOUND : orvalen::EXIT_OK;
}

} // namespace

int main(int argc, char **argv) {
  std::signal(SIGXFSZ, SIG_IGN);
  // Each job's molecule table (some 230 kB) is allocated and freed in turn:
  // kept in the heap instead of mapped and unmapped each time, thousands of
  // jobs do not fault in fresh pages for every one.
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 128 << 20);
  Mechanism m;
  try {
    return runCommand(argc, argv, m);
  } catch (const std::exception &e) {
    orvalen::printWarnings(std::cerr, "orvalen-mech", m.warnings);
    orvalen::printLine(std::cerr, "orvalen-mech: ", e.what());
    return orvalen::EXIT_STOPPED;
  }
}
