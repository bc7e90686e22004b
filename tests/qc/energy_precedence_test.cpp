// The one order of energy methods (energy_precedence.hpp) and the readers
// that choose by it. The Gaussian cases are water's CCSD(T) single point
// (tests/fixtures/qc/gaussian/water_ccsdt.log) with its later energies taken
// out: its "SCF Done: E(RHF) = -74.9643287914" (line 305), "EUMP2 =
// -0.75002282127453D+02" (line 342), "E(Corr)= -75.017683639" after the
// converged amplitudes (line 432) and "CCSD(T)= -0.75017760422D+02" (line 437),
// with "Standard basis: STO-3G".
#include "qc/energy_precedence.hpp"
#include "qc/reader_fixtures.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvalen::test {
namespace {

using qc::FoundEnergy;
using qc::Printed;

TEST(EnergyPrecedence, TheHighestMethodWinsWhereverItWasPrinted) {
  const struct {
    const char *name;
    std::vector<FoundEnergy> found;
    Printed which;
    double best; // the value chosen; 0 for none
  } cases[] = {
      {"none", {}, Printed::Last, 0.0},
      {"mp2_over_scf", {{"SCF", -1.0, 10}, {"MP2", -2.0, 11}}, Printed::Last, -2.0},
      {"printed_lowest_last",
       {{"CCSD(T)", -4.0, 1}, {"CCSD", -3.0, 2}, {"MP2", -2.0, 3}, {"DFT", -1.0, 4}},
       Printed::Last,
       -4.0},
      {"ccsd_over_mp2",
       {{"MP2", -2.0, 1}, {"CCSD", -3.0, 2}, {"SCF", -1.0, 3}},
       Printed::Last,
       -3.0},
      // Hartree-Fock and a functional rank alike: the last (first) printed.
      {"scf_and_dft_last", {{"SCF", -1.0, 1}, {"DFT", -1.5, 2}}, Printed::Last, -1.5},
      {"scf_and_dft_first", {{"SCF", -1.0, 1}, {"DFT", -1.5, 2}}, Printed::First, -1.0},
      // Of the best method, the last printed (an optimiser's last step), or the first.
      {"mp2_last", {{"MP2", -2.0, 1}, {"MP2", -2.5, 5}, {"SCF", -1.0, 9}}, Printed::Last, -2.5},
      {"mp2_first", {{"MP2", -2.0, 1}, {"MP2", -2.5, 5}, {"SCF", -1.0, 9}}, Printed::First, -2.0},
      // A method not in the table ranks below the SCF.
      {"unknown_below_scf", {{"SCF", -1.0, 1}, {"QCISD", -9.0, 2}}, Printed::Last, -1.0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    const auto best = qc::bestEnergy(c.found, c.which);
    ASSERT_EQ(best.has_value(), c.best != 0.0);
    if (best) {
      EXPECT_EQ(best->value, c.best);
    }
  }
}

TEST(EnergyPrecedence, HigherLevelKeepsTheCurrentLevelUnlessTheFoundOneRanksAbove) {
  const struct {
    const char *current, *found, *higher;
  } cases[] = {
      {"", "DFT", "DFT"},
      {"DFT", "MP2", "MP2"},
      {"MP2", "DFT", "MP2"},
      {"CCSD", "CCSD(T)", "CCSD(T)"},
      {"CCSD(T)", "CCSD", "CCSD(T)"},
      {"SCF", "DFT", "SCF"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(qc::higherLevel(c.current, c.found), c.higher) << c.current << " " << c.found;
}

// water_ccsdt.log without the lines that hold any of `dropped`.
std::string withoutLines(const std::vector<std::string> &dropped) {
  const std::string text = readFile(qcFixture("gaussian/water_ccsdt.log"));
  std::string kept;
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos;
       start = end + 1, end = text.find('\n', start)) {
    const std::string line = text.substr(start, end + 1 - start);
    bool drop = false;
    for (const auto &d : dropped)
      drop = drop || line.find(d) != std::string::npos;
    if (!drop)
      kept += line;
  }
  return kept;
}

TEST(EnergyPrecedence, GaussianGivesTheBestEnergyItPrinted) {
  const struct {
    const char *name;
    std::vector<std::string> dropped;
    double energy;
    const char *level, *method;
  } cases[] = {
      {"ccsdt", {}, -75.017760422, "CCSD(T)", "CCSD(T)/STO-3G"},
      {"ccsd", {" CCSD(T)= "}, -75.017683639, "CCSD", "CCSD/STO-3G"},
      {"mp2", {" CCSD(T)= ", "amplitudes converged"}, -75.002282127453, "MP2", "MP2/STO-3G"},
      {"scf", {" CCSD(T)= ", "amplitudes converged", "EUMP2"}, -74.9643287914, "SCF", "HF/STO-3G"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    dir.write("water.log", withoutLines(c.dropped));
    const qc::QcRecord rec = qc::readOutput(dir / "water.log");
    EXPECT_DOUBLE_EQ(rec.energy, c.energy);
    EXPECT_EQ(rec.energyLevel, c.level);
    EXPECT_EQ(rec.energyMethod, c.method);
  }
}

} // namespace
} // namespace orvalen::test
