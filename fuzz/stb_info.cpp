// stb_image's header reader and our structure walks over the same bytes.
#include <stb_image.h>

#include <climits>
#include <cstddef>
#include <cstdint>

#include "oru/graphics/images/container_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > INT_MAX) return 0;
  int w = 0, h = 0, channels = 0;
  stbi_info_from_memory(data, static_cast<int>(size), &w, &h, &channels);
  const auto format = vk2::oru::SniffForeignFormat(data, size);
  vk2::oru::IsComplete(format, data, size);
  return 0;
}
