// Ordinary mistakes in a job, each a small job folder under
// tests/fixtures/mistakes (written by make_mistakes.py there): the real binary
// must tell the user with one line on standard error per problem and the exit
// status that fits (0: warnings only; 2: the report was written but cannot be
// used; 1: the run stopped), and the warnings must change nothing in the
// report. Where the mistake changes what is read, the folder's reads_as/
// holds the same job written as the program reads it, and the two reports
// must be the same byte for byte.

#include "support/run_binary.hpp"
#include "support/temp_dir.hpp"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orvalen {
namespace {

namespace fs = std::filesystem;

const fs::path MISTAKES = fs::path(ORVALEN_FIXTURES) / "mistakes";

// The files of `from` copied over those in `to`, sub-folders too but not
// reads_as/; "<name>.absent" removes <name>.
void overlay(const fs::path &from, const fs::path &to) {
  for (const auto &entry : fs::directory_iterator(from)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_directory()) {
      if (name != "reads_as") {
        fs::create_directories(to / name);
        overlay(entry.path(), to / name);
      }
    } else if (entry.path().extension() == ".absent") {
      fs::remove(to / entry.path().stem());
    } else if (name != ".keep") {
      fs::copy_file(entry.path(), to / name, fs::copy_options::overwrite_existing);
    }
  }
}

struct Mistake {
  std::string folder;
  int status;
  // One entry per line on standard error, in order: texts the line must hold.
  std::vector<std::vector<std::string>> lines;
  std::string args = "job";       // the command line after the program's name
  std::string report = "job.out"; // empty: no report may be written
};

// Every section of a report that shows NaN or Infinity is named in one line.
std::vector<std::string> notFinite(const std::string &section) {
  return {"job.out line", section + " shows values that are not finite (NaN or Infinity)"};
}

