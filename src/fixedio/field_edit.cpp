// The output field editors: Fw.d, Ew.d and Dw.d digits rounded as the C library
// rounds them, and the single-field editI/editF/editE/editA for tests.

#include "fixedio/format.hpp"
#include "fixedio/format_items.hpp"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace orvalen::fixedio {

namespace {

// Infinity and NaN in a field of w characters.
void fillSpecial(char *dst, double v, int w) {
  if (std::isnan(v))
    return w >= 3 ? fillRight(dst, "NaN", w) : fillStars(dst, w);
  if (v > 0)
    return fillRight(dst, w >= 8 ? "Infinity" : "Inf", w);
  fillRight(dst, w >= 9 ? "-Infinity" : "-Inf", w);
}

__extension__ typedef unsigned __int128 Uint128;

constexpr std::uint64_t POW10[] = {1ULL,
                                   10ULL,
                                   100ULL,
                                   1000ULL,
                                   10000ULL,
                                   100000ULL,
                                   1000000ULL,
                                   10000000ULL,
                                   100000000ULL,
                                   1000000000ULL,
                                   10000000000ULL,
                                   100000000000ULL,
                                   1000000000000ULL,
                                   10000000000000ULL,
                                   100000000000000ULL,
                                   1000000000000000ULL,
                                   10000000000000000ULL,
                                   100000000000000000ULL,
                                   1000000000000000000ULL,
                                   10000000000000000000ULL};

// |value| * 10^d rounded to an integer as "%.*f" rounds it, when that integer
// is below 2^64: the double is m * 2^e exactly, so m * 10^d * 2^e is rounded
// (half to even, as the C library rounds an exact tie) in 128-bit arithmetic.
// False when the value or d is outside this range.
bool roundedFixed(double value, int d, std::uint64_t &rounded) {
  if (d < 0 || d > 19)
    return false;
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const auto biased = static_cast<int>((bits >> 52) & 0x7ff);
  std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
  int e = -1074; // subnormal
  if (biased != 0) {
    m |= std::uint64_t{1} << 52;
    e = biased - 1075;
  }
  const Uint128 x = Uint128{m} * POW10[d]; // below 2^117
  Uint128 n = 0;
  if (e >= 0) {
    if (e > 63)
      return false;
    if ((x >> (127 - e)) != 0)
      return false;
    n = x << e;
  } else if (-e < 118) { // else x * 2^e is below one half and rounds to 0
    const int s = -e;
    n = x >> s;
    const Uint128 rest = x - (n << s);
    const Uint128 half = Uint128{1} << (s - 1);
    if (rest > half || (rest == half && (n & 1) != 0))
      ++n;
  }
  if ((n >> 64) != 0)
    return false;
  rounded = static_cast<std::uint64_t>(n);
  return true;
}

// Writes the last `count` decimal digits of v so that they end before `end`,
// two at a time, and leaves in v what is left of it (v / 10^count); returns
// where the digits start.
char *digitsBefore(char *end, std::uint64_t &v, std::size_t count) {
  static constexpr char PAIRS[] = "00010203040506070809101112131415161718192021222324252627282930"
                                  "31323334353637383940414243444546474849505152535455565758596061"
                                  "62636465666768697071727374757677787980818283848586878889909192"
                                  "93949596979899";
  auto pair = [&](std::size_t r) {
    end -= 2;
    end[0] = PAIRS[2 * r];
    end[1] = PAIRS[2 * r + 1];
  };
  for (; count >= 2 && v > 0xffffffffU; count -= 2) {
    pair(static_cast<std::size_t>(v % 100));
    v /= 100;
  }
  auto u = static_cast<std::uint32_t>(v); // the usual case, in cheaper 32-bit arithmetic
  if (u == v) {
    for (; count >= 2; count -= 2) {
      pair(u % 100);
      u /= 100;
    }
    if (count == 1) {
      *--end = static_cast<char>('0' + u % 10);
      u /= 10;
    }
    v = u;
    return end;
  }
  if (count == 1) {
    *--end = static_cast<char>('0' + v % 10);
    v /= 10;
  }
  return end;
}

// m * 2^e * 10^p as a fraction num / den of 128-bit integers: false when
// |p| is above 19 or either side would need more than 126 bits.
bool scaledFraction(std::uint64_t m, int e, int p, Uint128 &num, Uint128 &den) {
  if (p < -19 || p > 19)
    return false;
  const int numBits = 53 + std::max(e, 0) + (p > 0 ? 64 : 0);
  const int denBits = std::max(-e, 0) + (p < 0 ? 64 : 0);
  if (numBits > 126 || denBits > 125)
    return false;
  num = Uint128{m} << std::max(e, 0);
  den = Uint128{1} << std::max(-e, 0);
  if (p > 0)
    num *= POW10[p];
  else if (p < 0)
    den *= POW10[-p];
  return true;
}

// The nsig significant digits of |value| as "%.*e" gives them (nsig - 1
// after the point), as an integer n of nsig digits, and the decimal exponent x
// of the first one: |value| = m * 2^e is multiplied by 10^(nsig-1-x) as an
// exact fraction of 128-bit integers and rounded half to even. False when the
// fraction does not fit, nsig is above 19, or value is zero or subnormal.
bool roundedScientific(double value, int nsig, std::uint64_t &n, int &x) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const auto biased = static_cast<int>((bits >> 52) & 0x7ff);
  if (nsig < 1 || nsig > 19 || biased == 0)
    return false;
  const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int e = biased - 1075;
  // 10^x <= |value| < 2^(e+53): a first guess of x, corrected below.
  x = static_cast<int>(std::floor((e + 52) * 0.30102999566398119521));
  for (int attempt = 0; attempt < 3; ++attempt) {
    Uint128 num = 0;
    Uint128 den = 1;
    if (!scaledFraction(m, e, nsig - 1 - x, num, den))
      return false;
    Uint128 q = num / den;
    const Uint128 r = num - q * den;
    const auto low = POW10[nsig - 1];
    if (q < low) { // x was one too large
      --x;
      continue;
    }
    if (q >= Uint128{low} * 10) { // one too small
      ++x;
      continue;
    }
    if (2 * r > den || (2 * r == den && (q & 1) != 0))
      ++q;
    if (q == Uint128{low} * 10) { // 9.99... rounded up to 10.0...
      q = low;
      ++x;
    }
    n = static_cast<std::uint64_t>(q);
    return true;
  }
  return false;
}

