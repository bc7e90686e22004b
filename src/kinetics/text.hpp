#pragma once

// Text in the scan's and the mechanism's outputs. Molecule names come from the job input as
// bytes in a 20-byte field, which may cut a UTF-8 character in two and may
// hold bytes that are not UTF-8 at all; JSON and SVG (XML) must be valid
// UTF-8, and a CSV cell must not let a comma or a quote split its row, e.g.
//   fieldText("ABCDEFGHIJKLMNOPQRS\xc3")  // "ABCDEFGHIJKLMNOPQRS": the cut half dropped
//   validUtf8("A\xffB")                    // "A\uFFFDB"
//   csvCell("A,\"B\"")                     // "\"A,\"\"B\"\"\"" (RFC 4180)

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvalen::kinetics {

// The text with every byte sequence that is not UTF-8 (a stray continuation
// byte, an overlong form, a surrogate, a character cut short) replaced by
// U+FFFD, one for each maximal ill-formed part as Unicode recommends.
std::string validUtf8(std::string_view text);

// A fixed-width field as text: its trailing blanks dropped, a character that
// the field's end cut in two (the field holds no trailing blank) dropped
// whole, every other ill-formed byte replaced as validUtf8 does.
std::string fieldText(std::string_view field);

// The longest start of valid UTF-8 `text` of at most `maxBytes` bytes that
// ends at a whole character.
std::string_view wholeCharacters(std::string_view text, std::size_t maxBytes);

// A CSV cell (RFC 4180): enclosed in double quotes, with each quote doubled,
// when it holds a comma, a double quote, a line feed or a carriage return.
std::string csvCell(std::string_view text);

// The report's section title of a reaction made of shown names: the first
// role's names joined by " + ", `arrow`, the other role's names, written as
// the report writes it into its 255-byte field (each step cut to the field,
// the last character blanked where the "+" after a name would stand), but
// cut at whole characters. For ASCII names it is the report's title.
std::string reportTitle(const std::vector<std::string> &first,
                        const std::vector<std::string> &other, std::string_view arrow);

} // namespace orvalen::kinetics
