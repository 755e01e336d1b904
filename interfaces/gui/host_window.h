// A host window: one top-level window of the window system (or of the headless backend). It
// owns the composed surface its window tree paints into, the input routing, the drag and size
// loops, docking and the frame clock. Loop thread only, except where a slot says otherwise.
#pragma once

#include <cstdint>

#include "interfaces/gui/window_element.h"
#include "interfaces/unknown.h"

namespace vk2 {

// Work queued on a host to run after the GUI events already pending (script callbacks, deferred
// scripts). The host holds a reference until it has run it.
class MHostTask : public MUnknown {
 public:
  virtual int32_t Run(MWindowElement* window, uintptr_t a, uintptr_t b) = 0;

 protected:
  ~MHostTask() = default;
};

class MHostWindow : public MUnknown {
 public:
  // 3: frames presented per second over the last second.
  virtual double GetActualFps() = 0;
  // 4: makes `root` the host's window tree (null: none); the host keeps a reference.
  virtual int32_t SetRoot(MWindowElement* root) = 0;
  // 5: the root (no reference), or null.
  virtual MWindowElement* GetRoot() = 0;
  // 6: with 0 answers the desired frame rate; with 1-200 sets it and answers it.
  virtual int32_t DesiredFps(int32_t rate) = 0;
  // 7: pointer position relative to `window` (null: the host).
  virtual int32_t PointerPosition(MWindowElement* window, PointI* out) = 0;
  // 8-15: the top-level window itself.
  virtual int32_t SetTitle(const char16_t* title) = 0;
  virtual int32_t Show(int32_t show) = 0;
  virtual int32_t Minimize(int32_t minimize) = 0;
  virtual int32_t SetAlwaysOnTop(int32_t onTop) = 0;
  virtual int32_t SetScreenRect(const RectI* rect) = 0;  // location and size on the screen
  virtual int32_t GetScreenRect(RectI* out) = 0;
  virtual int32_t SetOpacity(int32_t opacity) = 0;  // 0-256, where the window system composites
  virtual int32_t DumpPng(const char* path) = 0;    // the composed surface, as presented
  // 16: sends (code, argument) to `window` and every descendant, parents first.
  virtual int32_t Broadcast(MWindowElement* window, uint32_t code, uintptr_t argument) = 0;
  // 17: runs the task after the GUI events already pending. Thread-safe.
  virtual int32_t QueueTask(MHostTask* task, MWindowElement* window, uintptr_t a, uintptr_t b) = 0;
  // 18: the window holding the keyboard focus (no reference), or null.
  virtual MWindowElement* GetFocus() = 0;
  // 19: clipboard text (UTF-16); `out` receives a copy the caller frees with FreeText.
  virtual int32_t GetClipboardText(char16_t** out) = 0;
  virtual int32_t SetClipboardText(const char16_t* text) = 0;
  virtual void FreeText(char16_t* text) = 0;
  // 22: starts or stops text input (edit boxes).
  virtual int32_t EnableTextInput(int32_t enable) = 0;

 protected:
  ~MHostWindow() = default;
};

}  // namespace vk2
