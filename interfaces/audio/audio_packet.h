// Packets carry audio between chain modules; the packet pool hands them out.
#pragma once

#include <cstdint>

#include "interfaces/audio/audio_format.h"
#include "interfaces/unknown.h"

namespace vk2 {

enum PacketFlags : uint32_t {
  kPacketFirst = 1,          // first packet of a stream
  kPacketLast = 2,           // last packet of a stream
  kPacketDiscontinuity = 4,  // first packet after a seek, or data the engine inserted
};

// Stream id of silence the engine inserts.
inline constexpr int32_t kInsertedStreamId = -1;

// A header and its payload in one allocation from the pool. The reference count is a plain
// counter: a packet belongs to one thread at a time and is handed on, never shared, so a module
// that wants to keep audio (a visual tap) copies the data. Release at zero returns the packet to
// its pool, which releases its format.
class AudioPacket {
 public:
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

  // Replaces the packet's format record (counted).
  void SetFormat(AudioFormat* f) {
    if (f) f->AddRef();
    if (format) format->Release();
    format = f;
  }

  uint8_t* data = nullptr;  // payload, aligned to 32 bytes for SIMD code
  uint32_t byteCount = 0;   // bytes of payload in use
  uint32_t flags = 0;       // PacketFlags
  int32_t streamId = 0;
  double position = -1.0;  // where the first byte lies in its stream (seconds for PCM, bytes for
                           // a stream reader); -1 when unknown
  double length = -1.0;    // what the payload covers (seconds for PCM); -1 when unknown
  AudioFormat* format = nullptr;  // counted
  uint32_t capacity = 0;          // payload bytes allocated; set by the pool

 protected:
  AudioPacket() = default;
  ~AudioPacket() = default;
};

// The audio system's pool. AddRef and Release keep the audio system alive, and every packet
// that is out holds the pool, so a packet may be released after every other user has gone.
class MPacketPool : public MUnknown {
 public:
  // Puts a packet of at least `bytes` capacity into `*packet` (releasing what it held), with
  // byteCount = bytes, no format, flags 0, stream id 0, position and length -1. 0, or -3.
  virtual int32_t AcquirePacket(AudioPacket** packet, uint32_t bytes) = 0;

 protected:
  ~MPacketPool() = default;
};

}  // namespace vk2
