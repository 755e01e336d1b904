// A shared library loaded at run time, with the attach protocol of the system's modules.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"

namespace vk2 {

enum ModuleAttachMode : int32_t {
  kModuleNoAttach = 0,  // load only
  kModuleAttachIfExported = 1,
  kModuleAttachRequired = 2,  // fail unless the library exports DLLAttach and accepts
};

// LoadModule results (0 loaded).
inline constexpr int32_t kModuleNotFound = -1;  // empty path, or no such file
inline constexpr int32_t kModuleOutOfMemory = -2;
inline constexpr int32_t kModuleLoadFailed = -3;      // any other load error
inline constexpr int32_t kModuleNoAttachExport = -4;  // mode 2 without a loadable DLLAttach
inline constexpr int32_t kModuleRefused = -5;         // DLLAttach(1) answered 0; unloaded again

struct ModuleLibrary {
  void* handle = nullptr;
  int32_t attachMode = kModuleNoAttach;  // the mode the library was attached with
};

// Loads `path` (a name ending in "." gets "so") with RTLD_NOW | RTLD_LOCAL and, as `mode` asks,
// calls its DLLAttach(1).
int32_t LoadModule(ModuleLibrary* library, const TString& path, int32_t mode);
// DLLAttach(-1) when it was attached, then unloads.
void UnloadModule(ModuleLibrary* library);
void* FindModuleExport(const ModuleLibrary& library, const char* name);

// The name rule: "x." becomes "x.so"; anything else stays.
NarrowString ModuleFileName(const TString& path);

}  // namespace vk2
