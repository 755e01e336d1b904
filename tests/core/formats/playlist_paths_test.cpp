#include "core/formats/playlist_paths.h"

#include <gtest/gtest.h>

#include "format_support.h"

namespace vk2::test {
namespace {

TEST(PlaylistPaths, EntriesResolveAgainstTheFolder) {
  struct Case {
    const char* folder;
    const char* entry;
    const char* url;
  };
  const Case cases[] = {
      {"/m/x/", "a.mp3", "file:///m/x/a.mp3"},
      {"/m/x/", "../a.mp3", "file:///m/a.mp3"},
      {"/m/x/", "..\\a.mp3", "file:///m/a.mp3"},
      {"/m/x/", "./sub\\b.mp3", "file:///m/x/sub/b.mp3"},
      {"/m/x/", "../../../../a.mp3", "file:///a.mp3"},
      {"/m/x/", "/abs/a.mp3", "file:///abs/a.mp3"},
      {"/m/x/", "D:\\a.mp3", "file://D:\\a.mp3"},
      {"/m/x/", "http://host/s.mp3", "http://host/s.mp3"},
      {"/m/x/", "weird://x", "weird://x"},
      {"", "a.mp3", "file://a.mp3"},
      {"", "../a.mp3", "file://../a.mp3"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(U8(EntryToUrl(Utf16(c.folder), Utf16(c.entry))), c.url) << c.entry;
  }
}

TEST(PlaylistPaths, LocalUrlsWriteRelativeToTheFolder) {
  struct Case {
    const char* folder;
    const char* url;
    bool relative;
    const char* entry;
  };
  const Case cases[] = {
      {"/m/x/", "file:///m/x/a.mp3", true, "a.mp3"},
      {"/m/x/", "FILE:///m/x/sub/a.mp3", true, "sub/a.mp3"},
      {"/m/x/", "file:///m/b/a.mp3", true, "../b/a.mp3"},
      {"/m/x/", "file:///other/a.mp3", true, "/other/a.mp3"},
      {"/m/x/y/", "file:///m/a.mp3", true, "../../a.mp3"},
      {"/m/x/", "file:///m/X/a.mp3", true, "../X/a.mp3"},
      {"/m/x/", "file:///m/x/a.mp3", false, "/m/x/a.mp3"},
      {"/m/x/", "http://h/a.mp3", true, "http://h/a.mp3"},
      {"", "file:///m/a.mp3", true, "/m/a.mp3"},
      {"/m/x/", "file://rel.mp3", true, "rel.mp3"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(U8(UrlToEntry(Utf16(c.folder), Utf16(c.url), c.relative)), c.entry) << c.url;
  }
}

TEST(PlaylistPaths, FolderOfAPlaylist) {
  EXPECT_EQ(U8(PlaylistFolder(u"/m/x/list.m3u")), "/m/x/");
  EXPECT_EQ(U8(PlaylistFolder(u"list.m3u")), "");
  EXPECT_EQ(U8(PlaylistFolder(u"")), "");
}

}  // namespace
}  // namespace vk2::test
