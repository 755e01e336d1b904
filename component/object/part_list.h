// The parts an object gathers through MBaseObject (AttachPart, AddPart) and the answers they
// give: an id the object does not serve itself is asked of its parts, the part added last
// first, and a search can resume below a given provider to find the next one.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "foundation/util/ref_ptr.h"
#include "interfaces/unknown.h"

namespace vk2 {

class PartList {
 public:
  PartList() = default;
  PartList(const PartList&) = delete;
  PartList& operator=(const PartList&) = delete;

  // Creates `classId` through the runtime as a part whose outer object is `outer`; the part
  // must answer `iid`.
  int32_t Attach(const Guid& classId, const Guid& iid, MUnknown* outer);
  // Keeps a reference to `part`.
  int32_t Add(MUnknown* part);
  // The answer of the newest part that serves `iid` (no reference added), or null.
  MUnknown* Find(const Guid& iid);
  // MBaseObject's QueryInterfaceAfter: the next provider of `iid` below the part that answers
  // it with `after` (null: from the newest part).
  int32_t FindAfter(const Guid& iid, void** out, uint32_t addRef, const void* after);
  // Lets go of every part, the newest first, with no lock held.
  void Clear();

 private:
  std::vector<RefPtr<MUnknown>> Snapshot();

  std::mutex mutex_;
  std::vector<RefPtr<MUnknown>> parts_;
};

}  // namespace vk2
