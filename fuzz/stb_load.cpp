// stb_image's decoder as the kit calls it: behind the size, plausibility and truncation checks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "oru/graphics/images/foreign_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vk2::oru::PixelBuffer pixels;
  if (vk2::oru::DecodeForeignImage(data, size, &pixels) == 0) {
    if (pixels.width <= 0 || pixels.width > vk2::kMaxImageSide || pixels.height <= 0 ||
        pixels.height > vk2::kMaxImageSide) {
      std::abort();
    }
  }
  return 0;
}
