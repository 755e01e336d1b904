// A chain module whose ports, chain and state are a FilterFrame's: the component object with its
// faces (the first of which is or derives from MAudioModule) and MAudioModule's operations
// answered by the frame. The module gives the frame's port rules and its PullPacket, and
// overrides Prepare or Seek when they mean more to it than success.
#pragma once

#include <cstdint>

#include "audio/common/filter_frame.h"
#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "interfaces/audio/audio_module.h"

namespace vk2 {

template <class Derived, class... Faces>
class FramedModule : public ComObject<Derived, Faces...>, public FilterFrame {
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
  explicit FramedModule(PortRules rules) : FilterFrame(static_cast<MAudioModule*>(this), rules) {}
  ~FramedModule() override = default;
};

}  // namespace vk2
