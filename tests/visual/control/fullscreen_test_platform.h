// A full-screen platform for tests: two displays, headless backends the test can reach, the
// handler and player of a HostFixture, and a fake clock.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/fake_clock.h"
#include "tests/visual/visual_test_support.h"
#include "visual/fullscreen/fullscreen_service.h"
#include "visual/fullscreen/headless_fullscreen_backend.h"

namespace vk2::test {

inline constexpr Guid kSecond = MakeGuid("6F1D2C3B-4A59-4E68-8877-665544332211");

// Hands a session a backend that the platform keeps alive after the session has gone.
class SharedBackend final : public FullscreenBackend {
 public:
  explicit SharedBackend(std::shared_ptr<HeadlessFullscreenBackend> b) : b_(std::move(b)) {}
  std::vector<FullscreenMode> Modes(int32_t display) override { return b_->Modes(display); }
  bool Open(int32_t display, const FullscreenMode& mode, bool switchMode) override {
    return b_->Open(display, mode, switchMode);
  }
  void Present(const SurfaceView& image) override { b_->Present(image); }
  bool PollAction(FullscreenAction* action) override { return b_->PollAction(action); }
  void Close() override { b_->Close(); }

 private:
  std::shared_ptr<HeadlessFullscreenBackend> b_;
};

class TestPlatform final : public FullscreenPlatform {
 public:
  explicit TestPlatform(HostFixture* f) : f_(f) {}
  bool Devices(std::vector<FullscreenDevice>* devices) override {
    if (!reachable) return false;
    *devices = {{TString(u"display0"), TString(u"Primary display"), Guid{}, 0},
                {TString(u"display1"), TString(u"Second display"), kSecond, 1}};
    return true;
  }
  std::unique_ptr<FullscreenBackend> NewBackend() override {
    auto backend =
        std::make_shared<HeadlessFullscreenBackend>(std::vector<FullscreenMode>{{64, 48, 32}});
    std::lock_guard lock(mutex);
    backends.push_back(backend);
    return std::make_unique<SharedBackend>(backend);
  }
  RefPtr<MVisualHost> Host() override { return RefPtr<MVisualHost>(f_->host.Get()); }
  RefPtr<MPlayer> FindPlayer(const TString&) override { return RefPtr<MPlayer>(f_->player.Get()); }
  Clock& SessionClock() override { return clock; }

  bool reachable = true;
  FakeClock clock{1000};
  std::mutex mutex;
  std::vector<std::shared_ptr<HeadlessFullscreenBackend>> backends;

 private:
  HostFixture* f_;
};

}  // namespace vk2::test
