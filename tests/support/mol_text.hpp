#pragma once

// A molecule data file given as text, read as a job reads it: for the tests of
// the data-file reader, one place for the record and the temporary folder.

#include "base/error.hpp"
#include "base/warnings.hpp"
#include "molecule/mol_file.hpp"
#include "molecule/molecule.hpp"
#include "support/temp_dir.hpp"

#include <string>

namespace orvalen::test {

// A record as the job input leaves it: its role, name and data file (`file`
// as the job line writes it, `fileField` as its fixed field holds it).
inline Molecule namedMolecule(int role, const std::string &name, const std::string &file,
                              const std::string &fileField) {
  MoleculeTable table;
  Molecule m = table.at(role, 1);
  m.name = fixedText(name, NAME_LEN);
  m.fileName = fixedText(fileField, FILENAME_LEN);
  m.fileNameAsWritten = file;
  return m;
}
inline Molecule namedMolecule(int role, const std::string &name, const std::string &file) {
  return namedMolecule(role, name, file, file);
}

// Writes `text` as m's data file in a fresh folder and reads it into m; the
// reader's warnings go to `warnings`.
inline Molecule readMolText(const std::string &text, Molecule m, Warnings &warnings) {
  TempDir dir;
  dir.write(m.fileNameAsWritten, text);
  readMolFile(m, dir.path(), warnings);
  return m;
}
inline Molecule readMolText(const std::string &text, Molecule m) {
  Warnings ignored;
  return readMolText(text, std::move(m), ignored);
}

// The message of the error that reading `text` as m's data file gives, or
// "(no error)" when it reads.
inline std::string molTextError(const std::string &text, const Molecule &m) {
  try {
    readMolText(text, m);
  } catch (const Error &e) {
    return e.what();
  }
  return "(no error)";
}

} // namespace orvalen::test
