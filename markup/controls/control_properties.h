// Reading a control's markup attributes from its window definition's property element, through
// the interface definition it was made from (named colours and rectangles resolve there). Each
// reader answers the fallback when the attribute is absent or does not read.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/markup/interface_definition.h"
#include "interfaces/markup/window_definition.h"
#include "markup/dom/element.h"

namespace vk2::markup {

class ControlProperties {
 public:
  // `iface` may be null: then only literal values read.
  ControlProperties(const Element& element, MInterfaceDefinition* iface)
      : element_(element), iface_(iface) {}

  bool Has(const char16_t* name) const;
  TString Text(const char16_t* name) const { return element_.Attribute(name); }
  int32_t Integer(const char16_t* name, int32_t fallback) const;
  double Number(const char16_t* name, double fallback) const;
  bool Bool(const char16_t* name, bool fallback) const;
  uint32_t Color(const char16_t* name, uint32_t fallback) const;
  uint32_t Alignment(const char16_t* name, uint32_t fallback) const;
  // A keyword list (orientation and playback words).
  uint32_t Orientation(const char16_t* name, uint32_t fallback) const;
  // Left, top, right, bottom; false (out untouched) unless it reads.
  bool Rect(const char16_t* name, double out[4]) const;
  // The same, each side truncated to an integer.
  bool IntRect(const char16_t* name, int32_t out[4]) const;

 private:
  const Element& element_;
  MInterfaceDefinition* iface_;
};

// The property element of the window's definition (a null element when it has none).
Element PropertyElementOf(MWindowDefinition* definition);

// The interface's image style `name` as a drawing (one reference), or null when it has none.
RefPtr<MImageStyleDrawing> InterfaceImageStyle(MInterfaceDefinition* iface, const TString& name);

// Sets an integer window property (the GUI parts read their switches as integers).
void WriteIntegerProperty(MWindowElement* window, const char16_t* name, int32_t value);

}  // namespace vk2::markup
