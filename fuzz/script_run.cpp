// The whole interpreter on arbitrary script text. Each input runs with a budget of loop passes
// and calls and small value limits, so no input can run or grow without end; every run must
// end in success or a reported error.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "foundation/text/tstring.h"
#include "script/engine/run_limits.h"
#include "script/object/script_object.h"
#include "script/runtime/script_module.h"

namespace {

class NullConsole final : public vk2::ScriptConsole {
 public:
  void Write(int32_t, const vk2::TString&) override {}
  void SetDiskLogging(bool) override {}
};

struct Setup {
  Setup() {
    vk2::ScriptModuleConfig config;
    config.console = std::make_shared<NullConsole>();
    config.timerWorker = false;
    vk2::ScriptModule::Configure(config);
    engine = vk2::ScriptModule::Engine();
    self = vk2::ScriptObject::Make();
    self->SetName(u"obj");
    self->RegisterWithEngine(engine);
    vk2::SetScriptSizeLimits(4096, 1 << 16);
  }
  vk2::ScriptEngine* engine;
  vk2::RefPtr<vk2::ScriptObject> self;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Setup* setup = new Setup();
  vk2::TString script = vk2::Utf16(std::string_view(reinterpret_cast<const char*>(data), size));
  vk2::SetScriptStepLimit(5000);
  vk2::RefPtr<vk2::MScriptObject> result;
  int32_t status = setup->engine->Run(script, result.Put(), setup->self.Get(), nullptr, nullptr);
  if (status != 0 && status != -9) abort();
  if (status == 0 && !result && !script.IsEmpty()) abort();
  // Members the script left on the object would pile up across inputs.
  setup->self->RemoveAllChildren();
  return 0;
}
