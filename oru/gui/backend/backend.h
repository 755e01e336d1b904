// What the GUI layer needs of a window system: top-level windows with a position, a size, a
// shape and pixels to present, input events, a wait that a post can interrupt, a clipboard.
// One implementation talks to SDL2, one keeps everything in memory for tests. Called on the
// loop thread only, except Wake.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interfaces/graphics/surface.h"
#include "interfaces/gui/window_element.h"

namespace vk2::gui {

struct BackendEvent {
  enum class Type {
    kNone,
    kPointerMove,
    kButtonDown,
    kButtonUp,
    kWheel,
    kKeyDown,
    kKeyUp,
    kText,
    kDrop,
    kPointerLeave,
    kCloseRequest,
    kExposed,
    kFocusLost,
    kMoved,  // the window system moved the window (x, y on the screen)
  };
  Type type = Type::kNone;
  uint32_t window = 0;
  int32_t x = 0;  // relative to the window, except kMoved
  int32_t y = 0;
  int32_t button = 0;  // 1 left, 2 right, 3 middle
  int32_t clicks = 1;
  int32_t key = 0;
  uint32_t modifiers = 0;
  int32_t wheel = 0;
  std::u16string text;
  std::vector<std::u16string> paths;
};

// A display windows can cover, in screen coordinates.
struct Monitor {
  std::u16string name;
  RectI bounds;
  RectI usable;  // without the panels and docks the window system keeps for itself
  bool primary = false;
};

class GuiBackend {
 public:
  virtual ~GuiBackend() = default;

  // A new hidden window of 1x1 at (0, 0); ids are never 0 and never reused.
  virtual uint32_t CreateWindow() = 0;
  virtual void DestroyWindow(uint32_t window) = 0;
  virtual void SetWindowRect(uint32_t window, const RectI& screenRect) = 0;
  virtual void ShowWindow(uint32_t window, bool show) = 0;
  virtual void MinimizeWindow(uint32_t window, bool minimize) = 0;
  virtual void SetAlwaysOnTop(uint32_t window, bool onTop) = 0;
  // 0-256; ignored where the window system does not composite.
  virtual void SetOpacity(uint32_t window, int32_t opacity) = 0;
  virtual void SetTitle(uint32_t window, const std::u16string& title) = 0;
  virtual void RaiseWindow(uint32_t window, bool top) = 0;
  // Shows `pixels` (the window's size, premultiplied ARGB); `damage` is what changed.
  virtual void Present(uint32_t window, const SurfaceView& pixels, const RectI& damage) = 0;
  // The outline as a 1-bit mask of the window's size; null: the whole rectangle.
  virtual void SetShape(uint32_t window, const SurfaceView* mask) = 0;

  virtual bool PollEvent(BackendEvent* event) = 0;
  // Sleeps until an event arrives, Wake is called or the clock reaches `deadlineMs`
  // (kNoDeadline: no limit).
  virtual void Wait(uint64_t deadlineMs) = 0;
  // Thread-safe: ends the current or the next Wait.
  virtual void Wake() = 0;

  virtual PointI PointerOnScreen() = 0;
  virtual std::u16string ClipboardText() = 0;
  virtual void SetClipboardText(const std::u16string& text) = 0;
  virtual void EnableTextInput(bool enable) = 0;
  // How many times Wait returned (idle wake-up measurements).
  virtual uint64_t WakeCount() = 0;
  // The displays, the primary one first; empty where the window system tells of none.
  virtual std::vector<Monitor> Monitors() { return {}; }
  // The window system's own id of a window (the X11 window), 0 where there is none.
  virtual uint64_t NativeHandle(uint32_t window) {
    (void)window;
    return 0;
  }
};

}  // namespace vk2::gui
