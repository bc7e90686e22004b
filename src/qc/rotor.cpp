#include "qc/rotor.hpp"

#include "base/error.hpp"
#include "base/warnings.hpp"
#include "molecule/molecule.hpp"
#include "molecule/torsion.hpp"
#include "qc/geometry_names.hpp"
#include "qc/output_text.hpp"
#include "qc/rotor_potential.hpp"
#include "qc/rotor_scan.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvalen::qc {

namespace {

constexpr std::size_t MIN_SCAN_POINTS = 6;
constexpr double BELOW_FIRST = 0.5;    // kJ/mol: the first point is not the minimum
constexpr double LARGEST_GAP = 90.0;   // degrees of a turn without a point
constexpr double SAME_GEOMETRY = 0.05; // A RMS: the scan starts at the frequencies' geometry
constexpr double DEGREE = std::numbers::pi / 180.0;
constexpr double WEAK_TORSION = 0.3; // the largest torsional character that gets a warning
constexpr double KCAL_KJ = 4.184;    // kJ per kcal (thermochemical calorie)
// A rotor's harmonic wavenumber more than this factor from the mode it
// replaces: the potential or the moment is not that of the torsion.
constexpr double WAVENUMBER_FACTOR = 3.0;

std::string rotorBadly(std::string_view text) {
  return "--rotor " + inQuotes(text) +
         ": expected P1,P2 or P1,P2:TOP (atoms numbered from 1 in the order of the output's "
         "geometry; TOP the atoms of the rotating group, P1 among them, as a comma list)";
}

std::vector<int> atomNumbers(std::string_view list, std::string_view text) {
  std::vector<int> atoms;
  std::size_t from = 0;
  while (true) {
    const std::size_t comma = list.find(',', from);
    const std::string_view word = list.substr(from, comma - from);
    const auto n = parseInteger(word);
    if (!n || *n < 1 || *n > MAX_ATOMS)
      throw Error(rotorBadly(text));
    atoms.push_back(static_cast<int>(*n));
    if (comma == std::string_view::npos)
      return atoms;
    from = comma + 1;
  }
}

// The potential of a rotor from its relaxed scan.
struct ScanFit {
  FourierFit fit;
  std::size_t points = 0;
  std::string kind;
  int period = 0;       // times the potential repeats in a turn; 0: too flat to tell
  double barrier = 0.0; // the points' max - min, kJ/mol
};

// "LINE: rotor R: a scan of C2H5 (7 atoms), not of C4H9O3 of FILE (16 atoms): ..."
std::string otherMolecule(const RelaxedScan &scan, std::size_t k, const Atoms &geometry,
                          const std::string &file, const std::string &rotor) {
  const std::vector<int> &z = scan.geometries[k].z;
  const bool reordered = hillFormula(z) == hillFormula(geometry.z);
  return atLine(scan.pointsFile, scan.lines[k]) + ": rotor " + rotor + ": a scan of " +
         hillFormula(z) + " (" + std::to_string(z.size()) + " atoms" +
         (reordered ? " in another order" : "") + "), not of " + hillFormula(geometry.z) + " of " +
         file + " (" + std::to_string(geometry.z.size()) +
         " atoms): give the scan of this molecule, its atoms in the order of " + file;
}

// The scan must be of this molecule, its atoms in the output's order.
void checkScanMolecule(const RelaxedScan &scan, const Atoms &geometry, const std::string &scanFile,
                       const std::string &file, const std::string &rotor,
                       std::vector<std::string> &warnings) {
  if (scan.geometries.empty())
    return;
  const Atoms &first = scan.geometries.front();
  for (std::size_t k = 0; k < scan.geometries.size(); ++k)
    if (scan.geometries[k].z != geometry.z)
      throw Error(otherMolecule(scan, k, geometry, file, rotor));
  const double rmsd = alignedRmsd(geometry.r, first.r);
  if (rmsd > SAME_GEOMETRY)
    warnings.push_back(scanFile + ": rotor " + rotor + ": its first point is " +
                       withDecimals(rmsd, 3) + " A (RMS) from the geometry of " + file +
                       "; the potential is counted from the first point all the same");
}

// A named dihedral must turn about the rotor's bond.
void checkScanDihedral(const RelaxedScan &scan, int p1, int p2, const std::string &scanFile,
                       const std::string &rotor) {
  if (!scan.dihedral)
    return;
  const auto &d = *scan.dihedral;
  if ((d[1] == p1 && d[2] == p2) || (d[1] == p2 && d[2] == p1))
    return;
  throw Error(scanFile + ": rotor " + rotor + ": the scan turns the dihedral " +
              std::to_string(d[0]) + "-" + std::to_string(d[1]) + "-" + std::to_string(d[2]) + "-" +
              std::to_string(d[3]) + " about the bond " + std::to_string(d[1]) + "-" +
              std::to_string(d[2]) + ", not about the rotor's bond " + std::to_string(p1) + "-" +
              std::to_string(p2) + ": give the scan of this torsion");
}

// A turn with a gap wider than LARGEST_GAP leaves the series unchecked there.
void checkCoverage(const std::vector<double> &degrees, const std::string &scanFile,
                   const std::string &rotor) {
  std::vector<double> turned;
  for (const double a : degrees) {
    double t = std::fmod(a, 360.0);
    turned.push_back(t < 0.0 ? t + 360.0 : t);
  }
  std::sort(turned.begin(), turned.end());
  double gap = turned.front() + 360.0 - turned.back();
  double from = turned.back();
  for (std::size_t k = 1; k < turned.size(); ++k)
    if (turned[k] - turned[k - 1] > gap) {
      gap = turned[k] - turned[k - 1];
      from = turned[k - 1];
    }
  if (gap > LARGEST_GAP)
    throw Error(scanFile + ": rotor " + rotor + ": the scan leaves " + withDecimals(gap, 1) +
                " degrees of the turn without a point (from " + withDecimals(from, 1) + " to " +
                withDecimals(std::fmod(from + gap, 360.0), 1) +
                " degrees past the first point); scan the full turn");
}

// The turn of each point of a scan that names no dihedral: the mean, over
// every dihedral a-p1-p2-d with a of the top bonded to p1 and d of the rest
// bonded to p2, of its change from the first point (degrees, circular mean).
// One dihedral alone follows its own hydrogen atom, which a relaxed methyl
// group lets lag behind or run ahead of the group.
std::vector<double> meanTurns(const RelaxedScan &scan, const Atoms &geometry,
                              const std::vector<int> &top, int p1, int p2) {
  const auto inTop = [&](int a) { return std::find(top.begin(), top.end(), a) != top.end(); };
  std::vector<std::array<int, 4>> dihedrals;
  const int atoms = static_cast<int>(geometry.z.size());
  for (int a = 1; a <= atoms; ++a)
    for (int d = 1; d <= atoms; ++d)
      if (a != p1 && d != p2 && inTop(a) && !inTop(d) && bonded(geometry, a, p1) &&
          bonded(geometry, d, p2))
        dihedrals.push_back({a, p1, p2, d});
  if (dihedrals.empty())
    dihedrals.push_back(torsionAtoms(geometry, top, p1, p2));
  std::vector<std::vector<double>> each;
  each.reserve(dihedrals.size());
  for (const auto &d : dihedrals)
    each.push_back(scanAngles(scan, d));
  std::vector<double> turns;
  turns.reserve(scan.geometries.size());
  for (std::size_t k = 0; k < scan.geometries.size(); ++k) {
    double sine = 0.0, cosine = 0.0;
    for (const auto &angles : each) {
      const double change = (angles[k] - angles[0]) * DEGREE;
      sine += std::sin(change);
      cosine += std::cos(change);
    }
    turns.push_back(std::atan2(sine, cosine) / DEGREE);
  }
  return turns;
}

// No torsion has a barrier above MAX_ROTOR_BARRIER: a scan that seems to is
// in other units (kcal/mol or kJ/mol written where Hartree belong).
void checkScanUnits(const std::vector<double> &v, const RelaxedScan &scan,
                    const std::string &rotor) {
  const auto [low, high] = std::minmax_element(v.begin(), v.end());
  const double range = *high - *low; // kJ/mol
  if (!(range > MAX_ROTOR_BARRIER))
    return;
  const double hartree = range / HARTREE_KJMOL;
  throw Error(
      atLine(scan.pointsFile, scan.lines[static_cast<std::size_t>(high - v.begin())]) + ": rotor " +
      rotor + ": the scan's energies span " + withDecimals(hartree, 6) + " Hartree, a barrier of " +
      withDecimals(range, 1) + " kJ/mol; no torsion has one above " +
      withDecimals(MAX_ROTOR_BARRIER, 0) + " kJ/mol. Read as kcal/mol the same numbers would be " +
      withDecimals(hartree * KCAL_KJ, 2) + " kJ/mol, as kJ/mol " + withDecimals(hartree, 2) +
      " kJ/mol: give the energies in Hartree (a two-column scan holds angles in degrees and "
      "energies in Hartree)");
}

ScanFit fitScan(const RotorRequest &request, const Atoms &geometry, const std::vector<int> &top,
                const std::string &file, const RotorOutput &out) {
  const std::string scanFile = request.scan->string();
  const RelaxedScan scan = readRelaxedScan(*request.scan);
  out.filesRead.push_back(*request.scan);
  out.filesRead.insert(out.filesRead.end(), scan.filesBeside.begin(), scan.filesBeside.end());
  checkScanMolecule(scan, geometry, scanFile, file, request.text, out.warnings);
  checkScanDihedral(scan, request.pivot1, request.pivot2, scanFile, request.text);
  const std::size_t n = scan.energies.size();
  if (n < MIN_SCAN_POINTS)
    throw Error(scanFile + ": rotor " + request.text + ": " + std::to_string(n) +
                (n == 1 ? " point" : " points") +
                "; a rotor's potential needs a scan of at least 6 over the full turn (steps of "
                "10 to 30 degrees are usual)");
  const std::vector<double> angles =
      scan.dihedral || !scan.angles.empty()
          ? scanAngles(scan, scan.dihedral ? *scan.dihedral : std::array<int, 4>{})
          : meanTurns(scan, geometry, top, request.pivot1, request.pivot2);
  std::vector<double> degrees, phi, v;
  for (std::size_t k = 0; k < n; ++k) {
    if (!std::isfinite(angles[k]) || !std::isfinite(scan.energies[k]))
      throw Error(atLine(scan.pointsFile, scan.lines[k]) + ": rotor " + request.text +
                  ": an angle or energy that is not a number");
    degrees.push_back(angles[k] - angles[0]);
    phi.push_back(degrees.back() * DEGREE);
    v.push_back((scan.energies[k] - scan.energies[0]) * HARTREE_KJMOL);
    if (!std::isfinite(v.back())) // 1e308 Hartree: finite, but no energy of a molecule
      throw Error(atLine(scan.pointsFile, scan.lines[k]) + ": rotor " + request.text +
                  ": the energy " + numberText(scan.energies[k]) +
                  " Hartree is beyond any energy (its difference to the first point's is not "
                  "a number)");
  }
  checkCoverage(degrees, scanFile, request.text);
  checkScanUnits(v, scan, request.text);

  ScanFit result;
  result.points = n;
  result.kind = scan.kind;
  result.fit = fitFourier(phi, v);
  const FourierFit &fit = result.fit;
  if (!fit.reproduced)
    throw Error(atLine(scan.pointsFile, scan.lines[fit.worstPoint]) + ": rotor " + request.text +
                ": no Fourier series up to order " + std::to_string(fit.order) +
                " reproduces every point of the scan to 0.1 kJ/mol; that of order " +
                std::to_string(fit.order) + " misses this point (" +
                withDecimals(degrees[fit.worstPoint], 1) + " degrees from the first) by " +
                withDecimals(fit.largestMiss, 3) +
                " kJ/mol: look for a jump between conformers or a point that did not converge");

  // The lowest point below the first, and how many more there are.
  std::size_t lowest = 0, below = 0;
  for (std::size_t k = 1; k < n; ++k)
    if (v[k] < -BELOW_FIRST) {
      ++below;
      if (v[k] < v[lowest])
        lowest = k;
    }
  if (below > 0)
    out.warnings.push_back(
        atLine(scan.pointsFile, scan.lines[lowest]) + ": rotor " + request.text + ": point " +
        std::to_string(lowest + 1) + " (" + withDecimals(degrees[lowest], 1) +
        " degrees from the first) lies " + withDecimals(-v[lowest], 3) + " kJ/mol below the first" +
        (below > 1 ? " (and " + std::to_string(below - 1) + " more points lie below it)" : "") +
        ": the geometry of the frequencies is not the minimum of this torsion; the potential is "
        "counted from the first point all the same");
  // A scan shallower than RT at 298.15 K cannot tell its period within the
  // fit's tolerance (ethyl's six wells a turn, 0.1 kJ/mol deep): the
  // geometry's fragments decide it.
  const auto [low, high] = std::minmax_element(v.begin(), v.end());
  result.barrier = *high - *low;
  if (result.barrier >= SHALLOW_BARRIER)
    result.period = scanPeriodicity(phi, v, fit.terms);
  return result;
}

// The row of the frequency block whose mode the rotor replaces.
struct ModeChoice {
  int row = 0;
  std::string why;
};

// A row given by --rotor-mode must be one a rotor may replace (molecule/torsion.hpp).
void checkModeRow(int row, const std::vector<double> &rows, const std::string &where) {
  const RotorCheck check = modeRowFault(row, rows);
  std::string what;
  if (check.fault == RotorFault::MODE_BEYOND_ROWS)
    what = "beyond the " + std::to_string(rows.size()) + " rows of the frequency block";
  else if (check.ok())
    return;
  else if (row <= ZERO_ROWS)
    what = "one of the six zero rows of the translations and rotations";
  else if (check.wavenumber < 0.0)
    what = "the imaginary mode " + withDecimals(check.wavenumber, 1) + " cm-1";
  else if (check.wavenumber == 0.0)
    what = "a zero mode";
  else
    what = "the mode " + withDecimals(check.wavenumber, 3) + " cm-1, not above " +
           withDecimals(LOWEST_VIBRATION, 1) + " cm-1";
  throw Error(where + "--rotor-mode " + std::to_string(row) + ": row " + std::to_string(row) +
              " is " + what + "; give the row of a real vibration in the frequency block");
}

// The real vibration nearest the rotor's harmonic wavenumber that no other
// rotor replaces.
int nearestMode(double wavenumber, const std::vector<double> &rows, const std::vector<int> &taken) {
  int best = 0;
  for (int row = ZERO_ROWS + 1; row <= static_cast<int>(rows.size()); ++row) {
    const double f = rows[static_cast<std::size_t>(row - 1)];
    if (!isVibration(f) || std::find(taken.begin(), taken.end(), row) != taken.end())
      continue;
    if (best == 0 || std::fabs(f - wavenumber) <
                         std::fabs(rows[static_cast<std::size_t>(best - 1)] - wavenumber))
      best = row;
  }
  return best;
}

// The record's normal modes in the rows of the data file's frequency block
// (six zero rows, then the modes in the writer's order); empty when the
// output printed none.
std::vector<std::vector<Vec3>> modesByRow(const QcRecord &rec, const MolFileData &data) {
  if (rec.normalModes.empty() || rec.normalModes.size() != data.frequencies.size())
    return {};
  std::vector<std::vector<Vec3>> byRow(ZERO_ROWS);
  for (const std::size_t k : modeRowOrder(data.frequencies))
    byRow.push_back(rec.normalModes[k]);
  return byRow;
}

// "; harmonic wavenumber 284.2 cm-1" of the curvature at the minimum of the
// rotor's potential with its reduced moment; nothing for a free rotor.
std::string wavenumberText(const HinderedRotor &rotor) {
  const double wavenumber = harmonicWavenumber(rotor, CODATA_2018);
  return wavenumber > 0.0 ? "; harmonic wavenumber " + withDecimals(wavenumber, 1) + " cm-1" : "";
}

// One rotor and its title line.
class RotorBuilder {
public:
  RotorBuilder(const QcRecord &rec, const std::string &file, const RotorOutput &out,
               std::vector<double> rows)
      : geometry_{rec.atomicNumbers, rec.coords}, file_(file), out_(out), rows_(std::move(rows)),
        modes_(modesByRow(rec, out.data)) {}

