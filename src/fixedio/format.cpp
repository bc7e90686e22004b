#include "fixedio/format.hpp"

#include "fixedio/error.hpp"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <stdexcept>

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

ParsedFormat::~ParsedFormat() = default;

namespace {

class Parser {
public:
  explicit Parser(std::string_view text) : s_(text) {}

  std::vector<Item> parse() {
    skipSpace();
    expect('(');
    auto items = parseList();
    expect(')');
    skipSpace();
    if (pos_ != s_.size())
      fail("text after the closing parenthesis");
    return items;
  }

private:
  static constexpr int MAX_GROUP_DEPTH = 16; // report formats nest one level
  std::string_view s_;
  std::size_t pos_ = 0;
  int depth_ = 0;

  [[noreturn]] void fail(const std::string &what) const {
    throw std::invalid_argument("format text \"" + std::string(s_) + "\": " + what +
                                " at position " + std::to_string(pos_ + 1));
  }
  void skipSpace() {
    while (pos_ < s_.size() && s_[pos_] == ' ')
      ++pos_;
  }
  char peek() const { return pos_ < s_.size() ? s_[pos_] : '\0'; }
  void expect(char c) {
    skipSpace();
    if (peek() != c)
      fail(std::string("expected '") + c + "'");
    ++pos_;
  }
  bool digit() const { return std::isdigit(static_cast<unsigned char>(peek())) != 0; }
  int number() {
    if (!digit())
      fail("expected a number");
    int v = 0;
    while (digit()) {
      v = v * 10 + (s_[pos_++] - '0');
      if (v > 100000)
        fail("number too large");
    }
    return v;
  }

  std::vector<Item> parseList() {
    std::vector<Item> items;
    for (;;) {
      skipSpace();
      const char c = peek();
      if (c == ')' || c == '\0')
        return items;
      if (c == ',') {
        ++pos_;
        continue;
      }
      if (c == '/') {
        ++pos_;
        items.push_back(Item::make(Item::Slash));
        continue;
      }
      if (c == '\'' || c == '"') {
        items.push_back(literal(c));
        continue;
      }
      Item item;
      if (c == '<') {
        ++pos_;
        expect('>');
        item.countAtWrite = true;
      } else if (digit() || c == '-') {
        const bool negative = c == '-';
        if (negative)
          ++pos_;
        const int k = number();
        const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(peek())));
        if (u == 'P') {
          ++pos_;
          items.push_back(Item::make(Item::Scale, negative ? -k : k));
          continue;
        }
        if (negative)
          fail("a minus sign belongs to a scale factor only");
        if (u == 'X') {
          ++pos_;
          items.push_back(Item::make(Item::Skip, k));
          continue;
        }
        item.repeat = k;
      }
      skipSpace();
      if (peek() == '(') {
        ++pos_;
        if (++depth_ > MAX_GROUP_DEPTH)
          fail("groups nested too deeply");
        item.kind = Item::Group;
        item.children = parseList();
        expect(')');
        --depth_;
        items.push_back(std::move(item));
        continue;
      }
      const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(peek())));
      if (u == 'X' && !item.countAtWrite && item.repeat == 1) { // bare X is 1X
        ++pos_;
        items.push_back(Item::make(Item::Skip, 1));
        continue;
      }
      if (u != 'I' && u != 'F' && u != 'E' && u != 'D' && u != 'G' && u != 'A')
        fail(std::string("unknown edit descriptor '") + peek() + "'");
      ++pos_;
      item.kind = Item::Data;
      item.code = u;
      if (digit()) {
        item.w = number();
        if (peek() == '.') {
          ++pos_;
          item.d = number();
        }
      } else if (u != 'A') {
        fail("missing field width");
      }
      if (item.w == 0)
        fail("field width 0");
      items.push_back(std::move(item));
    }
  }

  Item literal(char quote) {
    ++pos_;
    Item item = Item::make(Item::Literal);
    for (;;) {
      if (pos_ >= s_.size())
        fail("unterminated literal");
      const char c = s_[pos_++];
      if (c == quote) {
        if (peek() == quote) { // doubled quote stands for itself
          item.text += quote;
          ++pos_;
          continue;
        }
        return item;
      }
      item.text += c;
    }
  }
};

// Report formats take a few hundred steps and write a few hundred characters;
// repeat counts multiplied through nested groups could otherwise keep one
// read or write busy for ever or fill the memory.
constexpr long MAX_FORMAT_STEPS = 10'000'000;
constexpr std::size_t MAX_WRITE_CHARS = std::size_t{1} << 24;

