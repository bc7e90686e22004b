// The Eckart transmission coefficient against an independent high-precision
// calculation and against its limits.
//
// Reference values: tests/fixtures/scan/eckart_reference.py (output kept in
// eckart_reference.txt beside it) builds the Eckart potential itself, sets its
// width from the curvature at the top found numerically, and evaluates
// Eckart's probability as 1 minus a ratio with 60 digits (C. Eckart, Phys. Rev.
// 35 (1930) 1303), integrated by mpmath's adaptive quadrature: a different
// route from the program's dimensionless form of Johnston and Heicklen
// (J. Phys. Chem. 66 (1962) 532) in double precision with products of sinh.
// Limits: R. P. Bell's parabolic-barrier coefficient (u/2)/sin(u/2) for a wide
// barrier (The Tunnel Effect in Chemistry, 1980), and 1 in the classical limit.

#include "scan/eckart.hpp"
#include "thermo/constants.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>

namespace orvalen::scan {
namespace {

struct Reference {
  const char *name;
  double V1, V2, nu, T; // kJ/mol, kJ/mol, cm-1, K
  double kappa;
};

const Reference REFERENCES[] = {
    {"OhCh4At200K", 20.494904187823604, 80.04288978410239, 1536.0, 200.0, 116.026057544991},
    {"OhCh4At298K", 20.494904187823604, 80.04288978410239, 1536.0, 298.15, 8.88247018758063},
    {"OhCh4At1000K", 20.494904187823604, 80.04288978410239, 1536.0, 1000.0, 1.24359751039854},
    {"Endothermic", 80.04288978410239, 20.494904187823604, 1536.0, 298.15, 8.88247018758063},
    {"Symmetric", 40.0, 40.0, 1500.0, 300.0, 12.9586276548262},
    {"DeepTunnelling1e37", 100.0, 120.0, 2500.0, 100.0, 6.14162809604004e+37},
    {"DeepTunnellingSymmetric", 60.0, 60.0, 2000.0, 80.0, 3.26226006302349e+27},
    {"CosBranch", 3.0, 5.0, 1500.0, 300.0, 2.39391798101245},
    {"HcnHncAt1000K", 187.32417299798692, 126.5862777769137, 1139.0, 1000.0, 1.12656262959749},
    {"HcnHncAt300K", 187.32417299798692, 126.5862777769137, 1139.0, 300.0, 5.44618669798765},
    {"ReflectionBelowOne", 2.0, 100.0, 500.0, 3000.0, 0.995050410289312},
};

class EckartReference : public ::testing::TestWithParam<Reference> {};

TEST_P(EckartReference, KappaToEightDigits) {
  const Reference &r = GetParam();
  const EckartBarrier b{r.V1, r.V2, r.nu};
  ASSERT_FALSE(eckartUndefined(b));
  EXPECT_NEAR(eckartKappa(b, r.T) / r.kappa, 1.0, 1e-8);
  // The same barrier seen from the other side has the same coefficient.
  EXPECT_NEAR(eckartKappa(EckartBarrier{r.V2, r.V1, r.nu}, r.T) / r.kappa, 1.0, 1e-8);
}

INSTANTIATE_TEST_SUITE_P(Mpmath, EckartReference, ::testing::ValuesIn(REFERENCES),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Eckart, ProbabilityFarBelowDoublePrecision) {
  // ln P of the OH + CH4 barrier and of a wide symmetric one
  // (eckart_reference.py): down to P = 2.5e-46, where 1 minus a ratio in
  // double precision gives 0.
  const EckartBarrier b{20.494904187823604, 80.04288978410239, 1536.0};
  const EckartBarrier wide{200.0, 200.0, 1000.0};
  const std::tuple<EckartBarrier, double, double> lnP[] = {
      {b, 0.5, -10.1928228697382},     {b, 5.0, -6.4089549608787},
      {b, 20.0, -0.688794994459861},   {b, 40.0, -0.00249340536449965},
      {wide, 50.0, -105.023166021888}, {wide, 120.0, -47.3322423408497}};
  for (const auto &[barrier, E, expected] : lnP)
    EXPECT_NEAR(eckartLnTransmission(barrier, E), expected, 1e-11 * (1.0 + std::fabs(expected)))
        << E;
  // No probability at or below the higher asymptote.
  EXPECT_EQ(eckartLnTransmission(EckartBarrier{80.0, 20.0, 1500.0}, 60.0),
            -std::numeric_limits<double>::infinity());
}

TEST(Eckart, WideBarrierGivesBellsParabola) {
  // V1 = V2 = 10^4 kJ/mol: near the top the barrier is a parabola, and below
  // u = 2 pi its deep part does not count: kappa -> (u/2)/sin(u/2).
  // cosh 2 pi (a+b) is about e^(4 pi V / h nu) = e^10500 here.
  for (const double T : {298.15, 500.0, 1000.0}) {
    const double nu = 1000.0;
    const double u = PLANCK * nu * CLIGHT * 100.0 / (BOLTZ * T);
    const double bell = (u / 2) / std::sin(u / 2);
    EXPECT_NEAR(eckartKappa(EckartBarrier{1e4, 1e4, nu}, T) / bell, 1.0, 2e-3) << T;
  }
  // At 298.15 K and 1000 cm-1 Bell's value is 3.6232 (to four places).
  EXPECT_NEAR(eckartKappa(EckartBarrier{1e5, 1e5, 1000.0}, 298.15), 3.6232, 1e-3);
}

TEST(Eckart, ClassicalLimit) {
  // A low frequency or a high temperature: kappa -> 1 from above (Wigner's
  // 1 + u^2/24 to first order) for a symmetric barrier.
  const double nu = 50.0, T = 300.0;
  const double u = PLANCK * nu * CLIGHT * 100.0 / (BOLTZ * T);
  const double k = eckartKappa(EckartBarrier{500.0, 500.0, nu}, T);
  EXPECT_NEAR(k - 1.0, u * u / 24.0, 0.02 * u * u / 24.0);
  for (const double high : {1e4, 1e5, 1e6}) {
    const double kh = eckartKappa(EckartBarrier{40.0, 40.0, 1500.0}, high);
    EXPECT_GT(kh, 1.0);
    EXPECT_LT(kh - 1.0, 0.2 * 1000.0 / high) << high;
  }
}

TEST(Eckart, UndefinedBarriers) {
  EXPECT_FALSE(eckartUndefined(EckartBarrier{20.0, 80.0, 1500.0}));
  for (const EckartBarrier &b :
       {EckartBarrier{0.0, 80.0, 1500.0}, EckartBarrier{-5.0, 80.0, 1500.0},
        EckartBarrier{20.0, 0.0, 1500.0}, EckartBarrier{20.0, -1.0, 1500.0},
        EckartBarrier{20.0, 80.0, 0.0}, EckartBarrier{std::nan(""), 80.0, 1500.0}})
    EXPECT_TRUE(eckartUndefined(b));
  EXPECT_NE(eckartUndefined(EckartBarrier{20.0, -1.0, 1500.0})->find("V2"), std::string::npos);
}

} // namespace
} // namespace orvalen::scan
