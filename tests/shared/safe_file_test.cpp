// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/safe_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

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
  // The temporary file cannot be created: a folder stands in its place.
  fs::create_directories(dir / "a.bmp.velmor-tmp");
  EXPECT_FALSE(WriteFileReplacing(f.string(), "new"));
  EXPECT_EQ(Read(f), "old");
  // A folder of that name cannot be replaced by a file.
  fs::create_directories(dir / "b.bmp");
  EXPECT_FALSE(WriteFileReplacing((dir / "b.bmp").string(), "x"));
  EXPECT_TRUE(fs::is_directory(dir / "b.bmp"));
  // A folder that does not exist.
  EXPECT_FALSE(WriteFileReplacing((dir / "none" / "c.bmp").string(), "x"));
}

}  // namespace
}  // namespace velmor
