// A font as an interface hands it out: a face font (face, size in points at 96 DPI, style bits)
// or a raster font (a strip image with its glyph list).
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/font.h"
#include "interfaces/graphics/image.h"

namespace vk2 {

// The style bits are the graphics kit's (kFontWeightMask, kFontSerif, ...).
enum class FontRecordKind : int32_t { kNone = 0, kRaster = 1, kFace = 2 };

struct FontRecord {
  FontRecordKind kind = FontRecordKind::kNone;
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
