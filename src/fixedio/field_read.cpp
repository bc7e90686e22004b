// Reading fixed-column fields: I, F, G and A fields of one record, with the
// number conversions that do not depend on the locale.

#include "base/error.hpp"
#include "fixedio/format.hpp"
#include "fixedio/format_items.hpp"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace orvalen::fixedio {

namespace {

// The powers of ten that are exact doubles: an integer of at most 2^53 times
// or over one of them is rounded once, correctly.
constexpr double EXACT_POW10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The characters of a field without its blanks, on the stack for the widths
// in use.
class Compact {
public:
  explicit Compact(std::string_view field) {
    char *p = small_;
    if (field.size() > sizeof small_) {
      big_.resize(field.size());
      p = big_.data();
    }
    std::size_t n = 0;
    for (char c : field)
      if (c != ' ')
        p[n++] = c;
    text_ = std::string_view(p, n);
  }
  std::string_view view() const { return text_; }

private:
  char small_[64];
  std::string big_;
  std::string_view text_;
};

// The value of the digits `whole` and `fraction` with `places` digits after
// the decimal point, times 10^exponent, when the digits make an integer of at
// most 2^53 and the power of ten is at most 10^22: both are then exact doubles
// and one multiplication or division rounds correctly, as a full conversion
// would. False when the number needs the full conversion.
bool exactDecimal(std::string_view whole, std::string_view fraction, std::size_t places,
                  std::string_view exponent, double &value) {
  std::uint64_t digits = 0;
  int significant = 0;
  for (const std::string_view part : {whole, fraction})
    for (const char c : part) {
      if (digits == 0 && c == '0')
        continue;
      if (++significant > 16)
        return false;
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    }
  if (digits > (std::uint64_t{1} << 53))
    return false;
  int power = 0;
  std::size_t i = 0;
  const bool negativePower = !exponent.empty() && exponent[0] == '-';
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-'))
    ++i;
  if (exponent.size() - i > 4)
    return false;
  for (; i < exponent.size(); ++i)
    power = power * 10 + (exponent[i] - '0');
  const long scale = (negativePower ? -power : power) - static_cast<long>(places);
  if (scale < -22 || scale > 22)
    return digits == 0 ? (value = 0.0, true) : false;
  const double x = static_cast<double>(digits);
  value = scale >= 0 ? x * EXACT_POW10[scale] : x / EXACT_POW10[-scale];
  return true;
}

} // namespace

bool parseIntField(std::string_view field, int &value) {
  const Compact compact(field);
  const std::string_view s = compact.view();
  if (s.empty()) {
    value = 0;
    return true;
  }
  std::size_t i = 0;
  const bool negative = s[0] == '-';
  if (s[0] == '+' || s[0] == '-')
    ++i;
  if (i == s.size())
    return false;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (!isDigit(s[i]))
      return false;
    v = v * 10 + (s[i] - '0');
    if (v > static_cast<long long>(INT_MAX) + 1)
      return false;
  }
  if (negative)
    v = -v;
  if (v > INT_MAX || v < INT_MIN)
    return false;
  value = static_cast<int>(v);
  return true;
}

