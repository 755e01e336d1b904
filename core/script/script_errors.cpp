#include "core/script/script_errors.h"

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"

namespace vk2 {

RefPtr<MErrorRegistry> MakeErrorRegistry() {
  return CreateRuntimeObject<MErrorRegistry>(kRuntimeRootClass, kIID_MErrorRegistry);
}

TString ErrorText(MErrorRegistry* registry, int32_t code) {
  const ErrorRecord* record = registry ? registry->GetRecord(code, 0) : nullptr;
  if (!record || !record->message) return TString(u"unknown error");
  return FromNarrowString(record->message, -1);
}

bool IsErrorInCategory(MErrorRegistry* registry, int32_t code, uint32_t entry, const char* table) {
  if (!registry) return false;
  const ErrorTableHandle handle = registry->FindTable(table);
  if (!handle) return false;
  const ErrorRecord* record = registry->GetRecord(code, handle);
  return record && record->index == entry;
}

}  // namespace vk2
