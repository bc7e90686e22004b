#pragma once

// Shared by the tests of the NWChem, Psi4 and xtb readers: where the real
// outputs are kept, and a reader fed with a text that was cut or changed.

#include "base/error.hpp"
#include "qc/readers.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace orvalen::test {

inline std::filesystem::path qcFixture(const std::string &relative) {
  return std::filesystem::path(ORVALEN_FIXTURES) / "qc" / relative;
}

inline std::filesystem::path exampleFile(const std::string &relative) {
  return std::filesystem::path(ORVALEN_SOURCE_DIR) / "examples" / relative;
}

// The text up to (not including) the first line holding `marker` after its
// `skip` earlier occurrences, then `extraLines` more lines.
inline std::string cutAt(const std::string &text, std::string_view marker, int skip = 0,
                         int extraLines = 0) {
  std::size_t pos = 0;
  for (int k = 0; k <= skip; ++k) {
    pos = text.find(marker, k == 0 ? 0 : pos + 1);
    if (pos == std::string::npos) {
      ADD_FAILURE() << "marker \"" << marker << "\" not found";
      return text;
    }
  }
  pos = text.rfind('\n', pos);
  pos = pos == std::string::npos ? 0 : pos + 1;
  for (int k = 0; k < extraLines; ++k)
    pos = text.find('\n', pos) + 1;
  return text.substr(0, pos);
}

// The message of the orvalen::Error `f` throws; fails the test when it throws
// nothing or another exception.
template <class F> std::string errorOf(F &&f) {
  try {
    f();
  } catch (const Error &e) {
    return e.what();
  } catch (const std::exception &e) {
    ADD_FAILURE() << "not an orvalen::Error: " << e.what();
    return {};
  }
  ADD_FAILURE() << "no error";
  return {};
}

inline bool hasWarning(const qc::QcRecord &rec, std::string_view part) {
  for (const auto &w : rec.warnings)
    if (w.find(part) != std::string::npos)
      return true;
  return false;
}

} // namespace orvalen::test
