// What both managers take from the runtime, each replaceable by a test: preference stores and
// the console the registry writes its lines to.
#pragma once

#include <functional>

#include "core/registry/named_object_registry.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/runtime/preference_store.h"

namespace vk2 {

using PreferenceMaker = std::function<RefPtr<MPreferenceStore>()>;

// A store on `section` (made when absent), from `make` or, when it is null, from the runtime;
// null when none can be had.
RefPtr<MPreferenceStore> OpenPreferenceSection(const PreferenceMaker& make,
                                               const char16_t* section);

// Writes registry lines to the runtime's console.
RegistryLog RuntimeConsoleLog();

// A removed object is shut down when nobody but the registry holds it any more, and always
// when everything is removed at once; others who still hold it keep a working object.
template <class Object>
void ShutDownIfUnheld(Object* object, bool always) {
  // The registry's reference and this one.
  constexpr uint32_t kOnlyTheRegistry = 2;
  const uint32_t holders = object->AddRef();
  if (always || holders == kOnlyTheRegistry) object->Shutdown();
  object->Release();
}

}  // namespace vk2
