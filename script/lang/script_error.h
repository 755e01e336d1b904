// A script error: raised anywhere while a script runs, caught by the Run that started it.
// An empty message means the error was already reported by a nested run.
#pragma once

#include "foundation/text/tstring.h"

namespace vk2 {

struct ScriptError {
  TString message;
};

[[noreturn]] inline void RaiseScriptError(TString message) {
  throw ScriptError{std::move(message)};
}

}  // namespace vk2
