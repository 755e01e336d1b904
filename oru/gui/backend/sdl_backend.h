// The backend for the real program: SDL2 windows (borderless, one per host) with software
// surfaces; outlines through XShape on X11; drops, text input and the clipboard through SDL.
// Created on the loop thread, which then owns SDL's video and event handling.
#pragma once

#include <SDL2/SDL.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "oru/gui/backend/backend.h"

namespace vk2::gui {

class SdlBackend final : public GuiBackend {
 public:
  // Null when SDL's video cannot start (no display).
  static std::unique_ptr<SdlBackend> Create();
  ~SdlBackend() override;

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
  uint64_t WakeCount() override { return wakeCount_; }

  std::vector<Monitor> Monitors() override;
  uint64_t NativeHandle(uint32_t window) override;

 private:
  SdlBackend(uint32_t wakeEvent) : wakeEvent_(wakeEvent) {}
  SDL_Window* Find(uint32_t window) const;
  bool Translate(const SDL_Event& in, BackendEvent* out);

  uint32_t wakeEvent_;
  std::map<uint32_t, SDL_Window*> windows_;  // by SDL window id
  std::vector<std::u16string> dropping_;
  uint32_t dropWindow_ = 0;
  PointI lastPointer_;
  uint64_t wakeCount_ = 0;
};

}  // namespace vk2::gui
