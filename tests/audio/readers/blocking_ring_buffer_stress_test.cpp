#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>
#include <vector>

#include "audio/readers/common/blocking_ring_buffer.h"

namespace vk2 {
namespace {

// One producer and one consumer move a long stream through a small ring in uneven pieces.
struct TransferCase {
  size_t capacity;
  size_t maxWrite;
  size_t maxRead;
  bool allOrNothing;
};

class RingTransferTest : public ::testing::TestWithParam<TransferCase> {};

TEST_P(RingTransferTest, EveryByteArrivesOnceInOrder) {
  const TransferCase c = GetParam();
  BlockingRingBuffer ring(c.capacity);
  std::vector<uint8_t> source(60000);
  std::mt19937 rng(7);
  for (auto& b : source)
    b = static_cast<uint8_t>(rng());
  std::thread producer([&] {
    std::mt19937 r(11);
    size_t pos = 0;
    while (pos < source.size()) {
      const size_t n = std::min(source.size() - pos, 1 + r() % c.maxWrite);
      const int64_t w = ring.Write(source.data() + pos, n, true, c.allOrNothing);
      ASSERT_EQ(w, static_cast<int64_t>(n));
      pos += n;
    }
    ring.Close(true);
  });
  std::vector<uint8_t> received;
  std::mt19937 r(13);
  std::vector<uint8_t> piece(c.maxRead);
  for (;;) {
    const size_t n = 1 + r() % c.maxRead;
    const int64_t got = ring.Read(piece.data(), n, true);
    ASSERT_GE(got, 0);
    if (got == 0) break;
    // A short read happens only at the end.
    if (static_cast<size_t>(got) < n) {
      EXPECT_TRUE(ring.IsClosed());
    }
    received.insert(received.end(), piece.begin(), piece.begin() + got);
  }
  producer.join();
  EXPECT_EQ(received, source);
}

INSTANTIATE_TEST_SUITE_P(Shapes, RingTransferTest,
                         ::testing::Values(TransferCase{1, 1, 1, false},
                                           TransferCase{7, 5, 13, false},
                                           TransferCase{64, 64, 1000, true},
                                           TransferCase{4096, 1500, 1024, true},
                                           TransferCase{1000, 3000, 7, false}));

// Seeks flush the ring while the producer writes and the consumer reads; nothing may hang or
// tear, and every read after the flush is whole pieces of what the producer wrote.
TEST(RingStressTest, FlushesDuringTrafficLeaveOnlyWholeRecords) {
  BlockingRingBuffer ring(1000);
  constexpr size_t kRecord = 8;
  std::atomic<bool> stop{false};
  std::thread producer([&] {
    uint64_t counter = 0;
    while (!stop) {
      uint8_t record[kRecord];
      for (size_t i = 0; i < kRecord; ++i)
        record[i] = static_cast<uint8_t>(counter);
      ++counter;
      if (ring.Write(record, kRecord, true, true, nullptr, 50) < 0 && ring.IsAborted()) break;
    }
  });
  std::thread flusher([&] {
    for (int i = 0; i < 2000; ++i) {
      ring.Flush();
      std::this_thread::yield();
    }
    ring.SetAbort(true);
    stop = true;
  });
  // Whatever survives a flush is a whole record: flushes drop everything queued at once.
  uint8_t record[kRecord];
  while (!stop) {
    const int64_t n = ring.Read(record, kRecord, true, true, nullptr, 50);
    if (n == static_cast<int64_t>(kRecord)) {
      EXPECT_TRUE(std::all_of(record, record + kRecord, [&](uint8_t b) { return b == record[0]; }));
    }
  }
  flusher.join();
  producer.join();
}

}  // namespace
}  // namespace vk2
