// A module's class object: makes objects of one class. Handed out by a module's `MIFactory`.
#pragma once

#include <cstdint>

#include "interfaces/unknown.h"

namespace vk2 {

class MClassFactory : public MUnknown {
 public:
  // New object asked for `iid`, one reference for the caller. With `outer` the object is made
  // as a part of that object: `*out` then receives the part's inner (non-delegating) unknown,
  // which answers `iid` through its QueryInterface. -15 when the class does not serve `iid`.
  virtual int32_t CreateInstance(const Guid& iid, void** out, MUnknown* outer) = 0;

 protected:
  ~MClassFactory() = default;
};

}  // namespace vk2