namespace {

// The digits of a plain number: the integer they make, how many there are and
// how many follow the point.
struct PlainDigits {
  std::uint64_t digits = 0;
  int count = 0;   // digits read
  int places = -1; // digits after the point; -1 without a point
};

// Reads the digits from p to end, with at most one point among them; false
// for any other character, or for a 17th significant digit (the integer would
// no longer be exact).
bool readPlainDigits(const char *p, const char *end, PlainDigits &n) {
  int significant = 0; // digits from the first non-zero one
  for (; p != end; ++p) {
    const char c = *p;
    if (isDigit(c)) {
      ++n.count;
      if (n.places >= 0)
        ++n.places;
      if (n.digits == 0 && c == '0')
        continue;
      if (++significant > 16)
        return false;
      n.digits = n.digits * 10 + static_cast<std::uint64_t>(c - '0');
    } else if (c == '.' && n.places < 0) {
      n.places = 0;
    } else {
      return false;
    }
  }
  return true;
}

// The common field: blanks, an optional sign, digits with at most one point,
// blanks, and no exponent; at most 2^53 as the digits and 10^22 as the
// divisor (see exactDecimal). False for any other field, which then takes the
// general path.
bool plainReal(std::string_view field, int decimals, double &value) {
  const char *p = field.data();
  const char *end = p + field.size();
  while (p != end && *p == ' ')
    ++p;
  while (end != p && end[-1] == ' ')
    --end;
  if (p == end)
    return false;
  const bool negative = *p == '-';
  if (*p == '+' || *p == '-')
    ++p;
  PlainDigits n;
  if (!readPlainDigits(p, end, n))
    return false;
  if (n.count == 0 || n.digits > (std::uint64_t{1} << 53))
    return false;
  int places = n.places;
  if (places < 0)
    places = decimals > 0 ? decimals : 0; // the implied point
  if (places > 22)
    return false;
  value = static_cast<double>(n.digits) / EXACT_POW10[places];
  if (negative)
    value = -value;
  return true;
}

// The exponent that ends a real field from column i: "E5", "d-3", a bare
// signed "+5" as a formatted read takes it, or "0" when there is none; false
// when the rest is not an exponent.
bool exponentAfter(std::string_view s, std::size_t i, std::string_view &exponent) {
  exponent = "0";
  if (i == s.size())
    return true;
  const char c = s[i];
  if (c == 'E' || c == 'e' || c == 'D' || c == 'd')
    ++i;
  else if (c != '+' && c != '-')
    return false;
  const std::size_t expStart = i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-'))
    ++i;
  const std::size_t firstDigit = i;
  while (i < s.size() && isDigit(s[i]))
    ++i;
  if (i == firstDigit || i != s.size())
    return false;
  exponent = s.substr(expStart);
  return true;
}

// A real field without its blanks, taken apart: sign, the digits before and
// after the point, and the exponent ("0" when there is none).
struct RealText {
  bool negative = false;
  std::string_view intDigits;
  std::string_view fracDigits;
  bool point = false;
  std::string_view exponent;
};

// Splits s as [sign] digits [. digits] [exponent]; false when it is not that,
// or when the mantissa has no digit.
bool splitReal(std::string_view s, RealText &parts) {
  std::size_t i = 0;
  if (s[i] == '+' || s[i] == '-')
    parts.negative = s[i++] == '-';
  const std::size_t intStart = i;
  while (i < s.size() && isDigit(s[i]))
    ++i;
  parts.intDigits = s.substr(intStart, i - intStart);
  if (i < s.size() && s[i] == '.') {
    parts.point = true;
    const std::size_t fracStart = ++i;
    while (i < s.size() && isDigit(s[i]))
      ++i;
    parts.fracDigits = s.substr(fracStart, i - fracStart);
  }
  if (parts.intDigits.empty() && parts.fracDigits.empty())
    return false; // a mantissa needs a digit
  return exponentAfter(s, i, parts.exponent);
}

// The value of a field that exactDecimal does not take: its text "-I.Fe+X",
// the implied point placed (with zeros put in front of a digit string shorter
// than the implied fraction), converted with correct rounding. `length` is
// that of the field without its blanks.
void convertInFull(RealText parts, int decimals, std::size_t length, double &value) {
  std::size_t zeros = 0;
  if (!parts.point && decimals > 0) {
    const auto d = static_cast<std::size_t>(decimals);
    if (parts.intDigits.size() < d)
      zeros = d - parts.intDigits.size();
    const std::size_t intLength = parts.intDigits.size() + zeros - d;
    parts.fracDigits = parts.intDigits.substr(intLength);
    parts.intDigits = parts.intDigits.substr(0, intLength);
  }

  char small[96];
  std::string big;
  const std::size_t need = length + zeros + 8;
  char *text = small;
  if (need > sizeof small) {
    big.resize(need);
    text = big.data();
  }
  char *p = text;
  if (parts.negative)
    *p++ = '-';
  if (parts.intDigits.empty())
    *p++ = '0';
  p = std::copy(parts.intDigits.begin(), parts.intDigits.end(), p);
  *p++ = '.';
  p = std::fill_n(p, zeros, '0');
  p = std::copy(parts.fracDigits.begin(), parts.fracDigits.end(), p);
  *p++ = 'e';
  p = std::copy(parts.exponent.begin(), parts.exponent.end(), p);
  const auto r = std::from_chars(text, p, value);
  if (r.ec != std::errc() || r.ptr != p) {
    // Out of the double range: the C library's infinity, zero or subnormal.
    *p = '\0';
    errno = 0;
    value = std::strtod(text, nullptr); // C locale: '.' is the decimal point
  }
}

} // namespace

