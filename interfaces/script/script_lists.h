// Lists that the script object enumerations fill. One place, so the container type can change
// without touching the interfaces that name it.
#pragma once

#include <vector>

#include "foundation/text/tstring.h"

namespace vk2 {

class MScriptObject;

// Each entry holds one reference, which the list's owner releases.
using ScriptObjectList = std::vector<MScriptObject*>;
using ScriptNameList = std::vector<TString>;

}  // namespace vk2
