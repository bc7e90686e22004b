#include "driver/report_check.hpp"

#include "thermo/report_headings.hpp"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace orvalen {

namespace {

// Texts the field editing writes for values that are not finite. Names in the
// report are upper case and no label holds these letters, so a match is a value.
constexpr std::string_view NON_FINITE[] = {"NaN", "Inf"};

// A section title as the report shows it: one blank, then the title text.
bool isTitle(std::string_view line, std::string_view title) {
  return line.starts_with(' ') && line.substr(1).starts_with(title);
}

std::size_t firstNonFinite(std::string_view line) {
  std::size_t first = std::string_view::npos;
  for (const auto token : NON_FINITE) {
    const auto at = line.find(token);
    if (at < first)
      first = at;
  }
  if (first != std::string_view::npos && first > 0 && line[first - 1] == '-')
    --first;
  return first;
}

bool isNumberWord(const std::string &w) {
  if (w.empty())
    return false;
  char *end = nullptr;
  std::strtod(w.c_str(), &end);
  return end == w.c_str() + w.size();
}

std::vector<std::string> words(std::string_view text) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ')
      ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != ' ')
      ++i;
    if (i > start)
      out.emplace_back(text.substr(start, i - start));
  }
  return out;
}

// Pieces of a line separated by two blanks or more: labels and values.
std::vector<std::string> chunks(std::string_view text) {
  std::vector<std::string> out;
  std::string current;
  std::size_t blanks = 0;
  for (const char c : text) {
    if (c == ' ') {
      ++blanks;
      continue;
    }
    if (blanks >= 2 && !current.empty()) {
      out.push_back(current);
      current.clear();
    } else if (blanks == 1 && !current.empty()) {
      current += ' ';
    }
    blanks = 0;
    current += c;
  }
  if (!current.empty())
    out.push_back(current);
  return out;
}

// The quantity a value belongs to: the label in front of it on its line
// ("Utran", "ln(Qtran)", "E+U", "Activation entropy at T").
std::string quantityOf(std::string_view line, std::size_t at) {
  std::vector<std::string> labels;
  bool assignment = false; // "Qtran = 0.00000E+00   ln(Qtran)=": several labels with values
  for (std::string c : chunks(line.substr(0, at))) {
    assignment = assignment || (labels.empty() && c.find('=') != std::string::npos);
    while (!c.empty() && (c.back() == '=' || c.back() == ' '))
      c.pop_back();
    if (!c.empty() && !isNumberWord(c))
      labels.push_back(c);
  }
  if (labels.empty())
    return "a value";
  if (labels.size() > 1 && assignment)
    return labels.back(); // the label nearest to the value
  if (labels.size() == 1 && labels[0].find_first_not_of("0123456789") == std::string::npos)
    return "vibration row " + labels[0];
  std::string label;
  for (const auto &x : labels)
    label += (label.empty() ? "" : " ") + x;
  return label;
}

struct Section {
  std::string name;
  long firstLine = 0;
  long lastLine = 0;
  std::vector<std::string> quantities;
};

void flush(Section &s, const std::string &reportName, Warnings &warnings) {
  if (s.quantities.empty())
    return;
  std::string list;
  const std::size_t shown = std::min<std::size_t>(s.quantities.size(), 6);
  for (std::size_t k = 0; k < shown; ++k)
    list += (k == 0 ? "" : "; ") + s.quantities[k];
  if (s.quantities.size() > shown)
    list += " and " + std::to_string(s.quantities.size() - shown) + " more quantities";
  const std::string lines = s.firstLine == s.lastLine ? "line " + std::to_string(s.firstLine)
                                                      : "lines " + std::to_string(s.firstLine) +
                                                            "-" + std::to_string(s.lastLine);
  warnings.addUnsound(reportName + " " + lines + ": " + s.name +
                      " shows values that are not finite (NaN or Infinity) for " + list);
  s.quantities.clear();
}

} // namespace

void checkReport(std::istream &report, const std::string &reportName, Warnings &warnings) {
  Section section;
  section.name = "the banner";
  long n = 0;
  for (std::string line; std::getline(report, line);) {
    ++n;
    if (line.starts_with(TUNNELLING_HEADING))
      break; // the tunnelling lines
    std::string next;
    if (line.starts_with(MOLECULE_HEADING)) {
      const auto name = words(std::string_view(line).substr(MOLECULE_HEADING.size()));
      next = "the section of molecule " + (name.empty() ? std::string() : name.front());
    } else if (isTitle(line, REACTION_TITLE))
      next = "the reaction section";
    else if (isTitle(line, RATE_TITLE))
      next = "the rate constant section";
    else if (line.starts_with(EFFECTIVE_RATE_HEADING))
      next = "the effective rate constant";
    if (!next.empty() && next != section.name) {
      flush(section, reportName, warnings);
      section.name = next;
    }
    const auto at = firstNonFinite(line);
    if (at == std::string::npos)
      continue;
    if (section.quantities.empty())
      section.firstLine = n;
    section.lastLine = n;
    const std::string q = quantityOf(line, at);
    bool seen = false;
    for (const auto &x : section.quantities)
      seen = seen || x == q;
    if (!seen)
      section.quantities.push_back(q);
  }
  flush(section, reportName, warnings);
}

} // namespace orvalen
