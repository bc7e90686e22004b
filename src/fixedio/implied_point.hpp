#pragma once

// A real field of a fixed-column read without its decimal point: what the
// implied point makes of it, and the text the user probably meant.

#include <string>
#include <string_view>

namespace orvalen::fixedio {

// True when a real field read with d > 0 decimals (Fw.d, Gw.d) has no decimal
// point and a mantissa that is not zero, so that the implied point (its last d
// digits are the fraction) changes the number: "16" in an f10.4 field is 0.0016.
bool impliedPointChanges(std::string_view field, int decimals);

// The field as the user probably meant it: its blanks dropped and ".0" written
// after the mantissa ("16" gives "16.0", "25E14" gives "25.0E14").
std::string withPointWritten(std::string_view field);

} // namespace orvalen::fixedio
