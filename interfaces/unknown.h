// The base of every interface: slots 0 to 2 are QueryInterface, AddRef and Release.
// Interfaces have no virtual destructor (it would take slots); objects delete themselves.
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"

namespace vk2 {

class MUnknown {
 public:
  // `addRef` nonzero: the object handed out carries a reference for the caller. `reserved` is 0.
  virtual int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef = 1,
                                 uint32_t reserved = 0) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  ~MUnknown() = default;
};

}  // namespace vk2
