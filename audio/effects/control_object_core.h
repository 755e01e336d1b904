// What both effect control objects share: the aggregated script object and the parts around
// it, the preference subsection they keep their settings in, the native listeners and the
// scripts bound to their changes, and the script functions that register those scripts.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "component/object/part_list.h"
#include "component/script/script_binding_table.h"
#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/effect_controls.h"
#include "interfaces/runtime/base_object.h"
#include "interfaces/runtime/preference_store.h"
#include "interfaces/script/handler_call.h"
#include "interfaces/script/script_object.h"

namespace vk2 {

// What script handlers answer besides 0: arguments that do not fit (the script layer then
// reports the usual message) and a failure the handler has reported itself.
inline constexpr int32_t kScriptBadArguments = -3;
inline constexpr int32_t kScriptReportedFailure = -4;

class ControlObjectCore {
 public:
  ControlObjectCore() = default;
  ControlObjectCore(const ControlObjectCore&) = delete;
  ControlObjectCore& operator=(const ControlObjectCore&) = delete;
  ~ControlObjectCore();

  PartList& Parts() { return parts_; }

  // Aggregates a new script object into `outer` and names it; false when none could be made.
  bool AttachScript(MBaseObject* outer, const TString& name, const TString& className);
  MScriptObject* Script() const { return script_; }
  void AddFunction(const char16_t* name, const char16_t* help, ScriptHandler handler,
                   uintptr_t data, uintptr_t tag = 0);
  // RegisterChangeCallback and UnregisterChangeCallback, with `help` texts of the object's own.
  void AddChangeCallbackFunctions(const char16_t* registerHelp, const char16_t* unregisterHelp);

  // A store on the subsection `name` of `section` (made when missing), or null.
  static RefPtr<MPreferenceStore> OpenSubsection(MPreferenceStore* section, const char16_t* name);

  // The script object becomes a child of `parent` (an MScriptObject) and is registered with the
  // engine: 0, or -1 when the parent did not take it.
  int32_t AttachTo(uintptr_t parent);
  void UnregisterFromEngine();

  // -6 / -5 as MControlObjectPeer's RegisterCallback.
  int32_t UpdateCallback(MEffectChangeCallback* callback, bool add);
  // Native listeners in registration order, then the change scripts with `argument` (may be
  // null). Called with no lock of the object held.
  void Notify(MScriptObject* argument);

  // The text of an error code from the runtime's error registry, or "unknown error".
  static TString ErrorText(int32_t code);

 private:
  static int32_t RegisterChangeCallbackHandler(HandlerCall& call);
  static int32_t UnregisterChangeCallbackHandler(HandlerCall& call);

  PartList parts_;
  MScriptObject* script_ = nullptr;  // no reference: the part list holds the part
  ScriptBindingTable bindings_;
  std::mutex callbacksMutex_;
  std::vector<MEffectChangeCallback*> callbacks_;
};

// Shared helpers of the handlers.
void SetTextResult(HandlerCall& call, const TString& text);
// True when the call carries arguments (a function that takes none then answers -3).
bool HasArguments(const HandlerCall& call);
// "%g", as the values are shown to scripts.
TString ValueText(double value);

}  // namespace vk2
