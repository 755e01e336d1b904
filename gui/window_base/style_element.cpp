#include "gui/window_base/style_element.h"

#include <cmath>

namespace vk2::gui {
namespace {

int32_t Truncated(double value) {
  if (!std::isfinite(value) || value >= 2147483647.0 || value <= -2147483648.0) return 0;
  return static_cast<int32_t>(value);
}

}  // namespace

RefPtr<MXmlNode> FindStyleElement(MInterfaceDefinition* definition, const char16_t* name) {
  if (!definition || !name) return nullptr;
  MXmlNode* node = nullptr;
  if (definition->GetProperty(name, &node) != 0 || !node) return nullptr;
  return RefPtr<MXmlNode>::Adopt(node);
}

BorderOffset ReadBorderOffset(MInterfaceDefinition* definition, MXmlNode* element) {
  BorderOffset offset;
  TString text;
  double rect[4] = {0, 0, 0, 0};
  if (!definition || !element || element->GetAttribute(u"rect_borderoffset", &text) != 0 ||
      definition->GetRect(text.c_str(), rect) != 0) {
    return offset;
  }
  offset.left = Truncated(rect[0]);
  offset.top = Truncated(rect[1]);
  offset.right = Truncated(rect[2]);
  offset.bottom = Truncated(rect[3]);
  return offset;
}

}  // namespace vk2::gui
