#include "molecule/mol_file_writer.hpp"

#include "base/error.hpp"
#include "fixedio/format.hpp"
#include "molecule/molecule.hpp"
#include "molecule/torsion.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string_view>

namespace orvalen {

namespace {

// The reader finds its markers anywhere in a line, so free text must not
// hold one; every marker has a blank, which becomes an underscore.
constexpr std::string_view MARKERS[] = {"Ia,Ib,Ic, amu*A^2",
                                        "Molecular coordinates in principal axes (A)",
                                        "Rotation number set to  :",
                                        "Molecular mass          :",
                                        "Symmetry group          :",
                                        "Stoichiometry           :",
                                        "Num. of imaginary freqs :",
                                        "Charge of molecule      :",
                                        "Spin multiplicity of molecule =",
                                        "Base Energy :",
                                        "No. Frequency Intensity",
                                        "Energy method           :",
                                        "Electronic levels (cm-1)",
                                        "Electronic levels from  :",
                                        "Optical isomers         :",
                                        "Hindered rotors (amu*A^2, kJ/mol)",
                                        "Conformers (Hartree, amu*A^2, cm-1)"};

// The text of a colon marker is read from column 27 to column 255.
constexpr std::size_t MARKER_TEXT_LEN = 229;

std::string withoutMarkers(std::string line) {
  for (bool found = true; found;) {
    found = false;
    for (const auto marker : MARKERS)
      if (const auto at = line.find(marker); at != std::string::npos) {
        line[at + marker.find(' ')] = '_';
        found = true;
      }
  }
  return line;
}

// A value must fit the columns the reader takes it from, else the field
// editor writes asterisks and the file no longer reads.
void checkFits(double value, double low, double high, const std::string &what) {
  if (!(value > low && value < high))
    throw Error(what + " " + fixedio::editE(value, 12, 5, 1) + " does not fit its columns of the " +
                "molecule data file");
}

// Levels the reader would refuse are refused here: the file must read back.
void checkLevels(const std::vector<ElectronicLevel> &levels) {
  if (levels.size() > static_cast<std::size_t>(MAX_LEVELS))
    throw Error("molecule data: " + std::to_string(levels.size()) +
                " electronic levels, more than the " + std::to_string(MAX_LEVELS) +
                " a molecule data file holds");
  for (std::size_t k = 0; k < levels.size(); ++k) {
    const ElectronicLevel &level = levels[k];
    checkFits(level.energy, -999999.99995, 9999999.99995, "electronic level (cm-1)");
    if (k == 0 && level.energy != 0.0)
      throw Error("molecule data: the first electronic level is at " +
                  fixedio::editE(level.energy, 12, 5, 1) + " cm-1, not at 0");
    if (k > 0 && level.energy < levels[k - 1].energy)
      throw Error("molecule data: electronic level " + std::to_string(k + 1) + " is below level " +
                  std::to_string(k) + ": levels go in ascending order");
    if (level.degeneracy < 1 || level.degeneracy > 999999999)
      throw Error("molecule data: electronic level " + std::to_string(k + 1) + " has degeneracy " +
                  std::to_string(level.degeneracy) + ", not between 1 and 999999999");
  }
}

// "molecule data: hindered rotor K: " of the messages below.
std::string rotorText(std::size_t k) {
  return "molecule data: hindered rotor " + std::to_string(k + 1) + ": ";
}

// A rule of molecule/torsion.hpp the rotor breaks, as the writer says it.
std::string rotorFaultText(const RotorCheck &check, const HinderedRotor &rotor, std::size_t atoms) {
  std::string pivots = "pivots " + std::to_string(rotor.pivot1) + " and " +
                       std::to_string(rotor.pivot2) + " are not two atoms of the " +
                       std::to_string(atoms) + " in the coordinates block";
  std::string topAtom =
      "top atom " + std::to_string(check.atom) + " is not in the coordinates block, or named twice";
  switch (check.fault) {
  case RotorFault::MODE_BELOW_ONE:
  case RotorFault::MODE_BEYOND_ROWS:
  case RotorFault::MODE_NOT_VIBRATION:
    return "row " + std::to_string(rotor.mode) +
           " of the frequency block is not a real vibration for it to replace";
  case RotorFault::MODE_TAKEN:
    return "replaces mode " + std::to_string(rotor.mode) + ", as hindered rotor " +
           std::to_string(check.other + 1) + " does";
  case RotorFault::PIVOTS:
    return pivots;
  case RotorFault::ATOM_BEYOND:
    return check.atom == rotor.pivot1 || check.atom == rotor.pivot2 ? pivots : topAtom;
  case RotorFault::TOP_TWICE:
    return topAtom;
  case RotorFault::TOP_EMPTY:
  case RotorFault::TOP_WITHOUT_PIVOT:
  case RotorFault::TOP_WITH_OTHER_PIVOT:
    return "the top holds the other pivot, or not its own pivot " + std::to_string(rotor.pivot1);
  case RotorFault::BOND_TAKEN:
    return "turns about the bond " + std::to_string(rotor.pivot1) + "-" +
           std::to_string(rotor.pivot2) + ", as hindered rotor " + std::to_string(check.other + 1) +
           " does; one rotor per torsion";
  case RotorFault::SIGMA:
    return "symmetry number " + std::to_string(rotor.sigma) + " is not between 1 and " +
           std::to_string(MAX_ROTOR_SIGMA);
  case RotorFault::MOMENT:
    return "reduced moment (amu*A^2) " + fixedio::editE(rotor.moment, 12, 5, 1) +
           " is not above 0 and at most " + fixedio::editE(MAX_ROTOR_MOMENT, 12, 5, 1);
  case RotorFault::BARRIER:
    return "cosine barrier (kJ/mol) " + fixedio::editE(rotor.barrier, 12, 5, 1) + " is below 0";
  case RotorFault::TERMS:
    return std::to_string(rotor.fourier.size()) + " Fourier terms, not between 1 and " +
           std::to_string(MAX_ROTOR_TERMS);
  case RotorFault::BARRIER_HIGH:
    return "barrier (kJ/mol) " + fixedio::editE(check.barrier, 12, 5, 1) + " is above " +
           fixedio::editE(MAX_ROTOR_BARRIER, 12, 5, 1);
  case RotorFault::PERIOD:
    return "the potential (barrier " + fixedio::editE(check.barrier, 12, 5, 1) +
           " kJ/mol) does not repeat " + std::to_string(rotor.sigma) +
           " times a turn: turned by 2 pi/sigma it moves by up to " +
           fixedio::editE(check.mismatch, 12, 5, 1) + " kJ/mol";
  case RotorFault::NONE:
    break;
  }
  return "";
}

// Rotors the reader would refuse are refused here: the file must read back.
void checkRotors(const MolFileData &data, const std::vector<double> &rows) {
  if (data.rotors.size() > static_cast<std::size_t>(MAX_ROTORS))
    throw Error("molecule data: " + std::to_string(data.rotors.size()) +
                " hindered rotors, more than the " + std::to_string(MAX_ROTORS) +
                " a molecule data file holds");
  for (std::size_t k = 0; k < data.rotors.size(); ++k) {
    const HinderedRotor &rotor = data.rotors[k];
    if (const RotorCheck check = rotorFault(data.rotors, k, rows, data.atomicNumbers.size());
        !check.ok())
      throw Error(rotorText(k) + rotorFaultText(check, rotor, data.atomicNumbers.size()));
    // What the rules allow must also fit the columns.
    if (rotor.sigma > 999999)
      throw Error(rotorText(k) + "symmetry number " + std::to_string(rotor.sigma) +
                  " is not between 1 and 999999");
    checkFits(rotor.moment, 0.0, 9999999.9999995, "reduced moment (amu*A^2)");
    if (rotor.cosine) {
      checkFits(rotor.barrier, -0.0000005, 99999999.9999995, "cosine barrier (kJ/mol)");
    } else {
      for (const auto &term : rotor.fourier)
        for (const double c : term)
          checkFits(c, -99999.999999995, 999999.999999995, "Fourier coefficient (kJ/mol)");
    }
  }
}

// One line per rotor, then its top atoms, 20 a line, and its Fourier terms,
// three a line, each with its k.
void writeRotors(fixedio::Writer &w, const std::vector<HinderedRotor> &rotors) {
  constexpr std::size_t ATOMS_PER_LINE = 20, TERMS_PER_LINE = 3;
  w.write("(/' Hindered rotors (amu*A^2, kJ/mol)')");
  w.write("(' Rotor  Mode Pivot1 Pivot2 Sigma        Moment Kind       V0 or terms')");
  w.write("(' --------------------------------------------------------------------')");
  for (std::size_t k = 0; k < rotors.size(); ++k) {
    const HinderedRotor &r = rotors[k];
    if (r.cosine)
      w.write("(i6,i6,2i7,i6,f14.6,1x,a7,f15.6)", static_cast<int>(k + 1), r.mode, r.pivot1,
              r.pivot2, r.sigma, r.moment, "cosine ", r.barrier);
    else
      w.write("(i6,i6,2i7,i6,f14.6,1x,a7,i15)", static_cast<int>(k + 1), r.mode, r.pivot1, r.pivot2,
              r.sigma, r.moment, "Fourier", static_cast<int>(r.fourier.size()));
    for (std::size_t from = 0; from < r.top.size(); from += ATOMS_PER_LINE) {
      std::vector<fixedio::Value> atoms;
      for (std::size_t i = from; i < std::min(r.top.size(), from + ATOMS_PER_LINE); ++i)
        atoms.emplace_back(r.top[i]);
      w.writeValues("('   top',20i5)", atoms);
    }
    if (r.cosine)
      continue;
    for (std::size_t from = 0; from < r.fourier.size(); from += TERMS_PER_LINE) {
      std::vector<fixedio::Value> terms;
      for (std::size_t i = from; i < std::min(r.fourier.size(), from + TERMS_PER_LINE); ++i) {
        terms.emplace_back(static_cast<int>(i));
        terms.emplace_back(r.fourier[i][0]);
        terms.emplace_back(r.fourier[i][1]);
      }
      w.writeValues("(' terms',3(i4,2f15.8))", terms);
    }
  }
  w.write("(' --------------------------------------------------------------------')");
}

// Conformers the reader would refuse are refused here: the file must read back.
void checkConformers(const MolFileData &data) {
  if (data.conformers.empty())
    return;
  if (data.conformers.size() > static_cast<std::size_t>(MAX_CONFORMERS))
    throw Error("molecule data: " + std::to_string(data.conformers.size()) +
                " conformers besides the main structure, more than the " +
                std::to_string(MAX_CONFORMERS) + " a molecule data file holds");
  if (!data.energy)
    throw Error("molecule data: conformers without the main structure's energy, from which "
                "their energies count");
  const auto imaginary = imaginaryCount(data);
  for (std::size_t k = 0; k < data.conformers.size(); ++k) {
    const Conformer &c = data.conformers[k];
    const std::string what = "molecule data: conformer " + std::to_string(k + 2) + ": ";
    checkFits(c.etot, -9999999.999999995, 99999999.999999995, "conformer energy (Hartree)");
    if (c.rotnum < 1 || c.rotnum > 99999 || c.opticalIsomers < 1 || c.opticalIsomers > 99999)
      throw Error(what + "rotation number " + std::to_string(c.rotnum) + " or optical isomers " +
                  std::to_string(c.opticalIsomers) + " not between 1 and 99999");
    for (const double i : c.pmoi)
      checkFits(i, -0.0000005, 99999999.9999995, "conformer moment of inertia (amu*A^2)");
    if (c.freq.empty() || c.freq.size() > static_cast<std::size_t>(MAX_FREQ))
      throw Error(what + std::to_string(c.freq.size()) + " vibrations, not between 1 and " +
                  std::to_string(MAX_FREQ));
    for (const double f : c.freq)
      checkFits(f, -999999.9995, 9999999.9995, "conformer frequency (cm-1)");
    if (std::count_if(c.freq.begin(), c.freq.end(), [](double f) { return f < 0.0; }) != imaginary)
      throw Error(what + "its imaginary frequencies are not as many as the main structure's " +
                  std::to_string(imaginary));
  }
}

// The output a conformer came from, on its line from column 38: no marker, no
// line break, no run of ten hyphens (which ends the block), at most the
// columns of a line.
std::string conformerSource(const std::string &source) {
  constexpr std::size_t COLUMNS_LEFT = FILENAME_LEN - 37;
  std::string text = withoutMarkers(source);
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  for (auto at = text.find("----------"); at != std::string::npos; at = text.find("----------"))
    text[at] = '_';
  return text.substr(0, COLUMNS_LEFT);
}

// One line per conformer, then its moments and its vibrations, six a line,
// in the frequency block's order (imaginary first); no block without them.
void writeConformers(fixedio::Writer &w, const std::vector<Conformer> &conformers) {
  constexpr std::size_t FREQS_PER_LINE = 6;
  if (conformers.empty())
    return;
  w.write("(/' Conformers (Hartree, amu*A^2, cm-1)')");
  w.write("('  Conf      Base energy  Rotn  Opt.  From')");
  w.write("(' --------------------------------------------------------------------')");
  for (std::size_t k = 0; k < conformers.size(); ++k) {
    const Conformer &c = conformers[k];
    w.write("(i6,f17.8,2i6,2x,a)", static_cast<int>(k + 2), c.etot, c.rotnum, c.opticalIsomers,
            conformerSource(c.source));
    w.write("(' moments',3f15.6)", c.pmoi[0], c.pmoi[1], c.pmoi[2]);
    const std::vector<std::size_t> order = modeRowOrder(c.freq);
    for (std::size_t from = 0; from < order.size(); from += FREQS_PER_LINE) {
      std::vector<fixedio::Value> freqs;
      for (std::size_t i = from; i < std::min(order.size(), from + FREQS_PER_LINE); ++i)
        freqs.emplace_back(c.freq[order[i]]);
      w.writeValues("('   freqs',6f11.3)", freqs);
    }
  }
  w.write("(' --------------------------------------------------------------------')");
}

// A one-line text after a colon marker: no marker inside, no line break, at
// most the columns the reader takes.
std::string markerText(const std::string &text) {
  std::string line = withoutMarkers(text);
  std::replace_if(
      line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  return line.substr(0, MARKER_TEXT_LEN);
}

} // namespace

int imaginaryCount(const MolFileData &data) {
  return static_cast<int>(std::count_if(data.frequencies.begin(), data.frequencies.end(),
                                        [](double f) { return f < 0.0; }));
}

void frequencyRows(const MolFileData &data, std::vector<double> &frequencies,
                   std::vector<double> &intensities) {
  frequencies.assign(ZERO_ROWS, 0.0);
  intensities.assign(ZERO_ROWS, 0.0);
  for (const std::size_t k : modeRowOrder(data.frequencies)) {
    frequencies.push_back(data.frequencies[k]);
    intensities.push_back(k < data.intensities.size() ? data.intensities[k] : 0.0);
  }
}

void writeMolFile(std::ostream &out, const MolFileData &data) {
  const std::size_t atoms = data.atomicNumbers.size();
  if (atoms != data.coords.size())
    throw Error("molecule data: " + std::to_string(atoms) + " atomic numbers but " +
                std::to_string(data.coords.size()) + " positions");
  if (atoms > static_cast<std::size_t>(MAX_ATOMS))
    throw Error("molecule data: " + std::to_string(atoms) + " atoms, more than the " +
                std::to_string(MAX_ATOMS) + " a molecule data file holds");
  std::vector<double> freq, inten;
  frequencyRows(data, freq, inten);
  if (freq.size() > static_cast<std::size_t>(MAX_FREQ))
    throw Error("molecule data: " + std::to_string(freq.size()) +
                " frequency rows (six for translations and rotations included), more than the " +
                std::to_string(MAX_FREQ) + " a molecule data file holds");
  for (std::size_t n = 0; n < freq.size(); ++n) {
    checkFits(freq[n], -9999.9995, 99999.9995, "frequency (cm-1)");
    checkFits(inten[n], -9999.9995, 99999.9995, "IR intensity (km/mol)");
  }
  checkFits(data.mass, -0.00005, 99999.99995, "molecular mass (amu)");
  for (const double i : data.pmoi)
    checkFits(i, -0.0000005, 99999999.9999995, "moment of inertia (amu*A^2)");
  for (const auto &c : data.coords)
    for (const double x : c)
      checkFits(x, -9999999.9999995, 99999999.9999995, "coordinate (A)");
  if (data.energy)
    checkFits(*data.energy, -9999999.999999995, 99999999.999999995, "energy (Hartree)");
  if (data.charge < -999999999 || data.charge > 999999999)
    throw Error("molecule data: charge " + std::to_string(data.charge) +
                " does not fit its columns of the molecule data file");
  checkLevels(data.levels);
  if (data.opticalIsomers < 1 || data.opticalIsomers > 999999999)
    throw Error("molecule data: " + std::to_string(data.opticalIsomers) +
                " optical isomers, not between 1 and 999999999");
  checkRotors(data, freq);
  checkConformers(data);
  if (data.multiplicity < 1 || data.multiplicity > 99)
    throw Error("molecule data: spin multiplicity " + std::to_string(data.multiplicity) +
                " is not between 1 and 99");

  fixedio::Writer w(out);
  for (const auto &line : data.title)
    w.write("(1x,a)", withoutMarkers(line));
  w.write("(a)", "");
  w.write("(' Stoichiometry           :',a10)", data.stoichiometry);
  w.write("(' Symmetry group          :',a10)", data.symmetryGroup);
  w.write("(' Molecular mass          :',f10.4)", data.mass);
  w.write("(' Ia,Ib,Ic, amu*A^2',1x,3f15.6)", data.pmoi[0], data.pmoi[1], data.pmoi[2]);
  w.write("(' Rotation number set to  :',i10)", data.rotationNumber);
  w.write("(' Num. of imaginary freqs :',i10)", imaginaryCount(data));
  w.write("(' Charge of molecule      :',i10)", data.charge);
  w.write("(' Spin multiplicity of molecule =',i2)", data.multiplicity);
  if (data.energy)
    w.write("(' Base Energy :',f17.8)", *data.energy);
  if (!data.energyMethod.empty())
    w.write("(' Energy method           :',a)", markerText(data.energyMethod));
  if (data.opticalIsomers > 1)
    w.write("(' Optical isomers         :',i10)", data.opticalIsomers);
  if (!data.levels.empty()) {
    w.write("(' Electronic levels from  :',a)", markerText(data.levelsSource));
    w.write("(/' Electronic levels (cm-1)')");
    w.write("(' Level      Energy  Degeneracy')");
    w.write("(' ------------------------------')");
    for (std::size_t k = 0; k < data.levels.size(); ++k)
      w.write("(i6,f12.4,i12)", static_cast<int>(k + 1), data.levels[k].energy,
              data.levels[k].degeneracy);
    w.write("(' ------------------------------')");
  }

  w.write("(/' Molecular coordinates in principal axes (A)')");
  w.write("('   No.      Z              X              Y              Z')");
  for (std::size_t a = 0; a < atoms; ++a)
    w.write("(i4,10x,i3,3x,3f15.6)", static_cast<int>(a + 1), data.atomicNumbers[a],
            data.coords[a][0], data.coords[a][1], data.coords[a][2]);
  w.write("(' ----------------------------------------------------------------')");

  w.write("(/' No. Frequency Intensity')");
  w.write("('       cm-1    km/mol')");
  w.write("(' ----------------------')");
  for (std::size_t n = 0; n < freq.size(); ++n)
    w.write("(i4,2f9.3)", static_cast<int>(n + 1), freq[n], inten[n]);
  w.write("(' ----------------------')");
  if (!data.rotors.empty())
    writeRotors(w, data.rotors);
  writeConformers(w, data.conformers);
}

} // namespace orvalen
