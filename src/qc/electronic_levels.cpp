#include "qc/electronic_levels.hpp"

#include "base/error.hpp"
#include "qc/output_text.hpp"

#include <algorithm>
#include <cmath>

namespace orvalen::qc {

namespace {

constexpr std::string_view NIST = "NIST Atomic Spectra Database";
constexpr std::string_view HUBER_HERZBERG =
    "Huber and Herzberg, Constants of Diatomic Molecules (1979)";

// Atoms: the J levels of the ground term (cm-1 above the lowest, g = 2J+1),
// NIST Atomic Spectra Database (ver. 5.12), levels of the neutral atom, to the
// four decimals of the data file's column. Diatomic 2Pi
// radicals: the Omega = 3/2 and 1/2 components, each of degeneracy 2 (the
// Lambda doublet), the lower at 0 and the upper at |A|, A the spin-orbit
// constant of the X state of v = 0 (Huber and Herzberg 1979); inverted (2Pi(i),
// A < 0) puts Omega = 3/2 lowest, regular (2Pi(r)) Omega = 1/2.
const std::vector<LevelTableEntry> TABLE = {
    // B 2s2 2p 2P: J = 1/2 at 0, J = 3/2 at 15.287
    {"B", 2, "2P", NIST, 2, {{{0.0, 2}, {15.287, 4}}}},
    // C 2s2 2p2 3P: J = 0 at 0, J = 1 at 16.4167130, J = 2 at 43.4134567
    {"C", 3, "3P", NIST, 3, {{{0.0, 1}, {16.4167, 3}, {43.4135, 5}}}},
    // O 2s2 2p4 3P (inverted): J = 2 at 0, J = 1 at 158.265, J = 0 at 226.977
    {"O", 3, "3P", NIST, 3, {{{0.0, 5}, {158.265, 3}, {226.977, 1}}}},
    // F 2s2 2p5 2P (inverted): J = 3/2 at 0, J = 1/2 at 404.141
    {"F", 2, "2P", NIST, 2, {{{0.0, 4}, {404.141, 2}}}},
    // Al 3s2 3p 2P: J = 1/2 at 0, J = 3/2 at 112.061
    {"Al", 2, "2P", NIST, 2, {{{0.0, 2}, {112.061, 4}}}},
    // Si 3s2 3p2 3P: J = 0 at 0, J = 1 at 77.115, J = 2 at 223.157
    {"Si", 3, "3P", NIST, 3, {{{0.0, 1}, {77.115, 3}, {223.157, 5}}}},
    // S 3s2 3p4 3P (inverted): J = 2 at 0, J = 1 at 396.05648, J = 0 at 573.59573
    {"S", 3, "3P", NIST, 3, {{{0.0, 5}, {396.0565, 3}, {573.5957, 1}}}},
    // Cl 3s2 3p5 2P (inverted): J = 3/2 at 0, J = 1/2 at 882.3515
    {"Cl", 2, "2P", NIST, 2, {{{0.0, 4}, {882.3515, 2}}}},
    // Br 4s2 4p5 2P (inverted): J = 3/2 at 0, J = 1/2 at 3685.24
    {"Br", 2, "2P", NIST, 2, {{{0.0, 4}, {3685.24, 2}}}},
    // I 5s2 5p5 2P (inverted): J = 3/2 at 0, J = 1/2 at 7602.9762
    {"I", 2, "2P", NIST, 2, {{{0.0, 4}, {7602.9762, 2}}}},
    // OH X 2Pi(i): A = -139.7, the Omega = 1/2 component 139.7 above Omega = 3/2
    // (the interval thermochemical tables and rate-constant work take for OH)
    {"HO", 2, "X 2Pi(i)", HUBER_HERZBERG, 2, {{{0.0, 2}, {139.7, 2}}}},
    // SH X 2Pi(i): A = -377.0
    {"HS", 2, "X 2Pi(i)", HUBER_HERZBERG, 2, {{{0.0, 2}, {377.0, 2}}}},
    // NO X 2Pi(r): the Omega = 3/2 component at 119.82 above Omega = 1/2
    {"NO", 2, "X 2Pi(r)", HUBER_HERZBERG, 2, {{{0.0, 2}, {119.82, 2}}}},
    // ClO X 2Pi(i): A = -318.0
    {"ClO", 2, "X 2Pi(i)", HUBER_HERZBERG, 2, {{{0.0, 2}, {318.0, 2}}}},
    // CH X 2Pi(r): A = +28.05
    {"CH", 2, "X 2Pi(r)", HUBER_HERZBERG, 2, {{{0.0, 2}, {28.05, 2}}}},
};

} // namespace

const std::vector<LevelTableEntry> &levelTable() {
  return TABLE;
}

const LevelTableEntry *tableLevels(std::string_view formula) {
  const auto at = std::find_if(TABLE.begin(), TABLE.end(),
                               [&](const LevelTableEntry &e) { return e.formula == formula; });
  return at == TABLE.end() ? nullptr : &*at;
}

std::vector<ElectronicLevel> parseLevels(std::string_view text) {
  std::vector<ElectronicLevel> levels;
  const auto refuse = [&](std::string_view item, const std::string &why) {
    throw Error("--levels: " + inQuotes(item) + " " + why +
                " (give \"E1:g1,E2:g2,...\": energies in cm-1 from the ground level at 0 "
                "upwards, degeneracies of 1 or more)");
  };
  std::size_t from = 0;
  while (true) {
    const std::size_t comma = text.find(',', from);
    const std::string_view item =
        text.substr(from, comma == std::string_view::npos ? std::string_view::npos : comma - from);
    const std::size_t colon = item.find(':');
    if (colon == std::string_view::npos)
      refuse(item, "is not ENERGY:DEGENERACY");
    const auto energy = parseReal(item.substr(0, colon));
    const auto degeneracy = parseInteger(item.substr(colon + 1));
    if (!energy || !std::isfinite(*energy))
      refuse(item, "has no decimal energy before the colon");
    if (!degeneracy)
      refuse(item, "has no whole degeneracy after the colon");
    if (levels.empty() && *energy != 0.0)
      refuse(item, "is the first level and not at 0");
    if (!levels.empty() && *energy < levels.back().energy)
      refuse(item, "is below the level before it: levels go in ascending order");
    if (*energy > HIGHEST_LEVEL)
      refuse(item, "is above 1e6 cm-1 (124 eV) over the ground level, where no electronic level "
                   "of a molecule lies");
    if (*degeneracy < 1 || *degeneracy > 999999999)
      refuse(item, "has a degeneracy below 1 or above 999999999");
    if (levels.size() >= static_cast<std::size_t>(MAX_LEVELS))
      refuse(item, "is one level more than the " + std::to_string(MAX_LEVELS) +
                       " a molecule data file holds");
    levels.push_back({*energy, static_cast<int>(*degeneracy)});
    if (comma == std::string_view::npos)
      break;
    from = comma + 1;
  }
  return levels;
}

} // namespace orvalen::qc
