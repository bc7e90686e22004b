// Every real output cut at many places: at the end of every line of the part
// that holds the values read (from the frequencies, or the energy, to the end
// of their job step), of the lines that hold the geometry, energy, charge and
// multiplicity, of lines spread over the rest; and inside each of those lines
// (inside its last number, and in its middle). A cut output is either refused,
// or read with the very numbers of the whole output and a warning that the run
// did not finish: never read as other numbers ("3400.565" as 34, "-1." as -1.0).

#include "qc/import.hpp"
#include "qc/reader_fixtures.hpp"
#include "qc/readers.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <ostream>
#include <set>
#include <vector>

namespace orvalen::test {
namespace {

namespace fs = std::filesystem;

// How an output is cut, by program.
struct Program {
  // The run's closing line: a cut before its end must say the run did not finish.
  const char *closing;
  // Lines that hold values read: each of their last two occurrences is cut
  // at, with the lines after it (a geometry table).
  std::vector<const char *> values;
};

const Program GAUSSIAN{"Normal termination of Gaussian",
                       {"orientation:", "SCF Done:", "Charge =", "EUMP2", "E(Corr)=", "CCSD(T)="}};
const Program ORCA{"ORCA TERMINATED NORMALLY",
                   {"CARTESIAN COORDINATES (ANGSTROEM)", "FINAL SINGLE POINT ENERGY",
                    "Total Charge", "Mult            ....", "JOB NUMBER"}};
const Program NWCHEM{"Total times",
                     {"Output coordinates in", "Total SCF energy", "Total DFT energy",
                      "Spin multiplicity", "Charge           :", "charge          =",
                      "CCSD(T) total energy", "Total CCSD(T) energy", "Task  times"}};
const Program PSI4{"Psi4 exiting successfully",
                   {"Geometry (in", "Final Energy:", "* CCSD(T) total energy", "Final energy is",
                    "Total G, Free enthalpy"}};
const Program XTB{
    "* finished run on",
    {"final structure:", ":: total energy", ":: total charge", "| TOTAL ENERGY", "ID    Z sym."}};

struct Output {
  const char *name;
  const char *path; // below tests/fixtures/qc
  const Program *program;
  // Every line is cut from the last line holding `from` to the first line
  // after it holding `to` (the end of the job step of the values), and a few more.
  const char *from, *to;
};

void PrintTo(const Output &o, std::ostream *os) {
  *os << o.path;
}

const Output OUTPUTS[] = {
    {"gaussian_isobutane_opt_freq", "gaussian/isobutane.out", &GAUSSIAN, "Harmonic frequencies",
     "Normal termination"},
    {"gaussian_HCN_opt_freq", "gaussian/HCN_singlet.out", &GAUSSIAN, "Harmonic frequencies",
     "Normal termination"},
    {"gaussian_claisen_ts", "gaussian/gaussian16_claisen_ts.log", &GAUSSIAN, "Harmonic frequencies",
     "Normal termination"},
    {"gaussian_NH3_H_ts", "gaussian/TS_NH3+H=NH2+H2.out", &GAUSSIAN, "Harmonic frequencies",
     "Normal termination"},
    {"gaussian_CH3OO", "gaussian/CH3OO_freq_gaussian.out", &GAUSSIAN, "Harmonic frequencies",
     "Normal termination"},
    {"gaussian_dvb_hpmodes", "gaussian/gaussian09_dvb_ir.out", &GAUSSIAN, "Harmonic frequencies",
     "Normal termination"},
    {"gaussian_water_ccsdt", "gaussian/water_ccsdt.log", &GAUSSIAN,
     "SCF Done:", "Normal termination"},
    {"orca_water_opt_freq", "orca/Orca_opt_freq_test.log", &ORCA, "VIBRATIONAL FREQUENCIES",
     "TERMINATED NORMALLY"},
    {"orca_SN2_ts", "orca/Orca_TS_test.log", &ORCA, "VIBRATIONAL FREQUENCIES",
     "TERMINATED NORMALLY"},
    {"orca_CO2_cation", "orca/CO2_vib.out", &ORCA, "VIBRATIONAL FREQUENCIES",
     "TERMINATED NORMALLY"},
    {"orca5_dvb", "orca/orca5_dvb_ir.out", &ORCA, "VIBRATIONAL FREQUENCIES", "TERMINATED NORMALLY"},
    {"orca5_claisen_ts", "orca/orca5_claisen_ts.out", &ORCA, "VIBRATIONAL FREQUENCIES",
     "TERMINATED NORMALLY"},
    {"orca5_OH_CH4_ts", "orca/orca_neg_freq_ts.out", &ORCA, "VIBRATIONAL FREQUENCIES",
     "TERMINATED NORMALLY"},
    {"orca6_dvb", "orca/orca6_dvb_ir.out", &ORCA, "VIBRATIONAL FREQUENCIES", "TERMINATED NORMALLY"},
    {"nwchem_water", "nwchem/h2o_scf_freq.out", &NWCHEM, "(Projected Frequencies expressed",
     "Task  times"},
    {"nwchem_water_then_scan", "nwchem/h2o_freq_then_scan.out", &NWCHEM,
     "(Projected Frequencies expressed", "Task  times"},
    {"nwchem_water_numerical", "nwchem/h2o_numerical_freq.out", &NWCHEM,
     "(Projected Frequencies expressed", "Task  times"},
    {"nwchem_h3_then_irc", "nwchem/h3_freq_then_irc.out", &NWCHEM,
     "(Projected Frequencies expressed", "Task  times"},
    {"nwchem_oh", "nwchem/oh_noautosym.out", &NWCHEM, "(Projected Frequencies expressed",
     "Task  times"},
    {"nwchem_oh_autosym", "nwchem/oh_autosym.out", &NWCHEM, "(Projected Frequencies expressed",
     "Task  times"},
    {"nwchem_water_ccsdt", "nwchem/h2o_ccsdt.out", &NWCHEM, "Total SCF energy", "Task  times"},
    {"nwchem_water_bohr", "nwchem/h2o_au_energy.out", &NWCHEM, "Total SCF energy", "Task  times"},
    {"psi4_water_opt_freq", "psi4/h2o_opt_freq.out", &PSI4, "==> Harmonic Vibrational Analysis",
     "Total G, Free enthalpy"},
    {"psi4_h3_saddle", "psi4/h3_saddle.out", &PSI4, "==> Harmonic Vibrational Analysis",
     "Total G, Free enthalpy"},
    {"psi4_h3_then_irc", "psi4/h3_freq_then_irc.out", &PSI4, "==> Harmonic Vibrational Analysis",
     "Total G, Free enthalpy"},
    {"psi4_oh", "psi4/oh_freq.out", &PSI4, "==> Harmonic Vibrational Analysis",
     "Total G, Free enthalpy"},
    {"psi4_water_ccsdt", "psi4/h2o_ccsdt.out", &PSI4,
     "@RHF Final Energy:", "Psi4 exiting successfully"},
    {"psi4_water_bohr", "psi4/h2o_bohr_energy.out", &PSI4,
     "Final Energy:", "Psi4 exiting successfully"},
    {"xtb_water", "xtb/h2o/h2o.out", &XTB, "vibrational frequencies", "finished run"},
    {"xtb_water_coord", "xtb/h2o_coord/h2o_coord.out", &XTB, "vibrational frequencies",
     "finished run"},
    {"xtb_water_hess", "xtb/h2o_hess/h2o_hess.out", &XTB, "vibrational frequencies",
     "finished run"},
    {"xtb_ch3", "xtb/ch3/ch3.out", &XTB, "vibrational frequencies", "finished run"},
    {"xtb_co2_aborted", "xtb/co2/co2.out", &XTB, "vibrational frequencies", "finished run"},
};

// Where each line of a text starts; one more entry for the end.
std::vector<std::size_t> lineStarts(const std::string &text) {
  std::vector<std::size_t> starts{0};
  for (std::size_t p = text.find('\n'); p != std::string::npos; p = text.find('\n', p + 1))
    starts.push_back(p + 1);
  if (starts.back() != text.size())
    starts.push_back(text.size());
  return starts;
}

// Lines (indices from 0) to cut at: see the head of this file.
std::set<std::size_t> linesToCut(const std::string &text, const std::vector<std::size_t> &starts,
                                 const Output &o) {
  const std::size_t n = starts.size() - 1;
  const auto lineOf = [&](std::size_t offset) {
    return static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), offset) -
                                    starts.begin()) -
           1;
  };
  std::set<std::size_t> cut;
  const std::size_t from = text.rfind(o.from);
  EXPECT_NE(from, std::string::npos) << o.from;
  std::size_t to = text.find(o.to, from);
  to = to == std::string::npos ? n : lineOf(to) + 3;
  for (std::size_t l = lineOf(from); l < std::min(to, n); ++l)
    cut.insert(l);
  for (const char *marker : o.program->values) {
    std::size_t at = text.size(), count = 0;
    while (count < 2 && at > 0 && (at = text.rfind(marker, at - 1)) != std::string::npos) {
      ++count;
      for (std::size_t l = lineOf(at); l < std::min(lineOf(at) + 25, n); ++l)
        cut.insert(l);
      if (at == 0)
        break;
    }
  }
  for (std::size_t l = 0; l < n; l += std::max<std::size_t>(1, n / 60))
    cut.insert(l);
  return cut;
}

