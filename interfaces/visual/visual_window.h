// The full-screen service of the visualisation host: Register adds LaunchFullScreenVis,
// GetDeviceList and SetDisplayDevice to a script object (the user interface's `visuals`).
#pragma once

#include <cstdint>

#include "interfaces/script/script_object.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MVisualWindow : public MUnknown {
 public:
  virtual int32_t Register(MScriptObject* script) = 0;

 protected:
  ~MVisualWindow() = default;
};

}  // namespace vk2
