// The chain's event thread: module events are queued here by whatever thread raised them (the
// endpoint's playback thread above all) and delivered to the chain's registered callbacks on
// this thread, outside every lock, so that no callback ever runs on a module's own thread and a
// callback may register, unregister or add notifications on the same chain.
//
// The worker is counted: the chain holds one reference and the running thread another, so the
// lists stay valid until the thread has ended, even when the chain's last release happens inside
// one of its own callbacks (the stop then detaches instead of waiting for itself).
//
// The chain's last release never waits for a callback running on this thread: such a callback
// may be waiting for a lock the releasing thread holds (the media core releases chains under
// its state lock, and its callbacks take that lock). The chain's destruction is then handed to
// this thread, which carries it out when the callback returns; so the chain also stays valid for
// as long as a callback given it as the source runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "component/object/ref_counted.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/audio_callbacks.h"
#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/thread.h"

namespace vk2 {

class ChainWorker final : public RefCounted {
 public:
  // `source`: passed to every callback (the chain); not counted.
  static RefPtr<ChainWorker> Create(MUnknown* source);

  // Queues an event and wakes the thread (started on first use). Events posted after Stop are
  // dropped.
  void Post(int32_t code, uint32_t key, int32_t argument);

  // -6 for a present pair, -5 for an absent one.
  int32_t AddCallback(MAudioCallback* callback, uint32_t key);
  int32_t RemoveCallback(MAudioCallback* callback, uint32_t key);

  // A time notification the chain passed to its modules under `id`.
  bool HasNotification(MAudioCallback* callback, uint32_t key) const;
  void AddNotification(uint32_t id, MAudioCallback* callback, uint32_t key, double seconds);
  // Removes the entry with the same callback, key and seconds; its id in `*id`. False when
  // absent.
  bool RemoveNotification(MAudioCallback* callback, uint32_t key, double seconds, uint32_t* id);

  // The chain's last release: stops delivering. True when the caller destroys the chain now;
  // false when a callback runs on this thread, which then calls `destroy` when it returns.
  bool StopOrDefer(std::function<void()> destroy);
  // Ends the thread (after StopOrDefer): waits for it unless called on it. Idempotent.
  void Stop();

  bool IsWorkerThread() const;

 private:
  struct Notification {
    uint32_t id;
    MAudioCallback* callback;
    uint32_t key;
    double seconds;
  };
  struct PendingEvent {
    int32_t code;
    uint32_t key;
    int32_t argument;
  };

  explicit ChainWorker(MUnknown* source) : source_(source) {}
  ~ChainWorker() override = default;
  void Run();
  // One delivery pass; false when the stop flag ended it.
  bool Pass();
  // Around every callback: false when the worker stopped (EndCallback then carries out a
  // destruction handed over meanwhile).
  bool BeginCallback();
  bool EndCallback();

  MUnknown* source_;
  std::atomic<bool> stop_{false};
  Event wake_{EventReset::kAuto};
  mutable CriticalSection lock_;
  Thread thread_;  // guarded by lock_
  struct Callback {
    MAudioCallback* callback;
    uint32_t key;
  };
  std::vector<Callback> callbacks_;          // guarded by lock_
  std::vector<Notification> notifications_;  // guarded by lock_
  std::vector<PendingEvent> events_;         // guarded by lock_
  bool inCallback_ = false;                  // guarded by lock_
  std::function<void()> deferred_;           // guarded by lock_
};

}  // namespace vk2