// The field editors fill exactly w characters at `dst`, the place the field
// takes in the line being written, so a report line is built in one buffer
// without a string per field.

void fillStars(char *dst, int w) {
  std::fill_n(dst, w, '*');
}

void fillRight(char *dst, std::string_view s, int w) {
  if (static_cast<int>(s.size()) > w)
    return fillStars(dst, w);
  const auto blanks = static_cast<std::size_t>(w) - s.size();
  std::fill_n(dst, blanks, ' ');
  std::copy(s.begin(), s.end(), dst + blanks);
}

// Infinity and NaN in a field of w characters.
void fillSpecial(char *dst, double v, int w) {
  if (std::isnan(v))
    return w >= 3 ? fillRight(dst, "NaN", w) : fillStars(dst, w);
  if (v > 0)
    return fillRight(dst, w >= 8 ? "Infinity" : "Inf", w);
  fillRight(dst, w >= 9 ? "-Infinity" : "-Inf", w);
}

} // namespace

std::shared_ptr<const ParsedFormat> parseFormatText(std::string_view text) {
  auto parsed = std::make_shared<ParsedFormat>();
  parsed->items = Parser(text).parse();
  return parsed;
}

// ---- Field editors --------------------------------------------------------

namespace {

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
    const int p = nsig - 1 - x;
    if (p < -19 || p > 19)
      return false;
    const int numBits = 53 + std::max(e, 0) + (p > 0 ? 64 : 0);
    const int denBits = std::max(-e, 0) + (p < 0 ? 64 : 0);
    if (numBits > 126 || denBits > 125)
      return false;
    Uint128 num = Uint128{m} << std::max(e, 0);
    Uint128 den = Uint128{1} << std::max(-e, 0);
    if (p > 0)
      num *= POW10[p];
    else if (p < 0)
      den *= POW10[-p];
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

void fillI(char *dst, std::int64_t value, int w) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  fillRight(dst, std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)), w);
}

// Fw.d: [-]I.F right-aligned, the I digits at least "0", which is left out
// when the field is too narrow for it; with d = 0 the point ends the number.
void fillF(char *dst, double value, int w, int d) {
  if (!std::isfinite(value))
    return fillSpecial(dst, value, w);
  const bool negative = std::signbit(value);
  const auto places = static_cast<std::size_t>(d);
  std::uint64_t n = 0;
  if (roundedFixed(value, d, n)) {
    // The digits are written from the right end of the field; n has nd of
    // them (10^(nd-1) <= n < 10^nd, nd >= 1), the first nd - d before the point.
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
    return;
  }
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
  int x = 0; // value = D.DDD x 10^x
  std::uint64_t n = 0;
  std::string_view lead, rest;
  char digits[24];
  std::string general; // the text of a value outside the integer rounding
  if (roundedScientific(value, nsig, n, x)) {
    const auto count = static_cast<std::size_t>(nsig);
    digitsBefore(digits + count, n, count);
    lead = std::string_view(digits, 1);
    rest = std::string_view(digits + 1, count - 1);
  } else {
    general = NumberText(value, std::chars_format::scientific, nsig - 1).view();
    std::string_view r = general; // D.DDDe+XX
    if (negative)
      r.remove_prefix(1);
    const auto epos = r.find('e');
    std::from_chars(r.data() + epos + 1 + (r[epos + 1] == '+' ? 1 : 0), r.data() + r.size(), x);
    lead = r.substr(0, 1);
    rest = epos > 2 ? r.substr(2, epos - 2) : std::string_view();
  }
  const bool zero = value == 0.0;
  const int expo = zero ? 0 : k > 0 ? x - (k - 1) : x + 1 - k;

  // Exponent: letter, sign and two digits, or sign and three digits.
  const int mag = std::abs(expo);
  if (mag > 999)
    return fillStars(dst, w);
  char ex[4];
  char *e = ex;
  if (mag <= 99)
    *e++ = letter;
  *e++ = expo < 0 ? '-' : '+';
  if (mag > 99)
    *e++ = static_cast<char>('0' + mag / 100);
  *e++ = static_cast<char>('0' + mag / 10 % 10);
  *e = static_cast<char>('0' + mag % 10);

  // The mantissa has d+2 characters with either scale: k digits, the point and
  // the other digits, or "0.", -k zeros and the digits.
  auto len = static_cast<std::size_t>((negative ? 1 : 0) + d + 2 + 4);
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
  if (k > 0) {
    *p++ = lead[0];
    const auto before = static_cast<std::size_t>(k - 1);
    p = std::copy_n(rest.begin(), before, p);
    *p++ = '.';
    p = std::copy(rest.begin() + static_cast<std::ptrdiff_t>(before), rest.end(), p);
  } else {
    if (leadingZero)
      *p++ = '0';
    *p++ = '.';
    p = std::fill_n(p, -k, '0');
    *p++ = lead[0];
    p = std::copy(rest.begin(), rest.end(), p);
  }
  std::copy_n(ex, 4, p);
}

