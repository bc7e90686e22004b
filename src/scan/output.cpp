#include "scan/output.hpp"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ostream>

namespace orvalen::scan {

using nlohmann::ordered_json;

bool parseOutputFormat(std::string_view word, Format &format) {
  if (word == "table")
    format = Format::Table;
  else if (word == "csv")
    format = Format::Csv;
  else if (word == "json")
    format = Format::Json;
  else
    return false;
  return true;
}

void writeResult(std::ostream &out, const ScanResult &r, Format format) {
  switch (format) {
  case Format::Table:
    writeTable(out, r);
    break;
  case Format::Csv:
    writeCsv(out, r);
    break;
  case Format::Json:
    writeJson(out, r);
    break;
  }
}

std::string shortest(double x) {
  if (std::isnan(x))
    return "nan";
  if (std::isinf(x))
    return x > 0 ? "inf" : "-inf";
  char buf[32];
  const auto res = std::to_chars(buf, buf + sizeof buf, x);
  return std::string(buf, res.ptr);
}

namespace {

const char *roleName(int role) {
  return role == REACTANT ? "reactant" : role == PRODUCT ? "product" : "transition_state";
}

// ---- Table -----------------------------------------------------------------

std::string fixed(double x, int w, int d) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%*.*f", w, d, x);
  return buf;
}
std::string sci(double x, int w) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%*.5E", w, x);
  return buf;
}
std::string kappaCell(const std::optional<double> &k, int w) {
  if (!k)
    return std::string(static_cast<std::size_t>(w - 1), ' ') + "-";
  char buf[64];
  if (*k < 1e5)
    std::snprintf(buf, sizeof buf, "%*.4f", w, *k);
  else
    std::snprintf(buf, sizeof buf, "%*.4E", w, *k);
  return buf;
}
std::string right(std::string_view s, int w) {
  return std::string(s.size() < static_cast<std::size_t>(w) ? w - s.size() : 0, ' ') +
         std::string(s);
}

double kjOf(double hartree) {
  return hartree / KJ2HARTREE;
}

} // namespace

void writeTable(std::ostream &out, const ScanResult &r) {
  const std::string units = rateUnits(r.molecularity, 2);
  out << r.title << "   (" << r.jobFile;
  if (!r.points.empty())
    out << ", P = " << shortest(r.points.front().P) << " Pa";
  out << ")\n";
  if (r.hasRates)
    out << "kQ, kG and k in " << units << "; k = kQ * kappa (" << methodName(r.method) << ")\n";
  out << '\n';

  std::string h1 = right("T", 9), h2 = right("K", 9);
  if (r.hasReaction) {
    h1 += right("DrH", 11) + right("DrG", 11);
    h2 += right("kJ/mol", 11) + right("kJ/mol", 11);
  }
  if (r.hasRates) {
    h1 += right("dH0", 11) + right("dGa", 11) + right("kQ", 14) + right("kG", 14) +
          right("Wigner", 12) + right("parabolic", 12) + right("Sk.-Truhlar", 12) +
          right("Eckart", 12) + right("k", 14);
    h2 += right("kJ/mol", 11) + right("kJ/mol", 11);
  }
  if (!r.hasReaction && !r.hasRates)
    for (const auto &m : r.points.empty() ? std::vector<MoleculePoint>() : r.points[0].molecules) {
      h1 += right("G(" + m.name + ")", 14);
      h2 += right("kJ/mol", 14);
    }
  out << h1 << '\n' << h2 << '\n';

  for (const ScanPoint &p : r.points) {
    std::string line = fixed(p.T, 9, 2);
    if (r.hasReaction)
      line += fixed(kjOf(p.reaction.drH), 11, 3) + fixed(kjOf(p.reaction.drG), 11, 3);
    if (r.hasRates) {
      line += fixed(kjOf(p.rates.dH0), 11, 3) + fixed(kjOf(p.rates.dG), 11, 3) +
              sci(p.rates.kQ[2], 14) + sci(p.rates.kG[2], 14) + kappaCell(p.kappa.wigner, 12) +
              kappaCell(p.kappa.parabolic, 12) + kappaCell(p.kappa.skodjeTruhlar, 12) +
              kappaCell(p.kappa.eckart, 12) + (p.k ? sci(*p.k, 14) : right("-", 14));
    }
    if (!r.hasReaction && !r.hasRates)
      for (const auto &m : p.molecules)
        line += fixed(m.tot.g, 14, 3);
    out << line << '\n';
  }

  if (r.fits) {
    const Fits &f = *r.fits;
    auto fitLine = [&](const char *label, const ArrheniusFit &a, bool withN) {
      char buf[256];
      std::snprintf(buf, sizeof buf, "  %-28s A = %.6E %s", label, a.A, units.c_str());
      out << buf;
      if (withN) {
        std::snprintf(buf, sizeof buf, "  n = %.4f", a.n);
        out << buf;
      }
      std::snprintf(buf, sizeof buf,
                    "  Ea = %.3f kJ/mol = %.3f kcal/mol  largest deviation %.2f %%\n", a.EaKJ,
                    a.EaKJ * KJ2KCAL, 100.0 * a.maxRelDeviation);
      out << buf;
    };
    out << "\nFit of k over " << f.points << " temperatures, least squares on ln k:\n";
    fitLine("k = A (T/1 K)^n exp(-Ea/RT)", f.modified, true);
    fitLine("k = A exp(-Ea/RT)", f.arrhenius, false);
    out << "CHEMKIN (A in cm, mol, s; Ea in cal/mol):\n"
        << chemkinLine(r.chemkinName, f.modified, r.molecularity) << '\n';
  }
}

