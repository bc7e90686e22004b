// Every point group the importer names, built here from its generators
// (rotations, mirror planes, the inversion) as the orbits of a few seed
// nuclei of different elements, then turned, moved and shaken as an optimiser
// leaves a geometry. Orders and rotation numbers are the textbook ones
// (e.g. Cotton, Chemical Applications of Group Theory): Cn n, Cnv, Cnh and
// S2n 2n with n rotations, Dn 2n, Dnd and Dnh 4n with 2n rotations; T 12, Td
// and Th 24 with 12 rotations; O 24, Oh 48 with 24; I 60, Ih 120 with 60.
#include "geometry/geometry.hpp"
#include "geometry/symmetry.hpp"
#include "qc/geometry_names.hpp"
#include "qc/import.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <numbers>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace orvalen::qc {
namespace {

constexpr double PI = std::numbers::pi;
constexpr double PHI = std::numbers::phi;

using Matrix = std::array<Vec3, 3>; // rows

Matrix multiply(const Matrix &a, const Matrix &b) {
  Matrix m{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k)
        m[i][j] += a[i][k] * b[k][j];
  return m;
}

Vec3 apply(const Matrix &m, const Vec3 &v) {
  Vec3 out{};
  for (int i = 0; i < 3; ++i)
    out[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
  return out;
}

Vec3 unit(const Vec3 &v) {
  const double length = std::hypot(v[0], v[1], v[2]);
  return {v[0] / length, v[1] / length, v[2] / length};
}

// Rotation by `angle` about `axis` (Rodrigues).
Matrix turn(const Vec3 &axis, double angle) {
  const Vec3 u = unit(axis);
  const double c = std::cos(angle), s = std::sin(angle), t = 1.0 - c;
  return {{{c + t * u[0] * u[0], t * u[0] * u[1] - s * u[2], t * u[0] * u[2] + s * u[1]},
           {t * u[1] * u[0] + s * u[2], c + t * u[1] * u[1], t * u[1] * u[2] - s * u[0]},
           {t * u[2] * u[0] - s * u[1], t * u[2] * u[1] + s * u[0], c + t * u[2] * u[2]}}};
}

// Reflection in the plane normal to `normal`: I - 2 n n^T.
Matrix mirror(const Vec3 &normal) {
  const Vec3 n = unit(normal);
  Matrix m{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      m[i][j] = (i == j ? 1.0 : 0.0) - 2.0 * n[i] * n[j];
  return m;
}

const Matrix INVERSION = {{{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}}};
const Vec3 X = {1, 0, 0}, Y = {0, 1, 0}, Z = {0, 0, 1};

double distance(const Vec3 &a, const Vec3 &b) {
  return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

bool sameMatrix(const Matrix &a, const Matrix &b) {
  for (int i = 0; i < 3; ++i)
    if (distance(a[i], b[i]) > 1e-9)
      return false;
  return true;
}

// All products of the generators.
std::vector<Matrix> groupOf(const std::vector<Matrix> &generators) {
  std::vector<Matrix> group = {{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}};
  for (std::size_t k = 0; k < group.size(); ++k)
    for (const auto &g : generators) {
      const Matrix m = multiply(g, group[k]);
      if (std::none_of(group.begin(), group.end(),
                       [&](const Matrix &known) { return sameMatrix(known, m); }))
        group.push_back(m);
    }
  return group;
}

struct Seed {
  int z;
  Vec3 at;
};

struct Molecule {
  std::vector<int> z;
  std::vector<Vec3> r;
};

// The orbit of each seed under the group generated, one nucleus per point.
Molecule orbits(const std::vector<Matrix> &generators, const std::vector<Seed> &seeds) {
  const std::vector<Matrix> group = groupOf(generators);
  Molecule m;
  for (const auto &seed : seeds) {
    const std::size_t first = m.r.size();
    for (const auto &g : group) {
      const Vec3 p = apply(g, seed.at);
      if (std::none_of(m.r.begin() + static_cast<std::ptrdiff_t>(first), m.r.end(),
                       [&](const Vec3 &q) { return distance(p, q) < 1e-6; })) {
        m.z.push_back(seed.z);
        m.r.push_back(p);
      }
    }
  }
  return m;
}

Vec3 polar(double radius, double angle, double height) {
  return {radius * std::cos(angle), radius * std::sin(angle), height};
}

// Seeds for a group of main axis z and order n: an atom on the axis and three
// orbits of other elements at other heights and angles, so that the molecule
// has no symmetry its group lacks. Angles near pi/4n and radii chosen so that
// nuclei of one element stay at least 1.3 A apart under every group of the
// family (mirror images at -a, pi/n - a; turns by 2 pi/n).
std::vector<Seed> axialSeeds(int n) {
  const double quarter = PI / (4.0 * n);
  auto orbit = [&](int z, double fraction, double height) {
    const double a = fraction * quarter;
    return Seed{z, polar(0.65 / std::sin(std::min(a, 2.0 * quarter - a)), a, height)};
  };
  return {{14, {0, 0, 0.9}}, orbit(6, 0.9, 0.6), orbit(8, 1.15, -1.2), orbit(1, 0.75, 1.9)};
}

Matrix cn(int n) {
  return turn(Z, 2.0 * PI / n);
}

// An improper rotation S2n: a turn by pi/n and the reflection in the plane
// normal to the axis.
Matrix s2n(int n) {
  return multiply(mirror(Z), turn(Z, PI / n));
}

// Vertical mirror plane bisecting the twofold axes along x and its neighbour.
Matrix sigmaD(int n) {
  const double a = PI / (2.0 * n);
  return mirror({-std::sin(a), std::cos(a), 0});
}

// T from a half turn about z and the threefold axis along (1, 1, 1); I from a
// fivefold axis through an icosahedron vertex (0, 1, phi) and a twofold one along z.
const Matrix C2Z = turn(Z, PI);
const Matrix C3_111 = turn({1, 1, 1}, 2.0 * PI / 3.0);
const Matrix C5_ICO = turn({0, 1, PHI}, 2.0 * PI / 5.0);

struct GroupCase {
  std::string group;
  Molecule molecule;
  int order; // 0 for a linear molecule: an infinite group
  int rotationNumber;
};

void PrintTo(const GroupCase &c, std::ostream *os) {
  *os << c.group;
}

std::vector<GroupCase> groupCases() {
  std::vector<GroupCase> cases;
  for (int n = 2; n <= 8; ++n) {
    const std::string k = std::to_string(n);
    const auto seeds = axialSeeds(n);
    const Matrix c2x = turn(X, PI);
    cases.push_back({"C" + k, orbits({cn(n)}, seeds), n, n});
    cases.push_back({"C" + k + "v", orbits({cn(n), mirror(Y)}, seeds), 2 * n, n});
    cases.push_back({"C" + k + "h", orbits({cn(n), mirror(Z)}, seeds), 2 * n, n});
    cases.push_back({"S" + std::to_string(2 * n), orbits({s2n(n)}, seeds), 2 * n, n});
    cases.push_back({"D" + k, orbits({cn(n), c2x}, seeds), 2 * n, 2 * n});
    cases.push_back({"D" + k + "d", orbits({cn(n), c2x, sigmaD(n)}, seeds), 4 * n, 2 * n});
    cases.push_back({"D" + k + "h", orbits({cn(n), c2x, mirror(Z)}, seeds), 4 * n, 2 * n});
  }
  // A planar ring of 50 CH units, r(CC) 1.40 and r(CH) 1.08.
  const double ring = 1.40 / (2.0 * std::sin(PI / 50.0));
  cases.push_back(
      {"D50h",
       orbits({cn(50), turn(X, PI), mirror(Z)}, {{6, {ring, 0, 0}}, {1, {ring + 1.08, 0, 0}}}), 200,
       100});

  const std::vector<Matrix> t = {C2Z, C3_111};
  auto with = [](std::vector<Matrix> g, const Matrix &m) {
    g.push_back(m);
    return g;
  };
  const Seed centre{6, {0, 0, 0}};
  cases.push_back({"T", orbits(t, {centre, {1, {0.8, 0.8, 0.8}}, {9, {2.1, 0.7, 0.35}}}), 12, 12});
  cases.push_back(
      {"Td",
       orbits(with(t, mirror({1, -1, 0})), {centre, {1, {0.63, 0.63, 0.63}}, {9, {1.7, 1.7, 0.5}}}),
       24, 12});
  cases.push_back({"Th",
                   orbits(with(t, INVERSION), {centre, {1, {1.2, 1.2, 1.2}}, {9, {2.2, 0.8, 0}}}),
                   24, 12});
  const auto o = with(t, turn(Z, PI / 2.0));
  cases.push_back({"O", orbits(o, {centre, {9, {1.8, 0, 0}}, {1, {2.4, 0.9, 0.35}}}), 24, 24});
  cases.push_back(
      {"Oh", orbits(with(o, INVERSION), {{16, {0, 0, 0}}, {9, {1.56, 0, 0}}, {1, {1.3, 1.3, 1.3}}}),
       48, 24});
  const std::vector<Matrix> i = {C5_ICO, C2Z};
  cases.push_back({"I", orbits(i, {{5, {0, 0.9, 0.9 * PHI}}, {1, {0.9, 1.1, 3.3}}}), 60, 60});
  cases.push_back({"Ih",
                   orbits(with(i, INVERSION), {{5, {0, 0.9, 0.9 * PHI}}, {6, {1.5, 1.5, 1.5}}}),
                   120, 60});

  // CHFClBr-like, a plane alone, a centre alone.
  const std::vector<Seed> generic = {
      {6, {0.3, 0.4, 0.7}}, {1, {1.4, 0.3, -0.6}}, {9, {-0.7, 1.5, 0.8}}, {17, {-0.6, -1.1, 1.6}}};
  cases.push_back({"C1", orbits({}, generic), 1, 1});
  cases.push_back({"Cs", orbits({mirror(Z)}, generic), 2, 1});
  cases.push_back({"Ci", orbits({INVERSION}, generic), 2, 1});
  // HCN and acetylene.
  cases.push_back(
      {"C*v", orbits({}, {{1, {0, 0, -1.066}}, {6, {0, 0, 0}}, {7, {0, 0, 1.153}}}), 0, 1});
  cases.push_back({"D*h", orbits({INVERSION}, {{6, {0, 0, 0.601}}, {1, {0, 0, 1.664}}}), 0, 2});
  return cases;
}

// A random turn and shift of the whole molecule, then every nucleus moved by
// a random vector of length at most `shake` (uniform in the ball).
std::vector<Vec3> shaken(const std::vector<Vec3> &r, double shake, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const Matrix whole = turn({u(gen), u(gen), u(gen)}, PI * u(gen));
  const Vec3 shift = {5.0 * u(gen), 5.0 * u(gen), 5.0 * u(gen)};
  std::vector<Vec3> out;
  for (const auto &p : r) {
    Vec3 d;
    do
      d = {u(gen), u(gen), u(gen)};
    while (std::hypot(d[0], d[1], d[2]) > 1.0);
    const Vec3 q = apply(whole, p);
    out.push_back({q[0] + shift[0] + shake * d[0], q[1] + shift[1] + shake * d[1],
                   q[2] + shift[2] + shake * d[2]});
  }
  return out;
}

class PointGroups : public ::testing::TestWithParam<GroupCase> {};

TEST_P(PointGroups, ExactGeometry) {
  const GroupCase &c = GetParam();
  // Nuclei of one element far apart next to the tolerance: the case is the
  // group it is built as, not a crowd.
  for (std::size_t a = 0; a < c.molecule.r.size(); ++a)
    for (std::size_t b = a + 1; b < c.molecule.r.size(); ++b) {
      if (c.molecule.z[a] == c.molecule.z[b]) {
        ASSERT_GT(distance(c.molecule.r[a], c.molecule.r[b]), 1.0) << a << " " << b;
      }
    }

  const Symmetry s = findSymmetry(c.molecule.z, c.molecule.r);
  EXPECT_EQ(s.pointGroup, c.group);
  EXPECT_EQ(s.operations, c.order);
  EXPECT_EQ(s.rotationNumber, c.rotationNumber);
  EXPECT_EQ(s.properRotations, c.rotationNumber);
  // Chiral exactly when every operation is a rotation; a linear molecule has
  // mirror planes through its axis.
  EXPECT_EQ(s.chiral, c.order == c.rotationNumber);
  EXPECT_NEAR(s.displacement, 0.0, 1e-9);
  EXPECT_FALSE(s.near.has_value()) << s.near->pointGroup;
}

TEST_P(PointGroups, ShakenByUpTo0015A) {
  const GroupCase &c = GetParam();
  for (unsigned seed = 1; seed <= 20; ++seed) {
    const Symmetry s = findSymmetry(c.molecule.z, shaken(c.molecule.r, 0.015, seed));
    EXPECT_EQ(s.pointGroup, c.group) << "seed " << seed;
    EXPECT_EQ(s.rotationNumber, c.rotationNumber) << "seed " << seed;
    EXPECT_EQ(s.operations, c.order) << "seed " << seed;
    EXPECT_LE(s.displacement, SYMMETRY_TOLERANCE) << "seed " << seed;
  }
}

INSTANTIATE_TEST_SUITE_P(Generated, PointGroups, ::testing::ValuesIn(groupCases()),
                         [](const auto &info) {
                           std::string name; // C*v -> Cinfv
                           for (const char ch : info.param.group)
                             name += ch == '*' ? std::string("inf") : std::string(1, ch);
                           return name;
                         });

// Order and rotation number of a Schoenflies symbol by the textbook formulas;
// 0 for the order of a linear molecule's infinite group.
std::pair<int, int> orderAndRotations(const std::string &g) {
  static const std::map<std::string, std::pair<int, int>> named = {
      {"C1", {1, 1}},   {"Cs", {2, 1}},    {"Ci", {2, 1}},  {"T", {12, 12}},
      {"Td", {24, 12}}, {"Th", {24, 12}},  {"O", {24, 24}}, {"Oh", {48, 24}},
      {"I", {60, 60}},  {"Ih", {120, 60}}, {"C*v", {0, 1}}, {"D*h", {0, 2}}};
  if (const auto it = named.find(g); it != named.end())
    return it->second;
  std::size_t end = 1;
  while (end < g.size() && std::isdigit(static_cast<unsigned char>(g[end])) != 0)
    ++end;
  const int n = std::stoi(g.substr(1, end - 1));
  const bool improper = end < g.size(); // v, h or d
  if (g[0] == 'S')
    return {n, n / 2};
  if (g[0] == 'C')
    return {improper ? 2 * n : n, n};
  return {improper ? 4 * n : 2 * n, 2 * n}; // D
}

// Shaken by up to 0.12 A, past both tolerances, a geometry keeps some of its
// operations: whatever the finder keeps must be a group, so its symbol, its
// order and its rotation number agree, and a near group is a larger one.
TEST(PointGroupFound, SymbolOrderAndRotationNumberAgreeAtAnyDistortion) {
  for (const auto &c : groupCases())
    for (const double shake : {0.01, 0.02, 0.03, 0.05, 0.08, 0.12})
      for (unsigned seed = 1; seed <= 4; ++seed) {
        const Symmetry s = findSymmetry(c.molecule.z, shaken(c.molecule.r, shake, seed));
        const std::string where = c.group + " shaken by " + std::to_string(shake) + ", seed " +
                                  std::to_string(seed) + ": " + s.pointGroup;
        const auto [order, rotations] = orderAndRotations(s.pointGroup);
        EXPECT_EQ(s.operations, order) << where;
        EXPECT_EQ(s.rotationNumber, rotations) << where;
        EXPECT_EQ(s.chiral, order == rotations) << where;
        EXPECT_LE(s.displacement, SYMMETRY_TOLERANCE) << where;
        if (s.near) {
          const auto [nearOrder, nearRotations] = orderAndRotations(s.near->pointGroup);
          EXPECT_EQ(s.near->rotationNumber, nearRotations)
              << where << " near " << s.near->pointGroup;
          EXPECT_TRUE(nearOrder == 0 || nearOrder > order)
              << where << " near " << s.near->pointGroup;
          EXPECT_GT(s.near->displacement, SYMMETRY_TOLERANCE) << where;
          EXPECT_LE(s.near->displacement, NEAR_SYMMETRY_TOLERANCE) << where;
        }
      }
}

QcRecord record(const std::string &file, const std::vector<int> &z, const std::vector<Vec3> &r) {
  QcRecord rec;
  rec.program = "Test";
  rec.sourceFile = file;
  rec.atomicNumbers = z;
  rec.coords = r;
  rec.frequencies.assign(3 * z.size() - 6, 500.0);
  rec.intensities.assign(rec.frequencies.size(), 1.0);
  rec.hasIntensities = true;
  rec.energy = -100.0;
  rec.energyLevel = "DFT";
  rec.multiplicity = 1;
  return rec;
}

// Square-planar XeF4 (r(XeF) 1.94 A, D4h) with the fluorines moved up and
// down by `pucker` in turn: D2d exactly. The D4h geometry nearest to it is the
// planar one, every fluorine `pucker` away, so the near group's displacement
// is `pucker` itself.
QcRecord puckeredXeF4(double pucker) {
  return record(
      "xef4.out", {54, 9, 9, 9, 9},
      {{0, 0, 0}, {1.94, 0, pucker}, {0, 1.94, -pucker}, {-1.94, 0, pucker}, {0, -1.94, -pucker}});
}

// Allene (r(CC) 1.308, r(CH) 1.087, HCH 118.2; D2d) with its CH2 ends turned
// by `twist` about the CC axis, one each way: D2 exactly. A mirror plane of
// D2d would put each hydrogen on the image of itself turned the other way:
// the nearest D2d geometry moves each hydrogen by half the distance between
// the two, rho sin(twist), rho = 1.087 sin(59.1) its distance from the axis.
QcRecord twistedAllene(double twist) {
  const double c = 1.308, rho = 1.087 * std::sin(59.1 * PI / 180.0),
               h = c + 1.087 * std::cos(59.1 * PI / 180.0);
  std::vector<Vec3> r = {{0, 0, 0}, {0, 0, c}, {0, 0, -c}};
  for (const double a : {twist, PI + twist})
    r.push_back(polar(rho, a, h));
  for (const double a : {PI / 2 - twist, 3 * PI / 2 - twist})
    r.push_back(polar(rho, a, -h));
  return record("allene.out", {6, 6, 6, 1, 1, 1, 1}, r);
}

TEST(NearSymmetry, HigherGroupWithinTheWiderToleranceIsReported) {
  const QcRecord rec = puckeredXeF4(0.05);
  const Symmetry s = findSymmetry(rec.atomicNumbers, rec.coords);
  EXPECT_EQ(s.pointGroup, "D2d");
  EXPECT_EQ(s.rotationNumber, 4);
  ASSERT_TRUE(s.near.has_value());
  EXPECT_EQ(s.near->pointGroup, "D4h");
  EXPECT_EQ(s.near->rotationNumber, 8);
  EXPECT_NEAR(s.near->displacement, 0.05, 1e-9);
}

TEST(NearSymmetry, LinearMoleculeNearACentreOfInversion) {
  // O=C=O with one bond 0.1 A longer (1.160 and 1.260 A): the centroid is
  // 0.1/3 A from the carbon towards the longer bond, and the D*h geometry
  // about it moves the carbon by 0.1/3 A and each oxygen by 0.05 - 0.1/3 A.
  const Symmetry s = findSymmetry({8, 6, 8}, {{0, 0, -1.160}, {0, 0, 0}, {0, 0, 1.260}});
  EXPECT_EQ(s.pointGroup, "C*v");
  EXPECT_EQ(s.rotationNumber, 1);
  ASSERT_TRUE(s.near.has_value());
  EXPECT_EQ(s.near->pointGroup, "D*h");
  EXPECT_EQ(s.near->rotationNumber, 2);
  EXPECT_NEAR(s.near->displacement, 0.1 / 3.0, 1e-9);
}

struct NearCase {
  std::string name;
  QcRecord record;
  std::optional<int> rotnum;
  std::string pointGroup;
  int rotationNumber;
  std::string warning; // empty: no warning on symmetry
};

void PrintTo(const NearCase &c, std::ostream *os) {
  *os << c.name;
}

class NearSymmetryImport : public ::testing::TestWithParam<NearCase> {};

TEST_P(NearSymmetryImport, StrictGroupWrittenHigherOneWarned) {
  const NearCase &c = GetParam();
  ImportOptions options;
  options.rotationNumber = c.rotnum;
  const Imported imp = importRecord(c.record, options);
  EXPECT_EQ(imp.data.symmetryGroup, c.pointGroup);
  EXPECT_EQ(imp.data.rotationNumber, c.rotationNumber);
  std::vector<std::string> onSymmetry;
  for (const auto &w : imp.warnings)
    if (w.find("the geometry is") != std::string::npos)
      onSymmetry.push_back(w);
  if (c.warning.empty()) {
    EXPECT_TRUE(onSymmetry.empty()) << onSymmetry.front();
  } else {
    ASSERT_EQ(onSymmetry.size(), 1u);
    EXPECT_EQ(onSymmetry[0], c.warning);
  }
}

// sin(twist) = 0.05 / rho: each hydrogen 0.05 A from the nearest D2d geometry.
const double TWIST_005 = std::asin(0.05 / (1.087 * std::sin(59.1 * PI / 180.0)));

INSTANTIATE_TEST_SUITE_P(
    Distorted, NearSymmetryImport,
    ::testing::Values(
        NearCase{"XeF4_planar_within_the_tolerance", puckeredXeF4(0.01), std::nullopt, "D4h", 8,
                 ""},
        NearCase{"XeF4_puckered_by_005", puckeredXeF4(0.05), std::nullopt, "D2d", 4,
                 "xef4.out: the geometry is D2d within 0.02 A and D4h (rotation number 8) "
                 "within 0.050 A; D2d and rotation number 4 written (give --rotnum 8 for D4h)"},
        // The user has chosen.
        NearCase{"XeF4_puckered_by_005_rotnum_given", puckeredXeF4(0.05), 8, "D2d", 8, ""},
        NearCase{"XeF4_puckered_beyond_the_wider_tolerance", puckeredXeF4(0.15), std::nullopt,
                 "D2d", 4, ""},
        // The larger group has the same rotation number: nothing to give.
        NearCase{"allene_twisted_by_005", twistedAllene(TWIST_005), std::nullopt, "D2", 4,
                 "allene.out: the geometry is D2 within 0.02 A and D2d (rotation number 4) "
                 "within 0.050 A; D2 and rotation number 4 written"}),
    [](const auto &info) { return info.param.name; });

// A real optimisation that stopped short: triphenylphosphine, a C3 propeller,
// from a start with every coordinate moved by up to 0.15 A, optimised by
// `xtb pph3.xyz --ohess crude` (xtb 6.5.1, GFN2-xTB); xtbopt.xyz is its
// geometry. It is C1 within 0.02 A and C3 within 0.1 A.
TEST(NearSymmetry, CrudelyOptimisedTriphenylphosphine) {
  std::ifstream in(std::string(ORVALEN_FIXTURES) + "/qc/xtb/pph3_crude/xtbopt.xyz");
  std::size_t count = 0;
  std::string comment;
  in >> count;
  std::getline(in, comment);
  std::getline(in, comment);
  std::vector<int> z;
  std::vector<Vec3> r;
  const std::map<std::string, int> elements = {{"P", 15}, {"C", 6}, {"H", 1}};
  for (std::string symbol; z.size() < count && in >> symbol;) {
    Vec3 p;
    in >> p[0] >> p[1] >> p[2];
    z.push_back(elements.at(symbol));
    r.push_back(p);
  }
  ASSERT_EQ(z.size(), 34u);
  const Symmetry s = findSymmetry(z, r);
  EXPECT_EQ(s.pointGroup, "C1");
  EXPECT_EQ(s.rotationNumber, 1);
  ASSERT_TRUE(s.near.has_value());
  EXPECT_EQ(s.near->pointGroup, "C3");
  EXPECT_EQ(s.near->rotationNumber, 3);
  EXPECT_GT(s.near->displacement, SYMMETRY_TOLERANCE);
  EXPECT_LE(s.near->displacement, NEAR_SYMMETRY_TOLERANCE);
}

} // namespace
} // namespace orvalen::qc
