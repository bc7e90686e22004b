// The step every reader ends with, and the table of readers that the
// dispatch, the unknown-output message, the help and the fuzz target share.
#include "base/error.hpp"
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

// An output whose one job step ends at line 5000 and that finished there.
JobSteps endedAt5000() {
  JobSteps steps;
  steps.closing = "Normal termination";
  steps.endAt(4999);
  steps.finished = true;
  return steps;
}
const JobSteps ENDED = endedAt5000();

std::string errorOf(const Atoms &geometry, std::optional<FrequencyAnalysis> analysis,
                    std::optional<OptimisationAfterFrequencies> movedOn) {
  QcRecord rec;
  try {
    finishRecord("t.out", geometry, std::move(analysis), movedOn, {ENDED, 1200}, rec);
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
               std::nullopt, {ENDED, 10}, rec);
  EXPECT_EQ(rec.atomicNumbers, WATER.z);
  EXPECT_EQ(rec.coords, WATER.r);
  EXPECT_EQ(rec.frequencies, (std::vector<double>{3651.9, 1539.0, 3643.3}));
  EXPECT_EQ(rec.intensities, (std::vector<double>{16.8, 133.6, 6.7}));
  EXPECT_TRUE(rec.hasIntensities);

  // The 3N-6 vibrations alone, no intensities printed: written as 0.
  QcRecord vib;
  finishRecord("t.out", WATER, FrequencyAnalysis{4, {1539.0, 3643.3, 3651.9}, {}, false},
               std::nullopt, {ENDED, 10}, vib);
  EXPECT_EQ(vib.frequencies, (std::vector<double>{1539.0, 3643.3, 3651.9}));
  EXPECT_EQ(vib.intensities, (std::vector<double>(3, 0.0)));
  EXPECT_FALSE(vib.hasIntensities);

  // Linear: 3N-5 = 4 of 9 modes stay.
  QcRecord linear;
  finishRecord(
      "t.out", CO2,
      FrequencyAnalysis{0, {0.0, 0.0, 0.0, 0.0, 0.0, 600.0, 600.0, 1425.2, 2593.8}, {}, false},
      std::nullopt, {ENDED, 10}, linear);
  EXPECT_EQ(linear.frequencies, (std::vector<double>{600.0, 600.0, 1425.2, 2593.8}));

  // An atom: three translations, no vibration.
  QcRecord atom;
  finishRecord("t.out", Atoms{{1}, {{0.0, 0.0, 0.0}}},
               FrequencyAnalysis{0, {0.0, 0.0, 0.0}, {}, false}, std::nullopt, {ENDED, 10}, atom);
  EXPECT_TRUE(atom.frequencies.empty());
  EXPECT_TRUE(atom.intensities.empty());

  // No analysis at all (a single point): the geometry only.
  QcRecord single;
  finishRecord("t.out", WATER, std::nullopt, std::nullopt, {ENDED, 10}, single);
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

TEST(FinishRecord, ValuesOnlyFromAJobStepThatEnded) {
  // Steps end at lines 100 (normally), 200 (normally) and 300 (with an
  // error); the run did not get to its closing line.
  JobSteps steps;
  steps.closing = "Normal termination of Gaussian";
  steps.endAt(99);
  steps.endAt(199);
  steps.endAt(299, false);
  const auto finish = [&](const JobSteps &s, std::size_t lastValue) {
    QcRecord rec;
    finishRecord("t.out", WATER, FrequencyAnalysis{4, {1539.0, 3643.3, 3651.9}, {}, false},
                 std::nullopt, {s, lastValue}, rec);
    return rec;
  };
  // Values in the first or second step: read, with the one warning that
  // names the step they come from.
  for (const auto &[lastValue, end] : {std::pair{50, 100}, {98, 100}, {150, 200}}) {
    const QcRecord rec = finish(steps, static_cast<std::size_t>(lastValue));
    EXPECT_EQ(rec.frequencies, (std::vector<double>{1539.0, 3643.3, 3651.9}));
    ASSERT_EQ(rec.warnings.size(), 1u);
    EXPECT_EQ(rec.warnings[0],
              "the run did not finish: the output stops without \"Normal termination of "
              "Gaussian\" at its end; the values read are those of the job step that ends at "
              "line " +
                  std::to_string(end));
  }
  // Values of the step that stopped with an error, or after the last end.
  try {
    finish(steps, 250);
    ADD_FAILURE() << "values of a step that stopped with an error read";
  } catch (const Error &e) {
    EXPECT_EQ(std::string(e.what()),
              "t.out line 251: the job step that printed this line, the last of the values "
              "read, stopped with an error at line 300; its values are not to be trusted");
  }
  try {
    finish(steps, 300);
    ADD_FAILURE() << "values after the last end read";
  } catch (const Error &e) {
    EXPECT_EQ(std::string(e.what()),
              "t.out line 301: the job step that printed this line, the last of the values "
              "read, does not end (no \"Normal termination of Gaussian\" or end of step after "
              "it): the output is cut short, or the job is still running; read it when the job "
              "has ended");
  }
  // The reason a reader gives for the run that did not finish.
  JobSteps stopped = steps;
  stopped.stopped = "NWChem stopped with an error after the frequency analysis (line 300)";
  EXPECT_EQ(finish(stopped, 150).warnings,
            (std::vector<std::string>{
                "the run did not finish: NWChem stopped with an error after the frequency "
                "analysis (line 300); the values read are those of the job step that ends at "
                "line 200"}));
  // A run that finished: no word; ends noted out of order are found all the same.
  JobSteps finished;
  finished.endAt(199);
  finished.endAt(99);
  finished.finished = true;
  EXPECT_TRUE(finish(finished, 150).warnings.empty());
  EXPECT_TRUE(finish(finished, 20).warnings.empty());
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