// ---- CSV -------------------------------------------------------------------

void writeCsv(std::ostream &out, const ScanResult &r) {
  std::vector<std::string> head = {"T (K)", "P (Pa)"};
  const auto &mols = r.points.empty() ? std::vector<MoleculePoint>() : r.points[0].molecules;
  for (const auto &m : mols)
    for (const char *q : {"Qtot ()", "ZPEtot (kJ/mol)", "Htot (kJ/mol)", "Stot (J/K/mol)",
                          "Gtot (kJ/mol)", "E+G (Hartree)"})
      head.push_back(m.name + " " + q);
  if (r.hasReaction)
    for (const char *q : {"DrE (kJ/mol)", "DrZPE (kJ/mol)", "DrU (kJ/mol)", "DrH (kJ/mol)",
                          "DrS (J/K/mol)", "DrG (kJ/mol)", "DrQ ()"})
      head.push_back(q);
  const bool keff = !r.points.empty() && r.points[0].keff.has_value();
  if (r.hasRates) {
    for (const char *q :
         {"dEa (kJ/mol)", "dH0 (kJ/mol)", "dH (kJ/mol)", "dS (J/K/mol)", "dG (kJ/mol)", "ProdQ ()"})
      head.push_back(q);
    for (const char *q : {"kQ", "kG"})
      for (int c = 0; c < 4; ++c)
        head.push_back(std::string(q) + " (" + rateUnits(r.molecularity, c) + ")");
  }
  if (keff)
    for (int c = 0; c < 4; ++c)
      head.push_back("kG*C**n (" + keffUnits(r.molecularity, r.nexp, c) + ")");
  if (r.hasRates) {
    for (const char *q :
         {"kappa Wigner ()", "kappa parabolic ()", "kappa Skodje-Truhlar ()", "kappa Eckart ()"})
      head.push_back(q);
    const std::string u = rateUnits(r.molecularity, 2);
    head.push_back("k (" + u + ")");
    if (r.fits) {
      head.push_back("k fit modified Arrhenius (" + u + ")");
      head.push_back("k fit Arrhenius (" + u + ")");
    }
    for (const char *q : {"Eckart V1 (kJ/mol)", "Eckart V2 (kJ/mol)", "nu imag (cm-1)"})
      head.push_back(q);
  }
  for (std::size_t i = 0; i < head.size(); ++i)
    out << (i ? "," : "") << head[i];
  out << '\n';

  std::string line;
  auto cell = [&](double x) {
    line += ',';
    if (std::isfinite(x))
      line += shortest(x);
  };
  auto opt = [&](const std::optional<double> &x) {
    line += ',';
    if (x && std::isfinite(*x))
      line += shortest(*x);
  };
  for (const ScanPoint &p : r.points) {
    line = shortest(p.T);
    cell(p.P);
    for (const auto &m : p.molecules) {
      cell(m.tot.q);
      cell(m.zpe);
      cell(m.tot.h);
      cell(m.tot.s);
      cell(m.tot.g);
      cell(m.corrected.eg);
    }
    if (r.hasReaction) {
      const ReactionTotals &t = p.reaction;
      for (double h : {t.drE, t.drZpe, t.drU, t.drH})
        cell(kjOf(h));
      cell(kjOf(t.drS) * 1000.0);
      cell(kjOf(t.drG));
      cell(t.drQ);
    }
    if (r.hasRates) {
      const RateConstants &k = p.rates;
      for (double h : {k.dEa, k.dH0, k.dH})
        cell(kjOf(h));
      cell(kjOf(k.dS) * 1000.0);
      cell(kjOf(k.dG));
      cell(k.prodQ);
      for (double v : k.kQ)
        cell(v);
      for (double v : k.kG)
        cell(v);
    }
    if (keff)
      for (double v : *p.keff)
        cell(v);
    if (r.hasRates) {
      opt(p.kappa.wigner);
      opt(p.kappa.parabolic);
      opt(p.kappa.skodjeTruhlar);
      opt(p.kappa.eckart);
      opt(p.k);
      if (r.fits) {
        cell(fitValue(r.fits->modified, p.T));
        cell(fitValue(r.fits->arrhenius, p.T));
      }
      cell(r.eckart.V1);
      cell(r.eckart.V2);
      cell(r.eckart.nu);
    }
    line += '\n';
    out << line;
  }
}

