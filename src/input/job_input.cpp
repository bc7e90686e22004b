#include "input/job_input.hpp"

#include "input/scanner.hpp"
#include "report/error.hpp"
#include "report/format.hpp"

#include <algorithm>
#include <string>
#include <vector>

namespace orvalen {

namespace {

// Runs `f`, putting the job file and line in front of the message of an error it throws.
template <class F> auto atLine(const fmt::Record &rec, F &&f) -> decltype(f()) {
  try {
    return f();
  } catch (const Error &e) {
    throw Error(rec.file + " line " + std::to_string(rec.line) + ": " + e.what());
  }
}

// The same characters as toUpperCase looks at (left-adjusted, at most 132),
// in their original letter case, so that words split at the same places.
std::string caseKeptView(std::string_view line) {
  const std::string s = leftAdjusted(line);
  const auto last = s.find_last_not_of(' ');
  return last == std::string::npos ? std::string()
                                   : s.substr(0, std::min(last + 1, UPPER_CASE_CUT));
}

std::string wordOr(const std::vector<std::string> &words, std::size_t k) {
  return k < words.size() ? words[k] : std::string();
}

// COND: later keys of the same field win, TEMP over TT and PRES over PP.
void readConditions(const fmt::Record &rec, Conditions &cond) {
  struct Key {
    const char *key;
    double Conditions::*field;
  };
  constexpr Key keys[] = {{"TT", &Conditions::T},
                          {"TEMP", &Conditions::T},
                          {"PP", &Conditions::P},
                          {"PRES", &Conditions::P}};
  for (const Key &k : keys) {
    const OptionResult r = atLine(rec, [&] { return iGetOption(k.key, rec.text); });
    if (r.found)
      cond.*k.field = r.xres(1); // 0.0 without a number
  }
}

// One KEFF word as the field of a fixed-column read, so that a bad word is
// reported with the job file, its line and the word itself.
fmt::Record keffField(const fmt::Record &rec, const std::string &word, const char *kind) {
  // A longer word would lose its end (often the exponent) and be read as another number.
  if (word.size() > KEFF_FIELD)
    throw Error(rec.file + " line " + std::to_string(rec.line) + ": cannot read \"" + word +
                "\" as " + kind + ": longer than " + std::to_string(KEFF_FIELD) + " characters");
  return fmt::Record{word, rec.file, rec.line};
}

// KEFF C [n]: C read with G20.10 (implied decimal point included), n with I20.
void readKeff(const fmt::Record &rec, Conditions &cond) {
  // The letter case of the words does not change what the reads give; keeping
  // it shows the user's own text in an error message.
  const auto words =
      atLine(rec, [&] { return subString(caseKeptView(rec.text), MAX_JOB_LINE_WORDS); });
  if (words.size() >= 2) {
    fmt::read("(g20.10)", keffField(rec, words[1], "a real number"), &cond.conc);
    cond.nexp = 1;
  }
  if (words.size() >= 3)
    fmt::read("(i20)", keffField(rec, words[2], "an integer"), &cond.nexp);
}

// REACT, PROD or TS: the next slot of the role gets name, data file and overrides.
void readMolecule(const fmt::Record &rec, const std::string &lineu, MoleculeTable &mol) {
  const auto words = atLine(rec, [&] { return subString(lineu, MAX_JOB_LINE_WORDS); });
  const auto asWritten =
      atLine(rec, [&] { return subString(caseKeptView(rec.text), MAX_JOB_LINE_WORDS); });
  const std::string &word1 = words.front();
  const int role = word1.find("REACT") != std::string::npos  ? REACTANT
                   : word1.find("PROD") != std::string::npos ? PRODUCT
                                                             : TRANSITION_STATE;
  const int j = atLine(rec, [&] { return mol.add(role); });
  Molecule &m = mol.at(role, j);
  m.name = fixedText(wordOr(words, 1), NAME_LEN);
  m.fileName = fixedText(wordOr(words, 2), FILENAME_LEN);
  m.fileNameAsWritten = wordOr(asWritten, 2);

  // Only the words after the file name are searched, so a name never matches an option.
  std::string options;
  for (std::size_t k = 3; k < words.size(); ++k)
    options += (k > 3 ? " " : "") + words[k];
  const auto option = [&](const char *key) {
    return atLine(rec, [&] { return iGetOption(key, options); });
  };
  if (const OptionResult r = option("MULT"); r.found)
    m.mult = r.ires(1);
  if (const OptionResult r = option("ROTNUM"); r.found)
    m.rotnum = r.ires(1);
  if (const OptionResult r = option("ETOT"); r.found)
    m.etot = r.xres(1); // Hartree
}

} // namespace

void readJobInput(LineFile &in, Conditions &cond, MoleculeTable &mol) {
  while (!in.atEnd()) {
    const fmt::Record rec = in.readLine();
    // Only blanks lead: a line that begins with a tab matches no keyword.
    const std::string lineu = toUpperCase(leftAdjusted(rec.text));
    if (lineu[0] == '!')
      continue;
    if (lineu.find_first_not_of(' ') == std::string::npos)
      break; // a blank line ends the job input
    if (lineu.starts_with("COND"))
      readConditions(rec, cond);
    else if (lineu.starts_with("KEFF"))
      readKeff(rec, cond);
    else if (lineu.starts_with("REACT") || lineu.starts_with("PROD") || lineu.starts_with("TS "))
      readMolecule(rec, lineu, mol);
  }
}

} // namespace orvalen
