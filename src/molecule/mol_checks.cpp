#include "molecule/mol_checks.hpp"

#include "molecule/elements.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace orvalen {

namespace {

// An atomic number beyond the element table (a typing error in the file) is
// shown as it was read.
std::string elementName(int z) {
  const std::string_view symbol = elementSymbol(z);
  return symbol.empty() ? "Z=" + std::to_string(z) : std::string(symbol);
}

const char *roleName(int role) {
  return role == REACTANT ? "reactant" : role == PRODUCT ? "product" : "transition state";
}

std::string shownFile(const Molecule &m) {
  return m.fileNameAsWritten.empty() ? trimmed(m.fileName) : m.fileNameAsWritten;
}

// "molecule CH4 (ch4.dat)"
std::string who(const Molecule &m) {
  return "molecule " + trimmed(m.name) + " (" + shownFile(m) + ")";
}

// Eigenvalues of a symmetric 3x3 matrix by Jacobi rotations, ascending.
std::array<double, 3> eigenvalues(std::array<std::array<double, 3>, 3> a) {
  for (int sweep = 0; sweep < 50; ++sweep) {
    const double off = a[0][1] * a[0][1] + a[0][2] * a[0][2] + a[1][2] * a[1][2];
    if (off < 1e-30)
      break;
    for (int p = 0; p < 2; ++p)
      for (int q = p + 1; q < 3; ++q) {
        if (a[p][q] == 0.0)
          continue;
        const double theta = (a[q][q] - a[p][p]) / (2.0 * a[p][q]);
        const double t =
            (theta >= 0.0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
        const double c = 1.0 / std::sqrt(t * t + 1.0);
        const double s = t * c;
        for (int k = 0; k < 3; ++k) { // A := A J
          const double akp = a[k][p], akq = a[k][q];
          a[k][p] = c * akp - s * akq;
          a[k][q] = s * akp + c * akq;
        }
        for (int k = 0; k < 3; ++k) { // A := J^T A
          const double apk = a[p][k], aqk = a[q][k];
          a[p][k] = c * apk - s * aqk;
          a[q][k] = s * apk + c * aqk;
        }
      }
  }
  std::array<double, 3> ev{a[0][0], a[1][1], a[2][2]};
  std::sort(ev.begin(), ev.end());
  return ev;
}

std::string threeNumbers(const std::array<double, 3> &v) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%.6f, %.6f, %.6f", v[0], v[1], v[2]);
  return buf;
}

std::string frequencyText(double f) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.3f", f);
  return buf;
}

// True when the data file gave nothing that the thermochemistry uses.
bool nothingRead(const Molecule &m) {
  return m.mass == 0.0 && m.nfreq == 0.0 && m.natoms == 0 && m.pmoi == std::array<double, 3>{};
}

void checkGiven(const Molecule &m, Warnings &warnings) {
  const std::string w = who(m);
  if (isNotGiven(m.rotnum))
    warnings.add(w + ": no rotation number: neither its job line (ROTNUM=) nor the data file "
                     "(\"Rotation number set to  :\") gives one, so 999999 is used; give "
                     "ROTNUM=1 if the molecule has no symmetry");
  else if (m.rotnum <= 0)
    warnings.add(w + ": rotation number " + std::to_string(m.rotnum) +
                 " is not positive; the symmetry number is 1 or more (1 for no symmetry)");
  if (isNotGiven(m.mult))
    warnings.add(w + ": no spin multiplicity: neither its job line (MULT=) nor the data file "
                     "(\"Spin multiplicity of molecule =\") gives one, so 999999 is used; give "
                     "MULT=1 for a closed-shell molecule, MULT=2 for a radical");
  else if (m.mult <= 0)
    warnings.add(w + ": spin multiplicity " + std::to_string(m.mult) +
                 " is not positive; it is 2S+1, 1 or more (1 singlet, 2 doublet, 3 triplet)");
  if (isNotGiven(m.etot))
    warnings.add(w + ": no electronic energy: neither its job line (ETOT=) nor the data file "
                     "(\"Base Energy :\") gives one, so 999999 Hartree is used");
}

