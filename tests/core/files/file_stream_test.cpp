#include "core/files/file_stream.h"
#include "core/files/folder_walk.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace vk2 {
namespace {

using test::TempFolder;

void Touch(const std::string& path, const std::string& text = "x") {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(FileStream, MemoryReadStopsAtTheEnd) {
  uint8_t block[4] = {1, 2, 3, 4};
  FileStream s;
  s.OpenMemory(block, 4, true);
  uint8_t out[8] = {};
  uint64_t got = 0;
  EXPECT_TRUE(s.Read(out, 8, &got));
  EXPECT_EQ(got, 4u);
  EXPECT_FALSE(s.Read(out, 1, &got));
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(s.Seek(-1, kSeekEnd), 3);
  EXPECT_TRUE(s.Read(out, 8, &got));
  EXPECT_EQ(got, 1u);
  EXPECT_EQ(out[0], 4);
  EXPECT_EQ(s.Seek(-1, kSeekStart), -1);
  EXPECT_EQ(s.Seek(0, 7), -1);
  EXPECT_EQ(s.Seek(0, kSeekCurrent), 4);
  uint64_t written = 0;
  EXPECT_FALSE(s.Write(out, 1, &written));
}

TEST(FileStream, MemoryWriteWithoutGrowthIsClippedAtTheEnd) {
  uint8_t block[4] = {};
  FileStream s;
  s.OpenMemory(block, 4, false);
  s.Seek(2, kSeekStart);
  uint64_t written = 0;
  EXPECT_TRUE(s.Write("abcd", 4, &written));
  EXPECT_EQ(written, 2u);
  EXPECT_EQ(std::memcmp(block + 2, "ab", 2), 0);
  EXPECT_FALSE(s.Write("x", 1, &written));
}

struct Grower {
  std::vector<uint8_t> storage;
  bool allow = true;
  static bool Grow(void* context, uint8_t** block, uint64_t, uint64_t newSize) {
    auto* self = static_cast<Grower*>(context);
    if (!self->allow) return false;
    self->storage.resize(newSize);
    *block = self->storage.data();
    return true;
  }
};

TEST(FileStream, MemoryWriteAsksTheGrowCallback) {
  Grower grower;
  grower.storage.resize(2);
  FileStream s;
  s.OpenMemory(grower.storage.data(), 2, false, &Grower::Grow, &grower);
  uint64_t written = 0;
  EXPECT_TRUE(s.Write("hello", 5, &written));
  EXPECT_EQ(written, 5u);
  EXPECT_EQ(std::string(grower.storage.begin(), grower.storage.end()), "hello");
  grower.allow = false;
  EXPECT_FALSE(s.Write("!", 1, &written));
  uint64_t size = 0;
  EXPECT_TRUE(s.GetSize(&size));
  EXPECT_EQ(size, 5u);
}

TEST(FileStream, FileContentsAreSharedUntilTheLastRelease) {
  TempFolder dir;
  Touch(dir / "a.txt", "contents");
  FileStream s;
  ASSERT_TRUE(s.Open(Utf16(dir / "a.txt"), kOpenRead | kOpenShareRead | kOpenExisting));
  EXPECT_EQ(s.GetName(), Utf16(dir / "a.txt"));
  const uint8_t* first = nullptr;
  const uint8_t* second = nullptr;
  uint64_t size = 0;
  ASSERT_TRUE(s.GetContents(&first, &size));
  ASSERT_TRUE(s.GetContents(&second, &size));
  EXPECT_EQ(first, second);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(first), size), "contents");
  s.ReleaseContents();
  s.ReleaseContents();
  char buf[4];
  uint64_t got = 0;
  EXPECT_TRUE(s.Read(buf, 4, &got));
  EXPECT_EQ(std::string(buf, got), "cont");
  EXPECT_TRUE(s.Close());
  EXPECT_FALSE(s.Close());
}

