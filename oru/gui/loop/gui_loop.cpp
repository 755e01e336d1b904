#include "oru/gui/loop/gui_loop.h"

#include <algorithm>
#include <utility>

#include "oru/gui/host/host_window_object.h"
#include "platform/clock.h"

namespace vk2::gui {

namespace {
std::atomic<GuiLoop*> g_current{nullptr};
}  // namespace

GuiLoop::GuiLoop(std::unique_ptr<GuiBackend> backend)
    : backend_(std::move(backend)), owner_(std::this_thread::get_id()) {
  g_current.store(this);
}

GuiLoop::~GuiLoop() {
  Stop();
  GuiLoop* self = this;
  g_current.compare_exchange_strong(self, nullptr);
}

GuiLoop* GuiLoop::Current() {
  return g_current.load();
}

uint64_t GuiLoop::NowMs() const {
  return CurrentClock().NowMs();
}

bool GuiLoop::Post(std::function<void()> task) {
  {
    std::lock_guard lock(postMutex_);
    if (stopped_) return false;
    posts_.push_back(std::move(task));
  }
  backend_->Wake();
  return true;
}

void GuiLoop::Quit(int32_t code) {
  quitCode_.store(code);
  quit_.store(true);
  backend_->Wake();
}

void GuiLoop::Stop() {
  std::deque<std::function<void()>> dropped;
  {
    std::lock_guard lock(postMutex_);
    stopped_ = true;
    dropped.swap(posts_);
  }
}

void GuiLoop::RunPending() {
  DispatchEvents();
  RunPosts();
  RunTimers();
  for (const LoopPump& pump : std::vector<LoopPump>(pumps_)) {
    if (pump.pump) pump.pump(pump.context);
  }
  RunFrameClients();
  PaintHosts();
}

int32_t GuiLoop::RunUntil(const int32_t* done) {
  while (!quit_.load() && !(done && *done)) {
    RunPending();
    if (quit_.load() || (done && *done)) break;
    backend_->Wait(NextDeadline());
  }
  return quitCode_.load();
}

void GuiLoop::DispatchEvents() {
  BackendEvent event;
  while (backend_->PollEvent(&event)) {
    if (HostWindowObject* host = HostForWindow(event.window)) host->HandleEvent(event);
  }
}

void GuiLoop::RunPosts() {
  // Only what was posted before this turn runs now, so a post that posts again cannot starve
  // the rest of the loop.
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard lock(postMutex_);
    batch.swap(posts_);
  }
  for (auto& task : batch)
    task();
}

void GuiLoop::RunTimers() {
  const uint64_t now = NowMs();
  while (!timerOrder_.empty() && timerOrder_.begin()->first <= now) {
    const uint64_t id = timerOrder_.begin()->second;
    timerOrder_.erase(timerOrder_.begin());
    auto it = timers_.find(id);
    if (it == timers_.end()) continue;
    std::function<void()> callback = std::move(it->second.callback);
    timers_.erase(it);
    callback();
  }
}

uint64_t GuiLoop::StartTimer(uint64_t dueMs, std::function<void()> callback) {
  const uint64_t id = nextTimerId_++;
  timers_[id] = Timer{dueMs, std::move(callback)};
  timerOrder_.emplace(dueMs, id);
  return id;
}

void GuiLoop::StopTimer(uint64_t id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  auto range = timerOrder_.equal_range(it->second.dueMs);
  for (auto o = range.first; o != range.second; ++o) {
    if (o->second == id) {
      timerOrder_.erase(o);
      break;
    }
  }
  timers_.erase(it);
}

void GuiLoop::AddFrameClient(FrameClient* client) {
  if (std::find(frameClients_.begin(), frameClients_.end(), client) == frameClients_.end()) {
    frameClients_.push_back(client);
  }
}

void GuiLoop::RemoveFrameClient(FrameClient* client) {
  std::erase(frameClients_, client);
}

void GuiLoop::RunFrameClients() {
  const uint64_t now = NowMs();
  // A tick may add or remove clients (a destroy command ends its window).
  for (FrameClient* client : std::vector<FrameClient*>(frameClients_)) {
    if (std::find(frameClients_.begin(), frameClients_.end(), client) == frameClients_.end()) {
      continue;
    }
    client->Tick(now);
  }
}

void GuiLoop::AddHost(HostWindowObject* host) {
  hosts_.push_back(host);
}

void GuiLoop::RemoveHost(HostWindowObject* host) {
  std::erase(hosts_, host);
}

HostWindowObject* GuiLoop::HostForWindow(uint32_t backendWindow) const {
  for (HostWindowObject* host : hosts_) {
    if (host->BackendWindow() == backendWindow) return host;
  }
  return nullptr;
}

uint64_t GuiLoop::FrameMs() const {
  int32_t fps = 0;
  for (HostWindowObject* host : hosts_)
    fps = std::max(fps, host->DesiredFps(0));
  if (fps <= 0) fps = 60;
  return std::max<uint64_t>(1, 1000 / static_cast<uint64_t>(fps));
}

void GuiLoop::PaintHosts() {
  for (HostWindowObject* host : std::vector<HostWindowObject*>(hosts_))
    host->PaintIfDamaged();
}

void GuiLoop::AddPopup(HostWindowObject* host, std::function<void()> dismiss) {
  popups_.emplace_back(host, std::move(dismiss));
}

void GuiLoop::RemovePopup(HostWindowObject* host) {
  std::erase_if(popups_, [host](const auto& popup) { return popup.first == host; });
}

void GuiLoop::DismissPopupsOutside(HostWindowObject* pressed) {
  // A copy: dismissing closes hosts, which remove themselves.
  const auto popups = popups_;
  for (const auto& entry : popups) {
    HostWindowObject* host = entry.first;
    if (host == pressed) continue;
    const bool stillOpen = std::any_of(popups_.begin(), popups_.end(),
                                       [host](const auto& popup) { return popup.first == host; });
    if (stillOpen && entry.second) entry.second();
  }
}

bool GuiLoop::PopPump() {
  if (pumps_.empty()) return false;
  pumps_.pop_back();
  return true;
}

uint64_t GuiLoop::NextDeadline() {
  const uint64_t now = NowMs();
  uint64_t deadline = kNoDeadline;
  if (!timerOrder_.empty()) deadline = timerOrder_.begin()->first;
  const uint64_t frame = FrameMs();
  for (FrameClient* client : frameClients_) {
    deadline = std::min(deadline, client->NextDeadline(now, frame));
  }
  for (const LoopPump& pump : pumps_) {
    deadline = std::min(deadline, now + static_cast<uint64_t>(std::max(1, pump.intervalMs)));
  }
  return deadline;
}

}  // namespace vk2::gui
