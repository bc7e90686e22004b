// The step every reader ends with, and the table of readers that the
// dispatch, the unknown-output message, the help and the fuzz target share.
#include "fixedio/error.hpp"
#include "qc/finish.hpp"
#include "qc/readers.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace orvalen::qc {
namespace {

// Water at a bent geometry and a linear CO2 (A).
const Atoms WATER{{8, 1, 1}, {{0.0, 0.0, 0.1}, {0.0, 0.76, -0.47}, {0.0, -0.76, -0.47}}};
const Atoms CO2{{6, 8, 8}, {{0.0, 0.0, 0.0}, {0.0, 0.0, 1.16}, {0.0, 0.0, -1.16}}};

std::string errorOf(const Atoms &geometry, std::optional<FrequencyAnalysis> analysis,
                    std::optional<OptimisationAfterFrequencies> movedOn) {
  QcRecord rec;
  try {
    finishRecord("t.out", geometry, std::move(analysis), movedOn, rec);
  } catch (const Error &e) {
    return e.what();
  }
  return "(no error)";
}

TEST(FinishRecord, AllModesLoseTheTranslationsAndRotationsVibrationsAloneStay) {
  // Nine modes of three atoms: the six of smallest |frequency| go, whatever
  // their intensity; the order of the rest is kept.
  QcRecord rec;
  finishRecord("t.out", WATER,
               FrequencyAnalysis{4,
                                 {-0.5, 0.1, 3651.9, 2.0, -1.0, 1539.0, 0.3, 3643.3, 0.0},
                                 {50.0, 0.0, 16.8, 9.0, 0.0, 133.6, 0.0, 6.7, 0.0},
                                 true},
               std::nullopt, rec);
  EXPECT_EQ(rec.atomicNumbers, WATER.z);
  EXPECT_EQ(rec.coords, WATER.r);
  EXPECT_EQ(rec.frequencies, (std::vector<double>{3651.9, 1539.0, 3643.3}));
  EXPECT_EQ(rec.intensities, (std::vector<double>{16.8, 133.6, 6.7}));
  EXPECT_TRUE(rec.hasIntensities);

  // The 3N-6 vibrations alone, no intensities printed: written as 0.
  QcRecord vib;
  finishRecord("t.out", WATER, FrequencyAnalysis{4, {1539.0, 3643.3, 3651.9}, {}, false},
               std::nullopt, vib);
  EXPECT_EQ(vib.frequencies, (std::vector<double>{1539.0, 3643.3, 3651.9}));
  EXPECT_EQ(vib.intensities, (std::vector<double>(3, 0.0)));
  EXPECT_FALSE(vib.hasIntensities);

  // Linear: 3N-5 = 4 of 9 modes stay.
  QcRecord linear;
  finishRecord(
      "t.out", CO2,
      FrequencyAnalysis{0, {0.0, 0.0, 0.0, 0.0, 0.0, 600.0, 600.0, 1425.2, 2593.8}, {}, false},
      std::nullopt, linear);
  EXPECT_EQ(linear.frequencies, (std::vector<double>{600.0, 600.0, 1425.2, 2593.8}));

  // An atom: three translations, no vibration.
  QcRecord atom;
  finishRecord("t.out", Atoms{{1}, {{0.0, 0.0, 0.0}}},
               FrequencyAnalysis{0, {0.0, 0.0, 0.0}, {}, false}, std::nullopt, atom);
  EXPECT_TRUE(atom.frequencies.empty());
  EXPECT_TRUE(atom.intensities.empty());

  // No analysis at all (a single point): the geometry only.
  QcRecord single;
  finishRecord("t.out", WATER, std::nullopt, std::nullopt, single);
  EXPECT_EQ(single.coords, WATER.r);
  EXPECT_TRUE(single.frequencies.empty());
}

TEST(FinishRecord, RefusesFrequenciesThatAreNotTheGeometrys) {
  // One message for every program: which analysis, which optimisation, the cure.
  EXPECT_EQ(errorOf(WATER, FrequencyAnalysis{699, {1539.0, 3643.3, 3651.9}, {}, false},
                    OptimisationAfterFrequencies{1090, false}),
            "t.out: the frequencies (line 700) belong to the geometry before the optimisation "
            "at line 1091, not to the final one; run a frequency analysis at the final geometry");
  EXPECT_EQ(errorOf(WATER, FrequencyAnalysis{88, {1539.0, 3643.3, 3651.9}, {}, false},
                    OptimisationAfterFrequencies{134, true}),
            "t.out: the frequencies (line 89) belong to the geometry before the saddle-point "
            "search at line 135, not to the final one; run a frequency analysis at the final "
            "geometry");
  // Neither 3N = 9 modes nor the 3N-6 = 3 (linear: 3N-5 = 4) vibrations.
  EXPECT_EQ(errorOf(WATER, FrequencyAnalysis{9, {1539.0, 3643.3}, {}, false}, std::nullopt),
            "t.out line 10: the frequency table has 2 modes where 3 atoms have 3");
  EXPECT_EQ(errorOf(CO2, FrequencyAnalysis{9, {600.0, 1425.2, 2593.8}, {}, false}, std::nullopt),
            "t.out line 10: the frequency table has 3 modes where 3 atoms in a line have 4");
  // An analysis printed before any geometry belongs to none.
  EXPECT_EQ(errorOf(Atoms{}, FrequencyAnalysis{}, std::nullopt), "t.out: no geometry found");
}

TEST(ReaderTable, OneRowPerProgramAndEachReadsItsOwnOutputs) {
  // One real output per program, under tests/fixtures/qc.
  const std::filesystem::path qc = std::filesystem::path(ORVALEN_FIXTURES) / "qc";
  const std::vector<std::pair<std::string, std::string>> outputs = {
      {"Gaussian", "gaussian/isobutane.out"},
      {"ORCA", "orca/Orca_opt_freq_test.log"},
      {"NWChem", "nwchem/h2o_scf_freq.out"},
      {"Psi4", "psi4/h2o_opt_freq.out"},
      {"xtb", "xtb/h2o/h2o.out"},
  };
  std::set<std::string> programs;
  std::set<int> places;
  for (const Reader &r : readers()) {
    EXPECT_TRUE(programs.insert(std::string(r.program)).second) << r.program << " twice";
    EXPECT_TRUE(places.insert(r.listed).second) << r.program << " listed in a taken place";
  }
  ASSERT_EQ(programs.size(), outputs.size());
  for (const auto &[program, path] : outputs) {
    const std::string text = readTextFile(qc / path);
    // The first row that recognises the output is the program's, and its
    // record carries the program's name as the table spells it.
    const Reader *taken = nullptr;
    for (const Reader &r : readers())
      if (!taken && r.recognises(text))
        taken = &r;
    ASSERT_NE(taken, nullptr) << path;
    EXPECT_EQ(taken->program, program) << path;
    EXPECT_EQ(taken->read(qc / path, text).program, program) << path;
    EXPECT_EQ(readOutput(qc / path).program, program) << path;
  }
}

} // namespace
} // namespace orvalen::qc
