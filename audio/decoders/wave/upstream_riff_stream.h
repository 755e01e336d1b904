// The decoder's upstream bytes as the byte stream the RIFF reader reads.
#pragma once

#include <cstdio>

#include "audio/decoders/common/upstream_byte_source.h"
#include "platform/audio/riff/byte_stream.h"

namespace vk2 {

class UpstreamRiffStream final : public ByteStream {
 public:
  explicit UpstreamRiffStream(UpstreamByteSource& source) : source_(source) {}
  int64_t Read(void* buffer, int64_t bytes) override {
    if (bytes <= 0) return 0;
    const int64_t n = source_.Read(buffer, static_cast<size_t>(bytes));
    return n < 0 ? -1 : n;
  }
  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    const int whence = origin == SeekOrigin::kBegin     ? SEEK_SET
                       : origin == SeekOrigin::kCurrent ? SEEK_CUR
                                                        : SEEK_END;
    return source_.Seek(offset, whence);
  }
  int64_t Size() override { return source_.Size(); }

 private:
  UpstreamByteSource& source_;
};

}  // namespace vk2
