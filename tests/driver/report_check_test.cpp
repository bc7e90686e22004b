#include "driver/report_check.hpp"

#include <gtest/gtest.h>
#include <sstream>

namespace orvalen {
namespace {

std::vector<std::string> check(const std::string &report, bool &unsound) {
  std::istringstream in(report);
  Warnings w;
  checkReport(in, "job.out", w);
  unsound = w.reportUnsound();
  return w.texts();
}

TEST(ReportCheck, OneWarningPerSectionWithItsQuantitiesAndLines) {
  const std::string report =
      "banner\n"
      " ************* TD properties of molecule X                    \n"                    // 2
      " Qtran =     0.00000E+00   ln(Qtran)=   -Infinity   lg(Qtran)=   -Infinity\n"        // 3
      " Utran =        NaN  kJ/mol       NaN  kcal/mol             NaN Hartree  \n"         // 4
      " Ftran =   Infinity  kJ/mol  Infinity  kcal/mol        Infinity Hartree  \n"         // 5
      " ************* TD properties of molecule OK                   \n"                    // 6
      " Utran =      3.718  kJ/mol     0.889  kcal/mol      0.00141618 Hartree  \n"         // 7
      "  Thermodynamic functions for the reaction OH + X == H2O\n"                          // 8
      " E+U        -75.6262449            NaN                -76.3079134\n"                 // 9
      "  Kinetic parameters for the reaction OH + X -> TS1\n"                               // 10
      " Activation entropy            at T                       NaN            NaN\n"      // 11
      " Rate constant kG     k(T)=kT/h*Exp(-dGa)*Fc              NaN                 NaN\n" // 12
      " Transmission coeeficient by Wigner theory                  =        1.0000000000\n"
      " Transmission coeeficient for uniform parabolic potential   =                 NaN\n";
  bool unsound = false;
  const auto w = check(report, unsound);
  EXPECT_TRUE(unsound);
  ASSERT_EQ(w.size(), 3u);
  EXPECT_EQ(w[0], "job.out lines 3-5: the section of molecule X shows values that are not finite "
                  "(NaN or Infinity) for ln(Qtran); Utran; Ftran");
  EXPECT_EQ(w[1], "job.out line 9: the reaction section shows values that are not finite (NaN or "
                  "Infinity) for E+U");
  EXPECT_EQ(w[2], "job.out lines 11-12: the rate constant section shows values that are not "
                  "finite (NaN or Infinity) for Activation entropy at T; Rate constant kG "
                  "k(T)=kT/h*Exp(-dGa)*Fc");
}

TEST(ReportCheck, TunnellingLinesAndFiniteReportsGiveNothing) {
  bool unsound = true;
  EXPECT_TRUE(check(" ************* TD properties of molecule H\n"
                    " Qtran =     2.55711E+05   ln(Qtran)=     12.4518   lg(Qtran)=      5.4077\n"
                    " Transmission coeeficient for uniform parabolic potential   =     NaN\n"
                    " Transmission coeeficient by Skodje-Thrular theory (a>b,a<b)=    -Infinity\n",
                    unsound)
                  .empty());
  EXPECT_FALSE(unsound);
}

} // namespace
} // namespace orvalen