std::vector<Mistake> mistakes() {
  const std::vector<std::string> reactionNaN = notFinite("the reaction section");
  const std::vector<std::string> rateNaN = notFinite("the rate constant section");
  return {
      // A number without its decimal point: the field's last digits are its fraction.
      {"mass_without_point",
       0,
       {{"molecule H2, h2.dat line 8: the molecular mass \"2\" has no decimal point",
         "reads as 0.0002 amu", "write 2.0 if"}}},
      {"frequencies_without_point",
       0,
       {{"molecule H3, h3.dat line 35: the frequency \"911\" has no decimal point",
         "reads as 0.911 cm-1", "write 911.0", "(and 1 more frequency field like it)"}}},
      {"keff_without_point",
       0,
       {{"job.inp line 7: the KEFF concentration \"25E14\" has no decimal point",
         "reads as 250000 molecules/cm3", "write 25.0E14"}}},
      // Moments of inertia.
      {"moments_shifted",
       0,
       {{"molecule H2 (h2.dat): moments of inertia 0.278030, 50.278030, 50.000000",
         "differ by more than 1 % from those of its coordinates block (0.000000, 0.278035, "
         "0.278035"}}},
      {"linear_zero_first",
       2,
       {{"molecule H2 (h2.dat): moments of inertia 0.000000, 0.278035, 0.278035", "written I, I, 0",
         "taken as non-linear"},
        notFinite("the section of molecule H2"),
        notFinite("the section of molecule H2"),
        reactionNaN,
        rateNaN}},
      // Data files that give nothing.
      {"misspelt_data_file",
       2,
       {{"molecule H2: data file h2.dta does not exist; it was created empty"},
        notFinite("the section of molecule H2"),
        reactionNaN,
        rateNaN}},
      {"empty_data_file",
       2,
       {{"molecule H2: data file h2.dat is empty"},
        notFinite("the section of molecule H2"),
        notFinite("the section of molecule H2"),
        reactionNaN,
        rateNaN}},
      {"not_a_data_file",
       2,
       {{"molecule H2: data file h2.dat holds none of the markers"},
        notFinite("the section of molecule H2"),
        notFinite("the section of molecule H2"),
        reactionNaN,
        rateNaN}},
      // Job lines.
      {"tabs_in_job_lines", 0, {}},
      {"temperature_with_unit",
       2,
       {{"job.inp line 1: \"TEMP=298.15K\" gives no number (\"298.15K\" is not a number)",
         "the temperature is 0", "TEMP=298.15"},
        notFinite("the section of molecule H"),
        notFinite("the section of molecule H2"),
        notFinite("the section of molecule H"),
        notFinite("the section of molecule H2"),
        notFinite("the section of molecule H3"),
        reactionNaN,
        rateNaN}},
      {"multiplicity_not_attached",
       2,
       {{"job.inp line 4: \"MULT\" gives no number", "the multiplicity is 0",
         "the value must be attached to the key: MULT=2"},
        {"molecule H3 (h3.dat): spin multiplicity 0 is not positive"},
        notFinite("the section of molecule H3"),
        rateNaN}},
      {"rotation_number_zero",
       2,
       {{"molecule H2 (h2.dat): rotation number 0 is not positive"},
        notFinite("the section of molecule H2"),
        reactionNaN,
        rateNaN}},
      {"no_rotation_number_or_multiplicity",
       0,
       {{"molecule H2 (h2.dat): no rotation number", "999999 is used"},
        {"molecule H2 (h2.dat): no spin multiplicity", "999999 is used"}}},
      // Chemistry that cannot be, and results that are rarely right.
      {"impossible_multiplicity",
       0,
       {{"molecule H (h.dat): spin multiplicity 1 is impossible for 1 electron (1 proton in its "
         "coordinates block, charge 0 assumed",
         "an odd number of electrons needs an even multiplicity"}}},
      {"charged_singlet",
       0,
       {{"molecule H2 (h2.dat): spin multiplicity 1 is impossible for 1 electron (2 protons in "
         "its coordinates block, charge 1)"}}},
      {"mixed_methods",
       0,
       {{"the electronic energies of the job come from different methods (H CCSD(T)/cc-pVTZ, H2 "
         "ccsd(t)/CC-PVTZ, H3 BH&HLYP/6-311G**)",
         "give every molecule an energy of one method"}}},
      {"multiplicity_not_whole",
       0,
       {{"job.inp line 4: the multiplicity MULT=2.5 is not a whole number and is read as 2"}}},
      {"ts_of_other_atoms",
       0,
       {{"molecule H3 (h2.dat), a transition state: its frequency table has 6 rows"},
        {"molecule H3 (h2.dat), a transition state: 0 negative (imaginary) frequencies"},
        {"molecule H3 (h2.dat), a transition state, holds H2, the reactants H3;",
         "check its TS line and data file"}}},
      {"submerged_barrier",
       0,
       {{"the transition state H3 lies below the reactants H + H2: dH0 = -",
         "a submerged barrier is possible"},
        {"the bimolecular rate constant kQ = ", "cm3/molecule/s at 298.15 K is above the "
                                                "collision limit of about 1e-9 cm3/molecule/s"}}},
      {"pressure_far_from_standard",
       0,
       {{"the pressure 1e+07 Pa is not the standard pressure P0 = 100000 Pa",
         "carry the factor (P/P0)^1 = 1.000e+02", "kQ * (P0/P)^1"}}},
      // Frequencies.
      {"ts_four_zero_rows",
       0,
       {{"molecule H3 (h3.dat), a transition state: row 7 of its frequency table is 911.000 "
         "cm-1, not negative",
         "write six zero rows first (the negative frequency is in row 5)"}}},
      {"ts_two_negative",
       0,
       {{"molecule H3 (h3.dat), a transition state: 2 negative (imaginary) frequencies"},
        {"molecule H3 (h3.dat): \"Num. of imaginary freqs\" says 1 but its frequency table has 2 "
         "negative frequencies"}}},
      {"ts_count_disagrees",
       0,
       {{"molecule H3 (h3.dat): \"Num. of imaginary freqs\" says 0 but its frequency table has 1 "
         "negative frequency"}}},
      {"reactant_negative_frequency",
       0,
       {{"molecule H2 (h2.dat), a reactant: 1 negative (imaginary) frequency",
         "-4406.000 cm-1 in row 6"},
        {"molecule H2 (h2.dat), a product: 1 negative (imaginary) frequency"}}},
      {"atoms_unbalanced",
       0,
       {{"the atoms do not balance: the reactants hold H3, the products H4"}}},
      // Job lines that are not understood are passed over, each named.
      {"ts_line_with_colon",
       0,
       {{"job.inp line 4: \"TS: H3 h3.dat\" is not a job line and is not used",
         "REACT, PROD or TS and a blank"}}},
      {"ts_line_without_role",
       0,
       {{"job.inp line 4: \"H3 h3.dat\" is not a job line and is not used"}}},
      // Multiplicities: more unpaired electrons than electrons stop the run.
      {"multiplicity_beyond_electrons",
       1,
       {{"molecule H: the job line's MULT=4 needs 3 unpaired electrons, more than the 1 electron "
         "of its coordinates block (1 proton, no \"Charge of molecule\" marker: charge 0)"}}},
      {"multiplicity_beyond_electrons_in_file",
       1,
       {{"molecule H2, h2.dat line 12: spin multiplicity 5 needs 4 unpaired electrons, more than "
         "the 2 electrons of its coordinates block (2 protons"}}},
      {"multiplicity_other_than_file",
       0,
       {{"molecule H2, h2.dat line 12: the job line's MULT=3 differs from the data file's spin "
         "multiplicity 1; 3 is used"}}},
      // Electronic levels the scan would use.
      {"levels_table_empty",
       1,
       {{"molecule H, h.dat line 29: the \"Electronic levels (cm-1)\" block holds no level, though "
         "\"Electronic levels from  :\" says table"}}},
      {"level_above_1e6",
       1,
       {{"molecule H, h.dat line 31: electronic level \"1500000.000\" cm-1",
         "above 1e6 cm-1 (124 eV) over the ground level"}}},
      // Command lines.
      {"no_argument", 0, {{"no job named", "\".inp\"", "\".out\""}}, "", ".out"},
      {"dotted_folder", 0, {}, "runs.v2/job", "runs.v2/job.out"},
      {"unknown_option", 1, {{"unknown option -x"}}, "-x job", ""},
      // Mistakes that stop the run.
      {"tab_in_data_file",
       1,
       {{"molecule H2, h2.dat line 8: cannot read \"\\t2.0157\" as a real number"}}},
      {"data_file_in_missing_folder",
       1,
       {{"molecule H2: data file data/h2.dat is missing: its folder data does not exist"}}},
  };
}

