// The GUI application: the loop thread that owns every window. Launch starts it, Run blocks
// until Quit, Shutdown destroys every host. PostToGuiThread is the one entry that any thread may
// call.
#pragma once

#include <cstdint>

#include "interfaces/unknown.h"

namespace vk2 {

class MHostWindow;

// A modal loop outside ours (the GTK dialogs) plugs in here: while pushed, the loop thread's
// nested loop calls `pump` every `intervalMs` (and after every event), so both run together.
struct LoopPump {
  void (*pump)(void* context) = nullptr;
  void* context = nullptr;
  int32_t intervalMs = 10;
};

class MOmbrixApp : public MUnknown {
 public:
  // 3: starts the loop thread and the backend. `embedding` names a host window to embed into
  // ("Win32_HWND" is accepted and ignored on this system); null for none.
  virtual int32_t Launch(int32_t tokenCount, const char16_t* const* tokens,
                         const char16_t* embedding, uintptr_t parent) = 0;
  // 4: serves the loop until Quit; answers the quit code. Called on the launching thread, it
  // waits for the loop thread; called on the loop thread (nested), it runs a nested loop.
  virtual int32_t Run() = 0;
  // 5: destroys every host and stops the loop thread.
  virtual int32_t Shutdown() = 0;
  // 6: ends Run with `code`. Thread-safe.
  virtual int32_t Quit(int32_t code) = 0;

  // 7: runs `callback(context)` on the loop thread, in posting order. Thread-safe; wakes the
  // loop. kErrFailed once the loop has shut down (the callback is not run).
  virtual int32_t PostToGuiThread(void (*callback)(void*), void* context) = 0;
  // 8: true on the loop thread.
  virtual int32_t IsGuiThread() = 0;
  // 9: a new host window (hidden, 1x1) with one reference.
  virtual int32_t CreateHost(MHostWindow** out) = 0;
  // 10: a nested loop on the loop thread that serves posts, timers and every window until
  // `*done` turns nonzero (set on the loop thread, e.g. by a post).
  virtual int32_t RunNested(const int32_t* done) = 0;
  // 11, 12: a foreign loop served beside ours while pushed (stack order).
  virtual int32_t PushPump(const LoopPump* pump) = 0;
  virtual int32_t PopPump() = 0;

 protected:
  ~MOmbrixApp() = default;
};

}  // namespace vk2
