#include "thermo/thermo_report.hpp"

#include "thermo/report_headings.hpp"

#include <cmath>
#include <string_view>

namespace orvalen {

namespace {

// The closing and opening rules of the vibration table, 118 columns.
constexpr std::string_view RULE_LINE =
    "('--------------------------------------------------------------------------------------------"
    "--------------------------')";

// An energy in kJ/mol, kcal/mol and Hartree.
void energyLine(fixedio::Writer &out, std::string_view format, double x) {
  out.write(format, x, x * KJ2KCAL, x * KJ2HARTREE);
}

// An entropy in J/(mol K), cal/(mol K) and Hartree/K.
void entropyLine(fixedio::Writer &out, std::string_view format, double s) {
  out.write(format, s, s * KJ2KCAL, s * (KJ2HARTREE * 0.001));
}

// A partition function with its natural and decimal logarithm.
void partitionLine(fixedio::Writer &out, std::string_view format, double q) {
  out.write(format, q, std::log(q), std::log10(q));
}

constexpr std::string_view HEADING_LINE = "(/' ************* TD properties of molecule ',a20)";
static_assert(writesHeading(HEADING_LINE, MOLECULE_HEADING));

void writeHeading(fixedio::Writer &out, const Molecule &m, const Conditions &cond) {
  out.write(HEADING_LINE, m.name);
  out.write("(/' Temperature   : ',f12.2,' K ')", cond.T);
  out.write("( ' Pressure      : ',f12.2,' Pa')", cond.P);
  out.write("( ' Multiplicity  : ',i12        )", m.mult);
  out.write("( ' Molecular mass: ',f12.2,' amu')", m.mass);
  out.write("( ' Rot. number   : ',i12        )", m.rotnum);
  out.write("( ' PMOI, amu*A**2: ',3f12.6)", m.pmoi[0], m.pmoi[1], m.pmoi[2]);
  out.write("( ' Linearity     : ',i12        )", m.linear);
}

void writeElectronic(fixedio::Writer &out, const Contribution &c) {
  out.write("(//' *** Electronic contribution ***')");
  partitionLine(out, "(/' Qelec = ',1pE15.5,'   ln(Qelec)=',0pf12.5,'   lg(Qelec)=',0pf12.5)", c.q);
  energyLine(out, "(/' Uelec = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree')", c.u);
  energyLine(out, "( ' Helec = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree')", c.h);
  entropyLine(out, "( ' Selec = ',f10.3,' J/K/mol',f10.3,' cal/K/mol',f16.8,' Hartree/K')", c.s);
  energyLine(out, "( ' Felec = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree')", c.f);
  energyLine(out, "( ' Gelec = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree'/)", c.g);
}

void writeTranslational(fixedio::Writer &out, const Contribution &c) {
  out.write("(/' *** Translational contribution ***')");
  partitionLine(out, "(/' Qtran = ',1pE15.5,'   ln(Qtran)=',0pf12.5,'   lg(Qtran)=',0pf12.5)", c.q);
  energyLine(out, "(/' Utran = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", c.u);
  energyLine(out, "( ' Htran = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", c.h);
  entropyLine(out, "( ' Stran = ',f10.3,' J/K/mol',f10.3,' cal/K/mol',f16.8,' Hartree/K')", c.s);
  energyLine(out, "( ' Ftran = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", c.f);
  energyLine(out, "( ' Gtran = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  '/)", c.g);
}

void writeRotational(fixedio::Writer &out, const Contribution &c) {
  out.write("(' *** Rotational contribution ***')");
  partitionLine(out, "(/' Qrot = ',1pE15.5,'   ln(Qrot)=',0pf12.5,'   lg(Qrot)=',0pf12.5)", c.q);
  energyLine(out, "(/' Urot = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", c.u);
  energyLine(out, "( ' Hrot = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", c.h);
  entropyLine(out, "( ' Srot = ',f10.3,' J/K/mol',f10.3,' cal/K/mol',f16.8,' Hartree/K')", c.s);
  energyLine(out, "( ' Frot = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", c.f);
  energyLine(out, "( ' Grot = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  '/)", c.g);
}

void writeVibrational(fixedio::Writer &out, const Vibrations &v) {
  out.write("(' *** Vibrational contribution ***')");
  out.write("(/'Scaling factor for frequencies:',f9.4)", v.scale);
  out.write("('In the table below, Hvib, Gvib are measured from the potential bottom (ZPE "
            "included), Qvib - from ZERO level!'/)");
  out.write("(/'No. Frequency Intensity  Scaled  Reduced Used  Theta     Svib      ZPE   (H-H0)  "
            "   Hvib     Gvib     Cvib    Qvib  ')");
  out.write("('      cm-1      km/mol    Freq     Mass  inTD?   K    J/K/mol   kJ/mol   kJ/mol   "
            "kJ/mol   kJ/mol  J/K/mol          ')");
  out.write(RULE_LINE);
  for (int n = 1; n <= v.nmodes; ++n) {
    const VibMode &r = v.mode[static_cast<std::size_t>(n - 1)];
    out.write("(i4,3f9.3,f9.2,1x,i2,7f9.3,1pE12.5)", n, r.freq, r.xinten, r.freqScaled, r.rmass,
              r.lfreq, r.theta, r.svib, r.zpe, r.hh0vib, r.hvib, r.gvib, r.cvib, r.qvib0);
  }
  out.write(RULE_LINE);
  out.write("(' Total for ',i4,' vibrations',26X,6f9.3,1pE12.5)", v.nused, v.svib, v.zpeTot,
            v.hh0Tot, v.hvib, v.gvib, v.cvibTot, v.qvib);
}

void writeTotals(fixedio::Writer &out, const MoleculeThermo &t) {
  out.write("(//' *** Total for ELEC+TRANS+ROT+VIBR contributions ***')");
  partitionLine(out, "(/' Qtot = ',1pE15.5,'   ln(Qtot)=',0pf12.5,'   lg(Qtot)=',0pf12.5)",
                t.tot.q);
  energyLine(out, "( ' ZPEtot ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", t.zpeTot);
  energyLine(out, "( ' Utot = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", t.tot.u);
  energyLine(out, "( ' Htot = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", t.tot.h);
  entropyLine(out, "( ' Stot = ',f10.3,' J/K/mol',f10.3,' cal/K/mol',f16.8,' Hartree/K')", t.tot.s);
  energyLine(out, "( ' Gtot = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')", t.tot.g);
}

void writeCorrected(fixedio::Writer &out, const CorrectedEnergies &c) {
  out.write("(//' *** Total energy corrected by TD functions ****')");
  out.write("(/ ' Etot        = ',f16.8,'  (Etot used as a BaseEnergy for TD calculations)')",
            c.etot);
  out.write("(  ' Etot+ZPEtot = ',f16.8,10x,' (ZPEtot = ',f16.8,')')", c.ezpe, c.zpe);
  out.write("(  ' Etot+Utot   = ',f16.8,10x,' (Utot   = ',f16.8,')')", c.eu, c.u);
  out.write("(  ' Etot+Htot   = ',f16.8,10x,' (Htot   = ',f16.8,')')", c.eh, c.h);
  out.write("(  ' Etot+Ftot   = ',f16.8,10x,' (Ftot   = ',f16.8,')')", c.ef, c.f);
  out.write("(  ' Etot+Gtot   = ',f16.8,10x,' (Gtot   = ',f16.8,')'/)", c.eg, c.g);
  out.write("(/' "
            "**************************************************************************************"
            "**'/)");
}

} // namespace

void writeMoleculeSection(fixedio::Writer &out, const Molecule &m, const Conditions &cond,
                          const MoleculeThermo &t) {
  writeHeading(out, m, cond);
  writeElectronic(out, t.elec);
  writeTranslational(out, t.tran);
  writeRotational(out, t.rot);
  writeVibrational(out, t.vib);
  writeTotals(out, t);
  writeCorrected(out, t.corrected);
}

MoleculeTotals tdrrho(const Molecule &m, const Conditions &cond, fixedio::Writer &out) {
  const MoleculeThermo t = computeThermo(m, cond);
  writeMoleculeSection(out, m, cond, t);
  return totalsOf(t);
}

} // namespace orvalen
