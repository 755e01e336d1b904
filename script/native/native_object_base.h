// The small aggregating base of this module's native objects (console, math, system, timer).
// It owns its parts, chiefly an aggregated script object, and answers interfaces for them.
// The answer walks the part list from the newest part down and can resume below a given
// provider (QueryInterfaceAfter): a face list cannot express that, so the kit's PartList answers;
// the count is the kit's one base.
#pragma once

#include <cstdint>

#include "component/object/part_list.h"
#include "component/object/ref_counted.h"
#include "interfaces/runtime/base_object.h"
#include "interfaces/script/script_object.h"

namespace vk2 {

class NativeObjectBase : public MBaseObject, public RefCounted {
 public:
  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef, uint32_t reserved) override;
  uint32_t AddRef() override { return RefCounted::AddRef(); }
  uint32_t Release() override { return RefCounted::Release(); }
  int32_t AttachPart(const Guid& clsid, const Guid& iid) override;
  int32_t AddPart(MUnknown* part) override;

  // QueryInterface that continues below the part answering exactly `after`, to find the next
  // provider of the same interface.
  int32_t QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                              const void* after) override;

  // The aggregated script object (no reference; the part list holds it).
  MScriptObject* Script() const { return script_; }

 protected:
  NativeObjectBase() = default;
  ~NativeObjectBase() override;

  // Aggregates a script object and names it; false when it could not be made.
  bool AttachScriptObject(const TString& name, const TString& className, uint32_t version);
  MScriptMemberRegistry* Registry() const;

 private:
  // Inner (non-delegating) sides of the parts, one reference each.
  PartList parts_;
  MScriptObject* script_ = nullptr;
};

}  // namespace vk2
