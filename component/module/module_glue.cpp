#include "component/module/module_glue.h"

#include <atomic>
#include <new>

#include "component/module/class_factory_object.h"
#include "component/module/runtime_loader.h"
#include "component/module/thread_value_list.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/entry_points.h"
#include "interfaces/runtime/error_registry.h"
#include "interfaces/runtime/registrar.h"

namespace vk2 {
namespace {

std::atomic<int32_t> g_attachCount{0};
MUnknown* g_imageService = nullptr;
MErrorRegistry* g_errorRegistry = nullptr;
ThreadValueList g_threadValues[kModuleThreadValueLists];

template <class T>
void ReleaseGlobal(T*& p) {
  if (T* held = p) {
    p = nullptr;
    held->Release();
  }
}

// Work of the first attach; false leaves nothing bound.
bool BindModule(const ModuleDefinition& module) {
  if (!LoadRuntime()) return false;
  void* p = nullptr;
  // Headless processes have no image service; modules that need one check for null.
  if (RuntimeCreateInstance(kImageServiceClass, kIID_MImageService, &p) == 0) {
    g_imageService = static_cast<MUnknown*>(p);
  }
  p = nullptr;
  if (RuntimeCreateInstance(kRuntimeRootClass, kIID_MErrorRegistry, &p) == 0) {
    g_errorRegistry = static_cast<MErrorRegistry*>(p);
  }
  if (module.onFirstAttach && !module.onFirstAttach()) {
    ReleaseGlobal(g_imageService);
    ReleaseGlobal(g_errorRegistry);
    UnloadRuntime();
    return false;
  }
  return true;
}

void UnbindModule(const ModuleDefinition& module) {
  ReleaseGlobal(g_imageService);
  if (module.onLastDetach) module.onLastDetach();
  ReleaseGlobal(g_errorRegistry);
  for (ThreadValueList& list : g_threadValues)
    list.ReleaseAll();
  UnloadRuntime();
}

}  // namespace

int32_t ModuleDllAttach(const ModuleDefinition& module, int32_t reason) {
  if (reason == kAttachReason) {
    if (g_attachCount.fetch_add(1) + 1 != 1) return 1;
    if (!BindModule(module)) {
      // Lowered again so that a later attach retries the binding.
      g_attachCount.fetch_sub(1);
      return 0;
    }
    return 1;
  }
  if (reason == kDetachReason) {
    int32_t count = g_attachCount.load();
    // A detach without an attach changes nothing.
    do {
      if (count <= 0) return 1;
    } while (!g_attachCount.compare_exchange_weak(count, count - 1));
    if (count - 1 == 0) UnbindModule(module);
    return 1;
  }
  return 1;
}

int32_t ModuleMIFactory(const ModuleDefinition& module, const Guid* classId, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (!classId) return kErrNoInterface;
  for (const ModuleClass& c : module.classes) {
    if (!GuidEquals(c.classId, *classId)) continue;
    // Registered by name only: the class has no class object here.
    if (!c.create) return kErrNoInterface;
    auto* factory = new (std::nothrow) ClassFactoryObject(c.create);
    if (!factory) return kErrOutOfMemory;
    factory->AddRef();
    *out = static_cast<MClassFactory*>(factory);
    return 0;
  }
  return kErrNoInterface;
}

int32_t ModuleRegisterOru(const ModuleDefinition& module, int32_t mode, MRegistrar* registrar,
                          uintptr_t context) {
  if (!registrar) return kErrFailed;
  for (const ModuleClass& c : module.classes) {
    if (registrar->RegisterClass(mode, c.classId, context, c.name) < 0) return kErrFailed;
  }
  if (module.categoryMembers.empty()) return 0;
  registrar->SetBatch(0);
  int32_t result = 0;
  for (const ModuleCategoryMember& m : module.categoryMembers) {
    if (registrar->AddToCategory(mode, m.category, m.member, m.name) < 0) {
      result = kErrFailed;
      break;
    }
  }
  registrar->SetBatch(1);
  return result;
}

int32_t ModuleAttachCount() {
  return g_attachCount.load();
}
MErrorRegistry* ModuleErrorRegistry() {
  return g_errorRegistry;
}
MUnknown* ModuleImageService() {
  return g_imageService;
}

ThreadValueList& ModuleThreadValues(uint32_t which) {
  return g_threadValues[which < kModuleThreadValueLists ? which : 0];
}

}  // namespace vk2
