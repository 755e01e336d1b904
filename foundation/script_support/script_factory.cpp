#include "foundation/script_support/script_factory.h"

#include <atomic>

#include "foundation/util/result.h"

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
  ScriptInstanceCreator creator = gCreator.load();
  if (!creator) return kErrNoInterface;
  return creator(iid, outer, out);
}

}  // namespace vk2
