#include "scan/measured.hpp"

#include "base/error.hpp"
#include "base/number.hpp"
#include "base/warnings.hpp"

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

// Two positive finite numbers, T and k, or nothing.
std::optional<MeasuredPoint> pointOf(const std::vector<std::string_view> &words) {
  if (words.size() != 2)
    return std::nullopt;
  const std::optional<double> T = parseNumber(words[0]), k = parseNumber(words[1]);
  if (!T || !k || !(*T > 0.0 && *k > 0.0))
    return std::nullopt;
  return MeasuredPoint{.T = *T, .k = *k};
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
  const std::string what =
      "two positive numbers, T in K and k in " + units + ", are expected (# starts a comment)";
  std::vector<MeasuredPoint> points;
  std::string line;
  for (long number = 1; std::getline(in, line); ++number) {
    const std::vector<std::string_view> words = wordsOf(line);
    if (words.empty())
      continue;
    const std::optional<MeasuredPoint> p = pointOf(words);
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
