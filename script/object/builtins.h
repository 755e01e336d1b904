// The built-in functions every script object answers (registered on "ScriptObject base") and
// those every data item answers as well (on "ScriptDataEntity base").
#pragma once

#include "interfaces/script/script_object.h"

namespace vk2 {

void AddObjectBuiltins(MScriptMemberRegistry* base);
void AddDataBuiltins(MScriptMemberRegistry* base);

}  // namespace vk2
