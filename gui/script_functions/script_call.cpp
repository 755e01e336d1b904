#include "gui/script_functions/script_call.h"

#include "interfaces/script/script_engine.h"
#include "interfaces/script/script_object.h"

namespace vk2::gui {

RefPtr<MScriptObject> FindScriptObject(HandlerCall& call, const TString& path) {
  if (!call.engine || path.IsEmpty()) return nullptr;
  RefPtr<MScriptObject> found;
  if (call.engine->FindObject(path, found.Put())) return found;
  // Run on the caller's own object, so that a path relative to it resolves as in its script; the
  // engine gives no value back to a script without one.
  auto* self = reinterpret_cast<MScriptObject*>(call.extra);
  if (!self) self = call.object;
  RefPtr<MScriptObject> value;
  if (call.engine->Run(TString::Format(u"return (%s);", path), value.Put(), self, nullptr,
                       nullptr) != 0 ||
      !value) {
    return nullptr;
  }
  value->Resolve(found.Put());
  return found;
}

}  // namespace vk2::gui
