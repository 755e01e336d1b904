// The media core's playlists by name, and the idle-scan settings every playlist it makes gets.
// The settings are read from the preference section "Velkora/PlaylistServer" when the manager
// is made and written back when it goes.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>

#include "component/object/sub_object.h"
#include "core/managers/manager_services.h"
#include "core/registry/named_object_registry.h"
#include "interfaces/core/core.h"

namespace vk2 {

struct PlaylistManagerEnvironment {
  // A new playlist, one reference for the caller. Null: no playlist can be made.
  std::function<RefPtr<MPlaylist>()> makePlaylist;
  PreferenceMaker makePreferences;
  // Null: the runtime's console.
  RegistryLog log;
};

class PlaylistManager final : public SubObject<MPlaylistManager>,
                              private NamedObjectHooks<MPlaylist> {
 public:
  PlaylistManager(MUnknown* owner, PlaylistManagerEnvironment environment);
  ~PlaylistManager();
  PlaylistManager(const PlaylistManager&) = delete;
  PlaylistManager& operator=(const PlaylistManager&) = delete;

  int32_t AddRemoveListener(MNamedObjectListener* listener, int32_t add) override;
  int32_t AddRemove(const TString& name, int32_t add) override;
  int32_t Rename(const TString& oldName, const TString& newName) override;
  int32_t Find(const TString& name, RefPtr<MPlaylist>* out) override;
  int32_t MakeTemporaryName(const TString& base, TString* out) override;
  int32_t ListNames(std::vector<TString>* out) override;
  int32_t SetIdleScan(IdleScanMode mode, uint8_t startImmediately) override;
  int32_t Create(RefPtr<MPlaylist>* out, uint8_t noIdleScan) override;

  // Shuts every playlist down and lets it go, telling the listeners of each.
  void RemoveAll() { registry_.RemoveAll(); }
  IdleScanMode Mode() const;
  bool StartsImmediately() const;

 private:
  int32_t CreateObject(RefPtr<MPlaylist>* out, bool temporary) override;
  TString NameOf(MPlaylist* playlist) override;
  void SetNameOf(MPlaylist* playlist, const TString& name) override;
  void Dispose(MPlaylist* playlist, bool all) override;

  const PlaylistManagerEnvironment environment_;
  RefPtr<MPreferenceStore> settings_;
  mutable std::mutex mutex_;  // the two settings
  IdleScanMode mode_ = IdleScanMode::kQuick;
  bool startImmediately_ = true;
  NamedObjectRegistry<MPlaylist> registry_;
};

}  // namespace vk2