  // Rows given by --rotor-mode are nobody else's.
  void reserve(const std::vector<RotorRequest> &requests) {
    for (const RotorRequest &r : requests)
      if (r.mode) {
        const std::string where = file_ + ": rotor " + r.text + ": ";
        checkModeRow(*r.mode, rows_, where);
        if (std::find(taken_.begin(), taken_.end(), *r.mode) != taken_.end())
          throw Error(where + "--rotor-mode " + std::to_string(*r.mode) +
                      ": another rotor replaces that mode already; each rotor replaces a "
                      "mode of its own");
        taken_.push_back(*r.mode);
      }
  }

  void add(const RotorRequest &request, int index) {
    const std::string where = file_ + ": rotor " + request.text + ": ";
    HinderedRotor rotor;
    rotor.pivot1 = request.pivot1;
    rotor.pivot2 = request.pivot2;
    int sigmaGeometry = 1;
    try {
      if (request.top.empty()) {
        rotor.top = rotorTop(geometry_, request.pivot1, request.pivot2);
      } else {
        checkRotorTop(geometry_, request.top, request.pivot1, request.pivot2);
        rotor.top = request.top;
        std::sort(rotor.top.begin(), rotor.top.end());
      }
      rotor.moment = reducedMoment(geometry_, rotor.top, rotor.pivot1, rotor.pivot2);
      sigmaGeometry = rotorSymmetry(geometry_, rotor.top, rotor.pivot1, rotor.pivot2);
    } catch (const Error &e) {
      throw Error(file_ + ": " + e.what());
    }
    if (!(rotor.moment > 0.0))
      throw Error(where + "the reduced moment of the top about the bond is 0; give a top with "
                          "atoms off the bond line");
    if (request.scan && request.barrier)
      throw Error(where + "both --rotor-scan and --rotor-barrier given; give one");

    std::optional<ScanFit> scan;
    if (request.scan)
      scan = fitScan(request, geometry_, rotor.top, file_, out_);

    // The symmetry number: the geometry's, or the scan's periodicity when it is a multiple of it.
    std::string sigmaText = "from the geometry";
    rotor.sigma = sigmaGeometry;
    if (request.symmetry && (*request.symmetry < 1 || *request.symmetry > MAX_ROTOR_SIGMA))
      throw Error(where + "--rotor-symmetry " + std::to_string(*request.symmetry) +
                  ": a torsion's symmetry number is 1 to " + std::to_string(MAX_ROTOR_SIGMA));
    if (request.barrier && !(*request.barrier >= 0.0 && *request.barrier <= MAX_ROTOR_BARRIER))
      throw Error(where + "--rotor-barrier " + numberText(*request.barrier) +
                  ": give the barrier V0 in kJ/mol, 0 to " + numberText(MAX_ROTOR_BARRIER) +
                  " (no torsion has a higher one)");
    if (request.symmetry) {
      rotor.sigma = *request.symmetry;
      sigmaText = "given";
    } else if (scan && scan->period > 0 && scan->period % sigmaGeometry == 0 &&
               scan->period != sigmaGeometry) {
      rotor.sigma = scan->period;
      sigmaText =
          "from the periodicity of the scan (geometry: " + std::to_string(sigmaGeometry) + ")";
    } else if (scan && scan->period == 0 && sigmaGeometry > 1) {
      sigmaText = "from the geometry's fragments (the scan's barrier " +
                  withDecimals(scan->barrier, 3) +
                  " kJ/mol is below RT at 298.15 K, too shallow "
                  "for its wells to tell the period)";
    } else if (scan && scan->period > 0 && scan->period % sigmaGeometry != 0) {
      out_.warnings.push_back(
          request.scan->string() + ": rotor " + request.text + ": the potential repeats " +
          std::to_string(scan->period) + (scan->period == 1 ? " time" : " times") +
          " a turn, not a multiple of the symmetry number " + std::to_string(sigmaGeometry) +
          " of the geometry; " + std::to_string(sigmaGeometry) +
          " written (check the scan, or give --rotor-symmetry N)");
    }

    std::string potentialText;
    if (scan) {
      rotor.fourier = scan->fit.terms;
      potentialText = "Fourier order " + std::to_string(scan->fit.order) + " fitted to " +
                      request.scan->string() + " (" + scan->kind + ", " +
                      std::to_string(scan->points) + " points, within " +
                      withDecimals(scan->fit.largestMiss, 3) + " kJ/mol)";
    } else if (request.barrier) {
      rotor.cosine = true;
      rotor.barrier = *request.barrier;
      potentialText = "cosine barrier " + withDecimals(rotor.barrier, 3) + " kJ/mol given";
    }

    const ModeChoice mode = chooseMode(request, rotor, where);
    rotor.mode = mode.row;
    const double frequency = rows_[static_cast<std::size_t>(mode.row - 1)];
    if (!scan && !request.barrier) {
      rotor.cosine = true;
      rotor.barrier = cosineBarrier(frequency, rotor.moment, rotor.sigma, CODATA_2018);
      potentialText = "cosine barrier " + withDecimals(rotor.barrier, 3) +
                      " kJ/mol whose curvature gives the frequency of mode " +
                      std::to_string(mode.row);
    }
    checkPeriod(rotor, request, where);
    warnFarWavenumber(rotor, frequency, where);
    out_.data.rotors.push_back(rotor);
    out_.data.title.push_back("Hindered rotor " + std::to_string(index) + " about " +
                              std::to_string(rotor.pivot1) + "-" + std::to_string(rotor.pivot2) +
                              ": replaces mode " + std::to_string(mode.row) + " (" +
                              withDecimals(frequency, 1) + " cm-1)" + mode.why + "; sigma " +
                              std::to_string(rotor.sigma) + " " + sigmaText + "; " + potentialText +
                              wavenumberText(rotor));
  }

private:
  // The potential repeats sigma times a turn (molecule/torsion.hpp), as the
  // data file's reader will require.
  static void checkPeriod(const HinderedRotor &rotor, const RotorRequest &request,
                          const std::string &where) {
    const RotorCheck c = rotorPotentialFault(rotor);
    if (c.fault != RotorFault::PERIOD)
      return;
    throw Error(
        where + "the potential of " +
        (request.scan ? request.scan->string() : std::string("the rotor")) + " (barrier " +
        withDecimals(c.barrier, 3) + " kJ/mol) does not repeat " + std::to_string(rotor.sigma) +
        " times a turn, as sigma " + std::to_string(rotor.sigma) + " would need (turned by 360/" +
        std::to_string(rotor.sigma) + " degrees it moves by up to " + withDecimals(c.mismatch, 3) +
        " kJ/mol), so Q/sigma would count too few states: check the scan, or give "
        "--rotor-symmetry N with the number of its equal wells");
  }

