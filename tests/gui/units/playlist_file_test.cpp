// Playlist files written through a loader replace the old file only once complete.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "gui/bridge/playlist_file.h"
#include "interfaces/ids.h"
#include "tests/support/temp_folder.h"

namespace vk2::gui {
namespace {

// Writes its text, then answers as told.
class TextLoader final : public ComObject<TextLoader, Face<MPlaylistLoader, kIID_MPlaylistLoader>> {
 public:
  std::string text;
  int32_t answer = kOk;
  int32_t Describe(std::vector<PlaylistLoaderDescription>*) override { return kOk; }
  bool CanRead(vk2::FileStream*) override { return true; }
  int32_t ReadIntoPlaylist(vk2::FileStream*, MPlaylist*) override { return kOk; }
  int32_t Read(vk2::FileStream*, ItemInfoArray*) override { return kOk; }
  int32_t WritePlaylist(vk2::FileStream* stream, MPlaylist*, int32_t, int32_t) override {
    uint64_t written = 0;
    stream->Write(text.data(), text.size(), &written);
    return answer;
  }
  int32_t Write(vk2::FileStream*, const ItemInfoArray&, int32_t, int32_t) override { return kOk; }
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(PlaylistFileTest, AFailedWriteKeepsTheOldFileAndLeavesNothingBehind) {
  test::TempFolder folder;
  const std::string path = folder / "Velkora.xpl";
  std::ofstream(path) << "the last good list";
  RefPtr<TextLoader> loader(new TextLoader);
  loader->text = "half a li";
  loader->answer = kErrCannotWrite;
  EXPECT_FALSE(WritePlaylistFile(loader.Get(), nullptr, Utf16(path), 1, 0));
  EXPECT_EQ(Slurp(path), "the last good list");
  EXPECT_EQ(folder.List(), std::vector<std::string>{"Velkora.xpl"});

  loader->text = "a new list";
  loader->answer = kOk;
  EXPECT_TRUE(WritePlaylistFile(loader.Get(), nullptr, Utf16(path), 1, 0));
  EXPECT_EQ(Slurp(path), "a new list");
  EXPECT_EQ(folder.List(), std::vector<std::string>{"Velkora.xpl"});
}

TEST(PlaylistFileTest, AMissingFolderWritesNothing) {
  test::TempFolder folder;
  RefPtr<TextLoader> loader(new TextLoader);
  EXPECT_FALSE(WritePlaylistFile(loader.Get(), nullptr, Utf16(folder / "no/such.xpl"), 1, 0));
  EXPECT_FALSE(ReadPlaylistFile(loader.Get(), nullptr, Utf16(folder / "no/such.xpl")));
}

}  // namespace
}  // namespace vk2::gui
