// The blank base object of the runtime root class: it gathers parts and answers their
// interfaces, the part attached last first.
#pragma once

#include "component/object/aggregation.h"
#include "component/object/part_list.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/base_object.h"

namespace vk2::oru {

class BaseObject final : public Aggregatable<BaseObject, Face<MBaseObject, kIID_MBaseObject>> {
 public:
  // Hands out MBaseObject, or the inner unknown when made as a part of `outer`.
  static int32_t Create(MUnknown* outer, void** out);

  int32_t AttachPart(const Guid& classId, const Guid& iid) override;
  int32_t AddPart(MUnknown* part) override;
  int32_t QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                              const void* after) override;

 protected:
  // The parts' interfaces, the latest part first.
  MUnknown* QueryMore(const Guid& iid) override { return parts_.Find(iid); }

 private:
  explicit BaseObject(MUnknown* outer) : Aggregatable(outer) {}
  ~BaseObject() override = default;

  PartList parts_;
};

}  // namespace vk2::oru
