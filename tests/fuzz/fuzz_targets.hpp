#pragma once

// Bodies of the fuzz targets, shared by the libFuzzer programs (fuzz_*.cpp)
// and by the test that replays the inputs kept in tests/fuzz/regressions/.
//
// Each body feeds untrusted bytes to one reader. A stop with orvalen::Error is
// the expected answer to bad input; a malformed format text may also give
// std::invalid_argument, since format texts are program text. Anything else
// (another exception, a crash, a sanitizer report, a hang) is a finding. A
// broken invariant is reported through std::logic_error, which no reader
// throws on its own.

#include "base/error.hpp"
#include "driver/banner.hpp"
#include "driver/run.hpp"
#include "fixedio/format.hpp"
#include "fixedio/text_file.hpp"
#include "input/job_input.hpp"
#include "molecule/conditions.hpp"
#include "molecule/mol_file.hpp"
#include "molecule/molecule.hpp"
#include "thermo/constants.hpp"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace orvalen::fuzz {

namespace fs = std::filesystem;

using Bytes = std::span<const std::uint8_t>;

// A folder of its own for one fuzzing process (or one test), removed at the end.
// Its path holds no dot, since a dot in a job input name cuts the name there.
class ScratchDir {
public:
  explicit ScratchDir(const std::string &tag) {
    path_ = fs::temp_directory_path() /
            ("orvalen-fuzz-" + tag + "-" + std::to_string(static_cast<long>(::getpid())));
    fs::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir &) = delete;
  ScratchDir &operator=(const ScratchDir &) = delete;
  const fs::path &path() const { return path_; }

  // Empties the folder, so that one input cannot leave files for the next.
  void clear() const {
    std::error_code ec;
    for (const auto &entry : fs::directory_iterator(path_, ec))
      fs::remove_all(entry.path(), ec);
  }

private:
  fs::path path_;
};

inline void writeBytes(const fs::path &file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string_view asText(Bytes data) {
  return {reinterpret_cast<const char *>(data.data()), data.size()};
}

[[noreturn]] inline void broken(const std::string &what) {
  throw std::logic_error("invariant broken: " + what);
}

// ---- Job input reader -----------------------------------------------------

// Bytes -> a job input file -> readJobInput. Data files are not opened.
inline void jobInput(Bytes data, const ScratchDir &dir) {
  const fs::path file = dir.path() / "job.inp";
  writeBytes(file, asText(data));
  Conditions cond;
  MoleculeTable mol;
  try {
    LineFile in(file, "job.inp");
    readJobInput(in, cond, mol);
  } catch (const Error &) {
    return;
  }
  int sum = 0;
  for (int role = REACTANT; role <= TRANSITION_STATE; ++role) {
    const int n = mol.npart(role);
    if (n < 0 || n > MAX_PER_ROLE)
      broken("NPART(" + std::to_string(role) + ") = " + std::to_string(n));
    sum += n;
    for (int j = 1; j <= n; ++j) {
      const Molecule &m = mol.at(role, j);
      if (m.name.size() != NAME_LEN || m.fileName.size() != FILENAME_LEN)
        broken("NAME or FILENAME not of fixed length");
      for (char c : m.name)
        if (c >= 'a' && c <= 'z')
          broken("NAME not upper case");
    }
  }
  if (sum != mol.npart(0))
    broken("NPART(0) is not the sum of the roles");
}

// ---- Molecule data file reader --------------------------------------------

// Bytes -> a molecule data file -> readMolFile. The first byte says which of
// MULT, ROTNUM and ETOT the job line gave, so that both ways are explored.
inline void molFile(Bytes data, const ScratchDir &dir) {
  if (data.empty())
    return;
  const std::uint8_t given = data[0];
  writeBytes(dir.path() / "mol.dat", asText(data.subspan(1)));
  Molecule m;
  m.name = fixedText("FUZZ", NAME_LEN);
  m.fileName = fixedText("MOL.DAT", FILENAME_LEN);
  m.fileNameAsWritten = "mol.dat";
  m.mult = given & 1 ? 2 : NOT_GIVEN;
  m.rotnum = given & 2 ? 3 : NOT_GIVEN;
  m.etot = given & 4 ? -1.5 : NOT_GIVEN_REAL;
  try {
    readMolFile(m, dir.path());
  } catch (const Error &) {
    return;
  }
  if (m.natoms < 0 || m.natoms > MAX_ATOMS)
    broken("NATOMS = " + std::to_string(m.natoms));
  if (!(m.nfreq >= 0.0 && m.nfreq <= MAX_FREQ) || m.nfreq != std::floor(m.nfreq))
    broken("NFREQ = " + std::to_string(m.nfreq));
  if (m.linear != 0 && m.linear != 1)
    broken("LINEAR = " + std::to_string(m.linear));
  if ((given & 1) && m.mult != 2)
    broken("MULT of the job line replaced by the file");
  if ((given & 2) && m.rotnum != 3)
    broken("ROTNUM of the job line replaced by the file");
  if ((given & 4) && m.etot != -1.5)
    broken("ETOT of the job line replaced by the file");
  if (m.symGroup.size() != SHORT_TEXT_LEN || m.stoich.size() != SHORT_TEXT_LEN)
    broken("SYMGROUP or STOICH not of 10 characters");
}

// ---- Format texts and field editors ---------------------------------------

// Format texts whose expansion is huge (nested repeat counts around items that
// take no value) are not explored: a fixed-column read walks them without a
// bound, and a write stops only after ten million steps, holding all the text
// it made by then (gigabytes when the repeated items are long literals).
inline bool expansionSmall(std::string_view text) {
  double product = 1.0;
  long long n = -1;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      n = (n < 0 ? 0 : n) * 10 + (c - '0');
      if (n > 1000000)
        return false;
    } else if (n >= 0) {
      product *= static_cast<double>(n > 0 ? n : 1);
      n = -1;
    }
  }
  if (n > 0)
    product *= static_cast<double>(n);
  return product <= 1.0e6;
}

