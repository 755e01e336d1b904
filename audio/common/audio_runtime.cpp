#include "audio/common/audio_runtime.h"

#include <atomic>

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"

namespace vk2 {
namespace {
std::atomic<AudioRuntimeHook*> g_hook{nullptr};
}  // namespace

AudioRuntimeHook* SetAudioRuntimeHook(AudioRuntimeHook* hook) {
  return g_hook.exchange(hook);
}

int32_t AudioCreateInstance(const Guid& classId, const Guid& iid, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (AudioRuntimeHook* hook = g_hook.load(std::memory_order_acquire)) {
    const int32_t r = hook->CreateInstance(classId, iid, out);
    if (r != 0) *out = nullptr;
    return r;
  }
  return RuntimeCreateInstance(classId, iid, out);
}

}  // namespace vk2
