// What the full-screen display needs of a window system: the display's modes, one borderless
// window covering a display (switching its mode only when asked), presenting an image, and the
// keys pressed, already turned into the display's actions.
#pragma once

#include <cstdint>
#include <vector>

#include "interfaces/graphics/surface.h"

namespace vk2 {

struct FullscreenMode {
  int32_t width = 0;
  int32_t height = 0;
  int32_t depth = 32;
  friend bool operator==(const FullscreenMode&, const FullscreenMode&) = default;
};

enum class FullscreenAction {
  kQuit,            // Esc
  kPlayerPrevious,  // '%' or the left arrow
  kPlayerNext,      // '\'' or the right arrow
  kVolumeUp,        // '&' or the up arrow
  kVolumeDown,      // '(' or the down arrow
  kPlay,            // 'x'
  kStop,            // 'c'
  kLargerMode,      // '+'
  kSmallerMode,     // '-'
  kDeeperMode,      // ']'
  kShallowerMode,   // '['
  kPreviousVisual,  // '.'
  kNextVisual,      // ';'
};

// The action of a typed character, or false.
bool ActionOfCharacter(char32_t c, FullscreenAction* action);

class FullscreenBackend {
 public:
  virtual ~FullscreenBackend() = default;
  // The modes of `display`, largest first; the current one when the display cannot list them.
  virtual std::vector<FullscreenMode> Modes(int32_t display) = 0;
  // Covers `display` with a window; with `switchMode` the display is switched to `mode`,
  // otherwise `mode` is only the size the visual renders at (scaled to the display).
  virtual bool Open(int32_t display, const FullscreenMode& mode, bool switchMode) = 0;
  virtual void Present(const SurfaceView& image) = 0;
  virtual bool PollAction(FullscreenAction* action) = 0;
  // Restores the display's mode when it was switched; closes the window.
  virtual void Close() = 0;
};

}  // namespace vk2
