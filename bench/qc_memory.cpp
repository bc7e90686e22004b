// Peak memory of orvalen-import on large outputs. Each case is a file written
// to the temporary folder in pieces (this process never holds it), then read
// in a child process of its own, as the program does: readOutput, the import
// when the record has frequencies, the data file into a string. The child's
// peak resident set (wait4's rusage) less that of a child that reads nothing
// is set against the file's size; the aim is at most the size plus 64 MB.
// Nothing is asserted: the figures are printed.
//
//   build-bench/bench/orvalen_qc_memory [MB]      (default 100 MB a file)

#include "base/error.hpp"
#include "molecule/mol_file_writer.hpp"
#include "qc/import.hpp"
#include "qc/readers.hpp"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr double MB = 1024.0 * 1024.0;

// `piece` written over and over after `head` up to `bytes`, then `tail`; in
// blocks of 1 MB.
void writeRepeated(const fs::path &file, const std::string &head, const std::string &piece,
                   std::size_t bytes, const std::string &tail = "") {
  std::ofstream out(file, std::ios::binary);
  out << head;
  std::string block;
  while (block.size() < (1u << 20))
    block += piece;
  std::size_t written = 0;
  while (written + block.size() <= bytes) {
    out << block;
    written += block.size();
  }
  for (; written + piece.size() <= bytes; written += piece.size())
    out << piece;
  out << tail;
}

std::string slurp(const fs::path &p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// What the program does with an output, in a child; its peak resident set in KB.
long peakOfChild(const std::function<void()> &work) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) {
    std::perror("fork");
    std::exit(1);
  }
  if (pid == 0) {
    work();
    _exit(0);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  return usage.ru_maxrss;
}

void importWhole(const fs::path &file) {
  try {
    const auto rec = orvalen::qc::readOutput(file);
    if (!rec.frequencies.empty()) {
      std::ostringstream text;
      orvalen::writeMolFile(text, orvalen::qc::importRecord(rec, {}).data);
    }
  } catch (const orvalen::Error &) {
  }
}

struct Case {
  std::string name;
  std::function<void(const fs::path &, std::size_t)> make;
};

} // namespace

int main(int argc, char **argv) {
  const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
  const std::size_t bytes = megabytes << 20;
  const fs::path qc = fs::path(ORVALEN_SOURCE_DIR) / "tests" / "fixtures" / "qc";
  const auto blankLines = [](const std::string &banner) {
    return [banner](const fs::path &f, std::size_t n) { writeRepeated(f, banner, "\n", n); };
  };
  const auto realOutput = [&](const char *relative) {
    return [&qc, relative](const fs::path &f, std::size_t n) {
      const std::string one = slurp(qc / relative);
      writeRepeated(f, "", one, n);
    };
  };
  const std::vector<Case> cases = {
      {"Gaussian banner, then blank lines", blankLines(" Entering Gaussian System, Link 0=g16\n")},
      {"ORCA banner, then blank lines", blankLines("                 * O   R   C   A *\n")},
      {"NWChem banner, then blank lines",
       blankLines("           Northwest Computational Chemistry Package (NWChem) 7.0.2\n")},
      {"Psi4 banner, then blank lines",
       blankLines("    Psi4: An Open-Source Ab Initio Electronic Structure Package\n")},
      {"xtb banner, then blank lines", blankLines("   * xtb version 6.5.1 (unknown)\n")},
      {"xtb banner, then NUL bytes",
       [](const fs::path &f, std::size_t n) {
         writeRepeated(f, "   * xtb version 6.5.1 (unknown)\n", std::string(1, '\0'), n);
       }},
      {"Gaussian banner, then one line of short words",
       [](const fs::path &f, std::size_t n) {
         writeRepeated(f, " Entering Gaussian System, Link 0=g16\n SCF Done: ", "1 ", n, "\n");
       }},
      {"ORCA banner, then a line of one word",
       [](const fs::path &f, std::size_t n) {
         writeRepeated(f, "                 * O   R   C   A *\n", "x", n, "\n");
       }},
      {"ORCA banner, then an input line of one word",
       [](const fs::path &f, std::size_t n) {
         writeRepeated(f, "                 * O   R   C   A *\n|  1> ", "x", n, "\n");
       }},
      {"Gaussian opt + freq (isobutane.out) over and over", realOutput("gaussian/isobutane.out")},
      {"ORCA OptTS + Freq (orca5_claisen_ts.out) over and over",
       realOutput("orca/orca5_claisen_ts.out")},
      {"NWChem opt + freq (h2o_scf_freq.out) over and over", realOutput("nwchem/h2o_scf_freq.out")},
      {"Psi4 opt + freq (h2o_opt_freq.out) over and over", realOutput("psi4/h2o_opt_freq.out")},
  };

  const fs::path file = fs::temp_directory_path() /
                        ("orvalen-qc-memory-" + std::to_string(static_cast<long>(getpid())));
  const long base = peakOfChild([] {});
  std::printf("peak resident set of orvalen-import's reading, less %.1f MB of a child that reads "
              "nothing\n\n",
              static_cast<double>(base) / 1024.0);
  std::printf("%-56s %10s %10s %12s %s\n", "output", "file (MB)", "peak (MB)", "over it (MB)",
              "within size + 64 MB");
  int over = 0;
  for (const Case &c : cases) {
    c.make(file, bytes);
    const double size = static_cast<double>(fs::file_size(file)) / MB;
    const long peak = peakOfChild([&] { importWhole(file); });
    const double used = static_cast<double>(peak - base) / 1024.0;
    const bool within = used <= size + 64.0;
    over += within ? 0 : 1;
    std::printf("%-56s %10.1f %10.1f %12.1f %s\n", c.name.c_str(), size, used, used - size,
                within ? "yes" : "NO");
    fs::remove(file);
  }
  return over == 0 ? 0 : 1;
}
