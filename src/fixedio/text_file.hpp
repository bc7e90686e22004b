#pragma once

// Text files as the program uses them: opened if they exist and created empty
// if they do not, read line by line with an end-of-file test.

#include "fixedio/format.hpp"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace orvalen {

inline constexpr std::size_t LINE_LEN = 255; // characters of a line that a read sees

// Makes sure `path` names a regular file that can be used, creating it empty
// when it does not exist. Throws orvalen::Error naming `shownName` when it is a
// directory or cannot be created or opened.
void ensureFile(const std::filesystem::path &path, const std::string &shownName);

// A sequential text file read one line at a time, like a formatted read unit.
// Lines may end in LF or CR LF; a line is cut to its first 255 characters.
// The file is read in large blocks, so a line costs no system call.
class LineFile {
public:
  // Opens an existing file (use ensureFile first to create a missing one).
  LineFile(const std::filesystem::path &path, std::string shownName);

  bool atEnd();               // true when every line has been read
  fixedio::Record readLine(); // "(a255)"; throws orvalen::Error at the end of the file
  // The same into a record whose storage is reused, for reads line after line.
  void readLine(fixedio::Record &record);
  void skipLine();                          // a read that transfers nothing; throws at the end
  long lineNumber() const { return line_; } // number of lines read so far
  const std::string &name() const { return name_; }

private:
  struct Close {
    void operator()(std::FILE *f) const { std::fclose(f); }
  };
  static constexpr std::size_t BLOCK = 65536;

  bool fill(); // reads the next block; false at the end of the file
  void nextLine(std::string *text);

  std::unique_ptr<std::FILE, Close> file_;
  std::unique_ptr<char[]> block_;
  std::size_t pos_ = 0; // next unread character of the block
  std::size_t end_ = 0; // characters in the block
  std::string name_;
  long line_ = 0;
};

} // namespace orvalen
