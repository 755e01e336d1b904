// The runtime's error registry: named tables of messages with codes below -255, plus the
// runtime's own "Basic Errors" (codes -1 to -N) and "Preference System" tables.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "interfaces/runtime/error_registry.h"

namespace vk2::oru {

class ErrorTables {
 public:
  ErrorTables();

  ErrorTableHandle FindTable(const char* name);
  const ErrorRecord* GetRecord(int32_t code, ErrorTableHandle table);
  int32_t RegisterTable(ErrorRecord* records, uint32_t count, const char* name);

  // Code of an entry of the runtime's "Preference System" table.
  int32_t PreferenceCode(uint32_t entry) const;

 private:
  struct Entry {
    ErrorRecord record;  // message points at `text`
    std::string text;
  };
  struct Table {
    std::string name;
    std::vector<std::unique_ptr<Entry>> entries;
  };

  Entry* AddEntry(Table* table, const char* message, int32_t code);

  std::mutex mutex_;
  std::vector<std::unique_ptr<Table>> tables_;
  std::unordered_map<int32_t, std::pair<Table*, Entry*>> byCode_;
  int32_t nextCode_ = -256;
  std::vector<int32_t> preferenceCodes_;
};

}  // namespace vk2::oru
