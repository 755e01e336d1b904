// The script module set up in process, without the runtime, for programs that run scripts and
// ignore what they print: the benchmarks and the fuzz targets. `self` is a plain object named
// "obj", registered with the engine, for scripts to run on.
#pragma once

#include <memory>

#include "foundation/util/ref_ptr.h"
#include "script/object/script_object.h"
#include "script/runtime/script_module.h"

namespace vk2::test {

class SilentConsole final : public ScriptConsole {
 public:
  void Write(int32_t, const TString&) override {}
  void SetDiskLogging(bool) override {}
};

struct ScriptHost {
  ScriptHost() {
    ScriptModuleConfig config;
    config.console = std::make_shared<SilentConsole>();
    // Timers are never due here; a worker thread would only cost time.
    config.timerWorker = false;
    ScriptModule::Configure(config);
    engine = ScriptModule::Engine();
    self = ScriptObject::Make();
    self->SetName(u"obj");
    self->RegisterWithEngine(engine);
  }

  ScriptEngine* engine = nullptr;
  RefPtr<ScriptObject> self;
};

}  // namespace vk2::test
