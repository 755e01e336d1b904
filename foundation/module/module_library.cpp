#include "foundation/module/module_library.h"

#include <dlfcn.h>

#include <cstring>

#include "interfaces/runtime/entry_points.h"
#include "platform/dynamic_library.h"

namespace vk2 {
namespace {

// The system's reason in the module loader's numbers.
int32_t CodeForFailure(const NarrowString& name, const char* dlError) {
  switch (LoadErrorCodeFor(name.c_str(), dlError ? dlError : "")) {
    case kLoadErrorFileNotFound:
      return kModuleNotFound;
    case kLoadErrorOutOfMemory:
      return kModuleOutOfMemory;
    default:
      return kModuleLoadFailed;
  }
}

}  // namespace

NarrowString ModuleFileName(const TString& path) {
  NarrowString name = NarrowFromWide(path.c_str(), static_cast<int32_t>(path.Length()));
  if (name.Length() > 0 && name[name.Length() - 1] == '.') name += "so";
  return name;
}

int32_t LoadModule(ModuleLibrary* library, const TString& path, int32_t mode) {
  if (!library || path.IsEmpty()) return kModuleNotFound;
  NarrowString name = ModuleFileName(path);
  // dlopen here rather than through the platform's loader: that one keeps its last error in a
  // thread_local string, and a thread_local with a destructor pins every library that touches
  // it until its thread ends, so neither the runtime nor a module could ever be unloaded.
  dlerror();
  void* handle = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  library->handle = handle;
  library->attachMode = kModuleNoAttach;
  if (!handle) {
    const char* dlError = dlerror();
    return mode == kModuleAttachRequired ? kModuleNoAttachExport : CodeForFailure(name, dlError);
  }
  if (mode == kModuleAttachIfExported || mode == kModuleAttachRequired) {
    auto attach = reinterpret_cast<DllAttachFn>(::dlsym(handle, kExportDllAttach));
    if (!attach && mode == kModuleAttachRequired) {
      ::dlclose(handle);
      library->handle = nullptr;
      return kModuleNoAttachExport;
    }
    if (attach && attach(kAttachReason) == 0) {
      ::dlclose(handle);
      library->handle = nullptr;
      return kModuleRefused;
    }
    library->attachMode = mode;
  }
  return 0;
}

void UnloadModule(ModuleLibrary* library) {
  if (!library || !library->handle) return;
  if (library->attachMode == kModuleAttachIfExported ||
      library->attachMode == kModuleAttachRequired) {
    auto attach = reinterpret_cast<DllAttachFn>(::dlsym(library->handle, kExportDllAttach));
    if (attach) attach(kDetachReason);
    library->attachMode = kModuleNoAttach;
  }
  ::dlclose(library->handle);
  library->handle = nullptr;
}

void* FindModuleExport(const ModuleLibrary& library, const char* name) {
  return library.handle ? ::dlsym(library.handle, name) : nullptr;
}

}  // namespace vk2
