// Which stream cache files are in use: a stream claims its file for as long as it lives, and
// the files of readers killed while caching (nobody holds them) are removed when a reader next
// starts caching in that folder.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vk2 {

// "vknstrm.<n>", n in lower-case hexadecimal: the names StreamCacheFile gives its files.
bool IsStreamCacheFileName(std::string_view name);

// Removes the cache files in `folder` that no live stream holds; the count removed.
size_t RemoveAbandonedCacheFiles(const std::string& folder);

class StreamCacheClaim {
 public:
  StreamCacheClaim() = default;
  StreamCacheClaim(const StreamCacheClaim&) = delete;
  StreamCacheClaim& operator=(const StreamCacheClaim&) = delete;
  ~StreamCacheClaim() { Drop(); }

  // Claims the file just created as `fd` at `path` (the claim keeps its own descriptor, so
  // `fd` may be closed early). False when a sweep took the file first: make another one.
  bool Take(int fd, const std::string& path);
  // Lets the file go; call it after deleting the file.
  void Drop();

 private:
  int fd_ = -1;
};

}  // namespace vk2
