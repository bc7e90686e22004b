// The NWChem reader on real NWChem 7.0.2 outputs (tests/fixtures/qc/nwchem and
// examples/h_h2_nwchem, made as their README says). Every expected number is
// the one printed in the output, quoted beside it.

#include "qc/reader_fixtures.hpp"
#include "qc/readers.hpp"

#include <gtest/gtest.h>

namespace orvalen::test {
namespace {

using qc::QcRecord;

QcRecord readNw(const std::filesystem::path &p) {
  return qc::readNwchem(p, readFile(p));
}

TEST(NwchemReader, WaterOptimisationThenFrequencies) {
  const auto rec = qc::readOutput(qcFixture("nwchem/h2o_scf_freq.out"));
  EXPECT_EQ(rec.program, "NWChem");
  EXPECT_EQ(rec.version, "7.0.2"); // "nwchem branch   = 7.0.2"
  // The table after "Optimization converged":
  //   "    1 O    8.0000     0.00000000     0.00000000     0.10227094"
  //   "    2 H    1.0000    -0.75406520     0.00000000    -0.47113547"
  ASSERT_EQ(rec.atomicNumbers, (std::vector<int>{8, 1, 1}));
  EXPECT_DOUBLE_EQ(rec.coords[0][2], 0.10227094);
  EXPECT_DOUBLE_EQ(rec.coords[1][0], -0.75406520);
  EXPECT_DOUBLE_EQ(rec.coords[2][2], -0.47113547);
  // The last SCF before "Optimization converged": "Total SCF energy =    -76.010746507651"
  EXPECT_DOUBLE_EQ(rec.energy, -76.010746507651);
  EXPECT_EQ(rec.energyLevel, "SCF");
  EXPECT_EQ(rec.multiplicity, 1); // "open shells     =     0"
  EXPECT_TRUE(rec.optimisation);
  EXPECT_TRUE(rec.optimisationConverged);
  EXPECT_FALSE(rec.saddleSearch);
  // "Projected Infra Red Intensities" rows 7 to 9:
  //   "    7     1826.547 ||    0.110035           2.539       107.268      14.887", and so on.
  // Rows 2 to 6 are translations and rotations near 0 cm-1 with intensities up
  // to 154.138 km/mol: they must go by their frequency, not their intensity.
  ASSERT_EQ(rec.frequencies.size(), 3u);
  EXPECT_DOUBLE_EQ(rec.frequencies[0], 1826.547);
  EXPECT_DOUBLE_EQ(rec.frequencies[1], 4070.489);
  EXPECT_DOUBLE_EQ(rec.frequencies[2], 4188.734);
  EXPECT_TRUE(rec.hasIntensities);
  EXPECT_DOUBLE_EQ(rec.intensities[0], 107.268);
  EXPECT_DOUBLE_EQ(rec.intensities[1], 18.209);
  EXPECT_DOUBLE_EQ(rec.intensities[2], 58.110);
  EXPECT_TRUE(rec.warnings.empty());
}

TEST(NwchemReader, SaddlePointAfterAHessianAtTheGuess) {
  // h3.nw: a frequency task at the guess (imaginary -1240.11), a saddle search
  // from it, a frequency task at the saddle point. The second one counts.
  const auto rec = readNw(exampleFile("h_h2_nwchem/calculations/h3.out"));
  EXPECT_TRUE(rec.saddleSearch);
  EXPECT_TRUE(rec.optimisationConverged);
  ASSERT_EQ(rec.coords.size(), 3u);
  // After "Optimization converged":
  //   "    1 H   1.0000    -0.00000000     0.00000000    -0.92448826"
  //   "    3 H   1.0000    -0.00000000     0.00000000     0.92431709"
  EXPECT_DOUBLE_EQ(rec.coords[0][2], -0.92448826);
  EXPECT_DOUBLE_EQ(rec.coords[2][2], 0.92431709);
  // Step 5, the converged one: "Total DFT energy =       -1.658337077010"
  EXPECT_DOUBLE_EQ(rec.energy, -1.658337077010);
  EXPECT_EQ(rec.energyLevel, "DFT");
  EXPECT_EQ(rec.multiplicity, 2); // "Spin multiplicity:     2"
  // Linear: 3N-5 = 4 modes. "    1    -1167.356 ||    0.134651   3.107   131.265 ...",
  // "    7      924.932 || ... 1.448", "    9     2096.320 || ... 0.001".
  ASSERT_EQ(rec.frequencies.size(), 4u);
  EXPECT_DOUBLE_EQ(rec.frequencies[0], -1167.356);
  EXPECT_DOUBLE_EQ(rec.frequencies[1], 924.932);
  EXPECT_DOUBLE_EQ(rec.frequencies[2], 924.932);
  EXPECT_DOUBLE_EQ(rec.frequencies[3], 2096.320);
  EXPECT_DOUBLE_EQ(rec.intensities[0], 131.265);
  EXPECT_DOUBLE_EQ(rec.intensities[3], 0.001);
}

TEST(NwchemReader, MoleculeAndAtomOfTheExample) {
  const auto h2 = readNw(exampleFile("h_h2_nwchem/calculations/h2.out"));
  // "    2 H    1.0000     0.00000000     0.00000000     0.36848716"
  EXPECT_DOUBLE_EQ(h2.coords[1][2], 0.36848716);
  EXPECT_DOUBLE_EQ(h2.energy, -1.170098064094);  // "Total DFT energy =  -1.170098064094"
  ASSERT_EQ(h2.frequencies.size(), 1u);          // linear: 3N-5 = 1
  EXPECT_DOUBLE_EQ(h2.frequencies[0], 4516.886); // "    6     4516.886 ||"

  // One atom: the three translations go, no vibration is left.
  const auto h = readNw(exampleFile("h_h2_nwchem/calculations/h.out"));
  EXPECT_EQ(h.atomicNumbers, (std::vector<int>{1}));
  EXPECT_DOUBLE_EQ(h.energy, -0.498547578997); // "Total DFT energy =  -0.498547578997"
  EXPECT_EQ(h.multiplicity, 2);
  EXPECT_TRUE(h.frequencies.empty());
  EXPECT_FALSE(h.optimisation);
}

TEST(NwchemReader, CoupledClusterSinglePointForTheEnergy) {
  const auto rec = readNw(qcFixture("nwchem/h2o_ccsdt.out"));
  // Above SCF, "Total MP2 energy:" and "Total CCSD energy:":
  // " Total CCSD(T) energy:                 -76.209219361852135"
  EXPECT_DOUBLE_EQ(rec.energy, -76.209219361852135);
  EXPECT_EQ(rec.energyLevel, "CCSD(T)");
  EXPECT_TRUE(rec.frequencies.empty());
  EXPECT_FALSE(rec.optimisation);
  ASSERT_EQ(rec.coords.size(), 3u);

  // The tensor contraction engine on a UHF reference, for the H3 saddle point:
  // "CCSD(T) total energy / hartree       =        -1.656327512086593";
  // "alpha electrons =     2", "beta  electrons =     1".
  const auto h3 = readNw(exampleFile("h_h2_nwchem/calculations/h3_ccsdt.out"));
  EXPECT_DOUBLE_EQ(h3.energy, -1.656327512086593);
  EXPECT_EQ(h3.energyLevel, "CCSD(T)");
  EXPECT_EQ(h3.multiplicity, 2);
}

TEST(NwchemReader, SymmetryBreakingIsReported) {
  // Automatic symmetry puts OH in a symmetry-broken state: "Warning: spatial
  // symmetry breaking" at every SCF cycle of the energy task.
  const auto broken = readNw(qcFixture("nwchem/oh_autosym.out"));
  EXPECT_TRUE(hasWarning(broken, "symmetry breaking"));
  EXPECT_TRUE(hasWarning(broken, "noautosym"));
  // "Total DFT energy =      -75.686419591065", 23 kcal/mol above the proper state.
  EXPECT_DOUBLE_EQ(broken.energy, -75.686419591065);

  const auto sound = readNw(qcFixture("nwchem/oh_noautosym.out"));
  EXPECT_TRUE(sound.warnings.empty());
  EXPECT_EQ(sound.multiplicity, 2);
  ASSERT_EQ(sound.frequencies.size(), 1u);
  EXPECT_DOUBLE_EQ(sound.frequencies[0], 3643.546); // "    6     3643.546 ||"
  EXPECT_DOUBLE_EQ(sound.intensities[0], 1.638);
}

TEST(NwchemReader, SinglePointsAfterTheFrequenciesDoNotMoveTheMolecule) {
  // Single points at stretched geometries follow the frequency task, as a scan
  // would: the geometry and energy stay those of the frequencies.
  const auto rec = readNw(qcFixture("nwchem/h2o_freq_then_scan.out"));
  const auto ref = readNw(qcFixture("nwchem/h2o_scf_freq.out"));
  EXPECT_EQ(rec.coords, ref.coords);
  EXPECT_EQ(rec.frequencies, ref.frequencies);
  EXPECT_DOUBLE_EQ(rec.energy, ref.energy);
}

TEST(NwchemReader, AnIrcAfterTheFrequenciesLeavesThemWhole) {
  // Frequencies at the saddle point, then "task dft mepgs": the IRC computes a
  // Hessian of its own (no frequencies printed), prints its path points and
  // stops with "mepgs: gsopt failed". The frequencies and their geometry stand.
  const auto rec = readNw(qcFixture("nwchem/h3_freq_then_irc.out"));
  // The input geometry: "    1 H    1.0000    -0.00000000     0.00000000    -0.92448381"
  ASSERT_EQ(rec.coords.size(), 3u);
  EXPECT_DOUBLE_EQ(rec.coords[0][2], -0.92448381);
  EXPECT_DOUBLE_EQ(rec.coords[2][2], 0.92432154);
  EXPECT_DOUBLE_EQ(rec.energy, -1.658337091601); // "Total DFT energy =       -1.658337091601"
  ASSERT_EQ(rec.frequencies.size(), 4u);
  EXPECT_DOUBLE_EQ(rec.frequencies[0], -1167.357); // "    1    -1167.357 ||  ...  131.265"
  EXPECT_TRUE(hasWarning(rec, "NWChem stopped with an error after the frequency analysis"));
  EXPECT_TRUE(hasWarning(rec, "mepgs: gsopt failed"));
}

TEST(NwchemReader, ChargeAndMultiplicityOfTheFrequencyTask) {
  // The frequency task's SCF: "open shells = 0", "charge = 0.00". A later
  // task of the water cation ("Charge : 1", "Spin multiplicity: 2") is
  // another state and changes neither.
  const std::string water = readFile(qcFixture("nwchem/h2o_scf_freq.out"));
  const std::size_t end = water.rfind(" Total times");
  const std::string cation = water.substr(0, end) + R"(
                                NWChem Input Module
                                -------------------

          Charge           :     1
          Spin multiplicity:     2
         Total DFT energy =      -75.700000000000

 Task  times  cpu:        0.1s     wall:        0.1s
)" + water.substr(end);
  for (const std::string *text : {&water, &cation}) {
    const auto rec = qc::readNwchem("w.out", *text);
    EXPECT_EQ(rec.charge, 0);
    EXPECT_EQ(rec.multiplicity, 1);
    EXPECT_DOUBLE_EQ(rec.energy, readNw(qcFixture("nwchem/h2o_scf_freq.out")).energy);
  }
  // "Charge : 0", "Spin multiplicity: 2" (DFT) of the hydroxyl radical.
  const auto oh = readNw(qcFixture("nwchem/oh_noautosym.out"));
  EXPECT_EQ(oh.charge, 0);
  EXPECT_EQ(oh.multiplicity, 2);
}

TEST(NwchemReader, NumericalHessianEnergyIsTheOneAtTheReferenceGeometry) {
  // "task scf freq numerical" prints 13 SCF energies: the first at the geometry
  // ("Total SCF energy =    -76.010746508415", as the single point h2o_au_energy
  // at the same geometry), then those of displaced geometries (-76.010746115758, ...).
  const auto rec = readNw(qcFixture("nwchem/h2o_numerical_freq.out"));
  EXPECT_DOUBLE_EQ(rec.energy, -76.010746508415);
  EXPECT_DOUBLE_EQ(rec.energy, readNw(qcFixture("nwchem/h2o_au_energy.out")).energy);
  ASSERT_EQ(rec.frequencies.size(), 3u);
  EXPECT_DOUBLE_EQ(rec.frequencies[0], 1825.927); // "    7     1825.927 ||"
}

TEST(NwchemReader, RefusesFrequenciesLeftAtTheStartOfASaddleSearch) {
  // h3.out cut before its last frequency task: the only frequencies are those
  // at the guess, and the saddle search moved away from it.
  const auto text = cutAt(readFile(exampleFile("h_h2_nwchem/calculations/h3.out")),
                          "NWChem Nuclear Hessian and Frequency Analysis", 1);
  const std::string msg = errorOf([&] { qc::readNwchem("h3.out", text); });
  EXPECT_NE(msg.find("h3.out: the frequencies (line "), std::string::npos) << msg;
  EXPECT_NE(msg.find("saddle-point search"), std::string::npos) << msg;

  // The same run cut in the middle of its saddle search.
  const auto midway = cutAt(text, "@    3");
  EXPECT_NE(errorOf([&] { qc::readNwchem("h3.out", midway); }).find("saddle-point search"),
            std::string::npos);
}

TEST(NwchemReader, RefusesOutputsCutInTheFrequencyTablesOrStoppedByAnError) {
  const std::string water = readFile(qcFixture("nwchem/h2o_scf_freq.out"));
  struct Cut {
    const char *what;
    std::string text;
    const char *message;
  };
  const Cut cuts[] = {
      {"between the two P.Frequency rows", cutAt(water, "P.Frequency", 1),
       "has 6 values where 3 atoms need 9"},
      {"in the infrared table", cutAt(water, "Projected Infra Red Intensities", 0, 6),
       "infrared intensity table has"},
      {"before the projected set", cutAt(water, "(Projected Frequencies expressed"),
       "has no projected frequencies"},
      {"inside the first geometry", cutAt(water, "    2 H  "), "inside the coordinate table"},
  };
  for (const Cut &c : cuts)
    EXPECT_NE(errorOf([&] { qc::readNwchem("w.out", c.text); }).find(c.message), std::string::npos)
        << c.what;

  const std::string msg =
      errorOf([] { qc::readOutput(qcFixture("nwchem/oh_autosym_opt_failed.out")); });
  EXPECT_NE(msg.find("NWChem stopped with an error (\"dft optimize failed\")"), std::string::npos)
      << msg;
}

} // namespace
} // namespace orvalen::test
