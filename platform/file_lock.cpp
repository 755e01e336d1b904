#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "platform/clock.h"

namespace vk2 {
namespace {

void SleepRealMs(uint32_t ms) {
  timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1'000'000};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

}  // namespace

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

std::error_code FileLock::Acquire(const std::string& path, FileLockMode mode, uint32_t timeoutMs) {
  Release();
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return {errno, std::generic_category()};
  const int operation = (mode == FileLockMode::kExclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
  Clock& clock = SystemClock();
  const uint64_t start = clock.NowMs();
  // flock has no time limit of its own: poll, backing off from 1 ms to 25 ms.
  for (uint32_t pause = 1;; pause = pause < 25 ? pause * 2 : 25) {
    if (flock(fd, operation) == 0) {
      fd_ = fd;
      return {};
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {
      const int err = errno;
      close(fd);
      return {err, std::generic_category()};
    }
    const uint64_t waited = clock.NowMs() - start;
    if (waited >= timeoutMs) break;
    SleepRealMs(static_cast<uint32_t>(std::min<uint64_t>(pause, timeoutMs - waited)));
  }
  close(fd);
  return std::make_error_code(std::errc::timed_out);
}

void FileLock::Release() {
  if (fd_ < 0) return;
  // Closing the only descriptor of the open file drops the lock.
  close(fd_);
  fd_ = -1;
}

}  // namespace vk2
