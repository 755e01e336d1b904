// Where the core objects' script callbacks run: on the GUI loop thread while a GUI loop runs
// (posted, in the order raised), and on the raising thread when none runs.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "component/module/runtime_loader.h"
#include "interfaces/gui/app.h"
#include "interfaces/ids.h"
#include "interfaces/script/handler_call.h"
#include "tests/core/script/support/script_harness.h"

namespace vk2::test {
namespace {

// What the callbacks saw of the thread they ran on.
struct Sightings {
  MOmbrixApp* app = nullptr;
  std::atomic<int> onGui{0};
  std::atomic<int> elsewhere{0};
};

int32_t NoteThread(HandlerCall& call) {
  auto* seen = reinterpret_cast<Sightings*>(call.handlerData);
  (seen->app->IsGuiThread() ? seen->onGui : seen->elsewhere)++;
  return 0;
}

// Holds the GUI loop thread until Open(): what is posted meanwhile waits behind it.
class LoopGate {
 public:
  static void Hold(void* context) {
    auto* gate = static_cast<LoopGate*>(context);
    std::unique_lock lock(gate->mutex_);
    gate->changed_.wait(lock, [gate] { return gate->open_; });
  }
  void Open() {
    {
      std::lock_guard lock(mutex_);
      open_ = true;
    }
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
};

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

class GuiCallbacksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The headless backend: a loop thread without any display.
    setenv("VK2_GUI_BACKEND", "headless", 1);
    ASSERT_TRUE(harness_.Start()) << harness_.Error();
    app_ = CreateRuntimeObject<MOmbrixApp>(kBrintClass, kIID_MOmbrixApp);
    ASSERT_TRUE(app_);
    seen_.app = app_.Get();
    ASSERT_TRUE(
        harness_.AddTestFunction(u"NoteThread", &NoteThread, reinterpret_cast<uintptr_t>(&seen_)));
    ASSERT_EQ(harness_.Answer("playlists.SetIdleScan(\"none\", 0);"
                              "playlists.AddPlaylist(\"default\"); players.AddPlayer(\"default\");"
                              "return (\"ready\");"),
              "ready");
    // One callback of each kind of object: a playlist (raised on its worker), a player (on its
    // event thread) and a container (on the thread that changed it).
    harness_.Run(
        "playlists.default.RegisterCallback(\"ItemsAdded\", \"test.NoteThread();\");"
        "players.default.RegisterCallback(\"VolumeChanged\", \"test.NoteThread();\");"
        "playlists.RegisterCallback(\"Added\", \"test.NoteThread();\");");
  }
  void TearDown() override {
    if (app_) app_->Shutdown();
  }
  // Sets off one event of each of the three objects.
  void RaiseThree(const std::string& playlistName, const std::string& volume) {
    harness_.Run(
        "playlists.default.AddItem(\"/m/a.wav\");"
        "players.default.SetVolume(" +
        volume +
        ");"
        "playlists.AddPlaylist(\"" +
        playlistName + "\");");
  }
  int Total() const { return seen_.onGui.load() + seen_.elsewhere.load(); }

  ScriptHarness harness_;
  RefPtr<MOmbrixApp> app_;
  Sightings seen_;
};

TEST_F(GuiCallbacksTest, WithoutAGuiLoopCallbacksRunWhereTheyAreRaised) {
  RaiseThree("second", "0.25");
  EXPECT_TRUE(WaitFor([&] { return Total() == 3; }, 10000)) << Total();
  EXPECT_EQ(seen_.elsewhere.load(), 3);
  EXPECT_EQ(seen_.onGui.load(), 0);
}

TEST_F(GuiCallbacksTest, WhileAGuiLoopRunsCallbacksArePostedToIt) {
  ASSERT_EQ(app_->Launch(0, nullptr, nullptr, 0), 0);
  // With the loop held, nothing posted can run: a callback that runs meanwhile ran in place.
  LoopGate gate;
  ASSERT_EQ(app_->PostToGuiThread(&LoopGate::Hold, &gate), 0);
  RaiseThree("second", "0.25");
  // The player and playlist raise on their own threads: give them time to, and raise two more
  // playlist events that come after those already set off.
  harness_.Run(
      "playlists.default.RegisterCallback(\"ItemsRemoved\", \"test.NoteThread();\");"
      "$m = playlists.default.AddItem(\"/m/b.wav\");"
      "playlists.default.RemoveItems($m);");
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(Total(), 0) << "a callback ran while the GUI loop was held";
  gate.Open();
  EXPECT_TRUE(WaitFor([&] { return Total() == 5; }, 10000)) << Total();
  EXPECT_EQ(seen_.onGui.load(), 5);
  EXPECT_EQ(seen_.elsewhere.load(), 0);

  // Once the loop has shut down, callbacks run in place again.
  ASSERT_EQ(app_->Shutdown(), 0);
  RaiseThree("third", "0.5");
  EXPECT_TRUE(WaitFor([&] { return Total() == 8; }, 10000)) << Total();
  EXPECT_EQ(seen_.elsewhere.load(), 3);
}

TEST_F(GuiCallbacksTest, AScriptOnTheGuiThreadRunsItsCallbacksAtOnce) {
  ASSERT_EQ(app_->Launch(0, nullptr, nullptr, 0), 0);
  // A container event raised by a script on the loop thread runs before the script goes on.
  struct Context {
    ScriptHarness* harness;
    Sightings* seen;
    std::atomic<int> before{-1};
    std::atomic<bool> done{false};
  } context{&harness_, &seen_};
  ASSERT_EQ(app_->PostToGuiThread(
                [](void* p) {
                  auto* c = static_cast<Context*>(p);
                  c->harness->Run("playlists.AddPlaylist(\"fromgui\");");
                  c->before = c->seen->onGui.load();
                  c->done = true;
                },
                &context),
            0);
  ASSERT_TRUE(WaitFor([&] { return context.done.load(); }, 10000));
  EXPECT_EQ(context.before.load(), 1);
}

}  // namespace
}  // namespace vk2::test
