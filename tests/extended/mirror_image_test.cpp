// A data file's `Optical isomers 2` beside hindered rotors that turn the
// molecule into its mirror image: the warning orvalen-scan gives, tested on
// geometries built here whose symmetry is known by construction.

#include "extended/mirror_image.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orvalen::extended {
namespace {

constexpr double DEG = std::numbers::pi / 180.0;
const double CH_RADIUS = 1.09 * std::sqrt(8.0 / 9.0); // A, a tetrahedral C-H off the C-C line
constexpr double CH_BACK = 1.09 / 3.0;                // A, and along it

using Position = std::array<double, 3>;

Position around(double radius, double azimuthDeg, double z) {
  return {radius * std::cos(azimuthDeg * DEG), radius * std::sin(azimuthDeg * DEG), z};
}

HinderedRotor rotorOf(int p1, int p2, std::vector<int> top) {
  HinderedRotor r;
  r.pivot1 = p1;
  r.pivot2 = p2;
  r.top = std::move(top);
  return r;
}

Molecule moleculeOf(const std::string &name, const std::vector<int> &z,
                    const std::vector<Position> &r, int opticalIsomers,
                    std::vector<HinderedRotor> rotors) {
  Molecule m;
  m.name = name;
  m.fileNameAsWritten = name + ".dat";
  m.natoms = static_cast<int>(z.size());
  for (std::size_t a = 0; a < z.size(); ++a) {
    m.na[a] = z[a];
    m.c[a] = r[a];
  }
  m.opticalIsomers = opticalIsomers;
  m.rotors = std::move(rotors);
  return m;
}

// Hydrogen peroxide: O1-O2 1.45 A along z, O-O-H 100 degrees, the dihedral
// H3-O1-O2-H4 115 degrees: C2, chiral. Its OH group about O2-O1 turned to the
// cis (C2v) or trans (C2h) form makes it achiral.
Molecule peroxide(int opticalIsomers, std::vector<HinderedRotor> rotors) {
  const double off = 0.97 * std::sin(100 * DEG), along = 0.97 * std::cos(100 * DEG);
  return moleculeOf(
      "HOOH", {8, 8, 1, 1},
      {{0, 0, 0}, {0, 0, 1.45}, around(off, 0, along), around(off, 115, 1.45 - along)},
      opticalIsomers, std::move(rotors));
}

// CHFCl-CH3: the stereocentre C1 holds H, F and Cl, which no turn of either
// group exchanges; chiral whatever its rotors do.
Molecule chloroFluoroEthane() {
  return moleculeOf("CHFCLCH3", {6, 6, 1, 9, 17, 1, 1, 1},
                    {{0, 0, 0},
                     {0, 0, 1.52},
                     around(CH_RADIUS, 0, -CH_BACK),
                     around(1.36 * std::sqrt(8.0 / 9.0), 120, -1.36 / 3.0),
                     around(1.78 * std::sqrt(8.0 / 9.0), 240, -1.78 / 3.0),
                     around(CH_RADIUS, 60, 1.52 + CH_BACK),
                     around(CH_RADIUS, 180, 1.52 + CH_BACK),
                     around(CH_RADIUS, 300, 1.52 + CH_BACK)},
                    2, {rotorOf(2, 1, {2, 6, 7, 8}), rotorOf(1, 2, {1, 3, 4, 5})});
}

TEST(MirrorImage, TwoIsomersBesideARotorThatReachesTheMirrorImageAreCountedTwice) {
  const std::optional<std::string> text =
      mirrorImageCountedTwice(peroxide(2, {rotorOf(2, 1, {2, 4})}));
  ASSERT_TRUE(text);
  // The molecule, its data file, the rotor and its bond, the group reached
  // (cis C2v by 115 degrees or trans C2h by -65, both exact) and what to do.
  const bool cis = text->find(" by 115 degrees reaches a C2v geometry") != std::string::npos;
  const bool trans = text->find(" by -65 degrees reaches a C2h geometry") != std::string::npos;
  EXPECT_TRUE(cis || trans) << *text;
  const std::string turn = cis ? "115 degrees reaches a C2v" : "-65 degrees reaches a C2h";
  EXPECT_EQ(*text, "HOOH: its data file HOOH.dat gives Optical isomers 2, but turning hindered "
                   "rotor 1 about 2-1 by " +
                       turn +
                       " geometry, so the rotors' levels hold both mirror forms already and the "
                       "factor 2 counts them twice; write Optical isomers 1 in the data file, or "
                       "let orvalen-import write it (the scan takes the file as written)");
}

TEST(MirrorImage, NothingToSayWhenTheFileCountsEachFormOnce) {
  struct Case {
    const char *what;
    Molecule molecule;
  };
  const Case cases[] = {
      // As orvalen-import writes it: one isomer (1, or no marker at all).
      {"one isomer", peroxide(1, {rotorOf(2, 1, {2, 4})})},
      {"no marker", peroxide(0, {rotorOf(2, 1, {2, 4})})},
      // Two isomers and no rotor: the mirror image is another molecule.
      {"no rotor", peroxide(2, {})},
      // A stereocentre that neither rotor, nor both together, can undo.
      {"chiral", chloroFluoroEthane()},
  };
  for (const Case &c : cases)
    EXPECT_FALSE(mirrorImageCountedTwice(c.molecule)) << c.what;
}

} // namespace
} // namespace orvalen::extended
