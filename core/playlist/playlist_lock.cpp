#include "core/playlist/playlist_lock.h"

#include "foundation/util/result.h"

namespace vk2 {

PlaylistLock::PlaylistLock(Clock& clock, uint32_t takeoverMs)
    : clock_(clock), takeoverMs_(takeoverMs), sleeper_(std::make_shared<ClockSleeper>()) {}

bool PlaylistLock::Acquire(uint32_t token, uint32_t* inForce, const std::atomic<bool>* cancelled) {
  const ThreadId me = CurrentThreadId();
  std::unique_lock lock(sleeper_->mutex);
  uint64_t now = clock_.NowMs();
  while (holds_ != 0 && owner_ != me) {
    if (cancelled && cancelled->load()) return false;
    // A hold without a token (an operation in progress) never goes stale.
    const uint64_t deadline = token_ != 0 ? firstAcquiredMs_ + takeoverMs_ : kNoDeadline;
    if (deadline != kNoDeadline && now >= deadline) {
      holds_ = 0;  // the holder is stale: the lease is ours
      break;
    }
    clock_.WaitUntil(sleeper_, lock, deadline);
    now = clock_.NowMs();
  }
  owner_ = me;
  if (++holds_ == 1) {
    firstAcquiredMs_ = now;
    token_ = token;
  } else if (token_ == 0) {
    token_ = token;
  }
  if (inForce) *inForce = token_;
  return true;
}

int32_t PlaylistLock::Release(uint32_t token, const std::function<void()>& onLast) {
  std::lock_guard lock(sleeper_->mutex);
  if (holds_ < 1) return kErrNotFound;
  // A holder that lost its lease to a takeover unlocks with its old token: nothing happens.
  if (token != 0 && token != token_) return kOk;
  if (owner_ != CurrentThreadId()) return kErrNotFound;
  if (--holds_ == 0) {
    owner_ = 0;
    token_ = 0;
    if (onLast) onLast();
    sleeper_->cv.notify_all();
  }
  return kOk;
}

int32_t PlaylistLock::Renew(uint32_t token) {
  std::lock_guard lock(sleeper_->mutex);
  if (holds_ == 0 || owner_ != CurrentThreadId() || token != token_) return kErrNotSupported;
  firstAcquiredMs_ = clock_.NowMs();
  return kOk;
}

void PlaylistLock::WakeWaiters() {
  std::lock_guard lock(sleeper_->mutex);
  sleeper_->cv.notify_all();
}

bool PlaylistLock::HeldByCurrentThread() {
  std::lock_guard lock(sleeper_->mutex);
  return holds_ != 0 && owner_ == CurrentThreadId();
}

}  // namespace vk2
