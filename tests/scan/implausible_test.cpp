// The report's plausibility checks over a scan: one warning per kind for the
// whole run, naming the temperatures where it holds. The rate constants are
// held against their bound at the standard state (k is; kQ and kG times
// (P0/P)^(m - nTS)), so the report's pressure-factor warning has no place.
//
// By hand, OH + CH4 from docs/orvalen-scan.md's table (kQ at 101325 Pa: 2.93878E-14 at
// 400 K, 1.22669E-13 at 500 K): ETOT=-116.0790 for the transition state
// lowers dH0 by 35.572863 kJ/mol to -15.08 and multiplies kQ by
// exp(35572.863/RT): 44208 at 400 K and 5206 at 500 K, so at P0 kQ =
// 2.93878E-14 * 44208 * 1e5/101325 = 1.28E-9 (above 1e-9) and 6.3E-10 (below);
// at 2e5 Pa kQ itself is 1.26E-9 at 500 K, above, but not at the standard
// state. ETOT=-116.0750 (dH0 = -4.58 kJ/mol) gives kQ = 1.896E-10 at 200 K,
// below the limit, and k = kQ * Wigner 6.0874 * 0.98692 = 1.139E-9, above.
// HCN -> HNC with ETOT=-93.2974 (dH0 = +2.15 kJ/mol): kQ/(kB T/h) = ProdQ
// exp(-dH0/RT) = 5.565 * 0.422 = 2.35 at 300 K, 4.656 * 0.772 = 3.6 at
// 1000 K, 2.792 * 0.879 = 2.45 at 2000 K: above kB T/h at each.

#include "scan_support.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvalen::test {
namespace {

std::string ohCh4(const char *etot) {
  return std::string("REACT OH oh.dat\nREACT CH4 ch4.dat ROTNUM=12\nTS TS1 ts1.dat MULT=2 ETOT=") +
         etot + "\nPROD H2O h2o.dat\nPROD CH3 ch3.dat MULT=2\n";
}

std::string submerged(const char *dH0) {
  return "orvalen-scan: warning: the transition state TS1 lies below the reactants OH + CH4: "
         "dH0 = " +
         std::string(dH0) +
         " kJ/mol (E+ZPE); a submerged barrier is possible, but check that every energy comes "
         "from the same method and belongs to the molecule named";
}

std::string collision(const char *at, const char *names, const char *dH0,
                      const char *check = " and the molecules") {
  return "orvalen-scan: warning: at " + std::string(at) + " the bimolecular rate constant (" +
         names +
         ", at P0 = 1e5 Pa) is above the collision limit of about 1e-9 cm3/molecule/s, which no "
         "reaction exceeds: check the energies (dH0 = " +
         dH0 + " kJ/mol)" + check;
}

// The lines of standard error that a plausibility check gives.
std::vector<std::string> plausibilityLines(const std::string &stderrText) {
  std::vector<std::string> found;
  for (const std::string &line : linesOf(stderrText))
    for (const char *mark : {"below the reactants", "collision limit", "kB*T/h", "pressure"})
      if (line.find(mark) != std::string::npos) {
        found.push_back(line);
        break;
      }
  return found;
}

TEST(ScanImplausible, OneWarningPerKindNamingTheTemperatures) {
  struct Case {
    const char *what;
    const char *folder;
    std::string job; // written as job.inp; empty: the example's own
    const char *args;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"an ordinary barrier at 1e7 Pa: no warning, the pressure factor not named",
       "examples/oh_ch4",
       "",
       "oh_ch4 -T 300,1000 -P 1e7",
       {}},
      {"a submerged barrier, kQ above the limit below 500 K at P0",
       "examples/oh_ch4",
       ohCh4("-116.0790"),
       "job -T 200:1000:100 -P 2e5",
       {submerged("-15.08"), collision("3 temperatures (200 to 400 K)", "kQ, kG and k", "-15.08")}},
      {"only k, through the Wigner coefficient",
       "examples/oh_ch4",
       ohCh4("-116.0750"),
       "job -T 200,300 --tunnelling wigner",
       {submerged("-4.58"), collision("200 K", "k", "-4.58",
                                      ", the molecules and the tunnelling coefficient (wigner)")}},
      {"unimolecular above kB T/h",
       "examples/hcn_hnc",
       "REACT HCN hcn.dat\nTS TS1 ts1.dat ETOT=-93.2974\nPROD HNC hnc.dat\n",
       "job -T 300,1000,2000 --tunnelling wigner",
       {"orvalen-scan: warning: at 3 temperatures (300 to 2000 K) the unimolecular rate constant "
        "(kQ, kG and k) is above kB*T/h, which no reaction exceeds: check the energies (dH0 = "
        "2.15 kJ/mol) and the molecules"}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    copyJobFolder(c.folder, dir.path());
    if (!c.job.empty())
      dir.write("job.inp", c.job);
    const RunResult r = runScanBinary(dir.path(), std::string(c.args) + " --format csv");
    EXPECT_EQ(r.status, 0) << r.stderrText;
    EXPECT_EQ(plausibilityLines(r.stderrText), c.lines) << r.stderrText;
  }
}

} // namespace
} // namespace orvalen::test
