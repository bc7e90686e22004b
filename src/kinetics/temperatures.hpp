#pragma once

// The temperatures of a scan or a fit as the command line gives them: a list
// "300,500,1000" or a range "START:STOP:STEP" whose end is included when the
// steps reach it (to a millionth of a step). Every temperature must be a
// positive finite number in K, written in the one number grammar
// (base/number.hpp: "300", "298.15", "3d2").

#include <cstddef>
#include <string_view>
#include <vector>

namespace orvalen::kinetics {

inline constexpr std::size_t MAX_TEMPERATURES = 100000;

// Throws orvalen::Error with a one-line message for a value that is not a
// positive number, an empty list or range, a step of zero, or more than
// MAX_TEMPERATURES temperatures.
std::vector<double> parseTemperatures(std::string_view text);

} // namespace orvalen::kinetics
