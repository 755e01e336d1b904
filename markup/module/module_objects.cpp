#include "markup/module/module_objects.h"

#include "foundation/util/ref_ptr.h"
#include "interfaces/ids.h"
#include "interfaces/script/script_object.h"
#include "script/engine/script_engine.h"
#include "script/runtime/script_module.h"

namespace vk2::markup {
namespace {

constexpr int32_t kChildEvent = 4;

template <class T>
RefPtr<T> Query(MUnknown* object, const Guid& iid) {
  void* p = nullptr;
  if (!object || object->QueryInterface(iid, &p, 1, 0) != 0 || !p) return nullptr;
  return RefPtr<T>::Adopt(static_cast<T*>(p));
}

}  // namespace

std::recursive_mutex& StyleLock() {
  static std::recursive_mutex lock;
  return lock;
}

int32_t RemoveScriptChildCallback(MUnknown* object, int32_t event, MUnknown* child) {
  if (event != kChildEvent) return 1;
  auto parent = Query<MScriptObject>(object, kIID_MScriptObject);
  auto member = Query<MScriptObject>(child, kIID_MScriptObject);
  if (!parent || !member) return 1;
  if (auto registry =
          Query<MScriptMemberRegistry>(parent->GetMemberRegistry(), kIID_MScriptMemberRegistry))
    registry->RemoveChild(member.Get());
  if (ScriptEngine* engine = ScriptModule::ExistingEngine()) member->UnregisterFromEngine(engine);
  return 1;
}

}  // namespace vk2::markup
