// Lists that the script object enumerations fill. One place, so the container type can change
// without touching the interfaces that name it.
#pragma once

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"

namespace vk2 {

class MScriptObject;

// Each entry holds one reference, which the list's owner releases.
using ScriptObjectList = TArray<MScriptObject*>;
using ScriptNameList = TArray<TString>;

}  // namespace vk2
