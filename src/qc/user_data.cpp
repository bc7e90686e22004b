// A molecule from data typed in from a paper: an XYZ geometry and a list of
// harmonic frequencies.
#include "fixedio/error.hpp"
#include "molecule/elements.hpp"
#include "molecule/molecule.hpp"
#include "qc/import.hpp"
#include "qc/output_text.hpp"
#include "qc/readers.hpp"

#include <cmath>
#include <fstream>
#include <iterator>

namespace orvalen::qc {

namespace {

bool blank(std::string_view line) {
  return splitWords(line).empty();
}

void readXyz(const std::filesystem::path &file, QcRecord &rec) {
  const std::string text = readTextFile(file);
  const auto lines = splitLines(text);
  std::size_t i = 0;
  while (i < lines.size() && blank(lines[i]))
    ++i;
  if (i == lines.size())
    throw Error(file.string() + ": empty XYZ file");
  const auto head = splitWords(lines[i]);
  const auto count = head.size() == 1 ? parseInteger(head[0]) : std::nullopt;
  if (!count || *count < 1)
    throw Error(atLine(file, i) + ": expected the number of atoms of an XYZ file, found \"" +
                std::string(lines[i]) + "\"");
  if (*count > MAX_ATOMS)
    throw Error(atLine(file, i) + ": " + std::to_string(*count) + " atoms, more than the " +
                std::to_string(MAX_ATOMS) + " a molecule data file holds");
  i += 2; // the count and the comment line
  for (long a = 0; a < *count; ++a, ++i) {
    if (i >= lines.size())
      throw Error(file.string() + ": ends after " + std::to_string(a) + " of " +
                  std::to_string(*count) + " atoms");
    const auto w = splitWords(lines[i]);
    if (w.size() < 4)
      throw Error(atLine(file, i) + ": expected an element and three coordinates, found \"" +
                  std::string(lines[i]) + "\"");
    std::optional<int> z = atomicNumberOf(w[0]);
    if (!z)
      if (const auto n = parseInteger(w[0]); n && *n >= 1 && *n <= MAX_ELEMENT)
        z = static_cast<int>(*n);
    if (!z)
      throw Error(atLine(file, i) + ": \"" + std::string(w[0]) + "\" is not an element (H to Rn)");
    rec.atomicNumbers.push_back(*z);
    rec.coords.push_back({realAt(file, i, w[1]), realAt(file, i, w[2]), realAt(file, i, w[3])});
  }
  for (; i < lines.size(); ++i)
    if (!blank(lines[i]))
      throw Error(atLine(file, i) + ": more lines after the " + std::to_string(*count) +
                  " atoms (a trajectory?); give one geometry");
}

void readFrequencies(const std::filesystem::path &file, QcRecord &rec) {
  const std::string text = readTextFile(file);
  const auto lines = splitLines(text);
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
        throw Error(atLine(file, i) + ": cannot read \"" + std::string(word) +
                    "\" as a frequency in cm-1");
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
  readXyz(xyz, rec);
  readFrequencies(freqs, rec);
  return rec;
}

} // namespace orvalen::qc
