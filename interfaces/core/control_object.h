// A control object: the settings side of an effect filter, made by the media core for every
// class of the control-object category, one per player.
#pragma once

#include <cstdint>

#include "interfaces/unknown.h"

namespace vk2 {

class MPreferenceStore;

class MControlObject : public MUnknown {
 public:
  // Reads the object's settings from its subsection of the player's section.
  virtual int32_t Init(MPreferenceStore* section) = 0;
  // Receives the value the player broadcasts (its script object).
  virtual int32_t Attach(uintptr_t value) = 0;
  // Called once, when the player shuts down.
  virtual int32_t Detach() = 0;

 protected:
  ~MControlObject() = default;
};

}  // namespace vk2
