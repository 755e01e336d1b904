// The looks of the items of a selection list or picker by their place in the list (alone,
// first, middle, last): an image drawn behind the item, two text colours (normal, highlighted),
// a text colour while disabled and the text's justification.
#pragma once

#include <array>
#include <cstdint>

#include "foundation/util/ref_ptr.h"
#include "interfaces/markup/interface_definition.h"
#include "interfaces/markup/window_definition.h"
#include "markup/dom/element.h"

namespace vk2::markup {

struct ItemLook {
  RefPtr<MImageStyleDrawing> image;
  uint32_t color1 = 0xFFFFFFFF;
  uint32_t color2 = 0xFF00FFFF;
  uint32_t color3 = 0xFF808080;
  uint32_t justification = 0;  // font text flags

  void Reset() { *this = ItemLook{}; }
};

// Indexed by place: 0 alone, 1 first, 2 middle, 3 last.
using ItemLookSet = std::array<ItemLook, 4>;

void ResetLooks(ItemLookSet& set);
// `prefix` (its image to all four places), else `prefix`_only, _first, _middle and _last, the
// only place taking the first's look when it still has no image.
void LoadItemImages(MWindowDefinition* definition, const char16_t* prefix, ItemLookSet& set);
// `font_color1` to `font_color3` and `font_justification` of the property element, into every
// look of the given sets; a missing or unreadable value leaves the looks as they are.
void LoadItemTextLooks(const Element& property, MInterfaceDefinition* iface, ItemLookSet* sets,
                       int32_t setCount);

}  // namespace vk2::markup
