// The decoders' byte path: memory and file sources, the look-ahead stream over a source, and the
// bit reader over a span.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "foundation/bytes/bit_reader.h"
#include "foundation/bytes/byte_source.h"
#include "foundation/bytes/lookahead_stream.h"

namespace vk2 {
namespace {

std::vector<uint8_t> Counting(size_t n) {
  std::vector<uint8_t> bytes(n);
  for (size_t i = 0; i < n; ++i)
    bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return bytes;
}

// A memory source that records the size of every read, can fail from an offset on, and can
// hide its position.
class ScriptedSource final : public ByteSource {
 public:
  explicit ScriptedSource(std::vector<uint8_t> bytes) : memory_(std::move(bytes)) {}
  int64_t Read(void* buffer, size_t bytes) override {
    asks.push_back(bytes);
    if (memory_.Tell() >= failFrom) return -7;
    return memory_.Read(buffer, bytes);
  }
  int64_t ReadAt(int64_t offset, void* buffer, size_t bytes) override {
    return memory_.ReadAt(offset, buffer, bytes);
  }
  int64_t Seek(int64_t offset, SeekOrigin origin) override { return memory_.Seek(offset, origin); }
  int64_t Tell() override { return positionKnown ? memory_.Tell() : -1; }
  int64_t Size() override { return memory_.Size(); }

  std::vector<size_t> asks;
  int64_t failFrom = INT64_MAX;
  bool positionKnown = true;

 private:
  MemoryByteSource memory_;
};

TEST(MemoryByteSourceTest, SeeksFromEachOriginAndRefusesOutsideTheBytes) {
  struct Case {
    int64_t start;
    int64_t offset;
    SeekOrigin origin;
    int64_t expected;  // -1: refused, the position stays
  };
  const Case cases[] = {
      {0, 10, SeekOrigin::kBegin, 10},
      {10, 5, SeekOrigin::kCurrent, 15},
      {10, -10, SeekOrigin::kCurrent, 0},
      {10, -11, SeekOrigin::kCurrent, -1},
      {0, -4, SeekOrigin::kEnd, 96},
      {0, 0, SeekOrigin::kEnd, 100},
      {0, 1, SeekOrigin::kEnd, -1},
      {0, 101, SeekOrigin::kBegin, -1},
      {50, INT64_MAX, SeekOrigin::kCurrent, -1},
      {0, -1, SeekOrigin::kBegin, -1},
  };
  for (const Case& c : cases) {
    MemoryByteSource source(Counting(100));
    ASSERT_EQ(source.Seek(c.start, SeekOrigin::kBegin), c.start);
    EXPECT_EQ(source.Seek(c.offset, c.origin), c.expected) << c.start << " " << c.offset;
    EXPECT_EQ(source.Tell(), c.expected < 0 ? c.start : c.expected);
  }
}

TEST(MemoryByteSourceTest, ALiveSourceHasNoSizeNoSeekAndNoReadsAtAnOffset) {
  const std::vector<uint8_t> bytes = Counting(64);
  MemoryByteSource source(bytes, false);
  uint8_t buffer[8];
  EXPECT_EQ(source.Size(), ByteSource::kUnknownSize);
  EXPECT_EQ(source.Seek(0, SeekOrigin::kBegin), -1);
  EXPECT_EQ(source.ReadAt(0, buffer, sizeof buffer), -1);
  EXPECT_EQ(source.Read(buffer, sizeof buffer), 8);
  EXPECT_EQ(buffer[3], bytes[3]);
  source.SetSeekable(true);
  EXPECT_EQ(source.Size(), 64);
  EXPECT_EQ(source.ReadAt(60, buffer, sizeof buffer), 4);
  EXPECT_EQ(buffer[0], bytes[60]);
  EXPECT_EQ(source.Tell(), 8);  // a read at an offset does not move the source
}

TEST(FileByteSourceTest, ReadsSeeksAndReadsAtAnOffset) {
  char path[] = "/tmp/vk2-bytes-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  const std::vector<uint8_t> bytes = Counting(3000);
  ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), 3000);
  ::close(fd);
  {
    FileByteSource file;
    EXPECT_EQ(file.Read(nullptr, 1), -1);  // not open
    ASSERT_TRUE(file.Open(path));
    EXPECT_EQ(file.Size(), 3000);
    std::vector<uint8_t> got(100);
    EXPECT_EQ(file.Seek(-100, SeekOrigin::kEnd), 2900);
    EXPECT_EQ(file.Read(got.data(), 200), 100);
    EXPECT_EQ(got[0], bytes[2900]);
    EXPECT_EQ(file.ReadAt(5, got.data(), 10), 10);
    EXPECT_EQ(got[0], bytes[5]);
    EXPECT_EQ(file.Tell(), 3000);
    EXPECT_EQ(file.Read(got.data(), 10), 0);
  }
  std::remove(path);
  FileByteSource missing;
  EXPECT_FALSE(missing.Open(path));
}

