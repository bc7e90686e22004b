// libFuzzer target: bytes as a job input file, read with readJobInput.

#include "fuzz/fuzz_targets.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  static const orvalen::fuzz::ScratchDir dir("job");
  orvalen::fuzz::jobInput({data, size}, dir);
  return 0;
}
