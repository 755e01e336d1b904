// The CD buffer thread against a puller while seeks, stops and starts come from a third
// thread: every byte a read hands out is the frame it says it is.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "audio/readers/cd/cd_track_stream.h"
#include "tests/audio/readers/cd/cd_test_drives.h"

namespace vk2 {
namespace {

constexpr int64_t kSectors = 400;

// Whether every frame of `bytes` is the one its place after `startFrame` says.
bool FramesInPlace(const uint8_t* bytes, size_t count, int64_t startFrame) {
  for (size_t i = 0; i + 4 <= count; i += 4) {
    uint32_t v;
    std::memcpy(&v, bytes + i, 4);
    if (v != static_cast<uint32_t>(startFrame + static_cast<int64_t>(i / 4))) return false;
  }
  return true;
}

TEST(CdTrackStreamStressTest, ReadsStayInPlaceWhileSeeksStopsAndStartsRace) {
  CdTrackStream stream;
  stream.Attach(std::make_unique<test::PatternCdDrive>(kSectors), 0, kSectors);
  ASSERT_TRUE(stream.Start());
  std::atomic<bool> done{false};
  std::atomic<int> wrong{0};
  std::atomic<int> reads{0};
  std::thread puller([&] {
    std::vector<uint8_t> buffer(1024);
    while (!done.load()) {
      const CdTrackStream::ReadResult r = stream.Read(buffer.data(), buffer.size(), nullptr);
      if (r.outcome == CdTrackStream::Outcome::kFailed) ++wrong;
      if (r.bytes % 4 != 0 || !FramesInPlace(buffer.data(), r.bytes, r.startFrame)) ++wrong;
      ++reads;
      // At the end of the track or while stopped nothing comes: let the other side move.
      if (r.bytes < buffer.size()) std::this_thread::yield();
    }
  });
  std::mt19937 random(7);
  for (int i = 0; i < 2000; ++i) {
    const int action = static_cast<int>(random() % 10);
    if (action == 0) {
      stream.Stop();
      ASSERT_TRUE(stream.Start());
    } else {
      stream.SeekToSector(static_cast<int64_t>(random() % (kSectors + 10)));
    }
    if (i % 50 == 0) std::this_thread::yield();
  }
  done = true;
  stream.Stop();  // frees a puller waiting on the ring
  puller.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_GT(reads.load(), 0);
}

}  // namespace
}  // namespace vk2
