// Finding, loading and binding the component runtime from a module or a program. Each
// deliverable links its own copy of this code, so the binding is per deliverable.
#pragma once

#include <cstdint>
#include <functional>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/unknown.h"

namespace vk2 {

// Where the runtime lies: $ORU_SHARED_PATH when set and not empty; otherwise the registry value
// `sharedpath` under HKEY_CLASSES_ROOT\ORU; otherwise empty.
TString LocateRuntimePath();
// The runtime beside the program: <folder of /proc/self/exe>/../lib/velkora2/oru.
TString DefaultRuntimePath();

// Loads the runtime (LocateRuntimePath, else DefaultRuntimePath), binds MCreateInstance and
// attaches to its registrar. True when bound; a second call while bound does nothing.
bool LoadRuntime();
// Detaches (when this deliverable was the runtime's first user) and unloads the runtime.
void UnloadRuntime();
bool IsRuntimeBound();
// True when this deliverable's Attach answered 1.
bool IsRuntimeFirstUser();

// MCreateInstance of the bound runtime; -1 and a null `*out` while unbound.
int32_t RuntimeCreateInstance(const Guid& classId, const Guid& iid, void** out,
                              MUnknown* outer = nullptr);

// Typed form: the object, or null.
template <class T>
RefPtr<T> CreateRuntimeObject(const Guid& classId, const Guid& iid) {
  void* p = nullptr;
  if (RuntimeCreateInstance(classId, iid, &p) != 0) return nullptr;
  return RefPtr<T>::Adopt(static_cast<T*>(p));
}

// A maker of such objects, for the service tables that hand out runtime objects on demand.
template <class T>
std::function<RefPtr<T>()> RuntimeObjectMaker(const Guid& classId, const Guid& iid) {
  return [classId, iid] { return CreateRuntimeObject<T>(classId, iid); };
}

}  // namespace vk2
