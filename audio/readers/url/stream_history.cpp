#include "audio/readers/url/stream_history.h"

#include <algorithm>
#include <cstring>

namespace vk2 {

void StreamHistory::Append(const uint8_t* data, size_t count) {
  const size_t capacity = storage_.size();
  if (capacity == 0 || count == 0) return;
  if (count >= capacity) {
    std::memcpy(storage_.data(), data + (count - capacity), capacity);
    end_ = 0;
    size_ = capacity;
    return;
  }
  const size_t first = std::min(count, capacity - end_);
  std::memcpy(storage_.data() + end_, data, first);
  std::memcpy(storage_.data(), data + first, count - first);
  end_ = (end_ + count) % capacity;
  size_ = std::min(capacity, size_ + count);
}

void StreamHistory::CopyFromEnd(size_t back, uint8_t* out, size_t count) const {
  const size_t capacity = storage_.size();
  if (count == 0 || back > size_ || count > back) return;
  size_t from = (end_ + capacity - back) % capacity;
  const size_t first = std::min(count, capacity - from);
  std::memcpy(out, storage_.data() + from, first);
  std::memcpy(out + first, storage_.data(), count - first);
}

}  // namespace vk2
