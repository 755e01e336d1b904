// An error registry that numbers tables from -1000 down, 100 codes to a table.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "component/object/com_object.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/error_registry.h"

namespace vk2::test {

class FakeErrorRegistry final
    : public ComObject<FakeErrorRegistry, Face<MErrorRegistry, kIID_MErrorRegistry>> {
 public:
  ErrorTableHandle FindTable(const char* name) override;
  const ErrorRecord* GetRecord(int32_t code, ErrorTableHandle table) override;
  int32_t RegisterTable(ErrorRecord* records, uint32_t count, const char* name) override;

 private:
  struct Table {
    std::string name;
    std::vector<ErrorRecord> records;
    std::vector<std::string> messages;
  };
  std::mutex mutex_;
  std::vector<std::unique_ptr<Table>> tables_;
};

}  // namespace vk2::test
