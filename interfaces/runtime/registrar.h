// The class registry's write side: module files, classes and category members.
#pragma once

#include <cstdint>

#include "interfaces/unknown.h"

namespace vk2 {

class MRegistrar : public MUnknown {
 public:
  // Loads the module file and lets it register its classes (mode 1), or removes every class and
  // category member the file registered (mode 0). A relative path is taken from the current
  // folder. 0 on success, nonzero on failure.
  virtual int32_t RegisterModuleFile(int32_t mode, const char16_t* path, uint32_t reserved) = 0;
  // Called from a module's RegisterORU with the context the runtime passed to it. `name` may be
  // null. Negative on failure.
  virtual int32_t RegisterClass(int32_t mode, const Guid& classId, uintptr_t context,
                                const char16_t* name) = 0;
  // Adds (mode 1) or removes (mode 0) a class or a category as a member of `category`; members
  // keep their registration order. Negative on failure.
  virtual int32_t AddToCategory(int32_t mode, const Guid& category, const Guid& member,
                                const char16_t* name) = 0;
  // 0 opens a batch whose category changes are written together when 1 closes it.
  virtual int32_t SetBatch(int32_t flag) = 0;
  // 1 for the first user of the runtime, 0 for every later one. Only the first user calls
  // Detach, which shuts the runtime's modules and services down.
  virtual int32_t Attach() = 0;
  virtual int32_t Detach() = 0;

 protected:
  ~MRegistrar() = default;
};

}  // namespace vk2
