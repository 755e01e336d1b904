// The engine that runs script text: global name space, the UID table and error reports.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/script/script_engine.h"
#include "interfaces/script/script_object.h"
#include "script/engine/script_console.h"

namespace vk2 {

class ScriptObject;

// The engine is reached only as the module's own object: it answers no interface.
class ScriptEngine final : public ComObject<ScriptEngine, SilentFace<MScriptEngine>> {
 public:
  // `console` may be null (nothing is written then).
  static RefPtr<ScriptEngine> Make(std::shared_ptr<ScriptConsole> console, uint32_t uidSeed);

  int32_t Run(const TString& script, MScriptObject** result, MScriptObject* self,
              MScriptObject* scope, MScriptObject* owner) override;
  bool AddGlobal(MUnknown* object, const char16_t* path) override;
  bool RemoveGlobal(const TString& name) override;
  bool RegisterObject(MScriptObject* object, TString* uidText) override;
  bool UnregisterObject(MScriptObject* object) override;
  bool FindObject(const TString& uidText, MScriptObject** out) override;
  int32_t WriteConsole(int32_t level, const TString& text) override;
  bool IsValidName(const TString& text) override;

  MScriptObject* GlobalRoot();
  const std::shared_ptr<ScriptConsole>& Console() const { return console_; }
  // The next UID to hand out (tests seed it).
  void SetUidCounter(uint32_t next);
  // Releases every registered object; the engine's own shutdown.
  void ReleaseAllObjects();

 private:
  ScriptEngine(std::shared_ptr<ScriptConsole> console, uint32_t uidSeed);
  ~ScriptEngine() override;

  void ReportError(const TString& script, uint32_t position, const TString& message,
                   MScriptObject* owner, MScriptObject* frame);

  std::recursive_mutex uidLock_;
  std::unordered_map<uint32_t, MScriptObject*> uids_;  // one reference each
  uint32_t uidCounter_;
  std::shared_ptr<ScriptConsole> console_;
  RefPtr<ScriptObject> root_;
  RefPtr<MScriptObject> trueValue_;
  RefPtr<MScriptObject> falseValue_;
};

// The marked script text of an error report: tabs dropped, the marker before `position`, and
// each line indented by the nesting of brackets before it.
TString MarkScriptText(const TString& script, uint32_t position);

}  // namespace vk2