// The digits after the first byte as little-endian values.
class Cursor {
public:
  explicit Cursor(Bytes d) : d_(d) {}
  std::uint64_t take(std::size_t bytes) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < bytes; ++i)
      v |= static_cast<std::uint64_t>(pos_ < d_.size() ? d_[pos_++] : 0) << (8 * i);
    return v;
  }
  double real() {
    const std::uint64_t bits = take(8);
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
  }

private:
  Bytes d_;
  std::size_t pos_ = 0;
};

// Reads back what an F or 1PE/1PD field shows ("1.50000-120" has no letter),
// in long double: a value rounded up to one digit can pass the largest double.
inline long double shownValue(std::string s) {
  for (char &c : s)
    if (c == 'D')
      c = 'E';
  if (s.find('E') == std::string::npos) {
    const auto sign = s.find_first_of("+-", 1);
    if (sign != std::string::npos)
      s.insert(sign, 1, 'E');
  }
  return std::strtold(s.c_str(), nullptr);
}

// Every field editor writes exactly w characters, and a number it shows (not
// asterisks, Infinity or NaN) is the value rounded to the digits shown.
inline void fieldEditors(Cursor c) {
  const double x = c.real();
  const int w = 1 + static_cast<int>(c.take(1) % 60);
  const int d = static_cast<int>(c.take(1) % 40);
  const int scale = static_cast<int>(c.take(1) % 3); // 0P, 1P, 2P
  const auto i = static_cast<std::int64_t>(c.take(8));

  const std::string f = fixedio::editF(x, w, d);
  if (static_cast<int>(f.size()) != w)
    broken("F" + std::to_string(w) + "." + std::to_string(d) + " wrote \"" + f + "\"");
  const std::string e = fixedio::editE(x, w, d, scale, 'D');
  if (static_cast<int>(e.size()) != w)
    broken(std::to_string(scale) + "PD" + std::to_string(w) + "." + std::to_string(d) +
           " wrote \"" + e + "\"");
  const std::string iw = fixedio::editI(i, w);
  if (static_cast<int>(iw.size()) != w)
    broken("I" + std::to_string(w) + " wrote \"" + iw + "\"");
  if (iw.find('*') == std::string::npos && std::strtoll(iw.c_str(), nullptr, 10) != i)
    broken("I" + std::to_string(w) + " of " + std::to_string(i) + " wrote \"" + iw + "\"");

  if (!std::isfinite(x))
    return;
  const auto trimmedField = [](const std::string &s) { return s.substr(s.find_first_not_of(' ')); };
  if (f.find('*') == std::string::npos) {
    // Rounded to d decimals: off by at most half a unit of the last digit,
    // plus what the double itself cannot hold.
    const long double shown = shownValue(trimmedField(f));
    const long double tol = 0.5L * std::pow(10.0L, -d) * (1.0L + 1e-9L) + std::fabs(x) * 1e-15L;
    if (!(std::fabs(shown - x) <= tol))
      broken("F" + std::to_string(w) + "." + std::to_string(d) + " of " + std::to_string(x) +
             " wrote \"" + f + "\"");
  }
  if (scale == 1 && e.find('*') == std::string::npos && x != 0.0) {
    // 1P: d+1 significant digits, the first one at most |x|.
    const long double shown = shownValue(trimmedField(e));
    const long double tol = 0.5L * std::pow(10.0L, -d) * (1.0L + 1e-9L) + 1e-15L;
    if (!(std::fabs(shown - x) <= tol * std::fabs(x)) || std::signbit(shown) != std::signbit(x))
      broken("1PD" + std::to_string(w) + "." + std::to_string(d) + " of " + std::to_string(x) +
             " wrote \"" + e + "\"");
  }
}

