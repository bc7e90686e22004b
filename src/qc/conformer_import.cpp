// orvalen-import of several outputs of one molecule: its conformers in one
// data file (import.hpp, importConformers).
#include "base/error.hpp"
#include "base/warnings.hpp"
#include "molecule/molecule.hpp"
#include "qc/geometry_names.hpp"
#include "qc/import.hpp"
#include "qc/output_text.hpp"
#include "qc/readers.hpp"
#include "qc/rotor_potential.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orvalen::qc {

namespace {

// The duplicate rule: two structures closer than these are one.
constexpr double SAME_ENERGY = 0.01;     // kJ/mol
constexpr double SAME_MOMENT = 0.001;    // relative
constexpr double SAME_WAVENUMBER = 1.0;  // cm-1
constexpr long MATCHING_STEPS = 2000000; // of the search for an atom matching

// One output imported, with what the checks need of it.
struct Structure {
  std::string file;
  QcRecord record;
  Imported imported;
  double e0 = 0.0; // E + ZPE, kJ/mol above the first structure's E
};

// ZPE = sum h c nu / 2 over the real modes, kJ/mol (CODATA 2018, as the import's masses).
double zeroPointEnergy(const std::vector<double> &wavenumbers) {
  constexpr double PLANCK_2018 = 6.62607015e-34; // J s
  double sum = 0.0;
  for (const double nu : wavenumbers)
    if (nu > 0.0)
      sum += nu;
  return 0.5 * sum * 100.0 * PLANCK_2018 * CODATA_2018.light * CODATA_2018.avogadro / 1000.0;
}

using Bonds = std::vector<std::vector<int>>; // each atom's bonded atoms, 0-based, ascending

Bonds bondsOf(const QcRecord &rec) {
  const Atoms atoms{rec.atomicNumbers, rec.coords};
  const auto n = static_cast<int>(rec.atomicNumbers.size());
  Bonds bonds(static_cast<std::size_t>(n));
  for (int a = 0; a < n; ++a)
    for (int b = a + 1; b < n; ++b)
      if (bonded(atoms, a + 1, b + 1)) {
        bonds[static_cast<std::size_t>(a)].push_back(b);
        bonds[static_cast<std::size_t>(b)].push_back(a);
      }
  return bonds;
}

bool adjacent(const Bonds &g, int a, int b) {
  const auto &n = g[static_cast<std::size_t>(a)];
  return std::binary_search(n.begin(), n.end(), b);
}

// A one-to-one matching of the atoms of A onto those of B that keeps the
// elements and the bonds, found atom by atom (each next atom bonded to one
// matched already where it can be), trying each atom of B of the same
// element and number of bonds. `steps` bounds the search.
class AtomMatching {
public:
  AtomMatching(const std::vector<int> &zA, const Bonds &a, const std::vector<int> &zB,
               const Bonds &b)
      : zA_(zA), zB_(zB), a_(a), b_(b), toB_(zA.size(), -1), used_(zB.size(), false) {
    // Breadth first from each atom not reached yet: a bonded atom comes
    // soon after its neighbour, so that a wrong choice fails early.
    std::vector<bool> seen(zA.size(), false);
    for (std::size_t start = 0; start < zA.size(); ++start) {
      if (seen[start])
        continue;
      seen[start] = true;
      std::vector<int> queue{static_cast<int>(start)};
      for (std::size_t q = 0; q < queue.size(); ++q) {
        order_.push_back(queue[q]);
        for (const int n : a[static_cast<std::size_t>(queue[q])])
          if (!seen[static_cast<std::size_t>(n)]) {
            seen[static_cast<std::size_t>(n)] = true;
            queue.push_back(n);
          }
      }
    }
  }

  // True: matched; false: none exists; nullopt: the search gave up.
  std::optional<bool> find() {
    const bool found = extend(0);
    if (!found && steps_ >= MATCHING_STEPS)
      return std::nullopt;
    return found;
  }

  // Calls `each` with every matching (the atom of B for each atom of A) until
  // it returns false or `most` were found; false when the search was cut short.
  template <class Each> bool forEach(Each each, int most) {
    each_ = [&](const std::vector<int> &m) { return each(m); };
    most_ = most;
    extend(0);
    return steps_ < MATCHING_STEPS && found_ < most_;
  }

private:
  bool fits(int a, int b) const {
    const auto ua = static_cast<std::size_t>(a), ub = static_cast<std::size_t>(b);
    if (used_[ub] || zA_[ua] != zB_[ub] || a_[ua].size() != b_[ub].size())
      return false;
    for (std::size_t k = 0; k < toB_.size(); ++k)
      if (toB_[k] >= 0 && adjacent(a_, a, static_cast<int>(k)) != adjacent(b_, b, toB_[k]))
        return false;
    return true;
  }

