#include "markup/controls/control_properties.h"

#include <cmath>

#include "markup/definition/interface_definition.h"
#include "markup/definition/style_readers.h"
#include "markup/definition/window_definition.h"
#include "markup/parse/scalar_parsers.h"
#include "markup/parse/value_parsers.h"

namespace vk2::markup {

bool ControlProperties::Has(const char16_t* name) const {
  return element_.HasAttribute(name);
}

int32_t ControlProperties::Integer(const char16_t* name, int32_t fallback) const {
  if (!Has(name)) return fallback;
  int32_t value = 0;
  const TString text = Text(name);
  return ParseIntegerMarkup(text.view(), &value) > 0 ? value : fallback;
}

double ControlProperties::Number(const char16_t* name, double fallback) const {
  const double value = element_.AttributeNumber(name, fallback);
  return std::isfinite(value) ? value : fallback;
}

bool ControlProperties::Bool(const char16_t* name, bool fallback) const {
  return element_.AttributeBool(name, fallback);
}

uint32_t ControlProperties::Color(const char16_t* name, uint32_t fallback) const {
  const TString text = Text(name);
  if (text.IsEmpty()) return fallback;
  uint32_t value = 0;
  if (iface_) return iface_->GetColor(text.c_str(), &value) == 0 ? value : fallback;
  return ParseColor(text.view(), &value, nullptr, nullptr) > 0 ? value : fallback;
}

uint32_t ControlProperties::Alignment(const char16_t* name, uint32_t fallback) const {
  if (!Has(name)) return fallback;
  uint64_t value = 0;
  return ParseAlignment(Text(name).view(), &value) ? static_cast<uint32_t>(value) : fallback;
}

uint32_t ControlProperties::Orientation(const char16_t* name, uint32_t fallback) const {
  if (!Has(name)) return fallback;
  uint64_t value = 0;
  return ParseOrientation(Text(name).view(), &value) ? static_cast<uint32_t>(value) : fallback;
}

bool ControlProperties::Rect(const char16_t* name, double out[4]) const {
  const TString text = Text(name);
  if (text.IsEmpty()) return false;
  double values[4] = {};
  if (iface_) {
    if (iface_->GetRect(text.c_str(), values) != 0) return false;
  } else {
    RectD rect;
    if (ParseRect(text.view(), nullptr, &rect, false, nullptr, nullptr) == 0) return false;
    values[0] = rect.left;
    values[1] = rect.top;
    values[2] = rect.right;
    values[3] = rect.bottom;
  }
  for (double v : values)
    if (!std::isfinite(v)) return false;
  for (int i = 0; i < 4; ++i)
    out[i] = values[i];
  return true;
}

bool ControlProperties::IntRect(const char16_t* name, int32_t out[4]) const {
  double values[4];
  if (!Rect(name, values)) return false;
  for (int i = 0; i < 4; ++i) {
    // Bounded, so a huge markup number cannot overflow the conversion.
    const double v = std::trunc(values[i]);
    out[i] = v > 1e6 ? 1000000 : v < -1e6 ? -1000000 : static_cast<int32_t>(v);
  }
  return true;
}

Element PropertyElementOf(MWindowDefinition* definition) {
  auto* own = dynamic_cast<WindowDefinition*>(definition);
  return own ? own->PropertyElement() : Element();
}

RefPtr<MImageStyleDrawing> InterfaceImageStyle(MInterfaceDefinition* iface, const TString& name) {
  auto* owner = dynamic_cast<InterfaceDefinition*>(iface);
  if (!owner || name.IsEmpty()) return nullptr;
  MMarkupDefinition* record = nullptr;
  if (iface->GetImageStyle(name.c_str(), &record) != 0 || !record) return nullptr;
  auto held = RefPtr<MMarkupDefinition>::Adopt(record);
  MXmlNode* node = nullptr;
  if (held->GetElement(&node) != 0 || !node) return nullptr;
  return ReadImageStyleDrawing(Element(RefPtr<MXmlNode>::Adopt(node)), owner);
}

void WriteIntegerProperty(MWindowElement* window, const char16_t* name, int32_t value) {
  PropertyValue property;
  property.type = kPropertyInteger;
  property.integer = value;
  window->SetProperty(name, kPropertyInteger, &property);
}

}  // namespace vk2::markup
