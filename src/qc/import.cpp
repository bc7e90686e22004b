#include "qc/import.hpp"

#include "base/error.hpp"
#include "base/warnings.hpp"
#include "molecule/elements.hpp"
#include "molecule/molecule.hpp"
#include "orvalen_version.hpp"
#include "qc/electronic_levels.hpp"
#include "qc/electronic_state.hpp"
#include "qc/geometry_names.hpp"
#include "qc/readers.hpp"

#include <algorithm>
#include <cmath>
#include <map>

namespace orvalen::qc {

namespace {

// Two geometries of the same molecule from different programs agree to a few
// 1e-4 A; more than this is another geometry.
constexpr double SAME_GEOMETRY_RMSD = 0.01; // A
// Nuclei closer than this are a typing or reading error, not a molecule.
constexpr double CLOSEST_NUCLEI = 0.1; // A

std::string plural(std::size_t n, const std::string &word) {
  if (n == 1)
    return "1 " + word;
  if (word.back() == 'y')
    return std::to_string(n) + " " + word.substr(0, word.size() - 1) + "ies";
  return std::to_string(n) + " " + word + "s";
}

// An optimisation that stopped short of a symmetric geometry, or a molecule
// that truly lacks the symmetry: the strict group is written, the user decides.
std::string nearSymmetryWarning(const std::string &file, const Symmetry &sym) {
  const NearSymmetry &near = *sym.near;
  std::string text = file + ": the geometry is " + sym.pointGroup + " within " +
                     withDecimals(SYMMETRY_TOLERANCE, 2) + " A and " + near.pointGroup +
                     " (rotation number " + std::to_string(near.rotationNumber) + ") within " +
                     withDecimals(near.displacement, 3) + " A; " + sym.pointGroup +
                     " and rotation number " + std::to_string(sym.rotationNumber) + " written";
  if (near.rotationNumber != sym.rotationNumber)
    text +=
        " (give --rotnum " + std::to_string(near.rotationNumber) + " for " + near.pointGroup + ")";
  return text;
}

std::size_t vibrationCount(const QcRecord &rec) {
  const std::size_t atoms = rec.atomicNumbers.size();
  return atoms <= 1 ? 0 : 3 * atoms - (isLinearGeometry(rec.coords) ? 5 : 6);
}

// The checks that refuse a geometry: what it holds would give a wrong file.
void checkGeometry(const QcRecord &rec, const std::string &file) {
  const std::size_t atoms = rec.atomicNumbers.size();
  if (atoms == 0 || rec.coords.size() != atoms)
    throw Error(file + ": no geometry found");
  if (atoms > static_cast<std::size_t>(MAX_ATOMS))
    throw Error(file + ": " + plural(atoms, "atom") + ", more than the " +
                std::to_string(MAX_ATOMS) + " a molecule data file holds");
  for (std::size_t a = 0; a < atoms; ++a) {
    const int z = rec.atomicNumbers[a];
    if (z < 1 || z > MAX_ELEMENT)
      throw Error(file + ": atom " + std::to_string(a + 1) + " has atomic number " +
                  std::to_string(z) + ", outside the elements H to Rn whose masses are known");
    for (const double x : rec.coords[a])
      if (!std::isfinite(x))
        throw Error(file + ": atom " + std::to_string(a + 1) +
                    " has a coordinate that is not a "
                    "number");
  }
  for (std::size_t a = 0; a < atoms; ++a)
    for (std::size_t b = a + 1; b < atoms; ++b) {
      const auto &p = rec.coords[a], &q = rec.coords[b];
      const double d = std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]);
      if (d < CLOSEST_NUCLEI)
        throw Error(file + ": atoms " + std::to_string(a + 1) + " and " + std::to_string(b + 1) +
                    " are " + withDecimals(d, 3) + " A apart");
    }
}

