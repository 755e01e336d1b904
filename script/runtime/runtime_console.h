// The runtime's console (MConsole of its service class) as the script module's output.
#pragma once

#include <memory>

#include "script/engine/script_console.h"

namespace vk2 {

// Null when the runtime is not bound or has no console.
std::shared_ptr<ScriptConsole> MakeRuntimeConsole();

}  // namespace vk2
