#include "oru/gui/loop/app_object.h"

#include <utility>

#include "foundation/util/result.h"
#include "oru/gui/backend/headless_backend.h"
#include "oru/gui/backend/sdl_backend.h"
#include "oru/gui/host/host_window_object.h"
#include "platform/environment.h"

namespace vk2::gui {

AppObject& AppObject::Instance() {
  // Never destroyed: the loop thread must be shut down by its owner, not by static teardown.
  static AppObject* app = new AppObject;
  return *app;
}

std::unique_ptr<GuiBackend> AppObject::MakeBackend() {
  const std::optional<std::string> chosen = GetEnv("VK2_GUI_BACKEND");
  if (chosen && *chosen == "headless") return std::make_unique<HeadlessBackend>();
  const bool display = GetEnv("DISPLAY").has_value() || GetEnv("WAYLAND_DISPLAY").has_value();
  if ((chosen && *chosen == "sdl") || (!chosen && display)) {
    std::unique_ptr<GuiBackend> sdl = SdlBackend::Create();
    if (sdl) return sdl;
  }
  return std::make_unique<HeadlessBackend>();
}

int32_t AppObject::Launch(int32_t tokenCount, const char16_t* const* tokens,
                          const char16_t* embedding, uintptr_t parent) {
  // Tokens and embedding are accepted for the caller's sake; this system embeds in nothing.
  (void)tokenCount;
  (void)tokens;
  (void)embedding;
  (void)parent;
  std::unique_lock lock(mutex_);
  if (launched_) return 0;
  launched_ = true;
  stopping_ = false;
  // A Quit of an earlier launch that no Run heard of does not end this launch's first Run.
  quitsSeen_ = quitGeneration_;
  thread_ = std::thread(&AppObject::LoopThread, this);
  changed_.wait(lock, [this] { return loop_ != nullptr; });
  return 0;
}

void AppObject::LoopThread() {
  // The window system is opened on the thread that will serve its events.
  GuiLoop loop(MakeBackend());
  stopFlag_ = 0;
  {
    std::lock_guard lock(mutex_);
    loop_ = &loop;
  }
  changed_.notify_all();
  for (;;) {
    loop.RunUntil(&stopFlag_);
    if (stopFlag_) break;
    // Quit ended the nested loops and this turn; the loop serves on until Shutdown, since
    // windows still live here. Run heard of the Quit from Quit itself, so a Quit landing
    // between the return above and this line loses nothing.
    loop.ClearQuit();
  }
  for (HostWindowObject* host : std::vector<HostWindowObject*>(loop.Hosts()))
    host->Close();
  loop.Stop();
  {
    std::lock_guard lock(mutex_);
    loop_ = nullptr;
  }
  changed_.notify_all();
}

int32_t AppObject::Run() {
  std::unique_lock lock(mutex_);
  if (!launched_ || !loop_) return kErrWrongState;
  if (loop_->IsLoopThread()) {
    GuiLoop* loop = loop_;
    lock.unlock();
    return loop->RunUntil(nullptr);
  }
  // A Quit that came before Run still ends it.
  changed_.wait(lock, [&] { return quitGeneration_ != quitsSeen_ || !loop_; });
  quitsSeen_ = quitGeneration_;
  return quitCode_;
}

int32_t AppObject::Shutdown() {
  std::thread thread;
  {
    std::unique_lock lock(mutex_);
    if (!launched_) return 0;
    if (loop_ && loop_->IsLoopThread()) return kErrWrongState;  // no thread joins itself
    stopping_ = true;
    GuiLoop* loop = loop_;
    if (loop) {
      loop->Post([this] { stopFlag_ = 1; });
    }
    thread = std::move(thread_);
    launched_ = false;
  }
  if (thread.joinable()) thread.join();
  return 0;
}

int32_t AppObject::Quit(int32_t code) {
  {
    std::lock_guard lock(mutex_);
    if (!loop_) return kErrWrongState;
    // Counted here, not when the loop thread gets round to it: a Run waiting on another
    // thread must not depend on the loop's turn (a second Quit could land while the loop
    // clears the first, and be cleared with it).
    quitCode_ = code;
    ++quitGeneration_;
    loop_->Quit(code);
  }
  changed_.notify_all();
  return 0;
}

int32_t AppObject::PostToGuiThread(void (*callback)(void*), void* context) {
  if (!callback) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  if (!loop_ || stopping_) return kErrFailed;
  return loop_->Post([callback, context] { callback(context); }) ? 0 : kErrFailed;
}

int32_t AppObject::IsGuiThread() {
  std::lock_guard lock(mutex_);
  return loop_ && loop_->IsLoopThread() ? 1 : 0;
}

GuiLoop* AppObject::Loop() {
  std::lock_guard lock(mutex_);
  return loop_;
}

int32_t AppObject::CreateHost(MHostWindow** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  GuiLoop* loop = Loop();
  if (!loop) return kErrWrongState;
  RefPtr<HostWindowObject> host;
  const int32_t r = HostWindowObject::Create(loop, &host);
  if (r != 0) return r;
  *out = host.Detach();
  return 0;
}

int32_t AppObject::RunNested(const int32_t* done) {
  GuiLoop* loop = Loop();
  if (!loop || !loop->IsLoopThread()) return kErrWrongState;
  return loop->RunUntil(done);
}

int32_t AppObject::PushPump(const LoopPump* pump) {
  GuiLoop* loop = Loop();
  if (!pump || !pump->pump) return kErrMissingArg;
  if (!loop || !loop->IsLoopThread()) return kErrWrongState;
  loop->PushPump(*pump);
  return 0;
}

int32_t AppObject::PopPump() {
  GuiLoop* loop = Loop();
  if (!loop || !loop->IsLoopThread()) return kErrWrongState;
  return loop->PopPump() ? 0 : kErrNotFound;
}

}  // namespace vk2::gui
