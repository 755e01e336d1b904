// The global "console" object: scripts write to the runtime's console through it.
#pragma once

#include <memory>

#include "foundation/util/ref_ptr.h"
#include "script/engine/script_console.h"
#include "script/native/native_object_base.h"

namespace vk2 {

class ConsoleObject final : public NativeObjectBase {
 public:
  // Null when the script object could not be aggregated.
  static RefPtr<ConsoleObject> Make(std::shared_ptr<ScriptConsole> console);

 private:
  explicit ConsoleObject(std::shared_ptr<ScriptConsole> console) : console_(std::move(console)) {}
  static int32_t Write(HandlerCall& call);
  static int32_t EnableDiskLogging(HandlerCall& call);

  std::shared_ptr<ScriptConsole> console_;
};

// The global "math" object: Truncate, Power and Log.
class MathObject final : public NativeObjectBase {
 public:
  static RefPtr<MathObject> Make();

 private:
  MathObject() = default;
  static int32_t Truncate(HandlerCall& call);
  static int32_t Power(HandlerCall& call);
  static int32_t Log(HandlerCall& call);
};

}  // namespace vk2
