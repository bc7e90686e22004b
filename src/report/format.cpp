#include "report/format.hpp"

#include "report/error.hpp"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <stdexcept>

namespace orvalen::fmt {

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

std::string stars(int w) {
  return std::string(static_cast<std::size_t>(w), '*');
}

std::string rightAlign(const std::string &s, int w) {
  if (static_cast<int>(s.size()) > w)
    return stars(w);
  return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

// Infinity and NaN in a field of w characters.
std::string editSpecial(double v, int w) {
  if (std::isnan(v))
    return w >= 3 ? rightAlign("NaN", w) : stars(w);
  if (v > 0)
    return rightAlign(w >= 8 ? "Infinity" : "Inf", w);
  return rightAlign(w >= 9 ? "-Infinity" : "-Inf", w);
}

} // namespace

std::shared_ptr<const ParsedFormat> parseFormat(std::string_view text) {
  auto parsed = std::make_shared<ParsedFormat>();
  parsed->items = Parser(text).parse();
  return parsed;
}

// ---- Field editors --------------------------------------------------------

std::string editI(std::int64_t value, int w) {
  return rightAlign(std::to_string(value), w);
}

namespace {

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

} // namespace

std::string editF(double value, int w, int d) {
  if (!std::isfinite(value))
    return editSpecial(value, w);
  const NumberText text(value, std::chars_format::fixed, d);
  std::string_view digits = text.view();
  const bool negative = digits.front() == '-';
  if (negative)
    digits.remove_prefix(1);
  std::size_t len = (negative ? 1 : 0) + digits.size() + (d == 0 ? 1 : 0);
  if (len > static_cast<std::size_t>(w) && digits.starts_with("0.")) {
    digits.remove_prefix(1); // the 0 before the point is optional
    --len;
  }
  if (len > static_cast<std::size_t>(w))
    return stars(w);
  std::string out(static_cast<std::size_t>(w) - len, ' ');
  if (negative)
    out += '-';
  out += digits;
  if (d == 0)
    out += '.';
  return out;
}

std::string editE(double value, int w, int d, int scale, char letter) {
  if (!std::isfinite(value))
    return editSpecial(value, w);
  // Significant digits shown: d+1 with a positive scale factor, d+k otherwise.
  const int k = scale;
  if (k <= -d || k > d + 1)
    return stars(w);
  const int nsig = k > 0 ? d + 1 : d + k;
  const NumberText text(value, std::chars_format::scientific, nsig - 1);
  std::string_view r = text.view();
  const bool negative = r.front() == '-';
  if (negative)
    r.remove_prefix(1);
  const auto epos = r.find('e');
  std::string digits;
  for (char c : r.substr(0, epos))
    if (c != '.')
      digits += c;
  int x = std::atoi(std::string(r.substr(epos + 1)).c_str()); // value = D.DDD x 10^x
  const bool zero = value == 0.0;

  std::string mantissa;
  int expo = 0;
  if (k > 0) {
    mantissa = digits.substr(0, static_cast<std::size_t>(k)) + "." +
               digits.substr(static_cast<std::size_t>(k));
    expo = zero ? 0 : x - (k - 1);
  } else {
    mantissa = "0." + std::string(static_cast<std::size_t>(-k), '0') + digits;
    expo = zero ? 0 : x + 1 - k;
  }
  std::string ex;
  const int mag = std::abs(expo);
  char eb[16];
  if (mag <= 99)
    std::snprintf(eb, sizeof eb, "%c%c%02d", letter, expo < 0 ? '-' : '+', mag);
  else if (mag <= 999)
    std::snprintf(eb, sizeof eb, "%c%03d", expo < 0 ? '-' : '+', mag);
  else
    return stars(w);
  ex = eb;
  std::string s = (negative ? "-" : "") + mantissa + ex;
  if (static_cast<int>(s.size()) > w && k <= 0) // drop the optional leading 0
    s = (negative ? "-" : "") + mantissa.substr(1) + ex;
  return rightAlign(s, w);
}

std::string editA(std::string_view text, int w) {
  const auto len = static_cast<int>(text.size());
  if (w >= len)
    return std::string(static_cast<std::size_t>(w - len), ' ') + std::string(text);
  return std::string(text.substr(0, static_cast<std::size_t>(w)));
}

// ---- Output ---------------------------------------------------------------

namespace {

class Output {
public:
  explicit Output(std::span<const Value> values) : values_(values) {}

