// A molecule from data typed in from a paper: an XYZ geometry and a list of
// harmonic frequencies.
#include "base/error.hpp"
#include "molecule/molecule.hpp"
#include "qc/import.hpp"
#include "qc/output_text.hpp"
#include "qc/readers.hpp"
#include "qc/xyz.hpp"

#include <cmath>
#include <fstream>
#include <iterator>

namespace orvalen::qc {

namespace {

bool blank(std::string_view line) {
  return splitWords(line).empty();
}

void readXyzFile(const std::filesystem::path &file, QcRecord &rec) {
  const std::string text = readTextFile(file);
  // Typed by hand: the last line may lack its line feed.
  const Lines lines(text, Lines::Last::Kept);
  std::size_t i = 0;
  while (i < lines.size() && blank(lines[i]))
    ++i;
  if (i == lines.size())
    throw Error(file.string() + ": empty XYZ file");
  XyzBlock block = readXyz(file, lines, i, MAX_ATOMS);
  for (i = block.end; i < lines.size(); ++i)
    if (!blank(lines[i]))
      throw Error(atLine(file, i) + ": more lines after the " +
                  std::to_string(block.atoms.z.size()) +
                  " atoms (a trajectory?); give one geometry");
  rec.atomicNumbers = std::move(block.atoms.z);
  rec.coords = std::move(block.atoms.r);
}

void readFrequencies(const std::filesystem::path &file, QcRecord &rec) {
  const std::string text = readTextFile(file);
  const Lines lines(text, Lines::Last::Kept);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string line(lines[i].substr(0, lines[i].find('#')));
    for (char &c : line)
      if (c == ',' || c == ';')
        c = ' ';
    for (const auto word : splitWords(line)) {
      std::string_view number = word;
      bool imaginary = false;
      if (!number.empty() && (number.back() == 'i' || number.back() == 'I')) {
        number.remove_suffix(1);
        imaginary = true;
      }
      const auto value = parseReal(number);
      if (!value)
        throw Error(atLine(file, i) + ": cannot read " + inQuotes(word) +
                    " as a frequency in cm-1");
      rec.frequencies.push_back(imaginary ? -std::fabs(*value) : *value);
    }
  }
  rec.intensities.assign(rec.frequencies.size(), 0.0);
}

} // namespace

QcRecord readXyzAndFrequencies(const std::filesystem::path &xyz,
                               const std::filesystem::path &freqs) {
  QcRecord rec;
  rec.sourceFile = xyz.string();
  readXyzFile(xyz, rec);
  readFrequencies(freqs, rec);
  return rec;
}

} // namespace orvalen::qc
