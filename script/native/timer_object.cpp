#include "script/native/timer_object.h"

#include "script/object/handler_results.h"

#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"
#include "platform/clock.h"
#include "script/engine/interpreter_lock.h"

namespace vk2 {
namespace {

// Timer scripts run on the worker, so it gets a stack as deep as any script thread's.
constexpr size_t kWorkerStack = 16u << 20;

int32_t Remaining(uint32_t due, uint32_t now) {
  return static_cast<int32_t>(due - now);
}

}  // namespace

RefPtr<TimerObject> TimerObject::Make(MScriptEngine* engine, bool useWorker) {
  RefPtr<TimerObject> object(new TimerObject(engine, useWorker));
  if (!object->AttachScriptObject(u"timer", u"Script Timer Object", 0x10000)) return nullptr;
  MScriptMemberRegistry* registry = object->Registry();
  auto data = reinterpret_cast<uintptr_t>(object.Get());
  registry->AddFunction(u"SetTimer",
                        u"Set a timer.  Parameters:  name (for use with UnsetTimer), interval "
                        u"(ms), script, [ID of object to run script from], [reset after fire "
                        u"(default is false)]",
                        false, SetTimerHandler, object->Script(), data, 0);
  registry->AddFunction(u"UnsetTimer",
                        u"Remove a previously set timer.  Parameters: name (as passed to SetTimer)",
                        false, UnsetTimerHandler, object->Script(), data, 0);
  object->Script()->SetReadOnly(true);
  return object;
}

TimerObject::TimerObject(MScriptEngine* engine, bool useWorker)
    : engine_(engine), useWorker_(useWorker) {}

TimerObject::~TimerObject() {
  Stop();
}

void TimerObject::Insert(Entry entry, uint32_t now) {
  // Before the first entry due later than this one; equal due times keep their order.
  int32_t mine = Remaining(entry.due, now);
  auto it = entries_.begin();
  while (it != entries_.end() && Remaining(it->due, now) <= mine)
    ++it;
  entries_.insert(it, std::move(entry));
}

void TimerObject::SetTimer(const TString& name, uint32_t interval, const TString& script,
                           const TString& target) {
  UnsetTimer(name, target);
  bindings_.Update(name, target, script, true, engine_);
  {
    ScopedLock hold(lock_);
    if (stop_) return;
    uint32_t now = TickCount();
    Insert(Entry{now + interval, interval, target, name, interval != 0}, now);
    if (useWorker_ && !worker_.IsStarted()) StartWorkerLocked();
  }
  wake_.Set();
}

void TimerObject::UnsetTimer(const TString& name, const TString& target) {
  {
    ScopedLock hold(lock_);
    entries_.remove_if([&](const Entry& entry) {
      return entry.name.Equals(name, false) && entry.target.Equals(target, false);
    });
  }
  bindings_.Update(name, target, TString(), false, nullptr);
}

size_t TimerObject::TimerCount() {
  ScopedLock hold(lock_);
  return entries_.size();
}

int64_t TimerObject::RunDueTimers() {
  for (;;) {
    Entry entry;
    bool fire = false;
    RefPtr<MScriptObject> target;  // released outside the lock
    {
      ScopedLock hold(lock_);
      if (stop_ || entries_.empty()) return -1;
      uint32_t now = TickCount();
      int32_t wait = Remaining(entries_.front().due, now);
      if (wait > 0) return wait;
      entry = std::move(entries_.front());
      entries_.pop_front();
      // A timer set with no object (from an init script) lives as long as the engine.
      const bool live = entry.target.IsEmpty() || engine_->FindObject(entry.target, target.Put());
      if (entry.active && engine_ && live) {
        Entry again = entry;
        again.due = now + entry.interval;
        Insert(std::move(again), now);
        fire = true;
      }
    }
    if (fire) bindings_.FireTarget(entry.name, entry.target, nullptr);
  }
}

void TimerObject::StartWorkerLocked() {
  AddRef();  // the worker's own reference, dropped when it ends
  bool started = worker_.Start(
      [this] {
        SetCurrentThreadName("script timer");
        WorkerLoop();
        Release();
      },
      kWorkerStack);
  if (!started) Release();
}

void TimerObject::WorkerLoop() {
  for (;;) {
    int64_t wait = RunDueTimers();
    {
      ScopedLock hold(lock_);
      if (stop_) return;
    }
    wake_.Wait(wait < 0 ? kInfinite : static_cast<uint32_t>(wait));
  }
}

void TimerObject::Stop() {
  {
    ScopedLock hold(lock_);
    stop_ = true;
    entries_.clear();
  }
  wake_.Set();
  if (worker_.IsStarted()) {
    if (worker_.IsCurrent()) {
      worker_.Detach();  // a thread cannot wait for itself; it ends after this script
    } else {
      // The worker may be waiting for the interpreter to run a timer script.
      InterpreterUnlockScope unlocked;
      worker_.Join();
    }
  }
  bindings_.Clear();
}

int32_t TimerObject::SetTimerHandler(HandlerCall& call) {
  auto* self = reinterpret_cast<TimerObject*>(call.handlerData);
  TString name, script, target;
  uint32_t interval = 0;
  bool reset = false;  // read for compatibility; every active timer repeats
  if (UnpackScriptArgs(call, u"WUWwb", &name, &interval, &script, &target, &reset) < 0)
    return kHandlerBadArguments;
  if (name.IsEmpty()) {
    // An empty key would match every timer this object fires.
    ReportScriptError(call, u"A timer needs a name.");
    return kHandlerFailed;
  }
  if (interval > kMaxInterval) {
    ReportScriptError(call, u"Timer interval must be between 0 and 2147483647 ms.");
    return kHandlerFailed;
  }
  if (target.IsEmpty() && call.extra) {
    // No object given: the timer runs on the object whose script set it.
    reinterpret_cast<MScriptObject*>(call.extra)->GetUid(&target);
  }
  self->SetTimer(name, interval, script, target);
  return 0;
}

int32_t TimerObject::UnsetTimerHandler(HandlerCall& call) {
  auto* self = reinterpret_cast<TimerObject*>(call.handlerData);
  TString name, target;
  if (UnpackScriptArgs(call, u"WW", &name, &target) < 0) return kHandlerBadArguments;
  self->UnsetTimer(name, target);
  return 0;
}

}  // namespace vk2
