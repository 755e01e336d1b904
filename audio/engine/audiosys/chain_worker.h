// The chain's event thread: module events are queued here by whatever thread raised them (the
// endpoint's playback thread above all) and delivered to the chain's registered callbacks on
// this thread, outside every lock, so that no callback ever runs on a module's own thread and a
// callback may register, unregister or add notifications on the same chain.
//
// The worker is counted: the chain holds one reference and the running thread another, so the
// lists stay valid until the thread has ended, even when the chain's last release happens inside
// one of its own callbacks (the stop then detaches instead of waiting for itself).
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/audio_callbacks.h"
#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/thread.h"

namespace vk2 {

class ChainWorker {
 public:
  // `source`: passed to every callback (the chain); not counted.
  static RefPtr<ChainWorker> Create(MUnknown* source);

  uint32_t AddRef() { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
  uint32_t Release();

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

  // Ends the thread: waits for it unless called on it. Idempotent.
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
  ~ChainWorker() = default;
  void Run();
  // One delivery pass; false when the stop flag ended it.
  bool Pass();

  MUnknown* source_;
  std::atomic<uint32_t> refs_{0};
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
};

}  // namespace vk2
