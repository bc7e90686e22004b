#pragma once

// An output file that is never seen half-written: it is written under a hidden
// temporary name in the target's own folder and renamed into place only when
// complete, so that a reader sees the old file or the new one, never a
// mixture, and a failed write (a full disk) leaves the old file as it was.
//   OutputFile out("job.out", "job.out");
//   out.stream() << ...;
//   out.commit(); // or the destructor removes the temporary file
// The replaced file's permission bits are kept (a new file gets 0666 less the
// umask); when the target is a symbolic link, the file it points to is
// replaced and the link stays. A target that is a device or a pipe
// (/dev/null, /dev/stdout, a FIFO) cannot be replaced: it is refused, or,
// where the program allows it, written directly.

#include <filesystem>
#include <fstream>
#include <memory>
#include <span>
#include <string>

namespace orvalen {

// What an output that exists and is neither a regular file nor a directory
// (a device, a pipe) gets.
enum class NonRegularTarget { Refuse, WriteDirectly };

class OutputFile {
public:
  // Creates the temporary file. Throws orvalen::Error naming `shownName` when
  // the target is a directory or another file than a regular one (unless
  // `nonRegular` says to write such a one directly), or its folder cannot
  // take a new file. `bufferSize` sets the stream's buffer.
  OutputFile(const std::filesystem::path &target, std::string shownName,
             std::size_t bufferSize = 8192, NonRegularTarget nonRegular = NonRegularTarget::Refuse);
  OutputFile(const OutputFile &) = delete;
  OutputFile &operator=(const OutputFile &) = delete;
  ~OutputFile(); // removes the temporary file unless it was renamed into place

  std::ostream &stream() { return out_; }
  // The file being written, for reading back what was written before commit().
  const std::filesystem::path &temporaryPath() const { return temp_; }
  // A device or pipe written directly: no temporary file, nothing renamed.
  bool direct() const { return direct_; }
  const std::filesystem::path &target() const { return target_; }
  const std::string &shownName() const { return shown_; }

  // Flushes and closes the temporary file (orvalen::Error "<name>: write
  // error: ..." when the data did not all reach the disk; the temporary file
  // is then removed). Then finish() renames it into place.
  void close();
  void finish();
  void commit() {
    close();
    finish();
  }

private:
  std::filesystem::path target_; // the regular file replaced (links followed)
  std::filesystem::path temp_;
  std::string shown_;
  std::unique_ptr<char[]> buffer_;
  std::ofstream out_;
  bool direct_ = false;
  bool closed_ = false;
  bool done_ = false;
};

// Several outputs of one run, renamed into place only when every one of them
// is complete: a failure in any leaves every target as it was. The renames
// hold an advisory lock (flock) on each folder they happen in, so that two
// runs writing the same files leave all the outputs of one of them, never
// some of each.
void commitAll(std::span<OutputFile *const> outputs);

// True when `path` exists and is neither a regular file nor a directory (a
// device or a pipe), its links followed, or is a file under /dev
// (/dev/stdout sent to a file by the shell).
bool isDeviceOrPipe(const std::filesystem::path &path);

// True when both paths name the same existing file (device and inode, after
// following links).
bool sameFile(const std::filesystem::path &a, const std::filesystem::path &b);

} // namespace orvalen
