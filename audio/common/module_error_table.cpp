#include "audio/common/module_error_table.h"

#include "foundation/util/result.h"
#include "interfaces/runtime/error_registry.h"

namespace vk2 {

ModuleErrorTable::ModuleErrorTable(const char* name, std::vector<const char*> messages)
    : name_(name), messages_(std::move(messages)), codes_(messages_.size()) {
  for (auto& code : codes_)
    code.store(0, std::memory_order_relaxed);
}

void ModuleErrorTable::Register(MErrorRegistry* registry) {
  if (!registry) return;
  std::lock_guard lock(registerMutex_);
  std::vector<ErrorRecord> records(messages_.size());
  for (size_t i = 0; i < messages_.size(); ++i)
    records[i].message = messages_[i];
  if (registry->RegisterTable(records.data(), static_cast<uint32_t>(records.size()), name_) != 0) {
    return;
  }
  for (size_t i = 0; i < records.size(); ++i) {
    if (records[i].code < 0) codes_[i].store(records[i].code, std::memory_order_relaxed);
  }
}

int32_t ModuleErrorTable::Code(uint32_t entry) const {
  if (entry >= codes_.size()) return kErrFailed;
  const int32_t code = codes_[entry].load(std::memory_order_relaxed);
  return code < 0 ? code : kErrFailed;
}

const char* ModuleErrorTable::Message(uint32_t entry) const {
  return entry < messages_.size() ? messages_[entry] : "";
}

}  // namespace vk2
