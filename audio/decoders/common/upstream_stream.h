// A decoder's upstream bytes as the look-ahead stream the decoder reads: the RIFF reader of the
// WAVE decoder and the vorbisfile callbacks of the Ogg decoder read through Stream().
#pragma once

#include <cstdint>

#include "audio/decoders/common/upstream_byte_source.h"
#include "foundation/bytes/lookahead_stream.h"

namespace vk2 {

class UpstreamStream {
 public:
  UpstreamStream() = default;
  UpstreamStream(AudioModuleOutput* upstream, MErrorRegistry* registry) {
    Attach(upstream, registry);
  }
  UpstreamStream(const UpstreamStream&) = delete;
  UpstreamStream& operator=(const UpstreamStream&) = delete;

  // See UpstreamByteSource::Attach.
  void Attach(AudioModuleOutput* upstream, MErrorRegistry* registry) {
    source_.Attach(upstream, registry);
    stream_.Reset();
  }
  // Drops whatever is held: the next read starts at the reader's position.
  void Reset() {
    source_.Reset();
    stream_.Reset();
  }
  // To the start when the reader seeks; one that cannot is taken to stand there.
  void Rewind() {
    if (source_.IsSeekable()) stream_.Seek(0, SeekOrigin::kBegin);
  }

  LookaheadStream& Stream() { return stream_; }
  // The stream id of the upstream packet read last.
  int32_t StreamId() const { return source_.StreamId(); }

 private:
  UpstreamByteSource source_;
  LookaheadStream stream_{source_};
};

}  // namespace vk2
