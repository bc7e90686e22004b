#pragma once

// The options beyond the harmonic oscillator on a CLI11 command line, one per
// row of extended::PHYSICS_OPTIONS, for every program that offers them.

#include "extended/physics_options.hpp"

#include <CLI/CLI.hpp>

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace orvalen {
class Warnings;
}

namespace orvalen::kinetics {

// Which of the options the command line gave.
struct GivenPhysics {
  bool physics = false;    // an option that changes molecules without rotors too
  bool rotors = false;     // an option for the hindered rotors (--rotors)
  bool conformers = false; // an option for the conformers (--conformers)
};

// CLI11 writes each option's text here while it parses: the object stays
// where it was made, as long as the app.
class PhysicsCommandLine {
public:
  // Adds the options to `app`, in the table's order, as --help lists them.
  explicit PhysicsCommandLine(CLI::App &app);
  PhysicsCommandLine(const PhysicsCommandLine &) = delete;
  PhysicsCommandLine &operator=(const PhysicsCommandLine &) = delete;

  // After app.parse: the given options set in `physics` (extended::setOptions:
  // errors name the option and `program --help`, warnings for an option that
  // changes nothing go to `warnings`).
  GivenPhysics read(std::string_view program, extended::PhysicsOptions &physics,
                    Warnings &warnings) const;

private:
  std::array<std::string, extended::PHYSICS_OPTION_COUNT> texts_;
  std::array<bool, extended::PHYSICS_OPTION_COUNT> flags_{};
  std::array<const CLI::Option *, extended::PHYSICS_OPTION_COUNT> options_{};
  // The --no- form of a flag that is on by default; nullptr for the others.
  std::array<CLI::Option *, extended::PHYSICS_OPTION_COUNT> offOptions_{};
};

// Parses the command line of `program` ("orvalen-scan") with its --version
// text: nullopt when the run goes on, else the exit status once --help or
// --version is answered or a parse error is printed ("PROGRAM: what (see
// PROGRAM --help)").
std::optional<int> parseCommandLine(CLI::App &app, int argc, char **argv, std::string_view program,
                                    const std::string &version);

} // namespace orvalen::kinetics
