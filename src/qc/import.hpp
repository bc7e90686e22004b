#pragma once
// From one quantum-chemistry calculation to a molecule data file: the record a
// reader filled becomes masses, principal axes and moments, Hill formula,
// point group and rotation number, and the frequency rows; what would give a
// wrong data file is refused (orvalen::Error "FILE: message"), what may still
// be what the user meant is written with a warning.
//
//   qc::ImportOptions options;
//   options.energyFile = "ts_ccsdt.out";
//   const qc::Imported imp = qc::importOutput("ts_freq.out", options);
//   orvalen::writeMolFile(std::cout, imp.data);
#include "molecule/mol_file_writer.hpp"
#include "qc/qc_record.hpp"
#include "qc/rotor.hpp"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orvalen::qc {

struct ImportOptions {
  std::optional<std::filesystem::path> energyFile; // a higher-level single point
  std::optional<double> energyValue;               // Hartree, given by the user
  std::optional<int> rotationNumber;               // wins over the geometry's
  std::optional<int> multiplicity;                 // wins over the output's
  std::optional<int> charge;                       // of data from a paper (--xyz); 0 when not given
  std::optional<std::string> energyMethod;         // --energy-method: wins over the output's
  // Electronic levels: given (--levels), none (--no-levels), or by default
  // the ground term's from the table for a species it has, in its multiplicity.
  std::optional<std::vector<ElectronicLevel>> levels;
  bool noLevels = false;
  // Torsions written as hindered rotors (--rotor and the options after it).
  std::vector<RotorRequest> rotors;
};

struct Imported {
  MolFileData data;
  std::vector<std::string> warnings; // each "FILE: message"
  // Files a reader read beside the outputs (xtb's): inputs of the run too.
  std::vector<std::filesystem::path> filesBeside;
};

// Where a record came from: an output of a program, or a geometry and a list
// of frequencies the user typed in (no IR intensities expected there).
enum class Source { Output, UserData };

// Builds the data file contents from a record. `energyRecord`, when given, is
// the output of `options.energyFile`, already read: refused when it is of
// another charge or multiplicity. A multiplicity the electron count cannot
// have is refused.
Imported importRecord(const QcRecord &rec, const ImportOptions &options,
                      const QcRecord *energyRecord = nullptr, Source source = Source::Output);

// Reads OUTPUT (and the energy file of the options) and imports it.
Imported importOutput(const std::filesystem::path &output, const ImportOptions &options);

// A geometry in XYZ format (atom count, comment line, one "El x y z" line per
// atom, element as symbol or atomic number) and a free-format list of the
// vibrational frequencies in cm-1: numbers separated by blanks, commas or
// semicolons over any number of lines, "#" starting a comment, an imaginary
// mode written negative or with a trailing "i" (1520.3i).
QcRecord readXyzAndFrequencies(const std::filesystem::path &xyz,
                               const std::filesystem::path &freqs);
Imported importUserData(const std::filesystem::path &xyz, const std::filesystem::path &freqs,
                        const ImportOptions &options);

// Several outputs of one molecule, its conformers: `energyFiles` is empty or
// holds one higher-level single point per output, in the same order. Each
// output is imported as one would be (warnings prefixed by its name); all
// must hold the same atoms (element counts) bonded the same way (two atoms
// closer than 1.2 times their covalent radii, as the rotor import takes them;
// any atom order), be of one charge and multiplicity, have an energy, and be
// all minima or all saddle points with one imaginary mode: else
// orvalen::Error naming the output that differs and how. Duplicates (E
// within 0.01 kJ/mol, each moment within 0.1 %, each wavenumber within 1
// cm-1) are kept once, the first given, with a warning naming both (the
// mirror image of a chiral structure is said to be its other optical
// isomer, which the kept one counts already). The structure of lowest E0 =
// E + ZPE (the first given of equal ones) is the data file's main structure;
// the others go in its conformers block. Options that describe one
// structure (--rotnum, --rotor, --energy-value) are refused.
Imported importConformers(const std::vector<std::filesystem::path> &outputs,
                          const std::vector<std::filesystem::path> &energyFiles,
                          const ImportOptions &options);

} // namespace orvalen::qc
