#include "platform/audio/acm/wave_format_reader.h"

#include <algorithm>

namespace vk2 {

namespace {
uint16_t Le16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(Le16(p)) | static_cast<uint32_t>(Le16(p + 2)) << 16;
}
void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
}  // namespace

bool ParseWaveFormat(const uint8_t* data, size_t size, WaveFormat& out) {
  if (!data || size < 16 || size > kMaxWaveFormatBytes) return false;
  WaveFormat f;
  f.formatTag = Le16(data);
  f.channels = Le16(data + 2);
  f.samplesPerSec = Le32(data + 4);
  f.avgBytesPerSec = Le32(data + 8);
  f.blockAlign = Le16(data + 12);
  f.bitsPerSample = Le16(data + 14);
  if (size >= 18) {
    const size_t extra = std::min<size_t>(Le16(data + 16), size - 18);
    f.extra.assign(data + 18, data + 18 + extra);
  }
  out = std::move(f);
  return true;
}

std::vector<uint8_t> SerializeWaveFormat(const WaveFormat& format) {
  std::vector<uint8_t> out;
  Put16(out, format.formatTag);
  Put16(out, format.channels);
  Put16(out, format.samplesPerSec & 0xFFFF);
  Put16(out, format.samplesPerSec >> 16);
  Put16(out, format.avgBytesPerSec & 0xFFFF);
  Put16(out, format.avgBytesPerSec >> 16);
  Put16(out, format.blockAlign);
  Put16(out, format.bitsPerSample);
  Put16(out, static_cast<uint32_t>(format.extra.size()));
  out.insert(out.end(), format.extra.begin(), format.extra.end());
  return out;
}

std::string CheckWaveFormat(const WaveFormat& format) {
  if (format.channels == 0) return "no channels";
  if (format.samplesPerSec == 0) return "a sample rate of 0";
  if (format.avgBytesPerSec == 0) return "an average byte rate of 0";
  if (format.blockAlign == 0) return "a block alignment of 0";
  return {};
}

}  // namespace vk2