bool parseRealField(std::string_view field, int decimals, double &value) {
  if (plainReal(field, decimals, value))
    return true;
  const Compact compact(field);
  const std::string_view s = compact.view();
  if (s.empty()) {
    value = 0.0;
    return true;
  }
  RealText parts;
  if (!splitReal(s, parts))
    return false;
  // Implied decimal point: the last d digits are the fraction.
  const std::size_t places =
      !parts.point && decimals > 0 ? static_cast<std::size_t>(decimals) : parts.fracDigits.size();
  if (exactDecimal(parts.intDigits, parts.fracDigits, places, parts.exponent, value)) {
    if (parts.negative)
      value = -value;
    return true;
  }
  convertInFull(parts, decimals, s.size(), value);
  return true;
}

void readFields(std::string_view format, const Record &record, std::span<const Target> targets) {
  readFields(*parseFormatText(format), record, targets);
}

namespace {

// The cursor of one fixed-column read: the next column of the record, and
// the conversion of one data field into its target.
class FieldCursor {
public:
  explicit FieldCursor(const Record &record) : record_(record) {}

  void skip(int n) { col_ += static_cast<std::size_t>(n); }

  void read(const Item &item, const Target &t) {
    if (item.code == 'A') {
      auto *s = std::get_if<std::string *>(&t);
      if (!s)
        throw std::invalid_argument("an A field needs a text target");
      const int w = item.w < 0 ? 255 : item.w;
      (*s)->assign(field(w));
      (*s)->resize(static_cast<std::size_t>(w), ' ');
    } else if (item.code == 'I') {
      auto *p = std::get_if<int *>(&t);
      if (!p)
        throw std::invalid_argument("an I field needs an integer target");
      const std::string_view f = field(item.w);
      if (!parseIntField(f, **p))
        fail(f, "an integer");
    } else {
      auto *p = std::get_if<double *>(&t);
      if (!p)
        throw std::invalid_argument("an F or G field needs a real target");
      const std::string_view f = field(item.w);
      if (!parseRealField(f, item.d, **p))
        fail(f, "a real number");
    }
  }

private:
  // The columns of a field that the record holds; those beyond its end read as
  // blanks, which a number field passes over.
  std::string_view field(int w) {
    std::string_view f;
    if (col_ < record_.text.size())
      f = std::string_view(record_.text).substr(col_, static_cast<std::size_t>(w));
    col_ += static_cast<std::size_t>(w);
    return f;
  }

  [[noreturn]] void fail(std::string_view f, const char *kind) const {
    const auto b = f.find_first_not_of(' ');
    const auto e = f.find_last_not_of(' ');
    const std::string_view shown = b == std::string_view::npos ? f : f.substr(b, e - b + 1);
    throw Error(record_.file + " line " + std::to_string(record_.line) + ": cannot read \"" +
                std::string(shown) + "\" as " + kind);
  }

  const Record &record_;
  std::size_t col_ = 0; // next column, from 0
};

// The items of a format walked in order for one fixed-column read: blanks
// skipped, groups repeated, each data field read into the next target.
class FieldWalk {
public:
  FieldWalk(const Record &record, std::span<const Target> targets)
      : cursor_(record), targets_(targets) {}

  // Walks the items; false when the targets are used up.
  bool walk(const std::vector<Item> &items) {
    for (const Item &item : items) {
      step();
      if (item.kind == Item::Skip) {
        cursor_.skip(item.n);
      } else if (item.kind == Item::Group) {
        if (!repeatGroup(item))
          return false;
      } else if (item.kind == Item::Data) {
        if (!readData(item))
          return false;
      } else if (item.kind != Item::Scale) {
        throw std::invalid_argument("format item not allowed in a fixed-column read");
      }
    }
    return true;
  }

private:
  bool repeatGroup(const Item &group) {
    for (int r = 0; r < group.repeat; ++r) {
      step();
      if (!walk(group.children))
        return false;
    }
    return true;
  }

  // The item's repeat count of fields, as long as targets are left.
  bool readData(const Item &item) {
    for (int r = 0; r < item.repeat; ++r) {
      step();
      if (next_ >= targets_.size())
        return false;
      cursor_.read(item, targets_[next_++]);
    }
    return true;
  }

  void step() {
    if (++steps_ > MAX_FORMAT_STEPS)
      throw std::invalid_argument("format text repeats its items too often");
  }

  FieldCursor cursor_;
  std::span<const Target> targets_;
  std::size_t next_ = 0; // the next target
  long steps_ = 0;
};

} // namespace

void readFields(const ParsedFormat &format, const Record &record, std::span<const Target> targets) {
  FieldWalk(record, targets).walk(format.items);
}

} // namespace orvalen::fixedio
