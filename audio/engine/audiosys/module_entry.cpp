// vk2_audiosys: the audio system's module entry points. The class object of the audio system
// class is the audio system itself, so every module that asks the runtime for it reaches the
// same system and the same packet pool (the runtime keeps one class object per class id).
#include "audio/engine/audiosys/audio_system.h"
#include "component/module/module_glue.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/class_factory.h"

namespace vk2 {
namespace {

// Objects are made through the class object MIFactory hands out, never through this.
int32_t CreateThroughClassObject(const Guid&, void** out, MUnknown*) {
  if (out) *out = nullptr;
  return kErrNoInterface;
}

const ModuleClass kClasses[] = {
    {kAudioSystemClass, u"velkora audio system", &CreateThroughClassObject},
};
const ModuleDefinition kModule{kClasses};

}  // namespace
}  // namespace vk2

extern "C" __attribute__((visibility("default"))) int32_t DLLAttach(int32_t reason) {
  return ::vk2::ModuleDllAttach(vk2::kModule, reason);
}

extern "C" __attribute__((visibility("default"))) int32_t MIFactory(const ::vk2::Guid* classId,
                                                                    void** out) {
  if (!out) return vk2::kErrMissingArg;
  *out = nullptr;
  if (!classId || !(*classId == vk2::kAudioSystemClass)) return vk2::kErrNoInterface;
  vk2::AudioSystem* system = vk2::AudioSystem::Create();
  if (!system) return vk2::kErrOutOfMemory;
  *out = static_cast<vk2::MClassFactory*>(system);
  return 0;
}

extern "C" __attribute__((visibility("default"))) int32_t RegisterORU(int32_t mode,
                                                                      ::vk2::MRegistrar* registrar,
                                                                      uintptr_t context) {
  return ::vk2::ModuleRegisterOru(vk2::kModule, mode, registrar, context);
}
