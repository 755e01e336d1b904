// The byte source the RIFF reader reads from. The stream reader of the audio chain implements it
// over its packets; files and memory have their own implementations here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vk2 {

enum class SeekOrigin { kBegin, kCurrent, kEnd };

class ByteStream {
 public:
  virtual ~ByteStream() = default;
  // Up to `bytes` bytes; 0 at the end, -1 on a read error.
  virtual int64_t Read(void* buffer, int64_t bytes) = 0;
  // The new position, or -1 when the stream cannot seek there (or at all).
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
  // Total bytes, or -1 when unknown (a live stream).
  virtual int64_t Size() = 0;
};

class MemoryByteStream final : public ByteStream {
 public:
  explicit MemoryByteStream(std::vector<uint8_t> bytes, bool seekable = true)
      : bytes_(std::move(bytes)), seekable_(seekable) {}
  MemoryByteStream(const void* data, size_t size, bool seekable = true);
  int64_t Read(void* buffer, int64_t bytes) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return seekable_ ? static_cast<int64_t>(bytes_.size()) : -1; }

 private:
  std::vector<uint8_t> bytes_;
  size_t pos_ = 0;
  bool seekable_;
};

class FileByteStream final : public ByteStream {
 public:
  FileByteStream() = default;
  FileByteStream(const FileByteStream&) = delete;
  FileByteStream& operator=(const FileByteStream&) = delete;
  ~FileByteStream() override;
  bool Open(const std::string& path);
  int64_t Read(void* buffer, int64_t bytes) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override;

 private:
  int fd_ = -1;
};

}  // namespace vk2
