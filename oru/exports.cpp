// The runtime library's only exports.
#include "interfaces/runtime/entry_points.h"
#include "oru/core/runtime.h"

namespace {

// Tears the state down when the library goes without a last detach (process exit).
struct UnloadGuard {
  ~UnloadGuard() { vk2::oru::Runtime::DestroyAtUnload(); }
} g_unloadGuard;

}  // namespace

extern "C" __attribute__((visibility("default"))) int32_t MCreateInstance(const vk2::Guid* classId,
                                                                          const vk2::Guid* iid,
                                                                          void** out,
                                                                          vk2::MUnknown* outer) {
  return vk2::oru::Runtime::CreateInstanceEntry(classId, iid, out, outer);
}

extern "C" __attribute__((visibility("default"))) int32_t DLLAttach(int32_t reason) {
  return vk2::oru::Runtime::DllAttach(reason);
}
