// Drawing text with the image service's fonts. Kept apart from the font records of the
// interface definitions: the two headers name their style bits alike, so no file includes both.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/canvas.h"
#include "interfaces/graphics/image.h"

namespace vk2 {
class MFont;
class MInterfaceDefinition;
}  // namespace vk2

namespace vk2::markup {

// A font as the image service is asked for it.
struct TextFont {
  bool raster = false;
  TString face;
  int32_t size = 10;
  uint32_t style = 1;
  bool smoothed = true;
  RefPtr<MRasterImage> image;
  TString glyphs;
  int32_t tracking = 0;
  bool monochrome = true;
  int32_t startX = 0, startY = 0;
};

// The image service's font for `font` (one reference), or null.
RefPtr<MFont> GetTextFont(const TextFont& font);

// The font style `name` of `iface` (null or empty: its default font style); false when the
// interface has none.
bool LookUpTextFont(MInterfaceDefinition* iface, const TString& name, TextFont* out);

// False when the image service gives no font for it; else the font's answer is ignored.
bool DrawTextWithFont(const TextFont& font, MCanvas* canvas, const TString& text, const RectI& rect,
                      uint32_t flags, uint64_t code, uint32_t color, int32_t opacity);

}  // namespace vk2::markup
