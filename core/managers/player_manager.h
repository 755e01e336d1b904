// The media core's players by name. A player made here gets the core's event listener, loads
// its options from the preference section "velkora/gui/player" when it is added, and saves
// them there when it is removed. The manager also keeps the catalogue of audio modules its
// players configure, trimmed of unused instances by the notification thread's tick.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "component/object/sub_object.h"
#include "core/managers/manager_services.h"
#include "core/managers/module_catalogue.h"
#include "core/registry/named_object_registry.h"
#include "interfaces/core/core.h"

namespace vk2 {

struct PlayerManagerEnvironment {
  // A new player using `catalogue`, one reference for the caller. Null: no player can be made.
  std::function<RefPtr<MPlayer>(MPlayerModuleCatalogue* catalogue)> makePlayer;
  PreferenceMaker makePreferences;
  // The class registry the catalogue lists. Null: an empty catalogue.
  RefPtr<MClassEnumerator> classes;
  // Whose ticks trim the module instances. Null: none are trimmed.
  RefPtr<MNotificationThread> notifications;
  // Told of every player's events (the core's); held without a reference.
  MPlayerListener* coreListener = nullptr;
  // Null: the runtime's console.
  RegistryLog log;
};

class PlayerManager final : public SubObject<MPlayerManager>, private NamedObjectHooks<MPlayer> {
 public:
  PlayerManager(MUnknown* owner, PlayerManagerEnvironment environment);
  ~PlayerManager();
  PlayerManager(const PlayerManager&) = delete;
  PlayerManager& operator=(const PlayerManager&) = delete;

  int32_t AddRemoveListener(MNamedObjectListener* listener, int32_t add) override;
  int32_t AddRemove(const TString& name, int32_t add) override;
  int32_t Rename(const TString& oldName, const TString& newName) override;
  int32_t Find(const TString& name, RefPtr<MPlayer>* out) override;
  int32_t MakeTemporaryName(const TString& base, TString* out) override;
  int32_t ListNames(std::vector<TString>* out) override;
  int32_t Create(RefPtr<MPlayer>* out) override;
  int32_t SavePlayer(MPlayer* player) override;
  int32_t LoadPlayer(MPlayer* player) override;
  int32_t AddRemoveModuleListListener(MModuleListListener* listener, int32_t add) override;
  int32_t ListModules(std::vector<TString>* names) override;
  int32_t GetModuleInstance(const char16_t* module, const char16_t* key, MPreferenceStore* settings,
                            MUnknown** instance) override;

  // Saves, shuts down and lets go of every player, telling the listeners of each.
  void RemoveAll() { registry_.RemoveAll(); }
  ModuleCatalogue& Catalogue() { return *catalogue_; }

 private:
  int32_t CreateObject(RefPtr<MPlayer>* out, bool temporary) override;
  TString NameOf(MPlayer* player) override;
  void SetNameOf(MPlayer* player, const TString& name) override;
  void OnAdded(MPlayer* player) override { LoadPlayer(player); }
  void OnRemove(MPlayer* player) override { SavePlayer(player); }
  void Dispose(MPlayer* player, bool all) override;

  const PlayerManagerEnvironment environment_;
  std::unique_ptr<ModuleCatalogue> catalogue_;
  NamedObjectRegistry<MPlayer> registry_;
};

}  // namespace vk2
