#include "audio/readers/common/blocking_ring_buffer.h"

#include "platform/clock.h"
#include "platform/fake_clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <numeric>
#include <thread>
#include <vector>

namespace vk2 {
namespace {

std::vector<uint8_t> Sequence(size_t n, uint8_t first = 0) {
  std::vector<uint8_t> v(n);
  std::iota(v.begin(), v.end(), first);
  return v;
}

TEST(BlockingRingBufferTest, HoldsExactlyItsCapacityAcrossTheWrap) {
  BlockingRingBuffer ring(10);
  EXPECT_EQ(ring.Capacity(), 10u);
  std::vector<uint8_t> out(10);
  // Move the indices near the end of the storage so the next write wraps.
  ASSERT_EQ(ring.Write(Sequence(7).data(), 7, false, false), 7);
  ASSERT_EQ(ring.Read(out.data(), 7, false), 7);
  const auto data = Sequence(10, 100);
  EXPECT_EQ(ring.Write(data.data(), 10, false, false), 10);
  EXPECT_EQ(ring.Free(), 0u);
  EXPECT_EQ(ring.Write(data.data(), 1, false, false), 0);
  EXPECT_EQ(ring.Available(), 10u);
  EXPECT_EQ(ring.Read(out.data(), 10, false), 10);
  EXPECT_EQ(out, data);
}

TEST(BlockingRingBufferTest, PeekCopiesOnlyWhenEverythingAskedForIsThere) {
  BlockingRingBuffer ring(16);
  const auto data = Sequence(6);
  ring.Write(data.data(), 6, false, false);
  std::vector<uint8_t> out(8, 0xEE);
  EXPECT_EQ(ring.Read(out.data(), 8, false, false), 0);
  EXPECT_EQ(ring.Read(out.data(), 4, false, false), 4);
  EXPECT_EQ(ring.Available(), 6u);
  EXPECT_EQ(0, std::memcmp(out.data(), data.data(), 4));
  // Once closed, a peek shows what is left.
  ring.Close(true);
  EXPECT_EQ(ring.Read(out.data(), 8, true, false), 6);
}

TEST(BlockingRingBufferTest, NullSourceWritesZerosAndNullDestinationDiscards) {
  BlockingRingBuffer ring(8);
  ring.Write(Sequence(3, 1).data(), 3, false, false);
  ring.Write(nullptr, 2, false, false);
  EXPECT_EQ(ring.Read(nullptr, 2, false), 2);
  std::vector<uint8_t> out(3);
  EXPECT_EQ(ring.Read(out.data(), 3, false), 3);
  EXPECT_EQ(out, (std::vector<uint8_t>{3, 0, 0}));
}

TEST(BlockingRingBufferTest, ClosedBufferDrainsThenEndsAndRefusesWrites) {
  BlockingRingBuffer ring(8);
  ring.Write(Sequence(5).data(), 5, false, false);
  ring.Close(true);
  std::vector<uint8_t> out(8);
  EXPECT_EQ(ring.Read(out.data(), 8, true), 5);
  EXPECT_EQ(ring.Read(out.data(), 8, true), 0);
  EXPECT_EQ(ring.Write(out.data(), 1, true, false), kRingAborted);
  ring.Close(false);
  EXPECT_EQ(ring.Write(out.data(), 1, true, false), 1);
}

TEST(BlockingRingBufferTest, TimeLimitEndsAWaitThatNothingAnswers) {
  BlockingRingBuffer ring(4);
  uint8_t b[8] = {};
  EXPECT_EQ(ring.Read(b, 1, true, true, nullptr, 5), kRingTimedOut);
  ring.Write(b, 4, false, false);
  EXPECT_EQ(ring.Write(b, 1, true, false, nullptr, 5), kRingTimedOut);
  // Bytes already moved are reported, not lost to the time-out.
  EXPECT_EQ(ring.Read(b, 8, true, true, nullptr, 5), 4);
}

TEST(BlockingRingBufferTest, AllOrNothingWaitsForRoomForTheWholeBlock) {
  BlockingRingBuffer ring(8);
  uint8_t b[16] = {};
  EXPECT_EQ(ring.Write(b, 9, true, true), 0);  // larger than the ring: never fits
  ring.Write(b, 5, false, false);
  EXPECT_EQ(ring.Write(b, 4, false, true), 0);
  std::thread consumer([&] {
    uint8_t out[2];
    ring.Read(out, 2, true);
  });
  EXPECT_EQ(ring.Write(b, 4, true, true), 4);
  consumer.join();
  EXPECT_EQ(ring.Available(), 7u);
}

TEST(BlockingRingBufferTest, AbortWakesBlockedReaderAndWriterUntilCleared) {
  BlockingRingBuffer empty(8);
  BlockingRingBuffer full(8);
  uint8_t b[8] = {};
  full.Write(b, 8, false, false);
  std::atomic<int64_t> readResult{0}, writeResult{0};
  std::thread reader([&] { readResult = empty.Read(b, 4, true); });
  std::thread writer([&] { writeResult = full.Write(b, 4, true, false); });
  empty.SetAbort(true);
  full.SetAbort(true);
  reader.join();
  writer.join();
  EXPECT_EQ(readResult, kRingAborted);
  EXPECT_EQ(writeResult, kRingAborted);
  // Later blocking calls end at once too, until the abort is cleared.
  EXPECT_EQ(empty.Read(b, 1, true), kRingAborted);
  empty.SetAbort(false);
  EXPECT_EQ(empty.Read(b, 1, true, true, nullptr, 1), kRingTimedOut);
}

TEST(BlockingRingBufferTest, ExtraEventEndsOnlyTheWaitItWasGivenTo) {
  BlockingRingBuffer ring(8);
  Event abort(EventReset::kManual);
  uint8_t b[8] = {};
  std::atomic<int64_t> result{0};
  std::thread reader([&] { result = ring.Read(b, 4, true, true, &abort); });
  abort.Set();
  reader.join();
  EXPECT_EQ(result, kRingAborted);
  // Bytes already queued are still taken before the event is looked at.
  ring.Write(b, 2, false, false);
  EXPECT_EQ(ring.Read(b, 4, true, true, &abort), 2);
  // A wait without the event is not affected by it.
  EXPECT_EQ(ring.Read(b, 1, true, true, nullptr, 1), kRingTimedOut);
  ring.Write(b, 8, false, false);
  EXPECT_EQ(ring.Write(b, 1, true, false, &abort), kRingAborted);
}

TEST(BlockingRingBufferTest, TimeLimitsFollowThePlatformClock) {
  FakeClock clock;
  ScopedClock scoped(clock);
  BlockingRingBuffer ring(8);
  uint8_t b[8] = {};
  std::atomic<int64_t> result{1};
  std::thread reader([&] { result = ring.Read(b, 4, true, true, nullptr, 1000); });
  ASSERT_TRUE(clock.WaitForSleepers(1));
  clock.Advance(999);
  ASSERT_TRUE(clock.WaitForSleepers(1));  // asleep again: the limit is not reached
  EXPECT_EQ(result, 1);
  clock.Advance(1);
  reader.join();
  EXPECT_EQ(result, kRingTimedOut);
}

TEST(BlockingRingBufferTest, FlushEmptiesAndFreesABlockedWriter) {
  BlockingRingBuffer ring(8);
  uint8_t b[8] = {};
  ring.Write(b, 8, false, false);
  std::atomic<int64_t> result{0};
  std::thread writer([&] { result = ring.Write(b, 3, true, true); });
  while (ring.Available() != 8)
    std::this_thread::yield();
  ring.Flush();
  writer.join();
  EXPECT_EQ(result, 3);
  EXPECT_EQ(ring.Available(), 3u);
}

TEST(BlockingRingBufferTest, ResizeKeepsTheOldestBytes) {
  BlockingRingBuffer ring(8);
  ring.Write(Sequence(6).data(), 6, false, false);
  uint8_t b[4];
  ring.Read(b, 2, false);  // queued: 2..5
  ASSERT_TRUE(ring.Resize(3));
  std::vector<uint8_t> out(3);
  EXPECT_EQ(ring.Read(out.data(), 8, false), 3);
  EXPECT_EQ(out, (std::vector<uint8_t>{2, 3, 4}));
  ASSERT_TRUE(ring.Resize(100));
  EXPECT_EQ(ring.Capacity(), 100u);
  EXPECT_EQ(ring.Available(), 0u);
}

TEST(BlockingRingBufferTest, ZeroCapacityNeverBlocksForever) {
  BlockingRingBuffer ring;
  uint8_t b[2] = {};
  EXPECT_EQ(ring.Write(b, 1, true, true), 0);
  ring.Close(true);
  EXPECT_EQ(ring.Read(b, 1, true), 0);
}

}  // namespace
}  // namespace vk2
