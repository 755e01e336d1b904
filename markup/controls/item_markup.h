// The markup attributes the selection list and the picker read alike: the item text looks,
// the font, the fade duration and the text shadow.
#pragma once

#include <cstdint>

#include "interfaces/gui/window_element.h"
#include "interfaces/markup/interface_definition.h"
#include "markup/controls/item_styles.h"
#include "markup/dom/element.h"

namespace vk2::markup {

struct ItemMarkup {
  int32_t fadeDuration = 0;
  bool textShadow = true;
};

// Reads `font_color1` to `font_color3` and `font_justification` into the sets, `font_style`
// into the window's "font" (the interface's default font style when it names none that gives a
// font), `fade_duration` (also the window property "fade_duration") and `textshadow`.
ItemMarkup LoadItemMarkup(MWindowElement* window, const Element& property,
                          MInterfaceDefinition* iface, ItemLookSet* sets, int32_t setCount);

}  // namespace vk2::markup
