#include "platform/audio/sink/pcm_format.h"

#include <cstring>

namespace vk2 {

std::string DescribePcmFormat(const PcmFormat& format) {
  std::string text = std::to_string(format.sampleRate) + " Hz, " +
                     std::to_string(format.bitsPerSample) +
                     (format.isFloat ? "-bit float, " : "-bit, ");
  return text + std::to_string(format.channels) + " ch";
}

void FillSilence(const PcmFormat& format, void* data, size_t bytes) {
  if (bytes != 0) std::memset(data, format.SilenceByte(), bytes);
}

}  // namespace vk2