// The checks that refuse the frequencies of a record.
void checkRecord(const QcRecord &rec, const std::string &file) {
  checkGeometry(rec, file);
  const std::size_t atoms = rec.atomicNumbers.size();

  const bool linear = isLinearGeometry(rec.coords);
  const std::size_t expected = vibrationCount(rec);
  if (rec.frequencies.empty() && expected > 0)
    throw Error(file + ": no frequencies (a molecule data file needs a frequency calculation "
                       "at the geometry)");
  if (rec.frequencies.size() != expected)
    throw Error(file + ": " + plural(rec.frequencies.size(), "vibrational frequency") + " for " +
                plural(atoms, "atom") + "; a " + (linear ? "linear" : "non-linear") +
                " molecule has " + std::to_string(expected) +
                " (translations and rotations not counted)");
  if (rec.frequencies.size() + 6 > static_cast<std::size_t>(MAX_FREQ))
    throw Error(file + ": " + plural(rec.frequencies.size(), "frequency") +
                " and the six rows of translations and rotations are more than the " +
                std::to_string(MAX_FREQ) + " a molecule data file holds");
  for (const double f : rec.frequencies)
    if (!std::isfinite(f))
      throw Error(file + ": a frequency that is not a number");
}

// The electronic energy and where it came from; warns when the energy file's
// geometry is not the one the frequencies belong to, refuses it when it is of
// another electronic state.
std::optional<double> energyOf(const QcRecord &rec, const ImportOptions &options,
                               const QcRecord *energyRecord, const std::string &file,
                               const ElectronicState &state, Imported &out,
                               std::string &titleLine) {
  if (energyRecord) {
    const std::string efile = options.energyFile ? options.energyFile->string() : "energy file";
    if (!std::isfinite(energyRecord->energy))
      throw Error(efile + ": no electronic energy found");
    if (!energyRecord->atomicNumbers.empty()) {
      if (hillFormula(energyRecord->atomicNumbers) != hillFormula(rec.atomicNumbers))
        throw Error(efile + ": holds " + hillFormula(energyRecord->atomicNumbers) + ", not " +
                    hillFormula(rec.atomicNumbers) + " of " + file);
      double rmsd = distanceRmsd(rec.coords, energyRecord->coords);
      if (energyRecord->atomicNumbers == rec.atomicNumbers)
        rmsd = std::max(rmsd, alignedRmsd(rec.coords, energyRecord->coords));
      if (rmsd > SAME_GEOMETRY_RMSD)
        out.warnings.push_back(efile + ": its geometry differs from the one the frequencies of " +
                               file + " were computed at (RMSD " + withDecimals(rmsd, 3) +
                               " A); its energy is taken all the same");
    } else {
      out.warnings.push_back(efile +
                             ": no geometry found, so it could not be compared with the "
                             "one of " +
                             file + "; its energy is taken all the same");
    }
    checkSameState(efile, *energyRecord, file, state);
    titleLine = "Energy" +
                (energyRecord->energyLevel.empty() ? "" : " (" + energyRecord->energyLevel + ")") +
                " from " + efile;
    return energyRecord->energy;
  }
  if (options.energyValue) {
    titleLine = "Energy given on the command line";
    return options.energyValue;
  }
  if (std::isfinite(rec.energy)) {
    titleLine = "Energy" + (rec.energyLevel.empty() ? "" : " (" + rec.energyLevel + ")") +
                " from the same calculation";
    return rec.energy;
  }
  titleLine = "No electronic energy: give ETOT on the job line";
  out.warnings.push_back(file + ": no electronic energy; the data file has no \"Base Energy\" "
                                "line (give --energy-value, or ETOT on the job line)");
  return std::nullopt;
}

void imaginaryWarnings(const std::vector<double> &frequencies, const QcRecord &rec,
                       const std::string &file, Imported &out) {
  std::vector<double> imaginary;
  for (const double f : frequencies)
    if (f < 0.0)
      imaginary.push_back(f);
  std::sort(imaginary.begin(), imaginary.end());
  std::string list;
  for (const double f : imaginary)
    list += (list.empty() ? "" : ", ") + withDecimals(f, 1);
  if (imaginary.size() > 1)
    out.warnings.push_back(file + ": " + std::to_string(imaginary.size()) +
                           " imaginary frequencies (" + list +
                           " cm-1): a saddle point of higher order, not a transition state; "
                           "row 7 holds the first");
  else if (imaginary.size() == 1 && rec.optimisation && !rec.saddleSearch)
    out.warnings.push_back(file + ": imaginary frequency " + list +
                           " cm-1 after an optimisation to a minimum: the geometry is not a "
                           "minimum");
  if (rec.saddleSearch && imaginary.empty())
    out.warnings.push_back(file + ": a saddle-point search whose frequencies have no imaginary "
                                  "mode: the geometry is not a transition state");
}