// The record as the import would use it: the reader's, then, for an output
// with frequencies, importRecord's checks. Nothing when either refuses it.
std::optional<qc::QcRecord> readCut(const qc::Reader &reader, const fs::path &file,
                                    const std::string &text, bool withFrequencies) {
  try {
    qc::QcRecord rec = reader.read(file, text);
    rec.sourceFile = file.string();
    if (withFrequencies)
      qc::importRecord(rec, {});
    return rec;
  } catch (const Error &e) {
    EXPECT_EQ(std::string(e.what()).find('\0'), std::string::npos);
    return std::nullopt;
  }
}

class CutEverywhere : public ::testing::TestWithParam<Output> {};

TEST_P(CutEverywhere, RefusedOrTheWholeOutputsNumbersWithAWarning) {
  const Output &o = GetParam();
  const fs::path source = qcFixture(o.path);
  // The files xtb writes beside its output come along.
  TempDir dir;
  if (std::string(o.path).starts_with("xtb/"))
    for (const auto &f : fs::directory_iterator(source.parent_path()))
      fs::copy_file(f.path(), dir / f.path().filename().string());
  const fs::path file = dir / source.filename().string();
  const std::string text = readFile(source);

  const qc::Reader *reader = nullptr;
  for (const qc::Reader &r : qc::readers())
    if (!reader && r.recognises(text))
      reader = &r;
  ASSERT_NE(reader, nullptr);
  const qc::QcRecord whole = reader->read(file, text);
  const bool withFrequencies = !whole.frequencies.empty();
  ASSERT_TRUE(readCut(*reader, file, text, withFrequencies).has_value());

  // A cut before the end of the closing line leaves a run that did not finish.
  std::size_t closingEnd = text.rfind(o.program->closing);
  closingEnd = closingEnd == std::string::npos ? 0 : text.find('\n', closingEnd) + 1;

  const auto starts = lineStarts(text);
  std::set<std::size_t> ends;
  for (const std::size_t l : linesToCut(text, starts, o)) {
    const std::size_t begin = starts[l], end = starts[l + 1];
    std::string_view line(text.data() + begin, end - begin);
    ends.insert(end); // after its line feed
    ends.insert(begin + line.size() / 2);
    // Inside its last number: without the last digit.
    const std::size_t last = line.find_last_of("0123456789");
    if (last != std::string_view::npos && last > 0)
      ends.insert(begin + last);
  }
  std::size_t refused = 0, read = 0;
  for (const std::size_t end : ends) {
    if (end >= text.size())
      continue;
    const auto cut = readCut(*reader, file, text.substr(0, end), withFrequencies);
    if (!cut) {
      ++refused;
      continue;
    }
    ++read;
    SCOPED_TRACE("cut at byte " + std::to_string(end) + ", after \"" +
                 text.substr(end > 40 ? end - 40 : 0, std::min<std::size_t>(end, 40)) + "\"");
    EXPECT_EQ(cut->atomicNumbers, whole.atomicNumbers);
    EXPECT_EQ(cut->coords, whole.coords);
    EXPECT_EQ(cut->frequencies, whole.frequencies);
    EXPECT_EQ(cut->intensities, whole.intensities);
    EXPECT_EQ(cut->energy, whole.energy);
    EXPECT_EQ(cut->energyLevel, whole.energyLevel);
    EXPECT_EQ(cut->multiplicity, whole.multiplicity);
    EXPECT_EQ(cut->charge, whole.charge);
    if (end < closingEnd || closingEnd == 0) {
      EXPECT_TRUE(hasWarning(*cut, "the run did not finish"));
    }
  }
  // Both answers occur: cuts after the values' job step are read.
  EXPECT_GT(refused, 0u);
  RecordProperty("cuts_read", static_cast<int>(read));
  RecordProperty("cuts_refused", static_cast<int>(refused));
}

