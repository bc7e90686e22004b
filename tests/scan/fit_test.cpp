// Arrhenius fits recover the parameters of synthetic rate constants.

#include "base/error.hpp"
#include "scan/fit.hpp"
#include "thermo/constants.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace orvalen::scan {
namespace {

std::vector<double> range(double from, double to, double step) {
  std::vector<double> t;
  for (double x = from; x <= to + 1e-9; x += step)
    t.push_back(x);
  return t;
}

TEST(Fit, RecoversModifiedArrheniusParameters) {
  struct Case {
    double A, n, EaKJ;
  };
  // From a plain Arrhenius law to strong curvature, negative n and a negative
  // activation energy; A from 1e-20 (cm3/molecule/s) to 1e13 (1/s).
  for (const Case &c : {Case{1.0e13, 0.0, 80.0}, Case{2.5e-20, 2.7, 10.0},
                        Case{3.1e-12, -1.5, -4.0}, Case{7.0e-28, 4.2, 35.0}}) {
    const auto T = range(200.0, 2000.0, 50.0);
    std::vector<double> k;
    for (double t : T)
      k.push_back(c.A * std::pow(t, c.n) * std::exp(-c.EaKJ * 1000.0 / (RGAS * t)));
    const Fits f = fitArrhenius(T, k);
    EXPECT_EQ(f.points, static_cast<int>(T.size()));
    EXPECT_NEAR(f.modified.A / c.A, 1.0, 1e-8);
    EXPECT_NEAR(f.modified.n, c.n, 1e-9);
    EXPECT_NEAR(f.modified.EaKJ, c.EaKJ, 1e-8);
    EXPECT_EQ(f.modified.T0, 1.0);
    EXPECT_LT(f.modified.maxRelDeviation, 1e-10);
    if (c.n == 0.0) {
      EXPECT_NEAR(f.arrhenius.A / c.A, 1.0, 1e-8);
      EXPECT_NEAR(f.arrhenius.EaKJ, c.EaKJ, 1e-8);
    } else {
      EXPECT_GT(f.arrhenius.maxRelDeviation, 1e-3); // the plain form cannot follow T^n
    }
  }
}

TEST(Fit, LargestDeviationAndNoise) {
  // k = 1e-11 exp(-1000 K/T) with one point raised by 10 %: the plain form's
  // largest deviation is near that point and below 10 %.
  const auto T = range(300.0, 1000.0, 100.0);
  std::vector<double> k;
  for (double t : T)
    k.push_back(1e-11 * std::exp(-1000.0 / t));
  k[3] *= 1.1;
  const Fits f = fitArrhenius(T, k);
  EXPECT_GT(f.arrhenius.maxRelDeviation, 0.05);
  EXPECT_LT(f.arrhenius.maxRelDeviation, 0.10);
  EXPECT_NEAR(fitValue(f.arrhenius, 600.0) / (1e-11 * std::exp(-1000.0 / 600.0)), 1.0, 0.05);
}

TEST(Fit, Refusals) {
  const std::vector<double> T2 = {300.0, 400.0}, k2 = {1e-12, 2e-12};
  EXPECT_THROW(fitArrhenius(T2, k2), Error);
  const std::vector<double> same = {300.0, 300.0, 300.0}, k3 = {1e-12, 1e-12, 1e-12};
  EXPECT_THROW(fitArrhenius(same, k3), Error);
  const std::vector<double> T3 = {300.0, 400.0, 500.0}, bad = {1e-12, 0.0, 1e-11};
  EXPECT_THROW(fitArrhenius(T3, bad), Error);
}

TEST(Fit, ChemkinUnits) {
  // A bimolecular k in cm3/molecule/s is cm3/mol/s times NA; Ea in cal/mol.
  ArrheniusFit f;
  f.A = 1.0e-12;
  f.n = 2.5;
  f.EaKJ = 4.184;
  const std::string line = chemkinLine("OH+CH4=>H2O+CH3", f, 2);
  EXPECT_EQ(line.rfind("OH+CH4=>H2O+CH3 ", 0), 0u) << line;
  EXPECT_NE(line.find("6.0221E+11"), std::string::npos) << line;
  EXPECT_NE(line.find("2.500"), std::string::npos) << line;
  EXPECT_NE(line.find("1000.00"), std::string::npos) << line;
  // Unimolecular: A in 1/s unchanged.
  f.A = 3.0e13;
  EXPECT_NE(chemkinLine("HCN=>HNC", f, 1).find("3.0000E+13"), std::string::npos);
}

} // namespace
} // namespace orvalen::scan
