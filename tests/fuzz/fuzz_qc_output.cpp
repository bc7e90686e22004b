// libFuzzer target: bytes as the output of a quantum-chemistry program, read
// by every reader of qc::readers() and by the dispatch on content, imported
// (point group, checks) and written as a data file that must read back.

#include "fuzz/fuzz_qc.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  static const orvalen::fuzz::ScratchDir dir("qc");
  orvalen::fuzz::qcOutput({data, size}, dir);
  return 0;
}
