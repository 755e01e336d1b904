// An archive made from one document that a module carries in memory (its preference pane).
// The object also answers MResourceFile for the archive.
#pragma once

#include <cstdint>

#include "interfaces/unknown.h"

namespace vk2 {

class MPrefsDialogRegistry : public MUnknown {
 public:
  // Copies `size` bytes into a one-member archive named `memberName`. Nonzero on success.
  virtual int32_t LoadFromMemory(const void* data, uint64_t size, const char* memberName,
                                 uint32_t flags) = 0;

 protected:
  ~MPrefsDialogRegistry() = default;
};

}  // namespace vk2