  // Walks the items; false when a data descriptor found no value left.
  bool walk(const std::vector<Item> &items) {
    for (const Item &item : items) {
      step();
      switch (item.kind) {
      case Item::Literal:
        put(item.text);
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
          put(edit(item, values_[next_++]));
        }
        break;
      }
      }
    }
    return true;
  }

  std::vector<std::string> finish(const std::vector<Item> &items) {
    // Values left at the closing parenthesis: a new line, and the format again
    // from its last top-level group (or from its start when it has none).
    const std::vector<Item> *again = &items;
    std::vector<Item> tail;
    for (std::size_t i = items.size(); i-- > 0;)
      if (items[i].kind == Item::Group) {
        tail.assign(items.begin() + static_cast<std::ptrdiff_t>(i), items.end());
        again = &tail;
        break;
      }
    bool more = walk(items);
    while (more && next_ < values_.size()) {
      const std::size_t before = next_;
      endLine();
      more = walk(*again);
      if (next_ == before)
        throw std::invalid_argument("format text without data descriptors for the values given");
    }
    endLine();
    return std::move(lines_);
  }

  std::size_t used() const { return next_; }

private:
  std::span<const Value> values_;
  std::size_t next_ = 0;
  long steps_ = 0;
  std::size_t written_ = 0;
  int scale_ = 0;
  std::string line_;
  std::size_t pending_ = 0; // nX positions not yet filled
  std::vector<std::string> lines_;

  void step() {
    if (++steps_ > MAX_FORMAT_STEPS)
      throw std::invalid_argument("format text repeats its items too often");
  }
  void put(std::string_view s) {
    written_ += pending_ + s.size();
    if (written_ > MAX_WRITE_CHARS)
      throw std::invalid_argument("format text writes too many characters");
    line_.append(pending_, ' ');
    pending_ = 0;
    line_ += s;
  }
  void endLine() {
    lines_.push_back(std::move(line_));
    line_.clear();
    pending_ = 0;
  }
  static std::int64_t integer(const Value &v) {
    if (const auto *i = std::get_if<std::int64_t>(&v.get()))
      return *i;
    throw std::invalid_argument("an integer value is needed for an I field or a repeat count");
  }
  static double real(const Value &v) {
    if (const auto *x = std::get_if<double>(&v.get()))
      return *x;
    throw std::invalid_argument("a real value is needed for an F, E or D field");
  }
  std::string edit(const Item &item, const Value &v) const {
    switch (item.code) {
    case 'I':
      return editI(integer(v), item.w);
    case 'F':
      return editF(real(v), item.w, item.d);
    case 'E':
    case 'D':
      return editE(real(v), item.w, item.d, scale_, item.code);
    case 'A': {
      const auto *s = std::get_if<std::string>(&v.get());
      if (!s)
        throw std::invalid_argument("a text value is needed for an A field");
      return editA(*s, item.w < 0 ? static_cast<int>(s->size()) : item.w);
    }
    default:
      throw std::invalid_argument(std::string("edit descriptor ") + item.code +
                                  " is for input only");
    }
  }
};

} // namespace

std::vector<std::string> formatLines(const ParsedFormat &format, std::span<const Value> values) {
  Output out(values);
  return out.finish(format.items);
}

std::vector<std::string> formatLines(std::string_view format, std::span<const Value> values) {
  return formatLines(*parseFormat(format), values);
}

std::string formatText(std::string_view format, std::span<const Value> values) {
  std::string text;
  for (const auto &line : formatLines(format, values)) {
    text += line;
    text += '\n';
  }
  return text;
}

