#include "markup/controls/control_font.h"

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "markup/styles/text_font.h"

namespace vk2::markup {

RefPtr<MFont> FontOfStyle(MInterfaceDefinition* iface, const char16_t* name) {
  TextFont font;
  if (!iface || !LookUpTextFont(iface, TString(name ? name : u""), &font)) return nullptr;
  return GetTextFont(font);
}

MFont* WindowFont(MWindowElement* window) {
  PropertyValue value;
  if (!window || window->GetProperty(u"font", &value) != kOk || !value.object ||
      value.type != kPropertyInterface)
    return nullptr;
  return QueryBorrowed<MFont>(static_cast<MUnknown*>(value.object), kIID_MFont);
}

void SetWindowFont(MWindowElement* window, MFont* font) {
  if (!window || !font) return;
  PropertyValue value;
  value.type = kPropertyInterface;
  value.object = static_cast<MUnknown*>(font);
  window->SetProperty(u"font", kPropertyInterface, &value);
}

}  // namespace vk2::markup
