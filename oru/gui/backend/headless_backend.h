// The backend for tests: windows are records in memory, presented pixels are kept, input is
// injected, and Wait sleeps on the process clock (a FakeClock in tests) so time is stepped.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "oru/gui/backend/backend.h"
#include "platform/clock.h"

namespace vk2::gui {

struct HeadlessWindow {
  RectI rect{0, 0, 1, 1};
  bool visible = false;
  bool minimized = false;
  bool alwaysOnTop = false;
  int32_t opacity = 256;
  int32_t raiseCount = 0;
  std::u16string title;
  std::vector<uint32_t> pixels;  // last presented, rect's size, premultiplied ARGB
  int32_t presentedWidth = 0;
  int32_t presentedHeight = 0;
  uint64_t presentCount = 0;
  bool shaped = false;
  std::vector<uint8_t> shape;  // 1 byte per pixel of the presented size, 1 inside
  int32_t shapeWidth = 0;
};

class HeadlessBackend final : public GuiBackend {
 public:
  HeadlessBackend();
  ~HeadlessBackend() override;

  uint32_t CreateWindow() override;
  void DestroyWindow(uint32_t window) override;
  void SetWindowRect(uint32_t window, const RectI& screenRect) override;
  void ShowWindow(uint32_t window, bool show) override;
  void MinimizeWindow(uint32_t window, bool minimize) override;
  void SetAlwaysOnTop(uint32_t window, bool onTop) override;
  void SetOpacity(uint32_t window, int32_t opacity) override;
  void SetTitle(uint32_t window, const std::u16string& title) override;
  void RaiseWindow(uint32_t window, bool top) override;
  void Present(uint32_t window, const SurfaceView& pixels, const RectI& damage) override;
  void SetShape(uint32_t window, const SurfaceView* mask) override;
  bool PollEvent(BackendEvent* event) override;
  void Wait(uint64_t deadlineMs) override;
  void Wake() override;
  PointI PointerOnScreen() override;
  std::u16string ClipboardText() override;
  void SetClipboardText(const std::u16string& text) override;
  void EnableTextInput(bool enable) override;
  uint64_t WakeCount() override;
  std::vector<Monitor> Monitors() override;

  // ---- For tests (any thread) ----
  void Inject(BackendEvent event);
  // Synthetic input at a point relative to `window`; the pointer position follows.
  void MoveTo(uint32_t window, int32_t x, int32_t y);
  // `modifiers` (kMod*) held during the press, as a click with Ctrl or Shift.
  void Press(uint32_t window, int32_t x, int32_t y, int32_t button = 1, uint32_t modifiers = 0);
  void ReleaseButton(uint32_t window, int32_t x, int32_t y, int32_t button = 1);
  void Click(uint32_t window, int32_t x, int32_t y, int32_t button = 1, uint32_t modifiers = 0);
  void Key(uint32_t window, int32_t key, uint32_t modifiers = 0);
  void Text(uint32_t window, const std::u16string& text);
  void Drop(uint32_t window, int32_t x, int32_t y, std::vector<std::u16string> paths);

  // A copy of the window's record; a default record for an unknown id.
  HeadlessWindow Window(uint32_t window);
  std::vector<uint32_t> WindowIds();
  // What Monitors answers; one primary 1920x1080 display until set.
  void SetMonitors(std::vector<Monitor> monitors);
  bool TextInputEnabled();
  // The last presented pixels as a PNG file (straight alpha); false when nothing was presented.
  bool DumpPng(uint32_t window, const std::string& path);

 private:
  void InjectPointer(BackendEvent::Type type, uint32_t window, int32_t x, int32_t y, int32_t button,
                     uint32_t modifiers = 0);

  std::mutex mutex_;
  std::shared_ptr<ClockSleeper> sleeper_;
  bool woken_ = false;  // guarded by sleeper_->mutex
  std::deque<BackendEvent> events_;
  std::map<uint32_t, HeadlessWindow> windows_;
  uint32_t nextId_ = 1;
  PointI pointer_;
  std::u16string clipboard_;
  bool textInput_ = false;
  uint64_t wakeCount_ = 0;
  std::vector<Monitor> monitors_{
      Monitor{u"Headless", RectI{0, 0, 1920, 1080}, RectI{0, 0, 1920, 1080}, true}};
};

}  // namespace vk2::gui
