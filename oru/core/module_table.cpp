#include "oru/core/module_table.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>

#include "oru/core/text_util.h"

namespace vk2::oru {

std::string CanonicalPath(const std::string& path) {
  char buffer[PATH_MAX];
  if (!::realpath(path.c_str(), buffer)) return {};
  return buffer;
}

LoadedModule* ModuleTable::Find(const std::string& path) {
  std::lock_guard lock(mutex_);
  for (const auto& m : modules_) {
    if (m->path == path) return m.get();
  }
  return nullptr;
}

LoadedModule* ModuleTable::Load(const std::string& path, std::string* error) {
  std::lock_guard lock(mutex_);
  if (LoadedModule* found = Find(path)) return found;
  auto module = std::make_unique<LoadedModule>();
  module->path = path;
  int32_t r = LoadModule(&module->library, ToWide(path), kModuleAttachIfExported);
  if (r != 0) {
    if (error) {
      *error = "cannot load " + path + " (code " + std::to_string(r) + ")";
      if (const char* why = dlerror()) *error += std::string(": ") + why;
    }
    return nullptr;
  }
  module->factory =
      reinterpret_cast<MIFactoryFn>(FindModuleExport(module->library, kExportMIFactory));
  module->registerOru =
      reinterpret_cast<RegisterOruFn>(FindModuleExport(module->library, kExportRegisterOru));
  if (!module->factory || !module->registerOru) {
    // Not one of ours: nothing of it was used, so it can go at once.
    if (error) *error = path + " is not a module (no MIFactory or RegisterORU)";
    UnloadModule(&module->library);
    return nullptr;
  }
  // Loading may have loaded this same file again through a nested call.
  if (LoadedModule* found = Find(path)) {
    UnloadModule(&module->library);
    return found;
  }
  modules_.push_back(std::move(module));
  return modules_.back().get();
}

void ModuleTable::UnloadAll() {
  for (;;) {
    std::unique_ptr<LoadedModule> last;
    {
      std::lock_guard lock(mutex_);
      if (modules_.empty()) return;
      last = std::move(modules_.back());
      modules_.pop_back();
    }
    UnloadModule(&last->library);
  }
}

}  // namespace vk2::oru