  // True stops the search: a matching found (find), or enough of them (forEach).
  bool extend(std::size_t depth) {
    if (depth == order_.size()) {
      if (!each_)
        return true;
      ++found_;
      return !each_(toB_) || found_ >= most_;
    }
    const int a = order_[depth];
    for (std::size_t b = 0; b < zB_.size(); ++b) {
      if (++steps_ > MATCHING_STEPS)
        return false;
      if (!fits(a, static_cast<int>(b)))
        continue;
      toB_[static_cast<std::size_t>(a)] = static_cast<int>(b);
      used_[b] = true;
      if (extend(depth + 1))
        return true;
      toB_[static_cast<std::size_t>(a)] = -1;
      used_[b] = false;
    }
    return false;
  }

  const std::vector<int> &zA_, &zB_;
  const Bonds &a_, &b_;
  std::vector<int> order_;
  std::vector<int> toB_;
  std::vector<bool> used_;
  long steps_ = 0;
  std::function<bool(const std::vector<int> &)> each_;
  int most_ = 0;
  int found_ = 0;
};

// "C-H 3, C-O 1, H-O 1": the bonds by the elements they join.
std::string bondCounts(const QcRecord &rec, const Bonds &g) {
  std::map<std::string, int> counts;
  for (std::size_t a = 0; a < g.size(); ++a)
    for (const int b : g[a])
      if (static_cast<std::size_t>(b) > a) {
        std::string x = hillFormula({rec.atomicNumbers[a]});
        std::string y = hillFormula({rec.atomicNumbers[static_cast<std::size_t>(b)]});
        if (y < x)
          std::swap(x, y);
        ++counts[x.append("-").append(y)];
      }
  std::string text;
  for (const auto &[pair, n] : counts)
    text.append(text.empty() ? "" : ", ").append(pair).append(" ").append(std::to_string(n));
  return text.empty() ? std::string("no bonds") : text;
}

// The same atoms bonded the same way as the first structure, else an error
// saying how the structure differs.
void checkSameMolecule(const Structure &first, const Structure &s) {
  const std::string a = hillFormula(first.record.atomicNumbers);
  const std::string b = hillFormula(s.record.atomicNumbers);
  if (a != b)
    throw Error(s.file + ": holds " + b + ", not " + a + " of " + first.file +
                ": another molecule, not a conformer of it; give the outputs of one molecule");
  const Bonds ga = bondsOf(first.record), gb = bondsOf(s.record);
  if (first.record.atomicNumbers == s.record.atomicNumbers && ga == gb)
    return;
  AtomMatching matching(first.record.atomicNumbers, ga, s.record.atomicNumbers, gb);
  const std::optional<bool> same = matching.find();
  if (same && *same)
    return;
  const std::string ca = bondCounts(first.record, ga), cb = bondCounts(s.record, gb);
  if (!same)
    throw Error(s.file + ": its bonds could not be matched with those of " + first.file +
                " within " + std::to_string(MATCHING_STEPS) +
                " steps; give the atoms in the same order in every output");
  throw Error(
      s.file + ": its atoms are bonded otherwise than in " + first.file + " (" +
      (ca == cb ? "the same bonds (" + cb + ") joined in another pattern" : cb + " against " + ca) +
      "; atoms bonded when closer than 1.2 times their covalent radii): another "
      "connectivity, not a conformer of it");
}

int imaginaryModes(const Structure &s) {
  return imaginaryCount(s.imported.data);
}

// All minima, or all saddle points with one imaginary mode.
void checkSameKind(const std::vector<Structure> &all) {
  for (const Structure &s : all)
    if (imaginaryModes(s) > 1)
      throw Error(s.file + ": " + std::to_string(imaginaryModes(s)) +
                  " imaginary frequencies: the conformers of a molecule are minima, or saddle "
                  "points with one imaginary mode each");
  const Structure &first = all.front();
  for (const Structure &s : all) {
    if (imaginaryModes(s) == imaginaryModes(first))
      continue;
    const bool minimum = imaginaryModes(s) == 0;
    throw Error(s.file + ": " +
                (minimum ? std::string("a minimum (no imaginary frequency) among saddle points (")
                         : std::string("a saddle point (one imaginary frequency) among minima (")) +
                first.file + " is " + (minimum ? "a saddle point" : "a minimum") +
                "); the conformers of a molecule are all minima or all saddle points");
  }
}

// The same charge and multiplicity, and an energy, in every output.
void checkSameState(const std::vector<Structure> &all) {
  const MolFileData &first = all.front().imported.data;
  for (const Structure &s : all) {
    const MolFileData &d = s.imported.data;
    if (!d.energy)
      throw Error(s.file + ": no electronic energy, so its place among the conformers is not "
                           "known; give --energy FILE for each output");
    if (d.charge != first.charge || d.multiplicity != first.multiplicity)
      throw Error(s.file + ": charge " + std::to_string(d.charge) + " and multiplicity " +
                  std::to_string(d.multiplicity) + ", where " + all.front().file + " has " +
                  std::to_string(first.charge) + " and " + std::to_string(first.multiplicity) +
                  ": another electronic state, not a conformer");
  }
}

bool sameWavenumbers(std::vector<double> a, std::vector<double> b) {
  if (a.size() != b.size())
    return false;
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  for (std::size_t k = 0; k < a.size(); ++k)
    if (std::fabs(a[k] - b[k]) >= SAME_WAVENUMBER)
      return false;
  return true;
}

bool duplicates(const Structure &a, const Structure &b) {
  const MolFileData &da = a.imported.data, &db = b.imported.data;
  if (std::fabs(*da.energy - *db.energy) * HARTREE_KJMOL >= SAME_ENERGY)
    return false;
  for (std::size_t k = 0; k < 3; ++k) {
    const double scale = std::max(std::fabs(da.pmoi[k]), std::fabs(db.pmoi[k]));
    if (scale > 0.0 && std::fabs(da.pmoi[k] - db.pmoi[k]) >= SAME_MOMENT * scale)
      return false;
  }
  return sameWavenumbers(da.frequencies, db.frequencies);
}

// The smallest RMSD (A) of b's geometry onto a's over the matchings of their
// atoms that keep elements and bonds (the equivalent atoms of a methyl group
// may be numbered otherwise in each), b mirrored or not; nullopt when there
// are too many matchings to try.
std::optional<double> bestFit(const QcRecord &a, const QcRecord &b, bool mirrored) {
  constexpr int MOST_MATCHINGS = 5000;
  const Bonds ga = bondsOf(a), gb = bondsOf(b);
  std::vector<Vec3> rb = b.coords;
  if (mirrored)
    for (Vec3 &p : rb)
      p[0] = -p[0];
  double best = HUGE_VAL;
  AtomMatching matching(a.atomicNumbers, ga, b.atomicNumbers, gb);
  std::vector<Vec3> ordered(rb.size());
  const bool whole = matching.forEach(
      [&](const std::vector<int> &toB) {
        for (std::size_t k = 0; k < toB.size(); ++k)
          ordered[k] = rb[static_cast<std::size_t>(toB[k])];
        best = std::min(best, alignedRmsd(a.coords, ordered));
        return true;
      },
      MOST_MATCHINGS);
  if (!whole)
    return std::nullopt;
  return best;
}

// A chiral structure and its mirror image: b fits a's mirror image better
// than a itself.
bool mirrorImages(const Structure &a, const Structure &b) {
  if (a.imported.data.opticalIsomers < 2)
    return false;
  const std::optional<double> same = bestFit(a.record, b.record, false);
  const std::optional<double> mirror = bestFit(a.record, b.record, true);
  return same && mirror && *mirror < *same;
}

// Keeps the first given of each set of duplicates, in the order given.
std::vector<Structure> withoutDuplicates(std::vector<Structure> all,
                                         std::vector<std::string> &warnings) {
  std::vector<Structure> kept;
  for (Structure &s : all) {
    const auto same = std::find_if(kept.begin(), kept.end(),
                                   [&](const Structure &k) { return duplicates(k, s); });
    if (same == kept.end()) {
      kept.push_back(std::move(s));
      continue;
    }
    const double dE = (*s.imported.data.energy - *same->imported.data.energy) * HARTREE_KJMOL;
    warnings.push_back(s.file + ": " +
                       (mirrorImages(*same, s) ? "the mirror image of " + same->file +
                                                     ", whose 2 optical isomers count it already"
                                               : "the same structure as " + same->file) +
                       " (E " + (dE < 0 ? "" : "+") + withDecimals(dE, 4) +
                       " kJ/mol, moments within 0.1 %, wavenumbers within 1 cm-1); left out, " +
                       same->file + " kept");
  }
  return kept;
}

// What the command line asks that several outputs cannot give.
void checkRequest(const std::vector<std::filesystem::path> &outputs,
                  const std::vector<std::filesystem::path> &energyFiles,
                  const ImportOptions &options) {
  if (outputs.size() < 2)
    throw Error("conformers need two outputs or more");
  if (!energyFiles.empty() && energyFiles.size() != outputs.size())
    throw Error("--energy given " + std::to_string(energyFiles.size()) + " times for " +
                std::to_string(outputs.size()) +
                " outputs: give it once per output, in the order of the outputs (or not at all)");
  if (options.rotationNumber || !options.rotors.empty() || options.energyValue)
    throw Error(std::string(options.rotationNumber ? "--rotnum"
                            : options.energyValue  ? "--energy-value"
                                                   : "--rotor") +
                " with several outputs: it describes one structure, and each conformer's comes "
                "from its own output (hindered rotors and conformers would count the torsions "
                "twice); import one output for it");
  if (outputs.size() > static_cast<std::size_t>(MAX_CONFORMERS) + 1)
    throw Error(std::to_string(outputs.size()) + " outputs: a molecule holds at most " +
                std::to_string(MAX_CONFORMERS + 1) + " structures");
}

// One output imported as one would be, with its --energy file (empty: none).
Structure importStructure(const std::filesystem::path &output,
                          const std::filesystem::path &energyFile, const ImportOptions &options) {
  Structure s;
  s.file = output.string();
  s.record = readOutput(output);
  ImportOptions own = options;
  std::optional<QcRecord> energyRecord;
  if (!energyFile.empty()) {
    own.energyFile = energyFile;
    energyRecord = readOutput(energyFile);
  }
  s.imported = importRecord(s.record, own, energyRecord ? &*energyRecord : nullptr);
  s.imported.filesBeside.insert(s.imported.filesBeside.end(), s.record.filesBeside.begin(),
                                s.record.filesBeside.end());
  if (energyRecord)
    s.imported.filesBeside.insert(s.imported.filesBeside.end(), energyRecord->filesBeside.begin(),
                                  energyRecord->filesBeside.end());
  return s;
}

// The data file of the structures kept: the one of lowest E0 (the first
// given of equal ones) as the main structure, the others as its conformers.
void writeStructures(std::vector<Structure> &kept, std::size_t given, Imported &out) {
  const double e = *kept.front().imported.data.energy;
  for (Structure &s : kept)
    s.e0 = (*s.imported.data.energy - e) * HARTREE_KJMOL +
           zeroPointEnergy(s.imported.data.frequencies);
  std::size_t main = 0;
  for (std::size_t k = 1; k < kept.size(); ++k)
    if (kept[k].e0 < kept[main].e0)
      main = k;

  out.data = kept[main].imported.data;
  std::string list;
  for (std::size_t k = 0; k < kept.size(); ++k) {
    if (k == main)
      continue;
    const Structure &s = kept[k];
    const MolFileData &d = s.imported.data;
    out.data.conformers.push_back(
        {s.file, *d.energy, 0.0, d.rotationNumber, d.opticalIsomers, d.pmoi, d.frequencies});
    list += (list.empty() ? "" : ", ") + s.file + " " + withDecimals(s.e0 - kept[main].e0, 2);
  }
  if (out.data.conformers.empty()) {
    out.data.title.push_back("Conformers: the " + std::to_string(given) +
                             " outputs are one structure");
    return;
  }
  out.data.title.push_back("Conformers: " + std::to_string(kept.size()) +
                           " structures; this one, of lowest E0 = E + ZPE, from " +
                           kept[main].file + "; the others (E0 above it, kJ/mol): " + list);
}

} // namespace

Imported importConformers(const std::vector<std::filesystem::path> &outputs,
                          const std::vector<std::filesystem::path> &energyFiles,
                          const ImportOptions &options) {
  checkRequest(outputs, energyFiles, options);
  std::vector<Structure> all;
  for (std::size_t k = 0; k < outputs.size(); ++k) {
    all.push_back(importStructure(
        outputs[k], energyFiles.empty() ? std::filesystem::path() : energyFiles[k], options));
    if (all.size() > 1)
      checkSameMolecule(all.front(), all.back());
  }
  checkSameKind(all);
  checkSameState(all);

  Imported out;
  for (const Structure &s : all) {
    out.warnings.insert(out.warnings.end(), s.imported.warnings.begin(), s.imported.warnings.end());
    out.filesBeside.insert(out.filesBeside.end(), s.imported.filesBeside.begin(),
                           s.imported.filesBeside.end());
  }
  std::vector<Structure> kept = withoutDuplicates(std::move(all), out.warnings);
  writeStructures(kept, outputs.size(), out);
  return out;
}

} // namespace orvalen::qc
