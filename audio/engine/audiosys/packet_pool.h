// The packet pool: packets of a requested size, reused by size class so that steady playback
// allocates nothing. It lives inside the audio system: its AddRef and Release are the system's,
// and every packet that is out holds the pool, so the system outlives its last packet.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "interfaces/audio/audio_packet.h"
#include "platform/critical_section.h"

namespace vk2 {

class PoolPacket;

class PacketPool final : public MPacketPool {
 public:
  // At most this many free packets of one size class wait for reuse.
  static constexpr size_t kMaxFreePerClass = 7;
  static constexpr size_t kPayloadAlignment = 32;

  // `owner`: the object whose count keeps the pool (the audio system); null for a pool that
  // its creator keeps alive by other means.
  explicit PacketPool(MUnknown* owner) : owner_(owner) {}
  ~PacketPool();
  PacketPool(const PacketPool&) = delete;
  PacketPool& operator=(const PacketPool&) = delete;

  // The pool answers no interface of its own.
  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef, uint32_t reserved) override;
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
  std::atomic<uint32_t> ownCount_{0};
};

}  // namespace vk2
