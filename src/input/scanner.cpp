#include "input/scanner.hpp"

#include "base/error.hpp"
#include "base/number.hpp"
#include "molecule/molecule.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace orvalen {

namespace {

constexpr std::uint64_t INT32_LIMIT = 2147483647u;
constexpr std::uint64_t INT64_LIMIT = 9223372036854775807u;

// A real raised to an integer power as the language runtime computes it: the
// magnitude by repeated squaring (exact up to 10^22), then the reciprocal for
// a negative exponent.
double powi(double x, int m) {
  unsigned n = m < 0 ? 0u - static_cast<unsigned>(m) : static_cast<unsigned>(m);
  double y = n % 2 != 0 ? x : 1.0;
  while ((n >>= 1) != 0) {
    x = x * x;
    if (n % 2 != 0)
      y = y * x;
  }
  return m < 0 ? 1.0 / y : y;
}

[[noreturn]] void tooLong(std::string_view number, std::string_view digits, const char *bits) {
  throw Error("cannot read \"" + std::string(number) + "\" as a number: \"" + std::string(digits) +
              "\" does not fit in a " + bits + "-bit integer");
}

// A plain decimal digit string (only digits; empty reads as 0) no larger than `limit`.
std::uint64_t digitsValue(std::string_view number, std::string_view digits, std::uint64_t limit,
                          const char *bits) {
  std::uint64_t v = 0;
  for (char c : digits) {
    const auto d = static_cast<std::uint64_t>(c - '0');
    if (v > (limit - d) / 10)
      tooLong(number, digits, bits);
    v = v * 10 + d;
  }
  return v;
}

// The exponent after the letter: an optional sign and digits, as a 32-bit integer.
int exponentValue(std::string_view number, std::string_view text) {
  const bool negative = !text.empty() && text[0] == '-';
  const std::string_view digits =
      !text.empty() && (text[0] == '-' || text[0] == '+') ? text.substr(1) : text;
  const std::uint64_t v = digitsValue(number, digits, INT32_LIMIT + (negative ? 1 : 0), "32");
  return negative ? static_cast<int>(-static_cast<std::int64_t>(v)) : static_cast<int>(v);
}

// IVAL of a real: truncated toward zero, saturated at the 32-bit limits, 0 for NaN.
int truncatedToInt(double x) {
  if (std::isnan(x))
    return 0;
  if (x >= 2147483647.0)
    return std::numeric_limits<int>::max();
  if (x <= -2147483648.0)
    return std::numeric_limits<int>::min();
  return static_cast<int>(x);
}

} // namespace

bool isDigit(char ch) {
  return ch >= '0' && ch <= '9';
}

std::string leftAdjusted(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos)
    return std::string(text.size(), ' ');
  std::string s(text.substr(first));
  s.append(first, ' ');
  return s;
}

std::string toUpperCase(std::string_view text) {
  const auto last = text.find_last_not_of(' ');
  const std::size_t n = last == std::string_view::npos ? 0 : std::min(last + 1, UPPER_CASE_CUT);
  std::string s(text.substr(0, n));
  for (char &c : s)
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  s.resize(LINE_LEN, ' ');
  return s;
}

std::vector<std::string> subString(std::string_view text, int maxSub) {
  std::vector<std::string> words;
  const auto last = text.find_last_not_of(' ');
  const std::string_view s =
      last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
  std::size_t pos = 0;
  while (pos < s.size()) {
    const auto begin = s.find_first_not_of(' ', pos);
    if (begin == std::string_view::npos)
      break;
    const auto end = std::min(s.find(' ', begin), s.size());
    if (static_cast<int>(words.size()) == maxSub)
      throw Error("more than " + std::to_string(maxSub) + " words in \"" + std::string(s) + "\"");
    words.emplace_back(s.substr(begin, end - begin));
    pos = end;
  }
  return words;
}

int isNumber(std::string_view str, int &ival, double &xval) {
  // The one number grammar decides what is a number; empty digit strings
  // read as 0, as the job input has always read them ("E" is 0, "1E" is 1).
  const std::optional<NumberParts> parts = splitNumber(str);
  if (!parts)
    return 0;
  const auto first = str.find_first_not_of(' ');
  const std::string_view s = str.substr(first, str.find_last_not_of(' ') - first + 1);
  const double sign = parts->negative ? -1.0 : 1.0;

  if (!parts->point && !parts->letter) {
    const std::uint64_t v = digitsValue(s, parts->integer, INT32_LIMIT, "32");
    ival = parts->negative ? -static_cast<int>(v) : static_cast<int>(v);
    xval = static_cast<double>(ival);
    return 1;
  }
  if (!parts->point) {
    const auto m = digitsValue(s, parts->integer, INT64_LIMIT, "64");
    const int e = exponentValue(s, parts->exponent);
    xval = sign * static_cast<double>(m) * powi(10.0, e);
    ival = truncatedToInt(xval);
    return 2;
  }
  const auto i = digitsValue(s, parts->integer, INT64_LIMIT, "64");
  const auto f = digitsValue(s, parts->fraction, INT64_LIMIT, "64");
  const int k = static_cast<int>(parts->fraction.size());
  double x = sign * (static_cast<double>(i) + static_cast<double>(f) * powi(10.0, -k));
  if (parts->letter)
    x = x * powi(10.0, exponentValue(s, parts->exponent));
  xval = x;
  ival = truncatedToInt(xval);
  return 2;
}

OptionResult iGetOption(std::string_view key, std::string_view line) {
  OptionResult res;
  const std::string lineu = toUpperCase(leftAdjusted(line));
  const std::string keyu = trimmed(toUpperCase(leftAdjusted(key)));
  const std::vector<std::string> words = subString(lineu, MAX_LINE_WORDS);

  const std::string *word = nullptr;
  for (const auto &w : words)
    if (w.starts_with(keyu)) {
      word = &w;
      break;
    }
  if (word == nullptr)
    return res;
  res.found = true;

  // The value must be attached to the key: "(...)" first, so K=(1,2) is a list.
  std::string value;
  if (const auto open = word->find('('); open != std::string::npos) {
    const auto close = word->rfind(')');
    if (close != std::string::npos && close > open)
      value = word->substr(open + 1, close - open - 1);
  } else if (const auto eq = word->find('='); eq != std::string::npos) {
    value = word->substr(eq + 1);
  } else {
    return res;
  }
  value = leftAdjusted(value);
  for (char &c : value)
    if (c == ',' || c == ';')
      c = ' ';

  std::vector<std::string> items;
  try {
    items = subString(value, MAX_OPTION_ITEMS);
  } catch (const Error &) {
    throw Error("option " + keyu + ": more than " + std::to_string(MAX_OPTION_ITEMS) +
                " values in \"" + *word + "\"");
  }
  res.nres = static_cast<int>(items.size());
  for (std::size_t k = 0; k < items.size(); ++k) {
    OptionItem &item = res.items[k];
    int ival = 0;
    double xval = 0.0;
    const int r = isNumber(items[k], ival, xval);
    if (r != 0) {
      item.kind = r;
      item.ires = ival;
      item.xres = xval;
    } else {
      item.kind = 3;
      item.sres = leftAdjusted(items[k]);
    }
  }
  return res;
}

} // namespace orvalen
