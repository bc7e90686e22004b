#pragma once

#include <stdexcept>
#include <string>

namespace orvalen {

// Every failure that stops a run: a file that cannot be opened, a capacity
// exceeded, a field that does not convert, an unexpected end of file. The
// message names the file (or the table) and, for a line of a file, its number.
// main prints it as one line "orvalen: <message>" and exits with status 1.
class Error : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

} // namespace orvalen
