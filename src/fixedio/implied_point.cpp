#include "fixedio/implied_point.hpp"

#include <string>

namespace orvalen::fixedio {

namespace {

std::string withoutBlanks(std::string_view field) {
  std::string s;
  for (const char c : field)
    if (c != ' ')
      s += c;
  return s;
}

// Length of the mantissa: an optional sign, then digits and points.
std::size_t mantissaEnd(const std::string &s) {
  std::size_t i = !s.empty() && (s[0] == '+' || s[0] == '-') ? 1 : 0;
  while (i < s.size() && ((s[i] >= '0' && s[i] <= '9') || s[i] == '.'))
    ++i;
  return i;
}

} // namespace

bool impliedPointChanges(std::string_view field, int decimals) {
  if (decimals <= 0)
    return false;
  // The mantissa, blanks passed over: an optional sign, then digits and points.
  // Every row of a data file comes here, so nothing is copied.
  bool first = true;
  bool nonZero = false;
  for (const char c : field) {
    if (c == ' ')
      continue;
    const bool sign = first && (c == '+' || c == '-');
    first = false;
    if (sign)
      continue;
    if (c == '.')
      return false;
    if (c < '0' || c > '9')
      break;
    nonZero = nonZero || c != '0';
  }
  return nonZero;
}

std::string withPointWritten(std::string_view field) {
  std::string s = withoutBlanks(field);
  s.insert(mantissaEnd(s), ".0");
  return s;
}

} // namespace orvalen::fixedio
