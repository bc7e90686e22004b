#include "rates_fixture.hpp"

#include "support/temp_dir.hpp"

#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace orvalen {
namespace {

using test::fixturePath;
using test::readFile;
using test::readJob;
using test::writeRateSections;

// Each case is a molecule table with its totals filled by hand (<case>.tab) and
// the report text of the reaction, rate, effective rate constant and tunnelling
// sections worked out from the formulas by make_expected.py (<case>.txt).
TEST(RateSections, WholeSectionsMatchTheHandCalculation) {
  const char *cases[] = {
      "one_to_one",      // A == B; no transition state: tunnelling from a zero frequency
      "same_both_sides", // every Dr total 0, DrQ 1
      "m1_unimolecular", // Fc 1 everywhere, m0/molecule0/s; endoergic lower side; P = 2 bar
      "m2_oh_ch4",       // Fc at 298.15 K, KEFF n = 1, u > 2 pi so kST is kST2
      "m3_termolecular", // the m6/molecule2/s line, KEFF n = 2 with C = 1e19, no products
      "m5_two_ts",       // two transition states, asterisks in the units line
      "ten_to_ten",      // lines of several hundred characters, KEFF powers overflowing
      "long_title",      // titles cut at 255 characters, names cut to 15, file names to 14
      "keff_without_ts", // effective rate constant from kG values of 0
  };
  for (const std::string name : cases) {
    const test::Job job = readJob(fixturePath(name + ".tab"));
    EXPECT_EQ(writeRateSections(job), readFile(fixturePath(name + ".txt"))) << name;
  }
}

TEST(RateSections, TenOnEachSideWritesEveryColumnOnOneLine) {
  const test::Job job = readJob(fixturePath("ten_to_ten.tab"));
  const auto written = test::linesOf(writeRateSections(job));
  // 8-character label, 10 columns of 15, 12 blanks, 10 columns of 15, then the
  // reaction total: 8 blanks and three fields of 15.
  const std::size_t rowE = 8 + 150 + 12 + 150 + 8 + 45;
  int rows = 0;
  for (const auto &line : written)
    if (line.rfind(" E ", 0) == 0 || line.rfind(" E+", 0) == 0) {
      EXPECT_EQ(line.size(), rowE) << line;
      ++rows;
    }
  EXPECT_EQ(rows, 5);
}

TEST(RateSections, JobPressureChangesOnlyThePressureLines) {
  // Fc uses the fixed standard pressure; the job pressure reaches the rate
  // constants only through each molecule's QTOT, which is held fixed here.
  test::Job job = readJob(fixturePath("m2_oh_ch4.tab"));
  const auto atOneAtm = test::linesOf(writeRateSections(job));
  job.cond.P = 250000.0;
  const auto atHigherP = test::linesOf(writeRateSections(job));
  ASSERT_EQ(atOneAtm.size(), atHigherP.size());
  int differing = 0;
  for (std::size_t i = 0; i < atOneAtm.size(); ++i)
    if (atOneAtm[i] != atHigherP[i]) {
      EXPECT_EQ(atHigherP[i].rfind(" Pressure     = ", 0), 0u) << atHigherP[i];
      ++differing;
    }
  EXPECT_EQ(differing, 2); // one in the reaction section, one in the rate section
}

} // namespace
} // namespace orvalen
