#include "report/text_file.hpp"

#include "report/error.hpp"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace orvalen {

namespace fs = std::filesystem;

void ensureFile(const fs::path &path, const std::string &shownName) {
  // A NUL would silently cut the name the system opens.
  if (path.native().find('\0') != std::string::npos)
    throw Error(shownName + ": cannot open file: its name holds a NUL character");
  std::error_code ec;
  const auto status = fs::status(path, ec);
  if (fs::is_directory(status))
    throw Error(shownName + ": cannot open file: it is a directory");
  if (fs::exists(status)) {
    // A device or a pipe could stream without end: only plain files are read.
    if (!fs::is_regular_file(status))
      throw Error(shownName + ": cannot open file: it is not a regular file");
    return;
  }
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
  // Only the first 255 characters of a line are kept; the rest of a longer
  // line is passed over without being held in memory.
  fmt::Record rec;
  std::streambuf *buf = in_.rdbuf();
  std::size_t length = 0;
  for (int c = buf->sbumpc(); c != std::char_traits<char>::eof() && c != '\n'; c = buf->sbumpc()) {
    if (length++ <= LINE_LEN)
      rec.text += static_cast<char>(c);
  }
  if (length == rec.text.size() && !rec.text.empty() && rec.text.back() == '\r')
    rec.text.pop_back(); // CR LF line end
  if (rec.text.size() > LINE_LEN)
    rec.text.resize(LINE_LEN);
  rec.file = name_;
  rec.line = ++line_;
  return rec;
}

void LineFile::skipLine() {
  readLine();
}

} // namespace orvalen
