#include "core/loaders/dropped_name.h"

#include <gtest/gtest.h>

#include <map>

#include "core/files/folder_walk.h"

namespace vk2::test {
namespace {

TEST(DroppedNameTest, SortsEachKindOfName) {
  const std::map<std::string, int32_t> disk = {
      {"/m/a.mp3", kPathFile},   {"/m/list.M3U", kPathFile},     {"/m/list.pls", kPathFile},
      {"/m/dir", kPathFolder},   {"/base/rel/a.mp3", kPathFile}, {"/m/real*name.mp3", kPathFile},
      {"/m.d/noext", kPathFile}, {"/m/mix.m3u8", kPathFile},
  };
  const PathKindProbe probe = [&](const TString& path) {
    auto it = disk.find(Utf8(path).c_str());
    return it == disk.end() ? int32_t{kPathAbsent} : it->second;
  };
  const TString filters[] = {u"*.xpl", u"*.pls", u"*.m3u; *.m3u8"};
  struct Case {
    const char* text;
    DroppedKind kind;
    const char* pathOrUrl;
    int32_t loader;
  } cases[] = {
      {"", DroppedKind::kEmpty, "", -1},
      {"http://host/x", DroppedKind::kStream, "http://host/x", -1},
      {"HTTP://HOST/x", DroppedKind::kStream, "HTTP://HOST/x", -1},
      {"https://host/x", DroppedKind::kStream, "https://host/x", -1},
      {"ftp://host/x.mp3", DroppedKind::kStream, "ftp://host/x.mp3", -1},
      {"file:///m/a.mp3", DroppedKind::kMediaFile, "file:///m/a.mp3", -1},
      {"FILE:///m/dir", DroppedKind::kFolder, "/m/dir", -1},
      {"/m/a.mp3", DroppedKind::kMediaFile, "file:///m/a.mp3", -1},
      {"rel/a.mp3", DroppedKind::kMediaFile, "file:///base/rel/a.mp3", -1},
      {"/m/list.M3U", DroppedKind::kPlaylistFile, "/m/list.M3U", 2},
      {"/m/mix.m3u8", DroppedKind::kPlaylistFile, "/m/mix.m3u8", 2},
      {"/m/list.pls", DroppedKind::kPlaylistFile, "/m/list.pls", 1},
      {"/m/dir", DroppedKind::kFolder, "/m/dir", -1},
      {"/m/*.mp3", DroppedKind::kPattern, "/m/*.mp3", -1},
      {"/m/real*name.mp3", DroppedKind::kMediaFile, "file:///m/real*name.mp3", -1},
      {"/m/missing.mp3", DroppedKind::kAbsent, "/m/missing.mp3", -1},
      {"3d://x", DroppedKind::kAbsent, "/base/3d://x", -1},
      {"/m.d/noext", DroppedKind::kMediaFile, "file:///m.d/noext", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const DroppedName name = SortDroppedName(Utf16(c.text), filters, u"/base/", probe);
    EXPECT_EQ(name.kind, c.kind);
    const bool hasUrl = name.kind == DroppedKind::kStream || name.kind == DroppedKind::kMediaFile;
    if (c.kind != DroppedKind::kEmpty) {
      EXPECT_EQ(std::string(Utf8(hasUrl ? name.url : name.path).c_str()), c.pathOrUrl);
    }
    EXPECT_EQ(name.loader, c.loader);
  }
}

TEST(DroppedNameTest, ExtensionsComeFromTheFileNameOnly) {
  const struct {
    const char* path;
    const char* extension;
  } cases[] = {
      {"/a/b.mp3", ".mp3"},
      {"/a.d/b", "b"},
      {"/a/b.tar.gz", ".gz"},
      {"/a/.hidden", ".hidden"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(std::string(Utf8(FileExtension(Utf16(c.path))).c_str()), c.extension) << c.path;
}

}  // namespace
}  // namespace vk2::test
