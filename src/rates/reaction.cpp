#include "rates/reaction.hpp"

#include "thermo/report_headings.hpp"

#include <cmath>
#include <vector>

namespace orvalen {

void blankLastNonBlank(std::string &text) {
  const auto last = text.find_last_not_of(' ');
  if (last != std::string::npos)
    text[last] = ' ';
}

std::string appendToTitle(std::string_view title, std::string_view tail) {
  return fixedText(trimmed(title) + std::string(tail), TITLE_LEN);
}

std::string sectionTitle(const MoleculeTable &mol, std::string_view start, int otherRole,
                         std::string_view arrow) {
  std::string title = fixedText(start, TITLE_LEN);
  for (const int role : {static_cast<int>(REACTANT), otherRole})
    for (int j = 1; j <= mol.npart(role); ++j) {
      if (role == otherRole && j == 1) { // the "+" after the last reactant becomes the arrow
        blankLastNonBlank(title);
        title = appendToTitle(title, arrow);
      }
      std::string name = trimmed(fixedText(mol.at(role, j).name, NAME_LEN));
      title = appendToTitle(title, " " + name.append(" +"));
    }
  blankLastNonBlank(title); // the "+" after the last molecule
  return title;
}

double partitionRatio(const TotalsTable &totals, int otherRole) {
  double ratio = 1.0;
  double lnRatio = 0.0;
  bool allPositive = true;
  bool leftRange = false; // the running value lost precision or overflowed
  for (const int role : {static_cast<int>(REACTANT), otherRole})
    for (int j = 1; j <= totals.count(role); ++j) {
      const double q = totals.at(role, j).qtot;
      if (role == REACTANT)
        ratio = ratio / q;
      else
        ratio = ratio * q;
      leftRange = leftRange || !std::isnormal(ratio);
      allPositive = allPositive && q > 0.0 && std::isfinite(q);
      lnRatio += role == REACTANT ? -std::log(q) : std::log(q);
    }
  // Ten reactants of Qtot ~ 1e32 take the running quotient below the smallest
  // double, and the ratio would show as 0 however moderate it is.
  if (allPositive && leftRange)
    ratio = std::exp(lnRatio);
  return ratio;
}

bool hasReaction(const MoleculeTable &mol) {
  return mol.npart(REACTANT) >= 1 && mol.npart(PRODUCT) >= 1;
}

ReactionTotals reactionThermodynamics(const MoleculeTable &mol, const TotalsTable &totals) {
  ReactionTotals r;
  if (!hasReaction(mol))
    return r;
  r.present = true;
  r.title = sectionTitle(mol, REACTION_TITLE, PRODUCT, " ==");
  for (const int role : {REACTANT, PRODUCT}) {
    const double s = role == REACTANT ? -1.0 : 1.0;
    for (int j = 1; j <= mol.npart(role); ++j) {
      const MoleculeTotals &m = totals.at(role, j);
      r.drE += s * m.etot;
      r.drZpe += s * m.ezpe;
      r.drU += s * m.eu;
      r.drH += s * m.eh;
      r.drG += s * m.eg;
      r.drS += s * m.stot;
    }
  }
  r.drQ = partitionRatio(totals, PRODUCT);
  return r;
}

void writeTitle(fixedio::Writer &out, std::string_view title) {
  const auto last = title.find_last_not_of(' ');
  std::vector<fixedio::Value> chars;
  if (last != std::string_view::npos)
    for (const char c : title.substr(0, last + 1))
      chars.emplace_back(c);
  out.writeValues("(//,1x,255a1)", chars);
}

void writeConditions(fixedio::Writer &out, const Conditions &cond) {
  out.write("(/ ' Temperature  = ',f15.2,' K')", cond.T);
  out.write("(  ' Pressure     = ',f15.2,' Pa',f10.4,' atm',f10.2,' torr',f10.2,' bar')", cond.P,
            cond.P / 101325.0, cond.P / 101325.0 * 760.0, cond.P / 100000.0);
}

namespace {

// One summary-table row: the label, a column per reactant, the gap, a column
// per product, then the reaction total. `field(role, j)` gives MOL(role, j)'s value.
template <class Field> std::vector<fixedio::Value> tableRow(const MoleculeTable &mol, Field field) {
  std::vector<fixedio::Value> values;
  for (const int role : {REACTANT, PRODUCT}) {
    values.emplace_back(mol.npart(role));
    for (int j = 1; j <= mol.npart(role); ++j)
      values.emplace_back(field(role, j));
  }
  return values;
}

// A row of energies: the molecules' values in Hartree, then the reaction
// total in Hartree, kcal/mol and kJ/mol.
void writeEnergyRow(fixedio::Writer &out, std::string_view format, const MoleculeTable &mol,
                    const TotalsTable &molecules, double MoleculeTotals::*field, double total) {
  auto values =
      tableRow(mol, [&molecules, field](int role, int j) { return molecules.at(role, j).*field; });
  const double kj = total / KJ2HARTREE;
  values.emplace_back(total);
  values.emplace_back(kj * KJ2KCAL);
  values.emplace_back(kj);
  out.writeValues(format, values);
}

// A reaction total in kJ/mol, kcal/mol and Hartree.
void writeEnergyLine(fixedio::Writer &out, std::string_view format, double total) {
  const double kj = total / KJ2HARTREE;
  out.write(format, kj, kj * KJ2KCAL, total);
}

} // namespace

void writeReactionSection(fixedio::Writer &out, const MoleculeTable &mol,
                          const TotalsTable &molecules, const Conditions &cond,
                          const ReactionTotals &totals) {
  if (!hasReaction(mol))
    return;
  writeTitle(out, totals.title);
  writeConditions(out, cond);

  out.writeValues(
      "(/13x,<>a15,4x,'=',8x,<>a15,8x,'DrE, a.u.       kcal/mol         kJ/mol')",
      tableRow(mol, [&mol](int role, int j) { return fixedText(mol.at(role, j).name, NAME_LEN); }));
  out.writeValues("(' Nneg   ',<>i15,12x,<>i15)",
                  tableRow(mol, [&mol](int role, int j) { return mol.at(role, j).nneg; }));
  out.writeValues("(' RotNum ',<>i15,12x,<>i15)",
                  tableRow(mol, [&mol](int role, int j) { return mol.at(role, j).rotnum; }));
  writeEnergyRow(out, "(' E      ',<>f15.7,12x,<>f15.7,8x,f15.7,2f15.2)", mol, molecules,
                 &MoleculeTotals::etot, totals.drE);
  writeEnergyRow(out, "(' E+ZPE  ',<>f15.7,12x,<>f15.7,8x,f15.7,2f15.2)", mol, molecules,
                 &MoleculeTotals::ezpe, totals.drZpe);
  writeEnergyRow(out, "(' E+U    ',<>f15.7,12x,<>f15.7,8x,f15.7,2f15.2)", mol, molecules,
                 &MoleculeTotals::eu, totals.drU);
  writeEnergyRow(out, "(' E+H    ',<>f15.7,12x,<>f15.7,8x,f15.7,2f15.2)", mol, molecules,
                 &MoleculeTotals::eh, totals.drH);
  writeEnergyRow(out, "(' E+G    ',<>f15.7,12x,<>f15.7,8x,f15.7,2f15.2)", mol, molecules,
                 &MoleculeTotals::eg, totals.drG);
  out.writeValues("(/' File   ',<>(1x,a14),12x,<>(1x,a14))", tableRow(mol, [&mol](int role, int j) {
                    return fixedText(mol.at(role, j).fileName, FILENAME_LEN);
                  }));

  out.write("(//' DrQ = ',1pE15.5,'   ln(Qtot)=',0pf12.5,'   lg(Qtot)=',0pf12.5)", totals.drQ,
            std::log(totals.drQ), std::log10(totals.drQ));
  writeEnergyLine(out, "(/' DrEE  ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')",
                  totals.drE);
  writeEnergyLine(out, "( ' DrZPE ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')",
                  totals.drZpe);
  writeEnergyLine(out, "( ' DrU = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')",
                  totals.drU);
  writeEnergyLine(out, "( ' DrH = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')",
                  totals.drH);
  const double drSJ = totals.drS / KJ2HARTREE * 1000.0; // Hartree/K to J/K/mol
  out.write("( ' DrS = ',f10.3,' J/K/mol',f10.3,' cal/K/mol',f16.8,' Hartree/K')", drSJ,
            drSJ * KJ2KCAL, totals.drS);
  writeEnergyLine(out, "( ' DrG = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')",
                  totals.drG);
}

} // namespace orvalen
