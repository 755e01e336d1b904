// The component object of an effect filter: MAudioModule answered under its own id as well,
// the property face under MModuleInfo and MModuleProperties, the ports from the frame.
#pragma once

#include <cstdint>

#include "audio/common/framed_module.h"
#include "audio/effects/effect_formats.h"
#include "component/object/com_object.h"
#include "interfaces/audio/module_properties.h"
#include "interfaces/ids.h"

namespace vk2 {

template <class Derived, const Guid& kFilterIid>
class FilterModule
    : public FramedModule<Derived, Face<MAudioModule, kIID_MAudioModule, kFilterIid>> {
 protected:
  FilterModule()
      : FramedModule<Derived, Face<MAudioModule, kIID_MAudioModule, kFilterIid>>(
            {IsEffectFormat, /*secondScore=*/1, /*connectOnlyWhenStopped=*/true}) {}
  ~FilterModule() override = default;

  virtual MModuleProperties* Properties() = 0;

 private:
  MUnknown* QueryMore(const Guid& iid) override {
    if (iid == kIID_MModuleInfo || iid == kIID_MModuleProperties) return Properties();
    return nullptr;
  }
};

}  // namespace vk2
