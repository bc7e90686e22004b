// examples/mechanism: its import script writes the committed data files from
// the calculations, and orvalen-mech makes one mechanism of the two reactions
// from them without a warning, every species' NASA fit within the bounds.

#include "mech/mechanism.hpp"

#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orvalen::test {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path &p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

const fs::path EXAMPLES = fs::path(ORVALEN_SOURCE_DIR) / "examples";

TEST(MechExample, ImportScriptAndMechanism) {
  TempDir dir;
  // import.sh reads ../h_ch4_nwchem and ../h_c2h6_nwchem beside its own folder.
  for (const char *folder : {"h_ch4_nwchem", "h_c2h6_nwchem", "mechanism"}) {
    fs::create_directories(dir / folder);
    fs::copy(EXAMPLES / folder / "calculations", dir / folder / "calculations",
             fs::copy_options::recursive);
  }
  const fs::path here = dir / "mechanism";
  for (const char *f : {"import.sh", "jobs.txt", "h_ch4.inp", "h_c2h6.inp", "atoms.txt"})
    fs::copy_file(EXAMPLES / "mechanism" / f, here / f);
  const RunResult imp = runProgram(
      "env", here, "ORVALEN_IMPORT=" + shellQuote(ORVALEN_IMPORT_BINARY) + " sh import.sh");
  ASSERT_EQ(imp.status, 0) << imp.stderrText;
  for (const char *dat : {"h.dat", "ch4.dat", "h2.dat", "ch3.dat", "ch5_ts.dat", "c2h6.dat",
                          "c2h5.dat", "c2h7_ts.dat", "c.dat"})
    EXPECT_EQ(readFile(here / dat), readFile(EXAMPLES / "mechanism" / dat)) << dat;

  const RunResult run = runProgram(ORVALEN_MECH_BINARY, here,
                                   "--jobs jobs.txt --atoms atoms.txt --spin-orbit-shift "
                                   "-o mech.yaml --chemkin mech.inp --thermo therm.dat");
  EXPECT_EQ(run.status, 0) << run.stderrText;
  EXPECT_EQ(run.stderrText, "");

  mech::MechRequest q;
  q.jobs = {(here / "h_ch4.inp").string(), (here / "h_c2h6.inp").string()};
  q.atoms = (here / "atoms.txt").string();
  for (double T = 300.0; T <= 2000.0; T += 10.0)
    q.fitTemperatures.push_back(T);
  mech::Mechanism m;
  mech::buildMechanism(q, m);
  std::vector<std::string> names;
  for (const mech::Species &s : m.species) {
    names.push_back(s.name);
    EXPECT_TRUE(s.deviation.withinBounds)
        << s.name << ": Cp " << s.deviation.cpPercent << " %, H " << s.deviation.h << " kJ/mol, S "
        << s.deviation.s << " J/mol/K";
  }
  EXPECT_EQ(names, (std::vector<std::string>{"H", "CH4", "H2", "CH3", "C2H6", "C2H5"}));
  ASSERT_EQ(m.reactions.size(), 2u);
  EXPECT_EQ(m.reactions[1].equation(), "H + C2H6 <=> H2 + C2H5");
}

} // namespace
} // namespace orvalen::test
