#include "kinetics/physics_command_line.hpp"

#include "base/warnings.hpp"

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
  }
}

GivenPhysics PhysicsCommandLine::read(std::string_view program, extended::PhysicsOptions &physics,
                                      Warnings &warnings) const {
  std::vector<extended::GivenOption> options;
  GivenPhysics given;
  for (std::size_t i = 0; i < extended::PHYSICS_OPTION_COUNT; ++i) {
    if (options_[i]->count() == 0)
      continue;
    options.push_back({&PHYSICS_OPTIONS[i], texts_[i], flags_[i]});
    (PHYSICS_OPTIONS[i].forRotors ? given.rotors : given.physics) = true;
  }
  extended::setOptions(options, program, physics, warnings);
  return given;
}

} // namespace orvalen::kinetics
