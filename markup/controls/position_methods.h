// The script methods of the position value model, which the fill bar and the spin button
// publish alike: the relative position (0.0 to 1.0), the integral position and the range.
#pragma once

#include <cstdint>

#include "interfaces/gui/window_element.h"
#include "interfaces/script/script_object.h"

namespace vk2::markup {

// Whatever carries the position: the control, which forwards to its part.
class PositionOwner {
 public:
  virtual int32_t PositionInt() = 0;
  virtual double PositionReal() = 0;
  virtual void SetPositionInt(int32_t position) = 0;
  virtual void SetPositionReal(double position) = 0;
  // The window holding the range's properties.
  virtual MWindowElement* PositionWindow() = 0;

 protected:
  ~PositionOwner() = default;
};

// The help texts per control; null setters of the range are not registered.
struct PositionMethodHelp {
  const char16_t* getReal;
  const char16_t* getInt;
  const char16_t* setReal;
  const char16_t* setInt;
  const char16_t* getMin;
  const char16_t* setMin;
  const char16_t* getMax;
  const char16_t* setMax;
};

// Registers, in this order, GetRealPos, GetIntPos, SetRealPos, SetIntPos, GetMin, SetMin,
// GetMax, SetMax (the setters of the range only when their help is given).
void RegisterPositionMethods(MScriptObject* script, PositionOwner* owner,
                             const PositionMethodHelp& help);

}  // namespace vk2::markup
