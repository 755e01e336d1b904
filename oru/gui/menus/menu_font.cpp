#include "oru/gui/menus/menu_font.h"

#include <mutex>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "oru/graphics/fonts/font_library.h"

namespace vk2::gui {

namespace {
constexpr int32_t kFallbackCharWidth = 7;
constexpr int32_t kMenuFontPoints = 9;
}  // namespace

MFont* MenuFont() {
  // Made once, kept for the process: menus open and close many times.
  static MFont* font = [] {
    static oru::FontLibrary library;
    FontDescription description;
    description.face = u"Sans";
    description.size = kMenuFontPoints;
    MFont* made = nullptr;
    return library.GetFont(description, &made) == 0 ? made : nullptr;
  }();
  return font;
}

int32_t MenuTextWidth(const TString& text) {
  MFont* font = MenuFont();
  if (!font) return static_cast<int32_t>(text.Length()) * kFallbackCharWidth;
  return font->TextWidth(text.c_str(), static_cast<int32_t>(text.Length()));
}

}  // namespace vk2::gui
