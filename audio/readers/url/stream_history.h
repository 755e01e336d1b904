// The last bytes a reader delivered, kept so that a short step back (and the rewind after a
// decoder's probe of a stream that cannot seek) is served again without a new request.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vk2 {

class StreamHistory {
 public:
  explicit StreamHistory(size_t capacity) : storage_(capacity) {}

  // Keeps the newest `capacity` bytes of everything appended.
  void Append(const uint8_t* data, size_t count);
  // Copies `count` bytes that begin `back` bytes before the newest end (count <= back <= Size()).
  void CopyFromEnd(size_t back, uint8_t* out, size_t count) const;
  size_t Size() const { return size_; }
  size_t Capacity() const { return storage_.size(); }
  void Clear() { size_ = end_ = 0; }

 private:
  std::vector<uint8_t> storage_;
  size_t end_ = 0;  // where the next byte goes
  size_t size_ = 0;
};

}  // namespace vk2
