// What every module exports, built from the module's own class table:
//
//   namespace {
//   int32_t CreateWidget(const vk2::Guid& iid, void** out, vk2::MUnknown* outer);
//   const vk2::ModuleClass kClasses[] = {{kWidgetClass, u"Widget", &CreateWidget}};
//   const vk2::ModuleCategoryMember kMembers[] = {{kCategoryWidgets, kWidgetClass, u"Widget"}};
//   const vk2::ModuleDefinition kModule{kClasses, kMembers};
//   }  // namespace
//   VK2_MODULE_ENTRY_POINTS(kModule)
//
// The macro defines `DLLAttach`, `MIFactory` and `RegisterORU` with C linkage in the module's
// own object file: with everything else hidden and the static libraries' symbols excluded,
// these three are the module's only exports.
#pragma once

#include <cstdint>
#include <span>

#include "foundation/util/guid.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MRegistrar;
class MErrorRegistry;
class ThreadValueList;

// Makes a new object of the class. With `outer` the object is made as its part and `*out`
// receives the inner unknown. Leaves `*out` null on failure.
using ModuleCreateFn = int32_t (*)(const Guid& iid, void** out, MUnknown* outer);

struct ModuleClass {
  Guid classId;
  const char16_t* name;   // registered display name, or null
  ModuleCreateFn create;  // null: registered, but MIFactory makes no class object for it
};

struct ModuleCategoryMember {
  Guid category;
  Guid member;
  const char16_t* name;
};

struct ModuleDefinition {
  std::span<const ModuleClass> classes;
  std::span<const ModuleCategoryMember> categoryMembers = {};
  // Runs after the runtime is bound at the first attach; false refuses the attach.
  bool (*onFirstAttach)() = nullptr;
  // Runs at the last detach, before the runtime is let go: the module releases its
  // module-wide objects here and must have joined every thread that runs its code.
  void (*onLastDetach)() = nullptr;
};

int32_t ModuleDllAttach(const ModuleDefinition& module, int32_t reason);
int32_t ModuleMIFactory(const ModuleDefinition& module, const Guid* classId, void** out);
int32_t ModuleRegisterOru(const ModuleDefinition& module, int32_t mode, MRegistrar* registrar,
                          uintptr_t context);

// The module's attach count (for diagnostics and tests).
int32_t ModuleAttachCount();
// The runtime's error registry, held from the first attach to the last detach (null outside).
MErrorRegistry* ModuleErrorRegistry();
// The runtime's image service, when the runtime offers one.
MUnknown* ModuleImageService();
// The module's per-thread value lists (0 to kModuleThreadValueLists - 1); the last detach
// releases their values.
inline constexpr uint32_t kModuleThreadValueLists = 3;
ThreadValueList& ModuleThreadValues(uint32_t which);

}  // namespace vk2

#define VK2_MODULE_ENTRY_POINTS(definition)                                                       \
  extern "C" __attribute__((visibility("default"))) int32_t DLLAttach(int32_t reason) {           \
    return ::vk2::ModuleDllAttach(definition, reason);                                            \
  }                                                                                               \
  extern "C" __attribute__((visibility("default"))) int32_t MIFactory(const ::vk2::Guid* classId, \
                                                                      void** out) {               \
    return ::vk2::ModuleMIFactory(definition, classId, out);                                      \
  }                                                                                               \
  extern "C" __attribute__((visibility("default"))) int32_t RegisterORU(                          \
      int32_t mode, ::vk2::MRegistrar* registrar, uintptr_t context) {                            \
    return ::vk2::ModuleRegisterOru(definition, mode, registrar, context);                        \
  }
