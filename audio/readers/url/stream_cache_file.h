// The disk cache of a download of known length: the download thread appends, the reader reads
// back at any offset below what has arrived. The file lies in the user's cache folder under a
// name of its own, claimed while the stream lives, and is deleted when the stream closes.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/readers/file/local_file.h"
#include "audio/readers/url/stream_cache_claim.h"

namespace vk2 {

class StreamCacheFile {
 public:
  StreamCacheFile() = default;
  StreamCacheFile(const StreamCacheFile&) = delete;
  StreamCacheFile& operator=(const StreamCacheFile&) = delete;
  ~StreamCacheFile() { Remove(); }

  // Creates a new file "vknstrm.<n>" (n in lower-case hexadecimal, the first free one) in
  // `folder` and opens it for writing and for reading. False when either fails.
  bool Create(const std::string& folder);
  // Appends all of `data`; false when the disk refuses.
  bool Append(const void* data, size_t count);
  // No more bytes will come.
  void FinishWriting();
  // Up to `length` bytes at `offset` of what has arrived: the count, or -1.
  int64_t ReadAt(int64_t offset, void* buffer, size_t length);
  int64_t Length() const { return length_.load(std::memory_order_acquire); }
  const std::string& Path() const { return path_; }
  // Closes and deletes the file.
  void Remove();

 private:
  std::string path_;
  int writer_ = -1;
  LocalFile reader_;
  StreamCacheClaim claim_;
  std::atomic<int64_t> length_{0};
};

}  // namespace vk2
