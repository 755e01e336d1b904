#include "core/loaders/generic_loader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "core/files/folder_walk.h"
#include "core/loaders/format_loader.h"
#include "tests/core/formats/documents.h"
#include "tests/core/fakes/list_playlist.h"
#include "tests/support/temp_folder.h"

namespace vk2::test {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

// The three formats in category order, as the module registers them.
GenericLoaderEnvironment ThreeFormats() {
  GenericLoaderEnvironment environment;
  environment.listLoaders = [](std::vector<PlaylistLoaderEntry>* out) {
    for (const PlaylistFormat* format : {&kPlsFormat, &kM3uFormat, &kXplFormat}) {
      RefPtr<MPlaylistLoader> loader = MakeFormatLoader(*format, RuntimeDocuments());
      std::vector<PlaylistLoaderDescription> descriptions;
      loader->Describe(&descriptions);
      out->push_back({descriptions[0], loader});
    }
    return 0;
  };
  return environment;
}

class GenericLoaderTest : public ::testing::Test {
 protected:
  GenericLoaderTest() : playlist_(new ListPlaylist), loader_(MakeGenericLoader(ThreeFormats())) {}

  int32_t Add(const std::string& text, TArray<uint32_t>* ids = nullptr) {
    return loader_->AddToPlaylist(playlist_.Get(), Utf16(text), ids);
  }
  std::string Url(const std::string& name) const { return "file://" + folder_ / name; }

  TempFolder folder_;
  RefPtr<ListPlaylist> playlist_;
  RefPtr<MGenericLoader> loader_;
};

TEST_F(GenericLoaderTest, AFolderAddsItsTreeInOrderSurvivingALinkLoop) {
  folder_.Write("b.ogg", {});
  folder_.Write("a.mp3", {});
  // Named .m3u but holding a PLS section: still read by the M3U loader.
  folder_.Write("list.m3u", Bytes("[playlist]\nx.mp3\n"));
  // Named .pls without the marker: the PLS loader declines, the M3U loader reads it.
  folder_.Write("odd.pls", Bytes("d.wav\n"));
  std::filesystem::create_directory(folder_ / "sub");
  folder_.Write("sub/c.wav", {});
  std::filesystem::create_directory_symlink(folder_.Path(), folder_ / "sub/loop");

  TArray<uint32_t> ids;
  EXPECT_EQ(Add(folder_.Path(), &ids), 6);
  EXPECT_EQ(playlist_->Urls(),
            (std::vector<std::string>{Url("a.mp3"), Url("b.ogg"), Url("[playlist]"), Url("x.mp3"),
                                      Url("d.wav"), Url("sub/c.wav")}));
  EXPECT_EQ(ids.Count(), 6u);
  // Runs of media files go in as one addition each, not one per file.
  EXPECT_EQ(playlist_->diary, (std::vector<std::string>{"add 2 unlocked", "add 2 unlocked",
                                                        "add 1 unlocked", "add 1 unlocked"}));
}

TEST_F(GenericLoaderTest, NamesAnswerByWhatTheyAre) {
  folder_.Write("a.mp3", {});
  folder_.Write("b.ogg", {});
  folder_.Write("c.ogg", {});
  struct Case {
    std::string text;
    int32_t result;
    std::vector<std::string> urls;
  } cases[] = {
      {"", kErrMissingArg, {}},
      {folder_ / "missing.mp3", kErrNoInterface, {}},
      {"HTTP://127.0.0.1:8000/stream", 1, {"HTTP://127.0.0.1:8000/stream"}},
      {folder_ / "a.mp3", 1, {Url("a.mp3")}},
      {"file://" + folder_ / "a.mp3", 1, {Url("a.mp3")}},
      {folder_ / "*.ogg", 2, {Url("b.ogg"), Url("c.ogg")}},
      {folder_ / "nothing*", 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    playlist_->items.clear();
    TArray<uint32_t> ids;
    EXPECT_EQ(Add(c.text, &ids), c.result);
    EXPECT_EQ(playlist_->Urls(), c.urls);
    EXPECT_EQ(ids.Count(), c.urls.size());
  }
}

TEST_F(GenericLoaderTest, APlaylistFileNamedButUnreadableIsAnError) {
  GenericLoaderEnvironment environment = ThreeFormats();
  // The file goes between the look at the disk and the opening.
  environment.kindOf = [](const TString&) { return int32_t{kPathFile}; };
  RefPtr<MGenericLoader> loader = MakeGenericLoader(environment);
  EXPECT_EQ(loader->AddToPlaylist(playlist_.Get(), Utf16(folder_ / "gone.m3u"), nullptr),
            kErrCannotRead);
  EXPECT_TRUE(playlist_->items.empty());
}

TEST_F(GenericLoaderTest, NamedPlaylistsAreFoundByName) {
  GenericLoaderEnvironment environment = ThreeFormats();
  environment.findPlaylist = [&](const TString& name, RefPtr<MPlaylist>* out) {
    if (!name.Equals(u"default")) return kErrNotFound;
    *out = RefPtr<MPlaylist>(playlist_.Get());
    return kOk;
  };
  RefPtr<MGenericLoader> loader = MakeGenericLoader(environment);
  EXPECT_EQ(loader->AddToNamedPlaylist(u"other", u"http://127.0.0.1/x", nullptr), kErrNotFound);
  EXPECT_EQ(loader->AddToNamedPlaylist(u"default", u"http://127.0.0.1/x", nullptr), 1);
  EXPECT_EQ(playlist_->Urls(), std::vector<std::string>{"http://127.0.0.1/x"});
  std::vector<PlaylistLoaderEntry> loaders;
  EXPECT_EQ(loader->ListLoaders(&loaders), 0);
  ASSERT_EQ(loaders.size(), 3u);
  EXPECT_STREQ(loaders[0].description.description.c_str(), "PLS Playlist Files");
}

}  // namespace
}  // namespace vk2::test
