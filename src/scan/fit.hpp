#pragma once

// orvalen-scan's names for the Arrhenius fits, which live in kinetics,
// below every program that uses them.

#include "kinetics/fit.hpp"

namespace orvalen::scan {

using kinetics::ArrheniusFit;
using kinetics::chemkinLine;
using kinetics::fitArrhenius;
using kinetics::Fits;
using kinetics::fitValue;

} // namespace orvalen::scan