  // The rotor's harmonic wavenumber more than a factor of 3 from the mode it
  // replaces: a scan in the wrong units, or a potential or top of another torsion.
  void warnFarWavenumber(const HinderedRotor &rotor, double frequency,
                         const std::string &where) const {
    // A nearly free rotor (its barrier below RT at 298.15 K) has a harmonic
    // wavenumber that means little: its curvature is that of a shallow ripple.
    const FourierTerms terms = rotorTerms(rotor);
    if (potentialMaximum(terms) - potentialMinimum(terms).v < SHALLOW_BARRIER)
      return;
    const double wavenumber = harmonicWavenumber(rotor, CODATA_2018);
    if (!(wavenumber > 0.0) || !(frequency > 0.0))
      return;
    const double ratio = wavenumber / frequency;
    if (ratio <= WAVENUMBER_FACTOR && ratio >= 1.0 / WAVENUMBER_FACTOR)
      return;
    out_.warnings.push_back(where + "its harmonic wavenumber " + withDecimals(wavenumber, 1) +
                            " cm-1 (from the potential's curvature and the reduced moment " +
                            withDecimals(rotor.moment, 4) + " amu*A^2) is " +
                            withDecimals(ratio > 1.0 ? ratio : 1.0 / ratio, 1) + " times " +
                            (ratio > 1.0 ? "the " : "below the ") + withDecimals(frequency, 1) +
                            " cm-1 of the mode it replaces; check the scan's units, the bond and "
                            "the top, or give --rotor-mode N");
  }

