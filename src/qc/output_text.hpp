#pragma once
// Helpers shared by the readers of quantum-chemistry output: the output as a
// list of complete lines, whitespace-separated words, numbers read without the
// locale and with messages naming the file and line, the element an atom label
// names, and the step every reader of a frequency table needs (drop the
// translations and rotations printed near 0).
#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvalen::qc {

// The lines of a text, split at line feeds (a carriage return before one is
// dropped). A program writes a line feed after every line, so a last line
// without one was cut while it was written ("-0.75017760422D+0" of
// "-0.75017760422D+02"): an output keeps only its complete lines. A file typed
// by hand (--xyz, --freqs) keeps its last line too.
//
// The index holds the start of every 256th line, not of each: an output of a
// hundred million blank lines needs a few megabytes beside its text, where a
// view per line would take 1.6 GB. A line is found from the nearest start
// before it, or from the one asked for last, so that walking the lines in
// order costs one pass. The views point into the text, which must outlive them.
class Lines {
public:
  enum class Last { Dropped, Kept };
  explicit Lines(std::string_view text, Last last = Last::Dropped);

  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  // Line `i` (from 0); an empty view past the last line.
  std::string_view operator[](std::size_t i) const;

private:
  static constexpr std::size_t STRIDE = 256;
  std::string_view text_;
  std::size_t count_ = 0;
  std::vector<std::size_t> starts_; // start of lines 0, STRIDE, 2 STRIDE, ...
  // The line asked for last and where it starts: a walk in order finds the
  // next line from it. Not shared between threads.
  mutable std::size_t lastLine_ = 0, lastStart_ = 0;
};

// A text of an output quoted in a message: in double quotes, a tab shown as
// \t and other control characters as \xNN (a NUL byte would end the message
// where it stands), and cut to its first 200 characters.
std::string inQuotes(std::string_view text);

// A number with a fixed count of decimals, as messages and title lines show
// it: withDecimals(0.0714, 3) is "0.071".
std::string withDecimals(double value, int decimals);

// Words separated by blanks or tabs, those that start in the first 64 KB of
// the line: no program prints a value further out, and the words of a longer
// line would take many times its size (a word that starts there is whole).
std::vector<std::string_view> splitWords(std::string_view line);

// The most of a text of an output kept whole (a version, a method, a file
// name, an input line searched for a keyword, a word of a message): a line
// of an output can be as long as the output.
inline constexpr std::size_t SHORT_TEXT = 4096;

// The method of an energy as a data file names it: "CCSD(T)/cc-pvtz", the
// method alone without a basis set ("GFN2-xTB"), nothing without a method.
std::string methodWithBasis(std::string_view method, std::string_view basis);

// A Hartree-Fock or Kohn-Sham name without the R, U or RO a program puts
// before it for the reference ("UB3LYP" -> "B3LYP", "RHF" -> "HF"): one method
// for closed- and open-shell molecules alike.
std::string withoutReference(std::string_view name);

// The whole word as a number of the one grammar (base/number.hpp: "1.5",
// "-2.0E-3", "1.5D+02", "+7"); nothing otherwise: not "+-1648", "0x10", "inf",
// "nan" or "1.5 " (a word has no blank). parseInteger: a whole number without
// point or exponent.
std::optional<double> parseReal(std::string_view word);
std::optional<long> parseInteger(std::string_view word);

// "FILE line N" for the line of index `lineIndex` (counted from 0): how an
// error message about that line begins.
std::string atLine(const std::filesystem::path &file, std::size_t lineIndex);

// As above, but throws orvalen::Error "FILE line N: cannot read "w" as a number".
double realAt(const std::filesystem::path &file, std::size_t lineIndex, std::string_view word);

// True when the line contains `needle`.
inline bool contains(std::string_view line, std::string_view needle) {
  return line.find(needle) != std::string_view::npos;
}

// True when the line contains `needle`; the line's words are then split into
// `words` unless already there. Most lines of an output are rows of numbers:
// a reader splits only the lines that hold a text it looks for.
inline bool holdsText(std::string_view line, std::string_view needle,
                      std::vector<std::string_view> &words) {
  if (!contains(line, needle))
    return false;
  if (words.empty())
    words = splitWords(line);
  return true;
}

// How an output or a geometry file writes the element of an atom.
enum class AtomLabel {
  Symbol,         // the symbol alone, in any letter case: "C", "cl"
  SymbolOrNumber, // the symbol or the atomic number: "C", "6"
  Tagged,         // the symbol with a tag after it: "H1", "C_a", "Oxygen"
};

// The atomic number a label names, by the element table of the core
// (molecule/elements.hpp); nothing when it names none. A tagged label names
// the element of its one or two leading letters; the nuclear charge printed
// beside it, when there is one, decides between the two ("Co" is carbon
// beside a charge of 6), else the two-letter symbol wins.
std::optional<int> elementOfLabel(std::string_view label, AtomLabel form,
                                  std::optional<long> nuclearCharge = std::nullopt);

// Keeps the 3N-6 (linear: 3N-5) vibrational modes of a table of 3N modes that
// includes the translations and rotations: the 6 (5) of smallest |frequency|
// are dropped, never chosen by intensity. The order of the rest is kept.
// Throws orvalen::Error naming the file when the table has fewer rows.
void dropTranslationsRotations(const std::filesystem::path &file, bool linear,
                               std::vector<double> &frequencies, std::vector<double> &intensities);

} // namespace orvalen::qc
