// The scan's k is the rate constant at the standard state: kQ carries
// (P/P0)^(m - nTS), since each molecule's Qtran is taken at the pressure P
// and the concentration factor at P0 = 1e5 Pa, so k = kQ * kappa *
// (P0/P)^(m - nTS) is the same at every -P, while kQ and kG keep the
// report's values.

#include "scan_support.hpp"

#include "scan/scan.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>

namespace orvalen::test {
namespace {

using nlohmann::json;

TEST(ScanStandardState, TheFactorByHand) {
  struct Case {
    int m, nTS;
    double P, factor;
  };
  const Case cases[] = {
      {2, 1, 101325.0, 0.986923266716013}, // 1e5/101325: k 1.3 % below kQ * kappa
      {2, 1, 1e5, 1.0},
      {2, 1, 1e7, 0.01},
      {3, 1, 101325.0, 0.974017534385406}, // (1e5/101325)^2
      {1, 1, 1e7, 1.0},                    // unimolecular: kQ does not depend on P
      {2, 2, 2e5, 1.0},                    // two transition states: m - nTS = 0
      {1, 2, 2e5, 2.0},                    // (1e5/2e5)^-1
  };
  for (const Case &c : cases) {
    scan::ScanResult r;
    r.molecularity = c.m;
    r.transitionStates = c.nTS;
    EXPECT_NEAR(scan::toStandardState(r, c.P), c.factor, 1e-14 * c.factor)
        << "m = " << c.m << ", nTS = " << c.nTS << ", P = " << c.P;
  }
}

json scanAt(const TempDir &dir, const std::string &job, const char *pressure) {
  const RunResult r = runScanBinary(dir.path(), job +
                                                    " -T 300,600,1000 --tunnelling eckart --fit "
                                                    "--format json -P " +
                                                    pressure);
  EXPECT_EQ(r.status, 0) << r.stderrText;
  return json::parse(r.stdoutText);
}

TEST(ScanStandardState, KIsTheSameAtEveryPressureWhileKQFollowsIt) {
  struct Case {
    const char *folder, *job;
    int power; // m - nTS
  };
  const Case cases[] = {
      {"examples/oh_ch4", "oh_ch4", 1},
      {"examples/hcn_hnc", "hcn_hnc", 0},
      {"tests/e2e/jobs/m3", "m3", 2},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.job);
    TempDir dir;
    copyJobFolder(c.folder, dir.path());
    const json p0 = scanAt(dir, c.job, "1e5");
    for (const char *pressure : {"101325", "1e7"}) {
      SCOPED_TRACE(pressure);
      const json at = scanAt(dir, c.job, pressure);
      const double scale = std::pow(std::stod(pressure) / 1e5, c.power);
      for (std::size_t i = 0; i < 3; ++i) {
        const json &a = at["temperatures"][i], &b = p0["temperatures"][i];
        const double k = b["k"].get<double>();
        EXPECT_NEAR(a["k"].get<double>(), k, 1e-12 * k);
        const double kQ = b["kQ"][2].get<double>() * scale;
        EXPECT_NEAR(a["kQ"][2].get<double>(), kQ, 1e-12 * kQ);
        // kG goes through exp(-dGa/RT), dGa built from entropies that hold ln P.
        const double kG = b["kG"][2].get<double>() * scale;
        EXPECT_NEAR(a["kG"][2].get<double>(), kG, 1e-9 * kG);
      }
      // The fit is of k: the same A, n and Ea.
      for (const char *q : {"A", "n", "Ea_kJmol"}) {
        const double v = p0["fit"]["modified"][q].get<double>();
        EXPECT_NEAR(at["fit"]["modified"][q].get<double>(), v, 1e-9 * std::fabs(v)) << q;
      }
    }
  }
}

} // namespace
} // namespace orvalen::test
