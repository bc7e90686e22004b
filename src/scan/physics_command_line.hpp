#pragma once

// orvalen-scan's names for the physics options on a CLI11 command line, which live in kinetics,
// below every program that uses them.

#include "kinetics/physics_command_line.hpp"

namespace orvalen::scan {

using kinetics::GivenPhysics;
using kinetics::PhysicsCommandLine;

} // namespace orvalen::scan
