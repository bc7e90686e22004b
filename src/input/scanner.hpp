#pragma once

// The keyword-line scanner of the job input: blank-separated words, options
// written as KEY=value or KEY(v1,v2,...) anywhere in a line, case-insensitive,
// and the program's own number syntax for their values.

#include "fixedio/text_file.hpp"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvalen {

inline constexpr std::size_t UPPER_CASE_CUT = 132; // TOUPPERCASE looks no further
inline constexpr int MAX_LINE_WORDS = 100;         // words of a line in an option search
inline constexpr int MAX_OPTION_ITEMS = 50;        // values of one option

// True exactly for "0" to "9".
bool isDigit(char ch);

// Moves the leading blanks of a text to its end, keeping its length.
std::string leftAdjusted(std::string_view text);

// The first min(trimmed length, 132) characters of `text` with "a".."z" made
// "A".."Z" (nothing else changes), blank-padded to 255 characters.
std::string toUpperCase(std::string_view text);

// Splits `text` into its words; only the blank separates words (a tab is an
// ordinary character). More than `maxSub` words throws orvalen::Error.
std::vector<std::string> subString(std::string_view text, int maxSub);

// Classifies and converts one number of the job input: returns 0 (not a
// number), 1 (integer) or 2 (real) and sets `ival` and `xval` for 1 and 2 only.
// A digit string too long for its integer throws orvalen::Error.
int isNumber(std::string_view str, int &ival, double &xval);

// One value item of an option.
struct OptionItem {
  int kind = 0;      // LRES: 1 integer, 2 real, 3 text
  int ires = 0;      // IRES: integer value; a real truncated toward zero; 0 for text
  double xres = 0.0; // XRES: real value; an integer as a real; 0.0 for text
  std::string sres;  // SRES: the item itself for a text item (upper case), else empty
};

// What an option search found. Items beyond nres stay cleared, so ires(1) and
// xres(1) read 0 when the key has no value or a text value.
struct OptionResult {
  bool found = false; // the key begins one of the words
  int nres = 0;       // number of value items
  std::array<OptionItem, MAX_OPTION_ITEMS> items{};

  // Items are numbered from 1, as on the job line.
  const OptionItem &item(int k) const { return items.at(static_cast<std::size_t>(k - 1)); }
  int lres(int k) const { return item(k).kind; }
  int ires(int k) const { return item(k).ires; }
  double xres(int k) const { return item(k).xres; }
  const std::string &sres(int k) const { return item(k).sres; }
};

// Looks for `key` as the beginning of a word of `line` (both upper-cased, only
// the first 132 characters of the left-adjusted line count) and returns the
// values attached to it: "(...)" is looked at before "=", items are separated
// by "," or ";". More than 50 items throws orvalen::Error.
OptionResult iGetOption(std::string_view key, std::string_view line);

} // namespace orvalen
