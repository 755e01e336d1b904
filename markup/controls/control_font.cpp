#include "markup/controls/control_font.h"

#include "markup/styles/text_font.h"

namespace vk2::markup {

RefPtr<MFont> FontOfStyle(MInterfaceDefinition* iface, const char16_t* name) {
  TextFont font;
  if (!iface || !LookUpTextFont(iface, TString(name ? name : u""), &font)) return nullptr;
  return GetTextFont(font);
}

}  // namespace vk2::markup
