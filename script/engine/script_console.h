// Where the script engine and the console object write. The module connects it to the
// runtime's console; tests connect it to a recorder.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"

namespace vk2 {

class ScriptConsole {
 public:
  virtual ~ScriptConsole() = default;
  // Levels 1 (least) to 7 (error), as the runtime's console counts them.
  virtual void Write(int32_t level, const TString& text) = 0;
  virtual void SetDiskLogging(bool enabled) = 0;
};

}  // namespace vk2
