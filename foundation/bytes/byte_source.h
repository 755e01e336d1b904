// The one byte-source interface the decoders and the RIFF reader read from: the decoders'
// upstream packets in a chain, memory and files elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vk2 {

enum class SeekOrigin { kBegin, kCurrent, kEnd };

class ByteSource {
 public:
  // What Size answers when the total is not known (a live stream).
  static constexpr int64_t kUnknownSize = -1;

  virtual ~ByteSource() = default;
  // Up to `bytes` bytes at the position, which moves past them: the count, 0 at the end of the
  // stream, negative on a read failure.
  virtual int64_t Read(void* buffer, size_t bytes) = 0;
  // Up to `bytes` bytes at the absolute `offset`; the position does not move. The count, or -1
  // when the source cannot read there (a live stream, an offset outside it).
  virtual int64_t ReadAt(int64_t offset, void* buffer, size_t bytes) = 0;
  // Moves `offset` from `origin`: the new position, or -1 when the source cannot seek there or
  // at all. Seek(0, kCurrent) moves nothing and tells whether the source seeks.
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
  // The position of the next byte Read gives; -1 when unknown.
  virtual int64_t Tell() = 0;
  // The total size in bytes, or kUnknownSize.
  virtual int64_t Size() = 0;
};

// The target of a Seek from `origin`, given the current position and size (kUnknownSize or
// negative: unknown); -1 when it cannot be computed or lies before the start.
int64_t SeekTarget(int64_t offset, SeekOrigin origin, int64_t position, int64_t size);

// Bytes in memory: viewed when given by pointer or by lvalue (the caller keeps them alive),
// owned when given by rvalue.
class MemoryByteSource final : public ByteSource {
 public:
  MemoryByteSource(const void* data, size_t size, bool seekable = true)
      : data_(static_cast<const uint8_t*>(data)), size_(size), seekable_(seekable) {}
  explicit MemoryByteSource(const std::vector<uint8_t>& bytes, bool seekable = true)
      : MemoryByteSource(bytes.data(), bytes.size(), seekable) {}
  explicit MemoryByteSource(std::vector<uint8_t>&& bytes, bool seekable = true)
      : owned_(std::move(bytes)), data_(owned_.data()), size_(owned_.size()), seekable_(seekable) {}
  MemoryByteSource(const MemoryByteSource&) = delete;
  MemoryByteSource& operator=(const MemoryByteSource&) = delete;

  int64_t Read(void* buffer, size_t bytes) override;
  int64_t ReadAt(int64_t offset, void* buffer, size_t bytes) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Tell() override { return static_cast<int64_t>(position_); }
  int64_t Size() override { return seekable_ ? static_cast<int64_t>(size_) : kUnknownSize; }

  // A live stream: no size, no seeking, no reads at an offset.
  void SetSeekable(bool seekable) { seekable_ = seekable; }

 private:
  std::vector<uint8_t> owned_;
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
  bool seekable_;
};

// A file opened for reading; sizes of anything but a regular file are unknown.
class FileByteSource final : public ByteSource {
 public:
  FileByteSource() = default;
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;
  ~FileByteSource() override;
  bool Open(const std::string& path);

  int64_t Read(void* buffer, size_t bytes) override;
  int64_t ReadAt(int64_t offset, void* buffer, size_t bytes) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Tell() override { return Seek(0, SeekOrigin::kCurrent); }
  int64_t Size() override;

 private:
  int fd_ = -1;
};

}  // namespace vk2