// The correctly rounded decimal text of a double, as the C library prints it
// ("%.*f" or "%.*e"), kept on the stack for the precisions in use.
class NumberText {
public:
  NumberText(double value, std::chars_format format, int precision) {
    const std::size_t need = static_cast<std::size_t>(precision) + 400;
    char *p = small_;
    if (need > sizeof small_) {
      big_.resize(need);
      p = big_.data();
    }
    const auto r = std::to_chars(p, p + need, value, format, precision);
    text_ = std::string_view(p, static_cast<std::size_t>(r.ptr - p));
  }
  std::string_view view() const { return text_; }

private:
  char small_[512];
  std::vector<char> big_;
  std::string_view text_;
};

// Fw.d of the value whose |value| * 10^d rounds to n (roundedFixed): the
// digits are written from the right end of the field; n has nd of them
// (10^(nd-1) <= n < 10^nd, nd >= 1), the first nd - d before the point.
void fillFixedDigits(char *dst, std::uint64_t n, bool negative, int w, int d) {
  const auto places = static_cast<std::size_t>(d);
  const auto estimate = static_cast<std::size_t>((std::bit_width(n) * 1233) >> 12);
  const std::size_t nd = std::max<std::size_t>(1, estimate + (n >= POW10[estimate] ? 1 : 0));
  const bool belowOne = nd <= places;
  const std::size_t intLength = belowOne ? 1 : nd - places;
  std::size_t len = (negative ? 1 : 0) + intLength + 1 + places;
  const bool zeroLeftOut = len > static_cast<std::size_t>(w) && d > 0 && belowOne;
  if (zeroLeftOut) // the 0 before the point is optional
    --len;
  if (len > static_cast<std::size_t>(w))
    return fillStars(dst, w);
  char *p = digitsBefore(dst + w, n, places); // n keeps the whole part
  *--p = '.';
  if (!zeroLeftOut)
    p = digitsBefore(p, n, intLength);
  if (negative)
    *--p = '-';
  while (p != dst)
    *--p = ' ';
}

// Fw.d of a value outside the integer rounding of roundedFixed, from the C
// library's "%.*f" text.
void fillFixedText(char *dst, double value, bool negative, int w, int d) {
  const auto places = static_cast<std::size_t>(d);
  const NumberText text(value, std::chars_format::fixed, d);
  std::string_view t = text.view();
  if (negative)
    t.remove_prefix(1);
  const auto point = t.find('.');
  std::string_view intDigits = t.substr(0, point);
  const std::string_view fracDigits =
      point != std::string_view::npos ? t.substr(point + 1) : std::string_view();
  std::size_t len = (negative ? 1 : 0) + intDigits.size() + 1 + places;
  if (len > static_cast<std::size_t>(w) && d > 0 && intDigits == "0") {
    intDigits = {};
    --len;
  }
  if (len > static_cast<std::size_t>(w))
    return fillStars(dst, w);
  char *p = std::fill_n(dst, static_cast<std::size_t>(w) - len, ' ');
  if (negative)
    *p++ = '-';
  p = std::copy(intDigits.begin(), intDigits.end(), p);
  *p++ = '.';
  std::copy(fracDigits.begin(), fracDigits.end(), p);
}

