// The text form of a font description, for callers that keep fonts as one string:
//   "face=DejaVu Sans; size=12; style=bold italic; smoothed=no"
// Keys in any order and case, each at most once; unknown keys and words are errors. Style words:
// light, normal, bold, fixed, proportional, serif, italic, underline. Size is in points, 1 to
// 500.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "interfaces/graphics/font.h"

namespace vk2::oru {

struct ParsedFontDescription {
  std::u16string face;
  int32_t size = 10;
  uint32_t style = 1;
  bool smoothed = true;

  // Points into this record: valid while it lives.
  FontDescription Description() const;
};

bool ParseFontDescription(std::u16string_view text, ParsedFontDescription* out);

}  // namespace vk2::oru
