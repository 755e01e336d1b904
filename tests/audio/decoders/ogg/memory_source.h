// A byte source over bytes in memory, seekable or live, that can be told to fail.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "foundation/bytes/byte_source.h"

namespace vk2::test {

class MemoryVorbisSource final : public ByteSource {
 public:
  explicit MemoryVorbisSource(std::vector<uint8_t> bytes, bool seekable = true)
      : bytes_(std::move(bytes)), seekable_(seekable) {}

  // Reads fail once the position reaches `offset`.
  void FailFrom(int64_t offset) { failFrom_ = offset; }

  int64_t Read(void* buffer, size_t n) override {
    if (pos_ >= failFrom_) return -1;
    const size_t left = pos_ < static_cast<int64_t>(bytes_.size()) ? bytes_.size() - pos_ : 0;
    n = std::min({n, left, static_cast<size_t>(failFrom_ - pos_)});
    if (n > 0) std::memcpy(buffer, bytes_.data() + pos_, n);
    pos_ += static_cast<int64_t>(n);
    return static_cast<int64_t>(n);
  }
  int64_t ReadAt(int64_t, void*, size_t) override { return -1; }
  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    if (!seekable_) return -1;
    const int64_t base = origin == SeekOrigin::kBegin     ? 0
                         : origin == SeekOrigin::kCurrent ? pos_
                                                          : static_cast<int64_t>(bytes_.size());
    if (base + offset < 0) return -1;
    pos_ = base + offset;
    return pos_;
  }
  int64_t Tell() override { return pos_; }
  int64_t Size() override { return seekable_ ? static_cast<int64_t>(bytes_.size()) : kUnknownSize; }

 private:
  std::vector<uint8_t> bytes_;
  bool seekable_;
  int64_t pos_ = 0;
  int64_t failFrom_ = INT64_MAX;
};

}  // namespace vk2::test
