// A byte queue between one producer thread and one consumer thread, for read-ahead: the file
// reader's read-ahead thread, the URL reader's download thread and the CD reader's buffer thread
// fill one, the thread that pulls packets drains it.
//
// Both sides may block: a reader until the bytes it asked for are there, a writer until there
// is room. Every blocking call ends when the buffer is closed (no more data will come: readers
// get what is left, then 0; writers are refused), when the owner aborts waits (SetAbort: the
// owner's stop request, so neither side is left waiting on a partner that has gone), when the
// caller's extra event is set (a chain's abort event, a thread's stop event), or when the
// caller's time limit runs out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/event.h"

namespace vk2 {

// Results of Read and Write besides byte counts.
inline constexpr int64_t kRingAborted = -1;   // aborted or woken by the extra event, or a write
                                              // to a closed buffer
inline constexpr int64_t kRingTimedOut = -2;  // the time limit ran out before any byte moved

class BlockingRingBuffer {
 public:
  // Room for `capacity` bytes (0: none until Resize).
  explicit BlockingRingBuffer(size_t capacity = 0);
  BlockingRingBuffer(const BlockingRingBuffer&) = delete;
  BlockingRingBuffer& operator=(const BlockingRingBuffer&) = delete;

  // Makes room for `capacity` bytes, keeping the oldest queued bytes that fit. False when the
  // memory cannot be had (the buffer is unchanged then).
  bool Resize(size_t capacity);
  size_t Capacity() const;
  // Bytes queued.
  size_t Available() const;
  // Bytes that can be written without blocking.
  size_t Free() const;

  // Copies up to `count` queued bytes into `destination` (null: discards them). With `consume`
  // false it peeks: nothing is taken out, and nothing is copied unless all `count` bytes are
  // queued (or the buffer is closed: then what is there). Blocking (`wait`), it returns once
  // `count` bytes were taken, the buffer is closed, waits are aborted, `extra` is set or the
  // time (on the platform clock) runs out. Returns the bytes taken (0: closed and empty, or
  // nothing queued without `wait`); when nothing was taken, kRingAborted or kRingTimedOut tell
  // why the wait ended. One thread reads.
  int64_t Read(void* destination, size_t count, bool wait, bool consume = true,
               Event* extra = nullptr, uint32_t timeoutMs = kInfinite);

  // Queues up to `count` bytes from `source` (null: zeros). `allOrNothing` writes only when all
  // of them fit at once (a request larger than the capacity is refused at once with 0).
  // Blocking, it returns once everything was written, the buffer closed, waits were aborted,
  // `extra` was set or the time ran out. Returns the bytes written; kRingAborted when the
  // buffer is closed, waits are aborted or `extra` is set before any byte was written,
  // kRingTimedOut likewise on the time limit. One thread writes.
  int64_t Write(const void* source, size_t count, bool wait, bool allOrNothing,
                Event* extra = nullptr, uint32_t timeoutMs = kInfinite);

  // Closed: readers drain what is left and then get 0; writers are refused. Opening again lets
  // data flow once more.
  void Close(bool closed);
  bool IsClosed() const;
  // Drops every queued byte.
  void Flush();
  // While set, every blocking Read and Write (those under way and later ones) returns at once.
  void SetAbort(bool abort);
  bool IsAborted() const;

 private:
  size_t AvailableLocked() const;
  size_t FreeLocked() const;
  size_t TakeLocked(uint8_t* destination, size_t count, bool consume);
  size_t PutLocked(const uint8_t* source, size_t count);

  // Waits for `signal` (or `extra`) up to `deadline`; false when the wait must end: `extra`
  // was set or the deadline passed (`timedOut` tells which).
  static bool WaitFor(Event& signal, Event* extra, uint64_t deadline, bool& timedOut);

  mutable std::mutex mutex_;
  // Auto-reset: set when bytes arrive that a waiting reader wanted, and when room is freed.
  // A set that nobody waited for only costs the next waiter one look at the indices.
  Event dataArrived_;
  Event spaceFreed_;
  // One byte of the storage always stays free, so read == write means empty.
  std::vector<uint8_t> storage_;
  size_t read_ = 0;
  size_t write_ = 0;
  size_t wanted_ = 0;  // bytes a blocked reader waits for; 0: no reader waits
  bool closed_ = false;
  bool aborted_ = false;
};

}  // namespace vk2
