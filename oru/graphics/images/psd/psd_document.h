// The layered image-editor document as the kit reads it: 8-bit RGB or greyscale, its layers
// (rectangle, name, blend key, opacity, pixels) and the merged image, decoded whole at load so
// that a damaged file fails there and never later.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "interfaces/graphics/surface.h"
#include "oru/graphics/images/pixel_image.h"

namespace vk2::oru {

struct PsdLayer {
  RectI rect;
  std::u16string name;  // the Unicode name when present, else the Pascal name
  uint32_t blendKey = 0;
  uint8_t opacity = 255;
  uint8_t flags = 0;
  PixelBuffer pixels;  // premultiplied ARGB of rect's size; empty for an empty layer
};

struct PsdDocument {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<PsdLayer> layers;  // bottom first, as stored
  PixelBuffer merged;
};

struct PsdFailure {
  int32_t code = 0;
  std::string reason;
};

// kErrBadData for a damaged or truncated file, kErrNotSupported for another depth or colour
// mode, kErrOutOfRange for a side over kMaxImageSide, kErrOutOfMemory.
int32_t ReadPsd(const uint8_t* data, size_t size, PsdDocument* out, PsdFailure* failure = nullptr);

}  // namespace vk2::oru
