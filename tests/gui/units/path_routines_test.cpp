#include "gui/paths/path_routines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace vk2::gui {
namespace {

void Touch(const std::string& path) {
  std::ofstream(path) << "x";
}

std::vector<std::string> Sorted(const TArray<TString>& list) {
  std::vector<std::string> out;
  for (const TString& s : list)
    out.push_back(Utf8(s).c_str());
  std::sort(out.begin(), out.end());
  return out;
}

TEST(PathRoutines, DirectoryAndFileNameSplitOnBothSeparators) {
  struct Case {
    const char16_t* path;
    const char* directory;
    const char* name;
  } cases[] = {
      {u"D:\\a\\b.txt", "D:\\a", "b.txt"},
      {u"b.txt", ".", "b.txt"},
      {u"\\b.txt", "", "b.txt"},
      {u"D:/a/b.txt", "D:/a", "b.txt"},
      {u"/usr/lib/x.so", "/usr/lib", "x.so"},
      {u"/x", "", "x"},
      {u"a/b\\c", "a/b", "c"},
      {u"a/", "a", ""},
      {u"", ".", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(TString(c.path)).c_str());
    EXPECT_STREQ(Utf8(PathDirectory(c.path)).c_str(), c.directory);
    EXPECT_STREQ(Utf8(PathFileName(c.path)).c_str(), c.name);
    NarrowString narrow = Utf8(TString(c.path));
    EXPECT_STREQ(PathDirectoryNarrow(narrow.c_str()).c_str(), c.directory);
    EXPECT_STREQ(PathFileNameNarrow(narrow.c_str()).c_str(), c.name);
  }
  EXPECT_TRUE(PathDirectory(nullptr).IsEmpty());
  EXPECT_TRUE(PathFileName(nullptr).IsEmpty());
}

TEST(PathRoutines, TimeRecordsCompareFromYearDownToSecond) {
  FileTimeRecord a{10, 5, 3, 7, 1, 2020};
  FileTimeRecord b = a;
  EXPECT_EQ(CompareTimeRecords(a, b), 0);
  b.second = 4;
  EXPECT_EQ(CompareTimeRecords(a, b), 6);
  b.year = 2021;  // the year decides before the seconds
  EXPECT_EQ(CompareTimeRecords(a, b), -1);
}

TEST(PathRoutines, FileTimesAndExistence) {
  test::TempFolder folder;
  std::string file = folder.Path() + "/f.txt";
  Touch(file);
  TString wide = Utf16(file);
  EXPECT_TRUE(FileExists(wide.c_str()));
  EXPECT_FALSE(IsFolder(wide.c_str()));
  EXPECT_TRUE(IsFolder(Utf16(folder.Path()).c_str()));
  EXPECT_FALSE(FileExists(Utf16(folder.Path() + "/none").c_str()));
  FileTimeRecord when;
  ASSERT_TRUE(GetFileWriteTime(wide.c_str(), &when));
  EXPECT_GE(when.year, 2020);
  EXPECT_LT(when.month, 12);
  EXPECT_FALSE(GetFileWriteTime(Utf16(folder.Path() + "/none").c_str(), &when));
}

TEST(PathRoutines, FindFilesOptions) {
  test::TempFolder folder;
  std::string root = folder.Path();
  Touch(root + "/a.mp3");
  Touch(root + "/b.ogg");
  std::filesystem::create_directory(root + "/sub.mp3");
  Touch(root + "/sub.mp3/c.mp3");
  TString pattern = Utf16(root + "/*.mp3");

  TArray<TString> list;
  list.Append(u"kept");
  EXPECT_EQ(FindFiles(&list, pattern.c_str(), 0), 1);  // bit 0 clear empties the list first
  EXPECT_EQ(Sorted(list), std::vector<std::string>{root + "/a.mp3"});

  EXPECT_EQ(FindFiles(&list, pattern.c_str(), kFindKeepList | kFindRecursive), 2);
  EXPECT_EQ(Sorted(list),
            (std::vector<std::string>{root + "/a.mp3", root + "/a.mp3", root + "/sub.mp3/c.mp3"}));

  EXPECT_EQ(FindFiles(&list, pattern.c_str(), kFindAddFolders | kFindNoFiles), 1);
  EXPECT_EQ(Sorted(list), std::vector<std::string>{root + "/sub.mp3"});

  TArray<NarrowString> narrow;
  EXPECT_EQ(FindFilesNarrow(&narrow, (root + "/*.ogg").c_str(), 0), 1);
  EXPECT_EQ(FindFiles(&list, Utf16(root + "/missing/*").c_str(), 0), 0);
}

TEST(PathRoutines, SortEntriesBySignedKey) {
  for (bool descending : {false, true}) {
    TArray<SortEntry> entries;
    for (int32_t key : {5, -3, 9, 0, -3, 7, 1})
      entries.Append(SortEntry{0, 0, key, 0});
    SortEntries(&entries, descending);
    for (uint32_t i = 1; i < entries.Count(); ++i) {
      if (descending) {
        EXPECT_GE(entries[i - 1].key, entries[i].key);
      } else {
        EXPECT_LE(entries[i - 1].key, entries[i].key);
      }
    }
  }
  TArray<SortEntry> empty;
  SortEntries(&empty, false);
  EXPECT_TRUE(empty.IsEmpty());
}

TEST(PathRoutines, NarrowTextJoinsWideStrings) {
  TString base = u"caf";
  EXPECT_EQ(ConcatNarrow(base, "\xc3\xa9!"), TString(u"caf\u00e9!"));
  AppendNarrow(&base, "e");
  EXPECT_EQ(base, TString(u"cafe"));
  EXPECT_EQ(JoinPath(u"/a/", u"b"), TString(u"/a/b"));
  EXPECT_EQ(JoinPath(u"/a", u"b"), TString(u"/a/b"));
}

}  // namespace
}  // namespace vk2::gui
