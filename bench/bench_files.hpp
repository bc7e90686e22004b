#pragma once
// Files for the benchmarks of the readers: a file read whole, its line count,
// and a text written to a temporary file for the length of one benchmark.

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace orvalen::bench {

inline std::string slurp(const std::filesystem::path &p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::size_t lineCount(const std::string &text) {
  std::size_t n = 0;
  for (char c : text)
    n += c == '\n';
  return n;
}

// `text` in a file under the temporary folder, removed at the end.
class TempFile {
public:
  TempFile(const std::string &text, const std::string &extension) {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("orvalen-bench-" + std::to_string(rd()) + extension);
    std::ofstream(path_, std::ios::binary) << text;
  }
  ~TempFile() {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
  }
  TempFile(const TempFile &) = delete;
  TempFile &operator=(const TempFile &) = delete;
  const std::filesystem::path &path() const { return path_; }

private:
  std::filesystem::path path_;
};

} // namespace orvalen::bench