// 2S+1 = M needs M-1 unpaired electrons: an odd electron count needs an even
// multiplicity and an even count an odd one (OH, 9 electrons, is no singlet).
void checkSpinParity(const Molecule &m, Warnings &warnings) {
  if (m.natoms < 1 || m.natoms > MAX_ATOMS || isNotGiven(m.mult) || m.mult <= 0)
    return;
  long protons = 0;
  for (int a = 0; a < m.natoms; ++a) {
    const int z = m.na[static_cast<std::size_t>(a)];
    if (z < 1 || z > MAX_ELEMENT)
      return;
    protons += z;
  }
  const bool chargeGiven = !isNotGiven(m.charge);
  const long electrons = protons - (chargeGiven ? m.charge : 0);
  if ((electrons + m.mult) % 2 != 0)
    return;
  const std::string charge =
      chargeGiven ? "charge " + std::to_string(m.charge)
                  : "charge 0 assumed: the data file has no \"Charge of molecule\" marker";
  const auto count = [](long n, const char *what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
  };
  warnings.add(who(m) + ": spin multiplicity " + std::to_string(m.mult) + " is impossible for " +
               count(electrons, "electron") + " (" + count(protons, "proton") +
               " in its coordinates block, " + charge + "); an " +
               (electrons % 2 != 0 ? "odd" : "even") + " number of electrons needs an " +
               (electrons % 2 != 0 ? "even multiplicity (2 for one unpaired electron)"
                                   : "odd multiplicity (1 for a closed shell, 3 for a triplet)") +
               ": check MULT");
}

void checkMoments(const Molecule &m, Warnings &warnings) {
  const auto &I = m.pmoi;
  // Two equal moments and a zero one: a linear molecule, which the program
  // recognises only when written I, I, 0.
  if (m.linear == 0) {
    for (int zero = 0; zero < 2; ++zero) {
      const double a = I[zero == 0 ? 1 : 0], b = I[2];
      const double scale = std::max(std::fabs(a), std::fabs(b));
      if (std::fabs(I[static_cast<std::size_t>(zero)]) < 0.001 && scale > 0.0 &&
          std::fabs(a - b) / scale < 0.001) {
        warnings.add(who(m) + ": moments of inertia " + threeNumbers(I) +
                     " look like a linear molecule written with its zero moment first; a linear "
                     "molecule is recognised only when written I, I, 0 (two equal moments, then "
                     "the zero one), so it was taken as non-linear");
        break;
      }
    }
  }
  const auto fromAtoms = momentsFromCoordinates(m);
  if (!fromAtoms)
    return;
  std::array<double, 3> file = I;
  std::sort(file.begin(), file.end());
  for (std::size_t k = 0; k < 3; ++k) {
    const double d = std::fabs(file[k] - (*fromAtoms)[k]);
    const double scale = std::max(std::fabs(file[k]), std::fabs((*fromAtoms)[k]));
    if (d > 0.001 && d > 0.01 * scale) {
      warnings.add(who(m) + ": moments of inertia " + threeNumbers(I) +
                   " amu*A^2 differ by more than 1 % from those of its coordinates block (" +
                   threeNumbers(*fromAtoms) +
                   " with the masses of the most abundant isotopes); check the moments line "
                   "(amu*A^2) and the coordinates (Angstrom)");
      return;
    }
  }
}

