#include "base/error.hpp"
#include "input/job_input.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>
#include <optional>

namespace orvalen {
namespace {

using test::TempDir;

struct Job {
  Conditions cond;
  MoleculeTable mol;
  long linesRead = 0;
};

Job readJob(const std::filesystem::path &path) {
  LineFile in(path, "job.inp");
  Job job;
  readJobInput(in, job.cond, job.mol);
  job.linesRead = in.lineNumber();
  return job;
}

Job readJobText(const std::string &text) {
  TempDir dir;
  dir.write("job.inp", text);
  return readJob(dir / "job.inp");
}

// The message of the error that reading `text` stops with, or nothing.
std::optional<std::string> jobError(const std::string &text) {
  try {
    readJobText(text);
  } catch (const Error &e) {
    return std::string(e.what());
  }
  return std::nullopt;
}

std::string padded(const std::string &s, std::size_t n) {
  return s + std::string(n - s.size(), ' ');
}

TEST(JobInput, ReadsTheHAbstractionExample) {
  const Job job = readJob(std::string(ORVALEN_FIXTURES) + "/input/h_abstraction.inp");
  EXPECT_EQ(job.cond.T, 298.15);
  EXPECT_EQ(job.cond.P, 101325.0);
  EXPECT_EQ(job.cond.conc, 2.5e15);
  EXPECT_EQ(job.cond.nexp, 1);
  EXPECT_EQ(job.linesRead, 9); // the blank line 9 ends the input; nothing after it is read
  EXPECT_EQ(job.mol.npart(0), 5);
  EXPECT_EQ(job.mol.npart(REACTANT), 2);
  EXPECT_EQ(job.mol.npart(PRODUCT), 2);
  EXPECT_EQ(job.mol.npart(TRANSITION_STATE), 1);

  struct Expected {
    int role, j;
    const char *name, *fileName, *asWritten;
    int mult, rotnum;
  };
  const Expected expected[] = {
      {REACTANT, 1, "OH", "OH.DAT", "oh.dat", NOT_GIVEN, NOT_GIVEN},
      {REACTANT, 2, "CH4", "CH4.DAT", "ch4.dat", NOT_GIVEN, 12},
      {PRODUCT, 1, "H2O", "H2O.DAT", "h2o.dat", NOT_GIVEN, NOT_GIVEN},
      {PRODUCT, 2, "CH3", "CH3.DAT", "ch3.dat", 2, NOT_GIVEN},
      {TRANSITION_STATE, 1, "TS1", "TS1.DAT", "ts1.dat", 2, NOT_GIVEN},
  };
  for (const auto &e : expected) {
    const Molecule &m = job.mol.at(e.role, e.j);
    EXPECT_EQ(m.name, padded(e.name, 20)) << e.name;
    EXPECT_EQ(m.fileName, padded(e.fileName, 255)) << e.name;
    EXPECT_EQ(m.fileNameAsWritten, e.asWritten) << e.name;
    EXPECT_EQ(m.mult, e.mult) << e.name;
    EXPECT_EQ(m.rotnum, e.rotnum) << e.name;
    EXPECT_EQ(m.etot, NOT_GIVEN_REAL) << e.name;
  }
  // The reactant after the blank line was not entered.
  EXPECT_EQ(job.mol.at(REACTANT, 3).name, std::string(20, ' '));
}

TEST(JobInput, ConditionsLines) {
  struct Case {
    const char *text;
    double T, P;
  };
  const Case cases[] = {
      {"", 298.15, 101325.0}, // an empty job: the initial conditions
      {"cond temp=350\n", 350.0, 101325.0},
      {"   COND TEMP=350 PRES=2E5\n", 350.0, 200000.0},
      {"COND TEMP=300 ! warm\n", 300.0, 101325.0},
      {"COND TT=300 TEMP=400\n", 400.0, 101325.0},
      {"COND TEMP=400 TT=300\n", 400.0, 101325.0}, // keys are taken TT then TEMP
      {"COND PRES=5 PP=7\n", 298.15, 5.0},
      {"COND PRES\n", 298.15, 0.0},
      {"COND TEMP=warm\n", 0.0, 101325.0},
      {"COND TEMP=1.5E3\n", 1500.0, 101325.0},
      {"COND TEMPERATURE=310 PRESSURE=1000\n", 310.0, 1000.0},
      {"COND T=500\n", 298.15, 101325.0}, // no key begins "T="
      {"CONDITIONS TEMP=500\n", 500.0, 101325.0},
      {"COND TEMP=300\nCOND PP=5\n", 300.0, 5.0},
      {"COND TEMP=300\nCOND TEMP=500\n", 500.0, 101325.0},
      {"COND TEMP=350\r\nCOND PRES=10\r\n", 350.0, 10.0},
      {"   ! note\n! COND TEMP=1\nnote\nCOND TEMP=300\n", 300.0, 101325.0},
      {"\tCOND TEMP=300\n", 300.0, 101325.0}, // a tab counts as a blank
      {"COND\tTEMP=300\tPRES=5\n", 300.0, 5.0},
      {"COND TEMP=300\n   \nCOND TEMP=500\n", 300.0, 101325.0}, // a blank line ends the input
      {"\nCOND TEMP=500\n", 298.15, 101325.0},
  };
  for (const auto &c : cases) {
    const Job job = readJobText(c.text);
    EXPECT_EQ(job.cond.T, c.T) << c.text;
    EXPECT_EQ(job.cond.P, c.P) << c.text;
    EXPECT_EQ(job.mol.npart(0), 0) << c.text;
  }
}

TEST(JobInput, EffectiveRateLines) {
  struct Case {
    const char *text;
    double conc;
    int nexp;
  };
  // G20.10 without a decimal point takes the last ten mantissa digits as the
  // fraction: 25E14 is 0.0000000025E14 = 2.5E5, and 1000 is 0.0000001 = 1E-7.
  const Case cases[] = {
      {"KEFF 2.5E15 1\n", 2.5e15, 1},
      {"KEFF 1.0E15\n", 1.0e15, 1},
      {"KEFF 1.0E15 2\n", 1.0e15, 2},
      {"KEFF 1.0E15 0\n", 1.0e15, 0},
      {"keff 2.5e15 3\n", 2.5e15, 3},
      {"KEFF 2.5D15\n", 2.5e15, 1},
      {"KEFF 25E14\n", 2.5e5, 1},
      {"KEFF 1000\n", 1.0e-7, 1},
      {"KEFF 2.50000000000000E+15 4\n", 2.5e15, 4}, // a word of 20 characters
      {"KEFF\n", 0.0, 0},
      {"KEFF 1.0E15 2 more words\n", 1.0e15, 2},
      {"KEFF 1.0E15 2\nKEFF 3.0E15\n", 3.0e15, 1},
  };
  for (const auto &c : cases) {
    const Job job = readJobText(c.text);
    EXPECT_EQ(job.cond.conc, c.conc) << c.text;
    EXPECT_EQ(job.cond.nexp, c.nexp) << c.text;
  }
}

TEST(JobInput, MoleculeLines) {
  struct Case {
    const char *text;
    int role; // 0: the line is ignored
    const char *name, *fileName, *asWritten;
    int mult, rotnum;
    double etot;
  };
  const int NG = NOT_GIVEN;
  const double NGR = NOT_GIVEN_REAL;
  const Case cases[] = {
      {"REACTANT A a.dat", REACTANT, "A", "A.DAT", "a.dat", NG, NG, NGR},
      {"PRODUCT B b.dat", PRODUCT, "B", "B.DAT", "b.dat", NG, NG, NGR},
      {"  ts x x.dat", TRANSITION_STATE, "X", "X.DAT", "x.dat", NG, NG, NGR},
      {"TS1 X x.dat", 0, "", "", "", 0, 0, 0.0},
      {"TRANS X x.dat", 0, "", "", "", 0, 0, 0.0},
      {"PRODREACT A a.dat", REACTANT, "A", "A.DAT", "a.dat", NG, NG, NGR}, // REACT is asked first
      {"REACT A a.dat MULT", REACTANT, "A", "A.DAT", "a.dat", 0, NG, NGR},
      {"REACT Acetaldehyde_long_name a.dat", REACTANT, "ACETALDEHYDE_LONG_NA", "A.DAT", "a.dat", NG,
       NG, NGR},
      {"REACT ch4 Data/Ch4.Dat MULT=2.7 ROTNUM=(12) ETOT=-76.123456789", REACTANT, "CH4",
       "DATA/CH4.DAT", "Data/Ch4.Dat", 2, 12, -76.123456789},
      {"REACT A a.dat multiplicity=3 etot=-40 rotnum=x", REACTANT, "A", "A.DAT", "a.dat", 3, 0,
       -40.0},
      {"REACT A a.dat ETOT=abc MULT=999999", REACTANT, "A", "A.DAT", "a.dat", 999999, NG, 0.0},
      // Names and file names never match an option.
      {"REACT MULT=3 ETOT=1.dat", REACTANT, "MULT=3", "ETOT=1.DAT", "ETOT=1.dat", NG, NG, NGR},
      {"REACT A", REACTANT, "A", "", "", NG, NG, NGR},
      {"TS", TRANSITION_STATE, "", "", "", NG, NG, NGR},
  };
  for (const auto &c : cases) {
    const Job job = readJobText(std::string(c.text) + "\n");
    if (c.role == 0) {
      EXPECT_EQ(job.mol.npart(0), 0) << c.text;
      continue;
    }
    ASSERT_EQ(job.mol.npart(0), 1) << c.text;
    ASSERT_EQ(job.mol.npart(c.role), 1) << c.text;
    const Molecule &m = job.mol.at(c.role, 1);
    EXPECT_EQ(m.name, padded(c.name, 20)) << c.text;
    EXPECT_EQ(m.fileName, padded(c.fileName, 255)) << c.text;
    EXPECT_EQ(m.fileNameAsWritten, c.asWritten) << c.text;
    EXPECT_EQ(m.mult, c.mult) << c.text;
    EXPECT_EQ(m.rotnum, c.rotnum) << c.text;
    EXPECT_EQ(m.etot, c.etot) << c.text;
  }
}

TEST(JobInput, MoleculesAreNumberedPerRoleInLineOrder) {
  const Job job = readJobText("PROD P1 p1.dat\nREACT R1 r1.dat\nTS T1 t1.dat\nPROD P2 p2.dat\n"
                              "REACT R2 r2.dat ROTNUM=2\nREACT R3 r3.dat\n");
  EXPECT_EQ(job.mol.npart(REACTANT), 3);
  EXPECT_EQ(job.mol.npart(PRODUCT), 2);
  EXPECT_EQ(job.mol.npart(TRANSITION_STATE), 1);
  EXPECT_EQ(job.mol.npart(0), 6);
  EXPECT_EQ(trimmed(job.mol.at(REACTANT, 2).name), "R2");
  EXPECT_EQ(job.mol.at(REACTANT, 2).rotnum, 2);
  EXPECT_EQ(job.mol.at(REACTANT, 3).rotnum, NOT_GIVEN);
  EXPECT_EQ(trimmed(job.mol.at(PRODUCT, 2).name), "P2");
}

TEST(JobInput, OnlyTheFirst132CharactersAfterLeadingBlanksCount) {
  // "REACT A " is 8 characters, so 124 characters of the path remain.
  const std::string path = "Dir/" + std::string(150, 'f');
  const Job job = readJobText(std::string(30, ' ') + "REACT A " + path + " MULT=2\n");
  const Molecule &m = job.mol.at(REACTANT, 1);
  EXPECT_EQ(m.fileNameAsWritten, path.substr(0, 124));
  EXPECT_EQ(trimmed(m.fileName), "DIR/" + std::string(120, 'F'));
  EXPECT_EQ(m.mult, NOT_GIVEN); // the option lay beyond the cut

  const std::string pad(126, 'x'); // "TT=300" would begin at character 133
  EXPECT_EQ(readJobText("COND " + pad + " TT=300\n").cond.T, 298.15);
  EXPECT_EQ(readJobText("COND " + std::string(110, 'x') + " TT=300\n").cond.T, 300.0);
}

TEST(JobInput, CapacitiesStopTheRunNamingTheLine) {
  std::string tenReactants = "! ten reactants\n";
  for (int k = 1; k <= 10; ++k)
    tenReactants += "REACT R" + std::to_string(k) + " r.dat\n";
  EXPECT_EQ(readJobText(tenReactants).mol.npart(REACTANT), 10);

  const auto eleventh = jobError(tenReactants + "PROD P p.dat\nREACT R11 r.dat\n");
  ASSERT_TRUE(eleventh);
  EXPECT_EQ(eleventh->rfind("job.inp line 13: MOL(1, 11)", 0), 0u) << *eleventh;

  std::string twenty = "REACT A a.dat";
  for (int k = 4; k <= 20; ++k)
    twenty += " W" + std::to_string(k);
  EXPECT_EQ(readJobText(twenty + "\n").mol.npart(REACTANT), 1);
  for (const char *start : {"REACT A a.dat", "KEFF 1E15 1 x"}) {
    std::string words = start;
    while (words.size() < 100)
      words += " w";
    const auto tooMany = jobError("! first line\n" + words + "\n");
    ASSERT_TRUE(tooMany) << start;
    EXPECT_EQ(tooMany->rfind("job.inp line 2: more than 20 words", 0), 0u) << *tooMany;
  }
}

TEST(JobInput, BadValuesStopTheRunWithFileLineAndText) {
  std::string fiftyOne = "REACT A a.dat MULT=(1";
  for (int k = 2; k <= 51; ++k)
    fiftyOne += ",1";
  fiftyOne += ")";
  struct Case {
    std::string text;
    const char *message;
  };
  const Case cases[] = {
      {"! c\nKEFF 2.5X15 1\n", "job.inp line 2: cannot read \"2.5X15\" as a real number"},
      {"KEFF E15\n", "job.inp line 1: cannot read \"E15\" as a real number"},
      {"KEFF 1.0E15 1.0\n", "job.inp line 1: cannot read \"1.0\" as an integer"},
      {"keff 1.0e15 two\n", "job.inp line 1: cannot read \"two\" as an integer"},
      {"KEFF 1.0E15 99999999999\n", "job.inp line 1: cannot read \"99999999999\" as an integer"},
      // Cut to 20 characters the word would read as 1.0: an error instead.
      {"KEFF 1.00000000000000000000E15\n",
       "job.inp line 1: cannot read \"1.00000000000000000000E15\" as a real number: longer than "
       "20 characters"},
      {"REACT A a.dat\nREACT B b.dat ROTNUM=99999999999\n",
       "job.inp line 2: cannot read \"99999999999\" as a number: \"99999999999\" does not fit in "
       "a 32-bit integer"},
      {"COND TEMP=1.99999999999999999999\n",
       "job.inp line 1: cannot read \"1.99999999999999999999\" as a number: "
       "\"99999999999999999999\" does not fit in a 64-bit integer"},
      {fiftyOne + "\n", "job.inp line 1: option MULT: more than 50 values in"},
  };
  for (const auto &c : cases) {
    const auto message = jobError(c.text);
    ASSERT_TRUE(message) << c.text;
    EXPECT_EQ(message->rfind(c.message, 0), 0u) << *message;
  }
}

TEST(JobInput, MalformedOptionValuesDoNotStopTheRun) {
  const Job job = readJobText("COND TEMP=3OO PRES=(1,2\nREACT A a.dat MULT=two ETOT=1.2.3\n");
  EXPECT_EQ(job.cond.T, 0.0);
  EXPECT_EQ(job.cond.P, 0.0);
  EXPECT_EQ(job.mol.at(REACTANT, 1).mult, 0);
  EXPECT_EQ(job.mol.at(REACTANT, 1).etot, 0.0);
}

} // namespace
} // namespace orvalen

