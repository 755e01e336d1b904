#include "platform/whole_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "tests/support/temp_folder.h"

namespace vk2 {
namespace {

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

class WholeFileTest : public ::testing::Test {
 protected:
  test::TempFolder tmp_;
};

TEST_F(WholeFileTest, WritesAndReadsBackAnyContents) {
  std::string big(1 << 20, '\0');
  for (size_t i = 0; i < big.size(); ++i)
    big[i] = static_cast<char>(i * 131 + 7);
  for (const std::string& contents :
       {std::string(), std::string("<registry/>\n"), std::string("a\0b\r\n\xFF", 6), big}) {
    const std::string path = tmp_ / "file.xml";
    ASSERT_FALSE(WriteFileAtomic(path, contents));
    std::string read;
    ASSERT_FALSE(ReadWholeFile(path, &read));
    EXPECT_EQ(read, contents);
  }
  EXPECT_EQ(tmp_.List(), std::vector<std::string>{"file.xml"}) << "no temporary file left";
}

TEST_F(WholeFileTest, NewFilesArePrivateAndReplacedFilesKeepTheirMode) {
  ASSERT_FALSE(WriteFileAtomic(tmp_ / "new", "x"));
  EXPECT_EQ(ModeOf(tmp_ / "new"), 0600u);
  ASSERT_FALSE(WriteFileAtomic(tmp_ / "shared", "x", 0644));
  EXPECT_EQ(ModeOf(tmp_ / "shared"), 0644u);
  ASSERT_EQ(chmod((tmp_ / "new").c_str(), 0640), 0);
  ASSERT_FALSE(WriteFileAtomic(tmp_ / "new", "y"));
  EXPECT_EQ(ModeOf(tmp_ / "new"), 0640u);
}

TEST_F(WholeFileTest, FailuresLeaveTheOldFileAndNoTemporaryFile) {
  ASSERT_EQ(mkdir((tmp_ / "folder").c_str(), 0700), 0);
  EXPECT_EQ(WriteFileAtomic(tmp_ / "folder", "x"), std::errc::is_a_directory);
  EXPECT_EQ(WriteFileAtomic(tmp_ / "missing/file", "x"), std::errc::no_such_file_or_directory);
  EXPECT_EQ(WriteFileAtomic("", "x"), std::errc::invalid_argument);
  EXPECT_EQ(tmp_.List(), std::vector<std::string>{"folder"});

  // A folder we may not write into (root may write anywhere, so only checked for others).
  ASSERT_FALSE(WriteFileAtomic(tmp_ / "folder/keep", "old"));
  ASSERT_EQ(chmod((tmp_ / "folder").c_str(), 0500), 0);
  if (geteuid() != 0) {
    EXPECT_EQ(WriteFileAtomic(tmp_ / "folder/keep", "new"), std::errc::permission_denied);
    std::string read;
    ASSERT_FALSE(ReadWholeFile(tmp_ / "folder/keep", &read));
    EXPECT_EQ(read, "old");
  }
  chmod((tmp_ / "folder").c_str(), 0700);
}

TEST_F(WholeFileTest, LinksAreFollowedAndKept) {
  ASSERT_FALSE(WriteFileAtomic(tmp_ / "real", "old"));
  ASSERT_EQ(symlink("real", (tmp_ / "link").c_str()), 0);
  ASSERT_FALSE(WriteFileAtomic(tmp_ / "link", "new"));
  struct stat st {};
  ASSERT_EQ(lstat((tmp_ / "link").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  std::string read;
  ASSERT_FALSE(ReadWholeFile(tmp_ / "real", &read));
  EXPECT_EQ(read, "new");
  // A dangling link gets its file made.
  ASSERT_EQ(symlink("later", (tmp_ / "dangling").c_str()), 0);
  ASSERT_FALSE(WriteFileAtomic(tmp_ / "dangling", "made"));
  ASSERT_FALSE(ReadWholeFile(tmp_ / "later", &read));
  EXPECT_EQ(read, "made");
}

TEST_F(WholeFileTest, ReadErrors) {
  std::string read = "untouched";
  EXPECT_EQ(ReadWholeFile(tmp_ / "absent", &read), std::errc::no_such_file_or_directory);
  EXPECT_EQ(ReadWholeFile(tmp_.Path(), &read), std::errc::is_a_directory);
  EXPECT_EQ(read, "untouched");
}

TEST_F(WholeFileTest, FilesLargerThanTheLimitAreRefusedBeforeAnythingIsRead) {
  struct Case {
    const char* name;
    off_t size;
    uint64_t limit;
    bool read;
  };
  const Case cases[] = {
      {"at the limit", 4096, 4096, true},
      {"one byte over", 4097, 4096, false},
      {"a sparse terabyte, default limit", off_t{1} << 40, kMaxWholeFileBytes, false},
  };
  for (const Case& c : cases) {
    const std::string path = tmp_ / "sized";
    { std::ofstream out(path, std::ios::binary | std::ios::trunc); }
    ASSERT_EQ(truncate(path.c_str(), c.size), 0) << c.name;
    std::string read = "untouched";
    const std::error_code ec = ReadWholeFile(path, &read, c.limit);
    if (c.read) {
      EXPECT_FALSE(ec) << c.name;
      EXPECT_EQ(read.size(), static_cast<size_t>(c.size)) << c.name;
    } else {
      EXPECT_EQ(ec, std::errc::file_too_large) << c.name;
      EXPECT_EQ(read, "untouched") << c.name;
    }
  }
  // A pipe states no size: its bytes are counted as they come.
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  ASSERT_EQ(write(ends[1], "0123456789", 10), 10);
  close(ends[1]);
  std::string read = "untouched";
  EXPECT_EQ(ReadWholeFile("/dev/fd/" + std::to_string(ends[0]), &read, 8),
            std::errc::file_too_large);
  EXPECT_EQ(read, "untouched");
  close(ends[0]);
}

}  // namespace
}  // namespace vk2
