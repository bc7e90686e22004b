// Rotation numbers and point groups of molecules of known symmetry, built
// from their experimental structures (bond lengths and angles from the NIST
// Computational Chemistry Comparison and Benchmark Database, CCCBDB, rounded),
// then turned and moved, and shaken by up to 0.003 A as an optimiser leaves a
// geometry; and whether each is chiral.
#include "geometry/geometry.hpp"
#include "geometry/symmetry.hpp"
#include "qc/geometry_names.hpp"
#include "qc/readers.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace orvalen::qc {
namespace {

constexpr double PI = std::numbers::pi;
double rad(double degrees) {
  return degrees * PI / 180.0;
}

struct Molecule {
  std::vector<int> z;
  std::vector<Vec3> r;
  void add(int atomicNumber, double x, double y, double zz) {
    z.push_back(atomicNumber);
    r.push_back({x, y, zz});
  }
};

Molecule water() { // r(OH) 0.9572, HOH 104.52
  Molecule m;
  const double h = rad(104.52) / 2.0;
  m.add(8, 0, 0, 0);
  m.add(1, 0.9572 * std::sin(h), 0, 0.9572 * std::cos(h));
  m.add(1, -0.9572 * std::sin(h), 0, 0.9572 * std::cos(h));
  return m;
}

// An XH3 pyramid (planar for HXH 120): bond r, angle HXH.
Molecule pyramid(int x, double r, double hxh) {
  // cos(HXH) = 1 - 1.5 sin^2(beta), beta the angle of a bond to the axis.
  const double beta = std::asin(std::sqrt((1.0 - std::cos(rad(hxh))) / 1.5));
  Molecule m;
  m.add(x, 0, 0, 0);
  for (int k = 0; k < 3; ++k)
    m.add(1, r * std::sin(beta) * std::cos(2 * PI * k / 3),
          r * std::sin(beta) * std::sin(2 * PI * k / 3), -r * std::cos(beta));
  return m;
}

Molecule methane() { // r(CH) 1.087
  Molecule m;
  const double a = 1.087 / std::sqrt(3.0);
  m.add(6, 0, 0, 0);
  m.add(1, a, a, a);
  m.add(1, a, -a, -a);
  m.add(1, -a, a, -a);
  m.add(1, -a, -a, a);
  return m;
}

Molecule ethylene() { // r(CC) 1.339, r(CH) 1.086, HCC 121.2
  Molecule m;
  const double c = 1.339 / 2.0, a = rad(180.0 - 121.2);
  m.add(6, c, 0, 0);
  m.add(6, -c, 0, 0);
  for (const double sx : {1.0, -1.0})
    for (const double sy : {1.0, -1.0})
      m.add(1, sx * (c + 1.086 * std::cos(a)), sy * 1.086 * std::sin(a), 0);
  return m;
}

Molecule benzene() { // r(CC) 1.397, r(CH) 1.084
  Molecule m;
  for (int k = 0; k < 6; ++k) {
    const double phi = k * PI / 3.0;
    m.add(6, 1.397 * std::cos(phi), 1.397 * std::sin(phi), 0);
    m.add(1, 2.481 * std::cos(phi), 2.481 * std::sin(phi), 0);
  }
  return m;
}

Molecule sulfurHexafluoride() { // r(SF) 1.561
  Molecule m;
  m.add(16, 0, 0, 0);
  for (const double s : {1.561, -1.561}) {
    m.add(9, s, 0, 0);
    m.add(9, 0, s, 0);
    m.add(9, 0, 0, s);
  }
  return m;
}

Molecule stagggeredEthane() { // r(CC) 1.535, r(CH) 1.094, HCC 111.2
  Molecule m;
  const double c = 1.535 / 2.0, b = rad(180.0 - 111.2);
  m.add(6, 0, 0, c);
  m.add(6, 0, 0, -c);
  for (int k = 0; k < 3; ++k) {
    const double up = 2 * PI * k / 3, down = up + PI / 3;
    m.add(1, 1.094 * std::sin(b) * std::cos(up), 1.094 * std::sin(b) * std::sin(up),
          c + 1.094 * std::cos(b));
    m.add(1, 1.094 * std::sin(b) * std::cos(down), 1.094 * std::sin(b) * std::sin(down),
          -c - 1.094 * std::cos(b));
  }
  return m;
}

Molecule carbonDioxide() { // r(CO) 1.160
  Molecule m;
  m.add(6, 0, 0, 0);
  m.add(8, 0, 0, 1.160);
  m.add(8, 0, 0, -1.160);
  return m;
}

Molecule hydrogenCyanide() { // r(CH) 1.066, r(CN) 1.153
  Molecule m;
  m.add(1, 0, 0, -1.066);
  m.add(6, 0, 0, 0);
  m.add(7, 0, 0, 1.153);
  return m;
}

Molecule hydrogenPeroxide() { // r(OO) 1.464, r(OH) 0.965, OOH 99.4, HOOH 111.5
  Molecule m;
  const double h = 1.464 / 2.0, g = rad(99.4), t = rad(111.5) / 2.0, r = 0.965;
  m.add(8, 0, -h, 0);
  m.add(8, 0, h, 0);
  m.add(1, r * std::sin(g) * std::cos(t), -h + r * std::cos(g), r * std::sin(g) * std::sin(t));
  m.add(1, r * std::sin(g) * std::cos(t), h - r * std::cos(g), -r * std::sin(g) * std::sin(t));
  return m;
}

Molecule allene() { // r(CC) 1.308, r(CH) 1.087, HCH 118.2
  Molecule m;
  const double c = 1.308, a = rad(118.2) / 2.0, r = 1.087;
  m.add(6, 0, 0, 0);
  m.add(6, 0, 0, c);
  m.add(6, 0, 0, -c);
  m.add(1, r * std::sin(a), 0, c + r * std::cos(a));
  m.add(1, -r * std::sin(a), 0, c + r * std::cos(a));
  m.add(1, 0, r * std::sin(a), -c - r * std::cos(a));
  m.add(1, 0, -r * std::sin(a), -c - r * std::cos(a));
  return m;
}

// Saddle point of H + H2O -> H2 + OH, planar: r(OH) 0.969, r(O..H) 1.353,
// r(H..H) 0.818, HOH 96.8, OHH 163.
Molecule waterHydrogenSaddle() {
  Molecule m;
  m.add(8, 0, 0, 0);
  m.add(1, 0.969, 0, 0);
  const double a = rad(96.8);
  const Vec3 hb = {1.353 * std::cos(a), 1.353 * std::sin(a), 0};
  m.add(1, hb[0], hb[1], 0);
  // The far H continues the O..H line, bent by 180 - 163 degrees in the plane.
  const double b = a + rad(180.0 - 163.0);
  m.add(1, hb[0] + 0.818 * std::cos(b), hb[1] + 0.818 * std::sin(b), 0);
  return m;
}

Molecule chiralMethane() { // CHFClBr, no symmetry
  Molecule m = methane();
  m.z = {6, 1, 9, 17, 35};
  for (std::size_t i = 2; i < 5; ++i)
    for (auto &x : m.r[i])
      x *= 1.3 + 0.2 * static_cast<double>(i);
  return m;
}

struct Case {
  std::string name;
  Molecule molecule;
  int rotationNumber;
  std::string pointGroup;
};

std::vector<Case> cases() {
  return {
      {"H2O", water(), 2, "C2v"},
      {"NH3", pyramid(7, 1.012, 106.67), 3, "C3v"},
      {"CH4", methane(), 12, "Td"},
      {"planar_CH3", pyramid(6, 1.079, 120.0), 6, "D3h"},
      {"C2H4", ethylene(), 4, "D2h"},
      {"benzene", benzene(), 12, "D6h"},
      {"SF6", sulfurHexafluoride(), 24, "Oh"},
      {"staggered_ethane", stagggeredEthane(), 6, "D3d"},
      {"CO2", carbonDioxide(), 2, "D*h"},
      {"HCN", hydrogenCyanide(), 1, "C*v"},
      {"H2O2", hydrogenPeroxide(), 2, "C2"},
      {"allene", allene(), 4, "D2d"},
      {"H_H2O_saddle", waterHydrogenSaddle(), 1, "Cs"},
      {"CHFClBr", chiralMethane(), 1, "C1"},
  };
}

// Turned about an arbitrary axis and moved, so nothing depends on the frame
// the structure was built in; `shake` moves every coordinate by up to that much.
std::vector<Vec3> displaced(const std::vector<Vec3> &r, double shake, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const double a = 0.7, b = 1.9, c = -0.4; // Euler angles
  const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b),
               cc = std::cos(c), sc = std::sin(c);
  const double rot[3][3] = {{ca * cc - sa * cb * sc, -ca * sc - sa * cb * cc, sa * sb},
                            {sa * cc + ca * cb * sc, -sa * sc + ca * cb * cc, -ca * sb},
                            {sb * sc, sb * cc, cb}};
  std::vector<Vec3> out;
  for (const auto &p : r) {
    Vec3 q{};
    for (int i = 0; i < 3; ++i)
      q[i] = rot[i][0] * p[0] + rot[i][1] * p[1] + rot[i][2] * p[2] + 3.0 + i + shake * u(gen);
    out.push_back(q);
  }
  return out;
}

