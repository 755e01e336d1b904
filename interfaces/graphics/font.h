// Fonts of the graphics kit: faces found by description through the system's font
// configuration, and raster fonts cut from an image. Sizes are points at 96 dots per inch.
#pragma once

#include <cstdint>

#include "interfaces/graphics/canvas.h"
#include "interfaces/graphics/surface.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MRasterImage;

// Style bits of a font description.
inline constexpr uint32_t kFontWeightMask = 0x3;  // 0 light, 1 normal, 2 bold
inline constexpr uint32_t kFontFixedPitch = 1u << 2;
inline constexpr uint32_t kFontSerif = 1u << 3;
inline constexpr uint32_t kFontItalic = 1u << 4;
inline constexpr uint32_t kFontUnderline = 1u << 5;

enum FontKind : int32_t { kFontRaster = 1, kFontFace = 2 };

struct FontDescription {
  int32_t kind = kFontFace;
  const char16_t* face = nullptr;  // family name, or a font file path (starting with '/')
  int32_t size = 10;               // points
  uint32_t style = 1;
  bool smoothed = true;
  // Raster fonts: glyphs side by side in `image` (see the runtime's raster font), one per
  // character of `glyphList`.
  MRasterImage* image = nullptr;
  const char16_t* glyphList = nullptr;
  int32_t tracking = 0;
  bool monochrome = true;
  int32_t startX = 0;
  int32_t startY = 0;
};

// Justification flags of DrawText and WrappedHeight.
inline constexpr uint32_t kTextRight = 0x1;
inline constexpr uint32_t kTextHCenter = 0x2;
inline constexpr uint32_t kTextHFull = 0x3;
inline constexpr uint32_t kTextHMask = 0x3;
inline constexpr uint32_t kTextVCenter = 0x4;
inline constexpr uint32_t kTextBottom = 0x8;
inline constexpr uint32_t kTextVFull = 0xC;
inline constexpr uint32_t kTextVMask = 0xC;
inline constexpr uint32_t kTextTrimChars = 0x10;
inline constexpr uint32_t kTextTrimEllipsis = 0x20;
inline constexpr uint32_t kTextSingleLine = 0x40;

struct FontMetrics {
  int32_t ascent = 0;   // pixels above the baseline
  int32_t descent = 0;  // pixels below it
  int32_t lineHeight = 0;
  int32_t averageWidth = 0;
  int32_t maxWidth = 0;
};

class MFont : public MUnknown {
 public:
  // Text is UTF-16; `length` -1 runs to the terminator.
  virtual int32_t TextWidth(const char16_t* text, int32_t length) = 0;
  // The height of the text wrapped to `width` pixels (one line with kTextSingleLine).
  virtual int32_t WrappedHeight(const char16_t* text, int32_t length, int32_t width,
                                uint32_t flags) = 0;
  virtual int32_t GetMetrics(FontMetrics* metrics) = 0;
  // Draws inside `rect` (clipped to it) with the justification flags; colour straight ARGB.
  virtual int32_t DrawText(MCanvas* canvas, const char16_t* text, int32_t length, const RectI& rect,
                           uint32_t flags, uint64_t code, uint32_t color, int32_t opacity) = 0;

 protected:
  ~MFont() = default;
};

}  // namespace vk2
