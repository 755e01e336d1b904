// A font as an interface hands it out: a face font (face, size in points at 96 DPI, style bits)
// or a raster font (a strip image with its glyph list).
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/image.h"

namespace vk2 {

// Style bits: 0-1 weight (0 light, 1 normal, 2 bold), 2 fixed pitch, 3 serif, 4 italic,
// 5 underline.
inline constexpr uint32_t kFontWeightMask = 0x3;
inline constexpr uint32_t kFontFixedPitch = 0x4;
inline constexpr uint32_t kFontSerif = 0x8;
inline constexpr uint32_t kFontItalic = 0x10;
inline constexpr uint32_t kFontUnderline = 0x20;

enum class FontKind : int32_t { kNone = 0, kRaster = 1, kFace = 2 };

struct FontRecord {
  FontKind kind = FontKind::kNone;
  TString face;
  int32_t size = 0;
  uint32_t style = 1;
  bool smoothed = false;
  // Raster fonts.
  RefPtr<MRasterImage> image;
  TString glyphs;
  int32_t tracking = 0;
  bool monochrome = true;
  int32_t startX = 0, startY = 0;
};

// What a document is read for: the default font style and the language the user chose.
struct LoadContext {
  FontRecord defaultFont;
  TString language;
};

}  // namespace vk2
