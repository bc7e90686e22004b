#pragma once

// orvalen-scan's names for the temperatures of the command line, which live in
// kinetics, below every program that reads them.

#include "kinetics/temperatures.hpp"

namespace orvalen::scan {

using kinetics::MAX_TEMPERATURES;
using kinetics::parseTemperatures;

} // namespace orvalen::scan
