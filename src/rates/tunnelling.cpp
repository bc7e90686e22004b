#include "rates/tunnelling.hpp"

#include "thermo/constants.hpp"
#include "thermo/report_headings.hpp"

#include <cmath>

namespace orvalen {

double imaginaryFrequency(const MoleculeTable &mol) {
  if (mol.npart(TRANSITION_STATE) < 1)
    return 0.0;
  const Molecule &ts = mol.at(TRANSITION_STATE, 1);
  if (!(ts.nfreq >= 7.0))
    return 0.0;
  return std::fabs(ts.freq[6]);
}

Tunnelling tunnelling(double vim, double dH0, double drZpe, double T) {
  Tunnelling t;
  t.bet = 1.0 / (BOLTZ * T);
  const double vimHZ = std::fabs(vim) * CLIGHT * 100.0;
  const double hv = PLANCK * vimHZ;
  const double V0 = dH0 / KJ2HARTREE; // barrier height at 0 K, kJ/mol
  double V2 = drZpe / KJ2HARTREE;     // lower side: the reaction energy when endoergic
  if (V2 < 0.0)
    V2 = 0.0;
  const double V0J = V0 * 1000.0 / AVOGADRO;
  const double V2J = V2 * 1000.0 / AVOGADRO;
  t.u = hv * t.bet;

  t.kW = 1.0 + t.u * t.u * 0.041666666666666664;
  const double halfU = 0.5 * t.bet * hv;
  t.kP = halfU / std::sin(halfU);

  t.alp = 2.0 * PI / (PLANCK * vimHZ);
  const double bma = t.bet - t.alp;
  const double ratio = t.bet / t.alp;
  const double ee = std::exp(bma * (V0J - V2J));
  t.kST1 = PI * ratio / std::sin(PI * ratio) - t.bet / (t.alp - t.bet) * ee;
  t.kST2 = t.bet / bma * (ee - 1.0);
  // kST2 also when the comparison fails on a NaN.
  t.kST = t.alp >= t.bet ? t.kST1 : t.kST2;
  return t;
}

constexpr std::string_view WIGNER_LINE =
    "(//' Transmission coeeficient by Wigner theory                  =',f20.10)";
static_assert(writesHeading(WIGNER_LINE, TUNNELLING_HEADING));

void writeTunnelling(fixedio::Writer &out, const Tunnelling &t) {
  out.write(WIGNER_LINE, t.kW);
  out.write("(  ' Transmission coeeficient for uniform parabolic potential   =',f20.10)", t.kP);
  out.write("(  ' Transmission coeeficient by Skodje-Thrular theory (a>b,a<b)=',3f20.10)", t.kST,
            t.kST1, t.kST2);
}

} // namespace orvalen
