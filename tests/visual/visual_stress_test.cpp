// The history written by a chain thread while drawing threads fetch from it and render visuals
// through one shared instance, and handles come and go: no race, no lost entry.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "foundation/util/result.h"
#include "tests/visual/visual_test_support.h"

namespace vk2::test {
namespace {

TEST(VisualStress, TapWritesWhileVisualsRenderAndHandlesComeAndGo) {
  HostFixture f;
  ASSERT_EQ(f.host->AddFile(Utf16(PluginPath("g1_recorder.vvp"))), kOk);
  const uint32_t id = f.host->GetNextId(0);
  MVisualAudioHistory* history = nullptr;
  f.host->GetAudioHistory(&history);
  history->SetFormat(HostFixture::kChain, 2, 44100, 16, false);
  std::atomic<bool> stop{false};
  std::atomic<int32_t> heard{0};

  std::thread writer([&] {
    std::vector<uint8_t> packet(4096, 0x40);
    int32_t total = 0;
    for (int i = 0; i < 3000; ++i) {
      history->Trim(HostFixture::kChain, total - 44100 * 4);
      history->Append(HostFixture::kChain, packet.data(), static_cast<uint32_t>(packet.size()));
      total += static_cast<int32_t>(packet.size());
      f.player->Set("heardbytes", total - 8192);
    }
    stop = true;
  });
  std::vector<std::thread> drawers;
  for (int t = 0; t < 2; ++t) {
    drawers.emplace_back([&, t] {
      Target target(16 + 8 * t, 8);
      while (!stop) {
        RefPtr<MVisual> visual = f.ById(id);
        ASSERT_TRUE(visual);
        if (!visual->Attach(f.player.Get(), kVisualDrawMode)) continue;
        RefPtr<MVisualRenderer> renderer = RefPtr<MVisualRenderer>::Adopt(visual->GetRenderer());
        for (int i = 0; i < 20 && renderer; ++i) {
          renderer->Render(&target.view, 0, 0, target.view.width, target.view.height, nullptr, 0);
          visual->NeedsRedraw();
        }
      }
    });
  }
  writer.join();
  for (std::thread& d : drawers)
    d.join();
  EXPECT_EQ(f.host->GetCount(), 1u);
  EXPECT_TRUE(f.ById(id));
}

}  // namespace
}  // namespace vk2::test