TEST(FileStream, OpenRefusesEmptyNamesFoldersAndMissingFiles) {
  TempFolder dir;
  FileStream s;
  EXPECT_FALSE(s.Open(u"", kOpenRead | kOpenExisting));
  EXPECT_FALSE(s.Open(Utf16(dir.Path()), kOpenRead | kOpenExisting));
  EXPECT_FALSE(s.Open(Utf16(dir / "none"), kOpenRead | kOpenExisting));
  EXPECT_FALSE(s.IsOpen());
  EXPECT_TRUE(s.GetName().IsEmpty());
  Touch(dir / "there");
  EXPECT_FALSE(s.Open(Utf16(dir / "there"), kOpenWrite | kOpenCreateNew));
}

TEST(FileStream, FileWritesAndSeeksWith64BitPositions) {
  TempFolder dir;
  FileStream s;
  ASSERT_TRUE(s.Open(Utf16(dir / "w"), kOpenRead | kOpenWrite | kOpenCreateAlways));
  uint64_t written = 0;
  EXPECT_TRUE(s.Write("abcdef", 6, &written));
  EXPECT_EQ(s.Seek(-2, kSeekEnd), 4);
  const int64_t far = int64_t{5} << 32;
  EXPECT_EQ(s.Seek(far, kSeekStart), far);
  uint64_t size = 0;
  EXPECT_TRUE(s.GetSize(&size));
  EXPECT_EQ(size, 6u);
}

TEST(PathKind, TellsFilesFromFolders) {
  TempFolder dir;
  Touch(dir / "f");
  EXPECT_EQ(PathKind(Utf16(dir / "f")), kPathFile);
  EXPECT_EQ(PathKind(Utf16(dir.Path())), kPathFolder);
  EXPECT_EQ(PathKind(Utf16(dir / "none")), kPathAbsent);
  EXPECT_EQ(PathKind(u""), kPathAbsent);
}

std::vector<std::string> Names(const TArray<TString>& list, const std::string& root) {
  std::vector<std::string> out;
  for (const TString& path : list) {
    std::string p = Utf8(path).c_str();
    out.push_back(p.substr(root.size() + 1));
  }
  return out;
}

TEST(WalkFolder, ListsMatchesWithTheFlagsAsked) {
  TempFolder dir;
  mkdir((dir / "sub").c_str(), 0755);
  mkdir((dir / "sub/deep").c_str(), 0755);
  Touch(dir / "b.mp3");
  Touch(dir / "a.MP3");
  Touch(dir / "c.txt");
  Touch(dir / "sub/d.mp3");
  Touch(dir / "sub/deep/e.mp3");
  symlink(dir.Path().c_str(), (dir / "sub/loop").c_str());
  struct Case {
    uint32_t flags;
    const char* pattern;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {0, "*.mp3", {"a.MP3", "b.mp3"}},
      {0, "*", {"a.MP3", "b.mp3", "c.txt"}},
      {kWalkFolders, "*", {"a.MP3", "b.mp3", "c.txt", "sub"}},
      {kWalkFolders | kWalkNoFiles, "*", {"sub"}},
      {kWalkSubfolders, "*.mp3", {"a.MP3", "b.mp3", "sub/d.mp3", "sub/deep/e.mp3"}},
      {0, "?.txt", {"c.txt"}},
  };
  for (const Case& c : cases) {
    TArray<TString> list;
    const int32_t n = WalkFolder(&list, c.flags, Utf16(dir / c.pattern));
    EXPECT_EQ(n, static_cast<int32_t>(c.expected.size())) << c.pattern << " " << c.flags;
    EXPECT_EQ(Names(list, dir.Path()), c.expected) << c.pattern << " " << c.flags;
  }
  TArray<TString> list;
  WalkFolder(&list, 0, Utf16(dir / "c.txt"));
  EXPECT_EQ(WalkFolder(&list, kWalkAppend, Utf16(dir / "b.mp3")), 1);
  EXPECT_EQ(list.Count(), 2u);
}

TEST(WalkFolder, EmptyAndMissingFolders) {
  TempFolder dir;
  TArray<TString> list;
  EXPECT_EQ(WalkFolder(&list, kWalkFolders, Utf16(dir / "*")), 0);
  EXPECT_LT(WalkFolder(&list, 0, Utf16(dir / "none/*")), 0);
}

}  // namespace
}  // namespace vk2
