#include "fixedio/text_file.hpp"

#include "base/error.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
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
    : file_(std::fopen(path.c_str(), "rb")), block_(new char[BLOCK]), name_(std::move(shownName)) {
  const int openError = errno;
  std::error_code ec;
  if (fs::is_directory(path, ec))
    throw Error(name_ + ": cannot open file: it is a directory");
  if (!file_)
    throw Error(name_ + ": cannot open file for reading: " + std::strerror(openError));
  std::setvbuf(file_.get(), nullptr, _IONBF, 0); // the block is the only buffer
}

bool LineFile::fill() {
  pos_ = 0;
  end_ = std::fread(block_.get(), 1, BLOCK, file_.get());
  if (end_ == 0 && std::ferror(file_.get()))
    throw Error(name_ + ": read error after line " + std::to_string(line_) + ": " +
                std::strerror(errno));
  return end_ > 0;
}

bool LineFile::atEnd() {
  return pos_ == end_ && !fill();
}

// Passes over the next line, keeping in `text` (when given) its first 255
// characters without the line end; the rest of a longer line is not held.
void LineFile::nextLine(std::string *text) {
  if (atEnd())
    throw Error(name_ + ": unexpected end of file after line " + std::to_string(line_));
  if (text)
    text->clear();
  for (;;) {
    const char *start = block_.get() + pos_;
    const auto *lf = static_cast<const char *>(std::memchr(start, '\n', end_ - pos_));
    const std::size_t length = lf ? static_cast<std::size_t>(lf - start) : end_ - pos_;
    // One character more than is kept: a CR there is still a line end.
    if (text && text->size() <= LINE_LEN)
      text->append(start, std::min(length, LINE_LEN + 1 - text->size()));
    pos_ += length;
    if (lf) {
      ++pos_;
      break;
    }
    if (!fill())
      break;
  }
  if (text) {
    if (!text->empty() && text->back() == '\r')
      text->pop_back(); // CR LF line end
    if (text->size() > LINE_LEN)
      text->resize(LINE_LEN);
  }
  ++line_;
}

fixedio::Record LineFile::readLine() {
  fixedio::Record record;
  readLine(record);
  return record;
}

void LineFile::readLine(fixedio::Record &record) {
  nextLine(&record.text);
  record.file = name_;
  record.line = line_;
}

void LineFile::skipLine() {
  nextLine(nullptr);
}

} // namespace orvalen
