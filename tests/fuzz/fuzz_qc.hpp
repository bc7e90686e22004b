#pragma once

// Body of the fuzz target for orvalen-import (fuzz_qc_output.cpp), shared with
// the test that replays the inputs kept in tests/fuzz/regressions/qc_output/
// (tests/qc/fuzz_regression_test.cpp).
//
// The bytes go to every reader of qc::readers() directly, whatever their
// banner says, and to the dispatch by content; every record read goes on to
// the import (checks, principal axes, the point-group finder, the charge and
// multiplicity, the energy of a second record) and to the data-file writer,
// whose file must read back to what was written; the bytes also go in as an
// XYZ file and a list of frequencies. A stop with orvalen::Error is the
// expected answer to bad input; anything else (another exception, a crash, a
// sanitizer report, a hang) is a finding. A record handed back must be whole.

#include "fuzz/fuzz_targets.hpp"
#include "molecule/mol_file_writer.hpp"
#include "qc/import.hpp"
#include "qc/readers.hpp"

#include <cmath>
#include <set>
#include <sstream>
#include <string>

namespace orvalen::fuzz {

inline void checkRecord(const qc::QcRecord &rec, const std::string &reader) {
  if (rec.atomicNumbers.size() != rec.coords.size())
    broken(reader + ": " + std::to_string(rec.atomicNumbers.size()) + " elements for " +
           std::to_string(rec.coords.size()) + " atoms");
  if (rec.coords.empty())
    broken(reader + ": a record without atoms");
  if (rec.intensities.size() != rec.frequencies.size())
    broken(reader + ": " + std::to_string(rec.intensities.size()) + " intensities for " +
           std::to_string(rec.frequencies.size()) + " frequencies");
  if (rec.frequencies.size() > 3 * rec.coords.size())
    broken(reader + ": more than 3N frequencies");
  // NaN where the output printed no energy (Gaussian, ORCA); never infinite.
  if (std::isinf(rec.energy))
    broken(reader + ": energy infinite");
  for (const auto &p : rec.coords)
    for (double x : p)
      if (!std::isfinite(x))
        broken(reader + ": coordinate not finite");
  for (const auto &w : rec.warnings)
    if (w.find('\0') != std::string::npos)
      broken(reader + ": a NUL byte in a warning");
}

// The data file written from an import, read back by the molecule data file
// reader: the atoms, the rows, the multiplicity and the imaginary modes it
// was written with.
inline void checkDataFile(const qc::Imported &imp, const ScratchDir &dir,
                          const std::string &reader) {
  std::ostringstream text;
  writeMolFile(text, imp.data); // orvalen::Error for a value that does not fit its columns
  writeBytes(dir.path() / "mol.dat", text.str());
  Molecule m;
  m.name = fixedText("FUZZ", NAME_LEN);
  m.fileName = fixedText("MOL.DAT", FILENAME_LEN);
  m.fileNameAsWritten = "mol.dat";
  m.mult = m.rotnum = NOT_GIVEN; // as no job line gives them: the file's are read
  m.etot = NOT_GIVEN_REAL;
  try {
    readMolFile(m, dir.path());
  } catch (const Error &e) {
    broken(reader + ": the data file written does not read: " + e.what());
  }
  const MolFileData &d = imp.data;
  if (m.natoms != static_cast<int>(d.atomicNumbers.size()))
    broken(reader + ": " + std::to_string(m.natoms) + " atoms read back of " +
           std::to_string(d.atomicNumbers.size()) + " written");
  if (m.nfreq != static_cast<double>(d.frequencies.size() + 6))
    broken(reader + ": frequency rows read back other than written");
  if (m.mult != d.multiplicity)
    broken(reader + ": multiplicity read back other than written");
  if (m.nneg != imaginaryCount(d))
    broken(reader + ": imaginary modes read back other than written");
  for (const auto &line : d.title)
    if (line.find('\0') != std::string::npos || line.find('\n') != std::string::npos)
      broken(reader + ": a title line with a NUL or a line feed");
}

// The import of a record, alone and with itself as the --energy output.
// True when a data file was written.
inline bool importAndWrite(const qc::QcRecord &rec, const ScratchDir &dir,
                           const std::string &reader) {
  bool written = false;
  try {
    checkDataFile(qc::importRecord(rec, {}), dir, reader);
    written = true;
  } catch (const Error &) {
  }
  try {
    qc::ImportOptions options;
    options.energyFile = "energy.out";
    qc::importRecord(rec, options, &rec);
  } catch (const Error &) {
  }
  return written;
}

// The readers whose record of `data` went through the import to a data file
// that reads back. The files an xtb output may name beside it are looked for
// in `dir`, which is emptied first, so only the output itself is read.
inline std::set<std::string> qcOutput(Bytes data, const ScratchDir &dir) {
  const std::string_view text = asText(data);
  const fs::path file = dir.path() / "calc.out";
  dir.clear();
  std::set<std::string> written;
  for (const qc::Reader &r : qc::readers()) {
    try {
      qc::QcRecord rec = r.read(file, text);
      checkRecord(rec, std::string(r.program));
      rec.sourceFile = file.string();
      qc::showOutputTexts(rec); // as readOutput does before the import
      if (importAndWrite(rec, dir, std::string(r.program)))
        written.insert(std::string(r.program));
    } catch (const Error &) {
    }
  }
  writeBytes(file, text);
  try {
    checkRecord(qc::readOutput(file), "readOutput");
  } catch (const Error &) {
  }
  // The same bytes as data from a paper: a geometry and a list of frequencies.
  writeBytes(dir.path() / "paper.xyz", text);
  try {
    checkDataFile(qc::importUserData(dir.path() / "paper.xyz", dir.path() / "paper.xyz", {}), dir,
                  "--xyz");
  } catch (const Error &) {
  }
  return written;
}

} // namespace orvalen::fuzz
