// The Psi4 reader on real Psi4 1.3.2 outputs (tests/fixtures/qc/psi4, made as
// its README says). Every expected number is the one printed in the output.

#include "qc/reader_fixtures.hpp"
#include "qc/readers.hpp"

#include <gtest/gtest.h>

namespace orvalen::test {
namespace {

using qc::QcRecord;

QcRecord readPsi(const std::string &name) {
  const auto p = qcFixture("psi4/" + name);
  return qc::readPsi4(p, readFile(p));
}

TEST(Psi4Reader, WaterOptimisationThenAnalyticFrequencies) {
  const auto rec = qc::readOutput(qcFixture("psi4/h2o_opt_freq.out"));
  EXPECT_EQ(rec.program, "Psi4");
  EXPECT_EQ(rec.version, "1.3.2"); // "Psi4 1.3.2 release"
  // After "Final optimized geometry and variables:":
  //   "O   -0.000000000000     0.000000000000     0.064169066131"
  //   "H   -0.000000000000     0.754073833105    -0.509204822844"
  ASSERT_EQ(rec.atomicNumbers, (std::vector<int>{8, 1, 1}));
  EXPECT_DOUBLE_EQ(rec.coords[0][2], 0.064169066131);
  EXPECT_DOUBLE_EQ(rec.coords[1][1], 0.754073833105);
  EXPECT_DOUBLE_EQ(rec.coords[2][1], -0.754073833105);
  EXPECT_DOUBLE_EQ(rec.energy, -76.0107206574315); // "Final energy is    -76.0107206574315"
  EXPECT_EQ(rec.energyLevel, "SCF");
  EXPECT_EQ(rec.multiplicity, 1); // "Geometry (in Angstrom), charge = 0, multiplicity = 1:"
  EXPECT_TRUE(rec.optimisation);
  EXPECT_TRUE(rec.optimisationConverged);
  // "Freq [cm^-1]   1826.6402   4070.4936   4188.7782"
  // "IR activ [km/mol]   107.2817   18.2207   58.1678"
  EXPECT_EQ(rec.frequencies, (std::vector<double>{1826.6402, 4070.4936, 4188.7782}));
  EXPECT_TRUE(rec.hasIntensities);
  EXPECT_EQ(rec.intensities, (std::vector<double>{107.2817, 18.2207, 58.1678}));
  // "Rotational constants: A = 858759.67430  B = 440934.74417  C = 291343.08181 [MHz]"
  ASSERT_EQ(rec.rotationalConstantsGHz.size(), 3u);
  EXPECT_DOUBLE_EQ(rec.rotationalConstantsGHz[0], 858.75967430);
  EXPECT_DOUBLE_EQ(rec.rotationalConstantsGHz[2], 291.34308181);
  EXPECT_TRUE(rec.warnings.empty());
}

TEST(Psi4Reader, LinearSaddlePointWithATrailingI) {
  // A minimisation that keeps the D-inf-h symmetry of collinear H3 ends on the
  // saddle point; the finite-difference frequencies follow.
  const auto rec = readPsi("h3_saddle.out");
  // "H   0.000000000000    -0.000000000000    -0.944286754934"
  ASSERT_EQ(rec.coords.size(), 3u);
  EXPECT_DOUBLE_EQ(rec.coords[0][2], -0.944286754934);
  EXPECT_DOUBLE_EQ(rec.coords[2][2], 0.944286754934);
  EXPECT_DOUBLE_EQ(rec.energy, -1.6011537750381); // "Final energy is     -1.6011537750381"
  EXPECT_EQ(rec.multiplicity, 2);
  // "Freq [cm^-1]   2272.7806i   915.8488   915.8488" and "Freq [cm^-1]   2046.0756":
  // 3N-5 = 4 modes, the imaginary one negative.
  EXPECT_EQ(rec.frequencies, (std::vector<double>{-2272.7806, 915.8488, 915.8488, 2046.0756}));
  // A finite-difference Hessian gives no "IR activ" row.
  EXPECT_FALSE(rec.hasIntensities);
  EXPECT_EQ(rec.intensities, (std::vector<double>(4, 0.0)));
}

TEST(Psi4Reader, DoubletOptimisationThenFiniteDifferenceFrequencies) {
  const auto rec = readPsi("oh_freq.out");
  // "Geometry (in Angstrom), charge = 0, multiplicity = 2:"
  EXPECT_EQ(rec.charge, 0);
  EXPECT_EQ(rec.multiplicity, 2);
  EXPECT_DOUBLE_EQ(rec.energy, -75.3822574981766); // "Final energy is    -75.3822574981766"
  EXPECT_EQ(rec.frequencies, (std::vector<double>{3996.8156})); // "Freq [cm^-1]   3996.8156"
}

TEST(Psi4Reader, CoupledClusterSinglePointForTheEnergy) {
  const auto rec = readPsi("h2o_ccsdt.out");
  // Above "@RHF Final Energy:", "* MP2 total energy" and "* CCSD total energy":
  // "      * CCSD(T) total energy                  =  -76.242835566171664"
  EXPECT_DOUBLE_EQ(rec.energy, -76.242835566171664);
  EXPECT_EQ(rec.energyLevel, "CCSD(T)");
  EXPECT_TRUE(rec.frequencies.empty());
  EXPECT_FALSE(rec.optimisation);
  EXPECT_EQ(rec.coords.size(), 3u);
}

TEST(Psi4Reader, AnIrcAfterTheFrequenciesLeavesThemWhole) {
  // frequency() at the saddle point, then an IRC (opt_type irc) that stops after
  // eight steps with OptimizationConvergenceError: the path points are not the
  // molecule's geometry, and the frequencies stand.
  const auto rec = readPsi("h3_freq_then_irc.out");
  // "H            0.000000000000     0.000000000000    -0.944286754934     1.007825032230"
  ASSERT_EQ(rec.coords.size(), 3u);
  EXPECT_DOUBLE_EQ(rec.coords[0][2], -0.944286754934);
  // "Freq [cm^-1]   2272.8412i   915.8488   915.8488" and "Freq [cm^-1]   2046.1276"
  EXPECT_EQ(rec.frequencies, (std::vector<double>{-2272.8412, 915.8488, 915.8488, 2046.1276}));
  EXPECT_TRUE(hasWarning(rec, "Could not converge geometry optimization in 8 iterations"));
}

TEST(Psi4Reader, RefusesFrequenciesOfAGeometryTheOptimiserLeft) {
  // frequency() at the guess, then optimize(): the frequencies are not those of
  // the optimised geometry.
  const std::string msg = errorOf([] { readPsi("h2o_freq_then_opt.out"); });
  EXPECT_NE(msg.find("h2o_freq_then_opt.out: the frequencies (line "), std::string::npos) << msg;
  EXPECT_NE(msg.find("not to the final one"), std::string::npos) << msg;
}

TEST(Psi4Reader, RefusesCutOutputsAndErrorStops) {
  const std::string h3 = readFile(qcFixture("psi4/h3_saddle.out"));
  const std::string water = readFile(qcFixture("psi4/h2o_opt_freq.out"));
  struct Cut {
    const char *what;
    std::string text;
    const char *message;
  };
  const Cut cuts[] = {
      {"after the first row of modes", cutAt(h3, "Freq [cm^-1]", 0, 1), "cut short"},
      {"between Freq and IR activ", cutAt(water, "IR activ [km/mol]"), "cut short"},
      {"inside a geometry", cutAt(water, "    H            0.000000000000    -0.754073833105", 2),
       "inside the geometry"},
  };
  for (const Cut &c : cuts)
    EXPECT_NE(errorOf([&] { qc::readPsi4("p.out", c.text); }).find(c.message), std::string::npos)
        << c.what;

  // No analytic UHF Hessian in Psi4 1.3.2: the run stops after its optimisation.
  const std::string msg =
      errorOf([] { qc::readOutput(qcFixture("psi4/h3_uhf_hessian_error.out")); });
  EXPECT_NE(msg.find("Psi4 stopped with an error (psi4.driver.p4util.exceptions.ValidationError: "
                     "Only RHF Hessians are currently implemented."),
            std::string::npos)
      << msg;
}

} // namespace
} // namespace orvalen::test
