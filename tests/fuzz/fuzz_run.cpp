// libFuzzer target: a whole run in process on a fuzzed job and data file.

#include "fuzz/fuzz_targets.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  static const orvalen::fuzz::ScratchDir dir("run");
  orvalen::fuzz::wholeRun({data, size}, dir);
  return 0;
}
