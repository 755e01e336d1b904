// The one image object of the kit: owns its pixels, never changes them once made.
#pragma once

#include <cstdint>
#include <vector>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/image.h"
#include "interfaces/ids.h"

namespace vk2::oru {

// Pixels as a decoder builds them, before they become an image.
struct PixelBuffer {
  int32_t width = 0;
  int32_t height = 0;
  PixelFormat format = PixelFormat::kArgb32;
  int32_t strideBytes = 0;
  std::vector<uint8_t> bits;

  // Cleared to zero; false when the size is refused (a side beyond kMaxImageSide) or cannot be
  // held.
  bool Allocate(int32_t w, int32_t h, PixelFormat f);
  uint32_t* Argb(int32_t y) { return reinterpret_cast<uint32_t*>(bits.data() + y * strideBytes); }
  uint8_t* Row(int32_t y) { return bits.data() + y * strideBytes; }
  SurfaceView View();
};

// Straight R, G, B, A bytes (as decoders give them) to premultiplied ARGB pixels.
void PremultiplyRgbaRow(const uint8_t* rgba, int32_t width, uint32_t* out);

class PixelImage final : public ComObject<PixelImage, Face<MRasterImage, kIID_MRasterImage>> {
 public:
  static RefPtr<PixelImage> Make(PixelBuffer pixels);

  int32_t GetView(SurfaceView* view) override;
  RectI Bounds() override;
  bool IsEightBit() override;
  int32_t ConvertToEightBit(int32_t source, MRasterImage** out) override;
  int32_t ExtractMask(uint32_t channels, int32_t threshold, MMaskImage** out) override;
  int32_t Draw(MCanvas* canvas, int32_t destX, int32_t destY, const RectI* source, uint64_t code,
               int32_t opacity, const uint32_t* palette) override;

 private:
  explicit PixelImage(PixelBuffer pixels) : pixels_(std::move(pixels)) {}
  ~PixelImage() override = default;

  PixelBuffer pixels_;
};

// Hands `image` out through `out` with one reference; kErrOutOfMemory for none.
int32_t HandOutImage(RefPtr<PixelImage> image, MRasterImage** out);

}  // namespace vk2::oru
