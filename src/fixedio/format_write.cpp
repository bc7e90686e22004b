// The output interpreter: walks a parsed format with the values of one write,
// edits every field in place and hands out the lines.

#include "fixedio/format.hpp"
#include "fixedio/format_items.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace orvalen::fixedio {

namespace {

// A report line holds a few hundred characters; repeat counts multiplied
// through nested groups could otherwise fill the memory.
constexpr std::size_t MAX_WRITE_CHARS = std::size_t{1} << 24;

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
      case Item::Group:
        if (!repeat(item))
          return false;
        break;
      }
    }
    return true;
  }

  // A data descriptor or group as many times as its repeat count (for "<>"
  // the next value) says; false when a value is missing.
  bool repeat(const Item &item) {
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

} // namespace orvalen::fixedio
