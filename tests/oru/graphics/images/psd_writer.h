// A small writer of layered image-editor documents for tests: 8-bit RGB(A) or greyscale,
// layers with names, Unicode names, blend keys and opacity, raw or run-length channels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interfaces/graphics/surface.h"

namespace vk2::test {

struct PsdTestLayer {
  RectI rect;
  std::string name;
  std::u16string unicodeName;      // written as the Unicode name block when not empty
  uint32_t blendKey = 0x6E6F726D;  // 'norm'
  uint8_t opacity = 255;
  std::vector<uint32_t> pixels;  // straight ARGB, rect's size, rows top first
};

struct PsdTestDocument {
  int32_t width = 0;
  int32_t height = 0;
  bool grey = false;
  bool rle = false;
  bool mergedAlpha = false;
  std::vector<PsdTestLayer> layers;
  std::vector<uint32_t> merged;  // straight ARGB
};

std::vector<uint8_t> WritePsd(const PsdTestDocument& doc);

// Four bytes of a blend key as the file stores it: "mul " is 0x6D756C20.
constexpr uint32_t BlendKey(const char (&k)[5]) {
  return uint32_t(uint8_t(k[0])) << 24 | uint32_t(uint8_t(k[1])) << 16 |
         uint32_t(uint8_t(k[2])) << 8 | uint8_t(k[3]);
}

}  // namespace vk2::test