  ModeChoice chooseMode(const RotorRequest &request, const HinderedRotor &rotor,
                        const std::string &where) {
    if (request.mode)
      return {*request.mode, ", given"};
    if (!modes_.empty())
      return mostTorsional(rotor, where);
    if (!request.scan && !request.barrier)
      throw Error(where + "no --rotor-scan or --rotor-barrier, and no normal modes in the output "
                          "to tell which vibration is the torsion: give --rotor-mode N, the row "
                          "of the torsion in the frequency block, whose frequency then sets a "
                          "cosine potential");
    // The mode's frequency is that of the geometry of the frequencies, the
    // scan's first point: no mode matches a rotor whose potential is not at a
    // minimum there. The rotor's own wavenumber is its minimum's.
    if (!(torsionCurvature(rotorTerms(rotor), 0.0) > 0.0))
      throw Error(where + "the potential's curvature at the first point of the scan is not "
                          "positive: the scan does not start at a minimum (the geometry of the "
                          "frequencies), so no harmonic frequency tells which mode the rotor "
                          "replaces: give --rotor-mode N, or scan from the optimised geometry");
    const int row = nearestMode(harmonicWavenumber(rotor, CODATA_2018), rows_, taken_);
    if (row == 0)
      throw Error(where + "no real vibration is left for the rotor to replace");
    taken_.push_back(row);
    return {row, ", the nearest to its harmonic wavenumber"};
  }

