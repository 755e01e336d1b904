#include "audio/engine/audiosys/packet_pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "audio/common/format_record.h"
#include "foundation/util/ref_ptr.h"

namespace vk2 {
namespace {

RefPtr<AudioPacket> Acquire(PacketPool& pool, uint32_t bytes) {
  AudioPacket* p = nullptr;
  EXPECT_EQ(pool.AcquirePacket(&p, bytes), 0);
  return RefPtr<AudioPacket>::Adopt(p);
}

TEST(PacketPool, FreshPacketIsReset) {
  PacketPool pool(nullptr);
  RefPtr<AudioPacket> p = Acquire(pool, 100);
  EXPECT_EQ(p->byteCount, 100u);
  EXPECT_EQ(p->capacity, 100u);
  EXPECT_EQ(p->flags, 0u);
  EXPECT_EQ(p->streamId, 0);
  EXPECT_EQ(p->position, -1.0);
  EXPECT_EQ(p->length, -1.0);
  EXPECT_EQ(p->format, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(p->data) % PacketPool::kPayloadAlignment, 0u);
}

// A request for n bytes reuses a free packet of capacity c only when n <= c < 2n.
TEST(PacketPool, ReusesBySizeClass) {
  struct Case {
    uint32_t freeCapacity;
    bool reused;
  };
  for (const Case c : {Case{4096, true}, Case{8191, true}, Case{8192, false}, Case{4095, false}}) {
    SCOPED_TRACE(c.freeCapacity);
    PacketPool pool(nullptr);
    AudioPacket* first = Acquire(pool, c.freeCapacity).Get();  // back in the free list now
    RefPtr<AudioPacket> second = Acquire(pool, 4096);
    EXPECT_EQ(second.Get() == first, c.reused);
  }
}

TEST(PacketPool, ReacquiredPacketIsResetAndFormatReleased) {
  PacketPool pool(nullptr);
  RefPtr<AudioFormat> f = MakePcmFormat(44100, 2, 16);
  {
    RefPtr<AudioPacket> p = Acquire(pool, 64);
    p->SetFormat(f.Get());
    p->flags = 7;
    p->streamId = 5;
    p->position = 3.0;
  }
  // The pool released the packet's format when it came back: only `f` holds it.
  EXPECT_EQ(f->AddRef(), 2u);
  f->Release();
  RefPtr<AudioPacket> again = Acquire(pool, 64);
  EXPECT_EQ(again->format, nullptr);
  EXPECT_EQ(again->flags, 0u);
  EXPECT_EQ(again->streamId, 0);
  EXPECT_EQ(again->position, -1.0);
}

TEST(PacketPool, KeepsAtMostSevenPerSizeClass) {
  PacketPool pool(nullptr);
  std::vector<RefPtr<AudioPacket>> held;
  for (int i = 0; i < 8; ++i)
    held.push_back(Acquire(pool, 1000));
  for (int i = 0; i < 7; ++i)
    held[i] = nullptr;
  EXPECT_EQ(pool.FreeCount(), 7u);
  held[7] = nullptr;  // the eighth of its class is freed, not kept
  EXPECT_EQ(pool.FreeCount(), 7u);
  // Another size class is counted apart.
  Acquire(pool, 100000);
  EXPECT_EQ(pool.FreeCount(), 8u);
}

TEST(PacketPool, AcquireIntoAHeldSlotReleasesTheOldPacket) {
  PacketPool pool(nullptr);
  AudioPacket* slot = nullptr;
  ASSERT_EQ(pool.AcquirePacket(&slot, 100), 0);
  AudioPacket* first = slot;
  ASSERT_EQ(pool.AcquirePacket(&slot, 5000), 0);
  EXPECT_NE(slot, first);
  EXPECT_EQ(pool.FreeCount(), 1u);  // the first came back
  slot->Release();
}

// The pool is the audio system's: packets that are out keep their owner alive.
TEST(PacketPool, OutstandingPacketsHoldTheOwner) {
  struct Owner : MUnknown {
    int32_t QueryInterface(const Guid&, void**, uint32_t, uint32_t) override { return -15; }
    uint32_t AddRef() override { return ++count; }
    uint32_t Release() override { return --count; }
    uint32_t count = 1;
  } owner;
  PacketPool pool(&owner);
  RefPtr<AudioPacket> p = Acquire(pool, 10);
  EXPECT_EQ(owner.count, 2u);
  p = nullptr;
  EXPECT_EQ(owner.count, 1u);
  EXPECT_EQ(pool.QueryInterface(Guid{}, nullptr, 1, 0), -15);
}

TEST(PacketPool, ZeroByteRequestsAreReused) {
  PacketPool pool(nullptr);
  AudioPacket* first = Acquire(pool, 0).Get();
  RefPtr<AudioPacket> again = Acquire(pool, 0);
  EXPECT_EQ(again.Get(), first);
  EXPECT_EQ(again->byteCount, 0u);
}

}  // namespace
}  // namespace vk2
