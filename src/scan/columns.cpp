#include "scan/columns.hpp"

#include "base/error.hpp"

#include <cstddef>

namespace orvalen::scan {

namespace {

using Opt = std::optional<double>;

// The report keeps energies in Hartree; the columns give kJ/mol.
double kjOf(double hartree) {
  return hartree / KJ2HARTREE;
}

template <std::size_t C> Opt kQ(const At &a) {
  return a.point.rates.kQ[C];
}
template <std::size_t C> Opt kG(const At &a) {
  return a.point.rates.kG[C];
}
template <std::size_t C> Opt keff(const At &a) {
  return a.point.keff ? Opt((*a.point.keff)[C]) : std::nullopt;
}

constexpr Column COLUMNS[] = {
    {.key = "T",
     .unit = KELVIN,
     .group = Group::Point,
     .value = [](const At &a) -> Opt { return a.point.T; },
     .cell = Cell::Temperature,
     .heading = "T"},
    {.key = "P",
     .unit = PASCAL,
     .group = Group::Point,
     .value = [](const At &a) -> Opt { return a.point.P; }},

    // A molecule's totals: "OH Gtot (kJ/mol)".
    {.key = "Qtot",
     .unit = NO_UNIT,
     .group = Group::Molecule,
     .value = [](const At &a) -> Opt { return a.molecule->tot.q; }},
    {.key = "ZPEtot",
     .unit = KJ_PER_MOL,
     .group = Group::Molecule,
     .value = [](const At &a) -> Opt { return a.molecule->zpe; }},
    {.key = "Htot",
     .unit = KJ_PER_MOL,
     .group = Group::Molecule,
     .value = [](const At &a) -> Opt { return a.molecule->tot.h; }},
    {.key = "Stot",
     .unit = J_PER_K_MOL,
     .group = Group::Molecule,
     .value = [](const At &a) -> Opt { return a.molecule->tot.s; }},
    {.key = "Gtot",
     .unit = KJ_PER_MOL,
     .group = Group::Molecule,
     .value = [](const At &a) -> Opt { return a.molecule->tot.g; },
     .cell = Cell::Total,
     .heading = "G"},
    {.key = "E+G",
     .unit = HARTREE,
     .group = Group::Molecule,
     .value = [](const At &a) -> Opt { return a.molecule->corrected.eg; }},

    // The reaction: products minus reactants.
    {.key = "DrE",
     .unit = KJ_PER_MOL,
     .group = Group::Reaction,
     .value = [](const At &a) -> Opt { return kjOf(a.point.reaction.drE); },
     .hartree = [](const At &a) -> Opt { return a.point.reaction.drE; }},
    {.key = "DrZPE",
     .unit = KJ_PER_MOL,
     .group = Group::Reaction,
     .value = [](const At &a) -> Opt { return kjOf(a.point.reaction.drZpe); },
     .hartree = [](const At &a) -> Opt { return a.point.reaction.drZpe; }},
    {.key = "DrU",
     .unit = KJ_PER_MOL,
     .group = Group::Reaction,
     .value = [](const At &a) -> Opt { return kjOf(a.point.reaction.drU); },
     .hartree = [](const At &a) -> Opt { return a.point.reaction.drU; }},
    {.key = "DrH",
     .unit = KJ_PER_MOL,
     .group = Group::Reaction,
     .value = [](const At &a) -> Opt { return kjOf(a.point.reaction.drH); },
     .cell = Cell::Energy,
     .heading = "DrH",
     .hartree = [](const At &a) -> Opt { return a.point.reaction.drH; }},
    {.key = "DrS",
     .unit = J_PER_K_MOL,
     .group = Group::Reaction,
     .value = [](const At &a) -> Opt { return kjOf(a.point.reaction.drS) * 1000.0; },
     .hartree = [](const At &a) -> Opt { return a.point.reaction.drS; }},
    {.key = "DrG",
     .unit = KJ_PER_MOL,
     .group = Group::Reaction,
     .value = [](const At &a) -> Opt { return kjOf(a.point.reaction.drG); },
     .cell = Cell::Energy,
     .heading = "DrG",
     .hartree = [](const At &a) -> Opt { return a.point.reaction.drG; }},
    {.key = "DrQ",
     .unit = NO_UNIT,
     .group = Group::Reaction,
     .value = [](const At &a) -> Opt { return a.point.reaction.drQ; }},

    // Activation: the first transition state minus the reactants.
    {.key = "dEa",
     .unit = KJ_PER_MOL,
     .group = Group::Rates,
     .value = [](const At &a) -> Opt { return kjOf(a.point.rates.dEa); },
     .hartree = [](const At &a) -> Opt { return a.point.rates.dEa; }},
    {.key = "dH0",
     .unit = KJ_PER_MOL,
     .group = Group::Rates,
     .value = [](const At &a) -> Opt { return kjOf(a.point.rates.dH0); },
     .cell = Cell::Energy,
     .heading = "dH0",
     .hartree = [](const At &a) -> Opt { return a.point.rates.dH0; }},
    {.key = "dH",
     .unit = KJ_PER_MOL,
     .group = Group::Rates,
     .value = [](const At &a) -> Opt { return kjOf(a.point.rates.dH); },
     .hartree = [](const At &a) -> Opt { return a.point.rates.dH; }},
    {.key = "dS",
     .unit = J_PER_K_MOL,
     .group = Group::Rates,
     .value = [](const At &a) -> Opt { return kjOf(a.point.rates.dS) * 1000.0; },
     .hartree = [](const At &a) -> Opt { return a.point.rates.dS; }},
    {.key = "dG",
     .unit = KJ_PER_MOL,
     .group = Group::Rates,
     .value = [](const At &a) -> Opt { return kjOf(a.point.rates.dG); },
     .cell = Cell::Energy,
     .heading = "dGa",
     .hartree = [](const At &a) -> Opt { return a.point.rates.dG; }},
    {.key = "ProdQ",
     .unit = NO_UNIT,
     .group = Group::Rates,
     .value = [](const At &a) -> Opt { return a.point.rates.prodQ; }},

    // The rate constants in the report's four unit systems.
    {.key = "kQ", .unit = rateUnit(0), .group = Group::Rates, .value = kQ<0>},
    {.key = "kQ", .unit = rateUnit(1), .group = Group::Rates, .value = kQ<1>},
    {.key = "kQ",
     .unit = rateUnit(2),
     .group = Group::Rates,
     .value = kQ<2>,
     .cell = Cell::Rate,
     .heading = "kQ"},
    {.key = "kQ", .unit = rateUnit(3), .group = Group::Rates, .value = kQ<3>},
    {.key = "kG", .unit = rateUnit(0), .group = Group::Rates, .value = kG<0>},
    {.key = "kG", .unit = rateUnit(1), .group = Group::Rates, .value = kG<1>},
    {.key = "kG",
     .unit = rateUnit(2),
     .group = Group::Rates,
     .value = kG<2>,
     .cell = Cell::Rate,
     .heading = "kG"},
    {.key = "kG", .unit = rateUnit(3), .group = Group::Rates, .value = kG<3>},
    {.key = "kG*C**n", .unit = keffUnit(0), .group = Group::Keff, .value = keff<0>},
    {.key = "kG*C**n", .unit = keffUnit(1), .group = Group::Keff, .value = keff<1>},
    {.key = "kG*C**n", .unit = keffUnit(2), .group = Group::Keff, .value = keff<2>},
    {.key = "kG*C**n", .unit = keffUnit(3), .group = Group::Keff, .value = keff<3>},

    // Tunnelling: each coefficient, and k = kQ times the chosen one.
    {.key = "kappa",
     .unit = NO_UNIT,
     .group = Group::Coefficient,
     .value = [](const At &a) { return a.method->coefficient(a.point.kappa); },
     .cell = Cell::Kappa},
    {.key = "k",
     .unit = rateUnit(2),
     .group = Group::Rates,
     .value = [](const At &a) { return a.point.k; },
     .cell = Cell::Rate,
     .heading = "k"},
    {.key = "k fit modified Arrhenius",
     .unit = rateUnit(2),
     .group = Group::Fit,
     .value = [](const At &a) -> Opt { return fitValue(a.result.fits->modified, a.point.T); }},
    {.key = "k fit Arrhenius",
     .unit = rateUnit(2),
     .group = Group::Fit,
     .value = [](const At &a) -> Opt { return fitValue(a.result.fits->arrhenius, a.point.T); }},

    // k against a measured rate constant at the same temperature.
    {.key = "k/k_measured",
     .unit = NO_UNIT,
     .group = Group::Measured,
     .value = [](const At &a) { return a.point.kOverMeasured; },
     .cell = Cell::Ratio,
     .heading = "k/k_meas"},

    // The Eckart barrier, the same at every temperature.
    {.key = "Eckart V1",
     .unit = KJ_PER_MOL,
     .group = Group::Rates,
     .value = [](const At &a) -> Opt { return a.result.eckart.V1; }},
    {.key = "Eckart V2",
     .unit = KJ_PER_MOL,
     .group = Group::Rates,
     .value = [](const At &a) -> Opt { return a.result.eckart.V2; }},
    {.key = "nu imag",
     .unit = WAVENUMBER,
     .group = Group::Rates,
     .value = [](const At &a) -> Opt { return a.result.eckart.nu; }},
};

bool present(Group group, const ScanResult &r) {
  switch (group) {
  case Group::Point:
  case Group::Molecule:
    return true;
  case Group::Reaction:
    return r.hasReaction;
  case Group::Rates:
  case Group::Coefficient:
    return r.hasRates;
  case Group::Keff:
    return !r.points.empty() && r.points.front().keff.has_value();
  case Group::Fit:
    return r.hasRates && r.fits.has_value();
  case Group::Measured:
    return r.hasRates && r.measured.has_value();
  }
  return false;
}

} // namespace

std::string unitText(const Unit &unit, const ScanResult &r) {
  if (unit.text)
    return unit.text;
  return unit.effective ? keffUnits(r.molecularity, r.nexp, unit.column)
                        : rateUnits(r.molecularity, unit.column);
}

std::span<const Column> columnTable() {
  return COLUMNS;
}

const Column &columnNamed(std::string_view key) {
  for (const Column &c : COLUMNS)
    if (key == c.key)
      return c;
  throw Error("no column named " + std::string(key));
}

std::optional<double> ShownColumn::at(const ScanResult &r, const ScanPoint &p) const {
  const MoleculePoint *m = row->group == Group::Molecule ? &p.molecules[molecule] : nullptr;
  return row->value(At{r, p, m, method});
}

namespace {

// Molecule by molecule, all of the run's columns for each.
void addMoleculeColumns(std::span<const Column> run, const ScanResult &r,
                        std::vector<ShownColumn> &shown) {
  const std::size_t n = r.points.empty() ? 0 : r.points.front().molecules.size();
  for (std::size_t j = 0; j < n; ++j) {
    const std::string &name = r.points.front().molecules[j].name;
    for (const Column &c : run)
      shown.push_back({&c, j, nullptr, name + " " + c.key, unitText(c.unit, r),
                       c.heading ? std::string(c.heading) + "(" + name + ")" : ""});
  }
}

// Method by method, for every tunnelling method that has a coefficient.
void addCoefficientColumns(std::span<const Column> run, const ScanResult &r,
                           std::vector<ShownColumn> &shown) {
  for (const TunnellingMethod &m : TUNNELLING_METHODS) {
    if (!m.label)
      continue;
    for (const Column &c : run)
      shown.push_back({&c, 0, &m, std::string(c.key) + " " + m.label, unitText(c.unit, r),
                       m.heading ? m.heading : m.label});
  }
}

} // namespace

std::vector<ShownColumn> columnsOf(const ScanResult &r) {
  const std::span<const Column> rows = COLUMNS;
  std::vector<ShownColumn> shown;
  for (std::size_t i = 0, end = 0; i < rows.size(); i = end) {
    while (end < rows.size() && rows[end].group == rows[i].group)
      ++end;
    const std::span<const Column> run = rows.subspan(i, end - i);
    if (!present(run.front().group, r))
      continue;
    if (run.front().group == Group::Molecule)
      addMoleculeColumns(run, r, shown);
    else if (run.front().group == Group::Coefficient)
      addCoefficientColumns(run, r, shown);
    else
      for (const Column &c : run)
        shown.push_back({&c, 0, nullptr, c.key, unitText(c.unit, r), c.heading ? c.heading : ""});
  }
  return shown;
}

} // namespace orvalen::scan
