// The full-screen backend of the real program: one SDL2 window covering a display. By default
// the display keeps its mode and the visual's image is scaled onto it (the "modes" are only
// render sizes); with a mode switch the window takes the display mode itself. Keys reach the
// display through an event watch, so they arrive whether this thread or the GUI layer's loop
// pumps SDL's events. SDL's calls run on the GUI layer's loop thread when it runs SDL.
#pragma once

#include <deque>
#include <mutex>
#include <vector>

#include "visual/fullscreen/fullscreen_backend.h"
#include "visual/fullscreen/fullscreen_service.h"
#include "visual/fullscreen/video_thread.h"

// SDL's own types, named here so that its headers stay out of the code that includes this.
struct SDL_Window;
union SDL_Event;

namespace vk2 {

class SdlFullscreenBackend final : public FullscreenBackend {
 public:
  // `gui`: the GUI layer's application; when its loop runs SDL, every SDL call is made there.
  explicit SdlFullscreenBackend(RefPtr<MOmbrixApp> gui = nullptr);
  ~SdlFullscreenBackend() override;
  SdlFullscreenBackend(const SdlFullscreenBackend&) = delete;
  SdlFullscreenBackend& operator=(const SdlFullscreenBackend&) = delete;

  // False when SDL's video could not start (no display).
  bool Started() const { return started_; }

  std::vector<FullscreenMode> Modes(int32_t display) override;
  bool Open(int32_t display, const FullscreenMode& mode, bool switchMode) override;
  void Present(const SurfaceView& image) override;
  bool PollAction(FullscreenAction* action) override;
  void Close() override;

  // SDL's window id of the open display (0 when none).
  uint32_t WindowId();

  // The displays SDL reaches, the primary one first; false when there is none.
  static bool Displays(std::vector<FullscreenDevice>* devices, RefPtr<MOmbrixApp> gui = nullptr);

 private:
  static int Watch(void* self, SDL_Event* event);
  void Take(const SDL_Event& event);

  void OpenWindow(int32_t display, const FullscreenMode& mode, bool switchMode, bool* opened);
  void CloseWindow();

  VideoThread video_;
  bool started_ = false;
  // SDL's video was started here and nobody else uses it: this thread owns its queue.
  bool ownsEvents_ = false;
  SDL_Window* window_ = nullptr;
  bool switched_ = false;

  std::mutex lock_;  // windowId_ and actions_: read on whichever thread pumps SDL's events
  uint32_t windowId_ = 0;
  std::deque<FullscreenAction> actions_;
};

}  // namespace vk2