void fillA(char *dst, std::string_view text, int w) {
  const auto len = static_cast<int>(text.size());
  if (w >= len) {
    const auto blanks = static_cast<std::size_t>(w - len);
    std::fill_n(dst, blanks, ' ');
    std::copy(text.begin(), text.end(), dst + blanks);
  } else {
    std::copy_n(text.begin(), w, dst);
  }
}

} // namespace

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

// ---- Output ---------------------------------------------------------------

namespace {

// Walks a parsed format with the values of one write and appends its lines,
// each ended by "\n", to `text`; `ends`, when given, receives the position of
// every line end.
class Output {
public:
  Output(std::span<const Value> values, TextBuffer &text, std::vector<std::size_t> *ends,
         long *nonFinite = nullptr)
      : values_(values), text_(text), ends_(ends), nonFinite_(nonFinite) {}

  // Walks the items; false when a data descriptor found no value left.
  bool walk(std::span<const Item> items) {
    for (const Item &item : items) {
      step();
      switch (item.kind) {
      case Item::Literal:
        std::copy(item.text.begin(), item.text.end(), room(static_cast<int>(item.text.size())));
        break;
      case Item::Skip:
        pending_ += static_cast<std::size_t>(item.n);
        break;
      case Item::Slash:
        endLine();
        break;
      case Item::Scale:
        scale_ = item.n;
        break;
      case Item::Data:
      case Item::Group: {
        int count = item.repeat;
        if (item.countAtWrite) {
          if (next_ >= values_.size())
            return false;
          count = static_cast<int>(integer(values_[next_++]));
        }
        for (int r = 0; r < count; ++r) {
          step();
          if (item.kind == Item::Group) {
            if (!walk(item.children))
              return false;
            continue;
          }
          if (next_ >= values_.size())
            return false;
          edit(item, values_[next_++]);
        }
        break;
      }
      }
    }
    return true;
  }

  void finish(std::span<const Item> items) {
    // Values left at the closing parenthesis: a new line, and the format again
    // from its last top-level group (or from its start when it has none).
    std::span<const Item> again = items;
    for (std::size_t i = items.size(); i-- > 0;)
      if (items[i].kind == Item::Group) {
        again = items.subspan(i);
        break;
      }
    bool more = walk(items);
    while (more && next_ < values_.size()) {
      const std::size_t before = next_;
      endLine();
      more = walk(again);
      if (next_ == before)
        throw std::invalid_argument("format text without data descriptors for the values given");
    }
    endLine();
  }

private:
  std::span<const Value> values_;
  TextBuffer &text_;
  std::vector<std::size_t> *ends_;
  long *nonFinite_; // counts real values that are not finite, when given
  std::size_t next_ = 0;
  long steps_ = 0;
  std::size_t written_ = 0;
  int scale_ = 0;
  std::size_t pending_ = 0; // nX positions not yet filled

  void step() {
    if (++steps_ > MAX_FORMAT_STEPS)
      throw std::invalid_argument("format text repeats its items too often");
  }
  // The place of the next `width` characters of the line, after the pending
  // nX blanks.
  char *room(int width) {
    const auto w = static_cast<std::size_t>(width);
    written_ += pending_ + w;
    if (written_ > MAX_WRITE_CHARS)
      throw std::invalid_argument("format text writes too many characters");
    char *p = std::fill_n(text_.extend(pending_ + w), pending_, ' ');
    pending_ = 0;
    return p;
  }
  void endLine() {
    if (ends_)
      ends_->push_back(text_.view().size());
    *text_.extend(1) = '\n';
    pending_ = 0;
  }
  static std::int64_t integer(const Value &v) {
    if (const auto *i = std::get_if<std::int64_t>(&v.get()))
      return *i;
    throw std::invalid_argument("an integer value is needed for an I field or a repeat count");
  }
  double real(const Value &v) const {
    if (const auto *x = std::get_if<double>(&v.get())) {
      if (nonFinite_ && !std::isfinite(*x))
        ++*nonFinite_;
      return *x;
    }
    throw std::invalid_argument("a real value is needed for an F, E or D field");
  }
  // Every editor fills exactly w characters (a bare A the whole text).
  void edit(const Item &item, const Value &v) {
    switch (item.code) {
    case 'I': {
      const std::int64_t i = integer(v);
      return fillI(room(item.w), i, item.w);
    }
    case 'F': {
      const double x = real(v);
      return fillF(room(item.w), x, item.w, item.d);
    }
    case 'E':
    case 'D': {
      const double x = real(v);
      return fillE(room(item.w), x, item.w, item.d, scale_, item.code);
    }
    case 'A': {
      const auto *s = std::get_if<std::string>(&v.get());
      if (!s)
        throw std::invalid_argument("a text value is needed for an A field");
      const int w = item.w < 0 ? static_cast<int>(s->size()) : item.w;
      return fillA(room(w), *s, w);
    }
    default:
      throw std::invalid_argument(std::string("edit descriptor ") + item.code +
                                  " is for input only");
    }
  }
};

} // namespace