namespace orvalen {
namespace {

std::vector<std::string> jobWarnings(const std::string &text) {
  TempDir dir;
  dir.write("job.inp", text);
  LineFile in(dir / "job.inp", "job.inp");
  Conditions cond;
  MoleculeTable mol;
  Warnings w;
  readJobInput(in, cond, mol, w);
  return w.texts();
}

// An option whose key is there but whose value gives no number becomes 0: a
// warning names the line, the word and what was probably meant.
TEST(JobInput, OptionsWithoutANumberAreNamed) {
  struct Case {
    const char *text;
    std::vector<const char *> fragments; // one warning holding all of them; none when empty
  };
  const Case cases[] = {
      {"COND TEMP=298.15 PRES=101325\nREACT A a.dat MULT=2 ROTNUM=(3) ETOT=-1.5\n", {}},
      {"COND TEMP=298.15K\n",
       {"job.inp line 1: \"TEMP=298.15K\" gives no number (\"298.15K\" is not a number)",
        "temperature is 0"}},
      {"cond tt=warm\n", {"\"tt=warm\"", "temperature is 0", "TT=298.15"}},
      {"COND PRES 1E5\n", {"\"PRES\" gives no number", "pressure is 0", "PRES=1E5"}},
      {"COND PP=\n", {"\"PP=\" gives no number", "pressure is 0"}},
      {"! a\nREACT A a.dat MULT 2\n", {"job.inp line 2: \"MULT\"", "MULT=2"}},
      {"REACT A a.dat rotnum=three\n", {"\"rotnum=three\"", "rotation number is 0"}},
      {"TS A a.dat ETOT(x)\n", {"\"ETOT(x)\"", "energy is 0"}},
      {"KEFF 1E15\n",
       {"KEFF concentration \"1E15\" has no decimal point", "reads as 100000", "1.0E15"}},
      // A count with a fraction is cut toward zero.
      {"REACT A a.dat MULT=3.02\n",
       {"job.inp line 1: the multiplicity MULT=3.02 is not a whole number and is read as 3",
        "write MULT=3"}},
      {"PROD A a.dat ROTNUM=2.5\n", {"ROTNUM=2.5 is not a whole number and is read as 2"}},
      {"REACT A a.dat MULT=3.0 ROTNUM=12.\n", {}},
  };
  for (const auto &c : cases) {
    const auto w = jobWarnings(c.text);
    if (c.fragments.empty()) {
      EXPECT_TRUE(w.empty()) << c.text;
      continue;
    }
    ASSERT_EQ(w.size(), 1u) << c.text;
    for (const char *f : c.fragments)
      EXPECT_NE(w[0].find(f), std::string::npos) << f << " not in " << w[0];
  }
}

} // namespace
} // namespace orvalen
