#include "rates/kinetics.hpp"

#include "rates/reaction.hpp"
#include "thermo/report_headings.hpp"

#include <cmath>

namespace orvalen {

double integerPower(double base, int n) {
  double result = 1.0;
  if (n == 0)
    return result;
  long long u = n;
  if (u < 0) {
    u = -u;
    base = 1.0 / base;
  }
  for (;;) {
    if (u & 1)
      result *= base;
    u >>= 1;
    if (u == 0)
      return result;
    base *= base;
  }
}

bool hasRateSection(const MoleculeTable &mol) {
  return mol.npart(REACTANT) >= 1 && mol.npart(TRANSITION_STATE) >= 1;
}

RateConstants rateConstants(const MoleculeTable &mol, const TotalsTable &totals,
                            const Conditions &cond) {
  RateConstants r;
  if (!hasRateSection(mol))
    return r;
  r.present = true;
  r.title = sectionTitle(mol, RATE_TITLE, TRANSITION_STATE, " ->");
  for (const int role : {REACTANT, TRANSITION_STATE}) {
    const double s = role == REACTANT ? -1.0 : 1.0;
    for (int j = 1; j <= mol.npart(role); ++j) {
      const MoleculeTotals &m = totals.at(role, j);
      r.dEa += s * m.etot;
      r.dH0 += s * m.ezpe;
      r.dH += s * m.eh;
      r.dS += s * m.stot;
      r.dG += s * m.eg;
    }
  }
  r.prodQ = partitionRatio(totals, TRANSITION_STATE);
  r.m = mol.npart(REACTANT);

  const double T = cond.T;
  r.RT = RGAS * T;
  r.RTk = RGAS * 0.001 * T;
  r.kTh = BOLTZ * T / PLANCK;
  const double x = r.dH0 / KJ2HARTREE; // kJ/mol
  r.E0 = std::exp(-x / r.RTk);

  // Volume per molecule (per mol in column 4) of an ideal gas at P0, to the power m-1.
  const int e = 1 - r.m;
  r.fc = {1.0, integerPower(P0 / r.RT * AVOGADRO, e),
          integerPower(P0 / r.RT * AVOGADRO / 1000000.0, e), integerPower(P0 / r.RT / 1000.0, e)};

  // kG carries exp(-(dG + RT)/RT): one RT more than the Gibbs energy of activation.
  const double y = r.dG / KJ2HARTREE + r.RTk;
  for (std::size_t j = 0; j < 4; ++j) {
    r.a[j] = r.kTh * r.prodQ * r.fc[j];
    r.kQ[j] = r.a[j] * r.E0;
    r.kG[j] = r.kTh * std::exp(-y / r.RTk) * r.fc[j];
  }
  return r;
}

namespace {

// An activation quantity in Hartree, kcal/mol and kJ/mol.
void writeActivation(fixedio::Writer &out, std::string_view format, double hartree) {
  const double kj = hartree / KJ2HARTREE;
  out.write(format, hartree, kj * KJ2KCAL, kj);
}

void writeUnitsLine(fixedio::Writer &out, int m) {
  if (m == 2)
    out.write("(/53x,'1/s             m3/molecule/s       cm3/molecule/s        L/Mol/s')");
  else if (m == 3)
    out.write("(/53x,'1/s             m6/molecule2/s      cm6/molecule2/s       L2/Mol2/s')");
  else // one-digit fields: from m = 5 on the volume powers show as an asterisk
    out.write("(/53x,'1/s             m',i1,'/molecule',i1'/s      cm',i1,'/molecule',i1,'/s"
              "       L',i1,'/Mol',i1,'/s')",
              3 * m - 3, m - 1, 3 * m - 3, m - 1, m - 1, m - 1);
}

} // namespace

void writeRateSection(fixedio::Writer &out, const MoleculeTable &mol, const Conditions &cond,
                      const RateConstants &r) {
  if (!hasRateSection(mol))
    return;
  writeTitle(out, r.title);
  writeConditions(out, cond);

  out.write("(/55x,'a.u.         kcal/mol         kJ/mol')");
  writeActivation(out, "( ' Activation total energy dEa                  ',f15.8,2f15.2)", r.dEa);
  writeActivation(out, "( ' Activation enthalpy at 0K dH0=d(E+ZPE)       ',f15.8,2f15.2)", r.dH0);
  writeActivation(out, "( ' Activation enthalpy at the given T           ',f15.8,2f15.2)", r.dH);
  const double dSKJ = r.dS / KJ2HARTREE; // Hartree/K to kJ/mol/K
  out.write("( ' Activation entropy            at T           ',f15.8,2f15.2,' J/mol/K')", r.dS,
            dSKJ * KJ2KCAL * 1000.0, dSKJ * 1000.0);
  writeActivation(out, "( ' Activation Gibbs free energy  at T           ',f15.8,2f15.2)", r.dG);

  out.write("(/' Molecularity of elementary reaction m        ',i15   )", r.m);
  out.write("( ' Factor kB*T/h, 1/s                           ',1pe15.6)", r.kTh);
  out.write("( ' Partition functions product ProdQ            ',1pe15.6)", r.prodQ);
  out.write("( ' Frequency factor kT/h*ProdQ, 1/s             ',1pe15.6)", r.kTh * r.prodQ);
  out.write("( ' Exponential factor Exp(-dH0/RT)              ',1pe15.6)", r.E0);
  out.write("( ' Reaction probability kT/h*ProdQ*Exp(-dH0/RT) ',1pe15.6)", r.kTh * r.prodQ * r.E0);

  writeUnitsLine(out, r.m);
  out.write("( ' Concentration factor Fc=(RT/P)**(m-1)   ',4(1pe20.6))", r.fc[0], r.fc[1], r.fc[2],
            r.fc[3]);
  out.write("( ' Pre-exponential fctr A=kT/h*ProdQ*Fc    ',4(1pe20.6))", r.a[0], r.a[1], r.a[2],
            r.a[3]);
  out.write("( ' Rate constant kQ     k(T)=A*Exp(-dH0/RT)',4(1pe20.6))", r.kQ[0], r.kQ[1], r.kQ[2],
            r.kQ[3]);
  out.write("(/' Rate constant kG     k(T)=kT/h*Exp(-dGa)*Fc',1pe17.6,3(1pe20.6))", r.kG[0],
            r.kG[1], r.kG[2], r.kG[3]);
}

Columns effectiveRateConstant(const Columns &kG, const Conditions &cond) {
  const double c = cond.conc;
  const int n = cond.nexp;
  return {kG[0], kG[1] * integerPower(c * 1000000.0, n), kG[2] * integerPower(c, n),
          kG[3] * integerPower(c / AVOGADRO * 1000.0, n)};
}

constexpr std::string_view KEFF_LINE =
    "(/' Effective rate constant kG * C**n          ',1pd17.6,3(1pd20.6))";
static_assert(writesHeading(KEFF_LINE, EFFECTIVE_RATE_HEADING));

void writeEffectiveRateConstant(fixedio::Writer &out, const Conditions &cond, const Columns &keff) {
  if (cond.nexp < 1)
    return;
  out.write(KEFF_LINE, keff[0], keff[1], keff[2], keff[3]);
  out.write("( ' Concentration C = ',1pe12.3,' molecules/cm3,   n =',i4)", cond.conc, cond.nexp);
}

} // namespace orvalen
