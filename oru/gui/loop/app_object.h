// The GUI application (MOmbrixApp): starts the loop thread with a backend, lets other threads
// post to it, waits in Run until Quit, and tears every host down in Shutdown. One per process.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "component/object/com_object.h"
#include "interfaces/gui/app.h"
#include "interfaces/ids.h"
#include "oru/gui/loop/gui_loop.h"

namespace vk2::gui {

class AppObject final : public ComObject<AppObject, Face<MOmbrixApp, kIID_MOmbrixApp>> {
 public:
  // The process's application object (lives until the process ends).
  static AppObject& Instance();

  int32_t Launch(int32_t tokenCount, const char16_t* const* tokens, const char16_t* embedding,
                 uintptr_t parent) override;
  int32_t Run() override;
  int32_t Shutdown() override;
  int32_t Quit(int32_t code) override;
  int32_t PostToGuiThread(void (*callback)(void*), void* context) override;
  int32_t IsGuiThread() override;
  int32_t CreateHost(MHostWindow** out) override;
  int32_t RunNested(const int32_t* done) override;
  int32_t PushPump(const LoopPump* pump) override;
  int32_t PopPump() override;

  // The backend Launch picks: VK2_GUI_BACKEND ("sdl" or "headless"), else SDL when a display
  // is named, else headless.
  static std::unique_ptr<GuiBackend> MakeBackend();
  // For tests: the loop while launched (null otherwise).
  GuiLoop* Loop();

 private:
  AppObject() : ComObject(Lifetime::kOwnedElsewhere) {}
  ~AppObject() override = default;
  void LoopThread();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread thread_;           // guarded by mutex_
  GuiLoop* loop_ = nullptr;      // guarded by mutex_; set while the loop thread runs
  bool launched_ = false;        // guarded by mutex_
  bool stopping_ = false;        // guarded by mutex_
  int32_t stopFlag_ = 0;         // loop thread only
  uint64_t quitGeneration_ = 0;  // guarded by mutex_: quits so far
  uint64_t quitsSeen_ = 0;       // guarded by mutex_: quits Run has returned for
  int32_t quitCode_ = 0;         // guarded by mutex_
};

}  // namespace vk2::gui
