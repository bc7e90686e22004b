#pragma once

// orvalen-scan's names for the tunnelling methods and their table, which live in kinetics,
// below every program that uses them.

#include "kinetics/tunnelling_methods.hpp"

namespace orvalen::scan {

using kinetics::coefficientLabels;
using kinetics::jsonKey;
using kinetics::Kappas;
using kinetics::Method;
using kinetics::methodName;
using kinetics::methodOf;
using kinetics::offeredNames;
using kinetics::parseMethod;
using kinetics::TUNNELLING_METHODS;
using kinetics::TunnellingMethod;

} // namespace orvalen::scan
