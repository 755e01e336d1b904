// The module's notification thread: calls its listeners' ticks about once a period (a second
// unless told otherwise), on its own thread, with no lock held, so a tick may add or remove
// listeners. A removal returns only after a tick in progress on that listener has ended.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "component/object/com_object.h"
#include "core/registry/listener_channel.h"
#include "interfaces/core/core.h"
#include "interfaces/ids.h"
#include "platform/clock.h"

namespace vk2 {

class NotificationThread final
    : public ComObject<NotificationThread, Face<MNotificationThread, kIID_MNotificationThread>> {
 public:
  static constexpr uint32_t kDefaultPeriodMs = 1000;

  // Starts the thread; the period runs on the current clock.
  explicit NotificationThread(uint32_t periodMs = kDefaultPeriodMs);

  int32_t AddRemoveListener(MNotificationTick* listener, int32_t add) override;

 private:
  struct Tick {};

  ~NotificationThread() override;
  void BeforeDestroy() override;
  // The last release may come from inside a tick: the thread then finishes and deletes.
  void Destroy() override;
  void Run();

  const uint32_t periodMs_;
  Clock& clock_;
  const std::shared_ptr<ClockSleeper> sleeper_ = std::make_shared<ClockSleeper>();
  bool stop_ = false;  // guarded by sleeper_->mutex
  std::atomic<bool> deleteOnExit_{false};
  ListenerChannel<MNotificationTick, Tick> ticks_;
  std::thread thread_;
};

}  // namespace vk2
