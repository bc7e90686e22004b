#pragma once
// One reader per quantum-chemistry program. Each recognises its program from
// lines only that program prints (never from the file name) and walks the
// output line by line into a QcRecord: the walk is OutputReader's
// (output_reader.hpp), the reader says which lines it takes and what the
// record is made of. A reader throws orvalen::Error whose message starts with
// the file name ("ts.out: no final geometry") when the output would give a
// wrong data file: truncated, no geometry, frequencies computed at another
// geometry than the final one, values of a job step that did not end (a
// reader takes complete lines only, notes where its program's job steps end
// and the last line a value came from; finishRecord checks). An output
// without any frequency analysis (a single point) is read with `frequencies`
// empty: the caller decides whether it needs them (`--energy` takes only the
// energy).
// `energy` is the best the output reports at that geometry, by the one order
// of energy_precedence.hpp (CCSD(T) over CCSD over MP2 over SCF/DFT), with
// `energyLevel` naming it.
//
// Adding a reader: its own file src/qc/PROGRAM.cpp, a class of OutputReader
// (its `line` and `parts`), whose isPROGRAM and readPROGRAM are declared
// below; one row in the table of readers() (read_output.cpp), which gives it
// to the dispatch, the message for an unknown output, `orvalen-import --help`
// and the fuzz target; its tests in tests/qc/PROGRAM_test.cpp, on real
// outputs kept under tests/fixtures/qc/PROGRAM/ with their origin in a README
// there.
#include "qc/geometry_names.hpp"
#include "qc/output_text.hpp"
#include "qc/qc_record.hpp"

#include <algorithm>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace orvalen::qc {

// `text` is the whole output as bytes; `file` is its path (for messages, and
// for readers that need files beside it, as xtb's xtbopt.xyz and vibspectrum).
bool isGaussian(std::string_view text);
QcRecord readGaussian(const std::filesystem::path &file, std::string_view text);
bool isOrca(std::string_view text);
QcRecord readOrca(const std::filesystem::path &file, std::string_view text);
bool isNwchem(std::string_view text);
QcRecord readNwchem(const std::filesystem::path &file, std::string_view text);
bool isPsi4(std::string_view text);
QcRecord readPsi4(const std::filesystem::path &file, std::string_view text);
bool isXtb(std::string_view text);
QcRecord readXtb(const std::filesystem::path &file, std::string_view text);

struct Reader {
  std::string_view program; // as QcRecord::program names it
  // Place of the program in the list an unknown output is answered with,
  // which names the programs in the order their readers came.
  int listed;
  bool (*recognises)(std::string_view text);
  QcRecord (*read)(const std::filesystem::path &file, std::string_view text);
  // The program has been seen to write NUL bytes into its output, which its
  // reader takes as blanks: readOutput makes them blanks in the text it holds,
  // so that the reader needs no copy of a large output.
  bool nulAsBlank = false;
};

// Every reader, in the order an output is offered to them: the order matters
// only for an output that quotes another program's banner.
std::span<const Reader> readers();

// The first row of a table of readers (readers(), scanFormats()) that
// recognises `text`, which is made ready for that row's reader (NUL bytes as
// blanks where the row says so); nullptr when none does.
template <class Row> const Row *recognisedBy(std::span<const Row> rows, std::string &text) {
  for (const Row &row : rows)
    if (row.recognises(text)) {
      if (row.nulAsBlank)
        std::replace(text.begin(), text.end(), '\0', ' ');
      return &row;
    }
  return nullptr;
}

// The whole of a regular file as bytes; throws orvalen::Error "FILE: no such
// file; ...", "FILE: not a regular file" (a folder, a device, a pipe) or
// "cannot open".
std::string readTextFile(const std::filesystem::path &file);

// Texts of the output that go into the data file's title (version, method),
// shown as messages show them: control characters and NUL bytes as \xNN.
void showOutputTexts(QcRecord &rec);

// Reads the file, finds which program wrote it and hands it to that reader.
// Throws orvalen::Error "FILE: not an output of a known program (NWChem, Psi4,
// xtb, Gaussian, ORCA)" otherwise.
QcRecord readOutput(const std::filesystem::path &file);

} // namespace orvalen::qc
