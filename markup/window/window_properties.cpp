#include "markup/window/window_properties.h"

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/gui/listener_list.h"
#include "interfaces/ids.h"

namespace vk2::markup {
namespace {

bool Read(MWindowElement* window, const char16_t* name, int32_t type, PropertyValue* out) {
  return window && window->GetProperty(name, out) == kOk && out->type == type;
}

}  // namespace

std::optional<double> ReadDoubleProperty(MWindowElement* window, const char16_t* name) {
  PropertyValue value;
  if (!Read(window, name, kPropertyDouble, &value)) return std::nullopt;
  return value.number;
}

std::optional<int32_t> ReadIntegerProperty(MWindowElement* window, const char16_t* name) {
  PropertyValue value;
  if (!Read(window, name, kPropertyInteger, &value)) return std::nullopt;
  return value.integer;
}

TString ReadStringProperty(MWindowElement* window, const char16_t* name) {
  PropertyValue value;
  if (!Read(window, name, kPropertyString, &value) || !value.text) return TString();
  return TString(value.text);
}

void WriteDoubleProperty(MWindowElement* window, const char16_t* name, double number) {
  PropertyValue value;
  value.type = kPropertyDouble;
  value.number = number;
  if (window) window->SetProperty(name, kPropertyDouble, &value);
}

void WriteStringProperty(MWindowElement* window, const char16_t* name, const TString& text) {
  PropertyValue value;
  value.type = kPropertyString;
  value.text = text.c_str();
  if (window) window->SetProperty(name, kPropertyString, &value);
}

VisualParameters ReadVisualParameters(MWindowElement* window) {
  VisualParameters params;
  if (auto v = ReadDoubleProperty(window, u"mml_opacity")) params.opacity = static_cast<float>(*v);
  if (auto v = ReadDoubleProperty(window, u"mml_angle")) params.angle = static_cast<float>(*v);
  if (auto v = ReadDoubleProperty(window, u"mml_time")) params.time = static_cast<float>(*v);
  if (auto v = ReadDoubleProperty(window, u"mml_zoom")) params.zoom = static_cast<float>(*v);
  return params;
}

MWindowElement* TopWindow(MWindowElement* window) {
  // Trees are shallow; the bound only guards against a parent chain that loops.
  for (int32_t depth = 0; window && depth < 4096; ++depth) {
    MWindowElement* parent = nullptr;
    if (window->GetValue(kValueParent, &parent, sizeof parent) != kOk || !parent) return window;
    window = parent;
  }
  return window;
}

void ShowHintOnTopWindow(MWindowElement* window, const TString& hint) {
  MWindowElement* top = TopWindow(window);
  if (auto* listeners = QueryBorrowed<MListenerList>(top, kIID_MListenerList))
    listeners->Post(hint, kStatusProgress);
}

}  // namespace vk2::markup
