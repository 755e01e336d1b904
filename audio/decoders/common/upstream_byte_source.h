// The bytes a decoder reads, taken from its upstream output's packets, with positioning through
// the upstream stream reader. The WAVE decoder's RIFF reading and the Ogg decoder's vorbisfile
// callbacks both read through one of these.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/audio_module.h"
#include "interfaces/audio/audio_packet.h"
#include "interfaces/audio/stream_reader.h"

namespace vk2 {

class MErrorRegistry;

class UpstreamByteSource {
 public:
  UpstreamByteSource() = default;
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
  int64_t Read(void* buffer, size_t bytes);
  bool AtEnd() const { return end_; }
  // The stream id of the packet read last.
  int32_t StreamId() const { return streamId_; }

  // Through the upstream stream reader. -1 when it cannot be reached, cannot seek, or the
  // target lies outside the stream. A move drops the packet held.
  int64_t Seek(int64_t offset, int whence);
  // The position of the next byte Read gives; -1 when unknown.
  int64_t Tell();
  // The stream's total size; -1 when unknown.
  int64_t Size();
  bool IsSeekable();

 private:
  RefPtr<MStreamReader> Reader();

  AudioModuleOutput* upstream_ = nullptr;
  MErrorRegistry* registry_ = nullptr;
  RefPtr<AudioPacket> packet_;
  uint32_t offset_ = 0;
  int32_t streamId_ = 0;
  bool end_ = false;
};

}  // namespace vk2
