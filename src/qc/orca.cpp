// Reader of ORCA output: not written yet.
#include "qc/readers.hpp"

#include "report/error.hpp"

namespace orvalen::qc {

bool isOrca(std::string_view) {
  return false;
}

QcRecord readOrca(const std::filesystem::path &file, std::string_view) {
  throw Error(file.string() + ": ORCA outputs are not read yet");
}

} // namespace orvalen::qc
