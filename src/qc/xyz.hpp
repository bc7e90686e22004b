#pragma once
// The XYZ format: the number of atoms alone on a line, a comment line, then
// one row "El x y z" per atom (A), the element as a symbol in any letter case
// or as an atomic number; words after z are ignored. A geometry the user types
// in (--xyz) is one such block in a file of its own; xtb writes one into its
// output ("final structure:") and into xtbopt.xyz beside it.
//
//   const qc::Lines lines(text);
//   const qc::XyzBlock block = qc::readXyz("opt.xyz", lines, 0);
#include "qc/geometry_names.hpp"
#include "qc/output_text.hpp"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace orvalen::qc {

struct XyzBlock {
  Atoms atoms;
  std::size_t end = 0; // index of the line after its last row
};

// The block whose count line is lines[first]. `maxAtoms`, when given, is the
// most a molecule data file holds: a larger count is refused before the rows
// are read. Throws orvalen::Error naming the file and line.
XyzBlock readXyz(const std::filesystem::path &file, const Lines &lines, std::size_t first,
                 std::optional<long> maxAtoms = std::nullopt);

} // namespace orvalen::qc
