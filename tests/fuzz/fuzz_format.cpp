// libFuzzer target: fixed-column reads, any format text, the field editors.

#include "fuzz/fuzz_targets.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  orvalen::fuzz::formatInput({data, size});
  return 0;
}
