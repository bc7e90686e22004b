#pragma once

// Body of the fuzz target for the readers of quantum-chemistry output
// (fuzz_qc_output.cpp), shared with the test that replays the inputs kept in
// tests/fuzz/regressions/qc_output/ (tests/qc/fuzz_regression_test.cpp).
//
// The bytes go to every reader of qc::readers() directly, whatever their
// banner says, and to the dispatch by content. A stop with orvalen::Error is
// the expected answer to bad input; anything else (another exception, a crash,
// a sanitizer report, a hang) is a finding. A record handed back must be whole.

#include "fuzz/fuzz_targets.hpp"
#include "qc/readers.hpp"

#include <cmath>
#include <string>

namespace orvalen::fuzz {

inline void checkRecord(const qc::QcRecord &rec, const std::string &reader) {
  if (rec.atomicNumbers.size() != rec.coords.size())
    broken(reader + ": " + std::to_string(rec.atomicNumbers.size()) + " elements for " +
           std::to_string(rec.coords.size()) + " atoms");
  if (rec.coords.empty())
    broken(reader + ": a record without atoms");
  if (rec.intensities.size() != rec.frequencies.size())
    broken(reader + ": " + std::to_string(rec.intensities.size()) + " intensities for " +
           std::to_string(rec.frequencies.size()) + " frequencies");
  if (rec.frequencies.size() > 3 * rec.coords.size())
    broken(reader + ": more than 3N frequencies");
  // NaN where the output printed no energy (Gaussian, ORCA); never infinite.
  if (std::isinf(rec.energy))
    broken(reader + ": energy infinite");
  for (const auto &p : rec.coords)
    for (double x : p)
      if (!std::isfinite(x))
        broken(reader + ": coordinate not finite");
}

// The files an xtb output may name beside it are looked for in `dir`, which
// is emptied first, so only the output itself is read.
inline void qcOutput(Bytes data, const ScratchDir &dir) {
  const std::string_view text = asText(data);
  const fs::path file = dir.path() / "calc.out";
  dir.clear();
  for (const qc::Reader &r : qc::readers()) {
    try {
      checkRecord(r.read(file, text), std::string(r.program));
    } catch (const Error &) {
    }
  }
  writeBytes(file, text);
  try {
    checkRecord(qc::readOutput(file), "readOutput");
  } catch (const Error &) {
  }
}

} // namespace orvalen::fuzz
