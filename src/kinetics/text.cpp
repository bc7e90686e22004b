#include "kinetics/text.hpp"

#include "rates/reaction.hpp"

namespace orvalen::kinetics {

namespace {

constexpr std::string_view REPLACEMENT = "\xef\xbf\xbd"; // U+FFFD

// What a lead byte of 0x80 or above begins (Unicode table 3-7): how many
// continuation bytes follow it and the range of the first of them (the others
// are 0x80 to 0xbf). `need` is 0 for a byte that begins no character.
struct Sequence {
  std::size_t need = 0;
  unsigned char lo = 0x80, hi = 0xbf;
};

Sequence sequenceAfter(unsigned char lead) {
  Sequence q;
  if (lead >= 0xc2 && lead <= 0xdf) {
    q.need = 1;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    q.need = 2;
    q.lo = lead == 0xe0 ? 0xa0 : 0x80; // no overlong form
    q.hi = lead == 0xed ? 0x9f : 0xbf; // no surrogate
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    q.need = 3;
    q.lo = lead == 0xf0 ? 0x90 : 0x80; // no overlong form
    q.hi = lead == 0xf4 ? 0x8f : 0xbf; // nothing above U+10FFFF
  }
  return q; // need 0: a continuation byte, C0, C1 or F5 to FF
}

// One character read at the start of `s`: its length when well-formed (Unicode
// table 3-7), else the length of its maximal ill-formed part (at least 1).
struct Character {
  std::size_t length = 1;
  bool wellFormed = false;
  bool cutShort = false; // a well-formed start that `s` ends in the middle of
};

Character readCharacter(std::string_view s) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80)
    return {1, true, false};
  const Sequence q = sequenceAfter(lead);
  if (q.need == 0)
    return {1, false, false};
  for (std::size_t i = 1; i <= q.need; ++i) {
    if (i >= s.size())
      return {i, false, true};
    const unsigned char b = byte(i);
    if (b < (i == 1 ? q.lo : 0x80) || b > (i == 1 ? q.hi : 0xbf))
      return {i, false, false};
  }
  return {q.need + 1, true, false};
}

std::string withoutTrailingBlanks(std::string_view s) {
  const auto end = s.find_last_not_of(' ');
  return std::string(end == std::string_view::npos ? std::string_view{} : s.substr(0, end + 1));
}

// The title without its last character and the blanks before it, as the
// report blanks the "+" after the last name.
void dropLastCharacter(std::string &title) {
  std::size_t end = title.size();
  while (end > 0 && (static_cast<unsigned char>(title[end - 1]) & 0xc0) == 0x80)
    --end;
  title.resize(end > 0 ? end - 1 : 0);
  title = withoutTrailingBlanks(title);
}

} // namespace

std::string validUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const Character c = readCharacter(text.substr(i));
    if (c.wellFormed)
      out += text.substr(i, c.length);
    else
      out += REPLACEMENT;
    i += c.length;
  }
  return out;
}

std::string fieldText(std::string_view field) {
  std::string_view text = field.substr(0, withoutTrailingBlanks(field).size());
  if (text.size() == field.size()) { // full to its end: the cut may have split a character
    for (std::size_t i = 0; i < text.size();) {
      const Character c = readCharacter(text.substr(i));
      if (c.cutShort) {
        text = text.substr(0, i);
        break;
      }
      i += c.length;
    }
  }
  return validUtf8(text);
}

std::string_view wholeCharacters(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes)
    return text;
  std::size_t end = maxBytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xc0) == 0x80)
    --end;
  return text.substr(0, end);
}

std::string csvCell(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos)
    return std::string(text);
  std::string cell = "\"";
  for (const char c : text) {
    if (c == '"')
      cell += '"';
    cell += c;
  }
  return cell + '"';
}

std::string reportTitle(const std::vector<std::string> &first,
                        const std::vector<std::string> &other, std::string_view arrow) {
  // The report's field begins with a blank, and every piece is appended to
  // the title without its trailing blanks, then cut to the field.
  std::string title;
  const auto append = [&](std::string_view tail) {
    title = withoutTrailingBlanks(wholeCharacters(title + std::string(tail), TITLE_LEN));
  };
  for (const std::string &name : first)
    append(" " + name + " +");
  for (std::size_t j = 0; j < other.size(); ++j) {
    if (j == 0) { // the "+" after the last name of the first role becomes the arrow
      dropLastCharacter(title);
      append(arrow);
    }
    append(" " + other[j] + " +");
  }
  dropLastCharacter(title); // the "+" after the last name
  const auto start = title.find_first_not_of(' ');
  return start == std::string::npos ? std::string() : title.substr(start);
}

} // namespace orvalen::kinetics
