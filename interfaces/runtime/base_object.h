// A blank object that gathers parts: its QueryInterface asks the parts, the last attached first.
// Objects that want to be extended by parts aggregate one and pass unknown ids down to it.
#pragma once

#include <cstdint>

#include "interfaces/unknown.h"

namespace vk2 {

class MBaseObject : public MUnknown {
 public:
  // Creates `classId` as a part of this object (its outer is the controlling object) and adds
  // it; the part must answer `iid`.
  virtual int32_t AttachPart(const Guid& classId, const Guid& iid) = 0;
  // Adds an object as a part; the base object keeps a reference to it.
  virtual int32_t AddPart(MUnknown* part) = 0;
  // Like QueryInterface, but the search starts below the part that answers `iid` with `after`:
  // it finds the next provider of the same interface. -15 when `after` is no part's answer.
  virtual int32_t QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                                      const void* after) = 0;

 protected:
  ~MBaseObject() = default;
};

}  // namespace vk2