// A mode below 1 cm-1 is a zero (a translation or rotation left over, or
// numerical noise) whatever its sign: written negative it would count as an
// imaginary frequency and, sorted to row 7 of a transition state, be taken by
// the tunnelling coefficients for the reaction mode. It is written as a real
// mode (the thermochemistry leaves out modes at or below 0.1 cm-1).
void realZeroModes(std::vector<double> &frequencies, const std::string &file, Imported &out) {
  for (double &f : frequencies)
    if (f < 0.0 && f > -1.0) {
      out.warnings.push_back(file + ": frequency " + numberText(f) +
                             " cm-1 is below 1 cm-1 in magnitude, a zero mode whose sign means "
                             "nothing; written as the real mode " +
                             numberText(-f) + " cm-1, not as an imaginary one");
      f = -f;
    }
}

// M = 2S+1 needs M - 1 unpaired electrons: water (10 electrons) has no
// multiplicity above 11, its dication (8) none above 9.
void checkUnpairedElectrons(const std::string &file, const std::vector<int> &atomicNumbers,
                            const ElectronicState &state, const std::string &said) {
  const long electrons = electronCount(atomicNumbers, state.charge);
  if (electrons < 0 || state.multiplicity - 1 <= electrons)
    return;
  const auto count = [](long n, const char *what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
  };
  throw Error(file + ": spin multiplicity " + std::to_string(state.multiplicity) + " (" + said +
              ") needs " + count(state.multiplicity - 1, "unpaired electron") + ", more than the " +
              count(electrons, "electron") + " of " + hillFormula(atomicNumbers) + " with charge " +
              std::to_string(state.charge) + "; check the multiplicity and the charge");
}

// The charge and multiplicity written: --mult over the output's; the charge
// the output's, or --charge of data from a paper (0 when not given); a
// multiplicity the electrons cannot have is refused.
ElectronicState chooseState(const QcRecord &rec, const ImportOptions &options, Source source,
                            const std::string &file, Imported &out) {
  ElectronicState state;
  if (source == Source::UserData) {
    state.charge = options.charge.value_or(0);
  } else if (rec.charge) {
    state.charge = *rec.charge;
  } else {
    out.warnings.push_back(file + ": the output states no charge; 0 written");
  }
  const long electrons = electronCount(rec.atomicNumbers, state.charge);
  std::string said;
  if (options.multiplicity) {
    state.multiplicity = *options.multiplicity;
    state.multiplicityGiven = true;
    said = "--mult " + std::to_string(state.multiplicity);
  } else if (rec.multiplicity > 0) {
    state.multiplicity = rec.multiplicity;
    said = "the output's";
  } else {
    // The lowest spin: a doublet for an odd number of electrons, a singlet otherwise.
    state.multiplicity = lowestMultiplicity(electrons);
    said = "the lowest";
    out.warnings.push_back(
        file + ": no spin multiplicity given; " + std::to_string(state.multiplicity) +
        " written, the lowest for " + std::to_string(electrons) + " electrons of the " +
        (state.charge == 0 ? "neutral molecule" : "ion of charge " + std::to_string(state.charge)) +
        " (give --mult M)");
  }
  checkSpinParity(file, rec.atomicNumbers, state.charge, state.multiplicity, said);
  checkUnpairedElectrons(file, rec.atomicNumbers, state, said);
  if (options.multiplicity && rec.multiplicity > 0 && rec.multiplicity != *options.multiplicity)
    out.warnings.push_back(file + ": --mult " + std::to_string(*options.multiplicity) +
                           " differs from the spin multiplicity " +
                           std::to_string(rec.multiplicity) + " the calculation states; " +
                           std::to_string(*options.multiplicity) +
                           " written, though the energy and frequencies are those of the " +
                           std::to_string(rec.multiplicity) + " state");
  return state;
}

// The method of the energy written: --energy-method, else the one the output
// of the energy states (none for a value typed in).
std::string energyMethodOf(const QcRecord &rec, const ImportOptions &options,
                           const QcRecord *energyRecord) {
  if (options.energyMethod)
    return *options.energyMethod;
  if (energyRecord)
    return energyRecord->energyMethod;
  if (options.energyValue || !std::isfinite(rec.energy))
    return {};
  return rec.energyMethod;
}

