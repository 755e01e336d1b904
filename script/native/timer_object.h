// The "system.timer" object: scripts set named timers that run a script on an object every
// interval. One worker thread serves the time-ordered list of timers.
#pragma once

#include <cstdint>
#include <list>

#include "component/script/script_binding_table.h"
#include "foundation/util/ref_ptr.h"
#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/thread.h"
#include "script/native/native_object_base.h"

namespace vk2 {

class TimerObject final : public NativeObjectBase {
 public:
  // Intervals must fit in 31 bits: due times are compared as signed differences from now.
  static constexpr uint32_t kMaxInterval = 0x7FFFFFFF;

  // With `useWorker` the timers run on a thread of their own (started with the first timer);
  // without it they run only when RunDueTimers is called. Time is the platform's current clock.
  static RefPtr<TimerObject> Make(MScriptEngine* engine, bool useWorker);

  // Runs every timer due now; returns the milliseconds until the next one, or -1 for none.
  int64_t RunDueTimers();
  // Stops the worker thread and drops every timer and binding. Called before the module lets
  // go of its objects, so no timer script runs while they are taken apart.
  void Stop();

  // The script functions' work, also for native callers.
  void SetTimer(const TString& name, uint32_t interval, const TString& script,
                const TString& target);
  void UnsetTimer(const TString& name, const TString& target);
  size_t TimerCount();
  ScriptBindingTable& Bindings() { return bindings_; }

 private:
  struct Entry {
    uint32_t due;
    uint32_t interval;
    TString target;
    TString name;
    bool active;
  };

  TimerObject(MScriptEngine* engine, bool useWorker);
  ~TimerObject() override;
  void Insert(Entry entry, uint32_t now);  // under lock_
  void StartWorkerLocked();
  void WorkerLoop();

  static int32_t SetTimerHandler(HandlerCall& call);
  static int32_t UnsetTimerHandler(HandlerCall& call);

  MScriptEngine* engine_;  // the module's engine, which outlives this object
  const bool useWorker_;
  ScriptBindingTable bindings_;

  CriticalSection lock_;  // the timer list and the worker record
  Event wake_{EventReset::kAuto};
  bool stop_ = false;
  std::list<Entry> entries_;
  Thread worker_;
};

}  // namespace vk2