// Fixed-column reads of the formats the readers use.
inline void fixedReads(std::string_view line) {
  fixedio::Record rec{std::string(line.substr(0, 300)), "fuzz", 1};
  int i1 = 0, i2 = 0;
  double x1 = 0, x2 = 0, x3 = 0;
  std::string a;
  const auto attempt = [](auto &&f) {
    try {
      f();
    } catch (const Error &) {
    }
  };
  attempt([&] { fixedio::read("(19x,3f15.6)", rec, &x1, &x2, &x3); });
  attempt([&] { fixedio::read("(26x,i10)", rec, &i1); });
  attempt([&] { fixedio::read("(26x,f10.4)", rec, &x1); });
  attempt([&] { fixedio::read("(26x,a10)", rec, &a); });
  attempt([&] { fixedio::read("(32x,i2)", rec, &i1); });
  attempt([&] { fixedio::read("(14x,f17.8)", rec, &x1); });
  attempt([&] { fixedio::read("(14x,i3,3x,3f15.6)", rec, &i2, &x1, &x2, &x3); });
  attempt([&] { fixedio::read("(4x,2f9.3)", rec, &x1, &x2); });
  attempt([&] { fixedio::read("(10x,i6)", rec, &i1); });
  attempt([&] { fixedio::read("(g20.10)", rec, &x1); });
  attempt([&] { fixedio::read("(i20)", rec, &i1); });
  attempt([&] { fixedio::read("(a255)", rec, &a); });
  if (a.size() != 255)
    broken("(a255) gave " + std::to_string(a.size()) + " characters");
}

// Any format text: output with lists of integers, reals and texts, and a
// fixed-column read into integers, reals and texts.
inline void anyFormat(std::string_view bytes) {
  const auto nl = bytes.find('\n');
  const std::string_view text = bytes.substr(0, nl);
  const std::string record(nl == std::string_view::npos ? std::string_view{}
                                                        : bytes.substr(nl + 1));
  if (!expansionSmall(text))
    return;
  try {
    fixedio::parseFormatText(text);
  } catch (const std::invalid_argument &) {
    return;
  }
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<fixedio::Value> ints = {2, 0, -3, 1, 12345, 5, -2147483647 - 1, 7};
  const std::vector<fixedio::Value> reals = {0.0, -0.5, 1234.5678,    1e300,      -1e-300,
                                             inf, -inf, std::nan(""), 6.02214e23, 5e-324};
  const std::vector<fixedio::Value> texts = {"", "H2O", std::string(255, 'x'), 'c'};
  for (const auto *values : {&ints, &reals, &texts}) {
    try {
      fixedio::formatText(text, *values);
    } catch (const std::invalid_argument &) {
    }
  }
  int i[8] = {};
  double x[8] = {};
  std::string s[8];
  const fixedio::Record rec{record.substr(0, 255), "fuzz", 1};
  const std::vector<fixedio::Target> intTargets = {&i[0], &i[1], &i[2], &i[3],
                                                   &i[4], &i[5], &i[6], &i[7]};
  const std::vector<fixedio::Target> realTargets = {&x[0], &x[1], &x[2], &x[3],
                                                    &x[4], &x[5], &x[6], &x[7]};
  const std::vector<fixedio::Target> textTargets = {&s[0], &s[1], &s[2], &s[3],
                                                    &s[4], &s[5], &s[6], &s[7]};
  for (const auto *targets : {&intTargets, &realTargets, &textTargets}) {
    try {
      fixedio::readFields(text, rec, *targets);
    } catch (const std::invalid_argument &) {
    } catch (const Error &) {
    }
  }
}

// The first byte picks what the rest is: a record for the readers' formats, a
// format text (with a record after a line feed), or numbers for the editors.
inline void formatInput(Bytes data) {
  if (data.empty())
    return;
  const Bytes rest = data.subspan(1);
  switch (data[0] % 3) {
  case 0:
    fixedReads(asText(rest));
    break;
  case 1:
    anyFormat(asText(rest));
    break;
  default:
    fieldEditors(Cursor(rest));
    break;
  }
}

// ---- A whole run ----------------------------------------------------------

// Bytes -> a job input and one data file, split at the first NUL byte (no NUL:
// the bytes are the data file under a fixed job) -> the whole run in process.
// A job whose data file names hold a "/" could reach outside the scratch
// folder, so such jobs are not run.
inline void wholeRun(Bytes data, const ScratchDir &dir) {
  constexpr std::string_view fixedJob = "COND TEMP=298.15\n"
                                        "REACT A a.dat\n"
                                        "REACT B a.dat ROTNUM=2\n"
                                        "TS T a.dat MULT=2\n"
                                        "PROD P a.dat\n"
                                        "KEFF 2.5E15 2\n";
  const std::string_view bytes = asText(data);
  const auto nul = bytes.find('\0');
  std::string_view job = fixedJob;
  std::string_view molecule = bytes;
  if (nul != std::string_view::npos) {
    job = bytes.substr(0, nul);
    molecule = bytes.substr(nul + 1);
    if (job.find('/') != std::string_view::npos || job.find('\\') != std::string_view::npos)
      return;
  }
  dir.clear();
  writeBytes(dir.path() / "job.inp", job);
  writeBytes(dir.path() / "a.dat", molecule);
  std::ostringstream console;
  try {
    runProgram({"orvalen", (dir.path() / "job").string()}, console, BuildStamp{});
  } catch (const Error &) {
  }
  if (!console.str().empty())
    broken("a run wrote to the console");
}

} // namespace orvalen::fuzz
