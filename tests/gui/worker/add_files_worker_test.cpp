#include "gui/main/add_files_worker.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "foundation/util/ref_ptr.h"
#include "foundation/util/result.h"
#include "gui/main/file_kinds.h"
#include "gui/script_base/listener_list.h"
#include "interfaces/gui/gui_application.h"
#include "platform/fake_clock.h"
#include "tests/support/temp_folder.h"

namespace vk2::gui {
namespace {

std::string S(const TString& s) {
  return Utf8(s).c_str();
}

// Records what a job asked for, in order; entries named in `failing` fail.
class RecordingServices final : public AddFilesServices {
 public:
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> log;
  std::set<std::string> failing;
  int temporaries = 0;
  int removed = 0;
  FakeClock* clock = nullptr;  // advanced by 60 ms per loaded entry when set

  int32_t CreateTemporaryPlaylist(const TString& playlistName, TString* tempName) override {
    std::lock_guard lock(mutex);
    *tempName = Utf16(S(playlistName) + "_tmp" + std::to_string(++temporaries));
    return kOk;
  }
  void RemoveTemporaryPlaylist(const TString& tempName) override {
    Note("remove " + S(tempName));
    std::lock_guard lock(mutex);
    ++removed;
    changed.notify_all();
  }
  int32_t LoadEntry(const TString& playlistName, const TString& entry) override {
    if (clock) clock->Advance(60);
    Note("load " + S(entry) + " into " + S(playlistName));
    if (!failing.count(S(entry))) return 2;
    return S(entry) == "unknown" ? kErrBadData : kErrCannotOpen;  // the first has no message
  }
  int32_t InstallPackage(const TString& path) override { return Note("install " + S(path)), 0; }
  int32_t LoadVisual(const TString& path) override { return Note("visual " + S(path)), 0; }
  int32_t CopyToTarget(const TString& tempName, const TString& target, bool append) override {
    Note("copy " + S(tempName) + " to " + S(target) + (append ? " appending" : " replacing"));
    return kOk;
  }
  int32_t Play(const TString& playerName) override { return Note("play " + S(playerName)), 0; }
  TString ErrorMessage(int32_t code) override {
    return code == kErrCannotOpen ? u"The file could not be opened" : TString();
  }

  bool WaitForRemoved(int count) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(20), [&] { return removed >= count; });
  }
  std::vector<std::string> Log() {
    std::lock_guard lock(mutex);
    return log;
  }

 private:
  void Note(std::string line) {
    std::lock_guard lock(mutex);
    log.push_back(std::move(line));
  }
};

class RecordingListener final : public MStatusListener {
 public:
  std::mutex mutex;
  std::vector<std::pair<uint32_t, std::string>> heard;
  std::vector<uint64_t> times;
  FakeClock* clock = nullptr;

  void OnStatus(const StatusRecord& record, bool) override {
    std::lock_guard lock(mutex);
    heard.emplace_back(record.subKind, S(record.text));
    if (clock) times.push_back(clock->NowMs());
  }
};

TArray<TString> Files(std::initializer_list<std::string> names) {
  TArray<TString> files;
  for (const std::string& n : names)
    files.Append(Utf16(n));
  return files;
}

struct WorkerFixture {
  RecordingServices services;
  RefPtr<MListenerList> status{new ListenerList(nullptr, true)};
  RecordingListener listener;
  WorkerFixture() { status->AddRemoveListener(&listener, 1); }
  ~WorkerFixture() { status->AddRemoveListener(&listener, 0); }
};

TEST(AddFilesWorker, EmptyListQueuesNothing) {
  WorkerFixture f;
  {
    AddFilesWorker worker(&f.services, f.status.Get());
    EXPECT_TRUE(worker.IsStarted());
    EXPECT_EQ(worker.QueueFiles(u"default", TArray<TString>(), 0, false), kOk);
  }
  EXPECT_EQ(f.services.temporaries, 0);
}

