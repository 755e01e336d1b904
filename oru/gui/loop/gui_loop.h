// The loop that owns every window: it serves the backend's events, posts from any thread,
// timers, the animation frames of the window parts and the composition of each host. One per
// process; it belongs to the thread that made it (or that BindToThisThread names).
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "interfaces/gui/app.h"
#include "oru/gui/backend/backend.h"

namespace vk2::gui {

class HostWindowObject;

// Something that animates: asked for its next deadline before each wait, ticked each turn.
class FrameClient {
 public:
  // kNoDeadline when it needs no turn; `frameMs` is the loop's frame interval.
  virtual uint64_t NextDeadline(uint64_t nowMs, uint64_t frameMs) = 0;
  virtual void Tick(uint64_t nowMs) = 0;

 protected:
  ~FrameClient() = default;
};

class GuiLoop {
 public:
  explicit GuiLoop(std::unique_ptr<GuiBackend> backend);
  ~GuiLoop();
  GuiLoop(const GuiLoop&) = delete;
  GuiLoop& operator=(const GuiLoop&) = delete;

  // The process's loop, or null.
  static GuiLoop* Current();

  GuiBackend& Backend() { return *backend_; }
  uint64_t NowMs() const;
  bool IsLoopThread() const { return owner_.load() == std::this_thread::get_id(); }
  void BindToThisThread() { owner_.store(std::this_thread::get_id()); }

  // ---- Any thread ----
  // Runs `task` on the loop thread after what is already posted. False once the loop stopped.
  bool Post(std::function<void()> task);
  // Ends every nested loop and then Run with `code`.
  void Quit(int32_t code);
  bool QuitRequested() const { return quit_.load(); }
  // Takes back a Quit that has ended Run so the loop can serve again (the app's loop thread);
  // a Quit made after this ends the next Run.
  void ClearQuit() { quit_.store(false); }
  int32_t QuitCode() const { return quitCode_.load(); }
  // Refuses further posts and drops those queued (at shutdown).
  void Stop();

  // ---- Loop thread ----
  // One turn without waiting: backend events, posts, timers, animation, paint.
  void RunPending();
  // Serves the loop until `*done` is nonzero (null: until Quit). Nested calls are allowed.
  int32_t RunUntil(const int32_t* done);

  uint64_t StartTimer(uint64_t dueMs, std::function<void()> callback);
  void StopTimer(uint64_t id);

  void AddFrameClient(FrameClient* client);
  void RemoveFrameClient(FrameClient* client);
  void AddHost(HostWindowObject* host);
  void RemoveHost(HostWindowObject* host);
  const std::vector<HostWindowObject*>& Hosts() const { return hosts_; }
  HostWindowObject* HostForWindow(uint32_t backendWindow) const;

  // Frame interval from the fastest host's desired rate.
  uint64_t FrameMs() const;

  void PushPump(const LoopPump& pump) { pumps_.push_back(pump); }
  bool PopPump();

  // Popups (a picker's list, menus): a press in any other host of the loop dismisses them.
  void AddPopup(HostWindowObject* host, std::function<void()> dismiss);
  void RemovePopup(HostWindowObject* host);
  void DismissPopupsOutside(HostWindowObject* pressed);

 private:
  void DispatchEvents();
  void RunPosts();
  void RunTimers();
  void RunFrameClients();
  void PaintHosts();
  uint64_t NextDeadline();

  std::unique_ptr<GuiBackend> backend_;
  std::atomic<std::thread::id> owner_;
  std::atomic<bool> quit_{false};
  std::atomic<int32_t> quitCode_{0};

  std::mutex postMutex_;
  std::deque<std::function<void()>> posts_;  // guarded by postMutex_
  bool stopped_ = false;                     // guarded by postMutex_

  struct Timer {
    uint64_t dueMs;
    std::function<void()> callback;
  };
  std::multimap<uint64_t, uint64_t> timerOrder_;  // due -> id
  std::map<uint64_t, Timer> timers_;
  uint64_t nextTimerId_ = 1;

  std::vector<FrameClient*> frameClients_;
  std::vector<HostWindowObject*> hosts_;
  std::vector<LoopPump> pumps_;
  std::vector<std::pair<HostWindowObject*, std::function<void()>>> popups_;
};

}  // namespace vk2::gui
