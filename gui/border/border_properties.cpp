#include "gui/border/border_properties.h"

#include <cmath>

#include "interfaces/runtime/xml_document.h"

namespace vk2::gui {
namespace {

int32_t Truncate(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<int32_t>(std::trunc(std::fmin(std::fmax(value, -2147483648.0), 2147483647.0)));
}

}  // namespace

BorderProperties LoadBorderProperties(MXmlNode* element, const RectResolver& resolveRect) {
  BorderProperties properties;
  if (!element || element->GetAttributeCount() <= 0) return properties;
  TString edge;
  if (element->GetAttribute(u"edge", &edge) < 0) edge = TString();
  static constexpr const char16_t* kEdges[] = {u"top", u"left", u"right", u"bottom", u"all"};
  for (int32_t i = 0; i < 5; ++i) {
    if (edge.Equals(kEdges[i], false)) {
      properties.edge = i;
      break;
    }
  }
  int32_t thickness = 0;
  if (element->GetAttributeInt(u"thickness", &thickness) < 0) thickness = 0;
  properties.thickness = thickness;
  TString offsetText;
  double rect[4] = {};
  if (element->GetAttribute(u"border_offset", &offsetText) >= 0 && resolveRect &&
      resolveRect(offsetText, rect)) {
    for (int32_t i = 0; i < 4; ++i)
      properties.offset[static_cast<size_t>(i)] = Truncate(rect[i]);
  }
  return properties;
}

}  // namespace vk2::gui
