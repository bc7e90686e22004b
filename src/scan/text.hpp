#pragma once

// orvalen-scan's names for the texts of its outputs, which live in kinetics,
// below every program that uses them.

#include "kinetics/text.hpp"

namespace orvalen::scan {

using kinetics::csvCell;
using kinetics::fieldText;
using kinetics::reportTitle;
using kinetics::validUtf8;
using kinetics::wholeCharacters;

} // namespace orvalen::scan