void PrintTo(const Case &c, std::ostream *os) {
  *os << c.name;
}

class SymmetryTable : public ::testing::TestWithParam<Case> {};

TEST_P(SymmetryTable, RotationNumberAndPointGroup) {
  const Case &c = GetParam();
  const Symmetry exact = findSymmetry(c.molecule.z, c.molecule.r);
  EXPECT_EQ(exact.rotationNumber, c.rotationNumber);
  EXPECT_EQ(exact.pointGroup, c.pointGroup);
  const bool linear = c.pointGroup.find('*') != std::string::npos;
  for (unsigned seed = 1; seed <= 3; ++seed) {
    // A linear molecule an optimiser leaves linear to 1e-4 A; others to a few 1e-3.
    const Symmetry shaken =
        findSymmetry(c.molecule.z, displaced(c.molecule.r, linear ? 1.0e-5 : 3.0e-3, seed));
    EXPECT_EQ(shaken.rotationNumber, c.rotationNumber) << "seed " << seed;
    EXPECT_EQ(shaken.pointGroup, c.pointGroup) << "seed " << seed;
  }
}

INSTANTIATE_TEST_SUITE_P(Molecules, SymmetryTable, ::testing::ValuesIn(cases()),
                         [](const auto &info) { return info.param.name; });

