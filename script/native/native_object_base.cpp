#include "script/native/native_object_base.h"

#include "component/module/runtime_loader.h"
#include "component/object/query.h"
#include "component/object/query_answer.h"
#include "component/script/script_factory.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "script/object/script_object.h"

namespace vk2 {

NativeObjectBase::~NativeObjectBase() {
  parts_.Clear();
}

int32_t NativeObjectBase::QueryInterface(const Guid& iid, void** out, uint32_t addRef,
                                         uint32_t /*reserved*/) {
  return QueryInterfaceAfter(iid, out, addRef, nullptr);
}

int32_t NativeObjectBase::QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                                              const void* after) {
  if (iid == kIID_MBaseObject && !after) {
    return AnswerQuery(static_cast<MBaseObject*>(this), out, addRef);
  }
  return parts_.FindAfter(iid, out, addRef, after);
}

int32_t NativeObjectBase::AttachPart(const Guid& clsid, const Guid& iid) {
  void* made = nullptr;
  int32_t status;
  auto* outer = static_cast<MBaseObject*>(this);
  if (clsid == kMmlModuleClass) {
    status = CreateScriptInstance(iid, outer, &made);  // this module's own constructors
  } else {
    status = RuntimeCreateInstance(clsid, iid, &made, outer);
  }
  if (Failed(status) || !made) return kErrFailed;
  // The creator's reference to the part's inner side passes to the part list.
  auto* part = static_cast<MUnknown*>(made);
  int32_t added = AddPart(part);
  part->Release();
  return added;
}

int32_t NativeObjectBase::AddPart(MUnknown* part) {
  if (!part) return kErrFailed;
  return parts_.Add(part);
}

bool NativeObjectBase::AttachScriptObject(const TString& name, const TString& className,
                                          uint32_t version) {
  if (Failed(AttachPart(kMmlModuleClass, kIID_MScriptObjectInner))) return false;
  // Borrowed: the part list holds the script object.
  script_ = QueryBorrowed<MScriptObject>(this, kIID_MScriptObject);
  if (!script_) return false;
  script_->SetName(name);
  script_->SetClassName(className);
  script_->SetVersion(version);
  return true;
}

MScriptMemberRegistry* NativeObjectBase::Registry() const {
  return script_ ? static_cast<MScriptMemberRegistry*>(script_->GetMemberRegistry()) : nullptr;
}

}  // namespace vk2
