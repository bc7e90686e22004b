#include "qc/output_text.hpp"

#include "base/error.hpp"
#include "base/number.hpp"
#include "base/warnings.hpp"
#include "molecule/elements.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <numeric>

namespace orvalen::qc {

Lines::Lines(std::string_view text, Last last) : text_(text) {
  std::size_t start = 0;
  while (start < text.size()) {
    const void *feed = std::memchr(text.data() + start, '\n', text.size() - start);
    if (!feed && last == Last::Dropped)
      break; // cut while it was written
    if (count_ % STRIDE == 0)
      starts_.push_back(start);
    ++count_;
    if (!feed)
      break;
    start = static_cast<std::size_t>(static_cast<const char *>(feed) - text.data()) + 1;
  }
}

std::string_view Lines::operator[](std::size_t i) const {
  if (i >= count_)
    return {};
  std::size_t line = i / STRIDE * STRIDE, start = starts_[i / STRIDE];
  if (lastLine_ <= i && lastLine_ > line) {
    line = lastLine_;
    start = lastStart_;
  }
  for (; line < i; ++line)
    start = text_.find('\n', start) + 1;
  lastLine_ = line;
  lastStart_ = start;
  std::size_t end = text_.find('\n', start);
  if (end == std::string_view::npos)
    end = text_.size();
  std::string_view view = text_.substr(start, end - start);
  if (!view.empty() && view.back() == '\r')
    view.remove_suffix(1);
  return view;
}

std::string withDecimals(double value, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  return buf;
}

std::string inQuotes(std::string_view text) {
  constexpr std::size_t LONGEST = 200;
  if (text.size() > LONGEST)
    return "\"" + shownText(text.substr(0, LONGEST)) + "...\"";
  return "\"" + shownText(text) + "\"";
}

std::vector<std::string_view> splitWords(std::string_view line) {
  constexpr std::size_t FARTHEST = 65536; // a word starts before it
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
      ++i;
    if (i >= FARTHEST)
      break;
    std::size_t j = i;
    while (j < line.size() && line[j] != ' ' && line[j] != '\t')
      ++j;
    if (j > i)
      words.push_back(line.substr(i, j - i));
    i = j;
  }
  return words;
}

namespace {

// The grammar passes over blanks around a number; a word has none.
bool blankAtAnEnd(std::string_view word) {
  return !word.empty() && (word.front() == ' ' || word.back() == ' ');
}

} // namespace

std::optional<double> parseReal(std::string_view word) {
  if (blankAtAnEnd(word))
    return std::nullopt;
  return parseNumber(word); // the D exponent of Fortran programs included
}

std::optional<long> parseInteger(std::string_view word) {
  if (blankAtAnEnd(word))
    return std::nullopt;
  const std::optional<long long> n = parseWholeNumber(word);
  if (!n || *n < std::numeric_limits<long>::min() || *n > std::numeric_limits<long>::max())
    return std::nullopt;
  return static_cast<long>(*n);
}

std::string atLine(const std::filesystem::path &file, std::size_t lineIndex) {
  return file.string() + " line " + std::to_string(lineIndex + 1);
}

double realAt(const std::filesystem::path &file, std::size_t lineIndex, std::string_view word) {
  if (const auto v = parseReal(word))
    return *v;
  throw Error(atLine(file, lineIndex) + ": cannot read " + inQuotes(word) + " as a number");
}

std::optional<int> elementOfLabel(std::string_view label, AtomLabel form,
                                  std::optional<long> nuclearCharge) {
  if (form == AtomLabel::Symbol)
    return atomicNumberOf(label);
  if (form == AtomLabel::SymbolOrNumber) {
    if (const auto z = atomicNumberOf(label))
      return z;
    if (const auto n = parseInteger(label); n && *n >= 1 && *n <= MAX_ELEMENT)
      return static_cast<int>(*n);
    return std::nullopt;
  }
  std::size_t letters = 0;
  while (letters < label.size() && letters < 2 &&
         ((label[letters] >= 'A' && label[letters] <= 'Z') ||
          (label[letters] >= 'a' && label[letters] <= 'z')))
    ++letters;
  std::optional<int> two, one;
  if (letters == 2)
    two = atomicNumberOf(label.substr(0, 2));
  if (letters >= 1)
    one = atomicNumberOf(label.substr(0, 1));
  if (nuclearCharge) {
    if (two && *two == *nuclearCharge)
      return two;
    if (one && *one == *nuclearCharge)
      return one;
  }
  return two ? two : one;
}

void dropTranslationsRotations(const std::filesystem::path &file, bool linear,
                               std::vector<double> &frequencies, std::vector<double> &intensities) {
  const std::size_t drop = linear ? 5 : 6;
  if (frequencies.size() < drop)
    throw Error(file.string() + ": frequency table has " + std::to_string(frequencies.size()) +
                " rows, fewer than the " + std::to_string(drop) +
                " translations and rotations it should include");
  intensities.resize(frequencies.size(), 0.0);
  std::vector<std::size_t> order(frequencies.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return std::fabs(frequencies[a]) < std::fabs(frequencies[b]);
  });
  std::vector<bool> dropped(frequencies.size(), false);
  for (std::size_t k = 0; k < drop; ++k)
    dropped[order[k]] = true;
  std::vector<double> f, x;
  for (std::size_t i = 0; i < frequencies.size(); ++i)
    if (!dropped[i]) {
      f.push_back(frequencies[i]);
      x.push_back(intensities[i]);
    }
  frequencies = std::move(f);
  intensities = std::move(x);
}

std::string methodWithBasis(std::string_view method, std::string_view basis) {
  if (method.empty())
    return {};
  std::string text(method.substr(0, SHORT_TEXT));
  if (!basis.empty())
    text.append("/").append(basis.substr(0, SHORT_TEXT));
  return text;
}

std::string withoutReference(std::string_view name) {
  // "RO" before "R"; a name that is nothing but the prefix stays as it is.
  for (const std::string_view prefix : {"RO", "R", "U"})
    if (name.size() > prefix.size() && name.starts_with(prefix))
      return std::string(name.substr(prefix.size(), SHORT_TEXT));
  return std::string(name.substr(0, SHORT_TEXT));
}

} // namespace orvalen::qc
