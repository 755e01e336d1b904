#pragma once
// The byte stream the MPEG frame stream reads from. The stream reader implements it over its
// upstream; tests and the benchmark use MemoryByteSource.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vk2 {

class MpegByteSource {
 public:
  virtual ~MpegByteSource() = default;
  // Sequential, consuming read; a short count means end of stream or a read failure.
  virtual size_t Read(void* buffer, size_t length) = 0;
  // Reads at an absolute offset without moving the sequential position; -1 when not possible.
  virtual int64_t ReadAt(int64_t offset, void* buffer, size_t length) = 0;
  // Moves the sequential position; false when the source cannot seek there.
  virtual bool Seek(int64_t offset) = 0;
  // Sequential position in bytes from the start, -1 when unknown.
  virtual int64_t Position() const = 0;
  // Total size in bytes; 0 or less when unknown (live streams).
  virtual int64_t Size() const = 0;
  // True once the sequential position has reached the end of the stream.
  virtual bool AtEnd() const = 0;
};

// A byte source over a buffer it does not own.
class MemoryByteSource final : public MpegByteSource {
 public:
  MemoryByteSource(const void* data, size_t size)
      : data_(static_cast<const uint8_t*>(data)), size_(size) {}
  explicit MemoryByteSource(const std::vector<uint8_t>& bytes)
      : MemoryByteSource(bytes.data(), bytes.size()) {}

  size_t Read(void* buffer, size_t length) override;
  int64_t ReadAt(int64_t offset, void* buffer, size_t length) override;
  bool Seek(int64_t offset) override;
  int64_t Position() const override { return static_cast<int64_t>(position_); }
  int64_t Size() const override { return live_ ? 0 : static_cast<int64_t>(size_); }
  bool AtEnd() const override { return position_ >= size_; }

  // A live stream: no size, no seeking, no reads at an offset.
  void SetLive(bool live) { live_ = live; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
  bool live_ = false;
};

}  // namespace vk2
