#include "markup/controls/item_markup.h"

#include "markup/controls/control_font.h"
#include "markup/controls/control_properties.h"
#include "markup/window/window_font.h"

namespace vk2::markup {

ItemMarkup LoadItemMarkup(MWindowElement* window, const Element& property,
                          MInterfaceDefinition* iface, ItemLookSet* sets, int32_t setCount) {
  ItemMarkup markup;
  RefPtr<MFont> font;
  if (property) {
    const ControlProperties read(property, iface);
    LoadItemTextLooks(property, iface, sets, setCount);
    if (read.Has(u"font_style")) font = FontOfStyle(iface, read.Text(u"font_style").c_str());
    markup.fadeDuration = read.Integer(u"fade_duration", 0);
    WriteIntegerProperty(window, u"fade_duration", markup.fadeDuration);
    markup.textShadow = read.Bool(u"textshadow", true);
  }
  if (!font) font = FontOfStyle(iface, nullptr);
  SetWindowFont(window, font.Get());
  return markup;
}

}  // namespace vk2::markup
