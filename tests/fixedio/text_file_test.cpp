#include "base/error.hpp"
#include "fixedio/text_file.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
  const fixedio::Record cut = f.readLine();
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

// The reader takes the file in blocks; a line may start in one block and end
// in the next, and a CR LF may be cut between them. Three files, the second and
// third shifted by one and two characters, put a CR last in a block whatever
// the block size; the 1000-character lines cross every boundary of the second
// half of the file.
TEST(LineFile, LinesAcrossTheReadersBlocks) {
  TempDir dir;
  std::string longLine;
  for (int i = 0; i < 1000; ++i)
    longLine += static_cast<char>('a' + i % 26);
  for (int shift = 0; shift < 3; ++shift) {
    std::string text(static_cast<std::size_t>(shift), '#');
    text += '\n';
    std::vector<std::string> expected = {std::string(static_cast<std::size_t>(shift), '#')};
    for (int i = 0; i < 70000; ++i) {
      text += "x\r\n";
      expected.emplace_back("x");
    }
    for (int i = 0; i < 300; ++i) {
      text += longLine + (i % 2 == 0 ? "\r\n" : "\n");
      expected.push_back(longLine.substr(0, 255));
    }
    text += "end";
    expected.emplace_back("end");
    dir.write("big.dat", text);

    LineFile f(dir / "big.dat", "big.dat");
    std::size_t wrong = 0;
    fixedio::Record rec;
    for (std::size_t n = 0; n < expected.size(); ++n) {
      ASSERT_FALSE(f.atEnd()) << "shift " << shift << ", line " << n + 1;
      f.readLine(rec);
      if (rec.text != expected[n] || rec.line != static_cast<long>(n + 1))
        if (++wrong < 5)
          ADD_FAILURE() << "shift " << shift << ", line " << n + 1 << ": [" << rec.text << "]";
    }
    EXPECT_EQ(wrong, 0u);
    EXPECT_TRUE(f.atEnd());
    EXPECT_EQ(rec.file, "big.dat");
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
