// Raster fonts: glyphs cut from an image. On the image's row startY, the pixel at startX has the
// separator colour; every run of columns (from startX on) whose pixel on that row differs from
// it is one glyph, taken in order for the characters of the glyph list. A glyph's cell spans
// its columns from the row below startY to the image's bottom. Monochrome fonts use the cells'
// alpha as coverage in the drawing colour; others draw the cells' own colours.
#pragma once

#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/font.h"
#include "oru/graphics/fonts/font_object.h"

namespace vk2::oru {

int32_t MakeRasterFont(const FontDescription& description, RefPtr<FontObject>* out);

}  // namespace vk2::oru
