// Displays launched, ended by Esc and stopped from other threads at once: every session ends,
// every thread is joined, and at most one display runs per device throughout.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "foundation/util/result.h"
#include "tests/visual/control/fullscreen_test_platform.h"

namespace vk2::test {
namespace {

TEST(FullscreenServiceStress, LaunchesQuitsAndStopsRaceSafely) {
  HostFixture f;
  ASSERT_EQ(f.host->AddFile(Utf16(PluginPath("g1_recorder.vvp"))), kOk);
  auto platform = std::make_shared<TestPlatform>(&f);
  RefPtr<FullscreenService> service = FullscreenService::Make(platform, nullptr);
  ASSERT_TRUE(service);
  std::atomic<bool> done{false};
  std::thread ticker([&] {
    while (!done) {
      platform->clock.Advance(17);
      {
        std::lock_guard lock(platform->mutex);
        for (const auto& b : platform->backends) {
          if (!b->State().closed) b->Inject(FullscreenAction::kQuit);
        }
      }
      std::this_thread::yield();
    }
  });
  int launched = 0;
  for (int i = 0; i < 200; ++i) {
    const int32_t r = service->Launch(TString(), TString());
    EXPECT_TRUE(r == kOk || r == kErrAlreadyPresent) << r;
    if (r == kOk) ++launched;
    EXPECT_LE(service->RunningCount(), 1u) << "one display per device";
    if (i % 50 == 49) service->StopAll();
  }
  service->StopAll();
  done = true;
  ticker.join();
  EXPECT_GT(launched, 0);
  EXPECT_EQ(service->RunningCount(), 0u);
}

}  // namespace
}  // namespace vk2::test
