#include "script/native/system_object.h"

namespace vk2 {

RefPtr<SystemObject> SystemObject::Make(MScriptEngine* engine, bool timerWorker) {
  RefPtr<SystemObject> object(new SystemObject());
  if (!object->AttachScriptObject(u"system", u"Script System Object", 0x10000)) return nullptr;
  object->timer_ = TimerObject::Make(engine, timerWorker);
  if (object->timer_) {
    MScriptObject* timer = object->timer_->Script();
    static_cast<MScriptMemberRegistry*>(object->Script()->GetMemberRegistry())->AddChild(timer);
    timer->RegisterWithEngine(engine);
  }
  // Scripts cannot add members to the system object.
  object->Script()->SetReadOnly(true);
  return object;
}

SystemObject::~SystemObject() {
  if (timer_) timer_->Stop();
}

}  // namespace vk2
