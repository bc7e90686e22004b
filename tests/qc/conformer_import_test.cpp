// Several outputs of one molecule in one data file: the real xtb outputs of
// ethanol's conformers (tests/fixtures/qc/xtb/conformers, README.md there):
// the structure of lowest E0 is the main one, the others in the conformers
// block; duplicates kept once, the first given; mirror images counted by
// the optical isomers; refused: another molecule, another connectivity, a
// saddle point among minima, an --energy count that does not match.
#include "base/error.hpp"
#include "molecule/mol_file.hpp"
#include "qc/import.hpp"
#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace orvalen::qc {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

const fs::path XTB = fs::path(ORVALEN_FIXTURES) / "qc" / "xtb";
const fs::path CONFORMERS = XTB / "conformers";

fs::path output(const std::string &name) {
  return CONFORMERS / name / (name + ".out");
}

std::vector<fs::path> outputs(const std::vector<std::string> &names) {
  std::vector<fs::path> paths;
  for (const std::string &n : names)
    paths.push_back(output(n));
  return paths;
}

Imported importNamed(const std::vector<std::string> &names) {
  return importConformers(outputs(names), {}, {});
}

std::string errorOf(const std::vector<fs::path> &paths,
                    const std::vector<fs::path> &energies = {}) {
  try {
    importConformers(paths, energies, {});
  } catch (const Error &e) {
    return e.what();
  }
  return "(no error)";
}

// The total energies xtb printed (TOTAL ENERGY box), Hartree.
constexpr double E_TRANS = -11.391867431995;
constexpr double E_TRANS_AGAIN = -11.391867432866;
constexpr double E_GAUCHE = -11.394339376232;

bool warned(const Imported &imp, const std::string &part) {
  for (const std::string &w : imp.warnings)
    if (w.find(part) != std::string::npos)
      return true;
  return false;
}

TEST(ConformerImport, TheLowestE0IsTheMainStructureWhereverItIsGiven) {
  // Gauche is 6.5 kJ/mol below trans in E at GFN2-xTB and stays below in E0.
  const Imported imp = importNamed({"ethanol_trans", "ethanol_gauche"});
  EXPECT_DOUBLE_EQ(*imp.data.energy, E_GAUCHE);
  EXPECT_EQ(imp.data.opticalIsomers, 2); // gauche ethanol is chiral
  ASSERT_EQ(imp.data.conformers.size(), 1u);
  const Conformer &c = imp.data.conformers[0];
  EXPECT_EQ(c.source, output("ethanol_trans").string());
  EXPECT_DOUBLE_EQ(c.etot, E_TRANS);
  EXPECT_EQ(c.rotnum, 1);
  EXPECT_EQ(c.opticalIsomers, 1); // trans ethanol has a mirror plane (Cs)
  EXPECT_EQ(c.freq.size(), 21u);  // 3 x 9 - 6
  EXPECT_GT(c.pmoi[0], 0.0);
  EXPECT_NE(imp.data.title.back().find("from " + output("ethanol_gauche").string()),
            std::string::npos)
      << imp.data.title.back();
}

TEST(ConformerImport, ADuplicateGivenFirstIsTheOneKept) {
  // trans_again and trans converged to one minimum from two starts (E 2e-6
  // kJ/mol apart, trans_again lower): the first given stays; gauche, the
  // lowest, is not lost.
  const Imported imp = importNamed({"ethanol_trans_again", "ethanol_gauche", "ethanol_trans"});
  EXPECT_DOUBLE_EQ(*imp.data.energy, E_GAUCHE);
  ASSERT_EQ(imp.data.conformers.size(), 1u);
  EXPECT_DOUBLE_EQ(imp.data.conformers[0].etot, E_TRANS_AGAIN);
  EXPECT_TRUE(warned(imp, output("ethanol_trans").string() + ": the same structure as " +
                              output("ethanol_trans_again").string()));
}

TEST(ConformerImport, TheLowestGivenTwiceKeepsTheFirstAsTheMainStructure) {
  // The mirror image of the lowest structure given first: it is kept as the
  // main structure, the other one left out as its second optical isomer.
  const Imported imp = importNamed({"ethanol_gauche_mirror", "ethanol_trans", "ethanol_gauche"});
  EXPECT_DOUBLE_EQ(*imp.data.energy, E_GAUCHE);
  EXPECT_EQ(imp.data.opticalIsomers, 2);
  EXPECT_NE(imp.data.title.back().find("from " + output("ethanol_gauche_mirror").string()),
            std::string::npos);
  ASSERT_EQ(imp.data.conformers.size(), 1u);
  EXPECT_DOUBLE_EQ(imp.data.conformers[0].etot, E_TRANS);
  EXPECT_TRUE(warned(imp, output("ethanol_gauche").string() + ": the mirror image of " +
                              output("ethanol_gauche_mirror").string() +
                              ", whose 2 optical isomers count it already"));
}

