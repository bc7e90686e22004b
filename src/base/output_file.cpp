#include "base/output_file.hpp"

#include "base/error.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace orvalen {

namespace fs = std::filesystem;

namespace {

// The file a path ends at once its symbolic links are followed; a dangling
// link gives the file it would create. Forty links at most, as the kernel.
fs::path followLinks(const fs::path &path, const std::string &shown) {
  fs::path p = path;
  std::error_code ec;
  for (int hops = 0; fs::is_symlink(fs::symlink_status(p, ec)); ++hops) {
    if (hops == 40)
      throw Error(shown + ": cannot write: too many levels of symbolic links");
    const fs::path to = fs::read_symlink(p, ec);
    if (ec)
      throw Error(shown + ": cannot write: " + ec.message());
    p = to.is_absolute() ? to : p.parent_path() / to;
  }
  return p;
}

// ".job.out.tmp-<random>" beside the target: hidden, and clearly whose it is.
// A long name is shortened so that the temporary name stays within the 255
// bytes a folder entry may have.
fs::path temporaryName(const fs::path &target, std::mt19937_64 &random) {
  char suffix[17];
  std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
  return target.parent_path() /
         ("." + target.filename().string().substr(0, 200) + ".tmp-" + suffix);
}

} // namespace

OutputFile::OutputFile(const fs::path &target, std::string shownName, std::size_t bufferSize)
    : target_(followLinks(target, shownName)), shown_(std::move(shownName)),
      buffer_(new char[bufferSize]) {
  if (target.native().find('\0') != std::string::npos)
    throw Error(shown_ + ": cannot open file: its name holds a NUL character");
  std::error_code ec;
  const auto status = fs::status(target_, ec);
  if (fs::is_directory(status))
    throw Error(shown_ + ": cannot open file: it is a directory");
  if (fs::exists(status) && !fs::is_regular_file(status))
    throw Error(shown_ + ": cannot open file: it is not a regular file");

  // The kernel applies the umask to 0666 at creation; a replaced file's own
  // bits are set on the temporary file before it takes the file's place.
  std::random_device seed;
  std::mt19937_64 random((static_cast<std::uint64_t>(seed()) << 32) ^ seed() ^
                         static_cast<std::uint64_t>(::getpid()));
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp_ = temporaryName(target_, random);
    fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST)
      break;
  }
  if (fd < 0)
    throw Error(shown_ + ": cannot open file for writing: " + std::strerror(errno));
  struct stat old {};
  if (fs::exists(status) && ::stat(target_.c_str(), &old) == 0)
    ::fchmod(fd, old.st_mode & 07777);
  ::close(fd);

  out_.rdbuf()->pubsetbuf(buffer_.get(), static_cast<std::streamsize>(bufferSize));
  out_.open(temp_, std::ios::binary | std::ios::trunc);
  if (!out_) {
    const int error = errno;
    fs::remove(temp_, ec);
    throw Error(shown_ + ": cannot open file for writing: " + std::strerror(error));
  }
}

OutputFile::~OutputFile() {
  if (done_)
    return;
  if (out_.is_open())
    out_.close();
  std::error_code ec;
  fs::remove(temp_, ec);
}

void OutputFile::close() {
  if (closed_)
    return;
  errno = 0;
  out_.flush();
  const bool flushed = static_cast<bool>(out_);
  const int flushError = errno;
  out_.close();
  closed_ = true;
  if (!flushed || !out_) {
    const int error = flushError != 0 ? flushError : errno;
    std::error_code ec;
    fs::remove(temp_, ec);
    done_ = true; // nothing left to remove
    throw Error(shown_ + ": write error" +
                (error != 0 ? ": " + std::string(std::strerror(error)) : "") +
                "; the file was left as it was");
  }
}

void OutputFile::finish() {
  if (done_)
    return;
  close();
  std::error_code ec;
  fs::rename(temp_, target_, ec);
  if (ec) {
    fs::remove(temp_, ec);
    done_ = true;
    throw Error(shown_ + ": cannot put the written file in place: " + ec.message());
  }
  done_ = true;
}

void commitAll(std::span<OutputFile *const> outputs) {
  for (OutputFile *out : outputs)
    out->close(); // every write checked before any file is replaced
  for (OutputFile *out : outputs)
    out->finish();
}

bool sameFile(const fs::path &a, const fs::path &b) {
  std::error_code ec;
  return fs::exists(a, ec) && fs::exists(b, ec) && fs::equivalent(a, b, ec);
}

} // namespace orvalen
