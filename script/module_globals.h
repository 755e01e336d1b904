// What every script object of this module reaches without being handed it: the module's engine
// and the two shared base objects. Set up and torn down by ScriptModule.
#pragma once

#include "interfaces/script/script_engine.h"
#include "interfaces/script/script_object.h"

namespace vk2 {

// Null before the module's engine is made and after it is released.
MScriptEngine* ModuleEngine();
// "ScriptObject base" and "ScriptDataEntity base": the base object of every new script object
// and data item. Null while the module is not set up.
MScriptObject* SharedObjectBase();
MScriptObject* SharedDataBase();
// The two values every comparison and logical operator answers ("1" and "0"), read-only.
MScriptObject* SharedTrueValue();
MScriptObject* SharedFalseValue();

}  // namespace vk2
