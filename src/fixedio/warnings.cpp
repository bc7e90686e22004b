#include "fixedio/warnings.hpp"

#include <charconv>

namespace orvalen {

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

std::string numberText(double value) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general);
  return std::string(buf, r.ptr);
}

std::string shownText(std::string_view text) {
  static constexpr char HEX[] = "0123456789abcdef";
  std::string s;
  s.reserve(text.size());
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\t') {
      s += "\\t";
    } else if (u < 0x20 || u == 0x7f) {
      s += "\\x";
      s += HEX[u >> 4];
      s += HEX[u & 0xf];
    } else {
      s += c;
    }
  }
  return s;
}

void printLine(std::ostream &out, std::string_view prefix, std::string_view text) {
  std::string line(text);
  for (char &c : line)
    if (c == '\n' || c == '\r')
      c = ' ';
  out << prefix << shownText(line) << '\n';
}

void printWarnings(std::ostream &out, std::string_view program, const Warnings &warnings) {
  const std::string prefix = std::string(program) + ": warning: ";
  for (const auto &text : warnings.texts())
    printLine(out, prefix, text);
}

} // namespace orvalen
