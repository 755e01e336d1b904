#include "component/module/error_entry.h"

#include "interfaces/runtime/error_registry.h"

namespace vk2 {

bool IsErrorEntry(MErrorRegistry* registry, int32_t code, uint32_t entry, const char* table) {
  if (!registry || !table) return false;
  ErrorTableHandle handle = registry->FindTable(table);
  if (handle == 0) return false;
  const ErrorRecord* record = registry->GetRecord(code, handle);
  return record && record->index == entry;
}

}  // namespace vk2
