#pragma once

// Fixed-format field editing: the interpreter of the format texts behind every
// report line and every fixed-column read, e.g.
//   out.write("( ' Gtot = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", g, gk, gh);
//
// Items of a format text: 'literal' (or "literal"), Iw, Fw.d, Ew.d, Dw.d, Gw.d,
// Aw (or A), nX, /, kP, a repeat count before a descriptor or a parenthesised
// group, and "<>" as a repeat count fixed at the moment of writing: the
// interpreter then takes the count from the next value of the list.
// Letters may be upper or lower case; commas between items are optional.
//
// format_parse.cpp reads a format text into items, field_edit.cpp holds the
// output field editors, format_write.cpp the Writer and formatLines/formatText,
// field_read.cpp the fixed-column reads.

#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace orvalen::fixedio {

// One value for an output data descriptor: an integer (I, or a "<>" count),
// a real (F, E, D) or a text (A; a single character is a text of length 1).
class Value {
public:
  Value(int v) : v_(static_cast<std::int64_t>(v)) {}
  Value(long v) : v_(static_cast<std::int64_t>(v)) {}
  Value(long long v) : v_(static_cast<std::int64_t>(v)) {}
  Value(double v) : v_(v) {}
  Value(char c) : v_(std::string(1, c)) {}
  Value(const char *s) : v_(std::string(s)) {}
  Value(std::string_view s) : v_(std::string(s)) {}
  Value(const std::string &s) : v_(s) {}

  const std::variant<std::int64_t, double, std::string> &get() const { return v_; }

private:
  std::variant<std::int64_t, double, std::string> v_;
};

struct Item; // parsed format item, see format_items.hpp
struct ParsedFormat {
  std::vector<Item> items;
  ~ParsedFormat();
};

// Parses a format text; throws std::invalid_argument for a malformed one
// (format texts are part of the program, so that is a programming error).
std::shared_ptr<const ParsedFormat> parseFormatText(std::string_view text);

// The lines one write produces, each without its line end.
std::vector<std::string> formatLines(const ParsedFormat &format, std::span<const Value> values);
std::vector<std::string> formatLines(std::string_view format, std::span<const Value> values);

// The whole text of one write, every line ended by "\n". For tests and small uses.
std::string formatText(std::string_view format, std::span<const Value> values);
template <class... Args> std::string format(std::string_view text, const Args &...values) {
  const Value vals[] = {Value(values)..., Value(0)};
  return formatText(text, std::span<const Value>(vals, sizeof...(Args)));
}

// Single field editors, w characters each (exposed for exhaustive tests).
std::string editI(std::int64_t value, int w);
std::string editF(double value, int w, int d);
std::string editE(double value, int w, int d, int scale, char letter = 'E');
std::string editA(std::string_view text, int w);

// The text of one write as the interpreter builds it: every field is edited
// in place, so the buffer grows without filling what is then overwritten.
class TextBuffer {
public:
  // The next n characters, to be filled by the caller.
  char *extend(std::size_t n) {
    if (size_ + n > capacity_)
      grow(size_ + n);
    char *p = data_.get() + size_;
    size_ += n;
    return p;
  }
  void clear() { size_ = 0; }
  std::string_view view() const { return {data_.get(), size_}; }

private:
  void grow(std::size_t need);
  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

// Writes report lines to a stream; parses each format text once.
class Writer {
public:
  explicit Writer(std::ostream &out) : out_(&out) {}
  Writer(const Writer &) = delete; // the previous format points into the cache
  Writer &operator=(const Writer &) = delete;
  Writer(Writer &&) = default; // the cache's entries move with it
  Writer &operator=(Writer &&) = default;

  template <class... Args> void write(std::string_view format, const Args &...values) {
    const Value vals[] = {Value(values)..., Value(0)};
    writeValues(format, std::span<const Value>(vals, sizeof...(Args)));
  }
  void writeValues(std::string_view format, std::span<const Value> values);
  // Real fields written so far whose value was not finite (shown as NaN or
  // Infinity, or as asterisks in a narrow field).
  long nonFiniteFields() const { return nonFinite_; }

private:
  std::ostream *out_;
  using Cache = std::map<std::string, std::shared_ptr<const ParsedFormat>, std::less<>>;
  Cache cache_;
  const Cache::value_type *last_ = nullptr; // the format of the previous write
  TextBuffer text_;                         // the lines of one write, reused from write to write
  long nonFinite_ = 0;
};

// ---- Reading fixed-column fields ------------------------------------------

// One line of a text file as read with "(a255)": its text (at most 255
// characters; columns beyond the end read as blanks), the file's name as
// messages show it, and the line number counted from 1.
struct Record {
  std::string text;
  std::string file;
  long line = 0;
};

// Where a data descriptor stores its value: Iw into an int, Fw.d/Gw.d into a
// double, Aw into a string (which receives exactly w characters).
using Target = std::variant<int *, double *, std::string *>;

// Reads the fields of a format text from one record. A field that does not
// convert throws orvalen::Error: `<file> line <n>: cannot read "<text>" as ...`.
void readFields(std::string_view format, const Record &record, std::span<const Target> targets);
// The same with a format text parsed once, for reads done line after line.
void readFields(const ParsedFormat &format, const Record &record, std::span<const Target> targets);
template <class... Ptrs> void read(std::string_view format, const Record &record, Ptrs... targets) {
  const Target t[] = {Target(targets)...};
  readFields(format, record, t);
}
template <class... Ptrs>
void read(const ParsedFormat &format, const Record &record, Ptrs... targets) {
  const Target t[] = {Target(targets)...};
  readFields(format, record, t);
}

// Field converters of the input side. They return false when the text is not
// a number of their kind. `decimals` is d of Fw.d: without a decimal point in
// the field, its last d mantissa digits are the fraction.
bool parseIntField(std::string_view field, int &value);
bool parseRealField(std::string_view field, int decimals, double &value);

} // namespace orvalen::fixedio
