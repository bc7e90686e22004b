// The table of orvalen-scan's physics options: each value converted by its
// option's type, each refusal naming the option and the text, the help's
// stated defaults those of PhysicsOptions.

#include "base/error.hpp"
#include "base/number.hpp"
#include "base/warnings.hpp"
#include "extended/physics_options.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace orvalen::extended {
namespace {

const PhysicsOption &row(std::string_view name) {
  for (const PhysicsOption &o : PHYSICS_OPTIONS)
    if (o.name == name)
      return o;
  throw std::logic_error("no row " + std::string(name));
}

// The options after setting one given option; the error's text if refused.
std::string set(const PhysicsOption &o, std::string_view text, PhysicsOptions &physics,
                Warnings &warnings) {
  const GivenOption given[] = {{&o, text}};
  try {
    setOptions(given, "orvalen-scan", physics, warnings);
  } catch (const Error &e) {
    return e.what();
  }
  return {};
}

TEST(PhysicsOptions, NumbersOfTheOneGrammarAboveZero) {
  const std::pair<const char *, double> accepted[] = {
      {"1d0", 1.0}, {"2.5D-1", 0.25}, {"+3e2", 300.0}, {"5.", 5.0}, {".5", 0.5}};
  const char *const refused[] = {"0",   "-1", "-0", "abc", "nan", "inf", "1e999", "0x10",
                                 "1,5", "1e", "1d", "",    "+",   "1 2", "2 K",   "1e-400"};
  for (const PhysicsOption &o : PHYSICS_OPTIONS) {
    if (o.type != OptionType::PositiveNumber)
      continue;
    for (const auto &[text, value] : accepted) {
      PhysicsOptions physics;
      Warnings warnings;
      EXPECT_EQ(set(o, text, physics, warnings), "") << o.name << ' ' << text;
      EXPECT_EQ(o.get(physics).number, value) << o.name << ' ' << text;
    }
    for (const char *text : refused) {
      PhysicsOptions physics;
      Warnings warnings;
      const std::string error = set(o, text, physics, warnings);
      EXPECT_EQ(
          error.rfind(std::string(o.name) + " \"" + text + "\" is not a positive number (", 0), 0u)
          << o.name << ' ' << text << ": " << error;
      EXPECT_TRUE(error.ends_with("; see orvalen-scan --help")) << error;
    }
  }
  PhysicsOptions physics;
  Warnings warnings;
  EXPECT_EQ(set(row("--scale"), "abc", physics, warnings),
            "--scale \"abc\" is not a positive number (a frequency scale factor, e.g. 0.96); see "
            "orvalen-scan --help");
}

TEST(PhysicsOptions, ChoicesTakeTheirWordsInAnyCase) {
  PhysicsOptions physics;
  Warnings warnings;
  EXPECT_EQ(set(row("--qrrho"), "Grimme", physics, warnings), "");
  EXPECT_EQ(physics.entropy, QuasiHarmonic::Grimme);
  EXPECT_EQ(set(row("--qrrho"), "TRUHLAR", physics, warnings), "");
  EXPECT_EQ(physics.entropy, QuasiHarmonic::Truhlar);
  EXPECT_EQ(set(row("--rotors"), "Classical", physics, warnings), "");
  EXPECT_EQ(physics.rotors, RotorTreatment::Classical);
  EXPECT_EQ(set(row("--rotors"), "harmonic", physics, warnings), "");
  EXPECT_EQ(physics.rotors, RotorTreatment::Harmonic);
  // Off is --qrrho's default, not one of its words.
  EXPECT_EQ(set(row("--qrrho"), "off", physics, warnings),
            "unknown --qrrho method \"off\" (grimme or truhlar)");
  EXPECT_EQ(set(row("--rotors"), "rigid", physics, warnings),
            "unknown --rotors treatment \"rigid\" (quantum, classical or harmonic)");
  EXPECT_TRUE(warnings.empty());
}

TEST(PhysicsOptions, AnOptionWhoseNeedsDoNotHoldIsNamed) {
  struct Case {
    std::vector<std::pair<const char *, const char *>> given;
    std::vector<std::string> warnings;
  };
  const Case cases[] = {
      {{{"--qrrho-cutoff", "50"}},
       {"--qrrho-cutoff 50 changes nothing without --qrrho or --qrrho-enthalpy"}},
      {{{"--qrrho-cutoff", "5d1"}, {"--qrrho-enthalpy", ""}}, {}},
      {{{"--qrrho", "truhlar"}, {"--qrrho-cutoff", "50"}, {"--qrrho-bav", "2D-44"}},
       {"--qrrho-bav 2D-44 changes nothing without --qrrho grimme"}},
      {{{"--qrrho-bav", "2e-44"}, {"--qrrho-cutoff", "50"}},
       {"--qrrho-bav 2e-44 changes nothing without --qrrho grimme",
        "--qrrho-cutoff 50 changes nothing without --qrrho or --qrrho-enthalpy"}},
      {{{"--qrrho", "grimme"}, {"--qrrho-bav", "2e-44"}, {"--scale", "0.9"}}, {}},
  };
  for (const Case &c : cases) {
    std::vector<GivenOption> given;
    for (const auto &[name, text] : c.given)
      given.push_back({&row(name), text});
    PhysicsOptions physics;
    Warnings warnings;
    setOptions(given, "orvalen-scan", physics, warnings);
    EXPECT_EQ(warnings.texts(), c.warnings) << c.given.front().first;
  }
}

// "(default 100 cm-1)" in --help is the value of PhysicsOptions{}.
TEST(PhysicsOptions, TheHelpsDefaultsAreThoseInEffect) {
  int stated = 0;
  for (const PhysicsOption &o : PHYSICS_OPTIONS) {
    const std::string_view help = o.help;
    const auto at = help.find("(default ");
    if (o.type != OptionType::PositiveNumber || at == std::string_view::npos)
      continue;
    const std::string_view rest = help.substr(at + 9);
    const auto number = parseNumber(rest.substr(0, rest.find_first_of(" )")));
    if (!number)
      continue; // "(default F)": another option's value
    ++stated;
    EXPECT_EQ(*number, o.get(PhysicsOptions{}).number) << o.name;
  }
  EXPECT_GE(stated, 2); // --qrrho-cutoff and --qrrho-bav at least
}

// A flag on by default (the spin-orbit shift) says so in its help and has a
// name that turns it off; one off by default has neither.
TEST(PhysicsOptions, AFlagOnByDefaultSaysSoAndCanBeTurnedOff) {
  for (const PhysicsOption &o : PHYSICS_OPTIONS) {
    if (o.type != OptionType::Flag)
      continue;
    const bool on = o.get(PhysicsOptions{}).on;
    EXPECT_EQ(std::string_view(o.help).find("(default;") != std::string_view::npos, on) << o.name;
    EXPECT_EQ(o.offName != nullptr, on) << o.name;
    if (o.offName) {
      EXPECT_EQ(std::string(o.offName), "--no-" + std::string(o.name).substr(2)) << o.name;
    }
  }
  EXPECT_TRUE(PhysicsOptions{}.spinOrbitShift);
  EXPECT_FALSE(PhysicsOptions{}.spinOrbitShiftAsked);
}

} // namespace
} // namespace orvalen::extended