TEST(AddFilesWorker, JobsRunInOrderAndQueuedJobsRunBeforeTheWorkerEnds) {
  WorkerFixture f;
  {
    AddFilesWorker worker(&f.services, f.status.Get());
    worker.QueueFiles(u"default", Files({"a.mp3"}), kAddFilesPlayImmediately, false);
    worker.QueueFiles(u"other", Files({"b.mp3", "c.ogg"}), kAddFilesAppend, false);
    worker.QueueFiles(u"ignored", Files({"third", "d.mp3"}), 0, true);  // first file names it
  }  // the destructor waits for all three
  EXPECT_EQ(f.services.Log(), (std::vector<std::string>{
                                  "load a.mp3 into default_tmp1",
                                  "copy default_tmp1 to default replacing",
                                  "play default",
                                  "remove default_tmp1",
                                  "load b.mp3 into other_tmp2",
                                  "load c.ogg into other_tmp2",
                                  "copy other_tmp2 to other appending",
                                  "remove other_tmp2",
                                  "load d.mp3 into third_tmp3",
                                  "copy third_tmp3 to third replacing",
                                  "remove third_tmp3",
                              }));
}

TEST(AddFilesWorker, PackagesAndVisualsAreNotLoadedAsAudio) {
  test::TempFolder folder;
  std::filesystem::create_directory(folder / "skin");
  std::ofstream(folder / "skin/index.mml") << "<mml/>";
  std::filesystem::create_directory(folder / "music");
  WorkerFixture f;
  AddFilesWorker worker(&f.services, f.status.Get());
  std::string skin = folder / "skin";
  int32_t count = worker.AddFilesToPlaylist(
      AddFilesJob{u"default", Files({skin, "blue.PACKAGE"}), kAddFilesPlayImmediately, 0});
  EXPECT_EQ(count, 0);
  // Installed, and the target neither copied into nor played.
  EXPECT_EQ(f.services.Log(), (std::vector<std::string>{"install " + skin, "install blue.PACKAGE",
                                                        "remove default_tmp1"}));
  std::string music = folder / "music";
  count = worker.AddFilesToPlaylist(AddFilesJob{u"", Files({music, "fire.vvp"}), 0, 0});
  EXPECT_EQ(count, 2);
  EXPECT_EQ(f.services.Log()[3], "load " + music + " into _tmp2");
  EXPECT_EQ(f.services.Log()[4], "visual fire.vvp");
}

TEST(AddFilesWorker, FileKindTable) {
  test::TempFolder folder;
  std::filesystem::create_directory(folder / "plain");
  struct Case {
    std::string path;
    bool package;
    bool visual;
  } cases[] = {
      {"track.VVP", false, true},  {"x.PACKAGE", true, false},
      {"a.mp3", false, false},     {"s.daf", true, false},
      {"s.vif", true, false},      {"s.VelkoraInterface", true, false},
      {"s.zip", true, false},      {"s.vgf", true, false},
      {"package", false, false},   {folder / "plain", false, false},
      {"dir.x/vvp", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IsInterfacePackage(Utf16(c.path)), c.package);
    EXPECT_EQ(IsVisualPluginFile(Utf16(c.path)), c.visual);
  }
  EXPECT_EQ(GetPathKind(Utf16(folder.Path()).c_str()), PathKind::kFolder);
  EXPECT_EQ(GetPathKind(Utf16(folder / "none").c_str()), PathKind::kMissing);
}

