// The bytes an Ogg Vorbis stream is decoded from: the decoder's upstream reader in a chain,
// memory or a file in tests.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vk2 {

class VorbisSource {
 public:
  virtual ~VorbisSource() = default;
  // Up to `bytes` bytes: the count, 0 at the end of the stream, negative on a read failure.
  virtual int64_t Read(void* buffer, size_t bytes) = 0;
  // Moves to `offset` from the start (SEEK_SET), the current position (SEEK_CUR) or the end
  // (SEEK_END). The new position, or -1 when the source cannot seek (a live stream).
  virtual int64_t Seek(int64_t offset, int whence) = 0;
  // The position of the next byte Read gives, or -1.
  virtual int64_t Tell() = 0;
};

}  // namespace vk2
