// Reader of Psi4 output: not written yet.
#include "qc/readers.hpp"

#include "report/error.hpp"

namespace orvalen::qc {

bool isPsi4(std::string_view) {
  return false;
}

QcRecord readPsi4(const std::filesystem::path &file, std::string_view) {
  throw Error(file.string() + ": Psi4 outputs are not read yet");
}

} // namespace orvalen::qc
