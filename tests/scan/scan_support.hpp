#pragma once

// Running orvalen-scan and orvalen on copies of job folders.

#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

#include <filesystem>
#include <string>

namespace orvalen::test {

// orvalen-scan in `dir` with the command-line tail `args` (already quoted).
inline RunResult runScanBinary(const std::filesystem::path &dir, const std::string &args) {
  return runProgram(ORVALEN_SCAN_BINARY, dir, args);
}

// Copies the .inp and .dat files of a job folder (relative to the source tree) into `to`.
inline void copyJobFolder(const std::string &folder, const std::filesystem::path &to) {
  namespace fs = std::filesystem;
  for (const auto &e : fs::directory_iterator(fs::path(ORVALEN_SOURCE_DIR) / folder)) {
    const auto ext = e.path().extension();
    if (ext == ".inp" || ext == ".dat")
      fs::copy_file(e.path(), to / e.path().filename(), fs::copy_options::overwrite_existing);
  }
}

} // namespace orvalen::test
