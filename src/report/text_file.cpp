#include "report/text_file.hpp"

#include "report/error.hpp"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace orvalen {

namespace fs = std::filesystem;

void ensureFile(const fs::path &path, const std::string &shownName) {
  std::error_code ec;
  const auto status = fs::status(path, ec);
  if (fs::is_directory(status))
    throw Error(shownName + ": cannot open file: it is a directory");
  if (fs::exists(status))
    return;
  std::ofstream create(path, std::ios::app);
  if (!create)
    throw Error(shownName + ": cannot create file: " + std::strerror(errno));
}

LineFile::LineFile(const fs::path &path, std::string shownName)
    : in_(path, std::ios::binary), name_(std::move(shownName)) {
  std::error_code ec;
  if (fs::is_directory(path, ec))
    throw Error(name_ + ": cannot open file: it is a directory");
  if (!in_)
    throw Error(name_ + ": cannot open file for reading: " + std::strerror(errno));
}

bool LineFile::atEnd() {
  return in_.peek() == std::ifstream::traits_type::eof();
}

fmt::Record LineFile::readLine() {
  if (atEnd())
    throw Error(name_ + ": unexpected end of file after line " + std::to_string(line_));
  fmt::Record rec;
  std::getline(in_, rec.text);
  if (in_.bad())
    throw Error(name_ + ": read error after line " + std::to_string(line_));
  if (!rec.text.empty() && rec.text.back() == '\r')
    rec.text.pop_back();
  if (rec.text.size() > 255)
    rec.text.resize(255);
  rec.file = name_;
  rec.line = ++line_;
  return rec;
}

void LineFile::skipLine() {
  readLine();
}

} // namespace orvalen
