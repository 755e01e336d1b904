#include "foundation/module/module_library.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "interfaces/runtime/entry_points.h"

namespace vk2 {
namespace {

int32_t CodeForFailure(const NarrowString& name, const char* dlError) {
  if (std::strchr(name.c_str(), '/')) {
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) {
      if (errno == ENOENT || errno == ENOTDIR) return kModuleNotFound;
      if (errno == ENOMEM) return kModuleOutOfMemory;
    }
  }
  if (dlError) {
    if (std::strstr(dlError, "No such file")) return kModuleNotFound;
    if (std::strstr(dlError, "Cannot allocate memory")) return kModuleOutOfMemory;
  }
  return kModuleLoadFailed;
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
