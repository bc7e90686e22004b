#pragma once
// Torsions described as one-dimensional hindered rotors for the data file
// (`orvalen-import --rotor P1,P2[:TOP]`): the rotating group, the reduced
// moment I(2,3), the symmetry number, the potential (a Fourier series fitted
// to a relaxed scan, a cosine barrier given, or a cosine whose curvature gives
// the frequency of the mode the rotor replaces) and the row of the frequency
// block whose mode it replaces. Atoms are 1-based in the order of the
// output's geometry; energies in kJ/mol.
//
//   qc::RotorRequest r = qc::parseRotor("1,2");
//   r.scan = "ethane_scan.out";
//   qc::addRotors(rec, {r}, "ethane.out", imported);
#include "molecule/mol_file_writer.hpp"
#include "qc/qc_record.hpp"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvalen::qc {

struct RotorRequest {
  std::string text; // "1,2:1,3,4,5" as given to --rotor
  int pivot1 = 0;   // the bond
  int pivot2 = 0;
  std::vector<int> top;                      // empty: the fragment on pivot1's side of the bond
  std::optional<std::filesystem::path> scan; // --rotor-scan
  std::optional<double> barrier;             // --rotor-barrier, kJ/mol
  std::optional<int> mode;     // --rotor-mode: a row of the data file's frequency block
  std::optional<int> symmetry; // --rotor-symmetry
};

// "P1,P2" or "P1,P2:A,B,...": throws orvalen::Error "--rotor "TEXT": ..." for
// anything else (atoms are whole numbers from 1).
RotorRequest parseRotor(std::string_view text);

// Where the rotors go: the data file's contents (rotors and title lines),
// the warnings, and the files read (the scans and what a reader read beside
// them), so that -o never names one.
struct RotorOutput {
  MolFileData &data;
  std::vector<std::string> &warnings; // each "FILE: message"
  std::vector<std::filesystem::path> &filesRead;
};

// Describes each requested torsion of the molecule of `rec` (read from
// `file`) as a rotor of `out.data`, whose frequencies are already those to be
// written, and adds a title line per rotor saying which mode it replaces and
// where its potential came from. Throws orvalen::Error "FILE: rotor P1,P2:
// ..." for a torsion that cannot be one (a ring bond, a bond with nothing
// beyond it, atoms not bonded without a top given, a scan of another molecule
// or of another dihedral, fewer than 6 points, a scan no Fourier series up
// to order 20 reproduces, a mode that is not a real vibration or is taken by
// another rotor, more than MAX_ROTORS rotors).
void addRotors(const QcRecord &rec, const std::vector<RotorRequest> &requests,
               const std::string &file, const RotorOutput &out);

} // namespace orvalen::qc