TEST(LookaheadStreamTest, PeekSkipUnreadAndReadGiveTheSourceBytesInOrder) {
  const std::vector<uint8_t> bytes = Counting(70000);
  MemoryByteSource source(bytes);
  LookaheadStream stream(source);
  ASSERT_EQ(stream.Peek(10), 10u);
  EXPECT_EQ(stream.PeekData()[9], bytes[9]);
  EXPECT_EQ(stream.Position(), 0);
  EXPECT_EQ(stream.Skip(5), 5u);
  uint8_t four[4];
  ASSERT_EQ(stream.Read(four, 4), 4);
  EXPECT_EQ(four[0], bytes[5]);
  // Put back what was read: the search sees it again, and the position follows.
  stream.Unread(four, 4);
  EXPECT_EQ(stream.Position(), 5);
  ASSERT_EQ(stream.Peek(1), 1u);
  EXPECT_EQ(stream.PeekData()[0], bytes[5]);
  // Skips across many refills, then a peek larger than the refill chunk.
  EXPECT_EQ(stream.Skip(40000), 40000u);
  ASSERT_EQ(stream.Peek(20000), 20000u);
  EXPECT_EQ(stream.PeekData()[19999], bytes[40005 + 19999]);
  EXPECT_EQ(stream.Tell(), 40005);
  // The end: short peeks, then nothing.
  EXPECT_EQ(stream.Skip(100000), 70000u - 40005u);
  EXPECT_TRUE(stream.AtEnd());
  EXPECT_EQ(stream.Read(four, 4), 0);
}

TEST(LookaheadStreamTest, UnreadInFrontOfAnEmptyBufferGrowsIt) {
  const std::vector<uint8_t> bytes = Counting(10);
  MemoryByteSource source(bytes);
  LookaheadStream stream(source);
  uint8_t all[10];
  ASSERT_EQ(stream.Read(all, 10), 10);
  stream.Unread(all + 2, 8);
  EXPECT_EQ(stream.Position(), 2);
  ASSERT_EQ(stream.Peek(9), 8u);
  EXPECT_EQ(stream.PeekData()[0], bytes[2]);
}

TEST(LookaheadStreamTest, ReadsWithoutLookAheadGoStraightToTheSource) {
  ScriptedSource source(Counting(1000));
  LookaheadStream stream(source);
  uint8_t buffer[300];
  EXPECT_EQ(stream.Read(buffer, 300), 300);
  EXPECT_EQ(stream.Read(buffer, 7), 7);
  EXPECT_EQ(source.asks, (std::vector<size_t>{300, 7}));
  EXPECT_EQ(stream.Tell(), 307);
  // Once something was peeked, reads come from the look-ahead first.
  ASSERT_EQ(stream.Peek(1), 1u);
  EXPECT_EQ(stream.Read(buffer, 100), 100);
  EXPECT_EQ(buffer[0], Counting(1000)[307]);
  EXPECT_EQ(source.asks.size(), 3u);  // the peek's refill holds the rest
}

TEST(LookaheadStreamTest, SeeksDropTheLookAheadButAskingPositionDoesNot) {
  const std::vector<uint8_t> bytes = Counting(5000);
  ScriptedSource source(bytes);
  LookaheadStream stream(source);
  ASSERT_EQ(stream.Peek(100), 100u);
  stream.Skip(40);
  const size_t asks = source.asks.size();
  EXPECT_EQ(stream.Seek(0, SeekOrigin::kCurrent), 40);
  EXPECT_EQ(source.asks.size(), asks);
  EXPECT_EQ(stream.Seek(10, SeekOrigin::kCurrent), 50);
  uint8_t b = 0;
  ASSERT_EQ(stream.Read(&b, 1), 1);
  EXPECT_EQ(b, bytes[50]);
  EXPECT_EQ(stream.Seek(-1, SeekOrigin::kEnd), 4999);
  ASSERT_EQ(stream.Peek(5), 1u);
  EXPECT_EQ(stream.Seek(-5, SeekOrigin::kBegin), -1);
  EXPECT_EQ(stream.Tell(), 4999);  // a refused seek keeps the look-ahead
  // Reads at an offset from each origin leave the stream where it is.
  uint8_t two[2];
  EXPECT_EQ(stream.ReadAt(-2, SeekOrigin::kEnd, two, 2), 2);
  EXPECT_EQ(two[0], bytes[4998]);
  EXPECT_EQ(stream.ReadAt(-4999, SeekOrigin::kCurrent, two, 2), 2);
  EXPECT_EQ(two[1], bytes[1]);
  EXPECT_EQ(stream.ReadAt(-6000, SeekOrigin::kEnd, two, 2), -1);
  EXPECT_EQ(stream.Tell(), 4999);
}

