// Bad outputs for the NWChem, Psi4 and xtb readers: every real output cut at
// many places, and binary garbage with and without a program's banner. A reader
// either reads what is there or stops with orvalen::Error naming the file;
// nothing else escapes it, and nothing crashes (this also runs under ASan).

#include "qc/reader_fixtures.hpp"
#include "qc/readers.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <random>

namespace orvalen::test {
namespace {

struct Output {
  const char *name;
  const char *path; // below tests/fixtures/qc
};

const Output OUTPUTS[] = {
    {"nwchem_water", "nwchem/h2o_scf_freq.out"},
    {"nwchem_oh", "nwchem/oh_noautosym.out"},
    {"nwchem_ccsdt", "nwchem/h2o_ccsdt.out"},
    {"psi4_water", "psi4/h2o_opt_freq.out"},
    {"psi4_h3", "psi4/h3_saddle.out"},
    {"psi4_ccsdt", "psi4/h2o_ccsdt.out"},
    {"xtb_water", "xtb/h2o/h2o.out"},
    {"xtb_co2", "xtb/co2/co2.out"},
};

// Printed by GoogleTest when a case fails.
void PrintTo(const Output &o, std::ostream *os) {
  *os << o.path;
}

class CutOutput : public ::testing::TestWithParam<Output> {};

// Reads `text` as a file named like `path`; nothing when it is refused with
// orvalen::Error, whose message must then start with the file name.
std::optional<qc::QcRecord> readOrRefuse(const std::filesystem::path &path,
                                         const std::string &text) {
  TempDir dir;
  const auto file = dir / path.filename().string();
  dir.write(path.filename().string(), text);
  try {
    const auto rec = qc::readOutput(file);
    // What a reader hands over is whole: one element per atom, one intensity
    // per frequency, a finite energy.
    EXPECT_EQ(rec.atomicNumbers.size(), rec.coords.size());
    EXPECT_EQ(rec.intensities.size(), rec.frequencies.size());
    EXPECT_TRUE(std::isfinite(rec.energy));
    EXPECT_FALSE(rec.coords.empty());
    return rec;
  } catch (const Error &e) {
    EXPECT_EQ(std::string(e.what()).rfind(file.string(), 0), 0u)
        << "message does not start with the file name: " << e.what();
    return std::nullopt;
  }
}

TEST_P(CutOutput, ACutOutputIsRefusedOrReadWithAWarning) {
  const auto path = qcFixture(GetParam().path);
  const std::string text = readFile(path);
  const auto whole = readOrRefuse(path, text);
  ASSERT_TRUE(whole.has_value());
  const auto lines = linesOf(text);
  // About 150 cuts at line ends spread over the output, and as many inside lines.
  const std::size_t step = std::max<std::size_t>(1, lines.size() / 150);
  std::size_t offset = 0, line = 0;
  for (const auto &l : lines) {
    offset += l.size() + 1;
    if (++line % step != 0 || offset >= text.size())
      continue;
    for (const std::size_t end : {offset, offset - l.size() / 2 - 1}) {
      const auto cut = readOrRefuse(path, text.substr(0, end));
      // Read in silence only when nothing that matters was cut off.
      if (cut && std::all_of(cut->warnings.begin(), cut->warnings.end(), [&](const auto &w) {
            return std::find(whole->warnings.begin(), whole->warnings.end(), w) !=
                   whole->warnings.end();
          })) {
        EXPECT_EQ(cut->frequencies, whole->frequencies) << "cut at byte " << end;
        EXPECT_EQ(cut->coords, whole->coords) << "cut at byte " << end;
        EXPECT_EQ(cut->energy, whole->energy) << "cut at byte " << end;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(RealOutputs, CutOutput, ::testing::ValuesIn(OUTPUTS),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(BadOutput, BinaryGarbageIsRefused) {
  std::mt19937 rng(12345);
  const char *banners[] = {"", "Northwest Computational Chemistry Package (NWChem) 7.0.2\n",
                           "Psi4: An Open-Source Ab Initio Electronic Structure Package\n",
                           "   * xtb version 6.5.1 (unknown)\n"};
  for (const char *banner : banners)
    for (int k = 0; k < 20; ++k) {
      std::string text = banner;
      const int n = static_cast<int>(rng() % 4000);
      for (int i = 0; i < n; ++i)
        text += static_cast<char>(rng() % 256);
      EXPECT_FALSE(readOrRefuse("garbage.out", text).has_value()) << "banner \"" << banner << "\"";
    }
}

TEST(BadOutput, TablesWithGarbageInPlaceOfNumbersAreRefused) {
  // A frequency and a coordinate replaced by text, in each program's table.
  struct Edit {
    const char *path, *from, *to, *message;
  };
  const Edit edits[] = {
      {"nwchem/h2o_scf_freq.out", "    7     1826.547 ||", "    7     18x6.547 ||",
       "cannot read \"18x6.547\" as a number"},
      {"nwchem/h2o_scf_freq.out", "P.Frequency     1826.55", "P.Frequency     1826.5%",
       "cannot read \"1826.5%\" as a number"},
      {"psi4/h2o_opt_freq.out", "1826.6402 ", "1826.64O2 ", "cannot read \"1826.64O2\""},
      {"xtb/h2o/h2o.out", "3643.31", "3643.3l", "cannot read \"3643.3l\""},
      {"nwchem/h2o_scf_freq.out", "    1 O                    8.0000     0.00000000",
       "    1 Xq                   8.0000     0.00000000", "element of atom tag \"Xq\""},
      {"nwchem/h2o_scf_freq.out", "    1 O                    8.0000     0.00000000",
       "    1 bqO                  0.0000     0.00000000", "a ghost or dummy atom"},
  };
  for (const Edit &e : edits) {
    std::string text = readFile(qcFixture(e.path));
    for (auto p = text.find(e.from); p != std::string::npos; p = text.find(e.from, p + 1))
      text.replace(p, std::string_view(e.from).size(), e.to);
    TempDir dir;
    dir.write("x.out", text);
    const std::string m = errorOf([&] { qc::readOutput(dir / "x.out"); });
    EXPECT_NE(m.find(e.message), std::string::npos) << e.path << ": " << m;
    EXPECT_NE(m.find("x.out line "), std::string::npos) << m;
  }
}

} // namespace
} // namespace orvalen::test
