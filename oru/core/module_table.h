// The module files the runtime has loaded. A module stays loaded (and attached) until the
// runtime shuts down, since objects and class objects it made may be alive anywhere.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "component/module/module_library.h"
#include "interfaces/runtime/entry_points.h"

namespace vk2::oru {

struct LoadedModule {
  std::string path;  // canonical
  ModuleLibrary library;
  MIFactoryFn factory = nullptr;
  RegisterOruFn registerOru = nullptr;
};

class ModuleTable {
 public:
  // The loaded module for `path` (canonical), loading and attaching it when needed. Null with
  // `error` set when it cannot be loaded or is not a module. May be called again from inside a
  // module's attach (same thread).
  LoadedModule* Load(const std::string& path, std::string* error);
  LoadedModule* Find(const std::string& path);
  // Detaches and unloads every module, the last loaded first.
  void UnloadAll();

 private:
  std::recursive_mutex mutex_;
  std::vector<std::unique_ptr<LoadedModule>> modules_;
};

// realpath(); empty when the file does not exist.
std::string CanonicalPath(const std::string& path);

}  // namespace vk2::oru
