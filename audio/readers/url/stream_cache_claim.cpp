#include "audio/readers/url/stream_cache_claim.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/file_claim.h"

namespace vk2 {
namespace {

constexpr std::string_view kCacheFilePrefix = "vknstrm.";
constexpr size_t kMaxCounterDigits = 8;

}  // namespace

bool IsStreamCacheFileName(std::string_view name) {
  if (!name.starts_with(kCacheFilePrefix)) return false;
  std::string_view counter = name.substr(kCacheFilePrefix.size());
  if (counter.empty() || counter.size() > kMaxCounterDigits) return false;
  for (char c : counter) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

size_t RemoveAbandonedCacheFiles(const std::string& folder) {
  return RemoveUnclaimedFiles(folder, IsStreamCacheFileName);
}

bool StreamCacheClaim::Take(int fd, const std::string& path) {
  Drop();
  if (!ClaimNewFile(fd, path)) return false;
  // The lock belongs to the open file, which this duplicate keeps open after the writer ends.
  fd_ = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  return fd_ >= 0;
}

void StreamCacheClaim::Drop() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace vk2
