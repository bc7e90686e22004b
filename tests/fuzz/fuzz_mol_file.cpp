// libFuzzer target: bytes as a molecule data file, read with readMolFile.

#include "fuzz/fuzz_targets.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  static const orvalen::fuzz::ScratchDir dir("mol");
  orvalen::fuzz::molFile({data, size}, dir);
  return 0;
}
