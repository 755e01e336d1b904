#include "audio/readers/common/blocking_ring_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/clock.h"

namespace vk2 {

bool BlockingRingBuffer::WaitFor(Event& signal, Event* extra, uint64_t deadline, bool& timedOut) {
  timedOut = false;
  uint32_t timeoutMs = kInfinite;
  if (deadline != kNoDeadline) {
    const uint64_t now = CurrentClock().NowMs();
    if (now >= deadline) {
      timedOut = true;
      return false;
    }
    timeoutMs = static_cast<uint32_t>(std::min<uint64_t>(deadline - now, kInfinite - 1));
  }
  const int32_t woken =
      extra ? WaitAny({&signal, extra}, timeoutMs) : (signal.Wait(timeoutMs) ? 0 : kWaitTimeout);
  if (woken == 0) return true;
  timedOut = woken == kWaitTimeout;
  return false;
}

BlockingRingBuffer::BlockingRingBuffer(size_t capacity) {
  Resize(capacity);
}

bool BlockingRingBuffer::Resize(size_t capacity) {
  std::lock_guard lock(mutex_);
  if (!storage_.empty() && storage_.size() == capacity + 1) return true;
  std::vector<uint8_t> storage;
  try {
    storage.resize(capacity + 1);
  } catch (const std::bad_alloc&) {
    return false;
  }
  // The oldest bytes are the ones a reader expects next.
  const size_t moved = std::min(AvailableLocked(), capacity);
  if (moved > 0) TakeLocked(storage.data(), moved, false);
  storage_.swap(storage);
  read_ = 0;
  write_ = moved;
  spaceFreed_.Set();
  return true;
}

size_t BlockingRingBuffer::Capacity() const {
  std::lock_guard lock(mutex_);
  return storage_.empty() ? 0 : storage_.size() - 1;
}

size_t BlockingRingBuffer::Available() const {
  std::lock_guard lock(mutex_);
  return AvailableLocked();
}

size_t BlockingRingBuffer::Free() const {
  std::lock_guard lock(mutex_);
  return FreeLocked();
}

size_t BlockingRingBuffer::AvailableLocked() const {
  if (storage_.empty()) return 0;
  return (write_ + storage_.size() - read_) % storage_.size();
}

size_t BlockingRingBuffer::FreeLocked() const {
  if (storage_.empty()) return 0;
  return storage_.size() - 1 - AvailableLocked();
}

size_t BlockingRingBuffer::TakeLocked(uint8_t* destination, size_t count, bool consume) {
  const size_t size = storage_.size();
  const size_t first = std::min(count, size - read_);
  if (destination) {
    std::memcpy(destination, storage_.data() + read_, first);
    std::memcpy(destination + first, storage_.data(), count - first);
  }
  if (consume) read_ = (read_ + count) % size;
  return count;
}

size_t BlockingRingBuffer::PutLocked(const uint8_t* source, size_t count) {
  const size_t size = storage_.size();
  const size_t first = std::min(count, size - write_);
  if (source) {
    std::memcpy(storage_.data() + write_, source, first);
    std::memcpy(storage_.data(), source + first, count - first);
  } else {
    std::memset(storage_.data() + write_, 0, first);
    std::memset(storage_.data(), 0, count - first);
  }
  write_ = (write_ + count) % size;
  return count;
}

int64_t BlockingRingBuffer::Read(void* destination, size_t count, bool wait, bool consume,
                                 Event* extra, uint32_t timeoutMs) {
  if (count == 0) return 0;
  auto* out = static_cast<uint8_t*>(destination);
  const uint64_t deadline = DeadlineAfter(CurrentClock(), timeoutMs);
  std::unique_lock lock(mutex_);
  size_t taken = 0;
  for (;;) {
    const size_t available = AvailableLocked();
    const size_t capacity = storage_.empty() ? 0 : storage_.size() - 1;
    size_t wanted = 0;
    if (consume) {
      if (available > 0) {
        const size_t n = std::min(count - taken, available);
        TakeLocked(out ? out + taken : nullptr, n, true);
        taken += n;
        spaceFreed_.Set();
        if (taken == count) return static_cast<int64_t>(taken);
        continue;
      }
      wanted = std::min(count - taken, capacity);
    } else {
      // A peek never waits for more than the buffer can hold.
      const size_t need = std::min(count, capacity);
      if (available > 0 && (available >= need || closed_)) {
        return static_cast<int64_t>(TakeLocked(out, std::min(count, available), false));
      }
      wanted = need;
    }
    if (!wait || closed_) return static_cast<int64_t>(taken);
    if (aborted_) return taken > 0 ? static_cast<int64_t>(taken) : kRingAborted;
    wanted_ = std::max<size_t>(wanted, 1);
    lock.unlock();
    bool timedOut = false;
    const bool woken = WaitFor(dataArrived_, extra, deadline, timedOut);
    lock.lock();
    wanted_ = 0;
    if (!woken) {
      // Whatever arrived meanwhile is still taken.
      const size_t n = consume ? std::min(count - taken, AvailableLocked()) : 0;
      if (n > 0) {
        TakeLocked(out ? out + taken : nullptr, n, true);
        taken += n;
        spaceFreed_.Set();
      }
      if (taken > 0) return static_cast<int64_t>(taken);
      return timedOut ? kRingTimedOut : kRingAborted;
    }
  }
}

int64_t BlockingRingBuffer::Write(const void* source, size_t count, bool wait, bool allOrNothing,
                                  Event* extra, uint32_t timeoutMs) {
  if (count == 0) return 0;
  const auto* in = static_cast<const uint8_t*>(source);
  const uint64_t deadline = DeadlineAfter(CurrentClock(), timeoutMs);
  std::unique_lock lock(mutex_);
  const size_t capacity = storage_.empty() ? 0 : storage_.size() - 1;
  // It would never fit: waiting for it could only hang.
  if (allOrNothing && count > capacity) return 0;
  size_t written = 0;
  for (;;) {
    if (closed_) return written > 0 ? static_cast<int64_t>(written) : kRingAborted;
    const size_t free = FreeLocked();
    const size_t need = allOrNothing ? count - written : 1;
    if (free >= need) {
      const size_t n = std::min(count - written, free);
      PutLocked(in ? in + written : nullptr, n);
      written += n;
      if (wanted_ > 0 && AvailableLocked() >= wanted_) dataArrived_.Set();
      if (written == count) return static_cast<int64_t>(written);
      continue;
    }
    if (!wait) return static_cast<int64_t>(written);
    if (aborted_) return written > 0 ? static_cast<int64_t>(written) : kRingAborted;
    // A reader waiting for more than can arrive while this writer waits must take what is
    // there, or each would wait for the other.
    if (wanted_ > 0 && AvailableLocked() > 0) dataArrived_.Set();
    lock.unlock();
    bool timedOut = false;
    const bool woken = WaitFor(spaceFreed_, extra, deadline, timedOut);
    lock.lock();
    if (!woken) {
      if (written > 0) return static_cast<int64_t>(written);
      return timedOut ? kRingTimedOut : kRingAborted;
    }
  }
}

void BlockingRingBuffer::Close(bool closed) {
  std::lock_guard lock(mutex_);
  closed_ = closed;
  if (closed) {
    dataArrived_.Set();
    spaceFreed_.Set();
  }
}

bool BlockingRingBuffer::IsClosed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

void BlockingRingBuffer::Flush() {
  std::lock_guard lock(mutex_);
  read_ = write_;
  spaceFreed_.Set();
}

void BlockingRingBuffer::SetAbort(bool abort) {
  std::lock_guard lock(mutex_);
  aborted_ = abort;
  if (abort) {
    dataArrived_.Set();
    spaceFreed_.Set();
  }
}

bool BlockingRingBuffer::IsAborted() const {
  std::lock_guard lock(mutex_);
  return aborted_;
}

}  // namespace vk2
