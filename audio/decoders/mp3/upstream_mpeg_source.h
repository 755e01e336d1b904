// The MPEG frame stream's byte source over the decoder's upstream output: sequential bytes come
// from the upstream packets, reads at an offset go to the upstream stream reader's ReadAt, which
// leaves the sequential position, the read-ahead and the discontinuity flag alone.
#pragma once

#include <cstddef>
#include <cstdint>

#include "audio/decoders/common/upstream_byte_source.h"
#include "audio/decoders/mpeg/byte_source.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/stream_reader.h"

namespace vk2 {

class MErrorRegistry;

class UpstreamMpegSource final : public MpegByteSource {
 public:
  UpstreamMpegSource(AudioModuleOutput* upstream, MErrorRegistry* registry);

  size_t Read(void* buffer, size_t length) override;
  int64_t ReadAt(int64_t offset, void* buffer, size_t length) override;
  bool Seek(int64_t offset) override;
  int64_t Position() const override { return bytes_.Tell(); }
  int64_t Size() const override;
  bool AtEnd() const override { return bytes_.AtEnd() || failed_; }

  // The stream id of the upstream packet read last.
  int32_t StreamId() const { return bytes_.StreamId(); }

 private:
  mutable UpstreamByteSource bytes_;
  RefPtr<MStreamReader> reader_;
  // The upstream failed other than by ending: reads stop, and the run reports the failure.
  bool failed_ = false;
};

}  // namespace vk2
