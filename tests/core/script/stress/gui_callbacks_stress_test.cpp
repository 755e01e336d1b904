// Callbacks raised on several threads at once while a GUI loop runs: every one reaches the loop
// thread, once, while scripts keep changing the bindings.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "component/module/runtime_loader.h"
#include "interfaces/gui/app.h"
#include "interfaces/ids.h"
#include "interfaces/script/handler_call.h"
#include "tests/core/script/support/script_harness.h"

namespace vk2::test {
namespace {

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

TEST(GuiCallbacksStressTest, CallbacksFromManyThreadsAllRunOnTheLoop) {
  setenv("VK2_GUI_BACKEND", "headless", 1);
  ScriptHarness harness;
  ASSERT_TRUE(harness.Start()) << harness.Error();
  RefPtr<MOmbrixApp> app = CreateRuntimeObject<MOmbrixApp>(kBrintClass, kIID_MOmbrixApp);
  ASSERT_TRUE(app);
  Sightings seen;
  seen.app = app.Get();
  ASSERT_TRUE(
      harness.AddTestFunction(u"NoteThread", &NoteThread, reinterpret_cast<uintptr_t>(&seen)));
  ASSERT_EQ(harness.Answer("playlists.AddPlaylist(\"default\"); return (\"ready\");"), "ready");
  harness.Run(
      "playlists.default.RegisterCallback(\"ItemsAdded\", \"test.NoteThread();\");"
      "playlists.RegisterCallback(\"Added\", \"test.NoteThread();\");");
  ASSERT_EQ(app->Launch(0, nullptr, nullptr, 0), 0);
  constexpr int kThreads = 3;
  constexpr int kRounds = 20;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&harness, t] {
      for (int i = 0; i < kRounds; ++i) {
        const std::string tag = std::to_string(t) + "_" + std::to_string(i);
        // One playlist event (raised on the playlist's worker) and one container event
        // (raised here), and a binding that comes and goes meanwhile.
        harness.Run("playlists.default.AddItem(\"/m/" + tag +
                    ".wav\");"
                    "playlists.AddPlaylist(\"p" +
                    tag +
                    "\");"
                    "playlists.default.RegisterCallback(\"ItemsRemoved\", \"x = 1;\");"
                    "playlists.default.UnregisterCallback(\"ItemsRemoved\", \"\");");
      }
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  constexpr int kExpected = kThreads * kRounds * 2;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (seen.onGui.load() + seen.elsewhere.load() < kExpected &&
         std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(seen.onGui.load(), kExpected);
  EXPECT_EQ(seen.elsewhere.load(), 0);
  EXPECT_EQ(app->Shutdown(), 0);
}

}  // namespace
}  // namespace vk2::test
