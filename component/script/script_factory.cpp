#include "component/script/script_factory.h"

#include <atomic>

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

std::atomic<ScriptInstanceCreator> gCreator{nullptr};

}  // namespace

void SetScriptInstanceCreator(ScriptInstanceCreator creator) {
  gCreator.store(creator);
}

int32_t CreateScriptInstance(const Guid& iid, MUnknown* outer, void** out) {
  if (!out) return kErrOutOfMemory;
  *out = nullptr;
  if (ScriptInstanceCreator creator = gCreator.load()) return creator(iid, outer, out);
  // Outside the script module: its class, through the runtime.
  int32_t status = RuntimeCreateInstance(kMmlModuleClass, iid, out, outer);
  return status < 0 ? status : kOk;
}

}  // namespace vk2
