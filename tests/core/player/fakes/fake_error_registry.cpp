#include "tests/core/player/fakes/fake_error_registry.h"

namespace vk2::test {

ErrorTableHandle FakeErrorRegistry::FindTable(const char* name) {
  std::lock_guard lock(mutex_);
  for (size_t i = 0; i < tables_.size(); ++i) {
    if (tables_[i]->name == name) return i + 1;
  }
  return 0;
}

const ErrorRecord* FakeErrorRegistry::GetRecord(int32_t code, ErrorTableHandle table) {
  std::lock_guard lock(mutex_);
  for (size_t t = 0; t < tables_.size(); ++t) {
    if (table != 0 && table != t + 1) continue;
    for (auto& record : tables_[t]->records) {
      if (record.code == code) return &record;
    }
  }
  return nullptr;
}

int32_t FakeErrorRegistry::RegisterTable(ErrorRecord* records, uint32_t count, const char* name) {
  std::lock_guard lock(mutex_);
  size_t t = 0;
  while (t < tables_.size() && tables_[t]->name != name)
    ++t;
  if (t == tables_.size()) {
    auto table = std::make_unique<Table>();
    table->name = name;
    table->records.resize(count);
    table->messages.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
      table->messages[i] = records[i].message ? records[i].message : "";
      table->records[i].message = table->messages[i].c_str();
      table->records[i].code = -1000 - static_cast<int32_t>(t * 100 + i);
      table->records[i].index = i;
    }
    tables_.push_back(std::move(table));
  }
  for (uint32_t i = 0; i < count && i < tables_[t]->records.size(); ++i) {
    records[i].code = tables_[t]->records[i].code;
    records[i].index = i;
  }
  return 0;
}

}  // namespace vk2::test
