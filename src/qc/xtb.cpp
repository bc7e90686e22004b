// Reader of xtb output: not written yet.
#include "qc/readers.hpp"

#include "report/error.hpp"

namespace orvalen::qc {

bool isXtb(std::string_view) {
  return false;
}

QcRecord readXtb(const std::filesystem::path &file, std::string_view) {
  throw Error(file.string() + ": xtb outputs are not read yet");
}

} // namespace orvalen::qc
