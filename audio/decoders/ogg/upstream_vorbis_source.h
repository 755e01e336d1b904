// The decoder's upstream bytes as the source vorbisfile reads.
#pragma once

#include "audio/decoders/common/upstream_byte_source.h"
#include "audio/decoders/ogg/vorbis_source.h"

namespace vk2 {

class UpstreamVorbisSource final : public VorbisSource {
 public:
  explicit UpstreamVorbisSource(UpstreamByteSource& source) : source_(source) {}
  int64_t Read(void* buffer, size_t bytes) override { return source_.Read(buffer, bytes); }
  int64_t Seek(int64_t offset, int whence) override { return source_.Seek(offset, whence); }
  int64_t Tell() override { return source_.Tell(); }

 private:
  UpstreamByteSource& source_;
};

}  // namespace vk2
