#include "component/module/module_library.h"

#include "interfaces/runtime/entry_points.h"
#include "platform/dynamic_library.h"

namespace vk2 {
namespace {

// The system's reason in the module loader's numbers.
int32_t CodeForFailure() {
  switch (LastLoadError().code) {
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
  void* handle = LoadSharedObject(name.c_str());
  library->handle = handle;
  library->attachMode = kModuleNoAttach;
  if (!handle) {
    return mode == kModuleAttachRequired ? kModuleNoAttachExport : CodeForFailure();
  }
  if (mode == kModuleAttachIfExported || mode == kModuleAttachRequired) {
    auto attach = reinterpret_cast<DllAttachFn>(FindSymbol(handle, kExportDllAttach));
    if (!attach && mode == kModuleAttachRequired) {
      UnloadSharedObject(handle);
      library->handle = nullptr;
      return kModuleNoAttachExport;
    }
    if (attach && attach(kAttachReason) == 0) {
      UnloadSharedObject(handle);
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
    auto attach = reinterpret_cast<DllAttachFn>(FindSymbol(library->handle, kExportDllAttach));
    if (attach) attach(kDetachReason);
    library->attachMode = kModuleNoAttach;
  }
  UnloadSharedObject(library->handle);
  library->handle = nullptr;
}

void* FindModuleExport(const ModuleLibrary& library, const char* name) {
  return library.handle ? FindSymbol(library.handle, name) : nullptr;
}

}  // namespace vk2
