#include "oru/gui/menus/menu_look.h"

#include <algorithm>

#include "interfaces/gui/controls.h"
#include "interfaces/gui/menus.h"
#include "oru/gui/menus/menu_window.h"

namespace vk2::gui {
namespace {

uint32_t ColourProperty(WindowPart& part, const char16_t* name, uint32_t fallback) {
  PropertyValue value;
  if (part.GetProperty(name, &value) != 0 || value.type != kPropertyInteger) return fallback;
  return static_cast<uint32_t>(value.integer);
}

MImageStyleDrawing* ImageProperty(WindowPart& part, const char16_t* name) {
  PropertyValue value;
  if (part.GetProperty(name, &value) != 0 || value.type != kPropertyInterface || !value.object)
    return nullptr;
  return static_cast<MImageStyleDrawing*>(static_cast<MUnknown*>(value.object));
}

}  // namespace

MenuLook ReadMenuLook(WindowPart& part) {
  MenuLook look;
  look.background = ColourProperty(part, kPropMenuBackground, kMenuBackground);
  look.text = ColourProperty(part, kPropMenuText, kMenuText);
  look.litText = ColourProperty(part, kPropMenuLitText, kMenuTextHighlighted);
  look.highlight = ColourProperty(part, kPropMenuHighlight, kMenuHighlight);
  look.image = ImageProperty(part, kPropMenuImage);
  for (size_t i = 0; i < look.items.size(); ++i)
    look.items[i] = ImageProperty(part, kPropMenuItemImages[i]);
  PropertyValue fade;
  if (part.GetProperty(kPropFadeDuration, &fade) == 0 && fade.type == kPropertyInteger)
    look.fadeMs = std::max(0, fade.integer);
  return look;
}

MenuItemPlace PlaceOf(int32_t index, int32_t count) {
  if (count <= 1) return kItemOnly;
  if (index == 0) return kItemFirst;
  return index == count - 1 ? kItemLast : kItemMiddle;
}

bool DrawMenuImage(MImageStyleDrawing* image, MCanvas* canvas, const RectI& rect, bool lit) {
  if (!image || !canvas) return false;
  return image->Draw(rect, canvas, lit ? kStyleStateHover : kStyleStateNormal, 1.0,
                     VisualParameters{}) != 0;
}

}  // namespace vk2::gui
