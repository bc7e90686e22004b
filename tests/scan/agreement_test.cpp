// The scan against the report: orvalen runs the same job with "COND TEMP=T"
// added, and every value the scan's JSON holds for T, written with the
// report's own format texts and field editor, must give the report's line
// character for character.

#include "scan_support.hpp"

#include "fixedio/format.hpp"
#include "thermo/constants.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <sstream>
#include <vector>

namespace orvalen::test {
namespace {

using nlohmann::json;

struct Job {
  const char *name;               // test name
  const char *folder;             // relative to the source tree
  const char *job;                // job input name without .inp
  const char *pressure = nullptr; // -P for the scan, PRES= for orvalen
};

// Temperatures that orvalen's own number reader and the scan's read as the
// same double (halves are exact in both).
const std::vector<const char *> TEMPERATURES = {"200", "300", "650.5", "1500", "2500"};

// The job input with "COND TEMP=t" (and PRES=p) as its last line before the
// end or the first blank line, so that it wins over an earlier COND line.
std::string withConditions(const std::string &inp, const std::string &t, const char *p) {
  const std::string cond = "COND TEMP=" + t + (p ? " PRES=" + std::string(p) : "") + "\n";
  std::string out;
  bool placed = false;
  for (const std::string &line : linesOf(inp)) {
    if (!placed && line.find_first_not_of(" \t\r") == std::string::npos) {
      out += cond;
      placed = true;
    }
    out += line + "\n";
  }
  if (!placed)
    out += cond;
  return out;
}

double d(const json &v) {
  return v.is_null() ? std::nan("") : v.get<double>();
}

// Every line a section should hold, from the scan's values.
class Expected {
public:
  template <class... A> void line(std::string_view format, const A &...values) {
    std::string text = fixedio::format(format, values...);
    for (const std::string &l : linesOf(text))
      if (!l.empty())
        lines_.push_back(l);
  }
  void energy(std::string_view format, double x) { line(format, x, x * KJ2KCAL, x * KJ2HARTREE); }
  void entropy(std::string_view format, double s) {
    line(format, s, s * KJ2KCAL, s * (KJ2HARTREE * 0.001));
  }
  void partition(std::string_view format, double q) { line(format, q, std::log(q), std::log10(q)); }
  void activation(std::string_view format, double h) {
    const double kj = h / KJ2HARTREE;
    line(format, h, kj * KJ2KCAL, kj);
  }
  void reaction(std::string_view format, double h) {
    const double kj = h / KJ2HARTREE;
    line(format, kj, kj * KJ2KCAL, h);
  }
  const std::vector<std::string> &lines() const { return lines_; }

private:
  std::vector<std::string> lines_;
};

// The block of one contribution X (elec, tran, rot): its Q line and U, H, S, F, G.
void contribution(Expected &e, const json &c, const char *x, bool elec) {
  const std::string X(x);
  const std::string pad = elec ? "' Hartree'" : "' Hartree  '";
  e.partition("(/' Q" + X + " = ',1pE15.5,'   ln(Q" + X + ")=',0pf12.5,'   lg(Q" + X +
                  ")=',0pf12.5)",
              d(c["Q"]));
  for (const char *f : {"U", "H"})
    e.energy("( ' " + std::string(f) + X + " = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8," + pad +
                 ")",
             d(c[std::string(f) + "_kJmol"]));
  e.entropy("( ' S" + X + " = ',f10.3,' J/K/mol',f10.3,' cal/K/mol',f16.8,' Hartree/K')",
            d(c["S_JmolK"]));
  for (const char *f : {"F", "G"})
    e.energy("( ' " + std::string(f) + X + " = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8," + pad +
                 ")",
             d(c[std::string(f) + "_kJmol"]));
}

Expected moleculeLines(const json &m, const json &point) {
  Expected e;
  e.line("(/' Temperature   : ',f12.2,' K ')", d(point["T"]));
  e.line("( ' Pressure      : ',f12.2,' Pa')", d(point["P"]));
  contribution(e, m["elec"], "elec", true);
  contribution(e, m["tran"], "tran", false);
  contribution(e, m["rot"], "rot", false);
  const json &v = m["vib"];
  e.line("(' Total for ',i4,' vibrations',26X,6f9.3,1pE12.5)", v["used"].get<int>(),
         d(v["S_JmolK"]), d(v["ZPE_kJmol"]), d(v["H_H0_kJmol"]), d(v["H_kJmol"]), d(v["G_kJmol"]),
         0.0, d(v["Q"]));
  const json &t = m["tot"];
  e.partition("(/' Qtot = ',1pE15.5,'   ln(Qtot)=',0pf12.5,'   lg(Qtot)=',0pf12.5)", d(t["Q"]));
  e.energy("( ' ZPEtot ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')",
           d(t["ZPE_kJmol"]));
  e.energy("( ' Utot = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", d(t["U_kJmol"]));
  e.energy("( ' Htot = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", d(t["H_kJmol"]));
  e.entropy("( ' Stot = ',f10.3,' J/K/mol',f10.3,' cal/K/mol',f16.8,' Hartree/K')",
            d(t["S_JmolK"]));
  e.energy("( ' Gtot = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", d(t["G_kJmol"]));
  const json &c = m["corrected_hartree"];
  e.line("(/ ' Etot        = ',f16.8,'  (Etot used as a BaseEnergy for TD calculations)')",
         d(c["E"]));
  e.line("(  ' Etot+ZPEtot = ',f16.8,10x,' (ZPEtot = ',f16.8,')')", d(c["E_ZPE"]), d(c["ZPE"]));
  e.line("(  ' Etot+Utot   = ',f16.8,10x,' (Utot   = ',f16.8,')')", d(c["E_U"]), d(c["U"]));
  e.line("(  ' Etot+Htot   = ',f16.8,10x,' (Htot   = ',f16.8,')')", d(c["E_H"]), d(c["H"]));
  e.line("(  ' Etot+Ftot   = ',f16.8,10x,' (Ftot   = ',f16.8,')')", d(c["E_F"]), d(c["F"]));
  e.line("(  ' Etot+Gtot   = ',f16.8,10x,' (Gtot   = ',f16.8,')'/)", d(c["E_G"]), d(c["G"]));
  return e;
}

Expected reactionLines(const json &point) {
  Expected e;
  const json &r = point["reaction"];
  // The E+G row: reactants' and products' E+G, then DrG in Hartree, kcal/mol, kJ/mol.
  std::vector<fixedio::Value> row;
  std::vector<double> reactants, products;
  for (const json &m : point["molecules"]) {
    if (m["role"] == "reactant")
      reactants.push_back(d(m["corrected_hartree"]["E_G"]));
    else if (m["role"] == "product")
      products.push_back(d(m["corrected_hartree"]["E_G"]));
  }
  row.emplace_back(static_cast<int>(reactants.size()));
  for (double x : reactants)
    row.emplace_back(x);
  row.emplace_back(static_cast<int>(products.size()));
  for (double x : products)
    row.emplace_back(x);
  const double drG = d(r["DrG_hartree"]);
  row.emplace_back(drG);
  row.emplace_back(drG / KJ2HARTREE * KJ2KCAL);
  row.emplace_back(drG / KJ2HARTREE);
  for (const std::string &l :
       fixedio::formatLines("(' E+G    ',<>f15.7,12x,<>f15.7,8x,f15.7,2f15.2)", row))
    e.line("(a)", l);

  const double drQ = d(r["DrQ"]);
  e.line("(//' DrQ = ',1pE15.5,'   ln(Qtot)=',0pf12.5,'   lg(Qtot)=',0pf12.5)", drQ, std::log(drQ),
         std::log10(drQ));
  e.reaction("(/' DrEE  ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')",
             d(r["DrE_hartree"]));
  e.reaction("( ' DrZPE ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')",
             d(r["DrZPE_hartree"]));
  e.reaction("( ' DrU = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')",
             d(r["DrU_hartree"]));
  e.reaction("( ' DrH = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')",
             d(r["DrH_hartree"]));
  const double drS = d(r["DrS_hartreeK"]);
  const double drSJ = drS / KJ2HARTREE * 1000.0;
  e.line("( ' DrS = ',f10.3,' J/K/mol',f10.3,' cal/K/mol',f16.8,' Hartree/K')", drSJ,
         drSJ * KJ2KCAL, drS);
  e.reaction("( ' DrG = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", drG);
  return e;
}

void four(Expected &e, std::string_view format, const json &c) {
  e.line(format, d(c[0]), d(c[1]), d(c[2]), d(c[3]));
}

Expected rateLines(const json &point) {
  Expected e;
  const json &a = point["activation"];
  e.activation("( ' Activation total energy dEa                  ',f15.8,2f15.2)",
               d(a["dEa_hartree"]));
  e.activation("( ' Activation enthalpy at 0K dH0=d(E+ZPE)       ',f15.8,2f15.2)",
               d(a["dH0_hartree"]));
  e.activation("( ' Activation enthalpy at the given T           ',f15.8,2f15.2)",
               d(a["dH_hartree"]));
  const double dS = d(a["dS_hartreeK"]);
  const double dSKJ = dS / KJ2HARTREE;
  e.line("( ' Activation entropy            at T           ',f15.8,2f15.2,' J/mol/K')", dS,
         dSKJ * KJ2KCAL * 1000.0, dSKJ * 1000.0);
  e.activation("( ' Activation Gibbs free energy  at T           ',f15.8,2f15.2)",
               d(a["dG_hartree"]));
  const double kTh = d(a["kBT_h"]), prodQ = d(a["ProdQ"]), e0 = d(a["exp_dH0_RT"]);
  e.line("( ' Factor kB*T/h, 1/s                           ',1pe15.6)", kTh);
  e.line("( ' Partition functions product ProdQ            ',1pe15.6)", prodQ);
  e.line("( ' Frequency factor kT/h*ProdQ, 1/s             ',1pe15.6)", kTh * prodQ);
  e.line("( ' Exponential factor Exp(-dH0/RT)              ',1pe15.6)", e0);
  e.line("( ' Reaction probability kT/h*ProdQ*Exp(-dH0/RT) ',1pe15.6)", kTh * prodQ * e0);
  four(e, "( ' Concentration factor Fc=(RT/P)**(m-1)   ',4(1pe20.6))", point["Fc"]);
  four(e, "( ' Pre-exponential fctr A=kT/h*ProdQ*Fc    ',4(1pe20.6))", point["A"]);
  four(e, "( ' Rate constant kQ     k(T)=A*Exp(-dH0/RT)',4(1pe20.6))", point["kQ"]);
  four(e, "(/' Rate constant kG     k(T)=kT/h*Exp(-dGa)*Fc',1pe17.6,3(1pe20.6))", point["kG"]);
  return e;
}

Expected tailLines(const json &point) {
  Expected e;
  if (!point["keff"].is_null())
    four(e, "(/' Effective rate constant kG * C**n          ',1pd17.6,3(1pd20.6))", point["keff"]);
  const json &t = point["report_tunnelling"];
  e.line("(//' Transmission coeeficient by Wigner theory                  =',f20.10)",
         d(t["wigner"]));
  e.line("(  ' Transmission coeeficient for uniform parabolic potential   =',f20.10)",
         d(t["parabolic"]));
  e.line("(  ' Transmission coeeficient by Skodje-Thrular theory (a>b,a<b)=',3f20.10)",
         d(t["skodje_truhlar"]), d(t["skodje_truhlar_a_gt_b"]), d(t["skodje_truhlar_a_lt_b"]));
  return e;
}

// The report cut into its parts: one per molecule section, then the rest.
std::vector<std::string> reportParts(const std::string &report) {
  std::vector<std::string> parts;
  const std::string marker = " ************* TD properties of molecule ";
  std::size_t pos = report.find(marker);
  parts.push_back(report.substr(0, pos));
  while (pos != std::string::npos) {
    const std::size_t next = report.find(marker, pos + 1);
    parts.push_back(report.substr(pos, next == std::string::npos ? next : next - pos));
    pos = next;
  }
  return parts;
}

void expectLinesIn(const Expected &e, const std::string &part, const std::string &where) {
  const auto lines = linesOf(part);
  for (const std::string &l : e.lines())
    EXPECT_NE(std::find(lines.begin(), lines.end(), l), lines.end())
        << where << ": the report has no line\n[" << l << "]";
}

class Agreement : public ::testing::TestWithParam<Job> {};

TEST_P(Agreement, EveryValueAsTheReportPrintsIt) {
  const Job &job = GetParam();
  TempDir dir;
  copyJobFolder(job.folder, dir.path());
  const std::string inp = dir.read(std::string(job.job) + ".inp");

  std::string list;
  for (const char *t : TEMPERATURES)
    list += (list.empty() ? "" : ",") + std::string(t);
  const RunResult scan =
      runScanBinary(dir.path(), shellQuote(job.job) + " --format json -T " + list +
                                    (job.pressure ? " -P " + std::string(job.pressure) : ""));
  ASSERT_EQ(scan.status, 0) << scan.stderrText;
  const json out = json::parse(scan.stdoutText);
  ASSERT_EQ(out["temperatures"].size(), TEMPERATURES.size());

  for (std::size_t i = 0; i < TEMPERATURES.size(); ++i) {
    const std::string t = TEMPERATURES[i];
    SCOPED_TRACE(std::string(job.name) + " at " + t + " K");
    dir.write("at.inp", withConditions(inp, t, job.pressure));
    const RunResult run = runOrvalen(dir.path(), "at");
    ASSERT_LE(run.status, 2) << run.stderrText; // 2: finished, with warnings
    const std::string report = dir.read("at.out");
    const auto parts = reportParts(report);
    const json &point = out["temperatures"][i];
    ASSERT_EQ(d(point["T"]), std::stod(t));

    const json &mols = point["molecules"];
    ASSERT_EQ(parts.size(), mols.size() + 1);
    for (std::size_t k = 0; k < mols.size(); ++k)
      expectLinesIn(moleculeLines(mols[k], point), parts[k + 1],
                    "molecule " + mols[k]["name"].get<std::string>());
    const std::string &rest = parts.back();
    if (!point["reaction"].is_null())
      expectLinesIn(reactionLines(point), rest, "reaction section");
    else
      EXPECT_EQ(rest.find("Thermodynamic functions for the reaction"), std::string::npos);
    if (!point["kQ"].is_null())
      expectLinesIn(rateLines(point), rest, "rate section");
    else
      EXPECT_EQ(rest.find("Kinetic parameters for the reaction"), std::string::npos);
    expectLinesIn(tailLines(point), rest, "effective rate constant and tunnelling");
  }
}

const Job JOBS[] = {
    {"OhCh4", "examples/oh_ch4", "oh_ch4"},
    {"HcnHnc", "examples/hcn_hnc", "hcn_hnc"},
    {"HH2", "examples/h_h2", "h_h2"},
    {"NoTransitionState", "tests/e2e/jobs/no_ts", "no_ts"},
    {"NoProducts", "tests/e2e/jobs/no_products", "no_products"},
    {"TwoTransitionStates", "tests/e2e/jobs/two_ts", "two_ts"},
    {"Termolecular", "tests/e2e/jobs/m3", "m3"},
    {"KeffWithTs", "tests/e2e/jobs/keff_ts", "keff_ts"},
    {"Pressure2Bar", "tests/e2e/jobs/cond_500k_2bar", "cond_500k_2bar"},
    {"TenToTen", "tests/e2e/jobs/ten_to_ten", "ten_to_ten"},
    // -P in place of the job's pressure: Qtran and all built on it, not Fc.
    {"PressureOption", "examples/oh_ch4", "oh_ch4", "50000"},
    {"PressureOptionUnimolecular", "examples/hcn_hnc", "hcn_hnc", "2500.5"},
};

INSTANTIATE_TEST_SUITE_P(Jobs, Agreement, ::testing::ValuesIn(JOBS),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace orvalen::test
