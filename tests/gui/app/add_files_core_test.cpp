// An add-files job of files, a folder and a playlist file, run by the GUI main object's worker
// against the media core of the runtime: the default playlist receives the items in order, and
// a failing entry is reported with the runtime's message.
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "gui/main/gui_main_object.h"
#include "tests/audio/support/module_sandbox.h"

namespace vk2::gui {
namespace {

class NoHost final : public GuiMainHost {
 public:
  TString ExecutableFolder() override { return u"."; }
  MScriptEngine* ScriptEngine() override { return nullptr; }
  int32_t InstallPackage(const TString&) override { return kErrNoService; }
  int32_t LoadVisual(const TString&) override { return kErrNoService; }
  int32_t StepVisual(bool) override { return kErrNoService; }
  int32_t OpenFilesDialog() override { return kErrNoService; }
  int32_t MinimizeAllWindows() override { return kOk; }
  int32_t ShellOpen(const TString&) override { return 0; }
};

class StatusLog final : public MStatusListener {
 public:
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> errors;
  void OnStatus(const StatusRecord& record, bool) override {
    if (record.subKind != kStatusError) return;
    std::lock_guard lock(mutex);
    errors.push_back(Utf8(record.text).c_str());
    changed.notify_all();
  }
};

class AddFilesCoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadRuntime());
    ASSERT_TRUE(core_.Core());
    ASSERT_EQ(core_.Core()->GetPlaylistManager()->AddRemove(u"default", 1), kOk);
  }
  void TearDown() override {
    if (core_.HasCore()) core_.Core()->RemoveAllObjects();
    owned_.reset();  // before the runtime goes
    UnloadRuntime();
  }

  std::vector<std::string> DefaultUrls() {
    std::vector<std::string> urls;
    RefPtr<MPlaylist> playlist = core_.FindPlaylist(u"default");
    TArray<ItemInfo> items;
    uint32_t revision = 0;
    playlist->GetCurrentItems(&items, &revision);
    for (ItemInfo& item : items) {
      playlist->GetUIDInfo(item.id, &item);
      urls.push_back(Utf8(item.url).c_str());
    }
    return urls;
  }

  test::ModuleSandbox sandbox_{{VK2_TEST_ORU_SO, VK2_TEST_CORE_SO}};
  test::TempFolder folder_;
  std::unique_ptr<RuntimeCoreAccess> owned_ = std::make_unique<RuntimeCoreAccess>();
  RuntimeCoreAccess& core_ = *owned_;
  NoHost host_;
};

TEST_F(AddFilesCoreTest, FilesFoldersAndPlaylistFilesLandInTheDefaultPlaylist) {
  folder_.Write("one.mp3", {});
  std::filesystem::create_directory(folder_ / "album");
  folder_.Write("album/b.ogg", {});
  folder_.Write("album/a.wav", {});
  std::string list = folder_.Write("list.m3u", {'x', '.', 'm', 'p', '3', '\n'});
  {
    RefPtr<GuiMainObject> main = GuiMainObject::Create(&host_, &core_);
    TArray<TString> files;
    for (const std::string& f : {folder_ / "one.mp3", folder_ / "album", list}) {
      files.Append(Utf16(f));
    }
    ASSERT_EQ(main->QueueFiles(u"default", &files, kAddFilesAppend, 0), kOk);
  }  // the worker finishes the job before the object goes
  std::string root = "file://" + folder_.Path();
  EXPECT_EQ(DefaultUrls(), (std::vector<std::string>{root + "/one.mp3", root + "/album/a.wav",
                                                     root + "/album/b.ogg", root + "/x.mp3"}));
  std::vector<TString> names;
  core_.Core()->GetPlaylistManager()->ListNames(&names);
  EXPECT_EQ(names.size(), 1u);  // the job's temporary playlist is gone
}

TEST_F(AddFilesCoreTest, AMissingFileStopsTheJobAndIsReported) {
  folder_.Write("one.mp3", {});
  StatusLog log;
  {
    RefPtr<GuiMainObject> main = GuiMainObject::Create(&host_, &core_);
    main->Status()->AddRemoveListener(&log, 1);
    TArray<TString> files;
    for (const std::string& f : {folder_ / "one.mp3", folder_ / "missing.mp3"}) {
      files.Append(Utf16(f));
    }
    main->QueueFiles(u"default", &files, 0, 0);
    std::unique_lock lock(log.mutex);
    ASSERT_TRUE(
        log.changed.wait_for(lock, std::chrono::seconds(20), [&] { return !log.errors.empty(); }));
  }
  EXPECT_TRUE(DefaultUrls().empty());  // nothing of the job is copied
  ASSERT_EQ(log.errors.size(), 1u);
  EXPECT_EQ(log.errors[0].rfind("Unable to add files to playlist - ", 0), 0u) << log.errors[0];
  EXPECT_NE(log.errors[0], "Unable to add files to playlist - unknown error");
}

}  // namespace
}  // namespace vk2::gui
