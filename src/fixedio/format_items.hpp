#pragma once

// Internal to src/fixedio, not for other folders (they include fixedio/format.hpp):
// what the parser, the field editors, the writer and the fixed-column reader share.

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvalen::fixedio {

// ---- Parsed form ----------------------------------------------------------

struct Item {
  enum Kind { Literal, Data, Skip, Slash, Scale, Group };
  static Item make(Kind k, int n = 0) {
    Item item;
    item.kind = k;
    item.n = n;
    return item;
  }

  Kind kind = Literal;
  int repeat = 1;
  bool countAtWrite = false;  // "<>": the repeat count is the next value
  char code = 0;              // data descriptor letter, upper case: I F E D G A
  int w = -1;                 // field width; -1 for a bare A
  int d = 0;                  // digits after the decimal point
  int n = 0;                  // nX: positions; kP: the scale factor
  std::string text;           // literal
  std::vector<Item> children; // group
};

// Report formats take a few hundred steps; repeat counts multiplied through
// nested groups could otherwise keep one read or write busy for ever.
inline constexpr long MAX_FORMAT_STEPS = 10'000'000;

// True exactly for "0" to "9": the digits of widths, counts and number fields.
inline bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// ---- Field editors ----------------------------------------------------------

// The field editors fill exactly w characters at `dst`, the place the field
// takes in the line being written, so a report line is built in one buffer
// without a string per field. The short ones are inline here, as the writer
// calls them once per field; F and E are in field_edit.cpp.

inline void fillStars(char *dst, int w) {
  std::fill_n(dst, w, '*');
}

inline void fillRight(char *dst, std::string_view s, int w) {
  if (static_cast<int>(s.size()) > w)
    return fillStars(dst, w);
  const auto blanks = static_cast<std::size_t>(w) - s.size();
  std::fill_n(dst, blanks, ' ');
  std::copy(s.begin(), s.end(), dst + blanks);
}

inline void fillI(char *dst, std::int64_t value, int w) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  fillRight(dst, std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)), w);
}

// Fw.d, and Ew.d or Dw.d with the scale factor k (field_edit.cpp).
void fillF(char *dst, double value, int w, int d);
void fillE(char *dst, double value, int w, int d, int scale, char letter);

inline void fillA(char *dst, std::string_view text, int w) {
  const auto len = static_cast<int>(text.size());
  if (w >= len) {
    const auto blanks = static_cast<std::size_t>(w - len);
    std::fill_n(dst, blanks, ' ');
    std::copy(text.begin(), text.end(), dst + blanks);
  } else {
    std::copy_n(text.begin(), w, dst);
  }
}

} // namespace orvalen::fixedio
