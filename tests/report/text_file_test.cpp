#include "report/error.hpp"
#include "report/text_file.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

namespace orvalen {
namespace {

using test::TempDir;

TEST(LineFile, LineEndsLongLinesAndEndOfFile) {
  TempDir dir;
  const std::string longLine = std::string(254, 'a') + "bc" + std::string(10000, 'd');
  dir.write("f.dat", "one\r\ntwo\n\n" + std::string(255, 'x') + "\r\n" + longLine + "\nlast");
  LineFile f(dir / "f.dat", "f.dat");
  EXPECT_EQ(f.readLine().text, "one"); // CR LF
  EXPECT_EQ(f.readLine().text, "two");
  EXPECT_EQ(f.readLine().text, "");
  EXPECT_EQ(f.readLine().text, std::string(255, 'x')); // CR after the 255th character
  const fmt::Record cut = f.readLine();
  EXPECT_EQ(cut.text, std::string(254, 'a') + "b"); // only 255 characters are seen
  EXPECT_EQ(cut.line, 5);
  EXPECT_EQ(cut.file, "f.dat");
  EXPECT_FALSE(f.atEnd());
  EXPECT_EQ(f.readLine().text, "last"); // a last line without its line feed
  EXPECT_TRUE(f.atEnd());
  try {
    f.skipLine();
    FAIL();
  } catch (const Error &e) {
    EXPECT_STREQ(e.what(), "f.dat: unexpected end of file after line 6");
  }
}

TEST(EnsureFile, CreatesMissingFilesAndRejectsWhatIsNotAFile) {
  TempDir dir;
  ensureFile(dir / "new.dat", "new.dat");
  EXPECT_TRUE(std::filesystem::is_regular_file(dir / "new.dat"));
  EXPECT_TRUE(LineFile(dir / "new.dat", "new.dat").atEnd());
  std::filesystem::create_directory(dir / "sub.dat");
  EXPECT_THROW(ensureFile(dir / "sub.dat", "sub.dat"), Error);
  EXPECT_THROW(ensureFile("/dev/zero", "/dev/zero"), Error); // would never end
  EXPECT_THROW(ensureFile(dir / "no" / "such" / "x.dat", "x.dat"), Error);
  // "new.dat" exists, but a name cut at a NUL must not open it.
  EXPECT_THROW(ensureFile(dir / std::string("new.dat\0junk", 12), "new.dat"), Error);
}

} // namespace
} // namespace orvalen
