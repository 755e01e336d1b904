// One full-screen display: covers a display with one visual of the handler, attached to a
// player, rendering at the chosen mode's size every frame at the host's frame rate (waiting on
// the clock between frames, never spinning), until Esc or Stop. Keys step players, volume,
// modes and visuals.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/core/player.h"
#include "interfaces/visual/visual_host.h"
#include "platform/clock.h"
#include "visual/fullscreen/fullscreen_backend.h"

namespace vk2 {

struct FullscreenRequest {
  TString visualName;  // empty or unknown: the first visual
  TString playerName;  // empty: "default"
  int32_t display = 0;
  bool switchMode = false;  // otherwise modes are only render sizes
  uint32_t frameRate = 60;
};

using PlayerLookup = std::function<RefPtr<MPlayer>(const TString& name)>;

class FullscreenSession {
 public:
  FullscreenSession(RefPtr<MVisualHost> host, std::unique_ptr<FullscreenBackend> backend,
                    Clock& clock, PlayerLookup lookup);
  ~FullscreenSession();
  FullscreenSession(const FullscreenSession&) = delete;
  FullscreenSession& operator=(const FullscreenSession&) = delete;

  // Runs the display on the calling thread until it ends; false when it could not start.
  bool Run(const FullscreenRequest& request);
  // Ends a running display from another thread.
  void Stop();

  uint32_t CurrentVisualId();
  FullscreenMode CurrentMode();
  uint64_t FramesRendered() const { return frames_; }

 private:
  void Handle(FullscreenAction action);
  void ChooseVisual(uint32_t id);
  void StepMode(bool sizeStep, bool forward);
  void SwitchTo(const FullscreenMode& mode);
  void RenderFrame();
  void WaitForNextFrame(uint64_t* deadline, uint32_t frameMs);

  RefPtr<MVisualHost> host_;
  std::unique_ptr<FullscreenBackend> backend_;
  Clock& clock_;
  PlayerLookup lookup_;
  FullscreenRequest request_;
  std::shared_ptr<ClockSleeper> sleeper_ = std::make_shared<ClockSleeper>();
  std::atomic<bool> running_{false};
  std::atomic<uint64_t> frames_{0};

  std::mutex stateLock_;  // what the accessors read
  std::vector<FullscreenMode> modes_;
  FullscreenMode mode_;
  RefPtr<MPlayer> player_;
  RefPtr<MVisual> visual_;
  RefPtr<MVisualRenderer> renderer_;
  uint32_t visualId_ = 0;
  std::vector<uint32_t> image_;
};

}  // namespace vk2
