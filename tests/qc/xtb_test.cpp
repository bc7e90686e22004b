// The xtb reader on real xtb 6.5.1 runs (tests/fixtures/qc/xtb, one folder per
// run with the files xtb wrote beside its output, made as the README says).
// Every expected number is the one printed in the output or its files.

#include "qc/reader_fixtures.hpp"
#include "qc/readers.hpp"

#include <gtest/gtest.h>

namespace orvalen::test {
namespace {

TEST(XtbReader, WaterOptimisationThenHessian) {
  const auto rec = qc::readOutput(qcFixture("xtb/h2o/h2o.out"));
  EXPECT_EQ(rec.program, "xtb");
  EXPECT_EQ(rec.version, "6.5.1"); // "* xtb version 6.5.1 (unknown) compiled by ..."
  // "final structure:", then "O  -0.00000000000000  0.00000000013752  0.09907095225442"
  // and "H   0.00000000000000  0.77252244149279  -0.46953547607292".
  ASSERT_EQ(rec.atomicNumbers, (std::vector<int>{8, 1, 1}));
  EXPECT_DOUBLE_EQ(rec.coords[0][2], 0.09907095225442);
  EXPECT_DOUBLE_EQ(rec.coords[1][1], 0.77252244149279);
  EXPECT_DOUBLE_EQ(rec.energy, -5.070544354479); // "| TOTAL ENERGY  -5.070544354479 Eh |"
  EXPECT_EQ(rec.energyLevel, "GFN2-xTB");
  EXPECT_EQ(rec.multiplicity, 1); // no --uhf, 8 electrons
  EXPECT_TRUE(rec.optimisation);
  EXPECT_TRUE(rec.optimisationConverged);
  // "eigval :  1539.06  3643.31  3651.98"; "IR intensities": "7:133.58   8:  6.68
  // 9: 16.81", where the translations and rotations carry 34.55 to 145.67.
  EXPECT_EQ(rec.frequencies, (std::vector<double>{1539.06, 3643.31, 3651.98}));
  EXPECT_EQ(rec.intensities, (std::vector<double>{133.58, 6.68, 16.81}));
  EXPECT_TRUE(rec.hasIntensities);
  EXPECT_TRUE(rec.warnings.empty());
}

TEST(XtbReader, HessianAtTheInputGeometry) {
  // xtb --hess: no optimisation, the geometry is the coordinate file's.
  const auto rec = qc::readOutput(qcFixture("xtb/h2o_hess/h2o_hess.out"));
  EXPECT_FALSE(rec.optimisation);
  // h2o_opt.xyz: "H   0.00000240592105   0.77252162199561  -0.46953682437536"
  ASSERT_EQ(rec.coords.size(), 3u);
  EXPECT_DOUBLE_EQ(rec.coords[1][1], 0.77252162199561);
  EXPECT_EQ(rec.frequencies, (std::vector<double>{1539.06, 3643.31, 3651.98}));
}

TEST(XtbReader, DoubletFromTheUhfOfTheProgramCall) {
  // "program call : xtb ch3.xyz --ohess --uhf 1"
  const auto rec = qc::readOutput(qcFixture("xtb/ch3/ch3.out"));
  EXPECT_EQ(rec.multiplicity, 2);
  EXPECT_DOUBLE_EQ(rec.energy, -3.562970363935); // "| TOTAL ENERGY  -3.562970363935 Eh |"
  // "eigval :  492.38  1351.71  1351.83  3152.50  3244.86  3244.96"
  EXPECT_EQ(rec.frequencies,
            (std::vector<double>{492.38, 1351.71, 1351.83, 3152.50, 3244.86, 3244.96}));
}

TEST(XtbReader, LinearMoleculeAfterXtbAborted) {
  // xtb stops with SIGABRT after the frequencies of a linear molecule: no
  // TOTAL ENERGY box, no IR intensities in the output, no xtbopt.xyz.
  const auto rec = qc::readOutput(qcFixture("xtb/co2/co2.out"));
  ASSERT_EQ(rec.atomicNumbers, (std::vector<int>{6, 8, 8}));
  // "final structure:": "O  -0.00000000000000  -0.00000000000000  1.14357941210401"
  EXPECT_DOUBLE_EQ(rec.coords[1][2], 1.14357941210401);
  // Final single point: ":: total energy   -10.308452266475 Eh ::"
  EXPECT_DOUBLE_EQ(rec.energy, -10.308452266475);
  // 3N-5 = 4: "eigval : 0.00 0.00 0.00 0.00 0.00 600.04" and "600.04 1425.17 2593.78";
  // vibspectrum: "6  a  600.04  68.70690", "7  a  600.04  68.70689", "8  a  1425.17
  // 0.00000", "9  a  2593.78  1046.27575".
  EXPECT_EQ(rec.frequencies, (std::vector<double>{600.04, 600.04, 1425.17, 2593.78}));
  EXPECT_EQ(rec.intensities, (std::vector<double>{68.70690, 68.70689, 0.0, 1046.27575}));
  EXPECT_TRUE(hasWarning(rec, "final single point"));
}

TEST(XtbReader, TrapsOfTheFilesBesideTheOutput) {
  TempDir dir;
  const std::string co2 = readFile(qcFixture("xtb/co2/co2.out"));

  // A vibspectrum left from another molecule is not taken.
  dir.write("co2.out", co2);
  dir.write("vibspectrum", readFile(qcFixture("xtb/h2o/vibspectrum")));
  const auto stale = qc::readOutput(dir / "co2.out");
  EXPECT_FALSE(stale.hasIntensities);
  EXPECT_TRUE(hasWarning(stale, "vibspectrum"));

  // A linear saddle point: xtb zeroes the five lowest eigenvalues, so the
  // imaginary mode is gone and a rotation is left among the vibrations.
  std::string zeroed = co2;
  const std::string row = "eigval :        0.00     0.00     0.00     0.00     0.00   600.04";
  const auto p = zeroed.find(row);
  ASSERT_NE(p, std::string::npos);
  zeroed.replace(p, row.size(),
                 "eigval :        0.00     0.00     0.00     0.00     0.00     0.00");
  EXPECT_NE(errorOf([&] { qc::readXtb("co2.out", zeroed); }).find("xtb dropped a mode"),
            std::string::npos);

  // Output cut in the frequency blocks, or before them.
  const std::string water = readFile(qcFixture("xtb/h2o/h2o.out"));
  EXPECT_NE(errorOf([&] {
              qc::readXtb("w.out", cutAt(water, "eigval :     1539.06"));
            }).find("frequency table has 6 values where 3 atoms need 9"),
            std::string::npos);
  EXPECT_NE(errorOf([&] {
              qc::readXtb("w.out", cutAt(water, "eigval :     1539.06", 1));
            }).find("frequency table has 6 values"),
            std::string::npos);
  EXPECT_NE(errorOf([&] {
              qc::readXtb("w.out", cutAt(water, "writing file <hessian>"));
            }).find("no frequencies follow"),
            std::string::npos);
  EXPECT_NE(errorOf([&] {
              qc::readXtb("w.out", cutAt(water, "CYCLE    3"));
            }).find("optimisation did not finish"),
            std::string::npos);
}

TEST(XtbReader, AGeometryFileBesideTheOutputMustHoldItsAtoms) {
  // xtb --hess takes its geometry from the coordinate file; the output lists
  // the element of every atom ("ID Z sym. atoms": O 1, H 2, 3). A file
  // written again after the run, for another molecule or in another order of
  // atoms, belongs to other frequencies.
  struct Case {
    const char *name, *xyz, *message; // empty message: read
  };
  const Case cases[] = {
      {"the run's own", nullptr, ""},
      {"methane",
       "5\nmethane\nC 0 0 0\nH 0.63 0.63 0.63\nH -0.63 -0.63 0.63\nH -0.63 0.63 -0.63\n"
       "H 0.63 -0.63 -0.63\n",
       "h2o_opt.xyz: its 5 atoms (CH4) are not the 3 atoms (H2O, in that order) listed at line 89 "
       "of "},
      {"water, hydrogen first", "3\nwater\nH 0 0.77 -0.47\nO 0 0 0.1\nH 0 -0.77 -0.47\n",
       "h2o_opt.xyz: its 3 atoms (H2O) are not the 3 atoms (H2O, in that order) listed at line 89 "
       "of "},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    for (const char *f : {"h2o_hess.out", "h2o_opt.xyz", "vibspectrum"})
      std::filesystem::copy_file(qcFixture(std::string("xtb/h2o_hess/") + f), dir / f);
    if (c.xyz)
      dir.write("h2o_opt.xyz", c.xyz);
    if (*c.message == '\0') {
      const auto rec = qc::readOutput(dir / "h2o_hess.out");
      EXPECT_EQ(rec.atomicNumbers, (std::vector<int>{8, 1, 1}));
      EXPECT_EQ(rec.filesBeside, (std::vector<std::filesystem::path>{dir / "h2o_opt.xyz"}));
    } else {
      const std::string m = errorOf([&] { qc::readOutput(dir / "h2o_hess.out"); });
      EXPECT_EQ(m.rfind((dir / c.message).string(), 0), 0u) << m;
    }
  }
}

TEST(XtbReader, ChargeOfTheSinglePointAndMultiplicityOfTheCall) {
  // ":: total charge  -0.000000000000 e ::" and no --uhf: a neutral singlet;
  // "--uhf 1": a doublet.
  const auto water = qc::readOutput(qcFixture("xtb/h2o/h2o.out"));
  EXPECT_EQ(water.charge, 0);
  EXPECT_EQ(water.multiplicity, 1);
  const auto methyl = qc::readOutput(qcFixture("xtb/ch3/ch3.out"));
  EXPECT_EQ(methyl.charge, 0);
  EXPECT_EQ(methyl.multiplicity, 2);
}

// xtb pph3.xyz --ohess crude: the symmetry finder's two lines landed between
// rows 88 and 89 of the IR intensities; the table goes on after them.
TEST(XtbReader, SymmetryVerdictInsideTheIntensityTable) {
  const auto rec = qc::readOutput(qcFixture("xtb/pph3/pph3.out"));
  ASSERT_EQ(rec.atomicNumbers.size(), 34u); // PPh3: P, 18 C, 15 H
  ASSERT_EQ(rec.frequencies.size(), 96u);   // 3 * 34 - 6
  ASSERT_EQ(rec.intensities.size(), 96u);
  // "88: 13.75" before the two lines, "89:  9.33" and "102: 64.27" after them;
  // modes 1 to 6 are the translations and rotations.
  EXPECT_DOUBLE_EQ(rec.intensities[88 - 7], 13.75);
  EXPECT_DOUBLE_EQ(rec.intensities[89 - 7], 9.33);
  EXPECT_DOUBLE_EQ(rec.intensities.back(), 64.27);
}

TEST(XtbReader, NulBytesInATableRowReadAsBlanks) {
  std::string water = readFile(qcFixture("xtb/h2o/h2o.out"));
  const auto p = water.find("eigval :     1539.06");
  ASSERT_NE(p, std::string::npos);
  water[p + 8] = '\0';
  const auto rec = qc::readXtb(qcFixture("xtb/h2o/h2o.out"), water);
  EXPECT_EQ(rec.frequencies, (std::vector<double>{1539.06, 3643.31, 3651.98}));
}

} // namespace
} // namespace orvalen::test
