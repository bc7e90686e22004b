#pragma once

// Runs the project's real binaries in a folder and captures their exit status,
// standard output and standard error.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace orvalen::test {

struct RunResult {
  int status = -1;
  std::string stderrText;
  std::string stdoutText;
};

inline std::string shellQuote(const std::string &s) {
  std::string q = "'";
  for (char c : s)
    q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs `binary` (a path, e.g. ORVALEN_IMPORT_BINARY, or a command on the PATH)
// in `dir`, standard input empty. `args` is the command-line tail, already
// quoted as needed.
inline RunResult runProgram(const std::string &binary, const std::filesystem::path &dir,
                            const std::string &args) {
  const auto errFile = dir / ".stderr";
  const auto outFile = dir / ".stdout";
  const std::string cmd = "cd " + shellQuote(dir.string()) + " && " + shellQuote(binary) + " " +
                          args + " >" + shellQuote(outFile.string()) + " 2>" +
                          shellQuote(errFile.string()) + " </dev/null";
  const int raw = std::system(cmd.c_str());
  RunResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  auto slurp = [](const std::filesystem::path &p) {
    std::string text;
    if (FILE *f = std::fopen(p.c_str(), "rb")) {
      char buf[4096];
      std::size_t n;
      while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
      std::fclose(f);
    }
    return text;
  };
  r.stderrText = slurp(errFile);
  r.stdoutText = slurp(outFile);
  std::error_code ec;
  std::filesystem::remove(errFile, ec);
  std::filesystem::remove(outFile, ec);
  return r;
}

// The real orvalen binary.
inline RunResult runOrvalen(const std::filesystem::path &dir, const std::string &args) {
  return runProgram(ORVALEN_BINARY, dir, args);
}

} // namespace orvalen::test