// Electronic levels: given, none, or the table's for a neutral species in its
// ground term's multiplicity. Returns the title line that says which.
std::string chooseLevels(const ImportOptions &options, const ElectronicState &state,
                         const std::string &file, Imported &out) {
  MolFileData &d = out.data;
  if (options.noLevels)
    return {};
  if (options.levels) {
    d.levels = *options.levels;
    d.levelsSource = "given";
    return "Electronic levels given on the command line (--levels)";
  }
  const LevelTableEntry *entry = state.charge == 0 ? tableLevels(d.stoichiometry) : nullptr;
  if (!entry)
    return {};
  const std::string what =
      std::string(entry->term) +
      (d.atomicNumbers.size() == 1 ? " ground term of " : " ground state of ") + d.stoichiometry;
  if (entry->multiplicity != state.multiplicity) {
    out.warnings.push_back(file + ": spin multiplicity " + std::to_string(state.multiplicity) +
                           " is not the " + std::to_string(entry->multiplicity) + " of the " +
                           what +
                           ", whose spin-orbit levels the table holds; no electronic "
                           "levels written (give --levels for this state's)");
    return {};
  }
  d.levels = entry->levels();
  d.levelsSource = "table";
  return "Electronic levels: spin-orbit components of the " + what + " (" +
         std::string(entry->source) + ")";
}

// The geometry in the principal axes of the most abundant isotopes, its
// moments, mass and formula.
void placeGeometry(const QcRecord &rec, MolFileData &d) {
  const std::vector<double> masses = isotopeMasses(rec.atomicNumbers);
  const PrincipalAxes frame = principalAxes(rec.coords, masses);
  std::vector<Vec3> principal = toPrincipalFrame(rec.coords, masses, frame);
  const bool linear = rec.coords.size() > 1 && isLinearGeometry(rec.coords);
  if (linear) {
    // The reader calls a molecule linear when its first two moments are
    // equal and the third is zero: the molecular axis goes last, as z.
    const double moment = 0.5 * (frame.moments[1] + frame.moments[2]);
    d.pmoi = {moment, moment, 0.0};
    for (auto &p : principal)
      p = {p[1], p[2], p[0]};
  } else {
    d.pmoi = frame.moments;
  }
  for (const double m : masses)
    d.mass += m;
  // No "-0.000000" for a coordinate that is zero up to rounding.
  for (auto &p : principal)
    for (double &x : p)
      if (std::fabs(x) < 5.0e-7)
        x = 0.0;
  d.atomicNumbers = rec.atomicNumbers;
  d.coords = principal;
  d.stoichiometry = hillFormula(rec.atomicNumbers);
}

// What the output itself says about its values: imaginary modes, an
// optimisation that did not converge, the reader's own warnings, missing IR
// intensities. Values typed in (--xyz) get only the imaginary-mode check.
void recordWarnings(const QcRecord &rec, Source source, const std::string &file, Imported &out) {
  const MolFileData &d = out.data;
  if (source != Source::Output) {
    if (imaginaryCount(d) > 1)
      imaginaryWarnings(d.frequencies, rec, file, out);
    return;
  }
  imaginaryWarnings(d.frequencies, rec, file, out);
  if (rec.optimisation && !rec.optimisationConverged)
    out.warnings.push_back(file + ": the geometry optimisation did not converge; the "
                                  "frequencies are those of its last geometry");
  for (const auto &w : rec.warnings)
    out.warnings.emplace_back(file + ": ").append(w);
  // A reader may already have said why its program printed none.
  const bool said = std::any_of(rec.warnings.begin(), rec.warnings.end(), [](const auto &w) {
    return w.find("IR intensities") != std::string::npos;
  });
  if (!rec.hasIntensities && !rec.frequencies.empty() && !said)
    out.warnings.push_back(file + ": no IR intensities printed; written as 0");
}

