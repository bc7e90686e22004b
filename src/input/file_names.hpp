#pragma once

// How the programs name a job's files from what the user typed: the job input
// is JOB.inp and the report JOB.out, whatever extension was written.

#include <string>
#include <string_view>

namespace orvalen {

// FILEEXTENSION: everything from the first "." of the name's last component
// (after the last "/" or "\\"; a dot in a folder name does not count) is
// replaced by `ext`; a name without such a dot gets `ext` appended. A result
// longer than 255 characters throws orvalen::Error: it is never cut.
std::string fileExtension(std::string_view fil, std::string_view ext);

} // namespace orvalen