TEST(LookaheadStreamTest, AFailingSourceEndsPeeksAndReportsOnDirectReads) {
  ScriptedSource source(Counting(100000));
  source.failFrom = 16384;  // the second refill fails
  LookaheadStream stream(source);
  ASSERT_EQ(stream.Peek(100), 100u);
  EXPECT_EQ(stream.Peek(20000), 16384u);
  EXPECT_EQ(stream.Skip(20000), 16384u);
  EXPECT_TRUE(stream.AtEnd());
  // A seek clears the end mark; a read straight from the failing source gives its failure.
  ASSERT_EQ(stream.Seek(20000, SeekOrigin::kBegin), 20000);
  uint8_t b;
  EXPECT_EQ(stream.Read(&b, 1), -7);
}

TEST(LookaheadStreamTest, APositionTheSourceCannotTellIsCountedFromZero) {
  ScriptedSource source(Counting(100));
  source.positionKnown = false;
  LookaheadStream stream(source);
  EXPECT_EQ(stream.Tell(), -1);
  EXPECT_EQ(stream.Skip(30), 30u);
  EXPECT_EQ(stream.Position(), 30);
  EXPECT_EQ(stream.Seek(5, SeekOrigin::kCurrent), -1);  // no known base
  EXPECT_EQ(stream.Seek(60, SeekOrigin::kBegin), 60);
  EXPECT_EQ(stream.Tell(), 60);
  // Reset takes the position from the source anew.
  source.Seek(10, SeekOrigin::kBegin);
  source.positionKnown = true;
  stream.Reset();
  EXPECT_EQ(stream.Tell(), 10);
}

// Bit by bit, the slow and obvious way.
uint32_t ReferenceBits(const std::vector<uint8_t>& bytes, uint64_t bit, int n) {
  uint32_t v = 0;
  for (int i = 0; i < n; ++i, ++bit) {
    const uint64_t byte = bit >> 3;
    const uint32_t b = byte < bytes.size() ? (bytes[byte] >> (7 - (bit & 7))) & 1 : 0;
    v = (v << 1) | b;
  }
  return v;
}

TEST(BitReaderTest, GetMatchesABitByBitReadingAcrossAndPastTheSpan) {
  std::mt19937 random(11);
  std::vector<uint8_t> bytes(97);
  for (uint8_t& b : bytes)
    b = static_cast<uint8_t>(random());
  std::vector<uint8_t> padded = bytes;
  padded.resize(bytes.size() + 8, 0);
  for (uint64_t start : {0u, 3u, 9u, 700u, 770u, 1000u}) {
    BitReader bits(padded.data(), bytes.size(), start);
    uint64_t at = start;
    std::uniform_int_distribution<int> width(0, 32);
    for (int step = 0; step < 200; ++step) {
      const int n = width(random);
      ASSERT_EQ(bits.Get(n), ReferenceBits(bytes, at, n)) << start << " " << at << " " << n;
      at += static_cast<uint64_t>(n);
      ASSERT_EQ(bits.Position(), at);
    }
  }
}

TEST(BitReaderTest, RefillThenPeekAndSkipServeFiftySixBits) {
  const std::vector<uint8_t> bytes = Counting(32);
  std::vector<uint8_t> padded = bytes;
  padded.resize(40, 0);  // the span's zero tail
  BitReader bits(padded.data(), 32, 5);
  bits.Refill();
  EXPECT_EQ(bits.Peek(24), ReferenceBits(bytes, 5, 24));
  EXPECT_EQ(bits.Window() >> 40, ReferenceBits(bytes, 5, 24));
  bits.Skip(24);
  EXPECT_EQ(bits.Peek(32), ReferenceBits(bytes, 29, 32));
  bits.Skip(32);
  EXPECT_EQ(bits.Position(), 61u);
  // Take reads on from the same refill.
  bits.Refill();
  EXPECT_EQ(bits.Take(0), 0u);
  EXPECT_EQ(bits.Take(13), ReferenceBits(bytes, 61, 13));
  EXPECT_EQ(bits.Take(30), ReferenceBits(bytes, 74, 30));
  EXPECT_EQ(bits.Position(), 104u);
  bits.SetPosition(250);
  EXPECT_EQ(bits.Get(12), ReferenceBits(bytes, 250, 12));
}

}  // namespace
}  // namespace vk2
