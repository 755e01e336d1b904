// A markup window type, asked of tessel's widget class factories (one class id per type): it
// makes windows of its type and loads their markup properties.
#pragma once

#include <cstdint>

#include "interfaces/gui/window_element.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MInterfaceDefinition;
class MWindowDefinition;

class MWidgetType : public MUnknown {
 public:
  // 3: a new window of this type with one reference, or null. Without `outer` it stands alone
  // and `*out` is its MWindowElement; with one (an object gathering parts through MBaseObject,
  // bringing the GUI part the type wraps) `*out` is the window's inner unknown.
  virtual int32_t Create(MUnknown* outer, MUnknown** out) = 0;
  // 4: attaches `definition` (when given) to `window`, reads the type's markup properties and
  // the generic ones (events, scripts, dock points); answers `window`, or null when it is not a
  // markup window.
  virtual MWindowElement* LoadProperties(MWindowElement* window, MWindowDefinition* definition,
                                         MInterfaceDefinition* iface) = 0;

 protected:
  ~MWidgetType() = default;
};

}  // namespace vk2
