#include "rates_fixture.hpp"

#include <gtest/gtest.h>
#include <sstream>

namespace orvalen {
namespace {

using test::addMolecule;

const test::Totals someTotals{-1.0, -0.99, -0.98, -0.97, -1.01, 1.0e-5, 10.0};

std::string titleOf(const std::string &title) {
  return trimmed(title);
}

TEST(ReactionTitle, NamesJoinedWithPlusAndTheArrowBetweenTheSides) {
  struct Case {
    std::vector<const char *> reactants, others;
    int otherRole;
    const char *arrow;
    const char *expected;
  };
  const Case cases[] = {
      {{"A"}, {"B"}, PRODUCT, " ==", " Thermodynamic functions for the reaction A == B"},
      {{"A", "B"},
       {"C", "D"},
       PRODUCT,
       " ==",
       " Thermodynamic functions for the reaction A + B == C + D"},
      {{"OH", "CH4"},
       {"TS1", "TS2"},
       TRANSITION_STATE,
       " ->",
       " Thermodynamic functions for the reaction OH + CH4 -> TS1 + TS2"},
      // a name of 20 characters is whole in the title
      {{"ABCDEFGHIJKLMNOPQRST"},
       {"B"},
       PRODUCT,
       " ==",
       " Thermodynamic functions for the reaction ABCDEFGHIJKLMNOPQRST == B"},
  };
  for (const auto &c : cases) {
    test::Job job;
    for (const char *name : c.reactants)
      addMolecule(job, REACTANT, name, someTotals);
    for (const char *name : c.others)
      addMolecule(job, c.otherRole, name, someTotals);
    const std::string title =
        sectionTitle(job.mol, " Thermodynamic functions for the reaction", c.otherRole, c.arrow);
    EXPECT_EQ(title.size(), TITLE_LEN);
    EXPECT_EQ(titleOf(title), c.expected);
  }
}

TEST(ReactionTitle, CutAt255CharactersAndTheLastCharacterBlankedWhateverItIs) {
  // Start (41 characters) + nine times " REACTANT_NUMBER_000k +" (23 each) = 248.
  // The tenth reactant is cut after " REACTA" (255); the arrow step blanks the
  // "A" and " ==" is cut to " "; the product adds nothing; the last step
  // blanks the "T" of the cut name.
  test::Job job;
  std::string expected = " Thermodynamic functions for the reaction";
  for (int i = 1; i <= 10; ++i) {
    const std::string name =
        "REACTANT_NUMBER_" + std::string(i < 10 ? "000" : "00") + std::to_string(i);
    ASSERT_EQ(name.size(), 20u);
    addMolecule(job, REACTANT, name, someTotals);
    if (i < 10)
      expected += " " + name + " +";
  }
  expected += " REAC";
  addMolecule(job, PRODUCT, "P", someTotals);
  const ReactionTotals totals = reactionThermodynamics(job.mol, job.totals);
  EXPECT_EQ(titleOf(totals.title), expected);
  EXPECT_EQ(expected.size(), 253u);

  // Written as two empty lines and a blank followed by the title up to its last non-blank.
  std::ostringstream text;
  fixedio::Writer out(text);
  writeTitle(out, totals.title);
  EXPECT_EQ(text.str(), "\n\n " + expected + "\n");
}

TEST(ReactionTotals, ProductsMinusReactantsAndTheRatioOfPartitionFunctions) {
  test::Job job;
  addMolecule(job, REACTANT, "A", {-1.0, -0.9, -0.8, -0.7, -1.5, 2.0e-5, 4.0});
  addMolecule(job, REACTANT, "B", {-2.0, -1.9, -1.8, -1.7, -2.5, 3.0e-5, 5.0});
  addMolecule(job, PRODUCT, "C", {-2.5, -2.25, -2.5, -2.25, -3.75, 6.0e-5, 8.0});
  const ReactionTotals r = reactionThermodynamics(job.mol, job.totals);
  EXPECT_TRUE(r.present);
  // Sums in walk order: reactants (sign -1) first, then products (sign +1).
  EXPECT_EQ(r.drE, (-1.0 * -1.0 + -1.0 * -2.0) + -2.5);
  EXPECT_EQ(r.drZpe, (0.9 + 1.9) + -2.25);
  EXPECT_EQ(r.drU, (0.8 + 1.8) + -2.5);
  EXPECT_EQ(r.drH, (0.7 + 1.7) + -2.25);
  EXPECT_EQ(r.drG, (1.5 + 2.5) + -3.75);
  EXPECT_EQ(r.drS, (-2.0e-5 - 3.0e-5) + 6.0e-5);
  EXPECT_EQ(r.drQ, 1.0 / 4.0 / 5.0 * 8.0); // 0.4
}

TEST(ReactionTotals, SameMoleculeOnBothSidesGivesZeroTotalsAndUnitRatio) {
  test::Job job;
  const test::Totals x{-76.4, -76.38, -76.377, -76.376, -76.398, 7.3e-5, 3.0e6};
  addMolecule(job, REACTANT, "X", x);
  addMolecule(job, PRODUCT, "X", x);
  const ReactionTotals r = reactionThermodynamics(job.mol, job.totals);
  for (const double total : {r.drE, r.drZpe, r.drU, r.drH, r.drG, r.drS})
    EXPECT_EQ(total, 0.0);
  EXPECT_EQ(r.drQ, 1.0);
}

TEST(ReactionTotals, RatioOfLargePartitionFunctionsDoesNotUnderflow) {
  // Ten reactants and ten products of Qtot 1e40 each: the running quotient
  // 1/1e40/.../1e40 leaves the range of doubles after eight divisions, but the
  // ratio is 1; so is the activation ratio with the same ten as transition
  // states. Products of 2e40 give 2^10 = 1024.
  test::Job job;
  for (int k = 0; k < 10; ++k) {
    addMolecule(job, REACTANT, "R", {-1.0, -0.9, -0.8, -0.7, -1.5, 2.0e-5, 1.0e40});
    addMolecule(job, PRODUCT, "P", {-1.0, -0.9, -0.8, -0.7, -1.5, 2.0e-5, 2.0e40});
    addMolecule(job, TRANSITION_STATE, "T", {-1.0, -0.9, -0.8, -0.7, -1.5, 2.0e-5, 1.0e40});
  }
  EXPECT_NEAR(reactionThermodynamics(job.mol, job.totals).drQ, 1024.0, 1024.0 * 1e-12);
  EXPECT_NEAR(partitionRatio(job.totals, TRANSITION_STATE), 1.0, 1e-12);
  EXPECT_NEAR(rateConstants(job.mol, job.totals, Conditions{}).prodQ, 1.0, 1e-12);
}

TEST(ReactionSection, SkippedWithoutReactantsOrWithoutProducts) {
  for (const int only : {REACTANT, PRODUCT}) {
    test::Job job;
    addMolecule(job, only, "A", someTotals);
    addMolecule(job, TRANSITION_STATE, "TS", someTotals);
    const ReactionTotals r = reactionThermodynamics(job.mol, job.totals);
    EXPECT_FALSE(r.present);
    EXPECT_EQ(r.drZpe, 0.0); // the tunnelling section reads it
    EXPECT_EQ(r.drQ, 1.0);
    std::ostringstream text;
    fixedio::Writer out(text);
    writeReactionSection(out, job.mol, job.totals, Conditions{}, r);
    EXPECT_EQ(text.str(), "") << only;
  }
}

TEST(ReactionSection, ConditionLinesShowPressureInFourUnits) {
  struct Case {
    double T, P;
    const char *expected;
  };
  const Case cases[] = {
      // 101325 Pa = 1 atm = 760 torr = 1.01325 bar
      {298.15, 101325.0,
       "\n Temperature  =          298.15 K\n"
       " Pressure     =       101325.00 Pa    1.0000 atm    760.00 torr      1.01 bar\n"},
      // 1e5 Pa: 1e5/101325 = 0.98692 atm, x 760 = 750.06 torr, 1.00 bar
      {1000.0, 100000.0,
       "\n Temperature  =         1000.00 K\n"
       " Pressure     =       100000.00 Pa    0.9869 atm    750.06 torr      1.00 bar\n"},
  };
  for (const auto &c : cases) {
    std::ostringstream text;
    fixedio::Writer out(text);
    writeConditions(out, Conditions{c.T, c.P, 0.0, 0});
    EXPECT_EQ(text.str(), c.expected);
  }
}

TEST(ReactionSection, TableCutsNamesTo15AndFileNamesTo14Characters) {
  test::Job job;
  addMolecule(job, REACTANT, "ABCDEFGHIJKLMNOPQRST", someTotals, "ABCDEFGHIJKLMNOPQRSTUVWXYZ.DAT");
  addMolecule(job, PRODUCT, "B", someTotals, "B.DAT");
  std::ostringstream text;
  fixedio::Writer out(text);
  writeReactionSection(out, job.mol, job.totals, Conditions{},
                       reactionThermodynamics(job.mol, job.totals));
  const std::string s = text.str();
  // header: 13 blanks, A15 of the 20-character name, 4 blanks, "=", 8 blanks, A15
  EXPECT_NE(s.find("\n\n             ABCDEFGHIJKLMNO    =        B              "
                   "        DrE, a.u.       kcal/mol         kJ/mol\n"),
            std::string::npos)
      << s;
  // file row: a blank and A14 for each column, 12 blanks between the sides
  EXPECT_NE(s.find("\n\n File    ABCDEFGHIJKLMN             B.DAT         \n"), std::string::npos)
      << s;
}

} // namespace
} // namespace orvalen
