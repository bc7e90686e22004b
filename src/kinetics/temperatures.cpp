#include "kinetics/temperatures.hpp"

#include "base/error.hpp"
#include "base/number.hpp"

#include <cmath>
#include <string>

namespace orvalen::kinetics {

namespace {

double temperature(std::string_view word, std::string_view what) {
  const std::optional<double> number = parseNumber(word);
  if (!number)
    throw Error("temperature " + std::string(what) + " \"" + std::string(word) +
                "\" is not a number (K, e.g. 300 or 298.15)");
  const double t = *number;
  if (!(t > 0.0))
    throw Error("temperature " + std::string(what) + " " + std::string(word) +
                " K is not positive");
  return t;
}

void checkCount(std::size_t n) {
  if (n > MAX_TEMPERATURES)
    throw Error("more than " + std::to_string(MAX_TEMPERATURES) + " temperatures (" +
                std::to_string(n) + ")");
}

std::vector<double> range(std::string_view text, std::size_t colon1) {
  const std::size_t colon2 = text.find(':', colon1 + 1);
  if (colon2 == std::string_view::npos || text.find(':', colon2 + 1) != std::string_view::npos)
    throw Error("temperature range \"" + std::string(text) + "\" is not START:STOP:STEP");
  const double start = temperature(text.substr(0, colon1), "start");
  const double stop = temperature(text.substr(colon1 + 1, colon2 - colon1 - 1), "stop");
  const std::string_view stepText = text.substr(colon2 + 1);
  const std::optional<double> stepNumber = parseNumber(stepText);
  if (!stepNumber)
    throw Error("temperature step \"" + std::string(stepText) + "\" is not a number");
  const double step = *stepNumber;
  if (step == 0.0)
    throw Error("temperature step is zero in \"" + std::string(text) + "\"");
  const double steps = (stop - start) / step;
  if (steps < -1e-6)
    throw Error("temperature range \"" + std::string(text) + "\" is empty: the step " +
                std::string(stepText) + " does not lead from " +
                std::string(text.substr(0, colon1)) + " to " +
                std::string(text.substr(colon1 + 1, colon2 - colon1 - 1)));
  // The end is included when it lies within a millionth of a step of a point.
  const double count = std::floor(steps + 1e-6) + 1.0;
  if (!(count <= static_cast<double>(MAX_TEMPERATURES)))
    throw Error("more than " + std::to_string(MAX_TEMPERATURES) + " temperatures in \"" +
                std::string(text) + "\"");
  const auto n = static_cast<std::size_t>(count);
  std::vector<double> ts;
  ts.reserve(n);
  for (std::size_t i = 0; i < n; ++i) // from the start each time: no drift from summing
    ts.push_back(i + 1 == n && std::fabs(steps - static_cast<double>(i)) <= 1e-6
                     ? stop
                     : start + static_cast<double>(i) * step);
  return ts;
}

} // namespace

std::vector<double> parseTemperatures(std::string_view text) {
  if (text.empty())
    throw Error("no temperature given (a list 300,500,1000 or a range START:STOP:STEP)");
  if (const std::size_t colon = text.find(':'); colon != std::string_view::npos)
    return range(text, colon);
  std::vector<double> ts;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t comma = text.find(',', pos);
    const std::string_view word = text.substr(pos, comma - pos);
    if (word.empty())
      throw Error("empty item in the temperature list \"" + std::string(text) + "\"");
    ts.push_back(temperature(word, "value"));
    checkCount(ts.size());
    if (comma == std::string_view::npos)
      break;
    pos = comma + 1;
  }
  return ts;
}

} // namespace orvalen::kinetics