TEST(ConformerImport, WhatIsNotAConformerIsRefusedNamingTheOutput) {
  const fs::path water = XTB / "h2o" / "h2o.out";
  struct Case {
    std::vector<fs::path> paths;
    std::vector<fs::path> energies;
    std::string named, message;
  } cases[] = {
      {{output("ethanol_trans"), water}, {}, water.string(), "another molecule"},
      {outputs({"ethanol_gauche", "dimethyl_ether"}),
       {},
       output("dimethyl_ether").string(),
       "another connectivity, not a conformer"},
      {outputs({"ethanol_gauche", "ethanol_cis_ts"}),
       {},
       output("ethanol_cis_ts").string(),
       "a saddle point (one imaginary frequency) among minima"},
      {outputs({"ethanol_cis_ts", "ethanol_gauche"}),
       {},
       output("ethanol_gauche").string(),
       "a minimum (no imaginary frequency) among saddle points"},
      {outputs({"ethanol_trans", "ethanol_gauche"}),
       {output("ethanol_trans")},
       "--energy given 1 times for 2 outputs",
       "once per output"},
  };
  for (const Case &c : cases) {
    const std::string error = errorOf(c.paths, c.energies);
    EXPECT_NE(error.find(c.named), std::string::npos) << c.named << "\n" << error;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.message << "\n" << error;
  }
}

TEST(ConformerImport, TheBondsAreComparedInAnyAtomOrder) {
  // Dimethyl ether computed again with its atoms in another order is the
  // same molecule, the same structure even (kept once); ethanol, of the same
  // atoms, is another connectivity.
  const Imported same = importNamed({"dimethyl_ether", "dimethyl_ether_reordered"});
  EXPECT_TRUE(same.data.conformers.empty());
  EXPECT_TRUE(warned(same, output("dimethyl_ether_reordered").string() +
                               ": the same structure as " + output("dimethyl_ether").string()));
  const std::string error = errorOf(outputs({"dimethyl_ether", "ethanol_trans"}));
  EXPECT_NE(error.find("C-C 1, C-H 5, C-O 1, H-O 1 against C-H 6, C-O 2"), std::string::npos)
      << error;
}

TEST(ConformerImport, EachEnergyFileGoesToItsOutputInOrder) {
  // The saddle points of examples/h_hcooh_nwchem, each output its own single
  // point: given in order, every energy is its structure's; swapped, each
  // energy file's geometry is the other structure's and says so.
  const fs::path calc = fs::path(ORVALEN_SOURCE_DIR) / "examples/h_hcooh_nwchem/calculations";
  const std::vector<fs::path> saddles = {calc / "ts_z.out", calc / "ts_e.out"};
  const Imported inOrder = importConformers(saddles, saddles, {});
  // The last "Total DFT energy" before "Optimization converged" of each.
  EXPECT_DOUBLE_EQ(*inOrder.data.energy, -190.143254002474); // ts_z.out's
  ASSERT_EQ(inOrder.data.conformers.size(), 1u);
  EXPECT_DOUBLE_EQ(inOrder.data.conformers[0].etot, -190.140009322026); // ts_e.out's
  EXPECT_FALSE(warned(inOrder, "its geometry differs"));
  const Imported swapped = importConformers(saddles, {saddles[1], saddles[0]}, {});
  EXPECT_TRUE(warned(swapped, saddles[1].string() +
                                  ": its geometry differs from the one the "
                                  "frequencies of " +
                                  saddles[0].string()));
}

TEST(ConformerImport, OptionsOfOneStructureAreRefused) {
  ImportOptions o;
  o.rotationNumber = 2;
  EXPECT_THROW(importConformers(outputs({"ethanol_trans", "ethanol_gauche"}), {}, o), Error);
  ImportOptions v;
  v.energyValue = -11.0;
  EXPECT_THROW(importConformers(outputs({"ethanol_trans", "ethanol_gauche"}), {}, v), Error);
}

TEST(ConformerImportCli, OneDataFileThatTheScanSumsAndOrvalenLeavesOut) {
  TempDir dir;
  for (const char *d : {"ethanol_trans", "ethanol_gauche"})
    fs::copy(CONFORMERS / d, dir / d);
  const auto r = test::runProgram(
      ORVALEN_IMPORT_BINARY, dir.path(),
      "ethanol_trans/ethanol_trans.out ethanol_gauche/ethanol_gauche.out -o ethanol.dat");
  ASSERT_EQ(r.status, 0) << r.stderrText;
  const std::string data = dir.read("ethanol.dat");
  EXPECT_NE(data.find(" Conformers (Hartree, amu*A^2, cm-1)\n"), std::string::npos);
  EXPECT_NE(data.find("     2     -11.39186743     1     1  ethanol_trans/ethanol_trans.out\n"),
            std::string::npos)
      << data;
  // --energy once for two outputs: refused, nothing written.
  const auto bad = test::runProgram(ORVALEN_IMPORT_BINARY, dir.path(),
                                    "ethanol_trans/ethanol_trans.out "
                                    "ethanol_gauche/ethanol_gauche.out --energy "
                                    "ethanol_trans/ethanol_trans.out -o other.dat");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.stderrText.find("--energy given 1 times for 2 outputs"), std::string::npos)
      << bad.stderrText;
  EXPECT_FALSE(fs::exists(dir / "other.dat"));

  dir.write("job.inp", "REACT ETOH ethanol.dat\n");
  const auto run = test::runProgram(ORVALEN_BINARY, dir.path(), "job");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.stderrText.find("ETOH (2 optical isomers, 2 conformers)"), std::string::npos)
      << run.stderrText;
  EXPECT_NE(run.stderrText.find("the main structure (of lowest E0) of each molecule alone"),
            std::string::npos)
      << run.stderrText;
}

} // namespace
} // namespace orvalen::qc
