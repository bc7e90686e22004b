#include "extended/formation.hpp"

#include "base/error.hpp"
#include "molecule/elements.hpp"

#include <algorithm>
#include <iterator>
#include <vector>

namespace orvalen::extended {

namespace {

constexpr double KCAL = 4.184; // kJ per kcal (thermochemical calorie)

// The sources, quoted where each number stands. The numbers are written as
// the source prints them (kJ/mol, or kcal/mol times KCAL).
//
// ATCT_QTC: Active Thermochemical Tables (ATcT) values of DfH(0 K) as
// tabulated in the QTC code of the PACChem project (github.com/PACChem/QTC,
// qtc/newdb.py at commit 9d5414449aad, key "ATcT"); that file does not say
// which ATcT version they come from. For H, C and O only: no ATcT value
// with a version was found for the other atoms.
constexpr const char *ATCT_QTC =
    "ATcT as tabulated in PACChem/QTC qtc/newdb.py (9d54144); ATcT version not stated there";
// GN_ATOMS: the atoms' DfH(0 K) of the Gaussian-n theories (Curtiss et al.,
// from the JANAF tables), kcal/mol, as tabulated in
// github.com/salinisenthil/pople_package pople/HOF_atoms.py at commit
// 68a9cea437174a93747137512bc4e313effb8cb7. Used where no ATcT value was
// found; not an ATcT value.
constexpr const char *GN_ATOMS = "Gaussian-n atomic table (JANAF-based), as tabulated in "
                                 "pople_package pople/HOF_atoms.py (68a9cea); no ATcT value found";
// CODATA_KEY: H(298.15) - H(0) of each element in its reference state, from
// the CODATA Key Values for Thermodynamics (J. D. Cox, D. D. Wagman and
// V. A. Medvedev, Hemisphere, New York, 1989; the table codata.info
// reprints), in kJ/mol of the reference substance, halved here for the
// diatomic gases and liquid bromine to give the value per atom.
constexpr const char *CODATA_KEY =
    "CODATA Key Values for Thermodynamics (Cox, Wagman, Medvedev 1989), per atom";

const ElementReference ELEMENT_REFERENCES[] = {
    {.z = 1,
     .symbol = "H",
     .atomDfH0 = 216.032472,
     .atomSource = ATCT_QTC,
     .elementH298 = 8.468 / 2, // H2(g), 8.468 +- 0.001
     .elementSource = CODATA_KEY},
    {.z = 6,
     .symbol = "C",
     .atomDfH0 = 711.401336,
     .atomSource = ATCT_QTC,
     .elementH298 = 1.050, // C(cr, graphite), 1.050 +- 0.020
     .elementSource = CODATA_KEY},
    {.z = 7,
     .symbol = "N",
     .atomDfH0 = 112.53 * KCAL,
     .atomSource = GN_ATOMS,
     .elementH298 = 8.670 / 2, // N2(g), 8.670 +- 0.001
     .elementSource = CODATA_KEY},
    {.z = 8,
     .symbol = "O",
     .atomDfH0 = 246.843448,
     .atomSource = ATCT_QTC,
     .elementH298 = 8.680 / 2, // O2(g), 8.680 +- 0.002
     .elementSource = CODATA_KEY},
    {.z = 9,
     .symbol = "F",
     .atomDfH0 = 18.47 * KCAL,
     .atomSource = GN_ATOMS,
     .elementH298 = 8.825 / 2, // F2(g), 8.825 +- 0.001
     .elementSource = CODATA_KEY},
    {.z = 14,
     .symbol = "Si",
     .atomDfH0 = 106.6 * KCAL,
     .atomSource = GN_ATOMS,
     .elementH298 = 3.217, // Si(cr), 3.217 +- 0.008
     .elementSource = CODATA_KEY},
    {.z = 16,
     .symbol = "S",
     .atomDfH0 = 65.66 * KCAL,
     .atomSource = GN_ATOMS,
     .elementH298 = 4.412, // S(cr, rhombic), 4.412 +- 0.006
     .elementSource = CODATA_KEY},
    {.z = 17,
     .symbol = "Cl",
     .atomDfH0 = 28.59 * KCAL,
     .atomSource = GN_ATOMS,
     .elementH298 = 9.181 / 2, // Cl2(g), 9.181 +- 0.001
     .elementSource = CODATA_KEY},
    {.z = 35,
     .symbol = "Br",
     .atomDfH0 = 28.1836 * KCAL,
     .atomSource = GN_ATOMS,
     .elementH298 = 24.52 / 2, // Br2(l), 24.52 +- 0.01
     .elementSource = CODATA_KEY},
};

std::string symbolOf(int z) {
  const std::string_view s = elementSymbol(z);
  return s.empty() ? "element " + std::to_string(z) : std::string(s);
}

} // namespace

const ElementReference *elementReference(int z) {
  const auto it = std::find_if(std::begin(ELEMENT_REFERENCES), std::end(ELEMENT_REFERENCES),
                               [&](const ElementReference &e) { return e.z == z; });
  return it == std::end(ELEMENT_REFERENCES) ? nullptr : &*it;
}

std::size_t elementReferenceCount() {
  return std::size(ELEMENT_REFERENCES);
}

const ElementReference &elementReferenceAt(std::size_t i) {
  return ELEMENT_REFERENCES[i];
}

double formationEnthalpy0K(const Composition &atoms, const std::map<int, double> &atomE0,
                           double moleculeE0) {
  double atomsDfH0 = 0.0, atomsE0 = 0.0;
  for (const auto &[z, n] : atoms) {
    const ElementReference *e = elementReference(z);
    if (!e || !e->atomDfH0)
      throw Error(
          "no enthalpy of formation of the gas-phase atom " + symbolOf(z) +
          " in the table of orvalen-mech (H, C, N, O, F, Si, S, Cl, Br); leave out --atoms");
    const auto it = atomE0.find(z);
    if (it == atomE0.end())
      throw Error("--atoms gives no data file of the atom " + symbolOf(z) + "; add a line \"" +
                  symbolOf(z) + " FILE\"");
    atomsDfH0 += n * *e->atomDfH0;
    atomsE0 += n * it->second;
  }
  return atomsDfH0 - (atomsE0 - moleculeE0);
}

double formationEnthalpy298(const Composition &atoms, double dfH0, double thermal298) {
  double elements = 0.0;
  for (const auto &[z, n] : atoms) {
    const ElementReference *e = elementReference(z);
    if (!e || !e->elementH298)
      throw Error("no H(298.15) - H(0) of the element " + symbolOf(z) +
                  " in the table of orvalen-mech; leave out --atoms");
    elements += n * *e->elementH298;
  }
  return dfH0 + thermal298 - elements;
}

std::string formulaText(const Composition &atoms) {
  std::vector<std::pair<std::string, int>> parts;
  const bool carbon = atoms.count(6) > 0;
  for (const auto &[z, n] : atoms)
    parts.emplace_back(symbolOf(z), n);
  const auto rank = [&](const std::string &s) {
    return !carbon ? 0 : s == "C" ? -2 : s == "H" ? -1 : 0;
  };
  std::sort(parts.begin(), parts.end(), [&](const auto &x, const auto &y) {
    return rank(x.first) != rank(y.first) ? rank(x.first) < rank(y.first) : x.first < y.first;
  });
  std::string text;
  for (const auto &[s, n] : parts)
    text += s + (n == 1 ? std::string() : std::to_string(n));
  return text;
}

} // namespace orvalen::extended