class Mistakes : public ::testing::TestWithParam<Mistake> {};

TEST_P(Mistakes, TellTheUserAndLeaveTheReportAsItWas) {
  const Mistake &c = GetParam();
  test::TempDir dir;
  const std::string before = c.folder == "unknown_option" ? "" : "common";
  if (!before.empty())
    overlay(MISTAKES / before, dir.path());
  overlay(MISTAKES / c.folder, dir.path());
  std::vector<fs::path> filesBefore;
  for (const auto &f : fs::recursive_directory_iterator(dir.path()))
    filesBefore.push_back(f.path());

  const auto r = test::runOrvalen(dir.path(), c.args);
  EXPECT_EQ(r.status, c.status) << r.stderrText;
  EXPECT_EQ(r.stdoutText, "");
  const auto lines = test::linesOf(r.stderrText);
  ASSERT_EQ(lines.size(), c.lines.size()) << r.stderrText;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const bool stop = c.status == 1 && k + 1 == lines.size();
    EXPECT_TRUE(lines[k].starts_with(stop ? "orvalen: " : "orvalen: warning: ")) << lines[k];
    if (stop) {
      EXPECT_FALSE(lines[k].starts_with("orvalen: warning: ")) << lines[k];
    }
    for (const auto &text : c.lines[k])
      EXPECT_NE(lines[k].find(text), std::string::npos) << "\"" << text << "\" not in:\n"
                                                        << lines[k];
  }

  if (c.report.empty()) { // stopped before any file was touched
    std::vector<fs::path> filesAfter;
    for (const auto &f : fs::recursive_directory_iterator(dir.path()))
      filesAfter.push_back(f.path());
    EXPECT_EQ(filesAfter.size(), filesBefore.size());
    return;
  }
  const std::string report = dir.read(c.report);
  if (c.status != 1) { // written to its end: the tunnelling lines close it
    EXPECT_NE(report.find(" Transmission coeeficient by Skodje-Thrular theory"), std::string::npos)
        << c.report;
  }

  if (!fs::is_directory(MISTAKES / c.folder / "reads_as"))
    return;
  test::TempDir same;
  overlay(MISTAKES / "common", same.path());
  overlay(MISTAKES / c.folder, same.path());
  overlay(MISTAKES / c.folder / "reads_as", same.path());
  test::runOrvalen(same.path(), c.args);
  EXPECT_EQ(report, same.read(c.report)) << "the report differs from that of reads_as/";
}

// Mistakes in the folder names: the report lands in the job's folder.
TEST(Mistakes, DottedFolderKeepsTheFilesInside) {
  test::TempDir dir;
  overlay(MISTAKES / "common", dir.path());
  overlay(MISTAKES / "dotted_folder", dir.path());
  test::runOrvalen(dir.path(), "runs.v2/job");
  EXPECT_TRUE(fs::is_regular_file(dir / "runs.v2/job.out"));
  EXPECT_FALSE(fs::exists(dir / "runs.inp"));
  EXPECT_FALSE(fs::exists(dir / "runs.out"));
}

INSTANTIATE_TEST_SUITE_P(Table, Mistakes, ::testing::ValuesIn(mistakes()),
                         [](const ::testing::TestParamInfo<Mistake> &info) {
                           return info.param.folder;
                         });

} // namespace
} // namespace orvalen
