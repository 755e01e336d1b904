// A scroll-bar style (class ScrollBarStyleClass, which is also the id it answers): the image
// styles of the track, the thumb and the arrows of both orientations, read from a property
// element of an interface, and the bar's thickness.
#pragma once

#include <cstdint>

#include "interfaces/unknown.h"

namespace vk2 {

class MInterfaceDefinition;
class MXmlNode;

class MScrollBarStyle : public MUnknown {
 public:
  // 3: reads the style from `element`, whose image attributes name image styles of `iface`.
  virtual int32_t Load(MInterfaceDefinition* iface, MXmlNode* element) = 0;
  // 4: pixels across a bar.
  virtual int32_t Thickness() = 0;

 protected:
  ~MScrollBarStyle() = default;
};

}  // namespace vk2
