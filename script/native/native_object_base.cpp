#include "script/native/native_object_base.h"

#include "component/module/runtime_loader.h"
#include "component/object/query_answer.h"
#include "component/script/script_factory.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "script/object/script_object.h"

namespace vk2 {
namespace {

// A part's answer for `iid`, without a reference.
void* Answer(MUnknown* part, const Guid& iid) {
  void* p = nullptr;
  return Failed(part->QueryInterface(iid, &p, 0, 0)) ? nullptr : p;
}

}  // namespace

NativeObjectBase::~NativeObjectBase() {
  std::vector<MUnknown*> parts;
  parts.swap(parts_);
  for (auto it = parts.rbegin(); it != parts.rend(); ++it)
    (*it)->Release();
}

int32_t NativeObjectBase::QueryInterface(const Guid& iid, void** out, uint32_t addRef,
                                         uint32_t /*reserved*/) {
  return QueryInterfaceAfter(iid, out, addRef, nullptr);
}

int32_t NativeObjectBase::QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                                              const void* after) {
  if (!out) return AnswerQuery(nullptr, out, addRef);
  MUnknown* found = nullptr;
  if (iid == kIID_MBaseObject && !after) {
    found = static_cast<MBaseObject*>(this);
  } else {
    size_t i = parts_.size();
    if (after) {
      while (i > 0 && Answer(parts_[i - 1], iid) != after)
        --i;
      // A provider that is not among the parts has nothing below it.
      if (i > 0) --i;  // continue with the parts before the one that answered `after`
    }
    while (i > 0 && !found)
      found = static_cast<MUnknown*>(Answer(parts_[--i], iid));
  }
  return AnswerQuery(found, out, addRef);
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
  part->AddRef();
  parts_.push_back(part);
  return kOk;
}

bool NativeObjectBase::AttachScriptObject(const TString& name, const TString& className,
                                          uint32_t version) {
  if (Failed(AttachPart(kMmlModuleClass, kIID_MScriptObjectInner))) return false;
  void* found = nullptr;
  if (Failed(QueryInterface(kIID_MScriptObject, &found, 0, 0)) || !found) return false;
  script_ = static_cast<MScriptObject*>(found);
  script_->SetName(name);
  script_->SetClassName(className);
  script_->SetVersion(version);
  return true;
}

MScriptMemberRegistry* NativeObjectBase::Registry() const {
  return script_ ? static_cast<MScriptMemberRegistry*>(script_->GetMemberRegistry()) : nullptr;
}

}  // namespace vk2
