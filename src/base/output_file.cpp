#include "base/output_file.hpp"

#include "base/error.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

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

// The renames of one run under an exclusive flock of each folder they happen
// in, taken in the order of the folders' device and inode numbers (so that two
// runs never wait for each other crosswise) and released when it goes. A
// folder that cannot be opened is not locked: its renames happen as before.
class FolderLocks {
public:
  explicit FolderLocks(std::span<OutputFile *const> outputs) {
    std::vector<std::pair<std::pair<dev_t, ino_t>, int>> folders;
    for (const OutputFile *out : outputs) {
      if (out->direct())
        continue;
      const fs::path folder = out->target().parent_path();
      const int fd =
          ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      if (fd < 0)
        continue;
      struct stat st {};
      const bool known =
          ::fstat(fd, &st) != 0 || std::any_of(folders.begin(), folders.end(), [&](const auto &f) {
            return f.first == std::pair{st.st_dev, st.st_ino};
          });
      if (known) {
        ::close(fd);
        continue;
      }
      folders.push_back({{st.st_dev, st.st_ino}, fd});
    }
    std::sort(folders.begin(), folders.end());
    for (const auto &f : folders) {
      while (::flock(f.second, LOCK_EX) != 0 && errno == EINTR) {
      }
      fds_.push_back(f.second);
    }
  }
  FolderLocks(const FolderLocks &) = delete;
  FolderLocks &operator=(const FolderLocks &) = delete;
  ~FolderLocks() {
    for (const int fd : fds_)
      ::close(fd); // releases its lock
  }

private:
  std::vector<int> fds_;
};

// A device or a pipe that the program writes directly.
bool writtenDirectly(const fs::path &target, NonRegularTarget nonRegular) {
  return nonRegular == NonRegularTarget::WriteDirectly && isDeviceOrPipe(target);
}

} // namespace

bool isDeviceOrPipe(const fs::path &path) {
  std::error_code ec;
  const auto status = fs::status(path, ec);
  if (ec || !fs::exists(status) || fs::is_directory(status))
    return false;
  // /dev/stdout is the run's own standard output even when the shell sent it
  // to a file (which may be appended to): written, never replaced.
  return !fs::is_regular_file(status) || path.native().starts_with("/dev/");
}

OutputFile::OutputFile(const fs::path &target, std::string shownName, std::size_t bufferSize,
                       NonRegularTarget nonRegular)
    : target_(writtenDirectly(target, nonRegular) ? target : followLinks(target, shownName)),
      shown_(std::move(shownName)), buffer_(new char[bufferSize]),
      direct_(writtenDirectly(target, nonRegular)) {
  if (target.native().find('\0') != std::string::npos)
    throw Error(shown_ + ": cannot open file: its name holds a NUL character");
  if (direct_) {
    // The kernel finds the device or pipe (/dev/stdout is a link of /proc).
    out_.rdbuf()->pubsetbuf(buffer_.get(), static_cast<std::streamsize>(bufferSize));
    out_.open(target_, std::ios::binary | std::ios::out);
    if (!out_)
      throw Error(shown_ + ": cannot open file for writing: " + std::strerror(errno));
    temp_ = target_;
    return;
  }
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
  if (direct_) {
    if (out_.is_open())
      out_.close();
    return;
  }
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
    if (!direct_)
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
  if (direct_) {
    done_ = true;
    return;
  }
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
  const FolderLocks locks(outputs);
  for (OutputFile *out : outputs)
    out->finish();
}

bool sameFile(const fs::path &a, const fs::path &b) {
  std::error_code ec;
  return fs::exists(a, ec) && fs::exists(b, ec) && fs::equivalent(a, b, ec);
}

} // namespace orvalen
