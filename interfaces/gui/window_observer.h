// What a window tells the parts of its base object about its own life: a part answering this
// interface hears once that the window is being destroyed, before its host lets it go.
#pragma once

#include "interfaces/gui/window_element.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MWindowObserver : public MUnknown {
 public:
  // 3: `window` (the outer window element) is being destroyed.
  virtual void WindowDestroyed(MWindowElement* window) = 0;

 protected:
  ~MWindowObserver() = default;
};

}  // namespace vk2