  // The real vibration not yet taken whose normal mode is most this torsion.
  ModeChoice mostTorsional(const HinderedRotor &rotor, const std::string &where) {
    int best = 0;
    double character = -1.0;
    for (int row = ZERO_ROWS + 1; row <= static_cast<int>(rows_.size()); ++row) {
      const auto k = static_cast<std::size_t>(row - 1);
      if (!isVibration(rows_[k]) || std::find(taken_.begin(), taken_.end(), row) != taken_.end())
        continue;
      const double c =
          torsionalCharacter(geometry_, rotor.top, rotor.pivot1, rotor.pivot2, modes_[k]);
      if (c > character) {
        character = c;
        best = row;
      }
    }
    if (best == 0)
      throw Error(where + "no real vibration is left for the rotor to replace");
    taken_.push_back(best);
    if (character < WEAK_TORSION)
      out_.warnings.push_back(where + "no normal mode is much of this torsion: the most, mode " +
                              std::to_string(best) + ", is " + withDecimals(100.0 * character, 0) +
                              " % torsion; check the bond and the top, or give --rotor-mode N");
    return {best,
            ", the mode of the largest torsional character (" + withDecimals(character, 2) + ")"};
  }

  const Atoms geometry_;
  const std::string &file_;
  const RotorOutput &out_;
  const std::vector<double> rows_;
  const std::vector<std::vector<Vec3>> modes_; // by row of the frequency block; empty: none read
  std::vector<int> taken_;
};

// A chiral molecule whose rotors turn it into a geometry with a mirror plane,
// a centre of inversion or an S2n axis reaches its mirror image on the way:
// the rotors' levels count both forms, so it is one optical isomer.
void countMirrorImageOnce(const QcRecord &rec, MolFileData &data) {
  const auto turn = mirrorImageTurn({rec.atomicNumbers, rec.coords}, data.rotors);
  if (!turn)
    return;
  data.opticalIsomers = 1;
  std::string which;
  for (std::size_t k = 0; k < turn->rotors.size(); ++k) {
    const HinderedRotor &r = data.rotors[turn->rotors[k]];
    which += std::string(k == 0 ? "" : " and ") + "hindered rotor " +
             std::to_string(turn->rotors[k] + 1) + " about " + std::to_string(r.pivot1) + "-" +
             std::to_string(r.pivot2) + " by " + withDecimals(turn->degrees[k], 0) + " degrees";
  }
  data.title.push_back("Optical isomers 1, not 2: the geometry is chiral, but turning " + which +
                       " reaches a " + turn->pointGroup +
                       " geometry, so the rotors' levels hold the mirror image already");
}

} // namespace

