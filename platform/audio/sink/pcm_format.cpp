#include "platform/audio/sink/pcm_format.h"

namespace vk2 {

std::string DescribePcmFormat(const PcmFormat& format) {
  std::string text = std::to_string(format.sampleRate) + " Hz, " +
                     std::to_string(format.bitsPerSample) +
                     (format.isFloat ? "-bit float, " : "-bit, ");
  return text + std::to_string(format.channels) + " ch";
}

}  // namespace vk2