void TextBuffer::grow(std::size_t need) {
  const std::size_t capacity = std::max(need, std::max<std::size_t>(2 * capacity_, 4096));
  auto data = std::make_unique_for_overwrite<char[]>(capacity);
  std::copy_n(data_.get(), size_, data.get());
  data_ = std::move(data);
  capacity_ = capacity;
}

std::vector<std::string> formatLines(const ParsedFormat &format, std::span<const Value> values) {
  TextBuffer buffer;
  std::vector<std::size_t> ends;
  Output(values, buffer, &ends).finish(format.items);
  const std::string_view text = buffer.view();
  std::vector<std::string> lines;
  lines.reserve(ends.size());
  std::size_t start = 0;
  for (const std::size_t end : ends) {
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> formatLines(std::string_view format, std::span<const Value> values) {
  return formatLines(*parseFormatText(format), values);
}

std::string formatText(std::string_view format, std::span<const Value> values) {
  TextBuffer buffer;
  Output(values, buffer, nullptr).finish(parseFormatText(format)->items);
  return std::string(buffer.view());
}

void Writer::writeValues(std::string_view format, std::span<const Value> values) {
  // A table writes its rows with one format: the previous one is tried first.
  if (!last_ || last_->first != format) {
    auto it = cache_.find(format);
    if (it == cache_.end())
      it = cache_.emplace(std::string(format), parseFormatText(format)).first;
    last_ = &*it;
  }
  text_.clear();
  Output(values, text_, nullptr, &nonFinite_).finish(last_->second->items);
  const std::string_view text = text_.view();
  out_->write(text.data(), static_cast<std::streamsize>(text.size()));
}

// ---- Input ----------------------------------------------------------------

namespace {

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

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// The value of the digits `whole` and `fraction` with `places` digits after
// the decimal point, times 10^exponent, when the digits make an integer of at
// most 2^53 and the power of ten is at most 10^22: both are then exact doubles
// and one multiplication or division rounds correctly, as a full conversion
// would. False when the number needs the full conversion.
bool exactDecimal(std::string_view whole, std::string_view fraction, std::size_t places,
                  std::string_view exponent, double &value) {
  static constexpr double EXACT_POW10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                           1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
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

// The common field: blanks, an optional sign, digits with at most one point,
// blanks, and no exponent; at most 2^53 as the digits and 10^22 as the
// divisor (see exactDecimal). False for any other field, which then takes the
// general path.
bool plainReal(std::string_view field, int decimals, double &value) {
  static constexpr double EXACT_POW10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                           1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
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
  std::uint64_t digits = 0;
  int count = 0;       // digits read
  int significant = 0; // digits from the first non-zero one
  int places = -1;     // digits after the point; -1 without a point
  for (; p != end; ++p) {
    const char c = *p;
    if (c >= '0' && c <= '9') {
      ++count;
      if (places >= 0)
        ++places;
      if (digits == 0 && c == '0')
        continue;
      if (++significant > 16)
        return false;
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    } else if (c == '.' && places < 0) {
      places = 0;
    } else {
      return false;
    }
  }
  if (count == 0 || digits > (std::uint64_t{1} << 53))
    return false;
  if (places < 0)
    places = decimals > 0 ? decimals : 0; // the implied point
  if (places > 22)
    return false;
  value = static_cast<double>(digits) / EXACT_POW10[places];
  if (negative)
    value = -value;
  return true;
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
  std::size_t i = 0;
  bool negative = false;
  if (s[i] == '+' || s[i] == '-')
    negative = s[i++] == '-';
  const std::size_t intStart = i;
  while (i < s.size() && isDigit(s[i]))
    ++i;
  std::string_view intDigits = s.substr(intStart, i - intStart);
  std::string_view fracDigits;
  bool point = false;
  if (i < s.size() && s[i] == '.') {
    point = true;
    const std::size_t fracStart = ++i;
    while (i < s.size() && isDigit(s[i]))
      ++i;
    fracDigits = s.substr(fracStart, i - fracStart);
  }
  if (intDigits.empty() && fracDigits.empty())
    return false; // a mantissa needs a digit
  std::string_view exponent = "0";
  if (i < s.size()) {
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
  }
  // Implied decimal point: the last d digits are the fraction.
  const std::size_t places =
      !point && decimals > 0 ? static_cast<std::size_t>(decimals) : fracDigits.size();
  if (exactDecimal(intDigits, fracDigits, places, exponent, value)) {
    if (negative)
      value = -value;
    return true;
  }
  // Else the text for a full conversion, with zeros put in front of a digit
  // string shorter than the implied fraction.
  std::size_t zeros = 0;
  if (!point && decimals > 0) {
    const auto d = static_cast<std::size_t>(decimals);
    if (intDigits.size() < d)
      zeros = d - intDigits.size();
    const std::size_t intLength = intDigits.size() + zeros - d;
    fracDigits = intDigits.substr(intLength);
    intDigits = intDigits.substr(0, intLength);
  }

  // The number as "-I.Fe+X", converted with correct rounding.
  char small[96];
  std::string big;
  const std::size_t need = s.size() + zeros + 8;
  char *text = small;
  if (need > sizeof small) {
    big.resize(need);
    text = big.data();
  }
  char *p = text;
  if (negative)
    *p++ = '-';
  if (intDigits.empty())
    *p++ = '0';
  p = std::copy(intDigits.begin(), intDigits.end(), p);
  *p++ = '.';
  p = std::fill_n(p, zeros, '0');
  p = std::copy(fracDigits.begin(), fracDigits.end(), p);
  *p++ = 'e';
  p = std::copy(exponent.begin(), exponent.end(), p);
  const auto r = std::from_chars(text, p, value);
  if (r.ec != std::errc() || r.ptr != p) {
    // Out of the double range: the C library's infinity, zero or subnormal.
    *p = '\0';
    errno = 0;
    value = std::strtod(text, nullptr); // C locale: '.' is the decimal point
  }
  return true;
}

void readFields(std::string_view format, const Record &record, std::span<const Target> targets) {
  readFields(*parseFormatText(format), record, targets);
}

void readFields(const ParsedFormat &format, const Record &record, std::span<const Target> targets) {
  long steps = 0;
  auto step = [&] {
    if (++steps > MAX_FORMAT_STEPS)
      throw std::invalid_argument("format text repeats its items too often");
  };
  std::size_t col = 0; // next column, from 0
  std::size_t next = 0;
  // The columns of a field that the record holds; those beyond its end read as
  // blanks, which a number field passes over.
  auto field = [&](int w) {
    std::string_view f;
    if (col < record.text.size())
      f = std::string_view(record.text).substr(col, static_cast<std::size_t>(w));
    col += static_cast<std::size_t>(w);
    return f;
  };
  auto fail = [&](std::string_view f, const char *kind) {
    const auto b = f.find_first_not_of(' ');
    const auto e = f.find_last_not_of(' ');
    const std::string_view shown = b == std::string_view::npos ? f : f.substr(b, e - b + 1);
    throw Error(record.file + " line " + std::to_string(record.line) + ": cannot read \"" +
                std::string(shown) + "\" as " + kind);
  };
  // Returns false when the targets are used up.
  auto walk = [&](auto &&self, const std::vector<Item> &items) -> bool {
    for (const Item &item : items) {
      step();
      if (item.kind == Item::Skip) {
        col += static_cast<std::size_t>(item.n);
      } else if (item.kind == Item::Group) {
        for (int r = 0; r < item.repeat; ++r) {
          step();
          if (!self(self, item.children))
            return false;
        }
      } else if (item.kind == Item::Data) {
        for (int r = 0; r < item.repeat; ++r) {
          step();
          if (next >= targets.size())
            return false;
          const Target &t = targets[next++];
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
      } else if (item.kind != Item::Scale) {
        throw std::invalid_argument("format item not allowed in a fixed-column read");
      }
    }
    return true;
  };
  walk(walk, format.items);
}

} // namespace orvalen::fixedio
