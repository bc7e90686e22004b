#pragma once

// The scan's treatments beyond the rigid rotor and harmonic oscillator, as
// orvalen-scan's options set them, and the table that describes those options
// once: PHYSICS_OPTIONS. The command line (scan/physics_command_line), the
// conversion of a value by its type and the warning for an option that
// changes nothing (setOptions), the options line of the scan's table header
// and its JSON `options` all read the table; a new option is one row here, a
// member of PhysicsOptions and its physics. The defaults change nothing.

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orvalen {
class Warnings;
}

namespace orvalen::extended {

// Entropy of the low real modes.
enum class QuasiHarmonic { Off, Grimme, Truhlar };

// A molecule's hindered rotors (its data file's block), each in place of the
// harmonic mode of its row: levels of the torsional potential, the classical
// integral over it, or left out (the harmonic modes stay).
enum class RotorTreatment { Quantum, Classical, Harmonic };

// A molecule of several structures (its data file's conformers block): the
// sum over them, or its main structure (of lowest E0) alone.
enum class ConformerTreatment { All, Lowest };

struct PhysicsOptions {
  QuasiHarmonic entropy = QuasiHarmonic::Off; // --qrrho
  bool dampedEnergy = false;                  // --qrrho-enthalpy (Head-Gordon)
  double cutoff = 100.0;                      // --qrrho-cutoff, cm-1
  double bav = 1.0e-44;                       // --qrrho-bav, kg m2
  double scale = 1.0;                         // --scale: every wavenumber
  std::optional<double> zpeScale;             // --zpe-scale; absent: the --scale factor
  // --spin-orbit-shift, on unless --no-spin-orbit-shift: the energy of a
  // molecule whose levels came from orvalen-import's table is lowered to its
  // lowest level, the reference its Qel counts from.
  bool spinOrbitShift = true;
  bool spinOrbitShiftAsked = false; // --spin-orbit-shift given: said when it shifts nothing
  RotorTreatment rotors = RotorTreatment::Quantum; // --rotors; no molecule without rotors moves
  ConformerTreatment conformers = ConformerTreatment::All; // --conformers; one structure: no move

