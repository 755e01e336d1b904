#include "audio/readers/file/read_ahead_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2 {
namespace {

using test::PatternByte;
using test::PatternBytes;

// How the file is read: directly, or through read-ahead with a ring and chunk size.
struct Mode {
  const char* name;
  size_t ringBytes;  // 0: direct
  size_t chunkBytes;
};

class ReadAheadFileTest : public ::testing::TestWithParam<Mode> {
 protected:
  void SetUp() override {
    path_ = folder_.Write("data.bin", PatternBytes(kFileBytes));
    ASSERT_TRUE(file_.Open(path_));
    if (GetParam().ringBytes > 0) {
      ASSERT_TRUE(file_.StartReadAhead(GetParam().ringBytes, GetParam().chunkBytes));
    }
  }

  // Reads `n` bytes in order and checks that they are the file's bytes from `expectedStart`.
  void ExpectNext(size_t n, int64_t expectedStart) {
    std::vector<uint8_t> buffer(n);
    int64_t start = -1;
    const int64_t got = file_.ReadNext(buffer.data(), n, &start);
    EXPECT_EQ(start, expectedStart);
    const int64_t expectedCount = std::max<int64_t>(
        0, std::min<int64_t>(static_cast<int64_t>(n), kFileBytes - expectedStart));
    ASSERT_EQ(got, expectedCount);
    for (int64_t i = 0; i < got; ++i) {
      ASSERT_EQ(buffer[i], PatternByte(expectedStart + i)) << "at " << expectedStart + i;
    }
  }

  static constexpr int64_t kFileBytes = 300001;
  test::TempFolder folder_;
  std::string path_;
  ReadAheadFile file_;
};

TEST_P(ReadAheadFileTest, ReadsTheWholeFileInOrderAndEndsShort) {
  int64_t pos = 0;
  while (pos < kFileBytes) {
    ExpectNext(1024, pos);
    pos = std::min<int64_t>(pos + 1024, kFileBytes);
    ASSERT_EQ(file_.Position(), pos);
  }
  ExpectNext(1024, kFileBytes);
  EXPECT_EQ(file_.Size(), kFileBytes);
}

TEST_P(ReadAheadFileTest, ReadAtLeavesTheOrderAlone) {
  ExpectNext(100, 0);
  uint8_t b[10];
  ASSERT_EQ(file_.ReadAt(250000, b, 10), 10);
  EXPECT_EQ(b[3], PatternByte(250003));
  EXPECT_EQ(file_.ReadAt(kFileBytes - 4, b, 10), 4);
  EXPECT_EQ(file_.ReadAt(-1, b, 10), -1);
  ExpectNext(100, 100);
}

TEST_P(ReadAheadFileTest, SeeksGiveTheBytesOfTheNewPosition) {
  std::mt19937 rng(3);
  for (int i = 0; i < 200; ++i) {
    const int64_t target = static_cast<int64_t>(rng() % (kFileBytes + 10));
    ASSERT_TRUE(file_.SetPosition(target));
    EXPECT_EQ(file_.Position(), target);
    ExpectNext(1 + rng() % 5000, target);
  }
  EXPECT_FALSE(file_.SetPosition(-1));
}

TEST_P(ReadAheadFileTest, SeekBackAfterTheEndReadsAgain) {
  ASSERT_TRUE(file_.SetPosition(kFileBytes - 10));
  ExpectNext(100, kFileBytes - 10);
  ExpectNext(100, kFileBytes);  // the end, and read-ahead has closed its ring
  ASSERT_TRUE(file_.SetPosition(5));
  ExpectNext(70000, 5);
}

TEST_P(ReadAheadFileTest, StopAndRestartContinueFromTheLogicalPosition) {
  ExpectNext(5000, 0);
  file_.StopReadAhead();
  EXPECT_FALSE(file_.IsReadAheadRunning());
  ExpectNext(5000, 5000);
  ASSERT_TRUE(file_.StartReadAhead(8192, 2048));
  ExpectNext(20000, 10000);
}

INSTANTIATE_TEST_SUITE_P(Modes, ReadAheadFileTest,
                         ::testing::Values(Mode{"Direct", 0, 0}, Mode{"Default", 262144, 65536},
                                           Mode{"SmallRing", 8192, 256},
                                           Mode{"WholeRingChunks", 8192, 8192}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadAheadFileOpenTest, RefusesMissingFilesAndFolders) {
  test::TempFolder folder;
  ReadAheadFile file;
  EXPECT_FALSE(file.Open(folder.Path() + "/missing.wav"));
  EXPECT_FALSE(file.Open(folder.Path()));
  EXPECT_FALSE(file.Open(""));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.Size(), -1);
  EXPECT_FALSE(file.StartReadAhead(8192, 1024));
}

TEST(ReadAheadFileOpenTest, RefusesChunksLargerThanTheRingAndReadsDirectly) {
  test::TempFolder folder;
  ReadAheadFile file;
  ASSERT_TRUE(file.Open(folder.Write("a", PatternBytes(100))));
  EXPECT_FALSE(file.StartReadAhead(1024, 2048));
  EXPECT_FALSE(file.StartReadAhead(1024, 0));
  uint8_t b[100];
  EXPECT_EQ(file.ReadNext(b, 100), 100);
}

TEST(ReadAheadFileOpenTest, AbortEventEndsAReadThatIsStillShort) {
  test::TempFolder folder;
  ReadAheadFile file;
  ASSERT_TRUE(file.Open(folder.Write("a", PatternBytes(100))));
  ASSERT_TRUE(file.StartReadAhead(8192, 1024));
  Event abort(EventReset::kManual);
  abort.Set();
  uint8_t b[1024];
  EXPECT_EQ(file.ReadNext(b, sizeof b, nullptr, &abort), kReadAborted);
  abort.Reset();
  ASSERT_TRUE(file.SetPosition(0));
  EXPECT_EQ(file.ReadNext(b, sizeof b, nullptr, &abort), 100);
}

TEST(ReadAheadFileOpenTest, EmptyFileEndsAtOnce) {
  test::TempFolder folder;
  ReadAheadFile file;
  ASSERT_TRUE(file.Open(folder.Write("empty", {})));
  ASSERT_TRUE(file.StartReadAhead(8192, 1024));
  uint8_t b[16];
  EXPECT_EQ(file.ReadNext(b, 16), 0);
  EXPECT_EQ(file.ReadNext(b, 16), 0);
}

// Positions past 4 GiB: a sparse file with a mark beyond the 32-bit range.
TEST(ReadAheadFileOpenTest, PositionsBeyondFourGigabytes) {
  test::TempFolder folder;
  const std::string path = folder.Write("big", {});
  const int64_t mark = (int64_t{5} << 30) + 3;
  {
    const int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    const uint8_t bytes[4] = {1, 2, 3, 4};
    if (::pwrite(fd, bytes, 4, mark) != 4) {
      ::close(fd);
      GTEST_SKIP() << "no room for a sparse file";
    }
    ::close(fd);
  }
  ReadAheadFile file;
  ASSERT_TRUE(file.Open(path));
  EXPECT_EQ(file.Size(), mark + 4);
  ASSERT_TRUE(file.SetPosition(mark + 1));
  ASSERT_TRUE(file.StartReadAhead(8192, 1024));
  uint8_t b[8] = {};
  int64_t start = 0;
  EXPECT_EQ(file.ReadNext(b, 8, &start), 3);
  EXPECT_EQ(start, mark + 1);
  EXPECT_EQ(b[0], 2);
  EXPECT_EQ(file.Position(), mark + 4);
}

}  // namespace
}  // namespace vk2
