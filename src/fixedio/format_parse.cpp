// Reading a format text into its items, once per text (the writer caches the result).

#include "fixedio/format.hpp"
#include "fixedio/format_items.hpp"

#include <cctype>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

namespace orvalen::fixedio {

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
  bool digit() const { return isDigit(peek()); }
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

  // The items up to the closing parenthesis (or the end of the text); commas
  // between them are optional.
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
      items.push_back(nextItem(c));
    }
  }

  // One item, starting with the character c: a slash, a literal, a number
  // (see afterNumber), or a descriptor or group with "<>" or no repeat count.
  Item nextItem(char c) {
    if (c == '/') {
      ++pos_;
      return Item::make(Item::Slash);
    }
    if (c == '\'' || c == '"')
      return literal(c);
    if (digit() || c == '-')
      return afterNumber(c);
    Item item;
    if (c == '<') {
      ++pos_;
      expect('>');
      item.countAtWrite = true;
    }
    return repeated(std::move(item));
  }

  // An item that starts with a number: kP (k may be negative), nX, or the
  // repeat count of a descriptor or group.
  Item afterNumber(char c) {
    const bool negative = c == '-';
    if (negative)
      ++pos_;
    const int k = number();
    const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(peek())));
    if (u == 'P') {
      ++pos_;
      return Item::make(Item::Scale, negative ? -k : k);
    }
    if (negative)
      fail("a minus sign belongs to a scale factor only");
    if (u == 'X') {
      ++pos_;
      return Item::make(Item::Skip, k);
    }
    Item item;
    item.repeat = k;
    return repeated(std::move(item));
  }

  // A group or a data descriptor after its repeat count.
  Item repeated(Item item) {
    skipSpace();
    return peek() == '(' ? group(std::move(item)) : descriptor(std::move(item));
  }

  // A parenthesised group after its repeat count.
  Item group(Item item) {
    ++pos_;
    if (++depth_ > MAX_GROUP_DEPTH)
      fail("groups nested too deeply");
    item.kind = Item::Group;
    item.children = parseList();
    expect(')');
    --depth_;
    return item;
  }

  // A data descriptor (Iw, Fw.d, Ew.d, Dw.d, Gw.d, Aw, A) after its repeat
  // count, or a bare X.
  Item descriptor(Item item) {
    const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(peek())));
    if (u == 'X' && !item.countAtWrite && item.repeat == 1) { // bare X is 1X
      ++pos_;
      return Item::make(Item::Skip, 1);
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
    return item;
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

} // namespace

std::shared_ptr<const ParsedFormat> parseFormatText(std::string_view text) {
  auto parsed = std::make_shared<ParsedFormat>();
  parsed->items = Parser(text).parse();
  return parsed;
}

} // namespace orvalen::fixedio
