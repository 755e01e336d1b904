// The global "system" object, parent of "system.timer".
#pragma once

#include "foundation/util/ref_ptr.h"
#include "script/native/native_object_base.h"
#include "script/native/timer_object.h"

namespace vk2 {

class SystemObject final : public NativeObjectBase {
 public:
  static RefPtr<SystemObject> Make(MScriptEngine* engine, bool timerWorker);
  TimerObject* Timer() const { return timer_.Get(); }

 private:
  SystemObject() = default;
  ~SystemObject() override;

  RefPtr<TimerObject> timer_;
};

}  // namespace vk2
