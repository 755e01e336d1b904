// A full-screen backend in memory, for tests: a list of modes, the presented frames counted
// and the last one kept, and actions injected by the test.
#pragma once

#include <deque>
#include <mutex>
#include <vector>

#include "visual/fullscreen/fullscreen_backend.h"

namespace vk2 {

class HeadlessFullscreenBackend final : public FullscreenBackend {
 public:
  explicit HeadlessFullscreenBackend(std::vector<FullscreenMode> modes);

  std::vector<FullscreenMode> Modes(int32_t display) override;
  bool Open(int32_t display, const FullscreenMode& mode, bool switchMode) override;
  void Present(const SurfaceView& image) override;
  bool PollAction(FullscreenAction* action) override;
  void Close() override;

  void Inject(FullscreenAction action);
  struct Snapshot {
    bool open = false;
    bool closed = false;
    FullscreenMode mode;
    bool switched = false;
    uint64_t frames = 0;
    std::vector<uint32_t> lastFrame;
    int32_t lastWidth = 0;
    int32_t lastHeight = 0;
    size_t pendingActions = 0;
  };
  Snapshot State();

 private:
  std::mutex lock_;
  std::vector<FullscreenMode> modes_;
  std::deque<FullscreenAction> actions_;
  Snapshot state_;
};

}  // namespace vk2
