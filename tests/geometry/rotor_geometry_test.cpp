// The rotating group, reduced moment and symmetry number of a torsion, on ideal
// geometries built here (C-C 1.54, C-H 1.09, tetrahedral angles).
#include "base/error.hpp"
#include "geometry/rotor_geometry.hpp"
#include "geometry/symmetry.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace orvalen::geometry {
namespace {

constexpr double DEG = std::numbers::pi / 180.0;
// A tetrahedral X-H bond of 1.09 A about the z axis: 1.09 sin(109.47) = 1.09 sqrt(8/9)
// from the axis and 1.09 / 3 back along it.
const double CH_RADIUS = 1.09 * std::sqrt(8.0 / 9.0);
constexpr double CH_BACK = 1.09 / 3.0;

Vec3 around(double radius, double azimuthDeg, double z) {
  return {radius * std::cos(azimuthDeg * DEG), radius * std::sin(azimuthDeg * DEG), z};
}

// Staggered ethane along z: C1, C2, then H 3-5 on C1 and H 6-8 on C2.
Atoms ethane() {
  return {{6, 6, 1, 1, 1, 1, 1, 1},
          {{0, 0, 0},
           {0, 0, 1.54},
           around(CH_RADIUS, 0, -CH_BACK),
           around(CH_RADIUS, 120, -CH_BACK),
           around(CH_RADIUS, 240, -CH_BACK),
           around(CH_RADIUS, 60, 1.54 + CH_BACK),
           around(CH_RADIUS, 180, 1.54 + CH_BACK),
           around(CH_RADIUS, 300, 1.54 + CH_BACK)}};
}

// Methanol: C1, O2 (C-O 1.43 along z), methyl H 3-5, hydroxyl H6 (O-H 0.96,
// C-O-H 108.5 degrees) in the xz plane, staggered against the methyl H.
const double OH_X = 0.96 * std::sin(71.5 * DEG);
Atoms methanol() {
  return {{6, 8, 1, 1, 1, 1},
          {{0, 0, 0},
           {0, 0, 1.43},
           around(CH_RADIUS, 60, -CH_BACK),
           around(CH_RADIUS, 180, -CH_BACK),
           around(CH_RADIUS, 300, -CH_BACK),
           {OH_X, 0, 1.43 + 0.96 * std::cos(71.5 * DEG)}}};
}

// Toluene: methyl C1 on ipso C2 along z; the ring (C 2-7, C-C 1.39, C-H 1.08) in
// the xz plane; ring H 8-12; methyl H 13-15, one perpendicular to the ring.
Atoms toluene() {
  Atoms a{{6, 6, 6, 6, 6, 6, 6}, {{0, 0, -2.90}}};
  const auto inRing = [](double radius, double deg) {
    return Vec3{radius * std::sin(deg * DEG), 0, radius * std::cos(deg * DEG)};
  };
  for (const double deg : {180.0, 240.0, 300.0, 0.0, 60.0, 120.0})
    a.r.push_back(inRing(1.39, deg));
  for (const double deg : {240.0, 300.0, 0.0, 60.0, 120.0}) {
    a.z.push_back(1);
    a.r.push_back(inRing(1.39 + 1.08, deg));
  }
  for (const double deg : {90.0, 210.0, 330.0}) {
    a.z.push_back(1);
    a.r.push_back(around(CH_RADIUS, deg, -2.90 - CH_BACK));
  }
  return a;
}

// Hydrogen peroxide: O1-O2 1.45 along z, H3 on O1, H4 on O2 (O-H 0.97, O-O-H 100).
Atoms hydrogenPeroxide() {
  const double r = 0.97 * std::sin(80 * DEG), back = 0.97 * std::cos(80 * DEG);
  return {{8, 8, 1, 1},
          {{0, 0, 0}, {0, 0, 1.45}, around(r, 0, -back), around(r, 115, 1.45 + back)}};
}

// Acetonitrile: methyl C1, nitrile C2 (C-C 1.46) and N3 (C-N 1.16) on the z axis,
// methyl H 4-6.
Atoms acetonitrile() {
  return {{6, 6, 7, 1, 1, 1},
          {{0, 0, 0},
           {0, 0, 1.46},
           {0, 0, 2.62},
           around(CH_RADIUS, 0, -CH_BACK),
           around(CH_RADIUS, 120, -CH_BACK),
           around(CH_RADIUS, 240, -CH_BACK)}};
}

// Cyclopropane's carbon ring, C-C 1.51.
Atoms cyclopropane() {
  const double r = 1.51 / std::sqrt(3.0);
  return {{6, 6, 6}, {around(r, 0, 0), around(r, 120, 0), around(r, 240, 0)}};
}

TEST(RotorGeometry, CovalentRadiiOfCordero) {
  EXPECT_EQ(covalentRadius(1), 0.31);
  EXPECT_EQ(covalentRadius(6), 0.76); // sp3
  EXPECT_EQ(covalentRadius(7), 0.71);
  EXPECT_EQ(covalentRadius(8), 0.66);
  EXPECT_EQ(covalentRadius(17), 1.02);
  EXPECT_EQ(covalentRadius(35), 1.20);
  EXPECT_EQ(covalentRadius(86), 1.50);
  EXPECT_THROW(covalentRadius(87), Error);
  // C-C 1.54 < 1.2 (0.76 + 0.76) = 1.824 is a bond; the C1...H6 of ethane (2.18) is not.
  EXPECT_TRUE(bonded(ethane(), 1, 2));
  EXPECT_FALSE(bonded(ethane(), 1, 6));
}

TEST(RotorGeometry, TopIsTheFragmentOnTheFirstPivotsSide) {
  struct Case {
    const char *name;
    Atoms geometry;
    int p1, p2;
    std::vector<int> top;
  };
  const std::vector<Case> cases{
      {"ethane C1-C2", ethane(), 1, 2, {1, 3, 4, 5}},
      {"ethane C2-C1", ethane(), 2, 1, {2, 6, 7, 8}},
      {"methanol C-O", methanol(), 1, 2, {1, 3, 4, 5}},
      {"methanol O-C", methanol(), 2, 1, {2, 6}},
      {"toluene methyl", toluene(), 1, 2, {1, 13, 14, 15}},
      {"hydrogen peroxide O-O", hydrogenPeroxide(), 1, 2, {1, 3}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(rotorTop(c.geometry, c.p1, c.p2), c.top) << c.name;
}

// The message of the Error `f` throws, empty when it throws none.
template <class F> std::string refusal(F f) {
  try {
    f();
  } catch (const Error &e) {
    return e.what();
  }
  return {};
}

TEST(RotorGeometry, RefusesWhatIsNoTorsion) {
  struct Case {
    const char *name;
    std::string message;
    const char *says;
  };
  const Atoms c2h6 = ethane(), h2o2 = hydrogenPeroxide(), c3 = cyclopropane();
  const std::vector<Case> cases{
      {"ring bond", refusal([&] { rotorTop(c3, 1, 2); }), "rotor 1,2: the bond 1-2 is in a ring"},
      {"no bond", refusal([&] { rotorTop(c2h6, 1, 6); }),
       "rotor 1,6: atoms 1 and 6 are not bonded"},
      {"same atom", refusal([&] { rotorTop(c2h6, 1, 1); }), "the two pivot atoms are the same"},
      {"out of range", refusal([&] { rotorTop(c2h6, 1, 9); }), "atom 9 is not one of the 8 atoms"},
      {"lone H as top", refusal([&] { rotorTop(h2o2, 3, 1); }), "atom 3 carries nothing beyond"},
      {"lone H as rest", refusal([&] { rotorTop(h2o2, 1, 3); }), "atom 3 carries nothing beyond"},
      {"nitrile on the axis", refusal([&] { rotorTop(acetonitrile(), 1, 2); }),
       "every atom on 2's side lies on the bond line"},
      {"top without p1", refusal([&] {
         checkRotorTop(c2h6, {3, 4, 5}, 1, 2);
       }),
       "does not contain its pivot atom 1"},
      {"top with p2", refusal([&] {
         checkRotorTop(c2h6, {1, 2, 3}, 1, 2);
       }),
       "contains the other pivot atom 2"},
      {"top out of range", refusal([&] {
         checkRotorTop(c2h6, {1, 0}, 1, 2);
       }),
       "atom 0 is not one of the 8 atoms"},
      {"top twice", refusal([&] {
         checkRotorTop(c2h6, {1, 3, 3}, 1, 2);
       }),
       "atom 3 is given twice"},
  };
  for (const Case &c : cases) {
    EXPECT_NE(c.message.find(c.says), std::string::npos) << c.name << ": " << c.message;
    EXPECT_EQ(c.message.find('\n'), std::string::npos) << c.name;
  }
}

// Acetyl chloride, CH3-C(=O)Cl: C1-C2 1.50 along z, O3 (C=O 1.19, C-C-O 127
// degrees) and Cl4 (C-Cl 1.79, C-C-Cl 112 degrees) on either side in the xz
// plane, methyl H 5-7 staggered. The heavy Cl puts the centre of mass far off
// the methyl group's axis.
Atoms acetylChloride() {
  return {{6, 6, 8, 17, 1, 1, 1},
          {{0, 0, 0},
           {0, 0, 1.50},
           {1.19 * std::sin(127 * DEG), 0, 1.50 - 1.19 * std::cos(127 * DEG)},
           {-1.79 * std::sin(112 * DEG), 0, 1.50 - 1.79 * std::cos(112 * DEG)},
           around(CH_RADIUS, 60, -CH_BACK),
           around(CH_RADIUS, 180, -CH_BACK),
           around(CH_RADIUS, 300, -CH_BACK)}};
}

TEST(RotorGeometry, ReducedMomentOfPitzer) {
  // Masses 1.00782503223, 12, 15.99491461957, 34.968852682 (AME 2016). For a
  // methyl top along z the momentum of its turn is P = 0 and its angular
  // momentum L = A z, so with the mirror plane xz (I_xy = I_yz = 0 about the
  // centre of mass) I_red = A - A^2 I_xx / (I_xx I_zz - I_xz^2), A = 3 m_H
  // 1.09^2 8/9 = 3.193058 the top's own moment about the bond
  // (tools/hand_check/reduced_moment.py gives the tensors).
  struct Case {
    const char *name;
    Atoms geometry;
    std::vector<int> top;
    int p1, p2;
    double expected; // amu A^2
  };
  const std::vector<Case> cases{
      // Ethane: I_xx 25.189630, I_zz 6.386117 = 2 A, I_xz 0: A - A^2/(2 A) = A/2, as
      // I_top I_rest/(I_top + I_rest) about the C-C axis through the centre of mass.
      {"ethane", ethane(), {1, 3, 4, 5}, 1, 2, 1.596529},
      {"ethane, the other side", ethane(), {2, 6, 7, 8}, 2, 1, 1.596529},
      // Methanol: I_xx 20.459535, I_zz 4.002069, I_xz -0.917643: 0.618999 (the
      // product over the sum about the parallel axis gave 0.638088).
      {"methanol", methanol(), {1, 3, 4, 5}, 1, 2, 0.618999},
      {"methanol, the other side", methanol(), {2, 6}, 2, 1, 0.618999},
      // Acetyl chloride: I_xx 61.392262, I_zz 90.432895, I_xz 21.839753: 3.069720,
      // just below A; the product over the sum about the parallel axis through the
      // centre of mass gave 7.065460, more than twice the top's own moment.
      {"acetyl chloride", acetylChloride(), {1, 5, 6, 7}, 1, 2, 3.069720},
      {"acetyl chloride, the other side", acetylChloride(), {2, 3, 4}, 2, 1, 3.069720},
  };
  for (const Case &c : cases) {
    const double reduced = reducedMoment(c.geometry, c.top, c.p1, c.p2);
    EXPECT_NEAR(reduced, c.expected, 1e-6) << c.name;
    // Never above the top's own moment about the bond, nor the rest's.
    std::vector<int> rest;
    for (int a = 1; a <= static_cast<int>(c.geometry.z.size()); ++a)
      if (std::find(c.top.begin(), c.top.end(), a) == c.top.end())
        rest.push_back(a);
    EXPECT_LE(reduced, topMoment(c.geometry, c.top, c.p1, c.p2) + 1e-12) << c.name;
    EXPECT_LE(reduced, topMoment(c.geometry, rest, c.p2, c.p1) + 1e-12) << c.name;
  }
  EXPECT_NEAR(topMoment(acetylChloride(), {1, 5, 6, 7}, 1, 2), 3.193058, 1e-6);
}

TEST(RotorGeometry, ReducedMomentIsTheSameInAnyFrame) {
  // The molecule turned and moved as a whole: the kinetic energy of the
  // internal rotation does not change.
  Atoms moved = acetylChloride();
  const double c = std::cos(0.7), s = std::sin(0.7);
  for (Vec3 &r : moved.r)
    r = {c * r[0] - s * r[2] + 3.0, r[1] - 2.0, s * r[0] + c * r[2] + 1.0};
  EXPECT_NEAR(reducedMoment(moved, {1, 5, 6, 7}, 1, 2), 3.069720, 1e-6);
}

// A rotor of the test geometries: the bond and the top.
HinderedRotor rotorOf(int p1, int p2, std::vector<int> top) {
  HinderedRotor r;
  r.pivot1 = p1;
  r.pivot2 = p2;
  r.top = std::move(top);
  return r;
}

TEST(RotorGeometry, ATorsionThatReachesTheMirrorImage) {
  // Hydrogen peroxide at 115 degrees is chiral (C2); turning one OH group to the
  // cis (0 degrees, C2v: a turn of 115 degrees about O2 -> O1) or trans (180,
  // C2h: -65 degrees) geometry makes it achiral; either is exact.
  const Atoms hooh = hydrogenPeroxide();
  const auto turn = mirrorImageTurn(hooh, {rotorOf(2, 1, {2, 4})});
  ASSERT_TRUE(turn);
  EXPECT_EQ(turn->rotors, std::vector<std::size_t>{0});
  ASSERT_EQ(turn->degrees.size(), 1U);
  if (turn->pointGroup == "C2v")
    EXPECT_NEAR(turn->degrees[0], 115.0, 0.5);
  else
    EXPECT_NEAR(turn->degrees[0], -65.0, 0.5) << turn->pointGroup;
  EXPECT_TRUE(turn->pointGroup == "C2v" || turn->pointGroup == "C2h") << turn->pointGroup;
  // CHFCl-CH3 (1-chloro-1-fluoroethane): the stereocentre C1 holds H, F and Cl,
  // which no turn of the methyl group (or of the CHFCl group) exchanges.
  Atoms chiral{{6, 6, 1, 9, 17, 1, 1, 1},
               {{0, 0, 0},
                {0, 0, 1.52},
                around(CH_RADIUS, 0, -CH_BACK),
                around(1.36 * std::sqrt(8.0 / 9.0), 120, -1.36 / 3.0),
                around(1.78 * std::sqrt(8.0 / 9.0), 240, -1.78 / 3.0),
                around(CH_RADIUS, 60, 1.52 + CH_BACK),
                around(CH_RADIUS, 180, 1.52 + CH_BACK),
                around(CH_RADIUS, 300, 1.52 + CH_BACK)}};
  EXPECT_FALSE(mirrorImageTurn(chiral, {rotorOf(2, 1, {2, 6, 7, 8})}));
  EXPECT_FALSE(mirrorImageTurn(chiral, {rotorOf(1, 2, {1, 3, 4, 5})}));
}

TEST(RotorGeometry, TwoTorsionsTogetherReachTheMirrorImage) {
  // Acetic acid on its Cs frame in the xz plane: C1, O2 (C=O 1.21, C-C-O 125
  // degrees), O3 (C-O 1.35, C-C-O 112 on the other side), methyl C4 (C-C 1.50
  // along -z), the hydroxyl H5 in the plane (O-H 0.97, C-O-H 107), methyl H 6-8
  // with H6 in the plane. Its OH group turned by 40 degrees and its methyl group
  // by 30 make it chiral; neither turn alone can undo it, both together can.
  const double o2x = 1.21 * std::sin(125 * DEG), o2z = -1.21 * std::cos(125 * DEG);
  const double o3x = -1.35 * std::sin(112 * DEG), o3z = -1.35 * std::cos(112 * DEG);
  const double toC = std::atan2(-o3z, -o3x); // the direction O3 -> C1 in the xz plane
  const Atoms planar{
      {6, 8, 8, 6, 1, 1, 1, 1},
      {{0, 0, 0},
       {o2x, 0, o2z},
       {o3x, 0, o3z},
       {0, 0, -1.50},
       {o3x + 0.97 * std::cos(toC + 107 * DEG), 0, o3z + 0.97 * std::sin(toC + 107 * DEG)},
       around(CH_RADIUS, 0, -1.50 - CH_BACK),
       around(CH_RADIUS, 120, -1.50 - CH_BACK),
       around(CH_RADIUS, 240, -1.50 - CH_BACK)}};
  const HinderedRotor hydroxyl = rotorOf(3, 1, {3, 5}), methyl = rotorOf(4, 1, {4, 6, 7, 8});
  ASSERT_FALSE(findSymmetry(planar.z, planar.r).chiral);
  const Atoms twisted = turnedTops(planar, {&hydroxyl, &methyl}, {40 * DEG, 30 * DEG});
  ASSERT_TRUE(findSymmetry(twisted.z, twisted.r, 0.1, 0.1).chiral);
  EXPECT_FALSE(mirrorImageTurn(twisted, {hydroxyl}));
  EXPECT_FALSE(mirrorImageTurn(twisted, {methyl}));
  const auto both = mirrorImageTurn(twisted, {hydroxyl, methyl});
  ASSERT_TRUE(both);
  EXPECT_EQ(both->rotors, (std::vector<std::size_t>{0, 1}));
  EXPECT_EQ(both->pointGroup, "Cs");
  ASSERT_EQ(both->degrees.size(), 2U);
  // The OH group back by 40 degrees (or on by 140, its hydrogen in the plane on
  // the other side), the methyl group by an odd multiple of 30 (a hydrogen in
  // the plane, as 30 + 120 k turns it).
  const double oh = std::fabs(both->degrees[0]);
  EXPECT_TRUE(std::fabs(oh - 40.0) < 1.0 || std::fabs(oh - 140.0) < 1.0) << both->degrees[0];
  EXPECT_NEAR(std::fmod(std::fabs(both->degrees[1]), 60.0), 30.0, 1.0) << both->degrees[1];
}

TEST(RotorGeometry, SymmetryNumberIsTheLcmOfBothOrders) {
  struct Case {
    const char *name;
    Atoms geometry;
    int p1, p2, sigma;
  };
  const std::vector<Case> cases{
      {"ethane: 3 and 3", ethane(), 1, 2, 3},
      {"methanol: methyl 3, hydroxyl 1", methanol(), 1, 2, 3},
      {"toluene: methyl 3, phenyl 2", toluene(), 1, 2, 6},
      {"hydrogen peroxide: 1 and 1", hydrogenPeroxide(), 1, 2, 1},
  };
  for (const Case &c : cases)
    EXPECT_EQ(rotorSymmetry(c.geometry, rotorTop(c.geometry, c.p1, c.p2), c.p1, c.p2), c.sigma)
        << c.name;
  // The orders themselves: the phenyl ring maps onto itself by a half turn only.
  const Atoms t = toluene();
  EXPECT_EQ(rotationalOrder(t, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 1, 2), 2);
  EXPECT_EQ(rotationalOrder(t, {1, 13, 14, 15}, 1, 2), 3);
}

} // namespace
} // namespace orvalen::geometry

namespace orvalen::geometry {
namespace {

// Cartesian displacements of ethane's atoms: each hydrogen turning about the
// C-C axis (z) by `top` (atoms 3-5) or `rest` (atoms 6-8), plus a stretch of
// the C-C bond by `stretch` (C1 down, C2 up).
std::vector<Vec3> ethaneMotion(double top, double rest, double stretch) {
  const Atoms e = ethane();
  std::vector<Vec3> d(e.r.size(), Vec3{0, 0, 0});
  for (std::size_t i = 2; i < e.r.size(); ++i) {
    const double turn = i < 5 ? top : rest;
    d[i] = {-turn * e.r[i][1], turn * e.r[i][0], 0.0}; // z x r
  }
  d[0][2] = -stretch;
  d[1][2] = stretch;
  return d;
}

TEST(RotorGeometry, TorsionalCharacterOfEthanesMotions) {
  const Atoms e = ethane();
  const std::vector<int> top = {1, 3, 4, 5};
  // The two methyl groups turning against each other: a pure torsion.
  EXPECT_NEAR(torsionalCharacter(e, top, 1, 2, ethaneMotion(1, -1, 0)), 1.0, 1e-12);
  // Turning together is a rotation of the whole molecule, and the stretch no torsion.
  EXPECT_NEAR(torsionalCharacter(e, top, 1, 2, ethaneMotion(1, 1, 0)), 0.0, 1e-12);
  EXPECT_NEAR(torsionalCharacter(e, top, 1, 2, ethaneMotion(0, 0, 1)), 0.0, 1e-12);
  // Half torsion, half stretch in mass-weighted length: cos^2 45 degrees = 1/2. The
  // torsion's mass-weighted norm squared is 6 m_H (r_perp)^2 per unit turn, the
  // stretch's 2 m_C s^2, so s = r_perp sqrt(3 m_H / m_C) balances them.
  const double s = CH_RADIUS * std::sqrt(3.0 * 1.00782503 / 12.0);
  EXPECT_NEAR(torsionalCharacter(e, top, 1, 2, ethaneMotion(1, -1, s)), 0.5, 1e-9);
  // A mode of another atom count has none.
  EXPECT_EQ(torsionalCharacter(e, top, 1, 2, std::vector<Vec3>(3, Vec3{1, 0, 0})), 0.0);
}

} // namespace
} // namespace orvalen::geometry
