#include "extended/physics_options.hpp"

#include "base/error.hpp"
#include "base/number.hpp"
#include "base/warnings.hpp"
#include "base/wording.hpp"

#include <algorithm>
#include <cctype>
#include <vector>

namespace orvalen::extended {

namespace {

// The words a Choice takes, in the order of its enum.
std::vector<std::string> offeredWords(const PhysicsOption &option) {
  std::vector<std::string> words;
  for (const char *w : option.words)
    if (w != nullptr)
      words.emplace_back(w);
  return words;
}

std::string lowerCase(std::string_view word) {
  std::string lower(word);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

// The text converted by the option's type, or an error naming the option.
OptionValue valueOf(const GivenOption &given, std::string_view program) {
  const PhysicsOption &option = *given.option;
  const std::string_view text = given.text;
  switch (option.type) {
  case OptionType::Flag:
    return OptionValue{.on = given.on};
  case OptionType::Choice: {
    const std::string word = lowerCase(text); // "Grimme", "GRIMME": words are not case-sensitive
    for (std::size_t i = 0; i < option.words.size(); ++i)
      if (option.words[i] != nullptr && word == option.words[i])
        return OptionValue{.choice = i};
    throw Error("unknown " + std::string(option.name) + " " + option.wordsAre + " \"" +
                std::string(text) + "\" (" + listed(offeredWords(option), " or ") + ")");
  }
  case OptionType::PositiveNumber:
    break;
  }
  const std::optional<double> x = parseNumber(text);
  if (!x || !(*x > 0.0))
    throw Error(std::string(option.name) + " \"" + std::string(text) +
                "\" is not a positive number (" + option.numberIs + "); see " +
                std::string(program) + " --help");
  return OptionValue{.number = *x};
}

} // namespace

bool isOff(const PhysicsOption &option, const OptionValue &value) {
  switch (option.type) {
  case OptionType::Flag:
    return !value.on;
  case OptionType::Choice:
    return option.words[value.choice] == nullptr;
  case OptionType::PositiveNumber:
    break;
  }
  return false;
}

bool needsHold(const PhysicsOption &option, const PhysicsOptions &physics) {
  return option.needs.hold == nullptr || option.needs.hold(physics);
}

bool inEffect(const PhysicsOption &option, const PhysicsOptions &physics) {
  return needsHold(option, physics) && !isOff(option, option.get(physics));
}

std::string helpText(const PhysicsOption &option) {
  switch (option.type) {
  case OptionType::Flag:
    break;
  case OptionType::Choice:
    return listed(offeredWords(option), " | ", " | ") + ": " + option.help;
  case OptionType::PositiveNumber:
    return std::string(option.value) + ": " + option.help;
  }
  return option.help;
}

void setOptions(std::span<const GivenOption> given, std::string_view program,
                PhysicsOptions &physics, Warnings &warnings) {
  for (const GivenOption &g : given)
    g.option->set(physics, valueOf(g, program));
  for (const GivenOption &g : given)
    if (!needsHold(*g.option, physics))
      warnings.add(std::string(g.option->name) + (g.text.empty() ? "" : " ") + std::string(g.text) +
                   " changes nothing without " + g.option->needs.text);
}

} // namespace orvalen::extended
