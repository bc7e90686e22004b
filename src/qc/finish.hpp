#pragma once
// The step every reader ends with (OutputReader::read, output_reader.hpp,
// hands it the reader's parts). The reader decides, in its program's terms,
// which geometry the record is about (the one the last frequency analysis was
// computed at, else the final one), whether an optimisation printed after
// that analysis left its geometry, where its job steps end and the last line
// it took a value from; this step refuses such an output with one message for
// every program, refuses values whose job step did not end (an output cut
// short, or a step that stopped with an error), warns when only a later step
// did not finish, and hands the record the geometry and the vibrations of the
// analysis.
//
//   finishRecord(file, atFrequencies, std::move(analysis), movedOn,
//                {steps, lastValueLine}, rec);
#include "qc/geometry_names.hpp"
#include "qc/qc_record.hpp"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvalen::qc {

// The last frequency analysis of an output, as the program printed it.
struct FrequencyAnalysis {
  std::size_t line = 0; // index of its heading line (counted from 0)
  // cm-1, in the program's order: either all 3N modes, the translations and
  // rotations among them near 0, or the 3N-6 (3N-5) vibrations alone.
  std::vector<double> frequencies;
  std::vector<double> intensities; // km/mol, one per frequency when hasIntensities
  bool hasIntensities = false;
  // The normal mode of each frequency, in the same order (see
  // QcRecord::normalModes); empty when the program printed none. Kept only
  // when there is one per frequency, each of one displacement per atom, and
  // no job step ends between the values read and `modesEnd`, its last line.
  std::vector<std::vector<Vec3>> normalModes{};
  std::size_t modesEnd = 0;
};

// An optimisation printed after the frequency analysis that did not end at
// its geometry (a path, an IRC or a scan, is none: its points are not the
// molecule's geometry).
struct OptimisationAfterFrequencies {
  std::size_t line = 0; // where the output shows it (index counted from 0)
  bool saddle = false;  // a saddle-point search
};

// Where the job steps of an output end, in the program's terms: a job of a
// Link1 chain ends in "Normal termination of Gaussian", an NWChem task in
// "Task  times", ... A value is taken only from a step whose end follows it:
// a program prints its numbers as it goes, so an output cut inside a step
// (or a step still running) shows some of them, and a number cut inside its
// line was never whole.
struct JobSteps {
  struct End {
    std::size_t line = 0; // index of the line that closes the step (counted from 0)
    bool normal = true;   // false: the step stopped with an error there
  };
  std::vector<End> ends;    // in the order of the output
  std::string_view closing; // the program's closing line, as messages quote it
  // The run got to its closing line. When it did not, `stopped` may say why
  // ("NWChem stopped with an error after the frequency analysis (line 5171:
  // ...)"); otherwise the output stops without the closing line.
  bool finished = false;
  std::string stopped;

  void endAt(std::size_t line, bool normal = true) { ends.push_back({line, normal}); }
};

// What the record was read from: the steps of the output and the last line a
// value of the record was taken from (geometry, energy, charge, multiplicity,
// frequencies, intensities).
struct ValuesRead {
  const JobSteps &steps;
  std::size_t lastLine = 0;
};

// Fills the geometry, frequencies and intensities of `rec` from `geometry` and
// `analysis` (none for an output without a frequency analysis). Throws
// orvalen::Error "FILE: no geometry found" for a geometry without atoms,
// "FILE: the frequencies (line N) belong to the geometry before ..." when
// `movedOn` is given, "FILE line N: the frequency table has ..." when the
// analysis holds neither 3N modes nor the vibrations of the geometry, and
// "FILE line N: the job step that printed ..." when the step of the values
// read has no end after them or ends in an error. Adds the one warning "the
// run did not finish ..." when only a later step did not end.
void finishRecord(const std::filesystem::path &file, const Atoms &geometry,
                  std::optional<FrequencyAnalysis> analysis,
                  const std::optional<OptimisationAfterFrequencies> &movedOn,
                  const ValuesRead &read, QcRecord &rec);

} // namespace orvalen::qc