// The nsig significant digits of |value| that Ew.d shows: the first (`lead`),
// the others (`rest`) and the decimal exponent x of the first, value =
// D.DDD x 10^x; from roundedScientific, else from the C library's "%.*e" text.
class SignificantDigits {
public:
  SignificantDigits(double value, int nsig, bool negative) {
    std::uint64_t n = 0;
    if (roundedScientific(value, nsig, n, x)) {
      const auto count = static_cast<std::size_t>(nsig);
      digitsBefore(digits_ + count, n, count);
      lead = std::string_view(digits_, 1);
      rest = std::string_view(digits_ + 1, count - 1);
      return;
    }
    general_ = NumberText(value, std::chars_format::scientific, nsig - 1).view();
    std::string_view r = general_; // D.DDDe+XX
    if (negative)
      r.remove_prefix(1);
    const auto epos = r.find('e');
    std::from_chars(r.data() + epos + 1 + (r[epos + 1] == '+' ? 1 : 0), r.data() + r.size(), x);
    lead = r.substr(0, 1);
    rest = epos > 2 ? r.substr(2, epos - 2) : std::string_view();
  }
  // lead and rest point into the object.
  SignificantDigits(const SignificantDigits &) = delete;
  SignificantDigits &operator=(const SignificantDigits &) = delete;

  int x = 0;
  std::string_view lead, rest;

private:
  char digits_[24];
  std::string general_; // the text of a value outside the integer rounding
};

// The exponent of Ew.d in its 4 characters at `ex`: the letter, the sign and
// two digits, or the sign and three digits; |expo| is at most 999.
void fillExponent(char *ex, int expo, char letter) {
  const int mag = std::abs(expo);
  char *e = ex;
  if (mag <= 99)
    *e++ = letter;
  *e++ = expo < 0 ? '-' : '+';
  if (mag > 99)
    *e++ = static_cast<char>('0' + mag / 100);
  *e++ = static_cast<char>('0' + mag / 10 % 10);
  *e = static_cast<char>('0' + mag % 10);
}

// The mantissa of Ew.d with the scale factor k from p on, d+2 characters with
// either scale (one less without the leading zero): k digits, the point and
// the other digits, or "0.", -k zeros and the digits. Returns its end.
char *writeMantissa(char *p, int k, bool leadingZero, const SignificantDigits &digits) {
  const std::string_view rest = digits.rest;
  if (k > 0) {
    *p++ = digits.lead[0];
    const auto before = static_cast<std::size_t>(k - 1);
    p = std::copy_n(rest.begin(), before, p);
    *p++ = '.';
    return std::copy(rest.begin() + static_cast<std::ptrdiff_t>(before), rest.end(), p);
  }
  if (leadingZero)
    *p++ = '0';
  *p++ = '.';
  p = std::fill_n(p, -k, '0');
  *p++ = digits.lead[0];
  return std::copy(rest.begin(), rest.end(), p);
}

} // namespace

// Fw.d: [-]I.F right-aligned, the I digits at least "0", which is left out
// when the field is too narrow for it; with d = 0 the point ends the number.
void fillF(char *dst, double value, int w, int d) {
  if (!std::isfinite(value))
    return fillSpecial(dst, value, w);
  const bool negative = std::signbit(value);
  std::uint64_t n = 0;
  if (roundedFixed(value, d, n))
    return fillFixedDigits(dst, n, negative, w, d);
  fillFixedText(dst, value, negative, w, d);
}

// Ew.d and Dw.d with the scale factor k: kP shifts k digits before the point.
void fillE(char *dst, double value, int w, int d, int scale, char letter) {
  if (!std::isfinite(value))
    return fillSpecial(dst, value, w);
  // Significant digits shown: d+1 with a positive scale factor, d+k otherwise.
  const int k = scale;
  if (k <= -d || k > d + 1)
    return fillStars(dst, w);
  const int nsig = k > 0 ? d + 1 : d + k;
  const bool negative = std::signbit(value);
  const SignificantDigits digits(value, nsig, negative);
  const bool zero = value == 0.0;
  const int expo = zero ? 0 : k > 0 ? digits.x - (k - 1) : digits.x + 1 - k;
  if (std::abs(expo) > 999)
    return fillStars(dst, w);
  char ex[4];
  fillExponent(ex, expo, letter);

  // The sign, the mantissa (d+2) and the exponent (4).
  std::size_t len = (negative ? 1u : 0u) + static_cast<std::size_t>(d) + 2 + 4;
  bool leadingZero = k <= 0;
  if (len > static_cast<std::size_t>(w) && leadingZero) { // drop the optional leading 0
    leadingZero = false;
    --len;
  }
  if (len > static_cast<std::size_t>(w))
    return fillStars(dst, w);
  char *p = std::fill_n(dst, static_cast<std::size_t>(w) - len, ' ');
  if (negative)
    *p++ = '-';
  p = writeMantissa(p, k, leadingZero, digits);
  std::copy_n(ex, 4, p);
}

std::string editI(std::int64_t value, int w) {
  std::string s(static_cast<std::size_t>(w), ' ');
  fillI(s.data(), value, w);
  return s;
}

std::string editF(double value, int w, int d) {
  std::string s(static_cast<std::size_t>(w), ' ');
  fillF(s.data(), value, w, d);
  return s;
}

std::string editE(double value, int w, int d, int scale, char letter) {
  std::string s(static_cast<std::size_t>(w), ' ');
  fillE(s.data(), value, w, d, scale, letter);
  return s;
}

std::string editA(std::string_view text, int w) {
  std::string s(static_cast<std::size_t>(w), ' ');
  fillA(s.data(), text, w);
  return s;
}

} // namespace orvalen::fixedio
