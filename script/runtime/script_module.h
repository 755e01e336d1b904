// The script module's global state: the shared base objects and truth values, the engine
// singleton and the global script objects, made on first use and taken apart at shutdown.
#pragma once

#include <cstdint>
#include <memory>

#include "script/engine/run_limits.h"
#include "script/engine/script_console.h"
#include "script/engine/script_engine.h"

namespace vk2 {

class TimerObject;

struct ScriptModuleConfig {
  // Made when the engine is made; null: no console output.
  std::shared_ptr<ScriptConsole> (*makeConsole)() = nullptr;
  std::shared_ptr<ScriptConsole> console;  // used when makeConsole is null
  uint32_t uidSeed = 0;                    // 0: from the clock, so UIDs differ between runs
  bool timerWorker = true;                 // false: timers run only through RunDueTimers
  ScriptLimits limits;                     // in force from Configure on
};

class ScriptModule {
 public:
  // Takes effect at the next engine creation; the limits at once.
  static void Configure(const ScriptModuleConfig& config);
  // The engine singleton, made (with the shared objects and globals) on first request. The
  // result carries no reference.
  static ScriptEngine* Engine();
  // The engine if it exists, without making it.
  static ScriptEngine* ExistingEngine();
  static TimerObject* Timer();
  // Stops the timer thread, releases the globals, the engine and the shared objects.
  static void Shutdown();
};

}  // namespace vk2
