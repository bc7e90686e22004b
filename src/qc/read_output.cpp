#include "qc/readers.hpp"

#include "base/error.hpp"
#include "base/warnings.hpp"

#include <algorithm>
#include <fstream>
#include <vector>

namespace orvalen::qc {

namespace {

constexpr Reader READERS[] = {
    {"Gaussian", 4, isGaussian, readGaussian}, {"ORCA", 5, isOrca, readOrca},
    {"NWChem", 1, isNwchem, readNwchem},       {"Psi4", 2, isPsi4, readPsi4},
    {"xtb", 3, isXtb, readXtb, true},
};

// "NWChem, Psi4, xtb, Gaussian, ORCA"
std::string listedPrograms() {
  std::vector<const Reader *> listed;
  for (const Reader &reader : READERS)
    listed.push_back(&reader);
  std::sort(listed.begin(), listed.end(),
            [](const Reader *a, const Reader *b) { return a->listed < b->listed; });
  std::string names;
  for (const Reader *reader : listed)
    names += (names.empty() ? "" : ", ") + std::string(reader->program);
  return names;
}

} // namespace

std::span<const Reader> readers() {
  return READERS;
}

std::string readTextFile(const std::filesystem::path &file) {
  std::error_code ec;
  const auto status = std::filesystem::status(file, ec);
  if (status.type() == std::filesystem::file_type::not_found)
    throw Error(file.string() + ": no such file; check the name and the folder");
  if (status.type() != std::filesystem::file_type::regular)
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

void showOutputTexts(QcRecord &rec) {
  rec.version = shownText(rec.version);
  rec.energyLevel = shownText(rec.energyLevel);
  rec.energyMethod = shownText(rec.energyMethod);
}

QcRecord readOutput(const std::filesystem::path &file) {
  std::string text = readTextFile(file);
  const Reader *reader = recognisedBy(readers(), text);
  if (!reader)
    throw Error(file.string() + ": not an output of a known program (" + listedPrograms() + ")");
  QcRecord rec = reader->read(file, text);
  rec.sourceFile = file.string();
  showOutputTexts(rec);
  return rec;
}

} // namespace orvalen::qc