  double zpeFactor() const { return zpeScale.value_or(scale); }
  // True when a real mode's values can differ from the report's harmonic ones
  // (the rotors' own rows apart: they change only molecules that have rotors).
  bool changesModes() const {
    return entropy != QuasiHarmonic::Off || dampedEnergy || scale != 1.0 || zpeFactor() != 1.0;
  }
};

// How an option is written and its value converted.
enum class OptionType {
  Flag,           // no value: given means on
  Choice,         // one of its words, in any case
  PositiveNumber, // a number of the one grammar (base/number.hpp), finite and above zero
};

// An option's value as its type holds it.
struct OptionValue {
  bool on = false;        // Flag
  std::size_t choice = 0; // Choice: the index of its word (the value of its enum)
  double number = 0.0;    // PositiveNumber
};

// What must be chosen too for an option to change anything.
struct OptionNeeds {
  const char *text = nullptr;                     // as the warning names it; nullptr: nothing
  bool (*hold)(const PhysicsOptions &) = nullptr; // it is chosen
};

struct PhysicsOption {
  const char *name; // as the command line, the options line and every message write it
  OptionType type;
  const char *value; // PositiveNumber: the value's name in --help ("CM1")
  const char *help;  // --help, after "VALUE: " or "word | word: "
  // Choice: its words, indexed by the value of its enum; nullptr for a value
  // that has no word (not offered, not shown: --qrrho's Off).
  std::span<const char *const> words;
  const char *wordsAre; // Choice: what a word names, in "unknown --qrrho method"
  const char *numberIs; // PositiveNumber: what the number is, in the error for a refused one
  const char *unit;     // PositiveNumber: after the value on the options line, in parentheses
  const char *jsonKey;  // of the scan's JSON `options`
  OptionNeeds needs;
  // It changes only molecules that have hindered rotors: left out of the
  // options line and JSON of a job without them (the scan warns when given).
  bool forRotors;
  std::size_t shownAt; // its place on the options line and in JSON `options`
  // The value in effect; its default is that of PhysicsOptions{}, whose
  // initialisers are the one place of the defaults.
  OptionValue (*get)(const PhysicsOptions &);
  void (*set)(PhysicsOptions &, const OptionValue &);
  // Flag: the name that turns it off (a flag that is on by default); the
  // options line shows it when the flag is off where it would act.
  const char *offName = nullptr;
  // It changes only molecules whose electronic levels came from
  // orvalen-import's table: shown on the options line only for a job with
  // such a molecule, and in JSON `options` as in effect there (a flag: false
  // without one).
  bool forTableLevels = false;
  // It changes only molecules that have conformers: left out of the options
  // line and JSON of a job without them, as forRotors.
  bool forConformers = false;
};

inline constexpr const char *QRRHO_WORDS[] = {nullptr, "grimme", "truhlar"};
inline constexpr const char *ROTOR_WORDS[] = {"quantum", "classical", "harmonic"};
inline constexpr const char *CONFORMER_WORDS[] = {"all", "lowest"};

// In the order of --help; `shownAt` gives the order of the outputs, which name
// a treatment before the values that tune it.
inline constexpr PhysicsOption PHYSICS_OPTIONS[] = {
    {.name = "--qrrho",
     .type = OptionType::Choice,
     .value = nullptr,
     .help = "quasi-harmonic entropy of the real modes below the cut-off",
     .words = QRRHO_WORDS,
     .wordsAre = "method",
     .numberIs = nullptr,
     .unit = nullptr,
     .jsonKey = "qrrho",
     .needs = {},
     .forRotors = false,
     .shownAt = 0,
     .get =
         [](const PhysicsOptions &o) {
           return OptionValue{.choice = static_cast<std::size_t>(o.entropy)};
         },
     .set = [](PhysicsOptions &o,
               const OptionValue &v) { o.entropy = static_cast<QuasiHarmonic>(v.choice); }},
    {.name = "--qrrho-cutoff",
     .type = OptionType::PositiveNumber,
     .value = "CM1",
     .help = "the cut-off nu0 (default 100 cm-1)",
     .words = {},
     .wordsAre = nullptr,
     .numberIs = "a wavenumber in cm-1, e.g. 100",
     .unit = "cm-1",
     .jsonKey = "qrrho_cutoff_cm1",
     .needs = {.text = "--qrrho or --qrrho-enthalpy",
               .hold =
                   [](const PhysicsOptions &o) {
                     return o.entropy != QuasiHarmonic::Off || o.dampedEnergy;
                   }},
     .forRotors = false,
     .shownAt = 2,
     .get = [](const PhysicsOptions &o) { return OptionValue{.number = o.cutoff}; },
     .set = [](PhysicsOptions &o, const OptionValue &v) { o.cutoff = v.number; }},
    {.name = "--qrrho-bav",
     .type = OptionType::PositiveNumber,
     .value = "KGM2",
     .help = "Grimme's average moment Bav (default 1e-44 kg m2)",
     .words = {},
     .wordsAre = nullptr,
     .numberIs = "a moment of inertia in kg m2, e.g. 1e-44",
     .unit = "kg m2",
     .jsonKey = "qrrho_bav_kgm2",
     .needs = {.text = "--qrrho grimme",
               .hold = [](const PhysicsOptions &o) { return o.entropy == QuasiHarmonic::Grimme; }},
     .forRotors = false,
     .shownAt = 3,
     .get = [](const PhysicsOptions &o) { return OptionValue{.number = o.bav}; },
     .set = [](PhysicsOptions &o, const OptionValue &v) { o.bav = v.number; }},
    {.name = "--qrrho-enthalpy",
     .type = OptionType::Flag,
     .value = nullptr,
     .help = "each mode's energy, ZPE included, damped to RT/2 below the cut-off (Head-Gordon)",
     .words = {},
     .wordsAre = nullptr,
     .numberIs = nullptr,
     .unit = nullptr,
     .jsonKey = "qrrho_enthalpy",
     .needs = {},
     .forRotors = false,
     .shownAt = 1,
     .get = [](const PhysicsOptions &o) { return OptionValue{.on = o.dampedEnergy}; },
     .set = [](PhysicsOptions &o, const OptionValue &v) { o.dampedEnergy = v.on; }},
    {.name = "--scale",
     .type = OptionType::PositiveNumber,
     .value = "F",
     .help = "multiply every wavenumber, the imaginary one too",
     .words = {},
     .wordsAre = nullptr,
     .numberIs = "a frequency scale factor, e.g. 0.96",
     .unit = nullptr,
     .jsonKey = "scale",
     .needs = {},
     .forRotors = false,
     .shownAt = 4,
     .get = [](const PhysicsOptions &o) { return OptionValue{.number = o.scale}; },
     .set = [](PhysicsOptions &o, const OptionValue &v) { o.scale = v.number; }},
    {.name = "--zpe-scale",
     .type = OptionType::PositiveNumber,
     .value = "Z",
     .help = "ZPE = Z * sum(h c wavenumber/2) of the unscaled wavenumbers (default F)",
     .words = {},
     .wordsAre = nullptr,
     .numberIs = "a ZPE scale factor, e.g. 0.98",
     .unit = nullptr,
     .jsonKey = "zpe_scale",
     .needs = {},
     .forRotors = false,
     .shownAt = 5,
     .get = [](const PhysicsOptions &o) { return OptionValue{.number = o.zpeFactor()}; },
     .set = [](PhysicsOptions &o, const OptionValue &v) { o.zpeScale = v.number; }},
    {.name = "--spin-orbit-shift",
     .type = OptionType::Flag,
     .value = nullptr,
     .help = "lower the energy of molecules with the import table's levels by their spin-orbit "
             "stabilisation, to the lowest level Qel counts from (default; "
             "--no-spin-orbit-shift leaves it out)",
     .words = {},
     .wordsAre = nullptr,
     .numberIs = nullptr,
     .unit = nullptr,
     .jsonKey = "spin_orbit_shift",
     .needs = {},
     .forRotors = false,
     .shownAt = 6,
     .get = [](const PhysicsOptions &o) { return OptionValue{.on = o.spinOrbitShift}; },
     .set =
         [](PhysicsOptions &o, const OptionValue &v) {
           o.spinOrbitShift = v.on;
           o.spinOrbitShiftAsked = v.on;
         },
     .offName = "--no-spin-orbit-shift",
     .forTableLevels = true},
    {.name = "--rotors",
     .type = OptionType::Choice,
     .value = nullptr,
     .help = "the data files' hindered rotors, each in place of its mode (default quantum; "
             "harmonic leaves them out)",
     .words = ROTOR_WORDS,
     .wordsAre = "treatment",
     .numberIs = nullptr,
     .unit = nullptr,
     .jsonKey = "rotors",
     .needs = {},
     .forRotors = true,
     .shownAt = 7,
     .get =
         [](const PhysicsOptions &o) {
           return OptionValue{.choice = static_cast<std::size_t>(o.rotors)};
         },
     .set = [](PhysicsOptions &o,
               const OptionValue &v) { o.rotors = static_cast<RotorTreatment>(v.choice); }},
    {.name = "--conformers",
     .type = OptionType::Choice,
     .value = nullptr,
     .help = "the data files' conformers: the Boltzmann sum over every structure (default all), "
             "or the main structure of lowest E0 alone",
     .words = CONFORMER_WORDS,
     .wordsAre = "treatment",
     .numberIs = nullptr,
     .unit = nullptr,
     .jsonKey = "conformers",
     .needs = {},
     .forRotors = false,
     .shownAt = 8,
     .get =
         [](const PhysicsOptions &o) {
           return OptionValue{.choice = static_cast<std::size_t>(o.conformers)};
         },
     .set = [](PhysicsOptions &o,
               const OptionValue &v) { o.conformers = static_cast<ConformerTreatment>(v.choice); },
     .forConformers = true},
};

inline constexpr std::size_t PHYSICS_OPTION_COUNT = std::size(PHYSICS_OPTIONS);

// The rows in the order of the outputs (their `shownAt`).
consteval std::array<const PhysicsOption *, PHYSICS_OPTION_COUNT> physicsOptionsShownOrder() {
  std::array<const PhysicsOption *, PHYSICS_OPTION_COUNT> order{};
  for (const PhysicsOption &o : PHYSICS_OPTIONS)
    order.at(o.shownAt) = &o;
  return order;
}
inline constexpr auto PHYSICS_OPTIONS_SHOWN = physicsOptionsShownOrder();

// Every place of the outputs taken once, every Choice's default a word or
// nothing of its own words.
// (Counted by place, not by comparing the addresses of PHYSICS_OPTIONS_SHOWN,
// which a sanitizing build does not take as a constant expression.)
consteval bool physicsOptionsWellFormed() {
  std::array<int, PHYSICS_OPTION_COUNT> taken{};
  for (const PhysicsOption &o : PHYSICS_OPTIONS)
    if (o.shownAt >= PHYSICS_OPTION_COUNT || ++taken.at(o.shownAt) != 1)
      return false;
  for (const PhysicsOption &o : PHYSICS_OPTIONS)
    if (o.type == OptionType::Choice && o.get(PhysicsOptions{}).choice >= o.words.size())
      return false;
  return true;
}
static_assert(physicsOptionsWellFormed(),
              "PHYSICS_OPTIONS: each shownAt once, each choice's value among its words");

// The word of --conformers: "all", "lowest".
constexpr const char *conformerTreatmentName(ConformerTreatment t) {
  return CONFORMER_WORDS[static_cast<std::size_t>(t)];
}

// The word of --rotors: "quantum", "classical", "harmonic".
constexpr const char *rotorTreatmentName(RotorTreatment t) {
  return ROTOR_WORDS[static_cast<std::size_t>(t)];
}

// The option's value is off: a flag not given, a choice without a word.
bool isOff(const PhysicsOption &option, const OptionValue &value);
// What the option needs is chosen too.
bool needsHold(const PhysicsOption &option, const PhysicsOptions &physics);
// The option changes the values: what it needs is chosen, and it is not off.
bool inEffect(const PhysicsOption &option, const PhysicsOptions &physics);

// The text of --help after the option's name and type: "CM1: the cut-off nu0 (default 100 cm-1)",
// "grimme | truhlar: quasi-harmonic entropy ...".
std::string helpText(const PhysicsOption &option);

// One option as a command line gave it: its row, its text (empty for a
// flag) and a flag's value ("--qrrho-enthalpy=false" gives it, off).
struct GivenOption {
  const PhysicsOption *option;
  std::string_view text;
  bool on = true;
};

// Sets each given option in `physics`, its text converted by its type; throws
// orvalen::Error naming the option for a text its type refuses (a number's
// error ends "see PROGRAM --help"). Then, for each given option whose needs
// do not hold, the warning "--qrrho-bav 2e-44 changes nothing without --qrrho
// grimme". Options are read in the order of `given`.
void setOptions(std::span<const GivenOption> given, std::string_view program,
                PhysicsOptions &physics, Warnings &warnings);

} // namespace orvalen::extended