TEST(AddFilesWorker, FailingEntryStopsTheJobAndIsReported) {
  WorkerFixture f;
  f.services.failing.insert("bad.mp3");
  f.services.failing.insert("unknown");
  {
    AddFilesWorker worker(&f.services, f.status.Get());
    worker.QueueFiles(u"default", Files({"good.mp3", "bad.mp3", "never.mp3"}),
                      kAddFilesPlayImmediately, false);
    worker.QueueFiles(u"default", Files({"unknown"}), 0, false);
    ASSERT_TRUE(f.services.WaitForRemoved(2));
  }
  EXPECT_EQ(f.services.Log(), (std::vector<std::string>{
                                  "load good.mp3 into default_tmp1",
                                  "load bad.mp3 into default_tmp1",
                                  "remove default_tmp1",
                                  "load unknown into default_tmp2",
                                  "remove default_tmp2",
                              }));
  std::lock_guard lock(f.listener.mutex);
  ASSERT_EQ(f.listener.heard.size(), 2u);
  EXPECT_EQ(f.listener.heard[0],
            std::make_pair(uint32_t{kStatusError},
                           std::string("Unable to add files to playlist - The file could not be "
                                       "opened")));
  EXPECT_EQ(f.listener.heard[1].second, "Unable to add files to playlist - unknown error");
}

TEST(AddFilesWorker, ProgressIsPostedAtMostEveryHundredMilliseconds) {
  FakeClock clock(1000);
  ScopedClock scoped(clock);
  WorkerFixture f;
  f.services.clock = &clock;
  f.listener.clock = &clock;
  AddFilesWorker worker(&f.services, f.status.Get());
  TArray<TString> files;
  for (int i = 0; i < 10; ++i)
    files.Append(Utf16("f" + std::to_string(i) + ".mp3"));
  EXPECT_EQ(worker.AddFilesToPlaylist(AddFilesJob{u"default", files, 0, 0}), 20);
  std::lock_guard lock(f.listener.mutex);
  ASSERT_GE(f.listener.times.size(), 4u);
  for (size_t i = 1; i < f.listener.times.size(); ++i) {
    EXPECT_GT(f.listener.times[i] - f.listener.times[i - 1], kProgressIntervalMs);
  }
  EXPECT_EQ(f.listener.heard[0],
            std::make_pair(uint32_t{kStatusProgress},
                           std::string("Adding files to default playlist... 4")));
}

// Told of every record; removes itself, or another, while being told.
class SelfRemovingListener final : public MStatusListener {
 public:
  MListenerList* list = nullptr;
  MStatusListener* victim = nullptr;
  std::vector<std::string>* order = nullptr;
  std::string name;
  void OnStatus(const StatusRecord& record, bool) override {
    order->push_back(name + ":" + S(record.text));
    if (victim) list->AddRemoveListener(victim, 0);
  }
};

TEST(ListenerList, CurrentTextQuietListsAndOrder) {
  std::vector<std::string> order;
  for (bool quiet : {false, true}) {
    SCOPED_TRACE(quiet);
    order.clear();
    RefPtr<MListenerList> list(new ListenerList(nullptr, quiet));
    list->Post(u"Playback paused", kStatusCurrent);
    list->Post(u"Loading...", kStatusProgress);  // not the current text
    SelfRemovingListener first, second;
    first.list = second.list = list.Get();
    first.order = second.order = &order;
    first.name = "first";
    second.name = "second";
    list->AddRemoveListener(&first, 1);
    list->AddRemoveListener(&second, 1);
    if (quiet) {
      EXPECT_TRUE(order.empty());
    } else {
      EXPECT_EQ(order,
                (std::vector<std::string>{"first:Playback paused", "second:Playback paused"}));
    }
    order.clear();
    second.victim = &first;  // the newest is told first and removes the other
    list->Post(u"x", kStatusProgress);
    EXPECT_EQ(order, std::vector<std::string>{"second:x"});
    EXPECT_EQ(list->AddRemoveListener(&first, 0), kErrMissingArg);
    EXPECT_EQ(list->AddRemoveListener(nullptr, 1), kErrMissingArg);
    EXPECT_EQ(list->AddRemoveListener(&second, 0), kOk);
  }
}

}  // namespace
}  // namespace vk2::gui
