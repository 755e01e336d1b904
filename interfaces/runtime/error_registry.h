// Named tables of error messages. A module registers a table of records; the registry writes
// each record's code and index, and from then on the module returns those codes.
#pragma once

#include <cstdint>

#include "interfaces/unknown.h"

namespace vk2 {

struct ErrorRecord {
  const char* message = nullptr;  // UTF-8, zero-terminated
  int32_t code = 0;               // written by the registry
  uint32_t index = 0;             // written by the registry: the entry number in its table
  uint32_t reserved[2] = {};
};

// 0 is "no table".
using ErrorTableHandle = uintptr_t;

class MErrorRegistry : public MUnknown {
 public:
  virtual ErrorTableHandle FindTable(const char* name) = 0;
  // The registry's own record of `code` (its message is the registry's copy and lives as long
  // as the runtime), within `table` or, for table 0, within any table; null when unknown.
  virtual const ErrorRecord* GetRecord(int32_t code, ErrorTableHandle table) = 0;
  // Copies the messages and writes code and index into each of the caller's records. Codes
  // lie below -255 and differ between tables; a table registered again under the same name
  // gets the same codes. 0 on success.
  virtual int32_t RegisterTable(ErrorRecord* records, uint32_t count, const char* name) = 0;

 protected:
  ~MErrorRegistry() = default;
};

}  // namespace vk2
