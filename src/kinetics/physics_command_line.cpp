#include "kinetics/physics_command_line.hpp"

#include "base/error.hpp"
#include "base/exit_status.hpp"
#include "base/warnings.hpp"

#include <iostream>
#include <vector>

namespace orvalen::kinetics {

using extended::OptionType;
using extended::PHYSICS_OPTIONS;

PhysicsCommandLine::PhysicsCommandLine(CLI::App &app) {
  for (std::size_t i = 0; i < extended::PHYSICS_OPTION_COUNT; ++i) {
    const extended::PhysicsOption &o = PHYSICS_OPTIONS[i];
    options_[i] = o.type == OptionType::Flag
                      ? app.add_flag(o.name, flags_[i], extended::helpText(o))
                      : app.add_option(o.name, texts_[i], extended::helpText(o));
    // A flag that is on by default is turned off by a name of its own.
    if (o.offName != nullptr) {
      offOptions_[i] = app.add_flag(o.offName)->description(
          "leave out what " + std::string(o.name) + " does (it is the default)");
    }
  }
}

GivenPhysics PhysicsCommandLine::read(std::string_view program, extended::PhysicsOptions &physics,
                                      Warnings &warnings) const {
  std::vector<extended::GivenOption> options;
  GivenPhysics given;
  for (std::size_t i = 0; i < extended::PHYSICS_OPTION_COUNT; ++i) {
    const bool off = offOptions_[i] != nullptr && offOptions_[i]->count() > 0;
    if (off && options_[i]->count() > 0)
      throw Error(std::string(PHYSICS_OPTIONS[i].name) + " and " + PHYSICS_OPTIONS[i].offName +
                  " both given: give one");
    if (options_[i]->count() == 0 && !off)
      continue;
    options.push_back({&PHYSICS_OPTIONS[i], texts_[i], flags_[i] && !off});
    (PHYSICS_OPTIONS[i].forRotors       ? given.rotors
     : PHYSICS_OPTIONS[i].forConformers ? given.conformers
                                        : given.physics) = true;
  }
  extended::setOptions(options, program, physics, warnings);
  return given;
}

std::optional<int> parseCommandLine(CLI::App &app, int argc, char **argv, std::string_view program,
                                    const std::string &version) {
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp &e) {
    app.exit(e);
    return EXIT_OK;
  } catch (const CLI::CallForVersion &) {
    std::cout << version << '\n';
    return EXIT_OK;
  } catch (const CLI::ParseError &e) {
    printLine(std::cerr, std::string(program) + ": ",
              std::string(e.what()) + " (see " + std::string(program) + " --help)");
    return EXIT_STOPPED;
  }
  return std::nullopt;
}

} // namespace orvalen::kinetics
