// User input settings the controls read (knob behaviour) and the canvas's dithering switch.
// Values live in the GUI layer's preference section when one is given, else in memory.
#pragma once

#include <cstdint>

#include "interfaces/unknown.h"

namespace vk2 {

inline constexpr int32_t kSettingTypeInteger = 1;

class MInputSettings : public MUnknown {
 public:
  // 3: registers an integer setting; a stored value wins over `defaultValue`. Then sets it.
  virtual int32_t RegisterInt(const char16_t* name, int32_t defaultValue, int32_t type) = 0;
  // 4: the value (0 when unknown); `type` receives the type, 0 when unknown.
  virtual int32_t ReadInt(const char16_t* name, int32_t* type) = 0;
  // 5: whether gradients are dithered.
  virtual int32_t IsDithering() = 0;
  // 6, 7: ours: change a registered setting, the dithering switch.
  virtual int32_t SetInt(const char16_t* name, int32_t value) = 0;
  virtual int32_t SetDithering(int32_t on) = 0;

 protected:
  ~MInputSettings() = default;
};

}  // namespace vk2