void checkFrequencies(const Molecule &m, int role, Warnings &warnings) {
  const int n = m.nfreq > 0.0 && m.nfreq <= MAX_FREQ ? static_cast<int>(m.nfreq) : 0;
  int negatives = 0;
  int firstNegative = 0;
  for (int k = 0; k < n; ++k)
    if (m.freq[static_cast<std::size_t>(k)] < 0.0 && ++negatives == 1)
      firstNegative = k + 1;
  const std::string w = who(m);
  if (role != TRANSITION_STATE) {
    if (negatives > 0)
      warnings.add(w + ", a " + roleName(role) + ": " + std::to_string(negatives) +
                   " negative (imaginary) frequenc" + (negatives > 1 ? "ies" : "y") +
                   ", the first " +
                   frequencyText(m.freq[static_cast<std::size_t>(firstNegative - 1)]) +
                   " cm-1 in row " + std::to_string(firstNegative) +
                   "; a minimum has none (imaginary modes are left out of the thermochemistry; "
                   "is this a transition state?)");
    return;
  }
  if (n < 7)
    warnings.add(w + ", a transition state: its frequency table has " + std::to_string(n) +
                 " rows; the imaginary mode must be row 7, after six zero rows, for the "
                 "tunnelling coefficients to see it");
  else if (!(m.freq[6] < 0.0))
    warnings.add(
        w + ", a transition state: row 7 of its frequency table is " + frequencyText(m.freq[6]) +
        " cm-1, not negative; the tunnelling coefficients take the imaginary mode from "
        "row 7, so write six zero rows first" +
        (negatives > 0 ? " (the negative frequency is in row " + std::to_string(firstNegative) + ")"
                       : std::string()));
  if (negatives != 1)
    warnings.add(w + ", a transition state: " + std::to_string(negatives) +
                 " negative (imaginary) frequencies; a first-order saddle point has exactly one");
  if (negatives != m.nneg)
    warnings.add(w + ": \"Num. of imaginary freqs\" says " + std::to_string(m.nneg) +
                 " but its frequency table has " + std::to_string(negatives) +
                 " negative frequenc" + (negatives == 1 ? "y" : "ies"));
}

// Atomic numbers and how often each occurs on one side of the reaction.
std::map<int, int> atomsOf(const MoleculeTable &mol, int role) {
  std::map<int, int> count;
  for (int j = 1; j <= mol.npart(role); ++j) {
    const Molecule &m = mol.at(role, j);
    for (int a = 0; a < m.natoms && a < MAX_ATOMS; ++a)
      ++count[m.na[static_cast<std::size_t>(a)]];
  }
  return count;
}

// Hill order: C, then H, then the other elements alphabetically.
std::string formula(const std::map<int, int> &count) {
  std::map<std::string, int> bySymbol;
  for (const auto &[z, n] : count)
    bySymbol[elementName(z)] += n;
  std::string s;
  const auto add = [&](const std::string &symbol, int n) {
    s += (s.empty() ? "" : " ") + symbol + (n > 1 ? std::to_string(n) : "");
  };
  const bool carbon = bySymbol.contains("C");
  if (carbon) {
    add("C", bySymbol["C"]);
    if (bySymbol.contains("H"))
      add("H", bySymbol["H"]);
  }
  for (const auto &[symbol, n] : bySymbol)
    if (!carbon || (symbol != "C" && symbol != "H"))
      add(symbol, n);
  return s.empty() ? "no atoms" : s;
}

} // namespace

std::optional<std::array<double, 3>> momentsFromCoordinates(const Molecule &m) {
  if (m.natoms < 1 || m.natoms > MAX_ATOMS)
    return std::nullopt;
  const auto n = static_cast<std::size_t>(m.natoms);
  double total = 0.0;
  std::array<double, 3> centre{};
  for (std::size_t a = 0; a < n; ++a) {
    if (m.na[a] < 1 || m.na[a] > MAX_ELEMENT)
      return std::nullopt;
    const double mass = isotopeMass(m.na[a]);
    total += mass;
    for (std::size_t k = 0; k < 3; ++k)
      centre[k] += mass * m.c[a][k];
  }
  for (double &x : centre)
    x /= total;
  std::array<std::array<double, 3>, 3> t{};
  for (std::size_t a = 0; a < n; ++a) {
    const double mass = isotopeMass(m.na[a]);
    std::array<double, 3> r{};
    for (std::size_t k = 0; k < 3; ++k)
      r[k] = m.c[a][k] - centre[k];
    const double r2 = r[0] * r[0] + r[1] * r[1] + r[2] * r[2];
    for (std::size_t i = 0; i < 3; ++i)
      for (std::size_t j = 0; j < 3; ++j)
        t[i][j] += mass * ((i == j ? r2 : 0.0) - r[i] * r[j]);
  }
  return eigenvalues(t);
}

