// The online content window: on creation it starts one worker that runs the online pass and
// shows the chosen package's window inside this one, through the GUI loop.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "gui/online_window/online_content.h"
#include "gui/window_base/module_window.h"
#include "interfaces/gui/gui_application.h"
#include "platform/event.h"
#include "platform/thread.h"

namespace vk2::gui {

class OnlineWindow final : public ModuleWindow<OnlineWindow> {
 public:
  // `guiMain` opens package windows and knows the application's folder.
  OnlineWindow(MUnknown* base, MGuiMain* guiMain);
  ~OnlineWindow() override;

  void Setup() {}
  // Waits for the worker; true with its result when it ended in time.
  bool WaitForWorker(uint32_t timeoutMs, OnlinePassResult* result);

  int32_t OnPaint(MCanvas* canvas, const PaintRecord* record) override;
  // Shown by a display as its fill page.
  bool IsPage() const override { return true; }
  int32_t OnNotify(uint32_t code, uintptr_t argument) override;

 private:
  // What the worker shares with the loop's tasks, which may run after the window went.
  struct Shared {
    std::mutex lock;
    OnlineWindow* window = nullptr;
  };
  class Host;
  void StartWorker();
  void StopWorker();
  void ShowOnLoop(const PackageWindowRef& package);

  RefPtr<MGuiMain> guiMain_;
  std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
  Thread worker_;
  Event cancel_{EventReset::kManual};
  Event done_{EventReset::kManual};
  std::atomic<bool> unavailable_{false};
  OnlinePassResult result_;
};

}  // namespace vk2::gui
