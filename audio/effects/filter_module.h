// The component object of an effect filter: MAudioModule answered under its own id as well,
// the property face under MModuleInfo and MModuleProperties, the ports from FilterFrame.
#pragma once

#include <cstdint>

#include "audio/common/filter_frame.h"
#include "audio/effects/effect_formats.h"
#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "interfaces/audio/module_properties.h"
#include "interfaces/ids.h"

namespace vk2 {

template <class Derived, const Guid& kFilterIid>
class FilterModule : public ComObject<Derived, Face<MAudioModule, kIID_MAudioModule, kFilterIid>>,
                     public FilterFrame {
 public:
  int32_t HasInput() override { return 1; }
  int32_t HasOutput() override { return 1; }
  int32_t GetInputByName(AudioModuleInput** input, const char16_t* name) override {
    return FilterFrame::GetInputByName(input, name);
  }
  int32_t GetInput(AudioModuleInput** input, int32_t index) override {
    return FilterFrame::GetInput(input, index);
  }
  int32_t GetOutputByName(AudioModuleOutput** output, const char16_t* name) override {
    return FilterFrame::GetOutputByName(output, name);
  }
  int32_t GetOutput(AudioModuleOutput** output, int32_t index) override {
    return FilterFrame::GetOutput(output, index);
  }
  int32_t SetChain(MMediaChain* chain) override { return FilterFrame::SetChain(chain); }
  int32_t StateChange(int32_t state) override { return FilterFrame::StateChange(state); }
  int32_t Prepare(int32_t) override { return kOk; }
  int32_t Seek(double, uint32_t, uint32_t) override { return kOk; }

 protected:
  FilterModule()
      : FilterFrame(static_cast<MAudioModule*>(this),
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
