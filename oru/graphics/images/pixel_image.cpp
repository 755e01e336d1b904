#include "oru/graphics/images/pixel_image.h"

#include <algorithm>
#include <new>

#include "foundation/util/result.h"
#include "oru/graphics/canvas/mask_ops.h"
#include "oru/graphics/canvas/pixel.h"
#include "oru/graphics/images/mask_image.h"

namespace vk2::oru {

bool PixelBuffer::Allocate(int32_t w, int32_t h, PixelFormat f) {
  if (w <= 0 || h <= 0 || w > kMaxImageSide || h > kMaxImageSide) return false;
  int64_t stride = 0;
  switch (f) {
    case PixelFormat::kArgb32:
      stride = int64_t{w} * 4;
      break;
    case PixelFormat::kIndex8:
      stride = w;
      break;
    case PixelFormat::kMask1:
      stride = (int64_t{w} + 7) / 8;
      break;
  }
  try {
    bits.assign(static_cast<size_t>(stride * h), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  width = w;
  height = h;
  format = f;
  strideBytes = static_cast<int32_t>(stride);
  return true;
}

SurfaceView PixelBuffer::View() {
  return SurfaceView{bits.data(), width, height, strideBytes, format};
}

void PremultiplyRgbaRow(const uint8_t* rgba, int32_t width, uint32_t* out) {
  for (int32_t x = 0; x < width; ++x, rgba += 4) {
    out[x] = gfx::PremultiplyArgb(uint32_t{rgba[3]} << 24 | uint32_t{rgba[0]} << 16 |
                                  uint32_t{rgba[1]} << 8 | rgba[2]);
  }
}

RefPtr<PixelImage> PixelImage::Make(PixelBuffer pixels) {
  return RefPtr<PixelImage>(new (std::nothrow) PixelImage(std::move(pixels)));
}

int32_t HandOutImage(RefPtr<PixelImage> image, MRasterImage** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (!image) return kErrOutOfMemory;
  *out = image.Detach();
  return kOk;
}

int32_t PixelImage::GetView(SurfaceView* view) {
  if (!view) return kErrMissingArg;
  *view = pixels_.View();
  return kOk;
}

RectI PixelImage::Bounds() {
  return RectI{0, 0, pixels_.width, pixels_.height};
}

bool PixelImage::IsEightBit() {
  return pixels_.format == PixelFormat::kIndex8;
}

namespace {

uint8_t ChannelOf(uint32_t p, int32_t source) {
  const uint32_t straight = gfx::UnpremultiplyArgb(p);
  switch (source) {
    case kEightBitAlpha:
      return static_cast<uint8_t>(gfx::AlphaOf(p));
    case kEightBitRed:
      return static_cast<uint8_t>(gfx::Channel(straight, gfx::kRedShift));
    case kEightBitGreen:
      return static_cast<uint8_t>(gfx::Channel(straight, gfx::kGreenShift));
    case kEightBitBlue:
      return static_cast<uint8_t>(gfx::Channel(straight, gfx::kBlueShift));
    default:
      return static_cast<uint8_t>(gfx::Luminance(straight));
  }
}

}  // namespace

int32_t PixelImage::ConvertToEightBit(int32_t source, MRasterImage** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (source < kEightBitAlpha || source > kEightBitIntensity) return kErrOutOfRange;
  if (pixels_.format != PixelFormat::kArgb32) return kErrNotSupported;
  PixelBuffer eight;
  if (!eight.Allocate(pixels_.width, pixels_.height, PixelFormat::kIndex8)) return kErrOutOfMemory;
  for (int32_t y = 0; y < pixels_.height; ++y) {
    const uint32_t* in = pixels_.Argb(y);
    uint8_t* row = eight.Row(y);
    for (int32_t x = 0; x < pixels_.width; ++x)
      row[x] = ChannelOf(in[x], source);
  }
  return HandOutImage(Make(std::move(eight)), out);
}

int32_t PixelImage::ExtractMask(uint32_t channels, int32_t threshold, MMaskImage** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (threshold < 0 || threshold > 255 || channels == 0) return kErrOutOfRange;
  if (pixels_.format != PixelFormat::kArgb32) return kErrNotSupported;
  RefPtr<MaskImage> mask;
  const int32_t r = MaskImage::Create(pixels_.width, pixels_.height, &mask);
  if (r < 0) return r;
  SurfaceView view;
  mask->GetView(&view);
  gfx::MaskFromImage(view, pixels_.View(), channels, static_cast<uint32_t>(threshold));
  *out = mask.Detach();
  return kOk;
}

int32_t PixelImage::Draw(MCanvas* canvas, int32_t destX, int32_t destY, const RectI* source,
                         uint64_t code, int32_t opacity, const uint32_t* palette) {
  if (!canvas) return kErrMissingArg;
  if (pixels_.format == PixelFormat::kMask1) return kErrNotSupported;
  BlitSource blit;
  blit.view = pixels_.View();
  blit.rect = source ? *source : blit.view.Bounds();
  blit.palette = palette;
  return canvas->Blit(blit, destX, destY, code, opacity);
}

}  // namespace vk2::oru
