// Reader of NWChem output: not written yet.
#include "qc/readers.hpp"

#include "report/error.hpp"

namespace orvalen::qc {

bool isNwchem(std::string_view) {
  return false;
}

QcRecord readNwchem(const std::filesystem::path &file, std::string_view) {
  throw Error(file.string() + ": NWChem outputs are not read yet");
}

} // namespace orvalen::qc
