// An aggregating host: answers for itself and for the parts it aggregates, so a native object
// and its aggregated script object appear to callers as one object.
#pragma once

#include <cstdint>

#include "interfaces/unknown.h"

namespace vk2 {

class MBaseObject : public MUnknown {
 public:
  // Creates (clsid, iid) with this object as the outer object and keeps it as the last part.
  virtual int32_t AttachPart(const Guid& clsid, const Guid& iid) = 0;
  // Keeps an inner interface (slots 3 to 5: find interface, inner AddRef, inner Release) as
  // the last part, with an inner reference.
  virtual int32_t AddPart(MUnknown* part) = 0;

 protected:
  ~MBaseObject() = default;
};

}  // namespace vk2
