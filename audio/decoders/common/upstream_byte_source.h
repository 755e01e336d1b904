// The bytes a decoder reads, taken from its upstream output's packets, with positioning and reads
// at an offset through the upstream stream reader (whose ReadAt leaves the sequential position,
// the read-ahead and the discontinuity flag alone). Every decoder reads its upstream through one
// of these, under a look-ahead stream.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/bytes/byte_source.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/audio_module.h"
#include "interfaces/audio/audio_packet.h"
#include "interfaces/audio/stream_reader.h"

namespace vk2 {

class MErrorRegistry;

// The stream reader behind `upstream` (its owner), or null when the owner is not one.
RefPtr<MStreamReader> UpstreamStreamReader(AudioModuleOutput* upstream);

class UpstreamByteSource final : public ByteSource {
 public:
  UpstreamByteSource() = default;
  UpstreamByteSource(AudioModuleOutput* upstream, MErrorRegistry* registry) {
    Attach(upstream, registry);
  }
  UpstreamByteSource(const UpstreamByteSource&) = delete;
  UpstreamByteSource& operator=(const UpstreamByteSource&) = delete;

  // The output bytes come from (not counted: the chain keeps the module alive), or null.
  // `registry` tells the end of the stream from other failures of GetPacket.
  void Attach(AudioModuleOutput* upstream, MErrorRegistry* registry);
  AudioModuleOutput* Upstream() const { return upstream_; }
  // Drops the packet held and the end mark: the next read starts at the reader's position.
  void Reset();

  // Up to `bytes` bytes: the count; 0 at the end of the stream (a packet flagged last used up,
  // or the upstream has no more packets); when GetPacket fails before anything was copied, its
  // failure.
  int64_t Read(void* buffer, size_t bytes) override;
  bool AtEnd() const { return end_; }
  // The stream id of the packet read last.
  int32_t StreamId() const { return streamId_; }

  // The rest goes through the upstream stream reader. Seek answers -1 when the reader cannot be
  // reached, cannot seek, or the target lies outside the stream; a move drops the packet held.
  int64_t ReadAt(int64_t offset, void* buffer, size_t bytes) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Tell() override;
  int64_t Size() override;
  bool IsSeekable();

 private:
  RefPtr<MStreamReader> Reader() { return UpstreamStreamReader(upstream_); }

  AudioModuleOutput* upstream_ = nullptr;
  MErrorRegistry* registry_ = nullptr;
  RefPtr<AudioPacket> packet_;
  uint32_t offset_ = 0;
  int32_t streamId_ = 0;
  bool end_ = false;
};

}  // namespace vk2
