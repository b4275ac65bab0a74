// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/safe_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace velmor {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(SafeFileName, OnlyTheCurrentDirectory) {
  EXPECT_EQ(SafeFileName("Velmor", "7", ".bmp"), "Velmor7.bmp");
  EXPECT_EQ(SafeFileName("Velmor", "", ".bmp"), "Velmor.bmp");
  EXPECT_EQ(SafeFileName("Velmor_", "опыт 3", ".txt"), "Velmor_опыт 3.txt");
  for (const char* bad : {"../x", "a/b", "a\\b", "..", "x\n", "\t", "a..b"}) {
    EXPECT_EQ(SafeFileName("Velmor", bad, ".bmp"), "") << bad;
  }
  // Invisible characters and those that turn or break the text around them
  // (U+0085, U+2028, U+2029, the right-to-left override U+202E, U+200B,
  // U+FEFF, U+00AD, a tag character), and bytes that are not UTF-8 at all (a
  // lone 0x85, an overlong "/", a surrogate).
  for (const char* bad : {"\u0085", "1\u2028", "1\u2029", "1\u202Epmb.exe", "a\u200Bb", "\uFEFF1",
                          "1\u00AD2", "1\U000E0041", "\x85", "\xC0\xAF", "\xED\xA0\x80"}) {
    EXPECT_EQ(SafeFileName("Velmor", bad, ".bmp"), "") << bad;
  }
  EXPECT_EQ(SafeFileName("Velmor", "日本 №5 😀", ".bmp"), "Velmor日本 №5 😀.bmp");
}

class WriteFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("velmor-safe-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
};

TEST_F(WriteFileTest, ReplacesAnExistingFile) {
  const fs::path f = dir / "a.bmp";
  ASSERT_TRUE(WriteFileReplacing(f.string(), "first"));
  ASSERT_TRUE(WriteFileReplacing(f.string(), "second"));
  EXPECT_EQ(Read(f), "second");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(WriteFileTest, KeepsTheOldFileWhenTheNewOneCannotBeWritten) {
  const fs::path f = dir / "a.bmp";
  ASSERT_TRUE(WriteFileReplacing(f.string(), "old"));
  // A folder of that name cannot be replaced by a file.
  fs::create_directories(dir / "b.bmp");
  EXPECT_FALSE(WriteFileReplacing((dir / "b.bmp").string(), "x"));
  EXPECT_TRUE(fs::is_directory(dir / "b.bmp"));
  // A folder that does not exist.
  EXPECT_FALSE(WriteFileReplacing((dir / "none" / "c.bmp").string(), "x"));
  // A name one byte longer than the file system takes: the temporary file
  // is written, the rename fails, and the temporary file goes again.
  EXPECT_FALSE(WriteFileReplacing((dir / std::string(256, 'n')).string(), "x"));
  EXPECT_EQ(Read(f), "old");
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(dir)) left.push_back(e.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"a.bmp", "b.bmp"}));
}

TEST_F(WriteFileTest, WritesNothingThroughWhatStandsAtATemporaryName) {
  // Whatever a name beside the target holds — a link to another file, a
  // stale file, a folder — is neither written through nor consumed.
  const fs::path victim = dir / "elsewhere";
  {
    std::ofstream(victim) << "precious";
    std::ofstream(dir / "b.bmp.velmor-tmp") << "stale";
  }
  fs::create_symlink(victim, dir / "a.bmp.velmor-tmp");
  fs::create_directories(dir / "c.bmp.velmor-tmp");
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
    ASSERT_TRUE(WriteFileReplacing((dir / name).string(), "picture")) << name;
    EXPECT_FALSE(fs::is_symlink(dir / name)) << name;
    EXPECT_EQ(Read(dir / name), "picture") << name;
  }
  EXPECT_EQ(Read(victim), "precious");
  EXPECT_EQ(Read(dir / "b.bmp.velmor-tmp"), "stale");
  EXPECT_TRUE(fs::is_symlink(dir / "a.bmp.velmor-tmp"));
  EXPECT_TRUE(fs::is_directory(dir / "c.bmp.velmor-tmp"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 7);
  // The longest name the file system takes is not refused for the sake of
  // the temporary name.
  const fs::path longest = dir / std::string(255, 'l');
  ASSERT_TRUE(WriteFileReplacing(longest.string(), "picture"));
  EXPECT_EQ(Read(longest), "picture");
}

}  // namespace
}  // namespace velmor
