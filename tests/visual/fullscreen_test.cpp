// The full-screen loop on the headless backend with a fake clock: frames at the frame rate and
// only as the clock moves, keys acting on the player, the visuals and the modes, Esc ending it.
#include <gtest/gtest.h>

#include <thread>

#include "foundation/util/result.h"
#include "platform/fake_clock.h"
#include "tests/visual/visual_test_support.h"
#include "visual/fullscreen/fullscreen_session.h"
#include "visual/fullscreen/headless_fullscreen_backend.h"

namespace vk2::test {
namespace {

const std::vector<FullscreenMode> kModes = {{64, 48, 32}, {32, 24, 32}, {32, 24, 16}, {16, 12, 32}};

class FullscreenTest : public ::testing::Test {
 protected:
  FullscreenTest() {
    for (const char* file : {"g1_recorder.vvp", "g1_probe.vvp", "rt_module.vvp"})
      EXPECT_EQ(f.host->AddFile(Utf16(PluginPath(file))), kOk);
    auto made = std::make_unique<HeadlessFullscreenBackend>(kModes);
    backend = made.get();
    session = std::make_unique<FullscreenSession>(
        RefPtr<MVisualHost>(f.host.Get()), std::move(made), clock, [this](const TString& name) {
          lookedUp = Utf8(name).c_str();
          return RefPtr<MPlayer>(f.player.Get());
        });
  }
  ~FullscreenTest() override {
    session->Stop();
    if (thread.joinable()) thread.join();
  }

  void Start(FullscreenRequest request) {
    thread = std::thread([this, request] { result = session->Run(request); });
    ASSERT_TRUE(clock.WaitForSleepers(1)) << "the loop waits for its next frame";
  }
  // One frame's time, then until the loop waits again.
  void NextFrame() {
    const uint64_t before = session->FramesRendered();
    clock.Advance(17);
    for (int i = 0; i < 10000 && session->FramesRendered() == before; ++i)
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    ASSERT_TRUE(clock.WaitForSleepers(1));
  }
  void Quit() {
    backend->Inject(FullscreenAction::kQuit);
    clock.Advance(17);
    thread.join();
  }
  void Press(FullscreenAction action) {
    backend->Inject(action);
    NextFrame();
  }

  HostFixture f;
  FakeClock clock;
  HeadlessFullscreenBackend* backend = nullptr;
  std::unique_ptr<FullscreenSession> session;
  std::thread thread;
  bool result = false;
  std::string lookedUp;
};

TEST_F(FullscreenTest, RendersOneFramePerFrameTimeOnlyAsTheClockMoves) {
  Start({});
  EXPECT_EQ(lookedUp, "default");
  EXPECT_EQ(backend->State().mode, kModes[0]);
  EXPECT_FALSE(backend->State().switched) << "render sizes, no mode switch unless chosen";
  const uint64_t first = session->FramesRendered();
  EXPECT_EQ(first, 1u);
  // No time passes: no frame, however long we wait in real time.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(session->FramesRendered(), first) << "the loop does not spin";
  for (int i = 0; i < 5; ++i)
    NextFrame();
  EXPECT_EQ(session->FramesRendered(), first + 5);
  EXPECT_EQ(backend->State().frames, first + 5);
  EXPECT_EQ(backend->State().lastWidth, 64);
  Quit();
  EXPECT_TRUE(result);
  EXPECT_TRUE(backend->State().closed);
}

TEST_F(FullscreenTest, KeysDriveThePlayerTheVisualsAndTheModes) {
  const uint32_t probe = f.IdOfFile("g1_probe.vvp");
  ASSERT_NE(probe, 0u);
  FullscreenRequest request;
  request.visualName = Utf16(PluginPath("g1_probe.vvp"));
  Start(request);
  EXPECT_EQ(session->CurrentVisualId(), probe);

  Press(FullscreenAction::kPlayerNext);
  Press(FullscreenAction::kPlayerPrevious);
  Press(FullscreenAction::kPlay);
  Press(FullscreenAction::kStop);
  EXPECT_EQ(f.player->Diary(), (std::vector<std::string>{"next", "previous", "play", "stop"}));
  for (int i = 0; i < 7; ++i)
    Press(FullscreenAction::kVolumeUp);
  double volume = 0;
  f.player->GetVolume(&volume);
  EXPECT_DOUBLE_EQ(volume, 1.0) << "at most 1";

  // Visuals in list order: recorder (1), probe (2), the runtime module (3); wrapping both ways.
  Press(FullscreenAction::kNextVisual);
  EXPECT_NE(session->CurrentVisualId(), probe);
  Press(FullscreenAction::kNextVisual);
  EXPECT_EQ(session->CurrentVisualId(), f.host->GetNextId(0)) << "wraps to the first";
  Press(FullscreenAction::kPreviousVisual);
  EXPECT_EQ(session->CurrentVisualId(), f.host->GetPrevId(0)) << "wraps to the last";

  // Modes: the largest first; '+' there changes nothing; '-' steps down at the same depth.
  Press(FullscreenAction::kLargerMode);
  EXPECT_EQ(session->CurrentMode(), kModes[0]);
  Press(FullscreenAction::kSmallerMode);
  EXPECT_EQ(session->CurrentMode(), kModes[1]);
  Press(FullscreenAction::kShallowerMode);
  EXPECT_EQ(session->CurrentMode(), kModes[2]);
  Press(FullscreenAction::kSmallerMode);
  EXPECT_EQ(session->CurrentMode(), kModes[2]) << "no smaller mode at 16 bits";
  EXPECT_EQ(backend->State().lastWidth, 32);
  Quit();
}

TEST_F(FullscreenTest, ActionsOfTheKeys) {
  FullscreenAction a;
  ASSERT_TRUE(ActionOfCharacter('%', &a));
  EXPECT_EQ(a, FullscreenAction::kPlayerPrevious);
  ASSERT_TRUE(ActionOfCharacter('\'', &a));
  EXPECT_EQ(a, FullscreenAction::kPlayerNext);
  ASSERT_TRUE(ActionOfCharacter(27, &a));
  EXPECT_EQ(a, FullscreenAction::kQuit);
  EXPECT_FALSE(ActionOfCharacter('q', &a));
}

TEST(Fullscreen, WithoutAnyVisualTheDisplayEndsAtOnce) {
  HostFixture f;
  FakeClock clock;
  FullscreenSession session(RefPtr<MVisualHost>(f.host.Get()),
                            std::make_unique<HeadlessFullscreenBackend>(kModes), clock,
                            [&](const TString&) { return RefPtr<MPlayer>(f.player.Get()); });
  EXPECT_FALSE(session.Run({}));
}

}  // namespace
}  // namespace vk2::test
