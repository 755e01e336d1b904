#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "audio/readers/file/read_ahead_file.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2 {
namespace {

// Seeks, reads, stops and restarts against a working read-ahead thread: every byte read must
// be the file's byte at the logical position.
TEST(ReadAheadFileStressTest, SeeksStopsAndRestartsNeverTearTheData) {
  constexpr int64_t kBytes = 100000;
  test::TempFolder folder;
  ReadAheadFile file;
  ASSERT_TRUE(file.Open(folder.Write("data", test::PatternBytes(kBytes))));
  std::mt19937 rng(5);
  std::vector<uint8_t> buffer(3000);
  for (int round = 0; round < 300; ++round) {
    if (!file.IsReadAheadRunning()) {
      ASSERT_TRUE(file.StartReadAhead(512 + rng() % 4096, 1 + rng() % 512));
    }
    const int64_t target = static_cast<int64_t>(rng() % kBytes);
    ASSERT_TRUE(file.SetPosition(target));
    for (int reads = rng() % 4; reads >= 0; --reads) {
      const int64_t from = file.Position();
      const size_t n = 1 + rng() % buffer.size();
      const int64_t got = file.ReadNext(buffer.data(), n);
      ASSERT_EQ(got, std::min<int64_t>(static_cast<int64_t>(n), kBytes - from));
      for (int64_t i = 0; i < got; ++i)
        ASSERT_EQ(buffer[i], test::PatternByte(from + i));
    }
    if (rng() % 5 == 0) file.StopReadAhead();
  }
}

}  // namespace
}  // namespace vk2
