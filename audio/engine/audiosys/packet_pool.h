// The packet pool: packets of a requested size, reused by size class so that steady playback
// allocates nothing. It lives inside the audio system: its AddRef and Release are the system's,
// and every packet that is out holds the pool, so the system outlives its last packet.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "component/object/com_object.h"
#include "interfaces/audio/audio_packet.h"
#include "platform/critical_section.h"

namespace vk2 {

class PoolPacket;

// The pool answers no interface of its own.
class PacketPool final : public ComObject<PacketPool, SilentFace<MPacketPool>> {
 public:
  // At most this many free packets of one size class wait for reuse.
  static constexpr size_t kMaxFreePerClass = 7;
  static constexpr size_t kPayloadAlignment = 32;

  // `owner`: the object whose count keeps the pool (the audio system); null for a pool that
  // its creator keeps alive by other means.
  explicit PacketPool(MUnknown* owner) : ComObject(Lifetime::kOwnedElsewhere), owner_(owner) {}
  ~PacketPool() override;

  // The owner's count when there is an owner, else the pool's own (which never frees it).
  uint32_t AddRef() override;
  uint32_t Release() override;
  int32_t AcquirePacket(AudioPacket** packet, uint32_t bytes) override;

  // A packet's last Release.
  void ReturnPacket(PoolPacket* packet);

  size_t FreeCount() const;

 private:
  static PoolPacket* Allocate(uint32_t capacity);
  static void Free(PoolPacket* packet);

  MUnknown* owner_;
  mutable CriticalSection lock_;
  std::vector<PoolPacket*> free_;  // in the order returned
};

}  // namespace vk2
