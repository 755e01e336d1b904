// Small helpers every module's native script functions use on values and call records.
#pragma once

#include "foundation/text/tstring.h"
#include "interfaces/script/handler_call.h"
#include "interfaces/script/script_data_entity.h"
#include "interfaces/script/script_engine.h"
#include "interfaces/script/script_object.h"

namespace vk2 {

// Writes "name: message\n" as an error through the engine's console (nothing without one).
void ReportScriptError(MScriptEngine* engine, const TString& name, const TString& message);
// The same under the called function's name, to the call's engine.
void ReportScriptError(HandlerCall& call, const TString& message);

// The data side of a script value, or null when it is not a data item. No reference added.
ScriptDataEntity* AsDataEntity(MScriptObject* object);

// Appends a new member with that text and name (empty: unnamed); false when none was made.
bool AddArrayMember(MScriptObject* item, const TString& value, const TString& name);

// Puts `item` in the call's result slot with a reference, releasing what was there.
void SetCallResult(HandlerCall& call, MScriptObject* item);

}  // namespace vk2
