#include "scan/measured.hpp"

#include "base/error.hpp"
#include "base/number.hpp"
#include "base/warnings.hpp"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace orvalen::scan {

namespace {

// The blank-separated words of a line without its comment.
std::vector<std::string_view> wordsOf(std::string_view line) {
  line = line.substr(0, line.find('#'));
  std::vector<std::string_view> words;
  constexpr std::string_view BLANKS = " \t\r\v\f";
  for (std::size_t at = line.find_first_not_of(BLANKS); at != std::string_view::npos;) {
    const std::size_t end = std::min(line.find_first_of(BLANKS, at), line.size());
    words.push_back(line.substr(at, end - at));
    at = line.find_first_not_of(BLANKS, end);
  }
  return words;
}

// How a plain third number is read: "# uncertainty: absolute" or "factor".
enum class Uncertainty { Factor, Absolute };

// The mode a comment line sets, if it is one of those two.
std::optional<Uncertainty> uncertaintyLine(std::string_view line) {
  const std::size_t hash = line.find_first_not_of(" \t");
  if (hash == std::string_view::npos || line[hash] != '#')
    return std::nullopt;
  std::string text;
  for (const char c : line.substr(hash + 1))
    if (c != ' ' && c != '\t' && c != '\r')
      text += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (text == "uncertainty:absolute")
    return Uncertainty::Absolute;
  if (text == "uncertainty:factor")
    return Uncertainty::Factor;
  return std::nullopt;
}

// The range k lies in from the third word: a factor f >= 1 (k/f to k f), or
// an absolute value s > 0 (k - s to k + s), marked "+-" or by the mode.
bool setUncertainty(std::string_view word, Uncertainty mode, MeasuredPoint &p) {
  for (const std::string_view mark : {std::string_view("+-"), std::string_view("\u00b1")})
    if (word.starts_with(mark)) {
      word.remove_prefix(mark.size());
      mode = Uncertainty::Absolute;
      break;
    }
  const std::optional<double> u = parseNumber(word);
  if (!u || !std::isfinite(*u))
    return false;
  if (mode == Uncertainty::Absolute) {
    if (!(*u > 0.0))
      return false;
    p.low = p.k - *u;
    p.high = p.k + *u;
  } else {
    if (!(*u >= 1.0))
      return false;
    p.low = p.k / *u;
    p.high = p.k * *u;
  }
  return true;
}

// Two positive finite numbers, T and k, and perhaps the uncertainty; or nothing.
std::optional<MeasuredPoint> pointOf(const std::vector<std::string_view> &words, Uncertainty mode) {
  if (words.size() != 2 && words.size() != 3)
    return std::nullopt;
  const std::optional<double> T = parseNumber(words[0]), k = parseNumber(words[1]);
  if (!T || !k || !(*T > 0.0 && *k > 0.0))
    return std::nullopt;
  MeasuredPoint p{.T = *T, .k = *k};
  if (words.size() == 3 && !setUncertainty(words[2], mode, p))
    return std::nullopt;
  return p;
}

} // namespace

std::vector<MeasuredPoint> readMeasured(const std::string &path, const std::string &units) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    throw Error(path + ": --measured \"" + path +
                "\" is a folder; give a file of measured rate constants");
  std::ifstream in(path);
  if (!in)
    throw Error(path + ": --measured \"" + path + "\" cannot be read (" + std::strerror(errno) +
                "); give a file of measured rate constants");
  const std::string what = "two positive numbers, T in K and k in " + units +
                           ", and perhaps k's uncertainty (a factor of 1 or more, or +- an "
                           "absolute value), are expected (# starts a comment)";
  std::vector<MeasuredPoint> points;
  std::string line;
  Uncertainty mode = Uncertainty::Factor;
  for (long number = 1; std::getline(in, line); ++number) {
    if (const std::optional<Uncertainty> set = uncertaintyLine(line))
      mode = *set;
    const std::vector<std::string_view> words = wordsOf(line);
    if (words.empty())
      continue;
    const std::optional<MeasuredPoint> p = pointOf(words, mode);
    if (!p) {
      std::string_view text = line;
      if (text.ends_with('\r'))
        text.remove_suffix(1);
      std::string message = path + " line " + std::to_string(number) + ": \"";
      message += shownText(text);
      message += "\" is not a measured point: ";
      message += what;
      throw Error(message);
    }
    points.push_back(*p);
  }
  if (in.bad())
    throw Error(path + ": --measured \"" + path + "\" cannot be read to its end (" +
                std::strerror(errno) + ")");
  if (points.empty())
    throw Error(path + ": no measured point in it: " + what + ", one point a line");
  return points;
}

std::optional<std::size_t> measuredAt(const std::vector<MeasuredPoint> &measured, double T) {
  for (std::size_t i = 0; i < measured.size(); ++i)
    if (std::fabs(measured[i].T - T) <= 1e-6 * measured[i].T)
      return i;
  return std::nullopt;
}

} // namespace orvalen::scan
