#include "base/number.hpp"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace orvalen {

namespace {

bool allDigits(std::string_view s) {
  for (const char c : s)
    if (c < '0' || c > '9')
      return false;
  return true;
}

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::optional<NumberParts> splitNumber(std::string_view text) {
  std::string_view s = trimmed(text);
  NumberParts p;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    p.negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty())
    return std::nullopt;
  const auto letter = s.find_first_of("EeDd");
  std::string_view mantissa = s.substr(0, letter);
  if (letter != std::string_view::npos) {
    p.letter = true;
    p.exponent = s.substr(letter + 1);
    std::string_view digits = p.exponent;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
      // An exponent sign only after a letter that has a mantissa before it.
      if (letter == 0)
        return std::nullopt;
      digits.remove_prefix(1);
    }
    if (!allDigits(digits))
      return std::nullopt;
  }
  const auto point = mantissa.find('.');
  if (point != std::string_view::npos) {
    p.point = true;
    p.fraction = mantissa.substr(point + 1);
    mantissa = mantissa.substr(0, point);
  }
  p.integer = mantissa;
  if (!allDigits(p.integer) || !allDigits(p.fraction))
    return std::nullopt;
  return p;
}

bool isComplete(const NumberParts &parts) {
  if (parts.integer.empty() && parts.fraction.empty())
    return false;
  if (!parts.letter)
    return true;
  const std::string_view e = parts.exponent;
  return e.size() > (e.empty() || (e.front() != '+' && e.front() != '-') ? 0U : 1U);
}

std::optional<double> parseNumber(std::string_view text) {
  const auto parts = splitNumber(text);
  if (!parts || !isComplete(*parts))
    return std::nullopt;
  // from_chars reads the same number once the exponent letter is an E and the
  // sign is a minus or nothing.
  std::string s;
  s.reserve(text.size() + 2);
  if (parts->negative)
    s += '-';
  s += parts->integer.empty() ? std::string_view("0") : parts->integer;
  if (parts->point) {
    s += '.';
    s += parts->fraction;
  }
  if (parts->letter) {
    s += 'e';
    s += parts->exponent;
  }
  double value = 0.0;
  const auto [end, ec] =
      std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<long long> parseWholeNumber(std::string_view text) {
  const auto parts = splitNumber(text);
  if (!parts || !isComplete(*parts) || parts->point || parts->letter)
    return std::nullopt;
  long long value = 0;
  const std::string_view digits = parts->integer;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (ec != std::errc() || end != digits.data() + digits.size())
    return std::nullopt;
  return parts->negative ? -value : value;
}

} // namespace orvalen
