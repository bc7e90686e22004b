// Reader of Gaussian output: not written yet.
#include "qc/readers.hpp"

#include "report/error.hpp"

namespace orvalen::qc {

bool isGaussian(std::string_view) {
  return false;
}

QcRecord readGaussian(const std::filesystem::path &file, std::string_view) {
  throw Error(file.string() + ": Gaussian outputs are not read yet");
}

} // namespace orvalen::qc
