// The audio modules' one way to the component runtime. Production code reaches the bound
// runtime; tests install a hook that serves classes from a registry of their own.
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/unknown.h"

namespace vk2 {

class AudioRuntimeHook {
 public:
  virtual int32_t CreateInstance(const Guid& classId, const Guid& iid, void** out) = 0;

 protected:
  ~AudioRuntimeHook() = default;
};

// Installs `hook` for this module (null: the runtime again); returns the one it replaces.
AudioRuntimeHook* SetAudioRuntimeHook(AudioRuntimeHook* hook);

// MCreateInstance: 0 and one reference in `*out`, else a failure and a null `*out`.
int32_t AudioCreateInstance(const Guid& classId, const Guid& iid, void** out);

template <class T>
RefPtr<T> AudioCreate(const Guid& classId, const Guid& iid) {
  void* p = nullptr;
  if (AudioCreateInstance(classId, iid, &p) != 0 || !p) return nullptr;
  return RefPtr<T>::Adopt(static_cast<T*>(p));
}

}  // namespace vk2
