#pragma once

// orvalen-scan's names for the Eckart barrier and its transmission coefficient, which live in
// kinetics, below every program that uses them.

#include "kinetics/eckart.hpp"

namespace orvalen::scan {

using kinetics::EckartBarrier;
using kinetics::eckartKappa;
using kinetics::eckartLnTransmission;
using kinetics::eckartUndefined;

} // namespace orvalen::scan
