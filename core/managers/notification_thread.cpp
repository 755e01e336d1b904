#include "core/managers/notification_thread.h"

namespace vk2 {

NotificationThread::NotificationThread(uint32_t periodMs)
    : periodMs_(periodMs),
      clock_(CurrentClock()),
      ticks_([](MNotificationTick* listener, const Tick&) { listener->OnTick(); }) {
  thread_ = std::thread([this] { Run(); });
}

NotificationThread::~NotificationThread() = default;

int32_t NotificationThread::AddRemoveListener(MNotificationTick* listener, int32_t add) {
  return ticks_.AddRemove(listener, add);
}

void NotificationThread::BeforeDestroy() {
  std::lock_guard lock(sleeper_->mutex);
  stop_ = true;
  sleeper_->cv.notify_all();
}

void NotificationThread::Destroy() {
  if (std::this_thread::get_id() == thread_.get_id()) {
    deleteOnExit_ = true;
    return;
  }
  thread_.join();
  delete this;
}

void NotificationThread::Run() {
  std::unique_lock lock(sleeper_->mutex);
  while (!stop_) {
    const uint64_t deadline = clock_.NowMs() + periodMs_;
    while (!stop_ && !clock_.WaitUntil(sleeper_, lock, deadline)) {
    }
    if (stop_) break;
    lock.unlock();
    ticks_.PostAndDeliver(Tick{});
    lock.lock();
  }
  lock.unlock();
  if (deleteOnExit_) {
    thread_.detach();
    delete this;
  }
}

}  // namespace vk2
