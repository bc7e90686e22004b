#include "qc/readers.hpp"

#include "fixedio/error.hpp"

#include <fstream>
#include <iterator>

namespace orvalen::qc {

namespace {

struct ReaderEntry {
  bool (*recognises)(std::string_view);
  QcRecord (*read)(const std::filesystem::path &, std::string_view);
};

// The order matters only for an output that quotes another program's banner.
constexpr ReaderEntry READERS[] = {
    {isGaussian, readGaussian}, {isOrca, readOrca}, {isNwchem, readNwchem},
    {isPsi4, readPsi4},         {isXtb, readXtb},
};

} // namespace

std::string readTextFile(const std::filesystem::path &file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec))
    throw Error(file.string() + ": not a regular file");
  std::ifstream in(file, std::ios::binary);
  if (!in)
    throw Error(file.string() + ": cannot open file");
  std::string text;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size > 0) {
    text.resize(static_cast<std::size_t>(size));
    in.read(text.data(), size);
    text.resize(static_cast<std::size_t>(in.gcount()));
  }
  return text;
}

QcRecord readOutput(const std::filesystem::path &file) {
  const std::string text = readTextFile(file);
  for (const auto &reader : READERS)
    if (reader.recognises(text)) {
      QcRecord rec = reader.read(file, text);
      rec.sourceFile = file.string();
      return rec;
    }
  throw Error(file.string() + ": not an output of a known program (NWChem, Psi4, xtb, Gaussian, "
                              "ORCA)");
}

} // namespace orvalen::qc
