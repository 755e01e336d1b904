// Stream readers: the first module of a chain. No input, one output that delivers
// kFormatByteStream packets; besides the module operations it tells whether and how cheaply it
// reads a URL, opens it, and gives random and sequential access to its bytes. Offsets and sizes
// are 64-bit.
#pragma once

#include <cstdint>

#include "interfaces/audio/audio_module.h"

namespace vk2 {

class MStreamReader : public MAudioModule {
 public:
  // Always 0; both scores 0 when the reader cannot read the URL.
  virtual int32_t CanRead(const char16_t* url, uint32_t* score1, uint32_t* score2) = 0;
  // The cost class of reading `url` (256 local file ... 1024 ftp); 0 when not the reader's.
  virtual int32_t GetAccessCost(const char16_t* url) = 0;
  virtual int32_t Open(const char16_t* url) = 0;
  virtual int32_t Close() = 0;
  // Either pointer may be null.
  virtual int32_t GetSize(int64_t* total, int64_t* available) = 0;
  // Reads without moving the sequential position.
  virtual int32_t ReadAt(int64_t offset, void* buffer, uint32_t length, uint32_t* count) = 0;
  virtual bool IsSeekable() = 0;
  virtual int32_t GetPosition(int64_t* position) = 0;
  // Moves the sequential position; the next packet carries the discontinuity flag.
  virtual int32_t SetPosition(int64_t offset) = 0;

 protected:
  ~MStreamReader() = default;
};

}  // namespace vk2
