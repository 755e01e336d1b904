// Font definitions (`fontstyle` elements) and the font records built from them over a base.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/markup/font_record.h"
#include "markup/dom/element.h"
#include "markup/parse/collections.h"

namespace vk2::markup {

struct FontDefinition {
  TString name;
  TString face;
  int32_t size = 0;
  bool relativeSize = false;
  uint32_t style = 0;
  uint32_t styleMask = 0;
  bool smoothedGiven = false;
  bool smoothed = false;
  bool raster = false;
  RefPtr<MRasterImage> image;
  TString glyphs;
  int32_t tracking = 0;
  bool monochrome = true;
  int32_t startX = 0, startY = 0;
};

// A word of the font-style table applied to a style value and mask; unknown words change
// nothing. "noserifs" clears the serif bit, as the other "non" words clear theirs.
void ApplyFontStyleWord(std::u16string_view word, uint32_t* style, uint32_t* mask);

bool ParseFontDefinition(FontDefinition* definition, const Element& element, MResourceFile* package,
                         NamedCollections* collections);

// 1 for a raster font, 0 for a face font; a face definition is applied over a face base.
int32_t BuildFontRecord(const FontDefinition& definition, const FontRecord& base, FontRecord* out);

}  // namespace vk2::markup