// ---- JSON ------------------------------------------------------------------

namespace {

ordered_json num(double x) {
  return std::isfinite(x) ? ordered_json(x) : ordered_json(nullptr);
}
ordered_json num(const std::optional<double> &x) {
  return x ? num(*x) : ordered_json(nullptr);
}
ordered_json columns(const Columns &c) {
  return ordered_json::array({num(c[0]), num(c[1]), num(c[2]), num(c[3])});
}

ordered_json contribution(const Contribution &c) {
  return ordered_json{{"Q", num(c.q)},       {"U_kJmol", num(c.u)}, {"H_kJmol", num(c.h)},
                      {"S_JmolK", num(c.s)}, {"F_kJmol", num(c.f)}, {"G_kJmol", num(c.g)}};
}

ordered_json molecule(const MoleculePoint &m) {
  ordered_json j{{"role", roleName(m.role)}, {"name", m.name}};
  j["elec"] = contribution(m.elec);
  j["tran"] = contribution(m.tran);
  j["rot"] = contribution(m.rot);
  j["vib"] = contribution(m.vib);
  j["vib"]["ZPE_kJmol"] = num(m.zpe);
  j["vib"]["H_H0_kJmol"] = num(m.hh0);
  j["vib"]["used"] = m.nused;
  j["tot"] = contribution(m.tot);
  j["tot"]["ZPE_kJmol"] = num(m.zpe);
  const CorrectedEnergies &c = m.corrected;
  j["corrected_hartree"] = ordered_json{
      {"E", num(c.etot)}, {"E_ZPE", num(c.ezpe)}, {"E_U", num(c.eu)},  {"E_H", num(c.eh)},
      {"E_F", num(c.ef)}, {"E_G", num(c.eg)},     {"ZPE", num(c.zpe)}, {"U", num(c.u)},
      {"H", num(c.h)},    {"F", num(c.f)},        {"G", num(c.g)}};
  return j;
}

ordered_json eckartInputs(const ScanResult &r) {
  if (!r.hasRates)
    return nullptr;
  return ordered_json{{"V1_kJmol", num(r.eckart.V1)},
                      {"V2_kJmol", num(r.eckart.V2)},
                      {"nu_imag_cm1", num(r.eckart.nu)}};
}

ordered_json point(const ScanPoint &p, const ScanResult &r) {
  ordered_json j{{"T", num(p.T)}, {"P", num(p.P)}};
  ordered_json mols = ordered_json::array();
  for (const auto &m : p.molecules)
    mols.push_back(molecule(m));
  j["molecules"] = std::move(mols);
  if (r.hasReaction) {
    const ReactionTotals &t = p.reaction;
    j["reaction"] = ordered_json{{"DrE_hartree", num(t.drE)},
                                 {"DrZPE_hartree", num(t.drZpe)},
                                 {"DrU_hartree", num(t.drU)},
                                 {"DrH_hartree", num(t.drH)},
                                 {"DrS_hartreeK", num(t.drS)},
                                 {"DrG_hartree", num(t.drG)},
                                 {"DrE_kJmol", num(kjOf(t.drE))},
                                 {"DrZPE_kJmol", num(kjOf(t.drZpe))},
                                 {"DrU_kJmol", num(kjOf(t.drU))},
                                 {"DrH_kJmol", num(kjOf(t.drH))},
                                 {"DrS_JmolK", num(kjOf(t.drS) * 1000.0)},
                                 {"DrG_kJmol", num(kjOf(t.drG))},
                                 {"DrQ", num(t.drQ)}};
  } else {
    j["reaction"] = nullptr;
  }
  if (r.hasRates) {
    const RateConstants &k = p.rates;
    j["activation"] = ordered_json{{"dEa_hartree", num(k.dEa)},
                                   {"dH0_hartree", num(k.dH0)},
                                   {"dH_hartree", num(k.dH)},
                                   {"dS_hartreeK", num(k.dS)},
                                   {"dG_hartree", num(k.dG)},
                                   {"dEa_kJmol", num(kjOf(k.dEa))},
                                   {"dH0_kJmol", num(kjOf(k.dH0))},
                                   {"dH_kJmol", num(kjOf(k.dH))},
                                   {"dS_JmolK", num(kjOf(k.dS) * 1000.0)},
                                   {"dG_kJmol", num(kjOf(k.dG))},
                                   {"kBT_h", num(k.kTh)},
                                   {"ProdQ", num(k.prodQ)},
                                   {"exp_dH0_RT", num(k.E0)}};
    j["Fc"] = columns(k.fc);
    j["A"] = columns(k.a);
    j["kQ"] = columns(k.kQ);
    j["kG"] = columns(k.kG);
  } else {
    for (const char *key : {"activation", "Fc", "A", "kQ", "kG"})
      j[key] = nullptr;
  }
  j["keff"] = p.keff ? columns(*p.keff) : ordered_json(nullptr);
  j["kappa"] = ordered_json{{"wigner", num(p.kappa.wigner)},
                            {"parabolic", num(p.kappa.parabolic)},
                            {"skodje_truhlar", num(p.kappa.skodjeTruhlar)},
                            {"eckart", num(p.kappa.eckart)}};
  // The report's tunnelling lines as computed there, meaningful or not.
  const Tunnelling &t = p.tunnelling;
  j["report_tunnelling"] = ordered_json{{"wigner", num(t.kW)},
                                        {"parabolic", num(t.kP)},
                                        {"skodje_truhlar", num(t.kST)},
                                        {"skodje_truhlar_a_gt_b", num(t.kST1)},
                                        {"skodje_truhlar_a_lt_b", num(t.kST2)}};
  j["k"] = num(p.k);
  j["eckart"] = eckartInputs(r);
  return j;
}

ordered_json fitJson(const ArrheniusFit &f, bool modified) {
  ordered_json j{{"A", num(f.A)}};
  if (modified)
    j["n"] = num(f.n);
  j["Ea_kJmol"] = num(f.EaKJ);
  j["Ea_kcalmol"] = num(f.EaKJ * KJ2KCAL);
  if (modified)
    j["T0"] = f.T0;
  j["max_rel_deviation"] = num(f.maxRelDeviation);
  return j;
}

} // namespace

