#include "audio/engine/audiosys/chain_worker.h"

#include <algorithm>
#include <new>

#include "foundation/util/result.h"
#include "interfaces/audio/chain_types.h"

namespace vk2 {

RefPtr<ChainWorker> ChainWorker::Create(MUnknown* source) {
  auto* w = new (std::nothrow) ChainWorker(source);
  return RefPtr<ChainWorker>(w);
}

bool ChainWorker::IsWorkerThread() const {
  ScopedLock lock(lock_);
  return thread_.IsStarted() && thread_.IsCurrent();
}

void ChainWorker::Post(int32_t code, uint32_t key, int32_t argument) {
  ScopedLock lock(lock_);
  if (stop_.load(std::memory_order_acquire)) return;
  events_.push_back(PendingEvent{code, key, argument});
  if (!thread_.IsStarted()) {
    AddRef();  // the thread's own reference
    if (!thread_.Start([this] {
          SetCurrentThreadName("vk2 chain events");
          Run();
          Release();
        })) {
      Release();
      events_.clear();
      return;
    }
  }
  wake_.Set();
}

int32_t ChainWorker::AddCallback(MAudioCallback* callback, uint32_t key) {
  if (!callback) return kErrMissingArg;
  ScopedLock lock(lock_);
  for (const Callback& c : callbacks_) {
    if (c.callback == callback && c.key == key) return kErrAlreadyPresent;
  }
  callbacks_.push_back(Callback{callback, key});
  return kOk;
}

int32_t ChainWorker::RemoveCallback(MAudioCallback* callback, uint32_t key) {
  ScopedLock lock(lock_);
  auto it = std::find_if(callbacks_.begin(), callbacks_.end(),
                         [&](const Callback& c) { return c.callback == callback && c.key == key; });
  if (it == callbacks_.end()) return kErrNotFound;
  callbacks_.erase(it);
  return kOk;
}

bool ChainWorker::HasNotification(MAudioCallback* callback, uint32_t key) const {
  ScopedLock lock(lock_);
  return std::any_of(notifications_.begin(), notifications_.end(),
                     [&](const Notification& n) { return n.callback == callback && n.key == key; });
}

void ChainWorker::AddNotification(uint32_t id, MAudioCallback* callback, uint32_t key,
                                  double seconds) {
  ScopedLock lock(lock_);
  notifications_.push_back(Notification{id, callback, key, seconds});
}

bool ChainWorker::RemoveNotification(MAudioCallback* callback, uint32_t key, double seconds,
                                     uint32_t* id) {
  ScopedLock lock(lock_);
  auto it = std::find_if(notifications_.begin(), notifications_.end(), [&](const Notification& n) {
    return n.callback == callback && n.key == key && n.seconds == seconds;
  });
  if (it == notifications_.end()) return false;
  if (id) *id = it->id;
  notifications_.erase(it);
  return true;
}

void ChainWorker::Stop() {
  Thread thread;
  {
    ScopedLock lock(lock_);
    stop_.store(true, std::memory_order_release);
    events_.clear();
    thread = std::move(thread_);
  }
  if (!thread.IsStarted()) return;
  if (thread.IsCurrent()) {
    // A callback released the chain's last reference: the pass ends at its next stop test and
    // the thread's own reference keeps the lists until then.
    thread.Detach();
    return;
  }
  wake_.Set();
  // No callback runs now and none starts after the stop flag (StopOrDefer saw to that): the
  // thread ends at once.
  thread.Join();
}

bool ChainWorker::StopOrDefer(std::function<void()> destroy) {
  ScopedLock lock(lock_);
  stop_.store(true, std::memory_order_release);
  events_.clear();
  if (inCallback_ && !(thread_.IsStarted() && thread_.IsCurrent())) {
    deferred_ = std::move(destroy);
    return false;
  }
  return true;
}

bool ChainWorker::BeginCallback() {
  ScopedLock lock(lock_);
  if (stop_.load(std::memory_order_acquire)) return false;
  inCallback_ = true;
  return true;
}

bool ChainWorker::EndCallback() {
  std::function<void()> destroy;
  {
    ScopedLock lock(lock_);
    inCallback_ = false;
    if (!stop_.load(std::memory_order_acquire)) return true;
    destroy = std::move(deferred_);
  }
  // The chain went while this callback ran: it is destroyed now, on this thread.
  if (destroy) destroy();
  return false;
}

void ChainWorker::Run() {
  while (!stop_.load(std::memory_order_acquire)) {
    wake_.Wait();
    if (stop_.load(std::memory_order_acquire)) return;
    if (!Pass()) return;
  }
}

bool ChainWorker::Pass() {
  std::vector<PendingEvent> events;
  std::vector<std::pair<RefPtr<MAudioCallback>, uint32_t>> callbacks;
  std::vector<std::pair<RefPtr<MAudioCallback>, Notification>> due;
  {
    ScopedLock lock(lock_);
    events.swap(events_);
    callbacks.reserve(callbacks_.size());
    for (const Callback& c : callbacks_)
      callbacks.emplace_back(RefPtr(c.callback), c.key);
    for (const PendingEvent& e : events) {
      if (e.code != kEventTimeNotification) continue;
      auto it = std::find_if(notifications_.begin(), notifications_.end(),
                             [&](const Notification& n) { return n.id == e.key; });
      if (it == notifications_.end()) continue;  // removed meanwhile
      due.emplace_back(RefPtr(it->callback), *it);
      notifications_.erase(it);
    }
  }
  for (const PendingEvent& e : events) {
    if (e.code == kEventTimeNotification) {
      auto it =
          std::find_if(due.begin(), due.end(), [&](const auto& d) { return d.second.id == e.key; });
      if (it == due.end()) continue;
      if (!BeginCallback()) return false;
      it->first->OnEvent(source_, kEventTimeNotification, it->second.key, 0);
      due.erase(it);  // fires once
      if (!EndCallback()) return false;
      continue;
    }
    for (const auto& [callback, key] : callbacks) {
      if (!BeginCallback()) return false;
      callback->OnEvent(source_, e.code, key, e.argument);
      if (!EndCallback()) return false;
    }
  }
  return true;
}

}  // namespace vk2
