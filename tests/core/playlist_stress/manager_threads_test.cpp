// The playlist manager from several threads: the idle-scan setting changes while playlists are
// added and removed by name. Adding reads the setting with the registry locked, so a setting
// change must not hold its own lock while it reads the registry (ThreadSanitizer reports the
// inverted order; a real run could hang, which the watchdog turns into a failure).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <thread>
#include <vector>

#include "core/managers/playlist_manager.h"
#include "tests/core/playlist_control/fake_media_system.h"
#include "tests/core/playlist_control/playlist_support.h"

namespace vk2::test {
namespace {

using namespace std::chrono_literals;

class Owner final : public ComObject<Owner, SilentFace<MUnknown>> {};

TEST(PlaylistManagerThreadsTest, TheIdleScanSettingChangesWhilePlaylistsComeAndGo) {
  auto world = std::make_shared<FakeScanWorld>();
  PlaylistManagerEnvironment environment;
  environment.makePlaylist = [world] {
    PlaylistSettings settings;
    settings.makeMediaSystem = FakeMediaSystems(world);
    settings.ids = RefPtr<MSharedCounter>(new SharedCounter);
    return RefPtr<MPlaylist>(PlaylistControl::Create(std::move(settings)).Get());
  };
  environment.makePreferences = [] { return RefPtr<MPreferenceStore>(); };
  environment.log = [](const RegistryLine&) {};
  RefPtr<Owner> owner(new Owner);
  PlaylistManager manager(owner.Get(), std::move(environment));

  auto run = std::async(std::launch::async, [&] {
    const auto end = std::chrono::steady_clock::now() + 1s;
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
      threads.emplace_back([&, t] {
        for (int i = 0; std::chrono::steady_clock::now() < end; ++i)
          manager.SetIdleScan((i + t) % 2 ? IdleScanMode::kThorough : IdleScanMode::kQuick,
                              static_cast<uint8_t>(i % 2));
      });
      threads.emplace_back([&, t] {
        const TString name = TString::Format(u"list%d", t);
        while (std::chrono::steady_clock::now() < end) {
          EXPECT_EQ(manager.AddRemove(name, 1), 0);
          EXPECT_EQ(manager.AddRemove(name, 0), 0);
        }
      });
    }
    for (std::thread& thread : threads)
      thread.join();
  });
  if (run.wait_for(60s) != std::future_status::ready) {
    std::fprintf(stderr, "manager threads still running after the watchdog's time: deadlock\n");
    std::abort();
  }
  run.get();
  manager.RemoveAll();
  EXPECT_EQ(world->alive, 0);
}

}  // namespace
}  // namespace vk2::test
