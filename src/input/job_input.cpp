#include "input/job_input.hpp"

#include "base/error.hpp"
#include "base/warnings.hpp"
#include "fixedio/format.hpp"
#include "fixedio/implied_point.hpp"
#include "input/scanner.hpp"

#include <algorithm>
#include <string>
#include <vector>

namespace orvalen {

namespace {

// Runs `f`, putting the job file and line in front of the message of an error it throws.
template <class F> auto atLine(const fixedio::Record &rec, F &&f) -> decltype(f()) {
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

std::string where(const fixedio::Record &rec) {
  return rec.file + " line " + std::to_string(rec.line) + ": ";
}

// An option whose key is there but whose value did not read as a number: it
// becomes 0, which is hardly ever what was meant ("MULT 2", "TEMP=298.15K").
// `words` are the words searched, in their original letter case.
void checkOptionValue(const fixedio::Record &rec, const std::vector<std::string> &words,
                      const char *key, const char *quantity, const char *example,
                      const OptionResult &r, Warnings &warnings) {
  if (!r.found || (r.nres >= 1 && r.lres(1) != 3))
    return;
  const std::string keyText(key);
  std::size_t k = 0;
  while (k < words.size()) {
    if (toUpperCase(words[k]).starts_with(keyText))
      break;
    ++k;
  }
  const std::string word = k < words.size() ? words[k] : keyText;
  std::string text = where(rec) + "\"" + word + "\" gives no number";
  if (r.nres >= 1)
    text += " (\"" + r.sres(1) + "\" is not a number)";
  text += ", so the " + std::string(quantity) + " is 0";
  int ival = 0;
  double xval = 0.0;
  if (r.nres == 0 && k + 1 < words.size() && isNumber(words[k + 1], ival, xval) != 0)
    text += "; the value must be attached to the key: " + keyText + "=" + words[k + 1];
  else
    text += "; write a plain number attached to the key, e.g. " + std::string(example);
  warnings.add(text);
}

// A count (multiplicity, rotation number) written with a fraction is cut
// toward zero: MULT=3.02 is a multiplicity of 3, which may not be what was meant.
void checkWholeNumber(const fixedio::Record &rec, const char *key, const char *quantity,
                      const OptionResult &r, Warnings &warnings) {
  if (!r.found || r.nres < 1 || r.lres(1) != 2 || r.xres(1) == static_cast<double>(r.ires(1)))
    return;
  warnings.add(where(rec) + "the " + quantity + " " + key + "=" + numberText(r.xres(1)) +
               " is not a whole number and is read as " + std::to_string(r.ires(1)) + "; write " +
               key + "=" + std::to_string(r.ires(1)) + " if that was meant");
}

// COND: later keys of the same field win, TEMP over TT and PRES over PP.
void readConditions(const fixedio::Record &rec, Conditions &cond, Warnings &warnings) {
  struct Key {
    const char *key;
    double Conditions::*field;
    const char *quantity;
    const char *example;
  };
  constexpr Key keys[] = {{"TT", &Conditions::T, "temperature", "TT=298.15 (K)"},
                          {"TEMP", &Conditions::T, "temperature", "TEMP=298.15 (K)"},
                          {"PP", &Conditions::P, "pressure", "PP=101325 (Pa)"},
                          {"PRES", &Conditions::P, "pressure", "PRES=101325 (Pa)"}};
  const auto words = atLine(rec, [&] { return subString(caseKeptView(rec.text), MAX_LINE_WORDS); });
  for (const Key &k : keys) {
    const OptionResult r = atLine(rec, [&] { return iGetOption(k.key, rec.text); });
    if (r.found)
      cond.*k.field = r.xres(1); // 0.0 without a number
    checkOptionValue(rec, words, k.key, k.quantity, k.example, r, warnings);
  }
}

// One KEFF word as the field of a fixed-column read, so that a bad word is
// reported with the job file, its line and the word itself.
fixedio::Record keffField(const fixedio::Record &rec, const std::string &word, const char *kind) {
  // A longer word would lose its end (often the exponent) and be read as another number.
  if (word.size() > KEFF_FIELD)
    throw Error(rec.file + " line " + std::to_string(rec.line) + ": cannot read \"" + word +
                "\" as " + kind + ": longer than " + std::to_string(KEFF_FIELD) + " characters");
  return fixedio::Record{word, rec.file, rec.line};
}

// KEFF C [n]: C read with G20.10 (implied decimal point included), n with I20.
void readKeff(const fixedio::Record &rec, Conditions &cond, Warnings &warnings) {
  // The letter case of the words does not change what the reads give; keeping
  // it shows the user's own text in an error message.
  const auto words =
      atLine(rec, [&] { return subString(caseKeptView(rec.text), MAX_JOB_LINE_WORDS); });
  if (words.size() >= 2) {
    fixedio::read("(g20.10)", keffField(rec, words[1], "a real number"), &cond.conc);
    cond.nexp = 1;
    if (fixedio::impliedPointChanges(words[1], 10))
      warnings.add(where(rec) + "the KEFF concentration \"" + words[1] +
                   "\" has no decimal point, so its last ten digits are the fraction and it "
                   "reads as " +
                   numberText(cond.conc) + " molecules/cm3; write " +
                   fixedio::withPointWritten(words[1]) + " if that number was meant");
  }
  if (words.size() >= 3)
    fixedio::read("(i20)", keffField(rec, words[2], "an integer"), &cond.nexp);
}

// REACT, PROD or TS: the next slot of the role gets name, data file and overrides.
void readMolecule(const fixedio::Record &rec, const std::string &lineu, MoleculeTable &mol,
                  Warnings &warnings) {
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
  std::vector<std::string> optionWords;
  for (std::size_t k = 3; k < asWritten.size(); ++k)
    optionWords.push_back(asWritten[k]);
  const auto option = [&](const char *key, const char *quantity, const char *example) {
    OptionResult r = atLine(rec, [&] { return iGetOption(key, options); });
    checkOptionValue(rec, optionWords, key, quantity, example, r, warnings);
    return r;
  };
  if (const OptionResult r = option("MULT", "multiplicity", "MULT=2"); r.found) {
    checkWholeNumber(rec, "MULT", "multiplicity", r, warnings);
    m.mult = r.ires(1);
    m.multFromJob = true;
  }
  if (const OptionResult r = option("ROTNUM", "rotation number", "ROTNUM=12"); r.found) {
    checkWholeNumber(rec, "ROTNUM", "rotation number", r, warnings);
    m.rotnum = r.ires(1);
  }
  if (const OptionResult r = option("ETOT", "energy", "ETOT=-40.51 (Hartree)"); r.found)
    m.etot = r.xres(1); // Hartree
}

// A line that begins with none of the job input's words is passed over, as
// it always was; "TS: TS1 ts.dat" or "TS1 ts.dat" then loses a molecule
// without a word, so each such line is named.
void warnNotUsed(const fixedio::Record &rec, Warnings &warnings) {
  warnings.add(where(rec) + "\"" + shownText(trimmed(leftAdjusted(rec.text))) +
               "\" is not a job line and is not used: a job line begins with COND, KEFF, "
               "REACT, PROD or TS and a blank (TS name file), a comment with !");
}

} // namespace

void readJobInput(LineFile &in, Conditions &cond, MoleculeTable &mol) {
  Warnings ignored;
  readJobInput(in, cond, mol, ignored);
}

void readJobInput(LineFile &in, Conditions &cond, MoleculeTable &mol, Warnings &warnings) {
  while (!in.atEnd()) {
    fixedio::Record rec = in.readLine();
    // A tab counts as a blank: tab-separated words, and a line indented by a tab.
    std::replace(rec.text.begin(), rec.text.end(), '\t', ' ');
    const std::string lineu = toUpperCase(leftAdjusted(rec.text));
    if (lineu[0] == '!')
      continue;
    if (lineu.find_first_not_of(' ') == std::string::npos)
      break; // a blank line ends the job input
    if (lineu.starts_with("COND"))
      readConditions(rec, cond, warnings);
    else if (lineu.starts_with("KEFF"))
      readKeff(rec, cond, warnings);
    else if (lineu.starts_with("REACT") || lineu.starts_with("PROD") || lineu.starts_with("TS "))
      readMolecule(rec, lineu, mol, warnings);
    else
      warnNotUsed(rec, warnings);
  }
}

} // namespace orvalen