RotorRequest parseRotor(std::string_view text) {
  RotorRequest r;
  r.text = std::string(text.substr(0, SHORT_TEXT));
  const std::size_t colon = text.find(':');
  const std::vector<int> pivots = atomNumbers(text.substr(0, colon), text);
  if (pivots.size() != 2)
    throw Error(rotorBadly(text));
  r.pivot1 = pivots[0];
  r.pivot2 = pivots[1];
  if (colon != std::string_view::npos)
    r.top = atomNumbers(text.substr(colon + 1), text);
  return r;
}

void addRotors(const QcRecord &rec, const std::vector<RotorRequest> &requests,
               const std::string &file, const RotorOutput &out) {
  if (requests.empty())
    return;
  if (requests.size() > static_cast<std::size_t>(MAX_ROTORS))
    throw Error(file + ": " + std::to_string(requests.size()) + " rotors, more than the " +
                std::to_string(MAX_ROTORS) + " a molecule data file holds");
  for (std::size_t k = 0; k < requests.size(); ++k)
    for (std::size_t j = 0; j < k; ++j)
      if (std::minmax(requests[j].pivot1, requests[j].pivot2) ==
          std::minmax(requests[k].pivot1, requests[k].pivot2))
        throw Error(file + ": --rotor " + inQuotes(requests[j].text) + " and --rotor " +
                    inQuotes(requests[k].text) + " turn about the same bond " +
                    std::to_string(requests[k].pivot1) + "-" + std::to_string(requests[k].pivot2) +
                    "; one torsion is one rotor: give it once");
  std::vector<double> rows, intensities;
  frequencyRows(out.data, rows, intensities);
  RotorBuilder builder(rec, file, out, std::move(rows));
  builder.reserve(requests);
  for (std::size_t k = 0; k < requests.size(); ++k)
    builder.add(requests[k], static_cast<int>(k + 1));
  if (out.data.opticalIsomers > 1)
    countMirrorImageOnce(rec, out.data);
}

} // namespace orvalen::qc
