// The persistent class registry, kept in the registry stand-in:
//   HKEY_CLASSES_ROOT\CLSID\{class}          "" = display name, "module" = module file
//   HKEY_CLASSES_ROOT\ORU\Categories\{cat}\{member}   "name", "module"  (registration order)
//   HKEY_CLASSES_ROOT\ORU\Modules\<module file>      "size", "mtime"   (as registered)
// Reads come from a cache of the file that follows changes made by other processes.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "foundation/util/guid.h"
#include "platform/registry/registry_file.h"

namespace vk2::oru {

struct ClassRecord {
  Guid id;
  std::string name;
  std::string module;
};

struct CategoryMember {
  Guid member;
  std::string name;
};

struct ModuleStamp {
  uint64_t size = 0;
  int64_t modifiedNs = 0;
  bool operator==(const ModuleStamp&) const = default;
};

// Everything one module file registers, written in one change of the file.
struct RegistrationBatch {
  std::string module;  // empty: changes not tied to a module file
  // True when the batch is all the module registers: its older classes not in it go.
  bool replace = true;
  std::optional<ModuleStamp> stamp;
  std::vector<ClassRecord> classes;
  struct CategoryChange {
    bool add;
    Guid category;
    Guid member;
    std::string name;
  };
  std::vector<CategoryChange> categoryChanges;
  bool Empty() const { return module.empty() && classes.empty() && categoryChanges.empty(); }
};

class ClassRegistry {
 public:
  explicit ClassRegistry(std::shared_ptr<registry::RegistryFile> file);

  std::optional<ClassRecord> FindClass(const Guid& id);
  std::vector<CategoryMember> Members(const Guid& category);
  std::optional<ModuleStamp> RegisteredStamp(const std::string& module);

  // A batch for a module replaces what that module registered before: its classes that are
  // no longer in the batch go, with their category memberships. Members already present keep
  // their place.
  bool Commit(const RegistrationBatch& batch, std::string* error);
  // Removes every class, member and stamp of the module.
  bool RemoveModule(const std::string& module, std::string* error);

  // Grows with every change seen (own or another process's).
  uint64_t Generation();

 private:
  std::shared_ptr<registry::RegistryFile> file_;
};

}  // namespace vk2::oru