namespace {

// A value dumped with one blank per level, set `depth` levels deep.
std::string nested(const ordered_json &v, int depth) {
  std::string text = v.dump(1);
  const std::string indent = "\n" + std::string(static_cast<std::size_t>(depth), ' ');
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char c : text)
    if (c == '\n')
      out += indent;
    else
      out += c;
  return out;
}

} // namespace

void writeJson(std::ostream &out, const ScanResult &r) {
  ordered_json units{{"T", "K"},
                     {"P", "Pa"},
                     {"energies", "kJ/mol (_kJmol), Hartree (_hartree)"},
                     {"entropies", "J/(mol K) (_JmolK), Hartree/K (_hartreeK)"}};
  ordered_json rateCols = ordered_json::array();
  for (int c = 0; c < 4; ++c)
    rateCols.push_back(rateUnits(r.molecularity, c));
  units["kQ"] = rateCols;
  units["keff"] = ordered_json::array();
  for (int c = 0; c < 4; ++c)
    units["keff"].push_back(keffUnits(r.molecularity, r.nexp, c));
  units["k"] = rateUnits(r.molecularity, 2);
  ordered_json fit = nullptr;
  if (r.fits)
    fit = ordered_json{{"points", r.fits->points},
                       {"modified", fitJson(r.fits->modified, true)},
                       {"arrhenius", fitJson(r.fits->arrhenius, false)},
                       {"chemkin", chemkinLine(r.chemkinName, r.fits->modified, r.molecularity)}};

  // One temperature at a time, so that a long scan never holds its whole
  // document twice (as a tree and as text).
  const auto field = [&](const char *key, const ordered_json &value) {
    out << " \"" << key << "\": " << nested(value, 1) << ",\n";
  };
  out << "{\n";
  field("program", "orvalen-scan");
  field("version", "0.1");
  field("job", r.jobFile);
  field("reaction", r.title);
  field("molecularity", r.molecularity);
  field("tunnelling", methodName(r.method));
  field("units", units);
  field("eckart", eckartInputs(r));
  out << " \"temperatures\": [";
  for (std::size_t i = 0; i < r.points.size(); ++i)
    out << (i ? ",\n  " : "\n  ") << nested(point(r.points[i], r), 2);
  out << (r.points.empty() ? "],\n" : "\n ],\n");
  field("fit", fit);
  out << " \"warnings\": " << nested(ordered_json(r.warnings.texts()), 1) << "\n}\n";
}

} // namespace orvalen::scan
