#include "oru/graphics/images/pixel_image.h"

#include <algorithm>
#include <new>

#include "foundation/util/result.h"

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

uint32_t PremultiplyArgb(uint32_t straight) {
  const uint32_t a = straight >> 24;
  if (a == 255) return straight;
  if (a == 0) return 0;
  // Rounded a*c/255 for each channel.
  auto mul = [a](uint32_t c) {
    const uint32_t t = a * c + 128;
    return (t + (t >> 8)) >> 8;
  };
  return (a << 24) | (mul((straight >> 16) & 0xFF) << 16) | (mul((straight >> 8) & 0xFF) << 8) |
         mul(straight & 0xFF);
}

void PremultiplyRgbaRow(const uint8_t* rgba, int32_t width, uint32_t* out) {
  for (int32_t x = 0; x < width; ++x, rgba += 4) {
    out[x] = PremultiplyArgb(uint32_t{rgba[3]} << 24 | uint32_t{rgba[0]} << 16 |
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

// Straight channel value of a premultiplied pixel.
uint32_t Unpremultiplied(uint32_t p, int shift) {
  const uint32_t a = p >> 24;
  if (a == 0) return 0;
  return std::min<uint32_t>(255, (((p >> shift) & 0xFF) * 255 + a / 2) / a);
}

uint8_t ChannelOf(uint32_t p, int32_t source) {
  switch (source) {
    case kEightBitAlpha:
      return static_cast<uint8_t>(p >> 24);
    case kEightBitRed:
      return static_cast<uint8_t>(Unpremultiplied(p, 16));
    case kEightBitGreen:
      return static_cast<uint8_t>(Unpremultiplied(p, 8));
    case kEightBitBlue:
      return static_cast<uint8_t>(Unpremultiplied(p, 0));
    default:
      // Rec. 601 luma weights in 8.8 fixed point.
      return static_cast<uint8_t>((Unpremultiplied(p, 16) * 77 + Unpremultiplied(p, 8) * 150 +
                                   Unpremultiplied(p, 0) * 29) >>
                                  8);
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

int32_t PixelImage::ExtractMask(int32_t threshold, MRasterImage** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (threshold < 1 || threshold > 255) return kErrOutOfRange;
  if (pixels_.format == PixelFormat::kMask1) return kErrNotSupported;
  PixelBuffer mask;
  if (!mask.Allocate(pixels_.width, pixels_.height, PixelFormat::kMask1)) return kErrOutOfMemory;
  const bool argb = pixels_.format == PixelFormat::kArgb32;
  for (int32_t y = 0; y < pixels_.height; ++y) {
    uint8_t* bits = mask.Row(y);
    for (int32_t x = 0; x < pixels_.width; ++x) {
      const uint32_t value = argb ? pixels_.Argb(y)[x] >> 24 : pixels_.Row(y)[x];
      if (value >= static_cast<uint32_t>(threshold)) bits[x >> 3] |= 0x80 >> (x & 7);
    }
  }
  return HandOutImage(Make(std::move(mask)), out);
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