// The title lines: where the data came from, the energy, the program that
// wrote the file with the point group, and the electronic levels.
void titleLines(const QcRecord &rec, const ImportOptions &options, Source source,
                const std::string &file, const std::string &energyLine,
                const std::string &levelsLine, MolFileData &d) {
  const std::string program = rec.program.empty()
                                  ? std::string()
                                  : rec.program + (rec.version.empty() ? "" : " " + rec.version);
  if (source == Source::Output)
    d.title.push_back(d.stoichiometry + " from " + (program.empty() ? "the" : program) +
                      " output " + file);
  else
    d.title.push_back(d.stoichiometry + " from " + file);
  d.title.push_back(energyLine);
  d.title.push_back("Written by orvalen-import " + std::string(VERSION) + "; point group " +
                    d.symmetryGroup + ", rotation number " + std::to_string(d.rotationNumber) +
                    (options.rotationNumber ? " (given)" : " from the geometry"));
  if (!levelsLine.empty())
    d.title.push_back(levelsLine);
}

} // namespace

Imported importRecord(const QcRecord &rec, const ImportOptions &options,
                      const QcRecord *energyRecord, Source source) {
  const std::string file = rec.sourceFile.empty() ? std::string("output") : rec.sourceFile;
  checkRecord(rec, file);
  Imported out;
  MolFileData &d = out.data;
  placeGeometry(rec, d);

  const Symmetry sym = findSymmetry(rec.atomicNumbers, rec.coords);
  d.symmetryGroup = sym.pointGroup;
  d.rotationNumber = options.rotationNumber ? *options.rotationNumber : sym.rotationNumber;
  if (sym.near && !options.rotationNumber)
    out.warnings.push_back(nearSymmetryWarning(file, sym));

  const ElectronicState state = chooseState(rec, options, source, file, out);
  d.charge = state.charge;
  d.multiplicity = state.multiplicity;

  d.frequencies = rec.frequencies;
  d.intensities = rec.intensities;
  d.intensities.resize(d.frequencies.size(), 0.0);
  realZeroModes(d.frequencies, file, out);

  std::string energyLine;
  d.energy = energyOf(rec, options, energyRecord, file, state, out, energyLine);
  if (d.energy)
    d.energyMethod = energyMethodOf(rec, options, energyRecord);
  // The molecule and its mirror image are two forms of the same energy.
  d.opticalIsomers = sym.chiral ? 2 : 1;
  const std::string levelsLine = chooseLevels(options, state, file, out);

  recordWarnings(rec, source, file, out);
  titleLines(rec, options, source, file, energyLine, levelsLine, d);
  addRotors(rec, options.rotors, file, {d, out.warnings, out.filesBeside});
  return out;
}

Imported importOutput(const std::filesystem::path &output, const ImportOptions &options) {
  const QcRecord rec = readOutput(output);
  std::optional<QcRecord> energyRecord;
  if (options.energyFile)
    energyRecord = readOutput(*options.energyFile);
  Imported imp = importRecord(rec, options, energyRecord ? &*energyRecord : nullptr);
  imp.filesBeside.insert(imp.filesBeside.end(), rec.filesBeside.begin(), rec.filesBeside.end());
  if (energyRecord)
    imp.filesBeside.insert(imp.filesBeside.end(), energyRecord->filesBeside.begin(),
                           energyRecord->filesBeside.end());
  return imp;
}

Imported importUserData(const std::filesystem::path &xyz, const std::filesystem::path &freqs,
                        const ImportOptions &options) {
  const QcRecord rec = readXyzAndFrequencies(xyz, freqs);
  checkGeometry(rec, xyz.string());
  // A list that does not fit the geometry is the list's fault.
  if (const std::size_t expected = vibrationCount(rec); rec.frequencies.size() != expected)
    throw Error(freqs.string() + ": " + std::to_string(rec.frequencies.size()) +
                " frequencies, but the " + plural(rec.atomicNumbers.size(), "atom") + " of " +
                xyz.string() + " make a " +
                (isLinearGeometry(rec.coords) ? "linear" : "non-linear") + " molecule with " +
                std::to_string(expected) + " vibrations (translations and rotations not listed)");
  std::optional<QcRecord> energyRecord;
  if (options.energyFile)
    energyRecord = readOutput(*options.energyFile);
  Imported imp =
      importRecord(rec, options, energyRecord ? &*energyRecord : nullptr, Source::UserData);
  imp.data.title.front() += " and " + freqs.string() + ", charge " +
                            std::to_string(imp.data.charge) +
                            (options.charge ? " (given)" : " (no --charge given)");
  if (energyRecord)
    imp.filesBeside.insert(imp.filesBeside.end(), energyRecord->filesBeside.begin(),
                           energyRecord->filesBeside.end());
  return imp;
}

} // namespace orvalen::qc
