#include "core/script/script_native_object.h"

namespace vk2 {

bool AddScriptFunction(MScriptObject* script, const char16_t* name, const char16_t* help,
                       ScriptHandler handler, const void* data, uintptr_t tag) {
  auto* registry =
      script ? static_cast<MScriptMemberRegistry*>(script->GetMemberRegistry()) : nullptr;
  if (!registry) return false;
  return registry->AddFunction(TString(name), TString(help), false, handler, script,
                               reinterpret_cast<uintptr_t>(data), tag);
}

}  // namespace vk2
