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
#include "tests/support/script_host.h"

namespace {

struct Setup : vk2::test::ScriptHost {
  Setup() { vk2::SetScriptSizeLimits(4096, 1 << 16); }
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
