#include "markup/window/window_font.h"

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2::markup {

MFont* WindowFont(MWindowElement* window) {
  PropertyValue value;
  if (!window || window->GetProperty(u"font", &value) != kOk || !value.object ||
      value.type != kPropertyInterface) {
    return nullptr;
  }
  return QueryBorrowed<MFont>(static_cast<MUnknown*>(value.object), kIID_MFont);
}

MFont* InheritedWindowFont(MWindowElement* window) {
  while (window) {
    if (MFont* font = WindowFont(window)) return font;
    MWindowElement* parent = nullptr;
    if (window->GetValue(kValueParent, &parent, sizeof parent) != kOk) return nullptr;
    window = parent;
  }
  return nullptr;
}

void SetWindowFont(MWindowElement* window, MFont* font) {
  if (!window || !font) return;
  PropertyValue value;
  value.type = kPropertyInterface;
  value.object = static_cast<MUnknown*>(font);
  window->SetProperty(u"font", kPropertyInterface, &value);
}

int32_t FontLineHeight(MFont* font) {
  FontMetrics metrics;
  return font && font->GetMetrics(&metrics) == kOk ? metrics.lineHeight : 0;
}

}  // namespace vk2::markup
