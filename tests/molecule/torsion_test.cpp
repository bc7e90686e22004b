// The torsion's formulas in one place: the potential V(phi) of Fourier terms
// and of a cosine barrier, its minimum, maximum and curvature, the harmonic
// wavenumber at the minimum against the hand formula of a cosine barrier with
// the constants it is given, the cosine barrier of a wavenumber, the writer's
// order of the frequency rows, and the rules of a rotor as a table.

#include "molecule/torsion.hpp"
#include "support/rotors.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace orvalen {
namespace {

constexpr double PI = std::numbers::pi;

// The two sets of constants the programs pass: the importer's CODATA 2018,
// the scan's (the report's) CODATA 1998.
constexpr PhysicalConstants CODATA_2018{6.02214076e23, 1.66053906660e-27, 299792458.0};
constexpr PhysicalConstants CODATA_1998{6.02214199e23, 1.66053873e-27, 299792458.0};

using test::cosineRotor;
using test::fourierRotor;

// nu = sigma/(2 pi c) sqrt(V0/(2I)) of V0/2 (1 - cos(sigma phi)), whose
// curvature at its minimum is V0 sigma^2/2: V0 in J per molecule (kJ/mol x
// 1000/N_A), I in kg m^2 (amu*A^2 x amu x 1e-20), c in cm/s.
double cosineWavenumber(double v0, int sigma, double moment, const PhysicalConstants &c) {
  const double v0J = v0 * 1000.0 / c.avogadro;
  const double momentKg = moment * c.amu * 1e-20;
  return sigma / (2.0 * PI * c.light * 100.0) * std::sqrt(v0J / (2.0 * momentKg));
}

TEST(Torsion, PotentialOfACosineBarrierAndOfFourierTerms) {
  // V0/2 (1 - cos 3 phi), V0 = 12 kJ/mol: a_0 = 6, a_3 = -6; 0 at phi = 0,
  // V0 at pi/3, V'' = 9 V0/2 cos 3 phi: 54 at 0, -54 at the top.
  const FourierTerms terms = rotorTerms(cosineRotor(12.0, 3, 1.6));
  ASSERT_EQ(terms.size(), 4U);
  EXPECT_EQ(terms[0][0], 6.0);
  EXPECT_EQ(terms[3][0], -6.0);
  EXPECT_NEAR(torsionPotential(terms, 0.0), 0.0, 1e-12);
  EXPECT_NEAR(torsionPotential(terms, PI / 3.0), 12.0, 1e-12);
  EXPECT_NEAR(torsionCurvature(terms, 0.0), 9.0 * 6.0, 1e-12);
  EXPECT_NEAR(torsionCurvature(terms, PI / 3.0), -9.0 * 6.0, 1e-12);
  EXPECT_NEAR(potentialMinimum(terms).v, 0.0, 1e-12);
  EXPECT_NEAR(potentialMaximum(terms), 12.0, 1e-10);
  // A data file's rotor without terms is a free rotor.
  EXPECT_EQ(rotorTerms(fourierRotor({}, 1.0)), (FourierTerms{{0.0, 0.0}}));

  // V = 1 - cos(phi) + 2 sin(phi): V' = sin(phi) + 2 cos(phi) vanishes at
  // tan(phi) = -2; the minimum 1 - sqrt(5) at cos(phi) = 1/sqrt(5), sin(phi)
  // = -2/sqrt(5) (phi = 2 pi - atan(2) = 5.176037), where V'' = cos(phi) -
  // 2 sin(phi) = sqrt(5); the maximum 1 + sqrt(5).
  const FourierTerms tilted{{1.0, 0.0}, {-1.0, 2.0}};
  EXPECT_NEAR(torsionPotential(tilted, 0.5), 1.0 - std::cos(0.5) + 2.0 * std::sin(0.5), 1e-12);
  const PotentialSlopes at = potentialSlopes(tilted, 0.5);
  EXPECT_NEAR(at.d1, std::sin(0.5) + 2.0 * std::cos(0.5), 1e-12);
  EXPECT_NEAR(at.d2, std::cos(0.5) - 2.0 * std::sin(0.5), 1e-12);
  const PotentialMinimum low = potentialMinimum(tilted);
  EXPECT_NEAR(low.v, 1.0 - std::sqrt(5.0), 1e-10);
  EXPECT_NEAR(low.phi, 2.0 * PI - std::atan(2.0), 1e-7);
  EXPECT_NEAR(torsionCurvature(tilted, low.phi), std::sqrt(5.0), 1e-7);
  EXPECT_NEAR(potentialMaximum(tilted), 1.0 + std::sqrt(5.0), 1e-10);

  // The tabulated potential is the potential, shifted.
  std::vector<double> grid;
  tabulatePotential(tilted, 0.1, 0.05, 130, 2.0, grid);
  ASSERT_EQ(grid.size(), 130U);
  for (const int j : {0, 1, 63, 64, 65, 129})
    EXPECT_NEAR(grid[static_cast<std::size_t>(j)], torsionPotential(tilted, 0.1 + j * 0.05) - 2.0,
                1e-12)
        << j;
}

TEST(Torsion, HarmonicWavenumberIsThatOfTheMinimumsCurvature) {
  // Ethane's cosine of V0 = 12 kJ/mol, sigma 3, I = 1.596529 amu*A^2 with
  // CODATA 2018, by hand: V0/(2I) = (12e3/6.02214076e23 J)/(2 x 1.596529 x
  // 1.66053907e-47 kg m^2) = 3.75800e26 s^-2, square root 1.938556e13 s^-1,
  // times 3/(2 pi x 2.99792458e10 cm/s): 308.7507 cm-1.
  EXPECT_NEAR(harmonicWavenumber(cosineRotor(12.0, 3, 1.596529), CODATA_2018), 308.7507, 1e-3);
  EXPECT_NEAR(cosineBarrier(308.75066586, 1.596529, 3, CODATA_2018), 12.0, 1e-7);
  for (const PhysicalConstants &c : {CODATA_1998, CODATA_2018})
    for (const auto &[v0, sigma, moment] :
         {std::tuple{12.0, 3, 1.6}, std::tuple{4.0, 2, 0.8}, std::tuple{25.0, 1, 3.0}}) {
      const double nu = cosineWavenumber(v0, sigma, moment, c);
      EXPECT_NEAR(harmonicWavenumber(cosineRotor(v0, sigma, moment), c), nu, 1e-9);
      // The cosine barrier of that wavenumber is the barrier.
      EXPECT_NEAR(cosineBarrier(nu, moment, sigma, c), v0, 1e-9 * v0);
    }
  // The constants are the caller's: light twice as fast halves the wavenumber.
  PhysicalConstants fast = CODATA_1998;
  fast.light *= 2.0;
  EXPECT_NEAR(harmonicWavenumber(cosineRotor(12.0, 3, 1.6), fast),
              cosineWavenumber(12.0, 3, 1.6, CODATA_1998) / 2.0, 1e-9);

  // The same threefold cosine from a scan that started 0.3 rad past the minimum:
  // V = 6 - 6 cos(3 (phi + 0.3)) = 6 - 6 cos 0.9 cos 3phi + 6 sin 0.9 sin 3phi. Its
  // harmonic wavenumber is that of the curvature at the minimum, not at phi = 0
  // (where V'' = 54 cos 0.9 = 33.6 kJ/(mol rad^2), 21 % lower).
  const HinderedRotor late = fourierRotor(
      {{6.0, 0.0}, {0.0, 0.0}, {0.0, 0.0}, {-6.0 * std::cos(0.9), 6.0 * std::sin(0.9)}}, 1.6);
  EXPECT_NEAR(torsionCurvature(rotorTerms(late), 0.0), 54.0 * std::cos(0.9), 1e-12);
  EXPECT_NEAR(harmonicWavenumber(late, CODATA_1998), cosineWavenumber(12.0, 3, 1.6, CODATA_1998),
              1e-7);
  // V = 1 - cos(phi) + 2 sin(phi), I = 0.9: V''(min) = sqrt(5) kJ/(mol rad^2),
  // by hand with CODATA 1998 sqrt(sqrt(5) x 1000/N_A/(0.9 amu x 1e-20))/(2 pi c) = 83.6798 cm-1.
  EXPECT_NEAR(harmonicWavenumber(fourierRotor({{1.0, 0.0}, {-1.0, 2.0}}, 0.9), CODATA_1998),
              83.6798, 1e-4);
  // A free rotor (no barrier) has no harmonic wavenumber.
  EXPECT_EQ(harmonicWavenumber(cosineRotor(0.0, 3, 1.6), CODATA_1998), 0.0);
  EXPECT_EQ(harmonicWavenumber(fourierRotor({}, 1.6), CODATA_1998), 0.0);
}

TEST(Torsion, FrequencyRowsInTheWritersOrder) {
  // Ascending: the imaginary modes first, most negative first; equal ones in their given order.
  EXPECT_EQ(modeRowOrder({300.0, -1500.0, 120.0, 300.0, -20.0}),
            (std::vector<std::size_t>{1, 4, 2, 0, 3}));
  EXPECT_EQ(modeRowOrder({}), std::vector<std::size_t>{});
}

// Rows of a made-up frequency block: six zero rows, an imaginary mode, the
// threshold itself, just above it, then real vibrations.
const std::vector<double> ROWS{0.0,    0.0, 0.0,  0.0,   0.0,   0.0,
                               -500.0, 0.1, 0.15, 380.0, 900.0, 1300.0};
constexpr std::size_t ATOMS = 4;

HinderedRotor goodRotor() {
  HinderedRotor r = cosineRotor(30.0, 2, 0.4);
  r.mode = 10;
  r.pivot1 = 2;
  r.pivot2 = 3;
  r.top = {2, 1};
  return r;
}

TEST(Torsion, RulesOfARotorAsATable) {
  EXPECT_FALSE(isVibration(LOWEST_VIBRATION));
  EXPECT_TRUE(isVibration(0.1000001));
  EXPECT_FALSE(isVibration(-700.0));
  EXPECT_FALSE(isVibration(std::numeric_limits<double>::quiet_NaN()));

  const struct {
    const char *name;
    void (*change)(HinderedRotor &);
    bool second; // after a good rotor replacing row 10
    RotorFault fault;
    int atom = 0;
    double wavenumber = 0.0;
  } cases[] = {
      {"good", [](HinderedRotor &) {}, false, RotorFault::NONE},
      {"second_of_its_own",
       [](HinderedRotor &r) {
         r.mode = 11;
         r.pivot1 = 1;
         r.pivot2 = 4;
         r.top = {1, 2};
       },
       true, RotorFault::NONE},
      // One torsion is one rotor: the bond 2-3 again, from either side.
      {"same_bond", [](HinderedRotor &r) { r.mode = 11; }, true, RotorFault::BOND_TAKEN},
      {"same_bond_turned",
       [](HinderedRotor &r) {
         r.mode = 11;
         r.pivot1 = 3;
         r.pivot2 = 2;
         r.top = {3, 4};
       },
       true, RotorFault::BOND_TAKEN},
      // The physical ranges: sigma 1-12, I up to 1e4 amu A^2, barriers up to 200 kJ/mol.
      {"sigma_twelve", [](HinderedRotor &r) { r.sigma = 12; }, false, RotorFault::NONE},
      {"sigma_thirteen", [](HinderedRotor &r) { r.sigma = 13; }, false, RotorFault::SIGMA},
      {"sigma_huge", [](HinderedRotor &r) { r.sigma = 999999; }, false, RotorFault::SIGMA},
      {"moment_at_the_bound", [](HinderedRotor &r) { r.moment = 1.0e4; }, false, RotorFault::NONE},
      {"moment_above", [](HinderedRotor &r) { r.moment = 1.0001e4; }, false, RotorFault::MOMENT},
      {"barrier_at_the_bound", [](HinderedRotor &r) { r.barrier = 200.0; }, false,
       RotorFault::NONE},
      {"barrier_huge", [](HinderedRotor &r) { r.barrier = 1.0e8; }, false,
       RotorFault::BARRIER_HIGH},
      // 150 (1 - cos 2 phi): a barrier of 300 kJ/mol.
      {"fourier_barrier_huge",
       [](HinderedRotor &r) {
         r.cosine = false;
         r.fourier = {{150.0, 0.0}, {0.0, 0.0}, {-150.0, 0.0}};
       },
       false, RotorFault::BARRIER_HIGH},
      // One well a turn, 5 (1 - cos phi), with sigma 2: turned by pi it moves by 10 kJ/mol.
      {"fourier_one_well_sigma_two",
       [](HinderedRotor &r) {
         r.cosine = false;
         r.fourier = {{5.0, 0.0}, {-5.0, 0.0}};
       },
       false, RotorFault::PERIOD},
      // Two wells of 3 (1 - cos 2 phi) tilted by 0.2 sin phi: V(phi + pi) - V(phi) =
      // -0.4 sin phi, at most 0.4 kJ/mol, within a tenth of the 6 kJ/mol barrier plus 0.2.
      {"fourier_two_wells_slightly_unequal",
       [](HinderedRotor &r) {
         r.cosine = false;
         r.fourier = {{3.0, 0.0}, {0.0, 0.2}, {-3.0, 0.0}};
       },
       false, RotorFault::NONE},
      // Below RT at 298.15 K the wells do not decide: one well of 1 kJ/mol with sigma 2.
      {"fourier_shallow_one_well",
       [](HinderedRotor &r) {
         r.cosine = false;
         r.fourier = {{0.5, 0.0}, {-0.5, 0.0}};
       },
       false, RotorFault::NONE},
      {"mode_zero", [](HinderedRotor &r) { r.mode = 0; }, false, RotorFault::MODE_BELOW_ONE},
      {"pivots_equal", [](HinderedRotor &r) { r.pivot2 = 2; }, false, RotorFault::PIVOTS},
      {"pivot_zero", [](HinderedRotor &r) { r.pivot1 = 0; }, false, RotorFault::PIVOTS},
      {"sigma_zero", [](HinderedRotor &r) { r.sigma = 0; }, false, RotorFault::SIGMA},
      {"moment_zero", [](HinderedRotor &r) { r.moment = 0.0; }, false, RotorFault::MOMENT},
      {"moment_nan", [](HinderedRotor &r) { r.moment = std::numeric_limits<double>::quiet_NaN(); },
       false, RotorFault::MOMENT},
      {"barrier_negative", [](HinderedRotor &r) { r.barrier = -1.0; }, false, RotorFault::BARRIER},
      {"barrier_zero_a_free_rotor", [](HinderedRotor &r) { r.barrier = 0.0; }, false,
       RotorFault::NONE},
      {"fourier_without_terms", [](HinderedRotor &r) { r.cosine = false; }, false,
       RotorFault::TERMS},
      {"fourier_of_21_terms",
       [](HinderedRotor &r) {
         r.cosine = false;
         r.fourier.assign(MAX_ROTOR_TERMS, {0.0, 0.0});
       },
       false, RotorFault::NONE},
      {"fourier_of_22_terms",
       [](HinderedRotor &r) {
         r.cosine = false;
         r.fourier.assign(MAX_ROTOR_TERMS + 1, {0.0, 0.0});
       },
       false, RotorFault::TERMS},
      {"top_empty", [](HinderedRotor &r) { r.top.clear(); }, false, RotorFault::TOP_EMPTY},
      {"top_twice",
       [](HinderedRotor &r) {
         r.top = {2, 1, 2};
       },
       false, RotorFault::TOP_TWICE, 2},
      {"top_without_pivot", [](HinderedRotor &r) { r.top = {1}; }, false,
       RotorFault::TOP_WITHOUT_PIVOT},
      {"top_with_other_pivot",
       [](HinderedRotor &r) {
         r.top = {2, 3};
       },
       false, RotorFault::TOP_WITH_OTHER_PIVOT},
      {"mode_beyond_rows", [](HinderedRotor &r) { r.mode = 13; }, false,
       RotorFault::MODE_BEYOND_ROWS},
      {"mode_of_a_zero_row", [](HinderedRotor &r) { r.mode = 3; }, false,
       RotorFault::MODE_NOT_VIBRATION, 0, 0.0},
      {"mode_imaginary", [](HinderedRotor &r) { r.mode = 7; }, false,
       RotorFault::MODE_NOT_VIBRATION, 0, -500.0},
      // Thermo counts a row as a vibration only above 0.1 cm-1.
      {"mode_at_the_threshold", [](HinderedRotor &r) { r.mode = 8; }, false,
       RotorFault::MODE_NOT_VIBRATION, 0, 0.1},
      {"mode_above_the_threshold", [](HinderedRotor &r) { r.mode = 9; }, false, RotorFault::NONE},
      {"mode_taken", [](HinderedRotor &) {}, true, RotorFault::MODE_TAKEN},
      {"top_atom_beyond",
       [](HinderedRotor &r) {
         r.top = {2, 1, 5};
       },
       false, RotorFault::ATOM_BEYOND, 5},
      {"pivot_beyond", [](HinderedRotor &r) { r.pivot2 = 9; }, false, RotorFault::ATOM_BEYOND, 9},
      // The first rule broken, in the order of RotorFault: its own numbers before its place.
      {"sigma_before_mode_beyond",
       [](HinderedRotor &r) {
         r.mode = 13;
         r.sigma = 0;
       },
       false, RotorFault::SIGMA},
      {"top_before_atom_beyond",
       [](HinderedRotor &r) {
         r.top = {1, 5};
       },
       false, RotorFault::TOP_WITHOUT_PIVOT},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    HinderedRotor r = goodRotor();
    c.change(r);
    std::vector<HinderedRotor> rotors{r};
    if (c.second)
      rotors.insert(rotors.begin(), goodRotor());
    const RotorCheck check = rotorFault(rotors, rotors.size() - 1, ROWS, ATOMS);
    EXPECT_EQ(check.fault, c.fault);
    EXPECT_EQ(check.ok(), c.fault == RotorFault::NONE);
    EXPECT_EQ(check.atom, c.atom);             // TOP_TWICE, ATOM_BEYOND
    EXPECT_EQ(check.wavenumber, c.wavenumber); // MODE_NOT_VIBRATION
    EXPECT_EQ(check.other, 0U);                // MODE_TAKEN: the first rotor
  }
}

} // namespace
} // namespace orvalen