void Writer::writeValues(std::string_view format, std::span<const Value> values) {
  auto it = cache_.find(format);
  if (it == cache_.end())
    it = cache_.emplace(std::string(format), parseFormat(format)).first;
  for (const auto &line : formatLines(*it->second, values))
    *out_ << line << '\n';
}

// ---- Input ----------------------------------------------------------------

namespace {

std::string withoutBlanks(std::string_view field) {
  std::string s;
  for (char c : field)
    if (c != ' ')
      s += c;
  return s;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

} // namespace

bool parseIntField(std::string_view field, int &value) {
  const std::string s = withoutBlanks(field);
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

bool parseRealField(std::string_view field, int decimals, double &value) {
  const std::string s = withoutBlanks(field);
  if (s.empty()) {
    value = 0.0;
    return true;
  }
  std::size_t i = 0;
  std::string sign;
  if (s[i] == '+' || s[i] == '-')
    sign = s[i++] == '-' ? "-" : "";
  std::string intDigits, fracDigits;
  bool point = false;
  for (; i < s.size(); ++i) {
    if (isDigit(s[i]))
      (point ? fracDigits : intDigits) += s[i];
    else if (s[i] == '.' && !point)
      point = true;
    else
      break;
  }
  if (intDigits.empty() && fracDigits.empty())
    return false; // a mantissa needs a digit
  std::string exponent = "0";
  if (i < s.size()) {
    const char c = s[i];
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd')
      ++i;
    else if (c != '+' && c != '-')
      return false;
    std::string e;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
      e += s[i++];
    const std::size_t firstDigit = i;
    for (; i < s.size() && isDigit(s[i]); ++i)
      e += s[i];
    if (i == firstDigit || i != s.size())
      return false;
    exponent = e;
  }
  if (!point && decimals > 0) { // implied decimal point: the last d digits are the fraction
    const auto d = static_cast<std::size_t>(decimals);
    if (intDigits.size() < d)
      intDigits.insert(0, d - intDigits.size(), '0');
    fracDigits = intDigits.substr(intDigits.size() - d);
    intDigits.erase(intDigits.size() - d);
  }
  const std::string text =
      sign + (intDigits.empty() ? "0" : intDigits) + "." + fracDigits + "e" + exponent;
  errno = 0;
  value = std::strtod(text.c_str(), nullptr); // C locale: '.' is the decimal point
  return true;
}

void readFields(std::string_view format, const Record &record, std::span<const Target> targets) {
  readFields(*parseFormat(format), record, targets);
}

void readFields(const ParsedFormat &format, const Record &record, std::span<const Target> targets) {
  long steps = 0;
  auto step = [&] {
    if (++steps > MAX_FORMAT_STEPS)
      throw std::invalid_argument("format text repeats its items too often");
  };
  std::size_t col = 0; // next column, from 0
  std::size_t next = 0;
  auto field = [&](int w) {
    std::string f;
    if (col < record.text.size())
      f = record.text.substr(col, static_cast<std::size_t>(w));
    f.resize(static_cast<std::size_t>(w), ' ');
    col += static_cast<std::size_t>(w);
    return f;
  };
  auto fail = [&](const std::string &f, const char *kind) {
    const auto b = f.find_first_not_of(' ');
    const auto e = f.find_last_not_of(' ');
    const std::string shown = b == std::string::npos ? f : f.substr(b, e - b + 1);
    throw Error(record.file + " line " + std::to_string(record.line) + ": cannot read \"" + shown +
                "\" as " + kind);
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
            **s = field(item.w < 0 ? 255 : item.w);
          } else if (item.code == 'I') {
            auto *p = std::get_if<int *>(&t);
            if (!p)
              throw std::invalid_argument("an I field needs an integer target");
            const std::string f = field(item.w);
            if (!parseIntField(f, **p))
              fail(f, "an integer");
          } else {
            auto *p = std::get_if<double *>(&t);
            if (!p)
              throw std::invalid_argument("an F or G field needs a real target");
            const std::string f = field(item.w);
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

} // namespace orvalen::fmt
