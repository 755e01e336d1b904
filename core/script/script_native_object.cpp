#include "core/script/script_native_object.h"

#include "component/object/query.h"

namespace vk2 {

bool AddScriptFunction(MScriptObject* script, const char16_t* name, const char16_t* help,
                       ScriptHandler handler, const void* data, uintptr_t tag) {
  auto* registry =
      script ? static_cast<MScriptMemberRegistry*>(script->GetMemberRegistry()) : nullptr;
  if (!registry) return false;
  return registry->AddFunction(TString(name), TString(help), false, handler, script,
                               reinterpret_cast<uintptr_t>(data), tag);
}

MScriptObject* AttachCoreScriptObject(MBaseObject* host, MUnknown* part, const TString& name,
                                      const TString& className) {
  if (host->AttachPart(kMmlModuleClass, kIID_MScriptObjectInner) < 0) return nullptr;
  if (part && host->AddPart(part) < 0) return nullptr;
  auto* script = QueryBorrowed<MScriptObject>(host, kIID_MScriptObject);
  if (!script) return nullptr;
  script->SetName(name);
  script->SetClassName(className);
  script->SetVersion(kCoreScriptObjectVersion);
  return script;
}

}  // namespace vk2
