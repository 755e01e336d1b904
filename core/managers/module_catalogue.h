// The audio modules players can use, by name: every decoder, output device and stream reader
// the runtime's class registry lists, with the module instances kept per player and key.
// An instance not used for the expiry time (5 s) is let go at the next tick. The catalogue is
// rebuilt when the class registry changes, and its listeners are told after each rebuild.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "core/registry/listener_channel.h"
#include "foundation/util/guid.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/core/core.h"
#include "interfaces/core/player.h"
#include "interfaces/runtime/class_enumerator.h"

namespace vk2 {

class ModuleCatalogue final : public MPlayerModuleCatalogue,
                              public MNotificationTick,
                              public MRegistryChangeListener {
 public:
  static constexpr uint64_t kDefaultExpiryMs = 5000;

  // `classes` may be null (an empty catalogue). Builds the catalogue and follows the registry.
  explicit ModuleCatalogue(RefPtr<MClassEnumerator> classes, uint64_t expiryMs = kDefaultExpiryMs);
  ~ModuleCatalogue();
  ModuleCatalogue(const ModuleCatalogue&) = delete;
  ModuleCatalogue& operator=(const ModuleCatalogue&) = delete;

  int32_t ListModules(std::vector<TString>* names) override;
  int32_t AddRemoveListener(MModuleListListener* listener, int32_t add) override;
  int32_t GetModuleInstance(const char16_t* module, const char16_t* key, MPreferenceStore* settings,
                            MUnknown** instance) override;

  // Lets go of instances unused for the expiry time (the notification thread's tick).
  void OnTick() override;
  void OnRegistryChanged() override { Rebuild(); }
  void Rebuild();
  // Lets go of every cached instance.
  void ReleaseInstances();
  size_t CachedInstanceCount();

 private:
  struct Instance {
    TString key;
    RefPtr<MUnknown> object;
    uint64_t lastUseMs = 0;
  };
  struct Entry {
    TString name;
    Guid classId;
    Guid iid;
    std::vector<Instance> instances;
  };
  struct Rebuilt {};

  std::vector<Entry> Build();

  const RefPtr<MClassEnumerator> classes_;
  const uint64_t expiryMs_;
  std::mutex mutex_;
  std::vector<Entry> entries_;
  ListenerChannel<MModuleListListener, Rebuilt> listeners_;
};

}  // namespace vk2
