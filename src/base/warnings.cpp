#include "base/warnings.hpp"

#include <charconv>

namespace orvalen {

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
