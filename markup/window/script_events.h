// Running a window's event scripts: the named member of its script object, called with the
// window's script object as caller and the event's values in "params".
#pragma once

#include <initializer_list>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/script/script_engine.h"
#include "interfaces/script/script_object.h"

namespace vk2::markup {

// The module's script engine (made on first use), or null.
MScriptEngine* MarkupScriptEngine();
// A new empty data item, or null.
RefPtr<MScriptObject> NewScriptItem();
// A scope holding a data item "params" with `values` as unnamed array members.
RefPtr<MScriptObject> MakeEventParams(std::initializer_list<TString> values);
struct EventMember {
  const char16_t* name;
  TString value;
};
// A scope holding "params" with one array member that carries `members` by name, or null.
RefPtr<MScriptObject> MakeRecordParams(std::initializer_list<EventMember> members);
// "params" holding one array with the members "x" and "y".
RefPtr<MScriptObject> MakePointParams(int32_t x, int32_t y);
// False when the script object has no member of that name or the call fails.
bool FireScriptEvent(MScriptObject* script, const char16_t* name, MScriptObject* params = nullptr);

}  // namespace vk2::markup
