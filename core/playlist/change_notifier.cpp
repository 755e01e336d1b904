#include "core/playlist/change_notifier.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "foundation/util/result.h"

namespace vk2 {

struct ChangeNotifier::State {
  struct Entry {
    MPlaylistListener* listener;
    bool wantsDetails;
  };

  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::unique_ptr<PlaylistChangeList>> queue;
  std::vector<Entry> listeners;
  // The listener being called on the worker, if any.
  MPlaylistListener* inFlight = nullptr;
  bool stopping = false;

  Entry* Find(MPlaylistListener* listener) {
    auto it = std::find_if(listeners.begin(), listeners.end(),
                           [&](const Entry& e) { return e.listener == listener; });
    return it == listeners.end() ? nullptr : &*it;
  }
};

ChangeNotifier::ChangeNotifier() : state_(std::make_shared<State>()) {}

ChangeNotifier::~ChangeNotifier() {
  Stop();
}

bool ChangeNotifier::Start() {
  if (worker_.IsStarted()) return true;
  return worker_.Start([state = state_] {
    SetCurrentThreadName("vk2-playlist");
    Run(state);
  });
}

void ChangeNotifier::Run(const std::shared_ptr<State>& state) {
  State& s = *state;
  std::unique_lock lock(s.mutex);
  for (;;) {
    s.changed.wait(lock, [&] { return s.stopping || !s.queue.empty(); });
    if (s.stopping) break;
    std::unique_ptr<PlaylistChangeList> list = std::move(s.queue.front());
    s.queue.pop_front();
    const std::vector<State::Entry> snapshot = s.listeners;
    for (const State::Entry& taken : snapshot) {
      // A listener removed since the snapshot is not called; its flag is read afresh.
      const State::Entry* entry = s.Find(taken.listener);
      if (s.stopping) break;
      if (!entry) continue;
      const bool details = entry->wantsDetails;
      s.inFlight = taken.listener;
      lock.unlock();
      taken.listener->OnChange(details ? list.get() : nullptr);
      lock.lock();
      s.inFlight = nullptr;
      s.changed.notify_all();
    }
  }
  s.queue.clear();
}

int32_t ChangeNotifier::AddRemove(MPlaylistListener* listener, bool add, bool wantsDetails) {
  if (!listener) return kErrMissingArg;
  std::unique_lock lock(state_->mutex);
  State& s = *state_;
  State::Entry* entry = s.Find(listener);
  if (add) {
    if (entry) return kErrAlreadyPresent;
    s.listeners.push_back({listener, wantsDetails});
    return kOk;
  }
  if (!entry) return kErrNotFound;
  s.listeners.erase(s.listeners.begin() + (entry - s.listeners.data()));
  if (!OnWorker()) s.changed.wait(lock, [&] { return s.inFlight != listener; });
  return kOk;
}

void ChangeNotifier::Queue(std::unique_ptr<PlaylistChangeList> list) {
  if (!list) return;
  std::lock_guard lock(state_->mutex);
  if (state_->stopping) return;
  state_->queue.push_back(std::move(list));
  state_->changed.notify_all();
}

void ChangeNotifier::Stop() {
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = true;
    state_->queue.clear();
    state_->changed.notify_all();
  }
  if (OnWorker()) {
    worker_.Detach();
  } else {
    worker_.Join();
    worker_.CloseHandle();
  }
}

}  // namespace vk2
