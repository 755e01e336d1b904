// The one object of the script module that runs script text.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MScriptObject;

class MScriptEngine : public MUnknown {
 public:
  // 0 on success (an empty text does nothing), -9 when the script raised an error, which is
  // then already reported on the console. `result` (may be null) receives a copy of the
  // script's value. `scope` becomes the base of the script's local frame; `owner` only names
  // the script in error reports.
  virtual int32_t Run(const TString& script, MScriptObject** result, MScriptObject* self,
                      MScriptObject* scope, MScriptObject* owner) = 0;
  // `path` null or without a dot: directly under the global root; "a.b.x" adds under a.b.
  virtual bool AddGlobal(MUnknown* object, const char16_t* path) = 0;
  virtual bool RemoveGlobal(const TString& name) = 0;
  virtual bool RegisterObject(MScriptObject* object, TString* uidText) = 0;
  virtual bool UnregisterObject(MScriptObject* object) = 0;
  virtual bool FindObject(const TString& uidText, MScriptObject** out) = 0;
  // Level 0 is written as an error (7), 1 as a warning (6), others as given.
  virtual int32_t WriteConsole(int32_t level, const TString& text) = 0;
  virtual bool IsValidName(const TString& text) = 0;

 protected:
  ~MScriptEngine() = default;
};

}  // namespace vk2