void checkMolecule(const Molecule &m, int role, Warnings &warnings) {
  if (nothingRead(m))
    return; // the reader has said so: the file was missing, empty or held no marker
  checkGiven(m, warnings);
  checkSpinParity(m, warnings);
  checkMoments(m, warnings);
  checkFrequencies(m, role, warnings);
}

void checkAtomBalance(const MoleculeTable &mol, Warnings &warnings) {
  if (mol.npart(REACTANT) < 1)
    return;
  const auto hasCoordinates = [&](int role) {
    for (int j = 1; j <= mol.npart(role); ++j)
      if (mol.at(role, j).natoms < 1)
        return false; // a molecule without coordinates: nothing to compare
    return true;
  };
  if (!hasCoordinates(REACTANT))
    return;
  const auto reactants = atomsOf(mol, REACTANT);
  if (mol.npart(PRODUCT) >= 1 && hasCoordinates(PRODUCT)) {
    const auto products = atomsOf(mol, PRODUCT);
    if (reactants != products)
      warnings.add("the atoms do not balance: the reactants hold " + formula(reactants) +
                   ", the products " + formula(products) +
                   "; check the REACT and PROD lines (each molecule once per line)");
  }
  // Each transition state is the reactants on their way: all of their atoms, no others.
  for (int j = 1; j <= mol.npart(TRANSITION_STATE); ++j) {
    const Molecule &ts = mol.at(TRANSITION_STATE, j);
    if (ts.natoms < 1 || ts.natoms > MAX_ATOMS)
      continue;
    std::map<int, int> atoms;
    for (int a = 0; a < ts.natoms; ++a)
      ++atoms[ts.na[static_cast<std::size_t>(a)]];
    if (atoms != reactants)
      warnings.add(who(ts) + ", a transition state, holds " + formula(atoms) + ", the reactants " +
                   formula(reactants) +
                   "; a transition state holds the atoms of the reactants: check its TS line "
                   "and data file");
  }
}

void checkEnergyMethods(const MoleculeTable &mol, Warnings &warnings) {
  std::vector<std::string> methods; // upper case: "ccsd(t)" and "CCSD(T)" are one method
  std::string list;
  std::vector<std::string> named;
  for (int role = REACTANT; role <= TRANSITION_STATE; ++role)
    for (int j = 1; j <= mol.npart(role); ++j) {
      const Molecule &m = mol.at(role, j);
      if (m.energyMethod.empty())
        continue; // a data file that does not say is not compared
      std::string key = m.energyMethod;
      std::transform(key.begin(), key.end(), key.begin(),
                     [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
      if (std::find(methods.begin(), methods.end(), key) == methods.end())
        methods.push_back(key);
      const std::string entry = trimmed(m.name) + " " + m.energyMethod;
      if (std::find(named.begin(), named.end(), entry) == named.end()) {
        named.push_back(entry);
        list += (list.empty() ? "" : ", ") + entry;
      }
    }
  if (methods.size() > 1)
    warnings.add("the electronic energies of the job come from different methods (" + list +
                 "): reaction and activation energies that mix methods are meaningless; give "
                 "every molecule an energy of one method (orvalen-import --energy FILE)");
}

void checkMolecules(const MoleculeTable &mol, Warnings &warnings) {
  for (int role = REACTANT; role <= TRANSITION_STATE; ++role)
    for (int j = 1; j <= mol.npart(role); ++j)
      checkMolecule(mol.at(role, j), role, warnings);
  checkAtomBalance(mol, warnings);
  checkEnergyMethods(mol, warnings);
}

} // namespace orvalen
