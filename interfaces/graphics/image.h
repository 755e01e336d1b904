// Raster images, layered documents and the image services of the graphics kit.
//
// A loaded image is immutable: every holder may draw it from any thread at the same time. A part
// of an image (a film-strip frame, a nine-slice cell) is chosen by the source rectangle handed to
// the draw, never by changing the image. Colour images hold premultiplied ARGB (surface.h).
#pragma once

#include <cstdint>

#include "interfaces/graphics/canvas.h"
#include "interfaces/graphics/surface.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MResourceFile;
class MResourceStream;
class MFont;
struct FontDescription;

// The largest side any decoder accepts.
inline constexpr int32_t kMaxImageSide = kMaxSurfaceSide;

// Channels an image is reduced to by ConvertToEightBit.
enum EightBitSource : int32_t {
  kEightBitAlpha = 1,
  kEightBitRed = 2,
  kEightBitGreen = 3,
  kEightBitBlue = 4,
  kEightBitIntensity = 5,
};

// A 1-bit mask (shapes, hit areas, clips): drawn by one thread at a time, like a surface.
// Combine modes are the ClipMode values: 1 clear then set, 2 OR, 3 AND, 4 DIFF, 5 XOR.
class MMaskImage : public MUnknown {
 public:
  virtual int32_t GetView(SurfaceView* view) = 0;
  virtual int32_t CombineRect(const RectI& rect, int32_t mode) = 0;
  virtual int32_t CombineRoundRect(const RectI& rect, int32_t cornerWidth, int32_t cornerHeight,
                                   int32_t mode) = 0;
  virtual int32_t CombineEllipse(const RectI& rect, int32_t mode) = 0;
  // `other` placed with its origin at (dx, dy).
  virtual int32_t CombineMask(MMaskImage* other, int32_t dx, int32_t dy, int32_t mode) = 0;
  // 1 inside, 0 outside or unset.
  virtual int32_t Value(int32_t x, int32_t y) = 0;

 protected:
  ~MMaskImage() = default;
};

class MRasterImage : public MUnknown {
 public:
  // The pixels, read-only: kArgb32 for loaded images, kIndex8 after an 8-bit conversion, kMask1
  // for masks.
  virtual int32_t GetView(SurfaceView* view) = 0;
  virtual RectI Bounds() = 0;
  virtual bool IsEightBit() = 0;
  // A new 8-bit image made of one channel of this one (EightBitSource).
  virtual int32_t ConvertToEightBit(int32_t source, MRasterImage** out) = 0;
  // A new 1-bit mask of the image's size: set where every channel that `channels` names (its
  // non-zero bytes, 0xFF000000 for alpha) holds at least `threshold` in straight colour.
  virtual int32_t ExtractMask(uint32_t channels, int32_t threshold, MMaskImage** out) = 0;
  // Draws `source` (null: the whole image) with its top-left at (destX, destY). 8-bit images are
  // drawn through `palette` (256 straight colours; null: a grey ramp).
  virtual int32_t Draw(MCanvas* canvas, int32_t destX, int32_t destY, const RectI* source,
                       uint64_t code, int32_t opacity, const uint32_t* palette) = 0;

 protected:
  ~MRasterImage() = default;
};

// A layered image document. Layer index kMergedLayer is the flattened image of the whole
// document, which the name "Background" stands for.
inline constexpr int32_t kMergedLayer = -1;

class MLayeredImage : public MUnknown {
 public:
  // kErrBadData for a damaged or unsupported document, kErrOutOfRange for a side over 16384.
  virtual int32_t Load(const void* data, uint64_t size) = 0;
  virtual int32_t LoadStream(MResourceStream* stream) = 0;
  virtual int32_t GetSize(int32_t* width, int32_t* height) = 0;
  virtual int32_t LayerCount() = 0;
  // The layer's index: an exact match first, then one ignoring ASCII case; "Background" (in any
  // case) without such a layer is kMergedLayer. kErrNotFound when none matches.
  virtual int32_t FindLayer(const char16_t* name, int32_t* index) = 0;
  // The layer's name (its Unicode name when the document has one), UTF-16, nul-terminated.
  virtual const char16_t* LayerName(int32_t index) = 0;
  // The rectangle in document coordinates; the merged image's is the whole document.
  virtual int32_t LayerRect(int32_t index, RectI* rect) = 0;
  virtual int32_t LayerOpacity(int32_t index, uint8_t* opacity) = 0;
  // The four-character blend key, first character in the top byte ('norm' = 0x6E6F726D).
  virtual int32_t LayerBlendKey(int32_t index, uint32_t* key) = 0;
  // The layer's own pixels (its rectangle's size) as a new image.
  virtual int32_t Render(int32_t index, MRasterImage** out) = 0;

 protected:
  ~MLayeredImage() = default;
};

// ImageServiceClass, one object per runtime.
class MImageService : public MUnknown {
 public:
  // The font for a description; kErrNotFound when no face or raster source serves it.
  virtual int32_t GetFont(const FontDescription* description, MFont** out) = 0;
  // The same from the text form of a description (fonts/font_description.h in the runtime).
  virtual int32_t GetFontByText(const char16_t* description, MFont** out) = 0;

 protected:
  ~MImageService() = default;
};

// One per thread: every CreateInstance for it gives a new object that serves only the thread
// that made it (others get kErrWrongState), so its scratch image is never shared.
class MThreadImageService : public MUnknown {
 public:
  // A foreign image (PNG, JPEG, BMP, GIF, TGA) from a package member or from memory.
  virtual int32_t LoadImage(MResourceFile* package, const char* name, MRasterImage** out) = 0;
  virtual int32_t LoadImageMemory(const void* data, uint64_t size, MRasterImage** out) = 0;
  // A layered document from a package member ending in ".psd", shared through the runtime's
  // document cache while anyone holds it.
  virtual int32_t LoadLayeredImage(MResourceFile* package, const char* name,
                                   MLayeredImage** out) = 0;
  // This thread's scratch surface, grown to cover at least width x height (never shrunk).
  virtual int32_t GetScratch(int32_t width, int32_t height, MSurface** out) = 0;
  // A new empty mask.
  virtual int32_t CreateMask(int32_t width, int32_t height, MMaskImage** out) = 0;

 protected:
  ~MThreadImageService() = default;
};

// A control point of a palette or curve: position 0.0 to 1.0; value an ARGB colour (palettes)
// or a byte (curves).
struct CurvePoint {
  double position = 0;
  uint32_t value = 0;
};

class MImageStyleService : public MUnknown {
 public:
  // 256 straight colours through the points (sorted by position), linear or spline per channel.
  virtual int32_t MakePalette(const CurvePoint* points, int32_t count, bool spline,
                              uint32_t* palette) = 0;
  // 256 bytes through the points.
  virtual int32_t MakeCurve(const CurvePoint* points, int32_t count, bool spline,
                            uint8_t* curve) = 0;

 protected:
  ~MImageStyleService() = default;
};

// The drawing path the kit is asked to use; 0 is the reference path.
inline constexpr uint64_t kRasterizerPentium = 1ull << 58;
inline constexpr uint64_t kRasterizerMmx = 1ull << 59;

class MRasterizer : public MUnknown {
 public:
  virtual uint64_t GetModeMask() = 0;
  virtual int32_t SetModeMask(uint64_t mask) = 0;

 protected:
  ~MRasterizer() = default;
};

}  // namespace vk2
