// Reduces interleaved PCM to planar signed 8-bit samples for the visuals' history.
#pragma once

#include <cstdint>

namespace vk2 {

struct HistoryFormat {
  uint32_t channels = 0;  // of the incoming audio (the history keeps at most two)
  uint32_t rate = 0;
  uint32_t bits = 0;
  bool isFloat = false;

  uint32_t BytesPerSample() const { return (bits + 7) / 8; }
  uint32_t BytesPerFrame() const { return BytesPerSample() * channels; }
  uint32_t StoredChannels() const { return channels < 2 ? channels : 2; }
  bool Usable() const { return channels > 0 && BytesPerSample() > 0 && rate > 0; }
};

// One sample at `p` as a signed 8-bit value: floats times 127, rounded and clamped; integers
// wider than 8 bits keep their most significant byte; 8-bit samples are unsigned.
int8_t SampleToInt8(const uint8_t* p, const HistoryFormat& format);

// `frames` interleaved frames into up to two planes (`planes[c]` holds `frames` samples).
void SplitToPlanes(const uint8_t* in, uint32_t frames, const HistoryFormat& format,
                   int8_t* const* planes);

}  // namespace vk2
