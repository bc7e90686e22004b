#pragma once
// The step every reader ends with. The reader decides, in its program's terms,
// which geometry the record is about (the one the last frequency analysis was
// computed at, else the final one) and whether an optimisation printed after
// that analysis left its geometry; this step refuses such an output with one
// message for every program, and hands the record the geometry and the
// vibrations of the analysis.
//
//   finishRecord(file, atFrequencies, std::move(analysis), movedOn, rec);
//   return rec;
#include "qc/geometry.hpp"
#include "qc/qc_record.hpp"

#include <cstddef>
#include <filesystem>
#include <optional>
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
};

// An optimisation printed after the frequency analysis that did not end at
// its geometry (a path, an IRC or a scan, is none: its points are not the
// molecule's geometry).
struct OptimisationAfterFrequencies {
  std::size_t line = 0; // where the output shows it (index counted from 0)
  bool saddle = false;  // a saddle-point search
};

// Fills the geometry, frequencies and intensities of `rec` from `geometry` and
// `analysis` (none for an output without a frequency analysis). Throws
// orvalen::Error "FILE: no geometry found" for a geometry without atoms,
// "FILE: the frequencies (line N) belong to the geometry before ..." when
// `movedOn` is given, and "FILE line N: the frequency table has ..." when the
// analysis holds neither 3N modes nor the vibrations of the geometry.
void finishRecord(const std::filesystem::path &file, const Atoms &geometry,
                  std::optional<FrequencyAnalysis> analysis,
                  const std::optional<OptimisationAfterFrequencies> &movedOn, QcRecord &rec);

} // namespace orvalen::qc
