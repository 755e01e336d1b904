// Pixel buffers the graphics kit draws on and reads from.
//
// Colour surfaces hold 32-bit ARGB pixels, one native-endian uint32_t each (0xAARRGGBB, so the
// bytes in memory are B, G, R, A), with the colour PREMULTIPLIED by alpha: a red pixel at half
// opacity is 0x80800000. Every colour channel is at most the pixel's alpha. Loaders convert
// decoded straight-alpha pixels on the way in (PremultiplyArgb in oru/graphics/canvas/pixel.h).
// Colours handed to drawing operations as arguments (fills, palettes, gradient stops) are
// straight 0xAARRGGBB, as markup writes them; the canvas premultiplies them itself.
//
// Index surfaces hold one byte per pixel, drawn through a 256-entry palette of straight colours
// (the 8-bit images a style converts at load). Masks hold one bit per pixel, most significant
// bit first within each byte, 1 meaning "inside".
//
// Strides are in bytes and may exceed a row's width (sub-rectangles share their parent's rows).
// A surface is drawn by one thread at a time; the graphics kit takes no locks on pixels.
#pragma once

#include <cstdint>

#include "interfaces/unknown.h"

namespace vk2 {

enum class PixelFormat : int32_t {
  kArgb32 = 0,  // premultiplied ARGB, uint32_t per pixel
  kIndex8 = 1,  // one byte per pixel, through a palette
  kMask1 = 2,   // one bit per pixel, MSB first
};

// Integer rectangle: left and top inside, right and bottom outside.
struct RectI {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  constexpr int32_t Width() const { return right - left; }
  constexpr int32_t Height() const { return bottom - top; }
  constexpr bool Empty() const { return left >= right || top >= bottom; }
  friend constexpr bool operator==(const RectI&, const RectI&) = default;
};

// Rectangle in pixel coordinates with fractions (pixel centres lie at .5).
struct RectF {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
};

// A borrowed view of pixels; valid while the owner is neither resized nor released.
struct SurfaceView {
  uint8_t* bits = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t strideBytes = 0;
  PixelFormat format = PixelFormat::kArgb32;

  bool Empty() const { return bits == nullptr || width <= 0 || height <= 0; }
  RectI Bounds() const { return RectI{0, 0, width, height}; }
  uint32_t* Argb(int32_t y) const { return reinterpret_cast<uint32_t*>(bits + y * strideBytes); }
  uint8_t* Row(int32_t y) const { return bits + y * strideBytes; }
};

// A surface the runtime hands out (window back buffers, the per-thread scratch image, loaded
// images). Created through the graphics kit; holds its own pixels.
class MSurface : public MUnknown {
 public:
  virtual int32_t GetView(SurfaceView* view) = 0;
  // New size, contents undefined (cleared to transparent by the kit). kErrOutOfMemory when the
  // size cannot be held, kErrOutOfRange for a side beyond 16384 or below 0.
  virtual int32_t Resize(int32_t width, int32_t height) = 0;

 protected:
  ~MSurface() = default;
};

// The largest side of any surface the kit creates.
inline constexpr int32_t kMaxSurfaceSide = 16384;

}  // namespace vk2
