// Test signals and comparing what came out of a sound path with what went in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vk2::test {

// 16-bit little-endian samples from bytes, and back.
std::vector<int16_t> ToS16(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> FromS16(const std::vector<int16_t>& samples);
// Interleaved samples of a raw 16-bit little-endian file.
std::vector<int16_t> ReadS16(const std::string& path);

// A reproducible test signal: a sine sweep with a little noise, interleaved `channels` wide,
// each channel a different phase so that swapped channels show.
std::vector<int16_t> MakeSignal(uint32_t frames, uint32_t channels, uint32_t rate, double level);

// Where `needle` lies in `hay` (both interleaved alike), judged on one channel: the frame of
// `hay` where the needle's frame 0 falls, with the greatest normalised correlation of a 4096-frame
// window from the needle's frame `from`, searched near the first frame of `hay` that is not
// silent. Looking past the start keeps a sound server's start-up trim from spoiling the match.
struct Match {
  int64_t frame = -1;
  double correlation = 0;
};
Match FindSignal(const std::vector<int16_t>& hay, const std::vector<int16_t>& needle,
                 uint32_t channels, uint32_t channel, int64_t from, int64_t searchFrames);
// Energy ratio in decibels of `hay` from frame `hayFrom` to its end against `needle` from frame
// `needleFrom` to its end. A gap a busy machine put into playback moves the rest later but
// loses nothing, so this holds where a frame-by-frame comparison would not.
double EnergyRatioDb(const std::vector<int16_t>& hay, int64_t hayFrom,
                     const std::vector<int16_t>& needle, int64_t needleFrom, uint32_t channels);

}  // namespace vk2::test
