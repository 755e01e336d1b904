#include "component/module/runtime_loader.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "component/module/module_library.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/entry_points.h"
#include "interfaces/runtime/registrar.h"
#include "platform/environment.h"
#include "platform/executable_path.h"
#include "platform/registry/registry_file.h"

namespace vk2 {
namespace {

std::atomic<MCreateInstanceFn> g_createInstance{nullptr};
ModuleLibrary* g_runtimeLibrary = nullptr;
bool g_firstUser = false;

bool IsBlank(const TString& s) {
  for (uint32_t i = 0; i < s.Length(); ++i) {
    char16_t c = s[i];
    if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n') return false;
  }
  return true;
}

RefPtr<MRegistrar> CreateRegistrar(MCreateInstanceFn create) {
  void* p = nullptr;
  if (create(&kRuntimeRootClass, &kIID_MRegistrar, &p, nullptr) != 0 || !p) return nullptr;
  return RefPtr<MRegistrar>::Adopt(static_cast<MRegistrar*>(p));
}

// A relative location means the current folder's, as a shell user would expect.
TString MakeAbsolute(const TString& path) {
  if (path.IsEmpty() || path[0] == u'/') return path;
  char cwd[4096];
  if (!::getcwd(cwd, sizeof cwd)) return path;
  TString full = WideFromNarrow(cwd);
  full += u"/";
  full += path;
  return full;
}

}  // namespace

TString LocateRuntimePath() {
  std::optional<std::string> env = GetEnv("ORU_SHARED_PATH");
  if (env && !env->empty()) return WideFromNarrow(env->c_str(), static_cast<int32_t>(env->size()));
  std::string value;
  if (registry::RegReadString(registry::RootKey::kClassesRoot, "ORU", "sharedpath", &value)) {
    return WideFromNarrow(value.c_str(), static_cast<int32_t>(value.size()));
  }
  return TString();
}

TString DefaultRuntimePath() {
  std::string path = ExecutableFolder() + "/../lib/velkora2/oru.";
  return WideFromNarrow(path.c_str(), static_cast<int32_t>(path.size()));
}

bool LoadRuntime() {
  if (g_createInstance.load()) return true;
  TString path = LocateRuntimePath();
  path = IsBlank(path) ? DefaultRuntimePath() : MakeAbsolute(path);
  auto* library = new ModuleLibrary;
  if (LoadModule(library, path, kModuleAttachIfExported) != 0) {
    delete library;
    return false;
  }
  auto create =
      reinterpret_cast<MCreateInstanceFn>(FindModuleExport(*library, kExportMCreateInstance));
  if (!create) {
    UnloadModule(library);
    delete library;
    return false;
  }
  g_runtimeLibrary = library;
  g_createInstance.store(create);
  g_firstUser = false;
  if (RefPtr<MRegistrar> registrar = CreateRegistrar(create)) {
    g_firstUser = registrar->Attach() == 1;
  }
  return true;
}

void UnloadRuntime() {
  MCreateInstanceFn create = g_createInstance.load();
  if (!create) return;
  if (g_firstUser) {
    if (RefPtr<MRegistrar> registrar = CreateRegistrar(create)) registrar->Detach();
    g_firstUser = false;
  }
  g_createInstance.store(nullptr);
  ModuleLibrary* library = g_runtimeLibrary;
  g_runtimeLibrary = nullptr;
  UnloadModule(library);
  delete library;
}

bool IsRuntimeBound() {
  return g_createInstance.load() != nullptr;
}
bool IsRuntimeFirstUser() {
  return g_firstUser;
}

int32_t RuntimeCreateInstance(const Guid& classId, const Guid& iid, void** out, MUnknown* outer) {
  if (out) *out = nullptr;
  MCreateInstanceFn create = g_createInstance.load();
  if (!create) return kErrFailed;
  return create(&classId, &iid, out, outer);
}

}  // namespace vk2
