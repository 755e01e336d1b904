#include "oru/core/error_tables.h"

#include <atomic>
#include <cstring>

#include "foundation/util/result.h"
#include "interfaces/runtime/error_tables.h"

namespace vk2::oru {
namespace {

// Entry N stands for code -(N + 1).
const char* const kBasicMessages[] = {
    "the operation failed",                             // -1
    "a required service is not available",              // -2
    "out of memory",                                    // -3
    "the operation was refused",                        // -4
    "the item was not found",                           // -5
    "the item is already present",                      // -6
    "the data could not be read",                       // -7
    "the operation is not valid in the current state",  // -8
    "a required argument is missing or empty",          // -9
    "the data could not be written",                    // -10
    "the operation timed out",                          // -11
    "the operation was cancelled",                      // -12
    "access was denied",                                // -13
    "the version is not supported",                     // -14
    "the interface is not supported",                   // -15
    "the data is not in the expected format",           // -16
    "the resource was not found",                       // -17
    "the file could not be opened",                     // -18
    "the object could not be created",                  // -19
    "the operation is not supported",                   // -20
};

const char* const kPreferenceMessages[kPrefsEntryCount] = {
    "the preferences could not be read",           "the preference section does not exist",
    "the preference section could not be created", "the preference value does not exist",
    "the preference value has another type",       "the preferences could not be saved",
    "the preference value already exists",         "the preference name is not valid",
};

constexpr uint32_t kMaxTableEntries = 65536;

void WriteBack(ErrorRecord* record, int32_t code, uint32_t index) {
  // Several objects of a module may register its static table at once; they write the same
  // values, so relaxed atomic stores are enough.
  std::atomic_ref<int32_t>(record->code).store(code, std::memory_order_relaxed);
  std::atomic_ref<uint32_t>(record->index).store(index, std::memory_order_relaxed);
}

}  // namespace

ErrorTables::ErrorTables() {
  auto basic = std::make_unique<Table>();
  basic->name = kBasicErrorsTable;
  int32_t code = kErrFailed;  // the table's first entry; each next one a step lower
  for (const char* message : kBasicMessages)
    AddEntry(basic.get(), message, code--);
  tables_.push_back(std::move(basic));

  ErrorRecord records[kPrefsEntryCount];
  for (uint32_t i = 0; i < kPrefsEntryCount; ++i)
    records[i].message = kPreferenceMessages[i];
  RegisterTable(records, kPrefsEntryCount, kPreferenceSystemTable);
  for (const ErrorRecord& r : records)
    preferenceCodes_.push_back(r.code);
}

ErrorTables::Entry* ErrorTables::AddEntry(Table* table, const char* message, int32_t code) {
  auto entry = std::make_unique<Entry>();
  entry->text = message ? message : "";
  entry->record.code = code;
  entry->record.index = static_cast<uint32_t>(table->entries.size());
  entry->record.message = entry->text.c_str();
  Entry* raw = entry.get();
  table->entries.push_back(std::move(entry));
  byCode_[code] = {table, raw};
  return raw;
}

ErrorTableHandle ErrorTables::FindTable(const char* name) {
  if (!name) return 0;
  std::lock_guard lock(mutex_);
  for (const auto& t : tables_) {
    if (t->name == name) return reinterpret_cast<ErrorTableHandle>(t.get());
  }
  return 0;
}

const ErrorRecord* ErrorTables::GetRecord(int32_t code, ErrorTableHandle table) {
  std::lock_guard lock(mutex_);
  auto it = byCode_.find(code);
  if (it == byCode_.end()) return nullptr;
  if (table != 0 && reinterpret_cast<ErrorTableHandle>(it->second.first) != table) return nullptr;
  return &it->second.second->record;
}

int32_t ErrorTables::RegisterTable(ErrorRecord* records, uint32_t count, const char* name) {
  if (!records || !name || !*name || count == 0) return kErrMissingArg;
  if (count > kMaxTableEntries) return kErrFailed;
  std::lock_guard lock(mutex_);
  Table* table = nullptr;
  for (const auto& t : tables_) {
    if (t->name == name) table = t.get();
  }
  if (!table) {
    tables_.push_back(std::make_unique<Table>());
    table = tables_.back().get();
    table->name = name;
  }
  // The same table registered again keeps its codes, entry by entry; the texts registered
  // first stay (every module registers its own copy of shared tables).
  for (uint32_t i = 0; i < count; ++i) {
    Entry* entry = i < table->entries.size() ? table->entries[i].get()
                                             : AddEntry(table, records[i].message, nextCode_--);
    WriteBack(&records[i], entry->record.code, i);
  }
  return 0;
}

int32_t ErrorTables::PreferenceCode(uint32_t entry) const {
  return entry < preferenceCodes_.size() ? preferenceCodes_[entry] : kErrFailed;
}

}  // namespace vk2::oru
