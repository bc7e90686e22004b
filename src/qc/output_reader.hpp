#pragma once
// The walk every reader of a quantum-chemistry output makes, in one place: the
// output as its complete lines (Lines), one pass over them in which the
// program's reader takes what it recognises, the job steps it notes on the
// way (JobSteps, with the program's closing line), and the step every record
// ends with (finishRecord). A reader holds only what is its program's own:
// which lines it recognises and what it takes from them (`line`), and, after
// the last line, what the record is made of (`parts`).
//
//   class OrcaReader : public OutputReader {
//   public:
//     using OutputReader::OutputReader;
//   private:
//     std::size_t line(std::size_t i) override;  // a line ORCA prints
//     RecordParts parts() override;              // the geometry, the analysis, ...
//   };
//   QcRecord readOrca(const std::filesystem::path &file, std::string_view text) {
//     return OrcaReader(file, text, "ORCA", "ORCA TERMINATED NORMALLY").read();
//   }
#include "qc/finish.hpp"
#include "qc/geometry_names.hpp"
#include "qc/output_text.hpp"
#include "qc/qc_record.hpp"

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace orvalen::qc {

// What finishRecord makes the record of, as the reader chose it in its
// program's terms (see finish.hpp).
struct RecordParts {
  Atoms geometry; // the one the frequencies were computed at, else the final one
  std::optional<FrequencyAnalysis> analysis;           // none for a single point
  std::optional<OptimisationAfterFrequencies> movedOn; // an optimisation that left its geometry
  std::size_t lastValue = 0; // the last line a value of the record was taken from
};

// Of what an output printed, in its order and each with the index of its
// `line`, the last that stands before line `before`; nullptr when none does.
template <class Printed>
const Printed *lastBefore(const std::vector<Printed> &printed, std::size_t before) {
  const Printed *last = nullptr;
  for (const Printed &p : printed)
    if (p.line < before)
      last = &p;
  return last;
}

// The values a reader keeps current as the output goes (`Values`, its
// program's own: the geometry they belong to, and lastLine(), the last line
// one of them was read from) and the snapshot the last frequency analysis
// takes of them: the frequencies belong to the geometry current when their
// analysis was printed, and so do the record's values. After the analysis, an
// optimisation that leaves its geometry makes them another geometry's; a path
// (an IRC, a scan) does not, its points not being the molecule's geometry.
template <class Values> struct Snapshot {
  Values current, atFrequencies;
  bool haveFrequencies = false;
  std::size_t frequenciesLine = 0; // the heading of the last analysis
  std::size_t lastRow = 0;         // the last of its rows read
  std::optional<OptimisationAfterFrequencies> movedOn;
  bool pathAfterFrequencies = false;

  // A frequency analysis is headed by line i.
  void frequenciesAt(std::size_t i) {
    haveFrequencies = true;
    frequenciesLine = lastRow = i;
    atFrequencies = current;
    movedOn.reset();
    pathAfterFrequencies = false;
  }
  // An optimisation shows `geometry` at line i.
  void optimisedTo(const Atoms &geometry, std::size_t i) {
    if (haveFrequencies && !movedOn && !sameGeometry(geometry, atFrequencies.geometry))
      movedOn = OptimisationAfterFrequencies{i, false};
  }
  // A path starts.
  void path() { pathAfterFrequencies = pathAfterFrequencies || haveFrequencies; }

  // The values of the record: the analysis's, else the current ones.
  const Values &used() const { return haveFrequencies ? atFrequencies : current; }
  // The last line a value of the record was read from.
  std::size_t lastValue() const {
    return std::max(used().lastLine(), haveFrequencies ? lastRow : 0);
  }
  // The optimisation after the analysis that left its geometry (a saddle
  // search when `saddle`); none after a path.
  std::optional<OptimisationAfterFrequencies> leftGeometry(bool saddle) const {
    if (!movedOn || pathAfterFrequencies)
      return std::nullopt;
    return OptimisationAfterFrequencies{movedOn->line, saddle};
  }
};

class OutputReader {
public:
  // `program` as QcRecord::program names it; `closing`, the program's closing
  // line as messages quote it (JobSteps::closing). A reader inherits it.
  OutputReader(const std::filesystem::path &file, std::string_view text, std::string_view program,
               std::string_view closing);
  OutputReader(const OutputReader &) = delete;
  OutputReader &operator=(const OutputReader &) = delete;
  virtual ~OutputReader() = default;

  // Walks the output, then finishes the record of its parts. Throws
  // orvalen::Error naming the file (and line) for an output that would give a
  // wrong data file.
  QcRecord read();

protected:
  // Every line in order, each handed to `line` but those of fewer than four
  // characters, which hold nothing a reader looks for.
  void walk();
  // Line i: the reader takes what it recognises and returns the last line it
  // used (i, or the last row of a table that starts there); the walk goes on
  // after it (a reader that wants no more returns the output's last line).
  virtual std::size_t line(std::size_t i) = 0;
  // After the last line: fills the record's own values (energy, charge,
  // multiplicity, ...), says how the run ended (steps_) and hands back the
  // rest for finishRecord.
  virtual RecordParts parts() = 0;

  const std::filesystem::path &file_;
  const Lines lines_;
  QcRecord rec_;
  JobSteps steps_;
};

} // namespace orvalen::qc
