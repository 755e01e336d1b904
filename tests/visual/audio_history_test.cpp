// The history's positions, trimming and reads, and the spectrum's exact bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <vector>

#include "tests/support/test_signals.h"
#include "tests/support/tone_analysis.h"
#include "visual/audio_history.h"
#include "visual/spectrum.h"

namespace vk2 {
namespace {

constexpr uint32_t kKey = 7;

// 8-bit unsigned mono: byte positions are frame numbers, and sample value v - 128 marks each
// frame, so a waveform shows exactly which frames it was copied from.
std::vector<uint8_t> MarkedFrames(uint32_t first, uint32_t count) {
  std::vector<uint8_t> bytes(count);
  for (uint32_t i = 0; i < count; ++i)
    bytes[i] = static_cast<uint8_t>(128 + ((first + i) % 100) + 1);
  return bytes;
}

int8_t Mark(uint32_t frame) {
  return static_cast<int8_t>((frame % 100) + 1);
}

RefPtr<VisualAudioHistory> MonoHistory(const std::vector<uint32_t>& packetFrames) {
  RefPtr<VisualAudioHistory> h = VisualAudioHistory::Make();
  h->SetFormat(kKey, 1, 1000, 8, false);
  uint32_t frame = 0;
  for (uint32_t n : packetFrames) {
    const std::vector<uint8_t> bytes = MarkedFrames(frame, n);
    h->Append(kKey, bytes.data(), n);
    frame += n;
  }
  return h;
}

TEST(VisualSpectrum, ExactBytesForSyntheticInputs) {
  struct Case {
    const char* name;
    std::vector<int8_t> input;
    std::vector<uint8_t> expectedStart;
  };
  std::vector<int8_t> impulse(512, 0);
  impulse[0] = 127;
  std::vector<int8_t> dc(512, 64);
  std::vector<int8_t> silence(512, 0);
  std::vector<int8_t> alternating(512);
  for (size_t i = 0; i < 512; ++i)
    alternating[i] = (i % 2) ? -64 : 64;
  const Case cases[] = {
      {"impulse", impulse, {8, 0, 0, 0, 8, 0, 0, 0, 8, 0, 0, 0}},
      {"dc", dc, {0, 72, 4, 107, 0, 67, 4, 45}},
      {"silence", silence, {0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    uint8_t out[256];
    ComputeSpectrum(c.input.data(), out);
    for (size_t k = 0; k < c.expectedStart.size(); ++k)
      EXPECT_EQ(out[k], c.expectedStart[k]) << c.name << " bin " << k;
  }
  // The impulse: 8 at every fourth bin and nothing elsewhere, all the way up.
  uint8_t out[256];
  ComputeSpectrum(impulse.data(), out);
  for (size_t k = 0; k < 256; ++k)
    EXPECT_EQ(out[k], k % 4 == 0 ? 8 : 0) << "bin " << k;
  // Alternating signs carry no energy below the top half that the stages reach from bin 0.
  ComputeSpectrum(alternating.data(), out);
  EXPECT_EQ(out[0], 0);
}

TEST(VisualSpectrum, SinePeaksAtItsBinOfTheComplexResult) {
  for (const uint32_t bin : {16u, 40u, 100u, 200u}) {
    const std::vector<double> sine = test::MakeSine(bin, 60.0, 512, 512, 1);
    std::vector<int8_t> samples(512);
    for (size_t i = 0; i < 512; ++i)
      samples[i] = static_cast<int8_t>(std::lround(sine[i]));
    SpectrumWork work;
    SpectrumTransform(samples.data(), &work);
    size_t peak = 0;
    for (size_t k = 1; k < 256; ++k) {
      if (std::abs(work[k]) > std::abs(work[peak])) peak = k;
    }
    EXPECT_EQ(peak, bin);
    // The same input through the numeric library's transform peaks at the same bin.
    std::vector<std::complex<double>> reference(samples.begin(), samples.end());
    test::Fft(&reference);
    size_t refPeak = 0;
    for (size_t k = 1; k < 256; ++k) {
      if (std::abs(reference[k]) > std::abs(reference[refPeak])) refPeak = k;
    }
    EXPECT_EQ(refPeak, peak);
  }
}

TEST(VisualAudioHistory, FetchCopiesWholeGroupsOfFourAndStopsBeforeTheHeardPacket) {
  // Packets of 301, 300 and 100 frames; heard position 601 = start of the third packet.
  RefPtr<VisualAudioHistory> h = MonoHistory({301, 300, 100});
  VisualAudioRecord record;
  std::memset(&record, 0x55, sizeof record);
  ASSERT_EQ(h->Fetch(kKey, 0, 601, 0, &record), 1);
  // The window starts at 601 - 512 = 89: 212 frames of the first packet (89..300), the last
  // 1..3 of them skipped: 301 - 89 = 212 is a multiple of four, so all of them.
  EXPECT_EQ(record.timeMs, 89);
  for (uint32_t i = 0; i < 212; ++i)
    ASSERT_EQ(record.waveform[0][i], Mark(89 + i)) << i;
  // Then the second packet from its first frame: 300 frames.
  for (uint32_t i = 0; i < 300; ++i)
    ASSERT_EQ(record.waveform[0][212 + i], Mark(301 + i)) << i;
  // Mono: channel 1 repeats channel 0; no spectrum asked: zero.
  EXPECT_EQ(0, std::memcmp(record.waveform[0], record.waveform[1], 512));
  for (uint32_t k = 0; k < 256; ++k)
    ASSERT_EQ(record.spectrum[0][k] | record.spectrum[1][k], 0);
}

TEST(VisualAudioHistory, FetchSkipsOddFramesAndZeroFillsTheRest) {
  // Heard at 599, the start of the third packet: the window starts at 87 inside the first
  // packet (214 frames left: 212 copied, 2 skipped), the second packet gives 298 rounded down
  // to 296, and the 4 frames still wanted before the heard packet stay zero.
  RefPtr<VisualAudioHistory> h = MonoHistory({301, 298, 100, 50});
  VisualAudioRecord record;
  std::memset(&record, 0x55, sizeof record);
  ASSERT_EQ(h->Fetch(kKey, 0, 599, 0, &record), 1);
  for (uint32_t i = 0; i < 212; ++i)
    ASSERT_EQ(record.waveform[0][i], Mark(87 + i)) << i;
  for (uint32_t i = 0; i < 296; ++i)
    ASSERT_EQ(record.waveform[0][212 + i], Mark(301 + i)) << i;
  for (uint32_t i = 508; i < 512; ++i)
    EXPECT_EQ(record.waveform[0][i], 0) << i;
}

TEST(VisualAudioHistory, FetchGating) {
  RefPtr<VisualAudioHistory> h = MonoHistory({400, 400, 400});
  VisualAudioRecord record;
  struct Case {
    const char* name;
    int64_t after;
    int64_t position;
    int32_t expected;
  };
  const Case cases[] = {
      {"window beyond after", 0, 800, 1},
      {"after equals the window start", 288, 800, 0},
      {"after beyond the window start", 500, 800, 0},
      {"negative after counts as 0", -50, 800, 1},
      {"heard beyond the newest start", 0, 801, 0},
      {"window before the oldest packet", 0, 400, 0},
      {"negative position", 0, -5, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(h->Fetch(kKey, c.after, c.position, 0, &record), c.expected) << c.name;
  EXPECT_EQ(h->Fetch(kKey + 1, 0, 800, 0, &record), 0) << "unknown chain";
}

TEST(VisualAudioHistory, TimeFieldDoesNotOverflowLongStreams) {
  // 16-bit stereo at 44100 Hz: 4 bytes per frame; an hour in, window start x 1000 is far past
  // 2^31.
  RefPtr<VisualAudioHistory> h = VisualAudioHistory::Make();
  h->SetFormat(kKey, 2, 44100, 16, false);
  const int64_t hour = int64_t{3600} * 44100 * 4;
  std::vector<uint8_t> packet(4096 * 4, 0);
  // Fill the node's total to an hour without storing an hour: append, then trim as the tap does.
  int64_t total = 0;
  while (total + static_cast<int64_t>(packet.size()) < hour) {
    h->Append(kKey, packet.data(), static_cast<uint32_t>(packet.size()));
    total += static_cast<int64_t>(packet.size());
    h->Trim(kKey, total - 200000);
  }
  h->Append(kKey, packet.data(), static_cast<uint32_t>(packet.size()));
  VisualAudioRecord record;
  ASSERT_EQ(h->Fetch(kKey, 0, total, 0, &record), 1);
  const int64_t windowStart = total - 512 * 4;
  EXPECT_EQ(record.timeMs, windowStart * 1000 / (4 * 44100));
  EXPECT_GT(record.timeMs, int64_t{3500} * 1000);
}

TEST(VisualAudioHistory, TrimRangeAndRead) {
  RefPtr<VisualAudioHistory> h = MonoHistory({100, 100, 100});
  int64_t oldest = -1, newest = -1;
  ASSERT_TRUE(h->Range(kKey, &oldest, &newest));
  EXPECT_EQ(oldest, 0);
  EXPECT_EQ(newest, 200);
  h->Trim(kKey, 0);  // no effect
  h->Trim(kKey, 150);
  ASSERT_TRUE(h->Range(kKey, &oldest, &newest));
  EXPECT_EQ(oldest, 200) << "packets before the first one starting at or after 150 go";

  int8_t out[150];
  struct ReadCase {
    const char* name;
    uint32_t key;
    uint32_t channel;
    int64_t position;
    uint32_t count;
    int8_t* destination;
    int32_t expected;
  };
  const ReadCase cases[] = {
      {"inside", kKey, 0, 210, 50, out, 0},
      {"no destination", kKey, 0, 210, 50, nullptr, kHistoryNoDestination},
      {"unknown chain", kKey + 1, 0, 210, 50, out, kHistoryUnknownChain},
      {"channel 1 of mono", kKey, 1, 210, 50, out, kHistoryNoSuchChannel},
      {"before the oldest", kKey, 0, 150, 10, out, kHistoryOutsidePackets},
      {"beyond the newest", kKey, 0, 300, 10, out, kHistoryOutsidePackets},
      {"runs off the end", kKey, 0, 250, 100, out, kHistoryEndedEarly},
  };
  for (const ReadCase& c : cases)
    EXPECT_EQ(h->Read(c.key, c.channel, c.position, c.count, c.destination), c.expected) << c.name;
  ASSERT_EQ(h->Read(kKey, 0, 210, 50, out), 0);
  for (uint32_t i = 0; i < 50; ++i)
    ASSERT_EQ(out[i], Mark(210 + i));

  h->Trim(kKey, 10000);  // beyond the newest: everything goes
  EXPECT_FALSE(h->Range(kKey, &oldest, &newest)) << "no packets, no range";
  EXPECT_FALSE(h->Range(kKey + 1, &oldest, &newest));
}

TEST(VisualAudioHistory, SampleConversionPerFormat) {
  struct Case {
    const char* name;
    uint32_t bits;
    bool isFloat;
    std::vector<uint8_t> frame;  // one mono sample
    int8_t expected;
  };
  auto f32 = [](float v) {
    std::vector<uint8_t> b(4);
    std::memcpy(b.data(), &v, 4);
    return b;
  };
  auto f64 = [](double v) {
    std::vector<uint8_t> b(8);
    std::memcpy(b.data(), &v, 8);
    return b;
  };
  const Case cases[] = {
      {"u8 mid", 8, false, {128}, 0},
      {"u8 low", 8, false, {0}, -128},
      {"s16 high byte", 16, false, {0xFF, 0x40}, 0x40},
      {"s16 negative", 16, false, {0x00, 0x80}, -128},
      {"s24 high byte", 24, false, {0x11, 0x22, 0x33}, 0x33},
      {"s32 high byte", 32, false, {0x11, 0x22, 0x33, 0xC4}, static_cast<int8_t>(0xC4)},
      {"f32 half", 32, true, f32(0.5f), 64},
      {"f32 clamps high", 32, true, f32(3.0f), 127},
      {"f32 clamps low", 32, true, f32(-3.0f), -128},
      {"f64 negative", 64, true, f64(-0.25), -32},
      {"f64 nan", 64, true, f64(std::nan("")), 0},
  };
  for (const Case& c : cases) {
    RefPtr<VisualAudioHistory> h = VisualAudioHistory::Make();
    h->SetFormat(kKey, 1, 1000, c.bits, c.isFloat);
    h->Append(kKey, c.frame.data(), static_cast<uint32_t>(c.frame.size()));
    int8_t out = 99;
    ASSERT_EQ(h->Read(kKey, 0, 0, 1, &out), 0) << c.name;
    EXPECT_EQ(out, c.expected) << c.name;
  }
}

TEST(VisualAudioHistory, StereoIsSplitIntoPlanes) {
  RefPtr<VisualAudioHistory> h = VisualAudioHistory::Make();
  h->SetFormat(kKey, 2, 1000, 8, false);
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 700; ++i) {
    bytes.push_back(static_cast<uint8_t>(128 + 10));
    bytes.push_back(static_cast<uint8_t>(128 - 20));
  }
  h->Append(kKey, bytes.data(), 1200);
  h->Append(kKey, bytes.data() + 1200, 200);
  VisualAudioRecord record;
  ASSERT_EQ(h->Fetch(kKey, 0, 1200, kVisualWantsSpectrum, &record), 1);
  for (int i = 0; i < 512; ++i) {
    ASSERT_EQ(record.waveform[0][i], 10);
    ASSERT_EQ(record.waveform[1][i], -20);
  }
  uint8_t expected[256];
  ComputeSpectrum(record.waveform[1], expected);
  EXPECT_EQ(0, std::memcmp(expected, record.spectrum[1], 256));
}

}  // namespace
}  // namespace vk2
