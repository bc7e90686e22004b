#pragma once

// The one number grammar of every program, for every number read from a
// command line or a file (the fixed columns of a data file apart, which the
// format interpreter reads field by field):
//
//   [+|-] digits [. digits] [(E|e|D|d) [+|-] digits]
//
// written without blanks; Fortran's D exponent is an E. A number needs a digit
// in its mantissa ("5.", ".5") and, when a letter is written, in its exponent.
// No hexadecimal, no "inf" or "nan", no thousands separators.
//
// The job input's keyword values follow the same grammar, except that, as the
// report has always read them, an empty mantissa or exponent reads as zero
// ("E" is 0, "1E" is 1): splitNumber gives the parts, and the job input's own
// conversion (input/scanner) keeps its arithmetic.

#include <optional>
#include <string_view>

namespace orvalen {

struct NumberParts {
  bool negative = false;
  std::string_view integer;  // digits before the point (may be empty)
  std::string_view fraction; // digits after the point (may be empty)
  bool point = false;        // a point was written
  bool letter = false;       // an exponent letter was written
  std::string_view exponent; // the exponent after the letter: its sign and digits
};

// The parts of a text that the grammar reads, empty mantissa and exponent
// allowed (the job input's leniency); nullopt for anything else. Blanks around
// the text are passed over, none inside it.
std::optional<NumberParts> splitNumber(std::string_view text);

// True when the parts have a digit in the mantissa and, after a written letter,
// a digit in the exponent.
bool isComplete(const NumberParts &parts);

// A complete number as the nearest double; nullopt for any other text and for a
// value beyond the double range.
std::optional<double> parseNumber(std::string_view text);

// A complete number without point or exponent that fits in a long long.
std::optional<long long> parseWholeNumber(std::string_view text);

} // namespace orvalen
