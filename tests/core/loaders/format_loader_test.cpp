#include "core/loaders/format_loader.h"

#include <gtest/gtest.h>

#include "core/playlist/playlist_control.h"
#include "tests/core/fakes/list_playlist.h"
#include "tests/core/formats/documents.h"
#include "tests/core/formats/format_support.h"

namespace vk2::test {
namespace {

std::vector<ItemInfo> Records(std::initializer_list<const char*> urls) {
  std::vector<ItemInfo> records;
  for (const char* url : urls)
    records.push_back(Item(url));
  return records;
}

RefPtr<ListPlaylist> PlaylistOf(std::initializer_list<const char*> urls) {
  RefPtr<ListPlaylist> playlist(new ListPlaylist);
  for (const ItemInfo& record : Records(urls))
    playlist->AddItems(&record, 1, kPlaylistBottom, nullptr);
  playlist->diary.clear();
  return playlist;
}

bool AllLocked(const std::vector<std::string>& diary) {
  for (const std::string& entry : diary) {
    if (entry.ends_with("unlocked")) return false;
  }
  return true;
}

TEST(FormatLoaderTest, DescribesItselfAndSniffsItsFormat) {
  const std::string pls = "[playlist]\nFile1=/a.mp3\nNumberOfEntries=1\n";
  const std::string xpl = "<?xpl version=1.0?><xpl><Entry><URL>x</URL></Entry></xpl>";
  const std::string plain = "/music/a.mp3\n";
  struct Case {
    const PlaylistFormat* format;
    const char* filter;
    const char* description;
    int32_t priority;
    bool readsPls, readsXpl, readsPlain;
  } cases[] = {
      {&kM3uFormat, "*.m3u", "M3U Playlist Files", 0, true, true, true},
      {&kPlsFormat, "*.pls", "PLS Playlist Files", 512, true, false, false},
      {&kXplFormat, "*.xpl", "XPL Playlist Files", 768, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.description);
    RefPtr<MPlaylistLoader> loader = MakeFormatLoader(*c.format, RuntimeDocuments());
    std::vector<PlaylistLoaderDescription> described(3);
    ASSERT_EQ(loader->Describe(&described), 0);
    ASSERT_EQ(described.size(), 1u);
    EXPECT_EQ(U8(described[0].filter), c.filter);
    EXPECT_STREQ(described[0].description.c_str(), c.description);
    EXPECT_EQ(described[0].priority, c.priority);
    TextStream p(pls), x(xpl), m(plain);
    EXPECT_EQ(loader->CanRead(p.get()), c.readsPls);
    EXPECT_EQ(loader->CanRead(x.get()), c.readsXpl);
    EXPECT_EQ(loader->CanRead(m.get()), c.readsPlain);
  }
}

TEST(FormatLoaderTest, ReadIntoPlaylistReplacesTheItemsUnderOneLock) {
  RefPtr<MPlaylistLoader> loader = MakeFormatLoader(kM3uFormat, RuntimeDocuments());
  RefPtr<ListPlaylist> playlist = PlaylistOf({"file:///old.mp3"});
  TextStream stream("a.mp3\nhttp://radio/x\n", "/m/list.m3u");
  EXPECT_EQ(loader->ReadIntoPlaylist(stream.get(), playlist.Get()), 2);
  EXPECT_EQ(playlist->Urls(), (std::vector<std::string>{"file:///m/a.mp3", "http://radio/x"}));
  EXPECT_TRUE(AllLocked(playlist->diary));
  EXPECT_EQ(playlist->lockDepth, 0);
}

TEST(FormatLoaderTest, ReadIntoPlaylistLosesNothingWhenItFails) {
  RefPtr<MPlaylistLoader> xpl = MakeFormatLoader(kXplFormat, RuntimeDocuments());
  RefPtr<MPlaylistLoader> m3u = MakeFormatLoader(kM3uFormat, RuntimeDocuments());
  const std::vector<std::string> old = {"file:///old1.mp3", "file:///old2.mp3"};

  // Unreadable: the playlist is not touched at all.
  RefPtr<ListPlaylist> playlist = PlaylistOf({"file:///old1.mp3", "file:///old2.mp3"});
  TextStream broken("<?xpl version=1.0?><xpl><Entry><URL>", "/m/list.xpl");
  EXPECT_LT(xpl->ReadIntoPlaylist(broken.get(), playlist.Get()), 0);
  EXPECT_EQ(playlist->Urls(), old);
  EXPECT_EQ(playlist->diary, std::vector<std::string>{});

  // The addition refused after the removal: the old items come back.
  playlist->refuseAdds = 1;
  TextStream fine("/new.mp3\n", "/m/list.m3u");
  EXPECT_EQ(m3u->ReadIntoPlaylist(fine.get(), playlist.Get()), kErrRefused);
  EXPECT_EQ(playlist->Urls(), old);
  EXPECT_TRUE(AllLocked(playlist->diary));
  EXPECT_EQ(playlist->lockDepth, 0);
}

TEST(FormatLoaderTest, WritePlaylistWritesWhatOneLockSaw) {
  RefPtr<MPlaylistLoader> loader = MakeFormatLoader(kM3uFormat, RuntimeDocuments());
  RefPtr<ListPlaylist> playlist = PlaylistOf({"file:///m/a.mp3", "http://radio/x"});
  FileStream out;
  out.OpenBuffer(u"/m/list.m3u");
  EXPECT_EQ(loader->WritePlaylist(&out, playlist.Get(), 0, 1), 2);
  EXPECT_EQ(BufferText(out), "a.mp3\nhttp://radio/x\n");
  EXPECT_EQ(playlist->diary, (std::vector<std::string>{"list", "info"}));
}

TEST(FormatLoaderTest, ReadsIntoAndWritesFromARealPlaylist) {
  RefPtr<MPlaylistLoader> loader = MakeFormatLoader(kM3uFormat, RuntimeDocuments());
  RefPtr<PlaylistControl> playlist = PlaylistControl::Create();
  ASSERT_TRUE(playlist);
  TextStream first("a.mp3\nb.mp3\n", "/m/list.m3u");
  EXPECT_EQ(loader->ReadIntoPlaylist(first.get(), playlist.Get()), 2);
  TextStream second("c.mp3\n", "/m/list.m3u");
  EXPECT_EQ(loader->ReadIntoPlaylist(second.get(), playlist.Get()), 1);
  EXPECT_EQ(playlist->GetCount(), 1);
  FileStream out;
  out.OpenBuffer(u"/m/list.m3u");
  EXPECT_EQ(loader->WritePlaylist(&out, playlist.Get(), 0, 1), 1);
  EXPECT_EQ(BufferText(out), "c.mp3\n");
}

}  // namespace
}  // namespace vk2::test
