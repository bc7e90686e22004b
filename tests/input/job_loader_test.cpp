#include "base/error.hpp"
#include "input/job_loader.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

namespace orvalen {
namespace {

using test::TempDir;

// The one policy in which orvalen and orvalen-scan differ: what a missing job
// input or data file means. Nothing else about loading may depend on it.
TEST(JobLoader, MissingFilesAreCreatedEmptyOrRefusedUntouched) {
  struct Case {
    MissingFiles policy;
    bool jobWritten;
    bool throws;
    bool createsDataFile;
  };
  const Case cases[] = {
      {MissingFiles::CreateEmpty, true, false, true},   // orvalen: h.dat created, report unsound
      {MissingFiles::Refuse, true, true, false},        // orvalen-scan: stops, creates nothing
      {MissingFiles::CreateEmpty, false, false, false}, // empty job input created: no molecules
      {MissingFiles::Refuse, false, true, false},
  };
  for (const Case &c : cases) {
    TempDir dir;
    if (c.jobWritten)
      dir.write("job.inp", "REACT H h.dat MULT=2 ROTNUM=1\n");
    const std::string input = (dir / "job.inp").string();
    Warnings warnings;
    bool threw = false;
    try {
      const Job job = loadJob(input, c.policy, warnings);
      EXPECT_EQ(job.inputFile, input);
      EXPECT_EQ(job.mol.npart(REACTANT), c.jobWritten ? 1 : 0);
      EXPECT_EQ(warnings.reportUnsound(), c.jobWritten); // the empty data file
    } catch (const Error &e) {
      threw = true;
      EXPECT_NE(std::string(e.what()).find(c.jobWritten ? "data file h.dat not found"
                                                        : "no such job input file"),
                std::string::npos)
          << e.what();
    }
    EXPECT_EQ(threw, c.throws);
    EXPECT_EQ(std::filesystem::exists(dir / "h.dat"), c.createsDataFile);
    EXPECT_EQ(std::filesystem::exists(dir / "job.inp"), c.jobWritten || !c.throws);
  }
}

TEST(JobLoader, ReadsEveryDataFileBesideTheJobInputAndChecksTheMolecules) {
  TempDir dir;
  dir.write("job.inp", "COND TEMP=500\nREACT H h.dat ROTNUM=1\n");
  // A hydrogen atom without a multiplicity: the check of the molecules warns.
  dir.write("h.dat", " Molecular mass          :    1.0078\n Base Energy :    -0.50000000\n");
  Warnings warnings;
  const Job job = loadJob((dir / "job.inp").string(), MissingFiles::Refuse, warnings);
  EXPECT_DOUBLE_EQ(job.cond.T, 500.0);
  EXPECT_DOUBLE_EQ(job.mol.at(REACTANT, 1).mass, 1.0078);
  EXPECT_DOUBLE_EQ(job.mol.at(REACTANT, 1).etot, -0.5);
  bool multiplicityWarned = false;
  for (const auto &w : warnings.texts())
    multiplicityWarned = multiplicityWarned || w.find("multiplicity") != std::string::npos;
  EXPECT_TRUE(multiplicityWarned);
}

} // namespace
} // namespace orvalen