INSTANTIATE_TEST_SUITE_P(RealOutputs, CutEverywhere, ::testing::ValuesIn(OUTPUTS),
                         [](const auto &info) { return std::string(info.param.name); });

// The cuts that were read as another number: each output cut inside the
// last number of the line that holds a value, "3400.5651" left as "3400.565"
// or "34", "-0.75017760422D+02" as "-0.75017760422D+0" (-0.750 Hartree).
TEST(CutInsideANumber, IsRefusedForEveryProgram) {
  struct Case {
    const char *path, *kept; // the output ends with this start of one of its lines
    const char *message;     // a part of the error
  };
  const Case cases[] = {
      {"gaussian/HCN_singlet.out", " Frequencies --   34",
       "the frequency table has 3 of the 4 modes of 3 atoms"},
      {"gaussian/HCN_singlet.out", " Frequencies --   3400.565",
       "the frequency table has 3 of the 4 modes of 3 atoms"},
      {"gaussian/water_ccsdt.log", " CCSD(T)= -0.75017760422D+0",
       "line 432: the job step that printed this line, the last of the values read, does not "
       "end"},
      {"orca/Orca_opt_freq_test.log", "   8:      3885.2",
       "the frequency list has 8 of the 9 modes"},
      {"nwchem/h2o_ccsdt.out", " Total CCSD(T) energy:                 -76.2", "does not end"},
      {"psi4/h2o_ccsdt.out", "      * CCSD(T) total energy                  =  -76.24",
       "does not end"},
      {"xtb/h2o/h2o.out", "          | TOTAL ENERGY               -5.07", "does not end"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.path) + ": " + c.kept);
    const std::string text = readFile(qcFixture(c.path));
    const std::size_t line = text.find(std::string("\n") + c.kept);
    ASSERT_NE(line, std::string::npos);
    TempDir dir;
    if (std::string(c.path).starts_with("xtb/"))
      for (const auto &f : fs::directory_iterator(qcFixture(c.path).parent_path()))
        fs::copy_file(f.path(), dir / f.path().filename().string());
    const fs::path file = dir / qcFixture(c.path).filename().string();
    dir.write(file.filename().string(), text.substr(0, line + 1 + std::string_view(c.kept).size()));
    const std::string message = errorOf([&] { qc::readOutput(file); });
    EXPECT_NE(message.find(c.message), std::string::npos) << message;
  }
}

} // namespace
} // namespace orvalen::test
