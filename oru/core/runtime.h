// The runtime's state for one attach period: class registry, loaded modules, class objects,
// error tables and services. Made at the first DLLAttach(1) (or first use), torn down at the
// last DLLAttach(-1); the first user's Detach shuts modules and services down before that.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "component/object/registration_list.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/runtime/class_enumerator.h"
#include "interfaces/runtime/class_factory.h"
#include "oru/core/class_registry.h"
#include "oru/core/error_tables.h"
#include "oru/core/module_table.h"

namespace vk2::oru {

class RootObject;
class ServiceHub;
class GraphicsHub;

struct GuidLess {
  bool operator()(const Guid& a, const Guid& b) const;
};

class Runtime {
 public:
  // The exported entry points.
  static int32_t DllAttach(int32_t reason);
  static int32_t CreateInstanceEntry(const Guid* classId, const Guid* iid, void** out,
                                     MUnknown* outer);
  // Final teardown when the library goes without a last detach.
  static void DestroyAtUnload();
  // The current state; made on first use.
  static Runtime& Get();

  ErrorTables& Errors() { return *errors_; }
  ServiceHub& Services() { return *services_; }
  RootObject& Root() { return *root_; }

  int32_t CreateObject(const Guid& classId, const Guid& iid, void** out, MUnknown* outer);

  // Registrar.
  int32_t RegisterModuleFile(int32_t mode, const std::string& path);
  int32_t RegisterClass(int32_t mode, const Guid& classId, uintptr_t context,
                        const std::string& name);
  int32_t AddToCategory(int32_t mode, const Guid& category, const Guid& member,
                        const std::string& name);
  int32_t SetBatch(int32_t flag);
  int32_t AttachUser();
  int32_t DetachUser();

  // Class enumerator.
  std::optional<ClassRecord> FindClass(const Guid& classId);
  std::vector<CategoryMember> Members(const Guid& category);
  int32_t AddRemoveChangeListener(MRegistryChangeListener* listener, int32_t add);

  // The folder the runtime library lies in (canonical).
  const std::string& OwnFolder() const { return ownFolder_; }

  // Writes a line to the runtime's console.
  void Log(int32_t level, const std::string& text);

 private:
  Runtime();
  ~Runtime();

  void Shutdown();
  RefPtr<MClassFactory> ClassObject(const Guid& classId);
  void EnsureSelfRegistered();
  void NotifyIfChanged();
  int32_t CommitBatch(const RegistrationBatch& batch);

  std::unique_ptr<ErrorTables> errors_;
  std::shared_ptr<registry::RegistryFile> registryFile_;
  std::unique_ptr<ClassRegistry> classes_;
  std::unique_ptr<ModuleTable> modules_;
  std::unique_ptr<ServiceHub> services_;
  std::unique_ptr<GraphicsHub> graphics_;  // images, layered documents and fonts
  std::unique_ptr<RootObject> root_;
  std::string ownFolder_;

  std::recursive_mutex loaderMutex_;  // module loading and registration, re-entrant
  std::mutex classObjectsMutex_;
  std::map<Guid, RefPtr<MClassFactory>, GuidLess> classObjects_;

  std::mutex batchMutex_;
  std::set<RegistrationBatch*> activeBatches_;

  RegistrationList<MRegistryChangeListener*> listeners_;
  std::atomic<uint64_t> seenGeneration_{0};

  std::atomic<bool> selfRegistered_{false};
  std::atomic<int32_t> users_{0};
  std::atomic<bool> stopping_{false};
  std::atomic<bool> shutDown_{false};
};

}  // namespace vk2::oru
