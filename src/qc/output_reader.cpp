#include "qc/output_reader.hpp"

namespace orvalen::qc {

OutputReader::OutputReader(const std::filesystem::path &file, std::string_view text,
                           std::string_view program, std::string_view closing)
    : file_(file), lines_(text) {
  rec_.program = std::string(program);
  steps_.closing = closing;
}

void OutputReader::walk() {
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].size() >= 4)
      i = line(i);
}

QcRecord OutputReader::read() {
  walk();
  RecordParts made = parts();
  finishRecord(file_, made.geometry, std::move(made.analysis), made.movedOn,
               {steps_, made.lastValue}, rec_);
  return std::move(rec_);
}

} // namespace orvalen::qc