TEST(Symmetry, DistortionBeyondTheToleranceBreaksIt) {
  // Water with one OH 0.1 A longer keeps only its plane.
  Molecule m = water();
  for (auto &x : m.r[1])
    x *= 1.1;
  const Symmetry s = findSymmetry(m.z, m.r);
  EXPECT_EQ(s.rotationNumber, 1);
  EXPECT_EQ(s.pointGroup, "Cs");
}

// Chiral: no mirror plane, centre of inversion or S2n axis, so the molecule
// and its mirror image are two optical isomers.
struct ChiralCase {
  std::string name;
  Molecule molecule;
  bool chiral;
};

void PrintTo(const ChiralCase &c, std::ostream *os) {
  *os << c.name;
}

// The saddle point of the Claisen rearrangement of allyl vinyl ether, without
// symmetry (C1), as Gaussian 16 optimised it.
Molecule claisenSaddle() {
  const QcRecord rec =
      readOutput(std::filesystem::path(ORVALEN_FIXTURES) / "qc/gaussian/gaussian16_claisen_ts.log");
  return {rec.atomicNumbers, rec.coords};
}

class Chirality : public ::testing::TestWithParam<ChiralCase> {};

TEST_P(Chirality, ImproperOperationOrNone) {
  const Molecule &m = GetParam().molecule;
  EXPECT_EQ(findSymmetry(m.z, m.r).chiral, GetParam().chiral);
  EXPECT_EQ(findSymmetry(m.z, displaced(m.r, 3.0e-3, 1)).chiral, GetParam().chiral);
}

INSTANTIATE_TEST_SUITE_P(
    Molecules, Chirality,
    ::testing::Values(ChiralCase{"C1_saddle_point", claisenSaddle(), true},
                      ChiralCase{"C2_H2O2", hydrogenPeroxide(), true},
                      ChiralCase{"C1_CHFClBr", chiralMethane(), true},
                      ChiralCase{"Td_CH4", methane(), false}, ChiralCase{"C2v_H2O", water(), false},
                      ChiralCase{"Cs_saddle_point", waterHydrogenSaddle(), false},
                      ChiralCase{"D3d_ethane", stagggeredEthane(), false}),
    [](const auto &info) { return info.param.name; });

TEST(Symmetry, AtomAndDiatomics) {
  EXPECT_EQ(findSymmetry({1}, {{0, 0, 0}}).rotationNumber, 1);
  EXPECT_EQ(findSymmetry({1}, {{0, 0, 0}}).pointGroup, "Kh");
  EXPECT_EQ(findSymmetry({1, 1}, {{0, 0, 0}, {0.74, 0, 0}}).rotationNumber, 2);
  EXPECT_EQ(findSymmetry({8, 1}, {{0, 0, 0}, {0.97, 0, 0}}).pointGroup, "C*v");
}

} // namespace
} // namespace orvalen::qc
