// PNG, JPEG, BMP, GIF (first frame) and TGA through stb_image, with the kit's limits: no side
// over kMaxImageSide, no truncated file, no picture far larger than its file could encode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "oru/graphics/images/pixel_image.h"

namespace vk2::oru {

struct DecodeFailure {
  int32_t code = 0;
  std::string reason;
};

// Premultiplied ARGB pixels, or a failure: kErrBadData (unknown, damaged or truncated),
// kErrOutOfRange (a side over the limit, or an implausible size for the file), kErrOutOfMemory.
int32_t DecodeForeignImage(const uint8_t* data, size_t size, PixelBuffer* out,
                           DecodeFailure* failure = nullptr);

// Whether a picture of width x height can honestly come from a file of `fileSize` bytes: the
// best compression of any of these formats stays far below 4096 pixels a byte, so a header
// claiming more is a decompression bomb and is refused before anything is allocated.
bool PlausiblePixelCount(int64_t width, int64_t height, uint64_t fileSize);

}  // namespace vk2::oru
