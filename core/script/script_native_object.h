// The base of the free-standing core script objects (the containers, the settings objects, the
// player helper, prefs and files): an object that gathers parts (MBaseObject), the first of
// them the script object it publishes, which it names and marks as these objects are marked.
// Ids the object does not serve itself are asked of the parts, the newest first.
#pragma once

#include <cstdint>

#include "component/object/com_object.h"
#include "component/object/part_list.h"
#include "foundation/text/tstring.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/base_object.h"
#include "interfaces/script/script_object.h"

namespace vk2 {

// The version mark of every native object of the media core.
inline constexpr uint32_t kCoreScriptObjectVersion = 0x10000;

// Adds a native function to a script object; the function's user data is `data`.
bool AddScriptFunction(MScriptObject* script, const char16_t* name, const char16_t* help,
                       ScriptHandler handler, const void* data, uintptr_t tag = 0);

// Aggregates the script module's script object into `host`, with `part` added beside it when
// given, and names and marks it. The script face without a reference (the host's parts hold
// it), or null without the script module.
MScriptObject* AttachCoreScriptObject(MBaseObject* host, MUnknown* part, const TString& name,
                                      const TString& className);

template <class Derived, class... Faces>
class ScriptNativeObject
    : public ComObject<Derived, Face<MBaseObject, kIID_MBaseObject>, Faces...> {
 public:
  int32_t AttachPart(const Guid& classId, const Guid& iid) override {
    return parts_.Attach(classId, iid, this->Identity());
  }
  int32_t AddPart(MUnknown* part) override { return parts_.Add(part); }
  int32_t QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                              const void* after) override {
    return parts_.FindAfter(iid, out, addRef, after);
  }

  // The published script object (no reference: the part list holds it), or null when the
  // script module could not make one.
  MScriptObject* Script() const { return script_; }

 protected:
  ScriptNativeObject() = default;
  ~ScriptNativeObject() override { parts_.Clear(); }

  // Aggregates the script object and names it. False without the script module.
  bool AttachScriptObject(const TString& name, const TString& className) {
    script_ = AttachCoreScriptObject(this, nullptr, name, className);
    return script_ != nullptr;
  }
  bool AddFunction(const char16_t* name, const char16_t* help, ScriptHandler handler,
                   const void* data, uintptr_t tag = 0) {
    return AddScriptFunction(script_, name, help, handler, data, tag);
  }

 private:
  MUnknown* QueryMore(const Guid& iid) override { return parts_.Find(iid); }

  PartList parts_;
  MScriptObject* script_ = nullptr;
};

}  // namespace vk2
