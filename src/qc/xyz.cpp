#include "qc/xyz.hpp"

#include "base/error.hpp"
#include "qc/output_text.hpp"

#include <string>

namespace orvalen::qc {

XyzBlock readXyz(const std::filesystem::path &file, const Lines &lines, std::size_t first,
                 std::optional<long> maxAtoms) {
  const std::string_view countLine = first < lines.size() ? lines[first] : std::string_view{};
  const auto head = splitWords(countLine);
  const auto count = head.size() == 1 ? parseInteger(head[0]) : std::nullopt;
  if (!count || *count < 1)
    throw Error(atLine(file, first) + ": expected the number of atoms of an XYZ file, found " +
                inQuotes(countLine));
  if (maxAtoms && *count > *maxAtoms)
    throw Error(atLine(file, first) + ": " + std::to_string(*count) + " atoms, more than the " +
                std::to_string(*maxAtoms) + " a molecule data file holds");
  XyzBlock block;
  std::size_t i = first + 2; // the count and the comment line
  for (long a = 0; a < *count; ++a, ++i) {
    if (i >= lines.size())
      throw Error(file.string() + ": ends after " + std::to_string(a) + " of " +
                  std::to_string(*count) + " atoms");
    const auto w = splitWords(lines[i]);
    if (w.size() < 4)
      throw Error(atLine(file, i) + ": expected an element and three coordinates, found " +
                  inQuotes(lines[i]));
    const auto z = elementOfLabel(w[0], AtomLabel::SymbolOrNumber);
    if (!z)
      throw Error(atLine(file, i) + ": " + inQuotes(w[0]) + " is not an element (H to Rn)");
    block.atoms.z.push_back(*z);
    block.atoms.r.push_back({realAt(file, i, w[1]), realAt(file, i, w[2]), realAt(file, i, w[3])});
  }
  block.end = i;
  return block;
}

} // namespace orvalen::qc
