// Files dropped on an interface window are queued for the default playlist with the player's
// add-files options.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "component/object/com_object.h"
#include "gui/interface_window/file_drop.h"

namespace vk2::gui {
namespace {

class QueueingMain final : public ComObject<QueueingMain, SilentFace<MGuiMain>> {
 public:
  uint32_t options = 0;
  int32_t answer = 0;
  std::string playlist;
  std::vector<std::string> files;
  uint32_t flags = 0xFFFF;
  int32_t nameInList = -1;

  uint32_t* GetAddFilesOptions(uint32_t* out) override {
    *out = options;
    return out;
  }
  int32_t QueueFiles(const char16_t* name, const TArray<TString>* list, uint32_t f,
                     int32_t inList) override {
    playlist = Utf8(TString(name)).c_str();
    files.clear();
    for (const TString& file : *list)
      files.push_back(Utf8(file).c_str());
    flags = f;
    nameInList = inList;
    return answer;
  }
  int32_t AddRemoveListener(MGuiMainListener*, int32_t) override { return 0; }
  int32_t ExecuteCommand(const TArray<TString>*, int32_t) override { return 0; }
  int32_t GetExecutableFolder(TString*) override { return 0; }
  MUnknown** OpenInterfaceWindow(MUnknown** window, const char16_t*, const char16_t*,
                                 const char16_t*, uint32_t, uintptr_t) override {
    return window;
  }
  intptr_t HandleWindowMessage(uint32_t, uintptr_t, intptr_t, int32_t*) override { return 0; }
  int32_t AddRemoveChild(MUnknown*, int32_t) override { return 0; }
  int32_t RemoveAllChildren() override { return 0; }
};

TEST(FileDropTest, DroppedFilesGoToTheDefaultPlaylistWithThePlayersOptions) {
  const char16_t* paths[] = {u"/music/a.ogg", u"/music/b.mp3"};
  FileDropRecord drop;
  drop.count = 2;
  drop.paths = paths;
  struct Case {
    uint32_t options;
    uint32_t flags;
  } cases[] = {{kAddFilesPlayImmediately, 2}, {kAddFilesAppend, 1}, {0x3 | 0x10, 3}, {0, 0}};
  for (const Case& c : cases) {
    RefPtr<QueueingMain> main(new QueueingMain);
    main->options = c.options;
    EXPECT_TRUE(QueueDroppedFiles(main.Get(), &drop));
    EXPECT_EQ(main->playlist, "default");
    EXPECT_EQ(main->files, (std::vector<std::string>{"/music/a.ogg", "/music/b.mp3"}));
    EXPECT_EQ(main->flags, c.flags);
    EXPECT_EQ(main->nameInList, 0);
  }
}

TEST(FileDropTest, NothingToQueueOrARefusalIsNoDrop) {
  RefPtr<QueueingMain> main(new QueueingMain);
  FileDropRecord empty;
  EXPECT_FALSE(QueueDroppedFiles(main.Get(), &empty));
  EXPECT_FALSE(QueueDroppedFiles(main.Get(), nullptr));
  EXPECT_EQ(main->flags, 0xFFFFu);
  const char16_t* paths[] = {u"/x.ogg"};
  FileDropRecord drop;
  drop.count = 1;
  drop.paths = paths;
  main->answer = -4;
  EXPECT_FALSE(QueueDroppedFiles(main.Get(), &drop));
  EXPECT_FALSE(QueueDroppedFiles(nullptr, &drop));
}

}  // namespace
}  // namespace vk2::gui
