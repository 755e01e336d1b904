// The pitch, amplification and balance control object: scripts reach it as `PitchAmpBal`. It
// keeps the three values in the player's "pitchampbal" section, from which the filter reads them
// when it is told to reload, and tells its listeners of every change.
#pragma once

#include <cstdint>

#include "audio/effects/control_object_core.h"
#include "component/object/com_object.h"
#include "interfaces/audio/effect_controls.h"
#include "interfaces/core/control_object.h"
#include "interfaces/ids.h"
#include "platform/critical_section.h"

namespace vk2 {

class PitchAmpBalanceControl final
    : public ComObject<PitchAmpBalanceControl, Face<MControlObject, kIID_MControlObject>,
                       Face<MPitchAmpBalanceControl, kIID_MPitchAmpBalanceControl>,
                       Face<MBaseObject, kIID_MBaseObject>> {
 public:
  static RefPtr<PitchAmpBalanceControl> Make();

  // MControlObject
  int32_t Init(MPreferenceStore* section) override;
  int32_t Attach(uintptr_t parent) override;
  int32_t Detach() override;

  // MPitchAmpBalanceControl
  int32_t RegisterCallback(MEffectChangeCallback* callback, int32_t add) override;
  int32_t GetPitch(double* value) override { return Get(kPitch, value); }
  int32_t GetAmplification(double* value) override { return Get(kAmplification, value); }
  int32_t GetBalance(double* value) override { return Get(kBalance, value); }
  int32_t SetPitch(double value) override { return Set(kPitch, value); }
  int32_t SetAmplification(double value) override { return Set(kAmplification, value); }
  int32_t SetBalance(double value) override { return Set(kBalance, value); }

  // MBaseObject
  int32_t AttachPart(const Guid& classId, const Guid& iid) override;
  int32_t AddPart(MUnknown* part) override;
  int32_t QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                              const void* after) override;

 private:
  enum Value : uintptr_t { kPitch = 0, kAmplification = 1, kBalance = 2, kValueCount = 3 };

  PitchAmpBalanceControl() = default;
  ~PitchAmpBalanceControl() override = default;
  MUnknown* QueryMore(const Guid& iid) override { return core_.Parts().Find(iid); }

  int32_t Get(Value which, double* value);
  int32_t Set(Value which, double value);

  static int32_t GetHandler(HandlerCall& call);
  static int32_t SetHandler(HandlerCall& call);

  ControlObjectCore core_;
  CriticalSection lock_;  // values_ and store_
  double values_[kValueCount] = {1.0, 1.0, 0.0};
  RefPtr<MPreferenceStore> store_;
};

}  // namespace vk2
